#include "registry/defrag/DefragSteps.h"

#include <windows.h>

#include <algorithm>

#include "core/Files.h"
#include "core/guard/FileDelete.h"
#include "core/TextCompare.h"
#include "registry/defrag/ScanDefragTaskThread.h"

namespace registry {

std::wstring HiveBackupFile(const std::wstring& hiveFile) { return hiveFile + L".bak"; }
std::wstring HiveBackupAsideFile(const std::wstring& hiveFile) { return HiveBackupFile(hiveFile) + L".prev"; }

bool AnyHiveCopyInUse(const std::vector<THive>& hives) {
  for (const THive& h : hives)
    if (core::IsFileInUse(HiveCopyFile(h.File))) return true;
  return false;
}

bool SoftwareCopyTooSmall(const std::vector<THive>& hives, const std::vector<bool>& saved) {
  for (size_t i = 0; i < hives.size() && i < saved.size(); ++i) {
    if (!saved[i] || core::FindText(hives[i].File, L"SOFTWARE") == std::wstring::npos) continue;
    if (core::GetFileSize64(HiveCopyFile(hives[i].File)) < core::GetFileSize64(hives[i].File) / 4) return true;
  }
  return false;
}

std::vector<THiveSize> MeasureHives(const std::vector<THive>& hives, const std::vector<bool>& saved) {
  std::vector<THiveSize> sizes;
  for (size_t i = 0; i < hives.size(); ++i) {
    THiveSize s;
    s.Current = std::max<std::int64_t>(0, core::GetFileSize64(hives[i].File));
    s.New = std::max<std::int64_t>(0, core::GetFileSize64(HiveCopyFile(hives[i].File)));
    s.Saved = i < saved.size() && saved[i];
    sizes.push_back(s);
  }
  return sizes;
}

bool ReplaceHive(IDefragPlatform& platform, const THive& hive, bool IsWow64) {
  const core::HiveTarget target = core::ParseHivePath(hive.Name, IsWow64);
  const std::wstring copy = HiveCopyFile(hive.File);
  if (target.root == nullptr || !FileExists(copy)) return false;
  const std::wstring backup = HiveBackupFile(hive.File);
  const std::wstring aside = HiveBackupAsideFile(hive.File);
  // The swap needs the ".bak" name free; the backup there is kept aside, and
  // only one generation of it.
  const bool movedAside = FileExists(backup);
  if (movedAside) {
    if (FileExists(aside) && !DeleteHiveFile(aside)) return false;
    if (!::MoveFileExW(backup.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) return false;
  }
  if (platform.ReplaceKey(target, copy, backup) == ERROR_SUCCESS) return true;
  if (movedAside && !FileExists(backup)) ::MoveFileExW(aside.c_str(), backup.c_str(), MOVEFILE_WRITE_THROUGH);
  return false;
}

bool DeleteHiveFile(const std::wstring& path) {
  const core::guard::FileDeleteResult r = core::guard::DeleteNamedFile(path);
  return r == core::guard::FileDeleteResult::Deleted || r == core::guard::FileDeleteResult::Missing;
}

void DeleteLeftoverCopies(const std::vector<THive>& hives, const std::set<std::wstring>& keep) {
  for (const THive& h : hives) {
    const std::wstring copy = HiveCopyFile(h.File);
    if (keep.count(copy) == 0 && FileExists(copy)) DeleteHiveFile(copy);
  }
}

}  // namespace registry
