// Deleting one file through the very handle that was checked, so that the
// file cannot be swapped between the check and the delete, and a link is
// never deleted through to the file it points at.
#pragma once
#include <windows.h>

#include <string>

#include "core/guard/FolderPin.h"

namespace core {
namespace guard {

enum class FileDeleteResult {
  Deleted,
  Missing,  // no such file
  Refused,  // a folder, or a file reached through a link
  Failed,   // in use, no rights, or the system refused
};

// Whether an open file is not the file `name` of the pinned `folder` but
// reached through a link, or through a folder that replaced it. Some systems
// show a file symbolic link as a plain file, so the handle's own name is
// compared, exactly, with the pinned folder's name + `name`.
bool ReachedThroughLink(HANDLE file, const FolderPin& folder, const std::wstring& name);
// The same against the folder `folder` (ending in "\") leads to now: for a
// file named by a full path, with no listing to be older than its folder.
bool ReachedThroughLink(HANDLE file, const std::wstring& folder, const std::wstring& name);
bool ReachedThroughLink(HANDLE file, const std::wstring& path);
bool IsFileReachedThroughLink(const std::wstring& path);
// The file `name` is there in the pinned `folder` itself, not reached through
// a link or a folder that replaced it: what a file is checked for before it
// is opened by its path (a database, an index file).
bool LiesInPinnedFolder(const FolderPin& folder, const std::wstring& name);

// A name a folder may list and a delete may take as one file: no separator,
// no stream colon, no wildcard, not "." or "..".
bool IsPlainFileName(const std::wstring& name);

// Deletes the file `name` of the pinned `folder` as the folder's listing
// gave it, with its listed attributes: opened without following a link,
// checked against the pin, marked for deletion on that handle and closed. A
// read-only file loses the attribute on the same handle first.
FileDeleteResult DeleteListedFile(const FolderPin& folder, const std::wstring& name, DWORD attributes);
// The same with `folder` (ending in "\") pinned as the delete begins.
FileDeleteResult DeleteListedFile(const std::wstring& folder, const std::wstring& name, DWORD attributes);

// Sets the attributes of the file `name` of the pinned `folder` through a
// handle checked as DeleteListedFile checks it; false when it is not that
// file or the system refused.
bool SetListedFileAttributes(const FolderPin& folder, const std::wstring& name, DWORD attributes);

// Removes an empty folder, or a folder link without touching its target,
// through a handle opened on the name itself; false (and nothing touched)
// where the system would open a link's target instead. A name ending in a
// dot or a space is taken as written.
bool RemoveFolder(const std::wstring& path);

// Removes the emptied pinned folder through the pin's own handle and closes
// the pin; false (the folder stays) for a link, or a pin not opened for it.
bool RemovePinnedFolder(FolderPin& folder);

// One file named by a full path as its folder lists it: the folder (with its
// "\"), the name as the folder spells it, and its attributes. False when the
// path has no accepted form, holds a wildcard, or names nothing.
bool FindListedFile(const std::wstring& path, std::wstring* folder, std::wstring* name, DWORD* attributes);

// One file named by a full path: found as FindListedFile, then deleted as
// DeleteListedFile.
FileDeleteResult DeleteNamedFile(const std::wstring& path);

}  // namespace guard
}  // namespace core
