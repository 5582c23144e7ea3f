#include "registry/startup/StartupList.h"

#include <shlobj.h>

#include "core/Errors.h"
#include "core/Files.h"
#include "core/guard/RegistryGuard.h"
#include "registry/restore/BackupFiles.h"

namespace registry {

const wchar_t kStartupLabel[] = L"Startup";
const wchar_t kCommonStartupLabel[] = L"Common Startup";

namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kPolicyRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
constexpr wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr wchar_t kRunServices[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

struct TRunSource {
  const wchar_t* Root;
  const wchar_t* Key;
  bool OldFamilyOnly;
};

const TRunSource kRunSources[] = {
    {L"HKEY_CURRENT_USER", kRun, false},          {L"HKEY_LOCAL_MACHINE", kRun, false},
    {L"HKEY_CURRENT_USER", kPolicyRun, false},    {L"HKEY_LOCAL_MACHINE", kPolicyRun, false},
    {L"HKEY_CURRENT_USER", kRunOnce, false},      {L"HKEY_LOCAL_MACHINE", kRunOnce, false},
    {L"HKEY_CURRENT_USER", kRunServices, true},   {L"HKEY_LOCAL_MACHINE", kRunServices, true},
};

std::wstring Trim(const std::wstring& s) {
  size_t b = s.find_first_not_of(L" \t\r\n");
  if (b == std::wstring::npos) return {};
  return s.substr(b, s.find_last_not_of(L" \t\r\n") - b + 1);
}

bool HasLnkExtension(const std::wstring& name) {
  return name.size() >= 4 &&
         ::CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".lnk", 4, TRUE) == CSTR_EQUAL;
}

std::wstring ShortcutTarget(const std::wstring& path) {
  try {
    return core::GetShortcutTarget(path);
  } catch (const core::ComError&) {
    return {};
  }
}

// The value's text as stored; false when it is no string or cannot be read.
bool ReadStringValue(HKEY key, const std::wstring& name, std::wstring* text) {
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
  DWORD bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  text->assign(buf.data());
  return true;
}

}  // namespace

bool IsOldWindowsFamily(BYTE v) { return (v >= 1 && v <= 4) || v == 8; }

std::wstring GetSpecialFolder(int csidl) {
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf)) || !buf[0]) return {};
  return WithTrailingBackslash(buf);
}

std::wstring ExpandEnvPath(const std::wstring& text) {
  wchar_t buf[1024] = {};
  DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), buf, 1024);
  if (n == 0 || n > 1024) return text;
  std::wstring expanded = Trim(buf);
  return BackupFolderExists(expanded) ? expanded : text;
}

std::vector<TStartupEntry> ListRunKey(const std::wstring& rootName, const std::wstring& keyPath) {
  std::vector<TStartupEntry> rows;
  HKEY root = core::guard::RootKeyFromName(rootName);
  HKEY key = nullptr;
  if (!root || ::RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return rows;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD len = 16384;
    LONG rc = ::RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) continue;
    TStartupEntry e;
    e.Name.assign(name, len);
    if (!ReadStringValue(key, e.Name, &e.File)) continue;
    e.Location = rootName + L"\\" + keyPath;
    e.RootName = rootName;
    e.Key = keyPath;
    rows.push_back(std::move(e));
  }
  ::RegCloseKey(key);
  return rows;
}

std::vector<TStartupEntry> ListStartupFolderPath(const std::wstring& folder, const std::wstring& label) {
  std::vector<TStartupEntry> rows;
  if (folder.empty()) return rows;
  WIN32_FIND_DATAW fd{};
  HANDLE h = ::FindFirstFileW((WithTrailingBackslash(folder) + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return rows;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !HasLnkExtension(fd.cFileName)) continue;
    TStartupEntry e;
    e.Name = fd.cFileName;
    e.ShortcutPath = WithTrailingBackslash(folder) + e.Name;
    e.File = ShortcutTarget(e.ShortcutPath);
    if (e.File.empty()) continue;
    e.Location = label;
    rows.push_back(std::move(e));
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return rows;
}

std::vector<TStartupEntry> ListStartupFolder(int csidl, const std::wstring& label) {
  return ListStartupFolderPath(GetSpecialFolder(csidl), label);
}

std::vector<TStartupEntry> ListStartupEntries(BYTE windowsVersion) {
  std::vector<TStartupEntry> all;
  auto append = [&all](std::vector<TStartupEntry> rows) {
    for (TStartupEntry& e : rows) all.push_back(std::move(e));
  };
  for (const TRunSource& s : kRunSources) {
    if (s.OldFamilyOnly && !IsOldWindowsFamily(windowsVersion)) continue;
    append(ListRunKey(s.Root, s.Key));
  }
  append(ListStartupFolder(CSIDL_STARTUP, kStartupLabel));
  append(ListStartupFolder(CSIDL_COMMON_STARTUP, kCommonStartupLabel));
  return all;
}

TDeleteResult DeleteStartupEntry(const TStartupEntry& entry, const std::wstring& backupFile) {
  if (entry.IsShortcut()) return DeleteShortcutFile(entry.ShortcutPath);
  if (entry.RootName.empty() || entry.Key.empty()) return {dsRefused, L"The entry names no registry key."};
  return DeleteValueWithBackup(entry.RootName, entry.Key, true, entry.Name, backupFile);
}

}  // namespace registry
