#include "cleaner/CleanSeams.h"

#include "cleaner/PathGuard.h"
#include "cleaner/RegistryPaths.h"
#include "cleaner/WipeFile.h"
#include "ui/MessageBox.h"

namespace cleaner {

bool MessageBoxAsker::AskYesNo(const std::wstring& text, UINT icon) {
  return ui::ShowMessage(nullptr, text, MB_YESNO | icon | MB_DEFBUTTON2) == IDYES;
}

void MessageBoxAsker::Tell(const std::wstring& text) { ui::ShowMessage(nullptr, text, MB_OK); }

namespace {

const wchar_t* WhyNotWiped(WipeResult wiped) {
  switch (wiped) {
    case WipeResult::Sparse: return L"it is sparse or compressed";
    case WipeResult::NoSpace: return L"it is bigger than the free space";
    case WipeResult::OtherName: return L"it has another name";
    case WipeResult::Refused: return L"it is a link";
    case WipeResult::Failed: return L"it could not be written";
    default: return nullptr;
  }
}

}  // namespace

// A file named by its path: its folder is pinned now, as the path leads, and
// the name found in that pin's listing.
FileRemoval SystemDeleter::RemoveFile(const std::wstring& path, int wipePasses) {
  FileRemoval result;
  core::guard::FindNamedFile(
      path, [&](const core::guard::ListedEntry& entry) { result = RemoveListedFile(entry, wipePasses); },
      &result.linkIntoPlace);
  return result;
}

FileRemoval SystemDeleter::RemoveListedFile(const core::guard::ListedEntry& entry, int wipePasses) {
  FileRemoval result;
  if (entry.IsFolder()) return result;
  if (wipePasses > 0) {
    WipeResult wiped = WipeFile(entry, wipePasses);
    result.wipe = wiped == WipeResult::Wiped ? WipeOutcome::Wiped : WipeOutcome::NotWiped;
    result.notWipedBecause = WhyNotWiped(wiped);
  }
  // Where a file link looks like a plain file, deleting it would delete the
  // file it points at, which no clean asked for: the guard leaves it.
  core::guard::FileDeleteResult deleted =
      core::guard::DeleteListedFile(entry.Folder(), entry.Name(), entry.Attributes());
  result.removed = deleted == core::guard::FileDeleteResult::Deleted;
  result.refusedAsLink = deleted == core::guard::FileDeleteResult::Refused;
  return result;
}

bool SystemDeleter::RemoveFolder(const std::wstring& path) { return core::guard::RemoveFolder(path); }

bool SystemDeleter::RemovePinnedFolder(core::guard::FolderPin& folder) {
  return core::guard::RemovePinnedFolder(folder);
}

bool SystemDeleter::RemoveRegKey(HKEY root, const std::wstring& key) { return DeleteRegKeyTree(root, key); }

bool SystemDeleter::RemoveRegValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  return core::guard::DeleteOneValue(root, key, name) == ERROR_SUCCESS;
}

}  // namespace cleaner
