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
// after appending it whole to BackupFile. Keys directly under a root, the
// roots themselves and paths with empty parts are never deleted.
TDeleteResult DeleteKeyWithBackup(const std::wstring& Root, const std::wstring& Key, const std::wstring& BackupFile);

// The value ValueName ("" the default value) of the key Key; with WithBackup
// it is appended to BackupFile first. An empty Key is the root itself.
TDeleteResult DeleteValueWithBackup(const std::wstring& Root, const std::wstring& Key, bool WithBackup,
                                    const std::wstring& ValueName, const std::wstring& BackupFile);

// A dead shortcut, removed for good: only an existing regular ".lnk" file
// named by a full path, never a folder or a link.
TDeleteResult DeleteShortcutFile(const std::wstring& Path);

// True when `path` (below a root, one trailing "\" ignored) names a key at
// least two levels down with no empty part.
bool IsDeletableKeyPath(const std::wstring& path);

}  // namespace registry
