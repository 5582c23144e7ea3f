#include "registry/fix/FixDelete.h"

#include "sys/TextCompare.h"

#include <windows.h>

#include <cwctype>

#include "core/Files.h"
#include "core/guard/FileDelete.h"
#include "core/guard/FileNames.h"
#include "core/guard/RegistryGuard.h"
#include "registry/RegKey.h"
#include "sys/TextCompare.h"
#include "registry/fix/FixErrors.h"
#include "registry/fix/RegExport.h"

namespace registry {
namespace guard = core::guard;

namespace {

TDeleteResult Result(TDeleteStatus status, std::wstring reason = {}) { return {status, std::move(reason)}; }

const wchar_t kLinkOnPath[] = L"The key path passes a registry link, which is not followed.";
const wchar_t kVolatile[] =
    L"The key is volatile (it lasts only until Windows restarts), which a backup file cannot restore.";

std::wstring TrimOneBackslash(const std::wstring& key) {
  return !key.empty() && key.back() == L'\\' ? key.substr(0, key.size() - 1) : key;
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
  if (path.empty() || !guard::IsCleanKeyPath(path)) return L"An empty or incomplete key path is never deleted.";
  switch (guard::PlaceOfKey(root, path)) {
    case guard::KeyPlace::Root:
    case guard::KeyPlace::FirstLevel:
      return L"A registry root (under any of its names) or a first-level key is never deleted.";
    case guard::KeyPlace::Class:
      if (MayHaveSubKeys(root, path)) return L"A class that holds subkeys is never deleted whole.";
      break;
    default:
      break;
  }
  if (guard::IsRegLink(root, path)) return kLinkOnPath;
  // The restore would bring a volatile key back as a lasting one, or could
  // not recreate it below a parent that is itself volatile.
  if (guard::HoldsVolatileKey(root, path)) return kVolatile;
  return {};
}

TDeleteResult FromExport(const TExportResult& r) {
  switch (r.Status) {
    case esWritten: return Result(dsDeleted);
    case esMissing: return Result(dsMissing, r.Reason);
    case esFileError: return Result(dsBackupIoError, r.Reason);
    default: return Result(dsBackupFailed, r.Reason);
  }
}

bool HasLnkExtension(const std::wstring& path) {
  if (path.size() < 4) return false;
  std::wstring ext = path.substr(path.size() - 4);
  for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  return ext == L".lnk";
}

}  // namespace

TDeleteResult DeleteKeyWithBackup(const std::wstring& Root, const std::wstring& Key, const std::wstring& BackupFile) {
  HKEY root = guard::RootKeyFromName(Root);
  if (root == nullptr) return Result(dsBadRoot, L"\"" + Root + L"\" is not a registry root.");
  const std::wstring path = TrimOneBackslash(Key);
  const std::wstring refusal = KeyRefusal(root, path);
  if (!refusal.empty()) return Result(dsRefused, refusal);
  TDeleteResult backup = FromExport(ExportRegEntry(BackupFile, root, path, L"", true));
  if (!backup.Deleted()) return backup;
  LONG rc = guard::DeleteKeyTree(root, path, guard::LinkBelow::Stop);
  if (rc == guard::kLinkMet) return Result(dsDeleteFailed, L"A registry link appeared in the key; it was not followed.");
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The key could not be deleted: " + SystemErrorText(rc));
  return Result(dsDeleted);
}

TDeleteResult DeleteValueWithBackup(const std::wstring& Root, const std::wstring& Key, bool WithBackup,
                                    const std::wstring& ValueName, const std::wstring& BackupFile) {
  HKEY root = guard::RootKeyFromName(Root);
  if (root == nullptr) return Result(dsBadRoot, L"\"" + Root + L"\" is not a registry root.");
  const std::wstring path = TrimOneBackslash(Key);
  if (!guard::IsCleanKeyPath(path)) return Result(dsRefused, L"The key path has an empty part.");
  HKEY key = nullptr;
  bool link = false;
  LONG rc = guard::OpenKeyAsItself(root, path, KEY_QUERY_VALUE, &key, &link);
  if (rc == guard::kLinkMet) return Result(dsRefused, kLinkOnPath);
  if (rc == ERROR_FILE_NOT_FOUND) return Result(dsMissing, L"The key does not exist.");
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The key cannot be opened: " + SystemErrorText(rc));
  rc = link ? guard::kLinkMet : ::RegQueryValueExW(key, ValueName.c_str(), nullptr, nullptr, nullptr, nullptr);
  ::RegCloseKey(key);
  if (rc == guard::kLinkMet) return Result(dsRefused, L"The key is a registry link; it is not followed.");
  if (rc == ERROR_FILE_NOT_FOUND) return Result(dsMissing, L"The value does not exist.");
  if (rc != ERROR_SUCCESS) return Result(dsBackupFailed, L"The value cannot be read: " + SystemErrorText(rc));
  if (WithBackup) {
    if (guard::IsVolatileKey(root, path)) return Result(dsRefused, kVolatile);
    TDeleteResult backup = FromExport(ExportRegEntry(BackupFile, root, path, ValueName, false));
    if (!backup.Deleted()) return backup;
  }
  rc = guard::DeleteOneValue(root, path, ValueName);
  if (rc == guard::kLinkMet) return Result(dsDeleteFailed, L"The key became a registry link; it was not followed.");
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The value could not be deleted: " + SystemErrorText(rc));
  return Result(dsDeleted);
}

TDeleteResult DeleteShortcutFile(const std::wstring& Path) {
  if (!core::IsSafeDeletePath(Path) || !HasLnkExtension(Path) || guard::HasTrimmedPart(Path))
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
  // Opened without following a link, checked to be itself, deleted through that handle.
  switch (guard::DeleteNamedFile(Path)) {
    case guard::FileDeleteResult::Deleted: break;
    case guard::FileDeleteResult::Missing: return Result(dsMissing, L"The shortcut file does not exist.");
    case guard::FileDeleteResult::Refused: return Result(dsRefused, L"The shortcut file is a link to another file.");
    default: return Result(dsDeleteFailed, L"The shortcut file could not be deleted.");
  }
  return Result(dsDeleted);
}

}  // namespace registry
