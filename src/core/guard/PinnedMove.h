// Moving a file within its pinned folder, or out of it: the open file itself
// is renamed relative to the pin's handle, so neither a name looked up again
// nor a link on the way decides where it lands, and nothing that bears the
// new name is ever replaced; a name is removed as the pin's listing gives it.
#pragma once
#include <windows.h>

#include <string>

#include "core/guard/FileDelete.h"
#include "core/guard/FolderPin.h"

namespace core {
namespace guard {

enum class RenameOver {
  Nothing,  // a name that is taken stays as it is
  Name,     // whatever bears the name is replaced, a link itself, never its target
};

// What RenameInPin answers when the rename went to another folder: after a
// rename reported done the file is not the pinned folder's `name`, or after
// one reported failed it is not in the folder at all, and it still has a
// name. Under Wine a rename relative to a folder's handle goes by the
// folder's name: through a link put in the folder's place meanwhile, or to
// another folder put at that name, which may then answer that it failed.
// Such a file is not removed through its handle, which the system may take
// by a name of that other folder.
constexpr DWORD kRenamedElsewhere = ERROR_FILE_INVALID;

// Renames the open file `file` (opened with DELETE, judged on the pin) to
// `name` in the pinned `folder`. ERROR_SUCCESS, ERROR_ALREADY_EXISTS when
// something bears that name and `over` is Nothing, kRenamedElsewhere, or
// the system's error.
DWORD RenameInPin(HANDLE file, const FolderPin& folder, const std::wstring& name,
                  RenameOver over = RenameOver::Nothing);

// Removes the file `name` of the pinned `folder` where the pin's listing has
// it: Missing when it does not; Refused, and left, for a link or a folder.
FileDeleteResult RemoveFromPin(const FolderPin& folder, const std::wstring& name);

}  // namespace guard
}  // namespace core
