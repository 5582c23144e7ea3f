// Reading one registry string and saving a loaded hive to a file.
#pragma once
#include <windows.h>

#include <string>

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

// Saves the hive named like \REGISTRY\MACHINE\SOFTWARE or \REGISTRY\USER\<sid>
// to FileName, replacing an existing file. The existing file is removed even
// when the save then fails, so no stale copy is taken for a fresh one. Needs
// the backup privilege (EnableBackupPrivilege).
bool SaveHiveToFile(const std::wstring& KeyPath, const std::wstring& FileName, bool IsWow64);

}  // namespace core
