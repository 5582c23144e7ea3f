#include "registry/FixEntry.h"

#include "core/Text.h"
#include "core/guard/RegistryGuard.h"
#include "registry/FixErrors.h"
#include "registry/RegKey.h"

namespace registry {
namespace guard = core::guard;

namespace {

const wchar_t kLinkOnPath[] = L"The key path passes a registry link, which is not followed.";
const wchar_t kVolatile[] =
    L"The key is volatile (it lasts only until Windows restarts), which a backup file cannot restore.";

std::wstring TrimOneBackslash(const std::wstring& key) {
  return !key.empty() && key.back() == L'\\' ? key.substr(0, key.size() - 1) : key;
}

TFixTarget KeyTarget(const std::wstring& root, const std::wstring& key) {
  TFixTarget t;
  t.Kind = TFixTarget::tkKey;
  t.RootName = root;
  t.Key = TrimOneBackslash(key);
  return t;
}

TFixTarget ValueTarget(const std::wstring& root, const std::wstring& key, const std::wstring& name) {
  TFixTarget t = KeyTarget(root, key);
  t.Kind = TFixTarget::tkValue;
  t.ValueName = name;
  return t;
}

TFixTarget NoTarget(const std::wstring& why) {
  TFixTarget t;
  t.Why = why;
  return t;
}

// Unknown answers count as "it has subkeys".
bool HasSubKeys(HKEY key) {
  DWORD subKeys = 1;
  return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) != ERROR_SUCCESS ||
         subKeys != 0;
}

}  // namespace

TFixTarget FixTargetOf(const std::wstring& K, const std::wstring& D, int FixKind) {
  size_t slash = K.find(L'\\');
  if (slash == std::wstring::npos) return NoTarget(L"The registry key holds no backslash.");
  const std::wstring root = K.substr(0, slash);
  const std::wstring rest = K.substr(slash + 1);
  switch (FixKind) {
    case fkDeleteKey: return KeyTarget(root, rest);
    case fkDeleteValue: {
      size_t last = rest.find_last_of(L'\\');
      if (last == std::wstring::npos) return ValueTarget(root, L"", rest);
      return ValueTarget(root, rest.substr(0, last), rest.substr(last + 1));
    }
    case fkDeleteNamedValue: return ValueTarget(root, rest, D);
    case fkDeleteSubKey:
      if (D.empty()) return NoTarget(L"The subkey has no name.");
      return KeyTarget(root, JoinKeyPath(rest, D));
    case fkDeleteFile: {
      TFixTarget t;
      t.Kind = TFixTarget::tkFile;
      return t;
    }
    case fkDeleteDefaultValue: return ValueTarget(root, rest, L"");
    case fkDeleteUserAssistValue: return ValueTarget(root, rest, core::Rot13(D));
    default: return NoTarget(L"The row has an unknown fix kind.");
  }
}

TFixEntry::TFixEntry(HKEY root, const std::wstring& path, guard::KeyChain* chain) {
  if (path.empty() || !guard::IsCleanKeyPath(path)) {
    Set(fvRefused, L"An empty or incomplete key path is never deleted.");
    return;
  }
  const guard::KeyPlace place = guard::PlaceOfKey(root, path);
  if (place == guard::KeyPlace::Root || place == guard::KeyPlace::FirstLevel) {
    Set(fvRefused, L"A registry root (under any of its names) or a first-level key is never deleted.");
    return;
  }
  // A class goes only when it holds no subkeys: it is opened alone and
  // asked, never with a tree such as CLSID below it.
  const bool isClass = place == guard::KeyPlace::Class;
  if (!Open(root, path, isClass ? guard::EntryScope::Key : guard::EntryScope::Tree, chain)) return;
  if (isClass && HasSubKeys(entry_->Key().Handle())) {
    Set(fvRefused, L"A class that holds subkeys is never deleted whole.");
    return;
  }
  JudgeVolatile();
}

TFixEntry::TFixEntry(HKEY root, const std::wstring& path, const std::wstring& valueName, bool backup,
                     guard::KeyChain* chain) {
  if (!guard::IsCleanKeyPath(path)) {
    Set(fvRefused, L"The key path has an empty part.");
    return;
  }
  if (!Open(root, path, guard::EntryScope::Values, chain)) return;
  LONG rc = ::RegQueryValueExW(entry_->Key().Handle(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_FILE_NOT_FOUND) {
    Set(fvMissing, L"The value does not exist.");
  } else if (rc != ERROR_SUCCESS) {
    Set(fvCannotBackUp, L"The value cannot be read: " + SystemErrorText(rc));
  } else if (backup) {
    JudgeVolatile();
  }
}

bool TFixEntry::Open(HKEY root, const std::wstring& path, guard::EntryScope scope, guard::KeyChain* chain) {
  entry_ = std::make_unique<guard::KeyEntry>(root, path, scope, guard::kEntryDelete, chain);
  switch (entry_->State()) {
    case guard::EntryState::Open: return true;
    case guard::EntryState::Missing: Set(fvMissing, L"The key does not exist."); break;
    case guard::EntryState::Link: Set(fvRefused, kLinkOnPath); break;
    case guard::EntryState::LinkBelow:
      Set(fvCannotBackUp, L"The key " + RootName(root) + L"\\" + path + L"\\" + entry_->LinkPath() +
                              L" is a registry link, which a backup file cannot restore.");
      break;
    default:
      Set(fvRefused, L"The key cannot be checked for registry links: " + SystemErrorText(entry_->Error()));
      break;
  }
  return false;
}

// The restore would bring a volatile key back as a lasting one, or could not
// recreate it below a parent that is itself volatile.
void TFixEntry::JudgeVolatile() {
  switch (entry_->CheckVolatile()) {
    case guard::EntryState::Open: break;
    case guard::EntryState::Volatile: Set(fvRefused, kVolatile); break;
    default: Set(fvRefused, L"Whether the key is volatile cannot be told, so a backup file might not restore it.");
  }
}

void TFixEntry::Set(TFixVerdict verdict, std::wstring reason) {
  verdict_ = verdict;
  reason_ = std::move(reason);
}

bool FixWouldGoAhead(const TProblemRow& row, guard::KeyChain* chain) {
  const TFixTarget t = FixTargetOf(row.RegistryKey, row.Data, row.FixKind);
  if (t.Kind != TFixTarget::tkKey && t.Kind != TFixTarget::tkValue) return true;
  HKEY root = RootFromName(t.RootName);
  if (root == nullptr) return false;
  if (t.Kind == TFixTarget::tkKey) return TFixEntry(root, t.Key, chain).GoAhead();
  return TFixEntry(root, t.Key, t.ValueName, true, chain).GoAhead();
}

}  // namespace registry
