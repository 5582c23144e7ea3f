// The file system as the scanner lists it: special folders and the entries
// of one folder.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace registry {

// The path of a special folder (CSIDL_...) without a trailing backslash;
// empty when the system has none.
std::wstring SpecialFolderPath(int csidl);
// folder + "\" + name, without doubling a backslash.
std::wstring JoinFilePath(const std::wstring& folder, const std::wstring& name);
// Whether the file name's extension (from its last ".") is `ext`, ignoring case.
bool HasExtension(const std::wstring& name, const std::wstring& ext);

// Visits the entries of `folder` but "." and ".."; stops when `visit` returns
// false. A folder that cannot be listed has no entries.
void ForEachFolderEntry(const std::wstring& folder, const std::function<bool(const WIN32_FIND_DATAW&)>& visit);

inline bool IsFolderEntry(const WIN32_FIND_DATAW& e) { return (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
// A junction, mount point or symbolic link: a walk never goes through one,
// which could lead anywhere, also back into the walk itself.
inline bool IsLinkEntry(const WIN32_FIND_DATAW& e) { return (e.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace registry
