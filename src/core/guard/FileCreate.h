// Files this program makes in folders others may write (the backup folder)
// and files the user names (exports, the full backup). CREATE_NEW never opens
// whatever already bears the name, a link included (dangling or not): a name
// planted first is met, never written through. An existing file the user
// named is opened and then judged on its handle: Wine opens a file link's
// target even when asked for the link itself, so that flag proves nothing.
#pragma once
#include <windows.h>

#include <string>

namespace core {
namespace guard {

class FolderPin;

enum class CreateResult {
  Created,  // the handle is open on the file
  Taken,    // something bears the name (a file, a folder or a link)
  Link,     // the name leads elsewhere: a link, a file with other names, or a folder swapped meanwhile
  Failed,   // the system refused; see Error
};

struct CreatedFile {
  HANDLE Handle = INVALID_HANDLE_VALUE;
  CreateResult Result = CreateResult::Failed;
  DWORD Error = ERROR_SUCCESS;
  bool Ok() const { return Result == CreateResult::Created; }
};

// The new file `path` (a full path): its folder is pinned, and the file is
// made relative to that pin, never by its whole path, and judged on its
// handle. A folder reached through a link of the user's into the system's
// places, or a file that is not the pin's own, is a Link.
CreatedFile CreateNewFile(const std::wstring& path, DWORD access, DWORD share,
                          DWORD flags = FILE_ATTRIBUTE_NORMAL);
// The same in a folder pinned already.
CreatedFile CreateNewFileIn(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share,
                            DWORD flags = FILE_ATTRIBUTE_NORMAL);

// Removes a file this process has just made and found in the wrong place,
// through its own handle when that may delete, else through a second handle
// on that very file; never by name.
void RemoveJustMadeFile(HANDLE h);

// A file of a random name in `folder`, written by no one else and removed
// when its handle closes; opened with `access`, its path put in `path`.
CreatedFile CreateScratchFile(const std::wstring& folder, DWORD access = GENERIC_WRITE, std::wstring* path = nullptr);

// A new file of a random name in the pinned `folder`, made relative to the
// pin and checked on its handle to be the pin's own; kept when the handle
// closes (to be renamed into place). `access` gains DELETE, so that it can.
CreatedFile CreateScratchIn(const FolderPin& folder, DWORD access);

enum class UserFileMode {
  CreateOnly,  // a new file only; an existing name is Taken
  Replace,     // a new file, or the existing one emptied
  Keep,        // a new file, or the existing one as it is (to append to, or for another program to write)
};

// A file the user named, opened with `access` for writing into it. An
// existing file is refused (Link) when its handle is not the file the path
// names, or when it has more than one name: writing would change the file
// behind the link.
CreatedFile OpenUserFile(const std::wstring& path, UserFileMode mode, DWORD access, DWORD share);

}  // namespace guard
}  // namespace core
