#include "registry/fix/FixDelete.h"

#include "sys/TextCompare.h"

#include <windows.h>

#include <cwctype>
#include <vector>

#include "core/Files.h"
#include "registry/RegKey.h"
#include "sys/TextCompare.h"
#include "registry/fix/FixErrors.h"
#include "registry/fix/RegExport.h"

namespace registry {
namespace {

TDeleteResult Result(TDeleteStatus status, std::wstring reason = {}) { return {status, std::move(reason)}; }

std::wstring TrimOneBackslash(const std::wstring& key) {
  return !key.empty() && key.back() == L'\\' ? key.substr(0, key.size() - 1) : key;
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
  std::vector<std::wstring> parts;
  size_t at = 0;
  for (;;) {
    size_t end = path.find(L'\\', at);
    parts.push_back(path.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
    if (end == std::wstring::npos) return parts;
    at = end + 1;
  }
}

// An empty path (the root itself) or parts that are all non-empty.
bool IsCleanPath(const std::wstring& path) {
  if (path.empty()) return true;
  for (const auto& part : SplitPath(path))
    if (part.empty()) return false;
  return true;
}

enum TKeyPlace { kpRoot, kpFirstLevel, kpClass, kpDeeper };

// Where a key lies below the root it really belongs to. Some keys are a root
// under another name: every key of HKEY_USERS is a user's hive (one ending in
// "_Classes" a classes root), "Software\Classes" is the classes root of its
// hive, and "Wow6432Node" is the 32-bit view of the key that holds it. A key
// directly under a classes root other than HKEY_CLASSES_ROOT is one class
// (kpClass); HKEY_CLASSES_ROOT's own first level stays a first level.
TKeyPlace KeyPlace(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> parts = SplitPath(sys::UpperCase(path));
  auto is = [&](size_t i, const wchar_t* name) { return i < parts.size() && parts[i] == name; };
  auto skipView = [&](size_t i) {
    if (is(i, L"WOW6432NODE")) parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i));
  };
  const std::wstring suffix = L"_CLASSES";
  size_t at = 0;
  bool classes = false;
  if (root == HKEY_USERS) {
    at = 1;
    const std::wstring& hive = parts[0];
    classes = hive.size() > suffix.size() && hive.compare(hive.size() - suffix.size(), suffix.size(), suffix) == 0;
  }
  if (root == HKEY_CLASSES_ROOT || classes) skipView(at);
  skipView(at + 1);
  if (is(at, L"SOFTWARE") && is(at + 1, L"CLASSES")) {
    at += 2;
    classes = true;
    skipView(at);
  }
  if (parts.size() <= at) return kpRoot;
  if (parts.size() == at + 1) return classes && root != HKEY_CLASSES_ROOT ? kpClass : kpFirstLevel;
  return kpDeeper;
}

// Unknown answers count as "it has subkeys"; a missing key has none.
bool MayHaveSubKeys(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  LONG rc = ::RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &key);
  if (rc == ERROR_FILE_NOT_FOUND) return false;
  if (rc != ERROR_SUCCESS) return true;
  DWORD subKeys = 1;
  rc = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr);
  ::RegCloseKey(key);
  return rc != ERROR_SUCCESS || subKeys != 0;
}

// Why the key `path` below `root` may not be deleted whole; empty when it may.
std::wstring KeyRefusal(HKEY root, const std::wstring& path) {
  if (path.empty() || !IsCleanPath(path)) return L"An empty or incomplete key path is never deleted.";
  switch (KeyPlace(root, path)) {
    case kpRoot:
    case kpFirstLevel:
      return L"A registry root (under any of its names) or a first-level key is never deleted.";
    case kpClass:
      if (MayHaveSubKeys(root, path)) return L"A class that holds subkeys is never deleted whole.";
      return {};
    default:
      return {};
  }
}

