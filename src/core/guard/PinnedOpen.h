// Opening a file of a pinned folder to read or write its content (a browser
// database and the files SQLite makes beside it, an index file, a file to
// wipe, a cookie). The one way in: the file is opened relative to the pin's
// handle without following a link, and judged on that very handle by
// identity: its volume and file id must be those the pinned listing gave for
// its name, with no other name. A name swapped after the listing is refused,
// whatever the handle's name says; the handle's name is looked at too, for a
// link already in place at the listing (some systems list a file link with
// its target's id). A file that must be made is made as a new name only,
// relative to the pin, so it never goes through a link either.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "core/guard/FolderPin.h"

namespace core {
namespace guard {

enum class PinnedCreate {
  No,         // the file must be there
  IfMissing,  // opened when there, made when not
  New,        // made; fails when the name is taken
};

enum class PinnedOpenResult {
  Opened,
  Missing,    // no such file (and none was to be made)
  Refused,    // a link, a folder, or not the file the pinned listing gave
  OtherName,  // a file with another name too: its data is not only this folder's
  Failed,     // in use, no rights, or the system refused
};

struct PinnedOpen {
  HANDLE handle = INVALID_HANDLE_VALUE;  // the caller closes it
  PinnedOpenResult result = PinnedOpenResult::Failed;
  DWORD error = 0;  // the system's error when not opened
  bool Refused() const { return result == PinnedOpenResult::Refused || result == PinnedOpenResult::OtherName; }
};

// The file a pinned listing gave. `access`, `share` and `flags` as CreateFileW
// takes them.
PinnedOpen OpenListedFile(const ListedEntry& entry, DWORD access, DWORD share, DWORD flags = FILE_ATTRIBUTE_NORMAL);

// The file `name` of the pinned folder, found in the pin's own listing first;
// with `create`, a name missing there is made. A file this call made and
// then refused is removed again through its own handle.
PinnedOpen OpenPinnedFile(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share,
                          PinnedCreate create, DWORD flags = FILE_ATTRIBUTE_NORMAL);

// Asked again after the work on an open file (it was read, or renamed to
// `name`), and by every open here: the name, opened afresh relative to the
// pin a few times and judged as the first open was, is still this very
// file. Under Wine a file link at the name, put there for the open and taken
// away before the handle's name was worked out, passes every look taken at
// the open (Wine lists a file link with its target's id); each open again
// shows the link, by its name or by another id, unless the race is won again.
bool StillPinnedAs(HANDLE h, const FolderPin& folder, const std::wstring& name);

// Tests only: called with the file's path (its pin's path and its name) just
// before a listed file is opened, where a test swaps the name as another
// program could at that moment.
void SetBeforeContentOpen(std::function<void(const std::wstring& path)> hook);

}  // namespace guard
}  // namespace core
