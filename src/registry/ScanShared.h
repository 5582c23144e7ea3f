// What the scan thread shares with the GUI thread: finished problem rows, the
// texts of the scan title and the current key, and the two window messages.
// The worker never writes a window; the page reads these on its own thread.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "core/WindowMessages.h"
#include "registry/ProblemRow.h"

namespace registry {

// What the scan posts to the main window (numbers: core/WindowMessages.h).
using core::WM_SCANFINISHED;
using core::WM_SCANSECTIONDONE;

// Rows travel whole: the worker pushes a row only once it is complete, the
// GUI thread takes everything queued so far (on 0x6413, 0x6414 and its timer).
class TProblemQueue {
 public:
  void Push(TProblemRow row);
  std::vector<TProblemRow> TakeAll();

 private:
  std::mutex mutex_;
  std::vector<TProblemRow> rows_;
};

// The section title and the key being read; written per key by the worker,
// read by the GUI thread on its timer.
class TScanStatus {
 public:
  void SetTitle(const std::wstring& text);
  void SetCurrentKey(const std::wstring& text);
  std::wstring Title() const;
  std::wstring CurrentKey() const;

 private:
  mutable std::mutex mutex_;
  std::wstring title_;
  std::wstring currentKey_;
};

struct TScanShared {
  TProblemQueue Rows;
  TScanStatus Status;
};

// Where the scan's messages go: the main window by default, a recorder in tests.
class TScanPoster {
 public:
  virtual ~TScanPoster() = default;
  virtual void Post(UINT message) = 0;
};

class TWindowPoster : public TScanPoster {
 public:
  explicit TWindowPoster(HWND window) : window_(window) {}
  void Post(UINT message) override { ::PostMessageW(window_, message, 0, 0); }

 private:
  HWND window_;
};

}  // namespace registry
