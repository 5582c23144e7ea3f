#include "registry/defrag/HiveFiles.h"

#include <windows.h>

#include <iterator>

#include "core/RegistryRead.h"
#include "core/guard/LockedPlaces.h"
#include "core/guard/PinnedMove.h"
#include "core/guard/NtFiles.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "sys/TextCompare.h"

namespace registry {

namespace guard = core::guard;

THiveStep RefusedStep(const std::wstring& why) { return {THiveStep::Refused, why}; }

namespace {

const wchar_t kSysnative[] = L"\\sysnative\\";

// The folder of `hiveFile`, that "sysnative" as "system32" once the redirection is off.
std::wstring FolderToPin(const std::wstring& hiveFile, size_t slash, size_t sysnative, bool redirectionOff) {
  if (slash == std::wstring::npos) return {};
  std::wstring folder = hiveFile.substr(0, slash + 1);
  if (redirectionOff && sysnative != std::wstring::npos) {
    folder.replace(sysnative, std::size(kSysnative) - 1, L"\\system32\\");
  }
  return folder;
}

// The folders every user may write, as for the cleaner's items: no link
// below them is followed, as any may be another user's.
const guard::SharedFolders& Shared() {
  static const guard::SharedFolders shared = [] {
    guard::SharedFolders folders;
    for (const std::wstring& folder : guard::SharedFolderPaths()) folders.Add(folder);
    return folders;
  }();
  return shared;
}

}  // namespace

THiveFolder::THiveFolder(const std::wstring& hiveFile)
    : slash_(hiveFile.find_last_of(L'\\')),
      sysnative_(SystemSysnativeAt(hiveFile)),
      shared_(&Shared()),
      redirection_(guard::ThreadRedirection::Off, sysnative_ != std::wstring::npos),
      pin_(FolderToPin(hiveFile, slash_, sysnative_, redirection_.Changed()), guard::FollowLink::Yes, shared_) {}

THiveFolder::~THiveFolder() = default;

THiveStep THiveFolder::Unpinned() const {
  if (!pin_.LinkIntoPlace().empty())
    return RefusedStep(L"its folder is reached through a link into " + pin_.LinkIntoPlace());
  if (pin_.LinkBelowShared())
    return RefusedStep(L"its folder is reached through a link below a folder every user may write");
  return {};
}

std::wstring THiveFolder::NameOf(const std::wstring& file) const {
  return slash_ == std::wstring::npos ? file : file.substr(slash_ + 1);
}

THiveStep RefusedFile(const std::wstring& name) {
  return RefusedStep(L"its file " + name + L" is a link, a folder or a file with another name");
}

THiveStep OpenHiveFile(const THiveFolder& folder, const std::wstring& name, DWORD access,
                       guard::PinnedOpen* opened, bool* missing) {
  *opened = guard::OpenPinnedFile(folder.Pin(), name, access, guard::nt::kShareAll, guard::PinnedCreate::No);
  if (missing != nullptr) *missing = opened->result == guard::PinnedOpenResult::Missing;
  if (opened->result == guard::PinnedOpenResult::Opened) return {THiveStep::Done, L""};
  if (opened->Refused()) return RefusedFile(name);
  return {THiveStep::Failed, L""};
}

THiveStep MoveHiveFile(const THiveFolder& folder, HANDLE file, const std::wstring& name) {
  switch (guard::RenameInPin(file, folder.Pin(), name)) {
    case ERROR_SUCCESS:
      return {THiveStep::Done, L""};
    case guard::kRenamedElsewhere:
      return RefusedStep(L"the rename of its file to " + name + L" went to another folder");
    default:
      return {};
  }
}

THiveStep RemoveHiveFile(const THiveFolder& folder, const std::wstring& name) {
  switch (guard::RemoveFromPin(folder.Pin(), name)) {
    case guard::FileDeleteResult::Refused:
      return RefusedFile(name);
    case guard::FileDeleteResult::Failed:
      return {};
    default:
      return {THiveStep::Done, L""};
  }
}

THiveStep SaveHiveCopy(const THive& hive, bool IsWow64) {
  const THiveFolder folder(hive.File);
  if (!folder.Pinned()) return folder.Unpinned();
  const std::wstring name = folder.NameOf(HiveCopyFile(hive.File));
  switch (core::SaveHiveBeside(hive.Name, folder.Pin(), name, IsWow64)) {
    case core::HiveSaveResult::Saved:
      return {THiveStep::Done, L""};
    case core::HiveSaveResult::Refused:
      return RefusedFile(name);
    default:
      return {};
  }
}

}  // namespace registry
