// Opening a file of a pinned folder to read or write it (a browser database
// and the files SQLite makes beside it, an index file). The file is opened
// without following a link and then checked on that very handle to be the
// pinned folder's own file, so nothing can be swapped in between; a create
// makes a new name only, so it never goes through a link either.
#pragma once
#include <windows.h>

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
  Missing,  // no such file (and none was to be made)
  Refused,  // a link, a folder, a file with another name too, or not the pinned folder's own
  Failed,   // in use, no rights, or the system refused
};

struct PinnedOpen {
  HANDLE handle = INVALID_HANDLE_VALUE;  // the caller closes it
  PinnedOpenResult result = PinnedOpenResult::Failed;
  DWORD error = 0;  // the system's error when not opened
};

// `access`, `share` and `flags` as CreateFileW takes them; the file is never
// reached through a link. A file this call made and then refused is removed
// again through its own handle.
PinnedOpen OpenPinnedFile(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share,
                          PinnedCreate create, DWORD flags = FILE_ATTRIBUTE_NORMAL);

}  // namespace guard
}  // namespace core
