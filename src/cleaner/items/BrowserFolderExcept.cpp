// Emptying a folder tree while sparing the files whose names hold a text.
// Every file goes through the thread's mask deletion, so the guard, the link
// checks and the test/clean split of the deletion primitives all apply.
#include <windows.h>

#include "cleaner/Masks.h"
#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/ItemSteps.h"

namespace cleaner {
namespace {

struct FolderEntries {
  std::vector<std::wstring> doomed;   // files to delete
  bool spares = false;                // some file stays
  std::vector<std::wstring> folders;  // sub-folders that are no links
  bool links = false;                 // some sub-folder is a link, left alone
};

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

FolderEntries ListFolder(const std::wstring& folder, const std::wstring& sparedUpper) {
  FolderEntries entries;
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    if (IsDots(fd.cFileName)) continue;
    std::wstring name = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      // A junction or symbolic link is never entered.
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) entries.links = true;
      else entries.folders.push_back(name);
    } else if (!sparedUpper.empty() && UpperName(name).find(sparedUpper) != std::wstring::npos) {
      entries.spares = true;
    } else {
      entries.doomed.push_back(name);
    }
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return entries;
}

bool IsEmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    if (!IsDots(fd.cFileName)) empty = false;
  } while (empty && ::FindNextFileW(find, &fd));
  ::FindClose(find);
  return empty;
}

// A folder that is a junction or symbolic link: its target is not ours. A
// single named file may be deleted through a link, so the mask deletion of
// the spared-file case does not refuse one by itself.
bool IsLinkedFolder(const std::wstring& folder) {
  std::wstring bare = folder.substr(0, folder.size() - 1);
  DWORD attrs = ::GetFileAttributesW(bare.c_str());
  return attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

int64_t EmptyExcept(TClearTaskThread& t, const std::wstring& folder, bool removeFolder, int& count,
                    const std::wstring& sparedUpper) {
  if (IsLinkedFolder(folder)) return 0;
  FolderEntries entries = ListFolder(folder, sparedUpper);
  int64_t bytes = 0;
  for (const auto& name : entries.folders) {
    if (t.Terminated()) return bytes;
    bytes += EmptyExcept(t, folder + name + L"\\", removeFolder, count, sparedUpper);
  }
  if (!entries.spares && !entries.doomed.empty()) {
    bytes += t.DeleteFilesByMask(folder, L"*.*", count, false);
  } else {
    for (const auto& name : entries.doomed) {
      if (t.Terminated()) return bytes;
      bytes += t.DeleteFilesByMask(folder, name, count, false);
    }
  }
  // Only an emptied folder goes; one that keeps a spared file stays.
  if (removeFolder && !t.IsTest() && !t.Terminated() && IsEmptyFolder(folder)) {
    bytes += t.DeleteFolderFiles(folder, true, true, std::wstring(), count);
  }
  return bytes;
}

}  // namespace

int64_t DeleteFolderExcept(TClearTaskThread& t, const std::wstring& folder, bool removeFolder, int& count,
                           const std::wstring& spared) {
  if (folder == L"\\" || !FolderExists(folder)) return 0;
  std::wstring path = folder.back() == L'\\' ? folder : folder + L"\\";
  return EmptyExcept(t, path, removeFolder, count, UpperName(spared));
}

}  // namespace cleaner
