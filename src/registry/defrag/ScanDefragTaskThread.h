// Saves every hive to its compact copy (hive file + ".fdc") on a worker
// thread. After each hive it posts WM_HIVESAVED to the dialog (wParam: the
// milliseconds the first hive took, lParam: hives handled so far) and at the
// end WM_CLOSE. Stop is cooperative: the hive being saved is finished first.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/WindowMessages.h"
#include "registry/defrag/HiveFiles.h"
#include "sys/Thread.h"

namespace registry {

// The dialog's messages (numbers: core/WindowMessages.h).
using core::WM_HIVESAVED;
using core::WM_STARTSAVE;

// The copy an analysis writes beside a hive file.
std::wstring HiveCopyFile(const std::wstring& hiveFile);

class TScanDefragTaskThread : public sys::Thread {
 public:
  // Set by the creator before Start().
  HWND FFormHandle = nullptr;
  std::vector<std::wstring> FHiveNames, FHiveFiles;
  bool FIsWow64 = false;

  // Read once the thread has ended: which copies were written, why a hive
  // was refused (empty for the others), and whether the loop ran through
  // every hive (not stopped).
  const std::vector<bool>& Saved() const { return saved_; }
  const std::vector<std::wstring>& Refusals() const { return refusals_; }
  bool AllHandled() const { return allHandled_; }
  // Set just before the closing WM_CLOSE is posted.
  bool Done() const { return done_; }

 protected:
  void Execute() override;
  // Saves hive i to its copy.
  virtual THiveStep SaveHive(size_t i);

 private:
  std::vector<bool> saved_;
  std::vector<std::wstring> refusals_;
  bool allHandled_ = false;
  std::atomic<bool> done_{false};
};

}  // namespace registry
