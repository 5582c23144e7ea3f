// Reading one registry string and saving a loaded hive to a file.
#pragma once
#include <windows.h>

#include <string>

#include "core/guard/FolderPin.h"

namespace core {

// The text of a string value (plain or expandable, unexpanded); empty when the
// key or value is missing, of another type or not readable. The key is opened
// for reading only; a leading "\" on Key is ignored.
std::wstring ReadRegString(HKEY Root, const std::wstring& Key, const std::wstring& Name);

// Where a hive name of the system's hive list lives in the registry.
struct HiveTarget {
  HKEY root = nullptr;  // null: the name has neither known form
  std::wstring subKey;
  bool view64 = false;  // open the 64-bit view (SOFTWARE under WOW64)
};
HiveTarget ParseHivePath(const std::wstring& KeyPath, bool IsWow64);

enum class HiveSaveResult {
  Saved,
  Failed,   // no such key, in use, or the system refused
  Refused,  // the name is a link, a folder or a file with another name, left as it is
};

// Saves the hive named like \REGISTRY\MACHINE\SOFTWARE or \REGISTRY\USER\<sid>
// to the file `name` of the pinned `folder`, made there as a new file, never
// through a link; the system writes the hive into that very handle. An old
// file of that name is removed first, through the pin, even when the save
// then fails, so no stale copy is taken for a fresh one. Needs the backup
// privilege (EnableBackupPrivilege).
HiveSaveResult SaveHiveBeside(const std::wstring& KeyPath, const guard::FolderPin& folder, const std::wstring& name,
                              bool IsWow64);

// The same for the full path FileName, its folder pinned as a named file's is.
bool SaveHiveToFile(const std::wstring& KeyPath, const std::wstring& FileName, bool IsWow64);

}  // namespace core
