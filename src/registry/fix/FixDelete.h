// The deletions of a fix, each with its backup written first.
#pragma once
#include <string>

namespace registry {

enum TDeleteStatus {
  dsDeleted,        // deleted (after its backup, where it has one)
  dsMissing,        // nothing there to delete; nothing written
  dsBadRoot,        // the root is not one of the five full names; nothing done
  dsRefused,        // a guard refused the target (a root, a first-level key, a bad path or file); nothing done
  dsBackupFailed,   // the entry cannot be read whole or written in the backup's form; nothing deleted
  dsBackupIoError,  // the backup file cannot be written; nothing deleted
  dsDeleteFailed,   // the backup is written but the system refused the deletion
};

struct TDeleteResult {
  TDeleteStatus Status = dsRefused;
  std::wstring Reason;  // for every status but dsDeleted
  bool Deleted() const { return Status == dsDeleted; }
};

// The key Key under the root named Root (any case), with all its subkeys,
// after appending it whole to BackupFile. Roots (also under another name: a
// user's hive, "Software\Classes", "Wow6432Node"), keys directly under one,
// and paths with empty parts are never deleted; directly under a classes
// root other than HKEY_CLASSES_ROOT, a class only when it holds no subkeys.
// A registry link in the key is never followed: such a key is not deleted,
// nor is a volatile key, which its backup could not bring back.
TDeleteResult DeleteKeyWithBackup(const std::wstring& Root, const std::wstring& Key, const std::wstring& BackupFile);

// The value ValueName ("" the default value) of the key Key; with WithBackup
// it is appended to BackupFile first. An empty Key is the root itself.
TDeleteResult DeleteValueWithBackup(const std::wstring& Root, const std::wstring& Key, bool WithBackup,
                                    const std::wstring& ValueName, const std::wstring& BackupFile);

// A dead shortcut, removed for good: only an existing regular ".lnk" file
// named by a full path, never a folder or a link.
TDeleteResult DeleteShortcutFile(const std::wstring& Path);

}  // namespace registry
