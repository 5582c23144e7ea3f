#include "registry/fix/FixRecheck.h"

#include <windows.h>

#include <cwctype>
#include <vector>

#include "core/Text.h"
#include "core/guard/RegistryEntry.h"
#include "registry/FixEntry.h"
#include "registry/RegKey.h"
#include "sys/TextCompare.h"
#include "registry/fix/FixRun.h"

namespace registry {

const wchar_t kChangedSinceScan[] = L"changed since the scan";

namespace {

const wchar_t kEmptyKeysProblem[] = L"Empty Registry Keys";
const wchar_t kJudgedLetters[] = L"cdefghijklmnopqrstuvwxyz";

class TOpenKey {
 public:
  TOpenKey(HKEY root, const std::wstring& path) {
    if (root != nullptr && ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~TOpenKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

struct TTarget {
  HKEY Root = nullptr;
  std::wstring Rest;  // below the root
};

TTarget Split(const std::wstring& K) {
  size_t slash = K.find(L'\\');
  if (slash == std::wstring::npos) return {};
  return {RootFromName(K.substr(0, slash)), K.substr(slash + 1)};
}

bool CountsOf(HKEY key, DWORD* subKeys, DWORD* values) {
  return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

// A value, or a subkey that holds a value or a subkey of its own.
bool KeyHasContent(HKEY key) {
  DWORD subKeys = 0, values = 0;
  if (!CountsOf(key, &subKeys, &values)) return true;  // unreadable now: not the empty key the scan saw
  if (values > 0) return true;
  wchar_t name[256];
  for (DWORD i = 0; i < subKeys; ++i) {
    DWORD len = 256;
    if (::RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return true;
    TOpenKey sub(key, std::wstring(name, len));
    DWORD subSubKeys = 0, subValues = 0;
    if (sub.Get() == nullptr || !CountsOf(sub.Get(), &subSubKeys, &subValues)) return true;
    if (subSubKeys > 0 || subValues > 0) return true;
  }
  return false;
}

// The text of a string value; false when it is missing or not text.
bool ReadText(const TTarget& key, const std::wstring& name, std::wstring* text) {
  TOpenKey k(key.Root, key.Rest);
  if (k.Get() == nullptr) return false;
  DWORD type = REG_NONE, size = 0;
  if (::RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
  size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  *text = buf.data();
  return true;
}

// Whether `text` starts with a drive path (after blanks, a quote and its
// environment variables): only such a path can be judged to exist at all.
bool IsDrivePath(const std::wstring& text) {
  std::wstring t = text;
  wchar_t expanded[2048];
  DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), expanded, 2048);
  if (n > 0 && n <= 2048) t = expanded;
  size_t i = t.find_first_not_of(L" \t\"");
  return i != std::wstring::npos && i + 2 < t.size() && std::iswalpha(t[i]) && t[i + 1] == L':' &&
         t[i + 2] == L'\\';
}

// The sections read some strings cut after ".exe" or ".dll" (arguments,
// icon indexes). The row stands while any such reading still finds the path
// missing; only when none does has the file come back.
bool NamesExisting(const TPathCheckContext& ctx, const std::wstring& path) {
  if (!IsDrivePath(path)) return false;
  const std::wstring upper = sys::UpperCase(path);
  for (const wchar_t* cut : {L"", L".exe", L".dll"}) {
    if (*cut != L'\0' && upper.find(sys::UpperCase(cut)) == std::wstring::npos) continue;
    if (IsInvalidPath(ctx, path, cut, kJudgedLetters, true)) return false;
  }
  return true;
}

TRecheck Changed(const std::wstring& what) { return {true, std::wstring(kChangedSinceScan) + L": " + what}; }

TRecheck RecheckEmptyKey(const TFixRow& row) {
  TTarget t = Split(row.RegistryKey);
  TOpenKey key(t.Root, JoinKeyPath(t.Rest, row.Data));
  if (key.Get() != nullptr && KeyHasContent(key.Get())) return Changed(L"the key is no longer empty");
  return {};
}

TRecheck RecheckValueText(const TTarget& key, const std::wstring& name, const TPathCheckContext& ctx) {
  std::wstring text;
  if (ReadText(key, name, &text) && NamesExisting(ctx, text))
    return Changed(L"the value now names an existing file or folder");
  return {};
}

TRecheck RecheckShownPath(const std::wstring& path, const TPathCheckContext& ctx) {
  if (NamesExisting(ctx, path)) return Changed(L"the file or folder now exists");
  return {};
}

}  // namespace

bool RowTargetGone(const TFixRow& row) {
  const TFixTarget t = FixTargetOf(row.RegistryKey, row.Data, row.FixKind);
  if (t.Kind == TFixTarget::tkFile) return ::GetFileAttributesW(row.RegistryKey.c_str()) == INVALID_FILE_ATTRIBUTES;
  HKEY root = RootFromName(t.RootName);
  if (t.Kind == TFixTarget::tkNone || root == nullptr) return false;
  const core::guard::EntryScope scope =
      t.Kind == TFixTarget::tkKey ? core::guard::EntryScope::Key : core::guard::EntryScope::Values;
  core::guard::KeyEntry key(root, t.Key, scope, core::guard::kEntryRead);
  if (t.Kind == TFixTarget::tkKey || !key.IsOpen()) return key.State() == core::guard::EntryState::Missing;
  return ::RegQueryValueExW(key.Key().Handle(), t.ValueName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_FILE_NOT_FOUND;
}

TPathCheckContext FixPathContext() {
  TPathCheckContext ctx;
  ctx.IncludeRemoveMedia = true;  // only the letters given are judged
  return ctx;
}

TRecheck RecheckRow(const TFixRow& row, const TPathCheckContext& ctx) {
  TTarget t = Split(row.RegistryKey);
  switch (row.FixKind) {
    case fkDeleteKey:
    case fkDeleteFile:
    case fkDeleteUserAssistValue:
      return RecheckShownPath(row.Data, ctx);
    case fkDeleteSubKey:
      return row.Problem == kEmptyKeysProblem ? RecheckEmptyKey(row) : TRecheck{};
    case fkDeleteValue: {
      size_t last = t.Rest.find_last_of(L'\\');
      if (last == std::wstring::npos) return RecheckValueText({t.Root, L""}, t.Rest, ctx);
      return RecheckValueText({t.Root, t.Rest.substr(0, last)}, t.Rest.substr(last + 1), ctx);
    }
    case fkDeleteNamedValue: {
      // The value's text is judged; a value without text (a count, as the
      // shared-library list keeps) is named by its path.
      std::wstring text;
      if (ReadText(t, row.Data, &text) && IsDrivePath(text)) return RecheckValueText(t, row.Data, ctx);
      return RecheckShownPath(row.Data, ctx);
    }
    case fkDeleteDefaultValue:
      return RecheckValueText(t, L"", ctx);
    default:
      return {};
  }
}

}  // namespace registry
