#include "registry/defrag/DefragSteps.h"

#include <windows.h>

#include <algorithm>

#include "core/Files.h"
#include "core/guard/OwnedHandle.h"
#include "core/guard/PinnedMove.h"
#include "sys/TextCompare.h"
#include "registry/defrag/ScanDefragTaskThread.h"

namespace registry {

namespace guard = core::guard;

std::wstring HiveBackupFile(const std::wstring& hiveFile) { return hiveFile + L".bak"; }
std::wstring HiveBackupAsideFile(const std::wstring& hiveFile) { return HiveBackupFile(hiveFile) + L".prev"; }

namespace {

// Another instance is analysing: the copy is this folder's own and cannot be
// opened for exclusive use. A copy refused on the pin is left to the save.
bool CopyInUse(const THive& hive) {
  const THiveFolder folder(hive.File);
  if (!folder.Pinned()) return false;
  guard::PinnedOpen opened = guard::OpenPinnedFile(folder.Pin(), folder.NameOf(HiveCopyFile(hive.File)),
                                                   GENERIC_READ | GENERIC_WRITE,
                                                   0, guard::PinnedCreate::No);
  if (opened.result == guard::PinnedOpenResult::Opened) ::CloseHandle(opened.handle);
  return opened.result == guard::PinnedOpenResult::Failed;
}

bool IsMissing(const THiveFolder& folder, const std::wstring& name) {
  return guard::FindPinned(folder.Pin(), name, [](const guard::ListedEntry&) {}) == guard::Lookup::Missing;
}

// The copy Windows is to load: this folder's own plain file.
THiveStep CopyIsOwnFile(const THiveFolder& folder, const std::wstring& name) {
  guard::PinnedOpen opened;
  THiveStep step = OpenHiveFile(folder, name, FILE_READ_ATTRIBUTES, &opened);
  if (step.Ok()) ::CloseHandle(opened.handle);
  return step;
}

// Just before the swap: the names it is handed lead to the pinned folder, the
// copy is still its own plain file there, and ".bak" is free there.
THiveStep ScheduleSwap(IDefragPlatform& platform, const core::HiveTarget& target, const THiveFolder& folder,
                       const std::wstring& copy, const std::wstring& backup) {
  if (!folder.Pin().StillInPlace()) return RefusedStep(L"its folder was moved or replaced");
  const THiveStep step = CopyIsOwnFile(folder, folder.NameOf(copy));
  if (!step.Ok()) return step;
  if (!IsMissing(folder, folder.NameOf(backup))) return RefusedFile(folder.NameOf(backup));
  if (platform.ReplaceKey(target, folder.PathOf(copy), folder.PathOf(backup)) != ERROR_SUCCESS) return {};
  return {THiveStep::Done, L""};
}

}  // namespace

bool AnyHiveCopyInUse(const std::vector<THive>& hives) {
  for (const THive& h : hives)
    if (CopyInUse(h)) return true;
  return false;
}

bool SoftwareCopyTooSmall(const std::vector<THive>& hives, const std::vector<bool>& saved) {
  for (size_t i = 0; i < hives.size() && i < saved.size(); ++i) {
    if (!saved[i] || sys::FindText(hives[i].File, L"SOFTWARE") == std::wstring::npos) continue;
    if (core::GetFileSize64(HiveCopyFile(hives[i].File)) < core::GetFileSize64(hives[i].File) / 4) return true;
  }
  return false;
}

std::vector<THiveSize> MeasureHives(const std::vector<THive>& hives, const std::vector<bool>& saved,
                                    const std::vector<std::wstring>& refusals) {
  std::vector<THiveSize> sizes;
  for (size_t i = 0; i < hives.size(); ++i) {
    THiveSize s;
    s.Current = std::max<std::int64_t>(0, core::GetFileSize64(hives[i].File));
    s.New = std::max<std::int64_t>(0, core::GetFileSize64(HiveCopyFile(hives[i].File)));
    s.Saved = i < saved.size() && saved[i];
    if (i < refusals.size()) s.Refused = refusals[i];
    sizes.push_back(s);
  }
  return sizes;
}

THiveStep ReplaceHive(IDefragPlatform& platform, const THive& hive, bool IsWow64) {
  const core::HiveTarget target = core::ParseHivePath(hive.Name, IsWow64);
  if (target.root == nullptr) return {};
  const THiveFolder folder(hive.File);
  if (!folder.Pinned()) return folder.Unpinned();
  const std::wstring copy = HiveCopyFile(hive.File), backup = HiveBackupFile(hive.File);
  const std::wstring backupName = folder.NameOf(backup), asideName = folder.NameOf(HiveBackupAsideFile(hive.File));
  // Nothing moves for a copy that is not there or not this folder's own.
  THiveStep step = CopyIsOwnFile(folder, folder.NameOf(copy));
  if (!step.Ok()) return step;
  // The swap needs the ".bak" name free; the backup there is kept aside, and
  // only one generation of it, moved through its own handle.
  bool none = false;
  guard::PinnedOpen opened;
  step = OpenHiveFile(folder, backupName, DELETE, &opened, &none);
  if (!step.Ok() && !none) return step;
  const guard::OwnedHandle old(none ? INVALID_HANDLE_VALUE : opened.handle);
  if (old.Valid()) {
    if (!(step = RemoveHiveFile(folder, asideName)).Ok()) return step;
    if (!(step = MoveHiveFile(folder, old.Get(), asideName)).Ok()) return step;
  }
  step = ScheduleSwap(platform, target, folder, copy, backup);
  if (step.Ok()) return step;
  const THiveStep back = old.Valid() ? MoveHiveFile(folder, old.Get(), backupName) : THiveStep{};
  return back.Result == THiveStep::Refused ? back : step;
}

void DeleteLeftoverCopies(const std::vector<THive>& hives, const std::set<std::wstring>& keep) {
  for (const THive& h : hives) {
    const std::wstring copy = HiveCopyFile(h.File);
    if (keep.count(copy) != 0) continue;
    const THiveFolder folder(h.File);
    if (folder.Pinned()) RemoveHiveFile(folder, folder.NameOf(copy));
  }
}

}  // namespace registry
