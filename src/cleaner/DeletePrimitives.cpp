// The deletion primitives of the clean thread. In a test they count what a
// clean would remove; only a clean thread holds a deleter that acts.
#include <windows.h>

#include "cleaner/Masks.h"
#include "cleaner/ProgressThread.h"
#include "cleaner/RegistryPaths.h"
#include "sys/RegistryKey.h"

namespace cleaner {

using core::guard::FolderPin;
using core::guard::FollowLink;

struct TClearTaskThread::Walk {
  bool logFlag = true;
  std::wstring excluded;           // a file name kept, letter case ignored
  const FileMask* mask = nullptr;  // null: every file
  bool recursive = true;
  bool removeFolders = true;       // sub-folders, once emptied
  bool removeTop = false;
  bool filesQuestion = false;      // the question of the mask deletion
};

namespace {

HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* fd) {
  // The basic form skips the short names; systems before Windows 7 reject it.
  static bool basic = true;
  if (basic) {
    HANDLE h = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, fd, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_INVALID_PARAMETER) return h;
    basic = false;
  }
  return ::FindFirstFileW(pattern.c_str(), fd);
}

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

int64_t FileSize(const WIN32_FIND_DATAW& fd) {
  return (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

bool IsFolder(const std::wstring& path) {
  DWORD attrs = ::GetFileAttributesW(path.c_str());
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
  Walk walk;
  walk.mask = &fileMask;
  walk.recursive = recursive;
  walk.removeFolders = false;
  walk.filesQuestion = true;
  DeleteReach reach = recursive                       ? DeleteReach::Tree
                      : fileMask.MatchesEverything()  ? DeleteReach::AllFiles
                      : fileMask.IsWildcard()         ? DeleteReach::SomeFiles
                                                      : DeleteReach::OneName;
  return EmptyFolder(folder, reach, walk, count);
}

// Every folder is pinned before it is listed, and everything in it is
// deleted against that pin: a folder swapped for a link after its listing
// leads a path elsewhere, and nothing is deleted there. One name may be
// reached through a link, as a named file is.
int64_t TClearTaskThread::EmptyFolder(const std::wstring& folder, DeleteReach reach, const Walk& walk, int& count) {
  if (Terminated() || folder == L"\\" || !IsFolder(folder)) return 0;
  CheckedFolder checked = services_.guard->CheckFolder(folder, reach);
  if (!PassesGuard(checked.verdict, checked.path, Question(walk, checked.path))) return 0;
  FolderPin pin(checked.path, reach == DeleteReach::OneName ? FollowLink::Yes : FollowLink::No);
  if (!pin.IsFolder() || pin.IsLink()) return 0;
  return EmptyPinned(pin, checked.key, walk, count, walk.removeTop);
}

bool TClearTaskThread::PassesGuard(PathVerdict verdict, const std::wstring& path, const std::wstring& question) {
  switch (verdict) {
    case PathVerdict::Allowed:
      return true;
    case PathVerdict::Ask:
      return IsTest() || AskUser(question);
    case PathVerdict::Refused:
      ++FItemRefused;
      AddLog(FPrefix + L"skipping protected folder" + L" " + path);
      return false;
    case PathVerdict::Invalid:
      return false;
  }
  return false;
}

// Empties the pinned folder, then removes it when asked; the pin is closed
// first, and a folder whose path no longer leads to it stays.
int64_t TClearTaskThread::EmptyPinned(FolderPin& folder, const std::wstring& key, const Walk& walk, int& count,
                                      bool removeIt) {
  bool replaced = false;
  int64_t bytes = WalkFolder(folder, key, walk, count, &replaced);
  bool removing = removeIt && Live() && !Terminated();
  if (replaced || (removing && !folder.StillInPlace())) {
    LogReplacedFolder(folder.Path());
    return bytes;
  }
  folder.Close();
  if (removing) services_.deleter->RemoveFolder(folder.Path());
  return bytes;
}

int64_t TClearTaskThread::WalkFolder(const FolderPin& folder, const std::wstring& key, const Walk& walk, int& count,
                                     bool* replaced) {
  const std::wstring& path = folder.Path();
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirst(path + L"*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int64_t bytes = 0;
  do {
    if (Terminated()) break;
    if (IsDots(fd.cFileName)) continue;
    std::wstring name = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      bool skip = walk.mask != nullptr ? !walk.mask->Matches(name)
                                       : !walk.excluded.empty() && SameName(name, walk.excluded);
      if (skip) continue;
      FileOutcome outcome = DeleteListedFile(path, name, &folder, fd.dwFileAttributes, walk.logFlag);
      if (outcome == FileOutcome::FolderReplaced) {
        *replaced = true;
        break;
      }
      if (outcome == FileOutcome::Deleted) {
        ++count;
        bytes += FileSize(fd);
        ProgressTick(count);
      }
      continue;
    }
    std::wstring childPath = path + name + L"\\";
    // A plain path to "x." reaches "x", and one to "a:b" a stream: such a
    // folder is left, and said so.
    if (!core::guard::IsPlainFileName(name) || core::guard::EndsInDotOrSpace(name)) {
      if (walk.removeFolders && walk.logFlag) {
        AddLog(FPrefix + L"skipping" + L" " + path + name + L" (the name cannot be handled)");
      }
      continue;
    }
    // A junction or symbolic link is never entered: the link goes, its target stays.
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      RemoveFolderLink(path + name, walk);
      continue;
    }
    if (!walk.recursive) continue;
    std::wstring childKey = key + UpperName(name) + L"\\";
    if (!PassesGuard(services_.guard->CheckKey(childKey, DeleteReach::Tree), childPath, Question(walk, childPath))) {
      continue;
    }
    // Listed as a folder, it may be a link or lie elsewhere by now.
    FolderPin child(folder, name);
    if (child.IsLink()) {
      RemoveFolderLink(path + name, walk);
    } else if (child.IsReplaced()) {
      LogReplacedFolder(childPath);
    } else if (child.IsFolder()) {
      bytes += EmptyPinned(child, childKey, walk, count, walk.removeFolders);
    }
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return bytes;
}

void TClearTaskThread::RemoveFolderLink(const std::wstring& link, const Walk& walk) {
  if (!walk.removeFolders || !Live()) return;
  if (!services_.deleter->RemoveFolder(link) && walk.logFlag && !settings_.FastScan) {
    AddLog(FPrefix + L"skipping" + L" " + link + L" (a folder link that could not be removed; its target is kept)");
  }
}

void TClearTaskThread::LogReplacedFolder(const std::wstring& folder) {
  AddLog(FPrefix + L"skipping" + L" " + folder + L" (the folder was replaced after it was listed)");
}

bool TClearTaskThread::DeleteOneFile(const std::wstring& path, bool logFlag) {
  if (!PathGuard::HasAcceptedForm(path)) return false;
  size_t slash = path.find_last_of(L"\\/");
  return DeleteListedFile(path.substr(0, slash + 1), path.substr(slash + 1), nullptr, INVALID_FILE_ATTRIBUTES,
                          logFlag) == FileOutcome::Deleted;
}

bool TClearTaskThread::DeletePinnedFile(const FolderPin& folder, const WIN32_FIND_DATAW& listed, bool logFlag) {
  FileOutcome outcome = DeleteListedFile(folder.Path(), listed.cFileName, &folder, listed.dwFileAttributes, logFlag);
  if (outcome == FileOutcome::FolderReplaced) LogReplacedFolder(folder.Path());
  return outcome == FileOutcome::Deleted;
}

// A file of `folder` as its pinned listing gave it, with its attributes; or,
// with no pin, a file named by an item, which the deleter looks up itself.
TClearTaskThread::FileOutcome TClearTaskThread::DeleteListedFile(const std::wstring& folder, const std::wstring& name,
                                                                 const FolderPin* pin, DWORD attributes,
                                                                 bool logFlag) {
  // The full path only for a log line: a fast clean of many files builds none.
  auto path = [&folder, &name] { return folder + name; };
  if (!core::guard::IsPlainFileName(name)) {
    if (Live()) ++FItemFailed;
    AddLog(FPrefix + L"skipping" + L" " + path() + L" (the name cannot be handled)");
    return FileOutcome::Left;
  }
  if (!settings_.FastScan && logFlag) {
    AddLog(FPrefix + L"deleting" + L" " + path());
    ScrollLog(50);
  }
  if (!Live()) return FileOutcome::Deleted;
  int passes = settings_.IsWipeFile ? settings_.WipeNumber : 0;
  FileRemoval removal = pin == nullptr ? services_.deleter->RemoveFile(path(), passes)
                                       : services_.deleter->RemoveListedFile(*pin, name, attributes, passes);
  if (!removal.removed) {
    ++FItemFailed;
    // Refused: the file is a link, or its folder is no longer the one listed.
    if (removal.refusedAsLink && pin != nullptr && !pin->StillInPlace()) return FileOutcome::FolderReplaced;
    if (removal.refusedAsLink) AddLog(FPrefix + L"skipping" + L" " + path() + L" (a link to another file)");
    else AddLog(FPrefix + L"could not delete" + L" " + path());
    return FileOutcome::Left;
  }
  // The user asked for wiping: say so when a file went without it.
  if (removal.wipe == WipeOutcome::NotWiped) {
    std::wstring why = removal.notWipedBecause != nullptr ? std::wstring(L" (") + removal.notWipedBecause + L")" : L"";
    AddLog(FPrefix + L"deleted without wiping" + L" " + path() + why);
  }
  return FileOutcome::Deleted;
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
    AddLog(FPrefix + L"skipping protected registry key" + L" " + shown);
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
  if ((value.empty() && !IsDeletableKeyPath(root, path)) || IsRegLink(root, path)) {
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
