// The folders a user cannot change unelevated, where no link of theirs may
// lead a delete or a write of this elevated program: the Windows folder,
// both Program Files, ProgramData, the Users folder and every profile but
// the user's own. Known by identity, so that no name or second link hides
// one. And, where the system can tell, what the user's own token may delete.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/guard/FolderPin.h"

namespace core {
namespace guard {

enum class PlaceKind {
  Tree,        // the folder and everything below it
  Users,       // the Users folder: itself, and every profile in it but the user's own
  OwnProfile,  // the user's own profile: allowed, even inside the Users folder
};

struct LockedPlace {
  FolderIdentity id;
  PlaceKind kind = PlaceKind::Tree;
  std::wstring name;  // readable, for the log
};

class LockedPlaces {
 public:
  // This system's, read once, at the first link judged.
  static const LockedPlaces& OfSystem();

  // The place `id` is (see SameFolder). With `anyVolume` the index alone
  // decides: for a drive's root, which is never a locked folder unless its
  // letter stands for one (a letter mapped onto a folder of another drive,
  // with a serial of its own), and for the folders below such a letter.
  const LockedPlace* Find(const FolderIdentity& id, bool anyVolume = false) const;
  // The root of the drive that holds the Windows folder, by whatever letter
  // reaches it: every place lies below it, so it lies inside none.
  bool IsSystemDriveRoot(const FolderIdentity& id) const;
  // The system's own redirection names in the Windows folder, which it opens
  // as other folders for a 32-bit program: "system32" as the 32-bit view,
  // "sysnative" as the real system folder. They are what they open, not links.
  bool IsSystemRedirect(const FolderIdentity& parent, const std::wstring& part, const FolderIdentity& child) const;
  // The name on disk of the folder such a name `part` of `parent` opens
  // (the part itself elsewhere): a walk opens names relative to a handle as
  // they are on disk. Which folder it is, `path` (the parent's path and the
  // part) opened as the calling thread's redirection has it tells, by identity.
  std::wstring OnDisk(const FolderIdentity& parent, const std::wstring& part, const std::wstring& path) const;

 private:
  static LockedPlaces Read();
  // `folder` as the system names it; `name` is what the log says (the path when empty).
  void Add(const std::wstring& folder, PlaceKind kind, const std::wstring& name = std::wstring());

  std::vector<LockedPlace> places_;
  FolderIdentity windows_, wow64_, native_, systemRoot_;
  std::wstring wow64Name_, nativeName_;
};

// The identity of the folder `folder` names, read from a handle opened for
// its attributes only; a volume the system cannot name is left 0.
bool IdentityOf(const std::wstring& folder, FolderIdentity* id);

// `id` is the folder known as `known` (a locked place, a shared folder): the
// same index on the same volume. A volume the system could not name (0), on
// either side, is taken to be any, and so is every volume with `anyVolume`:
// where a check cannot finish, the folder is taken for the known one.
bool SameFolder(const FolderIdentity& known, const FolderIdentity& id, bool anyVolume = false);

// Where the folder a drive letter's root stands for lies.
struct LetterFolder {
  enum Kind {
    Volume,   // the root of its volume
    Folder,   // a folder inside `parent`
    Unknown,  // the system would not say
  } kind = Unknown;
  std::wstring parent;  // as the system names it
};
// `root` is a drive's root ("X:\") whose index is `index`. Windows names a
// folder by its volume's own letter, so a root it names is its volume's.
// Wine names a folder by the deepest letter that reaches it, and a letter
// there is a link in the prefix that may lead to any folder: the folder
// above it is the one the letter's Unix path with ".." opens, a path Wine
// hands to the host as it is.
LetterFolder FolderOfLetter(const std::wstring& root, ULONGLONG index);

// The folders every user may write (the Windows Temp folder, ProgramData,
// the Public profile), as the system names them; none that it does not give.
std::vector<std::wstring> SharedFolderPaths();

// The log's reason for a folder whose way passes a link of the user's into `place`.
std::wstring LinkIntoPlaceReason(const std::wstring& place);

// What the user's own, unelevated token may do with a folder.
enum class UserRight {
  Unknown,  // the system cannot tell (no linked token): not a refusal
  Granted,
  Denied,   // also when the check could not finish
};

class IUserRights {
 public:
  virtual ~IUserRights() = default;
  // May the user's own token delete in the open folder `folder`?
  virtual UserRight MayDelete(HANDLE folder) = 0;
};

// Replaces the check (not owned; null restores the system's); returns the previous one.
IUserRights* SetUserRights(IUserRights* rights);
UserRight UserMayDelete(HANDLE folder);

}  // namespace guard
}  // namespace core
