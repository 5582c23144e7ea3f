#include "registry/defrag/HiveFiles.h"

#include "core/RegistryRead.h"
#include "core/guard/PinnedMove.h"
#include "core/guard/NtFiles.h"
#include "registry/defrag/ScanDefragTaskThread.h"

namespace registry {

namespace guard = core::guard;

THiveStep RefusedStep(const std::wstring& why) { return {THiveStep::Refused, why}; }

THiveFolder::THiveFolder(const std::wstring& hiveFile)
    : slash_(hiveFile.find_last_of(L'\\')),
      pin_(slash_ == std::wstring::npos ? std::wstring() : hiveFile.substr(0, slash_ + 1), guard::FollowLink::Yes) {}

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
