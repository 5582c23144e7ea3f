#include "registry/defrag/ScanDefragTaskThread.h"

#include <algorithm>

#include "core/Privileges.h"

namespace registry {

std::wstring HiveCopyFile(const std::wstring& hiveFile) { return hiveFile + L".fdc"; }

THiveStep TScanDefragTaskThread::SaveHive(size_t i) { return SaveHiveCopy({FHiveNames[i], FHiveFiles[i]}, FIsWow64); }

void TScanDefragTaskThread::Execute() {
  core::EnableBackupPrivilege();
  const size_t count = std::min(FHiveNames.size(), FHiveFiles.size());
  saved_.assign(count, false);
  refusals_.assign(count, std::wstring());
  WPARAM firstMs = 0;
  size_t i = 0;
  for (; i < count; ++i) {
    if (Terminated()) break;
    ULONGLONG start = ::GetTickCount64();
    const THiveStep step = SaveHive(i);
    saved_[i] = step.Ok();
    if (step.Result == THiveStep::Refused) refusals_[i] = step.Why;
    if (i == 0) firstMs = static_cast<WPARAM>(::GetTickCount64() - start);
    ::PostMessageW(FFormHandle, WM_HIVESAVED, firstMs, static_cast<LPARAM>(i + 1));
  }
  allHandled_ = i == count;
  done_ = true;
  ::PostMessageW(FFormHandle, WM_CLOSE, 0, 0);
}

}  // namespace registry
