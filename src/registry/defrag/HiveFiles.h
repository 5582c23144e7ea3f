// The files the defragmenter keeps beside a hive file (its copy, the old hive
// kept as ".bak", and that one's aside) are reached only through the hive's
// folder, pinned as an item's folder is: a link of the user's on the way is
// followed only where it leads outside the places the user could not change,
// and never below a folder every user may write.
// Nothing there is created, moved or removed by its whole path.
#pragma once
#include <string>

#include "core/guard/FolderPin.h"
#include "core/guard/PinnedOpen.h"
#include "core/guard/Redirection.h"
#include "registry/defrag/HiveList.h"

namespace registry {

// What one step did for one hive.
struct THiveStep {
  enum Kind { Done, Failed, Refused };
  Kind Result = Failed;
  std::wstring Why;  // Refused: why the hive is not compacted
  bool Ok() const { return Result == Done; }
};

THiveStep RefusedStep(const std::wstring& why);

// The folder of a hive file, pinned now. A 32-bit program reaches the
// system's hives through the Windows folder's own "sysnative", but a name
// opened relative to that folder's handle would be redirected again, into
// the 32-bit system folder: such a folder is pinned by its real name, with
// the redirection off on this thread while the object lives (so it lives on
// one thread only). A folder of any other place called so is just a folder.
class THiveFolder {
 public:
  explicit THiveFolder(const std::wstring& hiveFile);
  ~THiveFolder();
  THiveFolder(const THiveFolder&) = delete;
  THiveFolder& operator=(const THiveFolder&) = delete;
  const core::guard::FolderPin& Pin() const { return pin_; }
  bool Pinned() const { return pin_.IsFolder(); }
  // Not pinned: refused, with why, for a link the folder may not be reached
  // through; else failed (no such folder).
  THiveStep Unpinned() const;
  // The name in this folder of `file`, a path beside the hive file.
  std::wstring NameOf(const std::wstring& file) const;
  // The full path of `file` as the pin reaches it, for the system to open
  // while this object lives.
  std::wstring PathOf(const std::wstring& file) const { return pin_.Path() + NameOf(file); }

 private:
  size_t slash_;
  size_t sysnative_;  // where the path passes the Windows folder's own "sysnative", read with the redirection on
  const core::guard::SharedFolders* shared_;  // read before the redirection is off
  core::guard::ThreadRedirection redirection_;  // before the pin: off while it is taken, on after it is closed
  core::guard::FolderPin pin_;
};

// The file `name` of the pinned folder that a step refuses to touch.
THiveStep RefusedFile(const std::wstring& name);

// Opens the file `name` of the folder, judged on the pin: Done with the
// handle in `*opened`; Refused for a link, a folder or a file with another
// name; else Failed, and `*missing` (when given) says whether it is not there.
THiveStep OpenHiveFile(const THiveFolder& folder, const std::wstring& name, DWORD access,
                       core::guard::PinnedOpen* opened, bool* missing = nullptr);

// Renames the open file `file` of the folder to `name` there (a name that
// is taken stays as it is). Refused when the file went to another folder.
THiveStep MoveHiveFile(const THiveFolder& folder, HANDLE file, const std::wstring& name);

// Removes the file `name` of the folder when there; a link is refused.
THiveStep RemoveHiveFile(const THiveFolder& folder, const std::wstring& name);

// Saves the hive to its copy, a new file made in the pinned folder into
// which the system writes; an old copy goes first.
THiveStep SaveHiveCopy(const THive& hive, bool IsWow64);

}  // namespace registry
