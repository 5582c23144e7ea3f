// The last check before any folder is emptied or searched with a wildcard.
// Paths are made canonical first (full path, long names, links resolved,
// case folded), so that "..", 8.3 names and junctions cannot lead a delete
// into a folder that must never be emptied.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace cleaner {

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
struct GuardFolders {
  std::vector<std::wstring> refused;
  std::vector<std::wstring> asked;
};

// The folders of this system and user: Windows, System, Program Files, the
// profile and application-data roots (refused); My Documents and My Pictures
// (asked).
GuardFolders SystemGuardFolders();

// A folder as the guard judged it: `path` is the canonical form with a
// trailing "\" to delete through, `key` the upper-cased resolved form that
// children extend.
struct CheckedFolder {
  PathVerdict verdict = PathVerdict::Invalid;
  std::wstring path;
  std::wstring key;
  bool isLink = false;  // the folder itself is a junction or symbolic link
};

class PathGuard {
 public:
  explicit PathGuard(const GuardFolders& folders);

  // Judges a folder named by an item. A folder that is itself a link is
  // refused for every reach but OneName: its target is not ours to empty.
  CheckedFolder CheckFolder(const std::wstring& folder, DeleteReach reach) const;
  // Judges a folder found while walking a checked one, from its key.
  PathVerdict CheckKey(const std::wstring& key, DeleteReach reach) const;

  // "X:\..." or "\\server\share\..." as typed; nothing relative, no device
  // paths, no stream names.
  static bool HasAcceptedForm(const std::wstring& path);
  // The canonical and the resolved forms of a path (each with a trailing
  // "\"); empty when the path has no accepted form.
  static std::wstring CanonicalPath(const std::wstring& path);
  static std::wstring ResolvedPath(const std::wstring& canonical);
  // Whether an open file is not the one its path names but reached through a
  // link. Some systems show a file symbolic link as a plain file, so the
  // resolved name of the handle is compared with its resolved folder + name.
  static bool ReachedThroughLink(HANDLE file, const std::wstring& typedPath);
  static bool IsFileReachedThroughLink(const std::wstring& path);

 private:
  void Add(std::vector<std::wstring>* keys, const std::wstring& folder);
  static bool IsRootKey(const std::wstring& key);
  static bool IsAncestorOf(const std::vector<std::wstring>& keys, const std::wstring& key);
  static bool Contains(const std::vector<std::wstring>& keys, const std::wstring& key);

  std::vector<std::wstring> refused_;
  std::vector<std::wstring> asked_;
};

}  // namespace cleaner
