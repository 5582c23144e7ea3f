// The deletion primitives of the clean thread. In a test they count what a
// clean would remove; only a clean thread holds a deleter that acts.
#include <windows.h>

#include "cleaner/Masks.h"
#include "cleaner/ProgressThread.h"
#include "cleaner/RegistryPaths.h"
#include "core/guard/LockedPlaces.h"
#include "sys/RegistryKey.h"

namespace cleaner {

using core::guard::FolderPin;
using core::guard::FollowLink;
using core::guard::ListedEntry;

struct TClearTaskThread::Walk {
  bool logFlag = true;
  std::wstring excluded;           // a file name kept, letter case ignored
  const FileMask* mask = nullptr;  // null: every file
  bool recursive = true;
  bool removeFolders = true;       // sub-folders, once emptied
  bool removeTop = false;
  bool filesQuestion = false;      // the question of the mask deletion
  std::wstring sparedText;         // upper-cased: a file whose name holds it is kept
  UINT questionIcon = MB_ICONINFORMATION;
  const std::wstring* dataMask = nullptr;  // a data-file entry's mask: its folder judged as one

  bool Keeps(const std::wstring& name) const {
    if (mask != nullptr) return !mask->Matches(name);
    if (!sparedText.empty()) return UpperName(name).find(sparedText) != std::wstring::npos;
    return !excluded.empty() && SameName(name, excluded);
  }