TDeleteResult FromExport(const TExportResult& r) {
  switch (r.Status) {
    case esWritten: return Result(dsDeleted);
    case esMissing: return Result(dsMissing, r.Reason);
    case esFileError: return Result(dsBackupIoError, r.Reason);
    default: return Result(dsBackupFailed, r.Reason);
  }
}

// NtDeleteKey on an open key: the key the handle holds, whatever its name
// now leads to. RegDeleteKey would open the name again, through a link.
LONG DeleteOpenKey(HKEY key) {
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  using ToDosErrorFn = ULONG(WINAPI*)(LONG);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  static auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(::GetProcAddress(ntdll, "NtDeleteKey"));
  static auto toDosError = reinterpret_cast<ToDosErrorFn>(::GetProcAddress(ntdll, "RtlNtStatusToDosError"));
  if (ntDeleteKey == nullptr || toDosError == nullptr) return ERROR_PROC_NOT_FOUND;
  LONG status = ntDeleteKey(key);
  return status >= 0 ? ERROR_SUCCESS : static_cast<LONG>(toDosError(status));
}

// A registry link met while deleting (it came after the backup, which
// refuses them): it is neither followed nor deleted.
constexpr LONG kLinkMet = ERROR_CANT_ACCESS_FILE;

// Deletes `path` below `parent` with every subkey, children first, in the
// same registry view the scan and the backup read. Each key is opened as
// itself and deleted through that handle, so no link is ever followed.
LONG DeleteKeyTree(HKEY parent, const std::wstring& path) {
  HKEY key = nullptr;
  LONG rc = ::RegOpenKeyExW(parent, path.c_str(), REG_OPTION_OPEN_LINK,
                            KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  struct Closer {
    HKEY k;
    ~Closer() { ::RegCloseKey(k); }
  } closer{key};
  if (IsRegLinkKey(key)) return kLinkMet;
  std::vector<std::wstring> children;
  wchar_t buf[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    rc = ::RegEnumKeyExW(key, i, buf, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    children.emplace_back(buf, len);
  }
  if (rc != ERROR_NO_MORE_ITEMS) return rc;  // a subkey that cannot be listed: delete none of them
  LONG result = ERROR_SUCCESS;
  for (const auto& child : children) {
    LONG childRc = DeleteKeyTree(key, child);
    if (childRc != ERROR_SUCCESS && childRc != ERROR_FILE_NOT_FOUND && result == ERROR_SUCCESS) result = childRc;
  }
  if (result != ERROR_SUCCESS) return result;
  return DeleteOpenKey(key);
}

bool HasLnkExtension(const std::wstring& path) {
  if (path.size() < 4) return false;
  std::wstring ext = path.substr(path.size() - 4);
  for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  return ext == L".lnk";
}

// The system trims a trailing dot or space from the parts of a plain path,
// so such a path reaches another file than the one it names.
bool HasTrimmedPart(const std::wstring& path) {
  for (size_t at = 0; at <= path.size();) {
    size_t end = path.find_first_of(L"\\/", at);
    if (end == std::wstring::npos) end = path.size();
    if (end > at && (path[end - 1] == L'.' || path[end - 1] == L' ')) return true;
    at = end + 1;
  }
  return false;
}

// The resolved name of an open file or folder, without "\\?\"; empty when unknown.
std::wstring FinalName(HANDLE h) {
  using Fn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static auto finalPath =
      reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW"));
  if (finalPath == nullptr) return std::wstring();
  std::wstring buf(1024, L'\0');
  DWORD n = finalPath(h, &buf[0], static_cast<DWORD>(buf.size()), 0);
  if (n == 0 || n >= buf.size()) return std::wstring();
  buf.resize(n);
  return buf.compare(0, 4, L"\\\\?\\") == 0 ? buf.substr(4) : buf;
}

std::wstring FinalNameOf(const std::wstring& path, DWORD flags) {
  HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::wstring();
  std::wstring name = FinalName(h);
  ::CloseHandle(h);
  return name;
}

// Some systems show a symbolic link to a file as a plain file, and deleting
// it deletes the file it points at: the file must resolve to its own folder
// and name. Without the system's resolved names there are no such links.
bool IsReachedThroughLink(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  std::wstring file = FinalNameOf(path, FILE_FLAG_OPEN_REPARSE_POINT);
  std::wstring folder = FinalNameOf(path.substr(0, slash + 1), FILE_FLAG_BACKUP_SEMANTICS);
  if (file.empty() && folder.empty()) return false;
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return !sys::SameText(file, folder + path.substr(slash + 1));
}

}  // namespace

TDeleteResult DeleteKeyWithBackup(const std::wstring& Root, const std::wstring& Key, const std::wstring& BackupFile) {
  HKEY root = RootFromName(Root);
  if (root == nullptr) return Result(dsBadRoot, L"\"" + Root + L"\" is not a registry root.");
  const std::wstring path = TrimOneBackslash(Key);
  const std::wstring refusal = KeyRefusal(root, path);
  if (!refusal.empty()) return Result(dsRefused, refusal);
  TDeleteResult backup = FromExport(ExportRegEntry(BackupFile, root, path, L"", true));
  if (!backup.Deleted()) return backup;
  LONG rc = DeleteKeyTree(root, path);
  if (rc == kLinkMet) return Result(dsDeleteFailed, L"A registry link appeared in the key; it was not followed.");
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The key could not be deleted: " + SystemErrorText(rc));
  return Result(dsDeleted);
}

TDeleteResult DeleteValueWithBackup(const std::wstring& Root, const std::wstring& Key, bool WithBackup,
                                    const std::wstring& ValueName, const std::wstring& BackupFile) {
  HKEY root = RootFromName(Root);
  if (root == nullptr) return Result(dsBadRoot, L"\"" + Root + L"\" is not a registry root.");
  const std::wstring path = TrimOneBackslash(Key);
  if (!IsCleanPath(path)) return Result(dsRefused, L"The key path has an empty part.");
  HKEY key = nullptr;
  LONG rc = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
  if (rc == ERROR_FILE_NOT_FOUND) return Result(dsMissing, L"The key does not exist.");
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The key cannot be opened: " + SystemErrorText(rc));
  struct Closer {  // closes `key` on every path below
    HKEY k;
    ~Closer() { ::RegCloseKey(k); }
  } closer{key};
  rc = ::RegQueryValueExW(key, ValueName.c_str(), nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_FILE_NOT_FOUND) return Result(dsMissing, L"The value does not exist.");
  if (rc != ERROR_SUCCESS) return Result(dsBackupFailed, L"The value cannot be read: " + SystemErrorText(rc));
  if (WithBackup) {
    TDeleteResult backup = FromExport(ExportRegEntry(BackupFile, root, path, ValueName, false));
    if (!backup.Deleted()) return backup;
  }
  rc = ::RegDeleteValueW(key, ValueName.c_str());
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The value could not be deleted: " + SystemErrorText(rc));
  return Result(dsDeleted);
}

TDeleteResult DeleteShortcutFile(const std::wstring& Path) {
  if (!core::IsSafeDeletePath(Path) || !HasLnkExtension(Path) || HasTrimmedPart(Path))
    return Result(dsRefused, L"Only a shortcut file (.lnk) named by a full path is deleted.");
  DWORD attrs = ::GetFileAttributesW(Path.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return Result(dsMissing, L"The shortcut file does not exist.");
    return Result(dsDeleteFailed, L"The shortcut file cannot be examined: " + SystemErrorText(error));
  }
  if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
    return Result(dsRefused, L"The path is not a regular shortcut file.");
  if (IsReachedThroughLink(Path)) return Result(dsRefused, L"The shortcut file is a link to another file.");
  if (!core::ShellDeletePath(Path) || ::GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES)
    return Result(dsDeleteFailed, L"The shortcut file could not be deleted.");
  return Result(dsDeleted);
}

}  // namespace registry
