// Privileges the hive tools need: backup to save a hive, restore to replace one.
#pragma once

namespace core {

// True when the privilege was enabled in the process token.
bool EnableBackupPrivilege();
bool EnableRestorePrivilege();

}  // namespace core