  // Deletes the files `fileMask` names and keeps every folder.
  static Walk ByMask(const FileMask& fileMask, bool recursive) {
    Walk walk;
    walk.mask = &fileMask;
    walk.recursive = recursive;
    walk.removeFolders = false;
    walk.filesQuestion = true;
    return walk;
  }
};

namespace {

bool IsFolder(const std::wstring& path) {
  DWORD attrs = ::GetFileAttributesW(core::guard::LiteralPath(path).c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::wstring TClearTaskThread::Question(const Walk& walk, const std::wstring& folder) {
  if (walk.filesQuestion) return L"Do you want to delete the files on " + folder + L"?";
  return L"Do you want to delete all files and folders under " + folder + L"?";
}

int64_t TClearTaskThread::DeleteFolderFiles(const std::wstring& folder, bool removeFolder, bool logFlag,
                                            const std::wstring& excluded, int& count) {
  Walk walk;
  walk.logFlag = logFlag;
  walk.excluded = excluded;
  walk.removeTop = removeFolder;
  return EmptyFolder(folder, DeleteReach::Tree, walk, count);
}

int64_t TClearTaskThread::DeleteSubFolder(const std::wstring& folder, int& count, bool logFlag,
                                          const std::wstring& excluded) {
  return DeleteFolderFiles(folder, true, logFlag, excluded, count);
}

int64_t TClearTaskThread::DeleteFilesByMask(const std::wstring& folder, const std::wstring& mask, int& count,
                                            bool recursive) {
  FileMask fileMask(mask);
  if (fileMask.IsEmpty()) return 0;
  const Walk walk = Walk::ByMask(fileMask, recursive);
  DeleteReach reach = recursive                       ? DeleteReach::Tree
                      : fileMask.MatchesEverything()  ? DeleteReach::AllFiles
                      : fileMask.IsWildcard()         ? DeleteReach::SomeFiles
                                                      : DeleteReach::OneName;
  return EmptyFolder(folder, reach, walk, count);
}

int64_t TClearTaskThread::EmptyFolderExcept(const std::wstring& folder, bool removeFolder, int& count,
                                            const std::wstring& spared) {
  Walk walk;
  walk.sparedText = UpperName(spared);
  walk.removeFolders = removeFolder;
  walk.removeTop = removeFolder;
  walk.questionIcon = MB_ICONQUESTION;
  return EmptyFolder(folder, DeleteReach::Tree, walk, count);
}

// Every folder is pinned before it is listed, and everything in it is
// deleted against that pin: a folder swapped for a link after its listing
// leads a path elsewhere, and nothing is deleted there.
int64_t TClearTaskThread::EmptyFolder(const std::wstring& folder, DeleteReach reach, const Walk& walk, int& count) {
  CheckedFolder checked;
  std::unique_ptr<FolderPin> pin = PinFolder(folder, reach, walk, &checked);
  // A folder that is itself a link is emptied as the user laid it out; the link stays.
  return pin ? EmptyPinned(*pin, checked.key, walk, count, walk.removeTop && !checked.isLink && !checked.keepFolder)
             : 0;
}

std::unique_ptr<FolderPin> TClearTaskThread::PinItemFolder(const std::wstring& folder) {
  Walk walk;
  CheckedFolder checked;
  return PinFolder(folder, DeleteReach::Tree, walk, &checked);
}

// A folder an item names: pinned part by part, and judged as pinned, so
// that the judgement is the pinned folder's and nothing is looked up again by
// path. A link on its way is followed as the user's own layout, and said so once.
std::unique_ptr<FolderPin> TClearTaskThread::PinFolder(const std::wstring& folder, DeleteReach reach,
                                                      const Walk& walk, CheckedFolder* checkedOut) {
  if (Terminated() || folder == L"\\" || !IsFolder(folder)) return nullptr;
  std::unique_ptr<FolderPin> pin = services_.guard->Pin(folder);
  CheckedFolder checked = services_.guard->CheckFolder(*pin, reach);
  if (!PassesGuard(checked, Question(walk, checked.path), walk.questionIcon) || !pin->IsFolder()) return nullptr;
  if (walk.dataMask != nullptr && !PassesDataFileRule(*pin, *walk.dataMask, &checked)) return nullptr;
  if (!checked.linkOnPath.empty() && FFollowedLinks.insert(checked.linkOnPath).second) {
    AddLog(FPrefix + L"following the link" + L" " + checked.linkOnPath + L" (the user's own layout)");
  }
  *checkedOut = checked;
  return pin;
}

// A data-file entry's folder judged as pinned: the folder it resolves to,
// not a link's name, decides whether it is a junk folder.
bool TClearTaskThread::PassesDataFileRule(const FolderPin& pin, const std::wstring& mask, CheckedFolder* checked) {
  core::guard::DataFileJudgement judged = services_.guard->JudgeDataFileEntry(pin, mask);
  if (!judged.allowed) {
    ++FItemRefused;
    AddLog(FPrefix + L"skipping protected folder" + L" " + checked->path + L" (" + judged.reason + L")");
    return false;
  }
  checked->keepFolder = judged.keepFolder;
  return true;
}

int64_t TClearTaskThread::DeleteDataFileEntry(const std::wstring& folder, const std::wstring& mask, bool removeFolder,
                                              int& count) {
  Walk walk;
  walk.dataMask = &mask;
  walk.removeTop = removeFolder;
  FileMask fileMask(mask);
  bool wholeFolder = mask.empty() || mask == L"*.*" || mask == L"*";
  if (!wholeFolder) {
    if (fileMask.IsEmpty()) return 0;
    walk = Walk::ByMask(fileMask, false);
    walk.dataMask = &mask;
  }
  DeleteReach reach = wholeFolder                     ? DeleteReach::Tree
                      : fileMask.MatchesEverything()  ? DeleteReach::AllFiles
                      : fileMask.IsWildcard()         ? DeleteReach::SomeFiles
                                                      : DeleteReach::OneName;
  return EmptyFolder(folder, reach, walk, count);
}

bool TClearTaskThread::PassesGuard(const CheckedFolder& checked, const std::wstring& question, UINT icon) {
  if (checked.verdict != PathVerdict::Refused || checked.reason.empty()) {
    return PassesGuard(checked.verdict, checked.path, question, icon);
  }
  ++FItemRefused;
  AddLog(FPrefix + (checked.userLink ? L"skipping" : L"skipping protected folder") + L" " + checked.path + L" (" +
         checked.reason + L")");
  return false;
}

bool TClearTaskThread::PassesGuard(PathVerdict verdict, const std::wstring& path, const std::wstring& question,
                                   UINT icon) {
  switch (verdict) {
    case PathVerdict::Allowed:
      return true;
    case PathVerdict::Ask:
      return IsTest() || AskUser(question, icon);
    case PathVerdict::Refused:
      ++FItemRefused;
      AddLog(FPrefix + L"skipping protected folder" + L" " + path);
      return false;
    case PathVerdict::Invalid:
      return false;
  }
  return false;
}

// A pinned folder judged by the guard as a whole, then emptied; it stays.
int64_t TClearTaskThread::EmptyJudgedPin(FolderPin& folder, const Walk& walk, int& count) {
  CheckedFolder checked = services_.guard->CheckFolder(folder, DeleteReach::Tree);
  if (!PassesGuard(checked, Question(walk, checked.path), walk.questionIcon)) return 0;
  return EmptyPinned(folder, checked.key, walk, count, false);
}

int64_t TClearTaskThread::EmptyPinnedFolder(FolderPin& folder, bool logFlag, int& count) {
  Walk walk;
  walk.logFlag = logFlag;
  return EmptyJudgedPin(folder, walk, count);
}

int64_t TClearTaskThread::DeletePinnedByMask(FolderPin& folder, const std::wstring& mask, int& count, bool recursive) {
  FileMask fileMask(mask);
  if (fileMask.IsEmpty()) return 0;
  const Walk walk = Walk::ByMask(fileMask, recursive);
  return EmptyJudgedPin(folder, walk, count);
}

int64_t TClearTaskThread::DeleteListedFolder(const ListedEntry& entry, bool logFlag, int& count) {
  Walk walk;
  walk.logFlag = logFlag;
  std::wstring key = services_.guard->CheckFolder(entry.Folder(), DeleteReach::Tree).key;
  return key.empty() ? 0 : WalkSubFolder(entry, key, walk, count);
}

// Empties the pinned folder, then removes it when asked, through the pin:
// the folder emptied is the folder removed, wherever its path leads by now.
int64_t TClearTaskThread::EmptyPinned(FolderPin& folder, const std::wstring& key, const Walk& walk, int& count,
                                      bool removeIt) {
  bool replaced = false;
  int64_t bytes = WalkFolder(folder, key, walk, count, &replaced);
  if (replaced) {
    LogReplacedFolder(folder.Path());
    return bytes;
  }
  // Only its removal closes the pin: a pin its owner handed in stays open
  // for the owner's next step there (another mask, a database).
  if (removeIt && Live() && !Terminated()) services_.deleter->RemovePinnedFolder(folder);
  return bytes;
}

int64_t TClearTaskThread::WalkFolder(const FolderPin& folder, const std::wstring& key, const Walk& walk, int& count,
                                     bool* replaced) {
  int64_t bytes = 0;
  core::guard::ListPinned(folder, [&](const ListedEntry& entry) {
    if (Terminated()) return false;
    if (entry.IsFolder()) {
      bytes += WalkSubFolder(entry, key, walk, count);
      return true;
    }
    if (walk.Keeps(entry.Name())) return true;
    FileOutcome outcome = DeleteListedFile(entry, walk.logFlag);
    if (outcome == FileOutcome::FolderReplaced) {
      *replaced = true;
      return false;
    }
    if (outcome == FileOutcome::Deleted) {
      ++count;
      bytes += entry.Size();
      ProgressTick(count);
    }
    return true;
  });
  return bytes;
}

// A sub-folder as its parent's listing gave it: pinned from the parent, never
// looked up again by path.
int64_t TClearTaskThread::WalkSubFolder(const ListedEntry& entry, const std::wstring& key, const Walk& walk,
                                        int& count) {
  std::wstring name = entry.Name();
  // A name with a separator or a colon would lead elsewhere: left, and said so.
  if (!core::guard::IsPlainFileName(name)) {
    if (walk.removeFolders && walk.logFlag) {
      AddLog(FPrefix + L"skipping" + L" " + entry.Path() + L" (the name cannot be handled)");
    }
    return 0;
  }
  // A junction or symbolic link is never entered: the link goes, its target stays.
  if (entry.IsLink()) {
    RemoveFolderLink(entry, walk);
    return 0;
  }
  if (!walk.recursive) return 0;
  std::wstring childPath = entry.Path() + L"\\";
  std::wstring childKey = key + UpperName(name) + L"\\";
  if (!PassesGuard(services_.guard->CheckKey(childKey, DeleteReach::Tree), childPath,
                   Question(walk, childPath), walk.questionIcon)) {
    return 0;
  }
  // Listed as a plain folder, it may be a link or lie elsewhere by now: then
  // it is not the folder listed, and is left.
  FolderPin child(entry.Folder(), name);
  if (child.IsLink() || child.IsReplaced()) {
    LogReplacedFolder(childPath);
  } else if (child.IsFolder()) {
    return EmptyPinned(child, childKey, walk, count, walk.removeFolders);
  }
  return 0;
}

// The link itself goes, through a handle on the link; where the system
// will not open the link itself, it stays, and the log says so.
void TClearTaskThread::RemoveFolderLink(const ListedEntry& entry, const Walk& walk) {
  if (!Live()) return;
  if (walk.removeFolders) {
    if (services_.deleter->RemoveFolder(entry.Path())) return;
    ++FItemFailed;  // asked to go, and left
  }
  if (walk.logFlag && !settings_.FastScan) {
    AddLog(FPrefix + L"skipping" + L" " + entry.Path() + L" (a folder link; its target is kept)");
  }
}

void TClearTaskThread::LogReplacedFolder(const std::wstring& folder) {
  ++FItemRefused;
  AddLog(FPrefix + L"skipping" + L" " + folder + L" (the folder was replaced after it was listed)");
}

bool TClearTaskThread::DeleteOneFile(const std::wstring& path, bool logFlag) {
  if (!PathGuard::HasAcceptedForm(path)) return false;
  size_t slash = path.find_last_of(L"\\/");
  return DeleteListedFile(path.substr(0, slash + 1), path.substr(slash + 1), nullptr, logFlag) ==
         FileOutcome::Deleted;
}

bool TClearTaskThread::DeletePinnedFile(const ListedEntry& entry, bool logFlag) {
  FileOutcome outcome = DeleteListedFile(entry, logFlag);
  if (outcome == FileOutcome::FolderReplaced) LogReplacedFolder(entry.Folder().Path());
  return outcome == FileOutcome::Deleted;
}

TClearTaskThread::FileOutcome TClearTaskThread::DeleteListedFile(const ListedEntry& entry, bool logFlag) {
  return DeleteListedFile(entry.Folder().Path(), entry.Name(), &entry, logFlag);
}

// A file of `folder` as its pinned listing gave it; or, with no entry, a file
// named by an item, which the deleter looks up itself.
TClearTaskThread::FileOutcome TClearTaskThread::DeleteListedFile(const std::wstring& folder, const std::wstring& name,
                                                                 const ListedEntry* entry, bool logFlag) {
  // The full path only for a log line: a fast clean of many files builds none.
  auto path = [&folder, &name] { return folder + name; };
  if (!core::guard::IsPlainFileName(name)) {
    if (Live()) ++FItemFailed;
    AddLog(FPrefix + L"skipping" + L" " + path() + L" (the name cannot be handled)");
    return FileOutcome::Left;
  }
  // A clean says "deleting" only of a file it deleted; a test of every file it would.
  bool logIt = !settings_.FastScan && logFlag;
  auto logDeleting = [&] {
    AddLog(FPrefix + L"deleting" + L" " + path());
    ScrollLog(50);
  };
  if (!Live()) {
    if (logIt) logDeleting();
    return FileOutcome::Deleted;
  }
  int passes = settings_.IsWipeFile ? settings_.WipeNumber : 0;
  FileRemoval removal = entry == nullptr ? services_.deleter->RemoveFile(path(), passes)
                                         : services_.deleter->RemoveListedFile(*entry, passes);
  if (!removal.linkIntoPlace.empty()) {
    ++FItemRefused;
    AddLog(FPrefix + L"skipping" + L" " + folder + L" (" + core::guard::LinkIntoPlaceReason(removal.linkIntoPlace) +
           L")");
    return FileOutcome::Left;
  }
  if (!removal.removed) {
    ++FItemFailed;
    // Refused: the file is a link, or its folder is no longer the one listed.
    if (removal.refusedAsLink && entry != nullptr && !entry->Folder().StillInPlace()) return FileOutcome::FolderReplaced;
    if (removal.refusedAsLink) AddLog(FPrefix + L"skipping" + L" " + path() + L" (a link to another file)");
    else AddLog(FPrefix + L"could not delete" + L" " + path());
    return FileOutcome::Left;
  }
  if (logIt) logDeleting();
  // The user asked for wiping: say so when a file went without it.
  if (removal.wipe == WipeOutcome::NotWiped) {
    std::wstring why = removal.notWipedBecause != nullptr ? std::wstring(L" (") + removal.notWipedBecause + L")" : L"";
    AddLog(FPrefix + L"deleted without wiping" + L" " + path() + why);
  }
  return FileOutcome::Deleted;
}

// A link on the key's path, the last part included: refused like a folder
// link the walk will not follow, and counted so that the run says so.
void TClearTaskThread::RefuseRegLink(const std::wstring& shown) {
  ++FItemRefused;
  AddLog(FPrefix + L"skipping protected registry key" + L" " + shown + L" (a registry link; its target is kept)");
}

int TClearTaskThread::DeleteRegKeyByName(const std::wstring& rootName, const std::wstring& key) {
  HKEY root = RootKeyFromName(rootName);
  return root == nullptr ? 0 : DeleteKey(root, UpperName(rootName), key);
}

int TClearTaskThread::DeleteRegKey(HKEY root, const std::wstring& key) {
  std::wstring name = RootKeyName(root);
  return name.empty() ? 0 : DeleteKey(root, name, key);
}

int TClearTaskThread::DeleteKey(HKEY root, const std::wstring& rootName, const std::wstring& key) {
  std::wstring path = NormalKeyPath(key);
  std::wstring shown = rootName + L"\\" + key;
  if (!IsDeletableKeyPath(root, path)) {
    if (path.empty() || RegKeyExists(root, path)) AddLog(FPrefix + L"skipping protected registry key" + L" " + shown);
    return 0;
  }
  // As with a folder link: the key it stands for is not ours to delete.
  if (IsRegLink(root, path)) {
    RefuseRegLink(shown);
    return 0;
  }
  if (!RegKeyExists(root, path)) return 0;
  int values = CountRegValues(root, path);
  if (!settings_.FastScan) {
    AddLog(FPrefix + L"deleting registry key" + L" " + shown);
    ScrollLog(0);
  }
  if (Live() && !services_.deleter->RemoveRegKey(root, path)) {
    ++FItemFailed;
    AddLog(FPrefix + L"could not delete registry key" + L" " + shown);
    return 0;
  }
  return values == 0 ? 1 : values;
}

int TClearTaskThread::DeleteRegValuesByName(const std::wstring& rootName, const std::wstring& key,
                                            const std::wstring& value) {
  HKEY root = RootKeyFromName(rootName);
  return root == nullptr ? 0 : DeleteValues(root, UpperName(rootName), key, value);
}

int TClearTaskThread::DeleteRegValues(HKEY root, const std::wstring& key, const std::wstring& value) {
  std::wstring name = RootKeyName(root);
  return name.empty() ? 0 : DeleteValues(root, name, key, value);
}

int TClearTaskThread::DeleteValues(HKEY root, const std::wstring& rootName, const std::wstring& key,
                                   const std::wstring& value) {
  std::wstring path = NormalKeyPath(key);
  if (path.empty() || !RegKeyExists(root, path)) return 0;
  // A link is never followed, for one value as for all: the values are not
  // the link's but its target's.
  if (IsRegLink(root, path)) {
    RefuseRegLink(rootName + L"\\" + key);
    return 0;
  }
  if (value.empty() && !IsDeletableKeyPath(root, path)) {
    AddLog(FPrefix + L"skipping protected registry key" + L" " + rootName + L"\\" + key);
    return 0;
  }
  sys::RegistryKey opened;
  if (!opened.Open(root, path, KEY_READ)) return 0;
  // The one-value form names its value; the all-values form takes every value.
  std::vector<std::wstring> names;
  if (!value.empty()) {
    if (!opened.ValueExists(value)) return 0;
    names.push_back(value);
  } else {
    names = opened.ValueNames();
  }
  int count = 0;
  for (const auto& name : names) {
    std::wstring shown = rootName + L"\\" + key + L"\\" + name;
    if (!settings_.FastScan) {
      AddLog(FPrefix + L"deleting registry value" + L" " + shown);
      ScrollLog(0);
    }
    if (Live() && !services_.deleter->RemoveRegValue(root, path, name)) {
      ++FItemFailed;
      AddLog(FPrefix + L"could not delete registry value" + L" " + shown);
      continue;
    }
    ++count;
  }
  if (value.empty()) {
    for (const auto& sub : opened.SubKeyNames()) count += DeleteKey(root, rootName, path + L"\\" + sub);
  }
  return count;
}

}  // namespace cleaner
