#include "registry/fix/FixDelete.h"

#include <windows.h>

#include <cwctype>
#include <vector>

#include "core/Files.h"
#include "registry/RegKey.h"
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

TDeleteResult FromExport(const TExportResult& r) {
  switch (r.Status) {
    case esWritten: return Result(dsDeleted);
    case esMissing: return Result(dsMissing, r.Reason);
    case esFileError: return Result(dsBackupIoError, r.Reason);
    default: return Result(dsBackupFailed, r.Reason);
  }
}

// Deletes `path` below `parent` with every subkey, children first, in the
// same registry view the scan and the backup read.
LONG DeleteKeyTree(HKEY parent, const std::wstring& path) {
  HKEY key = nullptr;
  LONG rc = ::RegOpenKeyExW(parent, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  std::vector<std::wstring> children;
  wchar_t buf[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    rc = ::RegEnumKeyExW(key, i, buf, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    children.emplace_back(buf, len);
  }
  if (rc != ERROR_NO_MORE_ITEMS) {  // a subkey that cannot be listed: delete none of them
    ::RegCloseKey(key);
    return rc;
  }
  LONG result = ERROR_SUCCESS;
  for (const auto& child : children) {
    LONG childRc = DeleteKeyTree(key, child);
    if (childRc != ERROR_SUCCESS && childRc != ERROR_FILE_NOT_FOUND && result == ERROR_SUCCESS) result = childRc;
  }
  ::RegCloseKey(key);
  if (result != ERROR_SUCCESS) return result;
  return ::RegDeleteKeyW(parent, path.c_str());
}

bool HasLnkExtension(const std::wstring& path) {
  if (path.size() < 4) return false;
  std::wstring ext = path.substr(path.size() - 4);
  for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  return ext == L".lnk";
}

}  // namespace

bool IsDeletableKeyPath(const std::wstring& path) {
  const std::wstring p = TrimOneBackslash(path);
  return !p.empty() && IsCleanPath(p) && SplitPath(p).size() >= 2;
}

TDeleteResult DeleteKeyWithBackup(const std::wstring& Root, const std::wstring& Key, const std::wstring& BackupFile) {
  HKEY root = RootFromName(Root);
  if (root == nullptr) return Result(dsBadRoot, L"\"" + Root + L"\" is not a registry root.");
  if (!IsDeletableKeyPath(Key)) return Result(dsRefused, L"A registry root, a first-level key or an incomplete key path is never deleted.");
  const std::wstring path = TrimOneBackslash(Key);
  TDeleteResult backup = FromExport(ExportRegEntry(BackupFile, root, path, L"", true));
  if (!backup.Deleted()) return backup;
  LONG rc = DeleteKeyTree(root, path);
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
  if (!core::IsSafeDeletePath(Path) || !HasLnkExtension(Path))
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
  if (!core::ShellDeletePath(Path) || ::GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES)
    return Result(dsDeleteFailed, L"The shortcut file could not be deleted.");
  return Result(dsDeleted);
}

}  // namespace registry
