// Deleting one file through the very handle that was checked, so that the
// file cannot be swapped between the check and the delete, and a link is
// never deleted through to the file it points at.
#pragma once
#include <windows.h>

#include <string>

namespace core {
namespace guard {

enum class FileDeleteResult {
  Deleted,
  Missing,  // no such file
  Refused,  // a folder, or a file reached through a link
  Failed,   // in use, no rights, or the system refused
};

// Whether an open file is not the one `folder` + `name` names but reached
// through a link. Some systems show a file symbolic link as a plain file, so
// the handle's own name is compared, exactly, with its folder's + `name`.
// `folder` ends in "\".
bool ReachedThroughLink(HANDLE file, const std::wstring& folder, const std::wstring& name);
bool ReachedThroughLink(HANDLE file, const std::wstring& path);
bool IsFileReachedThroughLink(const std::wstring& path);

// A name a folder may list and a delete may take as one file: no separator,
// no stream colon, no wildcard, not "." or "..".
bool IsPlainFileName(const std::wstring& name);

// Deletes the file `name` of `folder` (ending in "\") as a folder walk listed
// it, with its listed attributes: opened without following a link, checked,
// marked for deletion on that handle and closed. A read-only file loses the
// attribute on the same handle first.
FileDeleteResult DeleteListedFile(const std::wstring& folder, const std::wstring& name, DWORD attributes);

// Removes an empty folder, or a folder link without touching its target;
// a name ending in a dot or a space is taken as written.
bool RemoveFolder(const std::wstring& path);

// One file named by a full path as its folder lists it: the folder (with its
// "\"), the name as the folder spells it, and its attributes. False when the
// path has no accepted form, holds a wildcard, or names nothing.
bool FindListedFile(const std::wstring& path, std::wstring* folder, std::wstring* name, DWORD* attributes);

// One file named by a full path: found as FindListedFile, then deleted as
// DeleteListedFile.
FileDeleteResult DeleteNamedFile(const std::wstring& path);

}  // namespace guard
}  // namespace core
