#include "registry/fix/FixDelete.h"

#include <windows.h>

#include <cwctype>

#include "core/Files.h"
#include "core/guard/FileDelete.h"
#include "core/guard/FileNames.h"
#include "core/guard/RegistryGuard.h"
#include "registry/FixEntry.h"
#include "registry/FixErrors.h"
#include "registry/fix/RegExport.h"

namespace registry {
namespace guard = core::guard;

namespace {

TDeleteResult Result(TDeleteStatus status, std::wstring reason = {}) { return {status, std::move(reason)}; }

std::wstring TrimOneBackslash(const std::wstring& key) {
  return !key.empty() && key.back() == L'\\' ? key.substr(0, key.size() - 1) : key;
}

TDeleteResult FromVerdict(const TFixEntry& entry) {
  switch (entry.Verdict()) {
    case fvGoAhead: return Result(dsDeleted);
    case fvMissing: return Result(dsMissing, entry.Reason());
    case fvCannotBackUp: return Result(dsBackupFailed, entry.Reason());
    default: return Result(dsRefused, entry.Reason());
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

// The entry read through the handles the delete then uses, appended to the
// backup file and flushed there.
TDeleteResult BackUp(TFixEntry& entry, HKEY root, const std::wstring& path, const std::wstring& valueName,
                     bool wholeKey, const std::wstring& backupFile) {
  std::string text;
  TDeleteResult read = FromExport(FormatHeldEntry(entry.Held(), root, path, valueName, wholeKey, &text));
  if (!read.Deleted()) return read;
  std::wstring why;
  if (!AppendToRegFile(backupFile, text, &why)) return Result(dsBackupIoError, why);
  return Result(dsDeleted);
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
  TFixEntry entry(root, path);
  if (!entry.GoAhead()) return FromVerdict(entry);
  TDeleteResult backup = BackUp(entry, root, path, L"", true, BackupFile);
  if (!backup.Deleted()) return backup;
  LONG rc = entry.Held().DeleteTree();
  if (rc != ERROR_SUCCESS) return Result(dsDeleteFailed, L"The key could not be deleted: " + SystemErrorText(rc));
  return Result(dsDeleted);
}

TDeleteResult DeleteValueWithBackup(const std::wstring& Root, const std::wstring& Key, bool WithBackup,
                                    const std::wstring& ValueName, const std::wstring& BackupFile) {
  HKEY root = guard::RootKeyFromName(Root);
  if (root == nullptr) return Result(dsBadRoot, L"\"" + Root + L"\" is not a registry root.");
  const std::wstring path = TrimOneBackslash(Key);
  TFixEntry entry(root, path, ValueName, WithBackup);
  if (!entry.GoAhead()) return FromVerdict(entry);
  if (WithBackup) {
    TDeleteResult backup = BackUp(entry, root, path, ValueName, false, BackupFile);
    if (!backup.Deleted()) return backup;
  }
  LONG rc = entry.Held().DeleteValue(ValueName);
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
