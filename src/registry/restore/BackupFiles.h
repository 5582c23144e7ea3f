// The .reg backup files of a folder as the restore dialog lists them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace registry {

struct TBackupFile {
  std::wstring Name;      // file name with extension
  FILETIME LastWrite{};   // UTC
  std::int64_t Size = 0;
};

// Folder with a trailing "\" added when missing.
std::wstring WithTrailingBackslash(const std::wstring& folder);

// Whether `folder` names an existing folder.
bool BackupFolderExists(const std::wstring& folder);

// The files (never folders) of `folder` whose extension is ".reg" in any
// case, newest dated name first: by name, descending, case ignored.
std::vector<TBackupFile> ListBackupFiles(const std::wstring& folder);

// Sorts as the list shows them.
void SortBackupFiles(std::vector<TBackupFile>* files);

// The local date and time of a UTC file time, in the user's short date and
// time formats.
std::wstring BackupDateText(const FILETIME& utc);

}  // namespace registry
