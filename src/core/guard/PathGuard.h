// The last check before any folder is emptied or searched with a wildcard.
// Paths are made canonical first (full path, long names, links resolved,
// case folded), so that "..", 8.3 names and junctions cannot lead a delete
// into a folder that must never be emptied.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/guard/FileNames.h"
#include "core/guard/FolderPin.h"

namespace core {
namespace guard {

// How far a delete reaches into a folder.
enum class DeleteReach {
  Tree,       // the folder and everything below it
  AllFiles,   // every file of the folder, not below
  SomeFiles,  // the files of the folder that a wildcard mask selects
  OneName,    // one file named exactly
};

enum class PathVerdict {
  Allowed,
  Ask,      // the user must agree (My Documents, My Pictures)
  Refused,  // never, whatever anybody answers
  Invalid,  // not a "X:\..." or "\\server\share\..." path
};

// Folders the guard protects. `refused` may never be emptied nor searched with
// a wildcard; `asked` may be after a Yes; every ancestor of either is refused.
// `systemTrees` (Windows, system and program folders) and `systemTops` (the
// profile and application-data roots, the folder itself only) are where a
// data-file entry may remove only junk.
struct GuardFolders {
  std::vector<std::wstring> refused;
  std::vector<std::wstring> asked;
  std::vector<std::wstring> systemTrees;
  std::vector<std::wstring> systemTops;
  // Folders every user may write (the Windows Temp folder, ProgramData, the
  // Public profile): a link anywhere below one may be anybody's, and refuses
  // whatever lies through it.
  std::vector<std::wstring> shared;
};

// What a data-file entry (kavo.dat, Custom.dat) may do in a folder.
struct DataFileJudgement {
  bool allowed = true;
  bool keepFolder = false;  // in a system place a junk folder is emptied, never removed
  std::wstring reason;      // why it is refused
};

// A folder as the guard judged it: `path` is the canonical form with a
// trailing "\" to delete through, `key` the upper-cased resolved form that
// children extend.
struct CheckedFolder {
  PathVerdict verdict = PathVerdict::Invalid;
  std::wstring path;
  std::wstring key;
  bool isLink = false;      // the folder itself is a junction or symbolic link
  std::wstring linkOnPath;  // the first link on the way to the folder (itself included), followed
  std::wstring reason;      // with Refused, when there is more to say than "protected"
  bool userLink = false;    // refused: a link of the user's leads where they could not change
  bool keepFolder = false;  // a data-file entry's junk folder in a system place: emptied, never removed
};

class PathGuard {
 public:
  explicit PathGuard(const GuardFolders& folders);

  // Judges a folder named by an item. A link on its way (the folder itself
  // included) is the user's own layout and is followed, except below a shared
  // folder, where it refuses the folder.
  CheckedFolder CheckFolder(const std::wstring& folder, DeleteReach reach) const;
  // Judges a pinned folder: its key is the handle's own final path, its links
  // those the pin met on its way, refused below a shared folder or where one
  // leads into a place the user could not change.
  CheckedFolder CheckFolder(const FolderPin& pin, DeleteReach reach) const;
  // Pins `folder` for a delete: links on its way are judged as they are
  // opened, against the shared folders known by identity.
  std::unique_ptr<FolderPin> Pin(const std::wstring& folder) const;
  // Judges a folder found while walking a checked one, from its key.
  PathVerdict CheckKey(const std::wstring& key, DeleteReach reach) const;
  // Judges a data-file entry: the files of `folder` that `mask` selects, or
  // the whole folder when `mask` is empty or "*.*". Inside a system place
  // only junk-kind files and known junk folders may go.
  // A junk folder is judged by the folder the entry resolves to, never a
  // link's own name.
  DataFileJudgement JudgeDataFileEntry(const std::wstring& folder, const std::wstring& mask) const;
  // The same for the folder as pinned, which the delete then uses.
  DataFileJudgement JudgeDataFileEntry(const FolderPin& pin, const std::wstring& mask) const;

  // "X:\..." or "\\server\share\..." as typed; nothing relative, no device
  // paths, no stream names.
  static bool HasAcceptedForm(const std::wstring& path);  // see FileNames.h
  // The canonical and the resolved forms of a path (each with a trailing
  // "\"); empty when the path has no accepted form.
  static std::wstring CanonicalPath(const std::wstring& path);
  static std::wstring ResolvedPath(const std::wstring& canonical);
  static std::wstring FinalPathOf(HANDLE h, const std::wstring& otherwise);

 private:
  void Add(std::vector<std::wstring>* keys, const std::wstring& folder);
  static bool IsRootKey(const std::wstring& key);
  static bool IsAncestorOf(const std::vector<std::wstring>& keys, const std::wstring& key);
  static bool Contains(const std::vector<std::wstring>& keys, const std::wstring& key);

  bool InSystemPlace(const std::wstring& key) const;
  // The shared folder `upper` (a canonical path, upper-cased) lies strictly below; empty for none.
  std::wstring SharedFolderAbove(const std::wstring& upper) const;
  DataFileJudgement JudgeInSystemPlace(const std::wstring& canonical, const std::wstring& resolved,
                                       const std::wstring& mask) const;

  std::vector<std::wstring> refused_;
  std::vector<std::wstring> asked_;
  std::vector<std::wstring> systemTrees_;
  std::vector<std::wstring> systemTops_;
  std::vector<std::wstring> shared_;
  SharedFolders sharedIds_;
};

}  // namespace guard
}  // namespace core
