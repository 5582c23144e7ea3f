// Deleting one file through the very handle that was checked, so that the
// file cannot be swapped between the check and the delete, and a link is
// never deleted through to the file it points at.
#pragma once
#include <windows.h>

#include <functional>
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

// Removes an empty folder, or a folder link without touching its target,
// through a handle opened on the name itself; false (and nothing touched)
// where the system would open a link's target instead. A name ending in a
// dot or a space is taken as written.
bool RemoveFolder(const std::wstring& path);

// Removes the emptied pinned folder through the pin's own handle and closes
// the pin; false (the folder stays) for a link, or a pin not opened for it.
bool RemovePinnedFolder(FolderPin& folder);

// A full path one file may be found by: an accepted form, no wildcard, and
// a name after its last separator.
bool IsNamedFilePath(const std::wstring& path);
// One file named by a full path: its folder pinned from the drive root (links
// on the way taken as the user's own layout), the name found in that pin's
// listing and handed to `use`. Missing when the path is no such path or its
// folder or name is not there; Failed when the folder could not be listed, or
// when a link of the user's on the way leads into a place they could not
// change (then `linkIntoPlace`, when given, names that place).
Lookup FindNamedFile(const std::wstring& path, const std::function<void(const ListedEntry&)>& use,
                     std::wstring* linkIntoPlace = nullptr);

// One file named by a full path: found as FindNamedFile, then deleted as
// DeleteListedFile.
FileDeleteResult DeleteNamedFile(const std::wstring& path);

}  // namespace guard
}  // namespace core
