// Recording fakes of the clean thread's log and message poster, shared by
// the test programs that run cleans.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "cleaner/CleanSeams.h"

namespace testing_support {

class RecordingLog : public cleaner::ILogSink {
 public:
  void AddLine(const std::wstring& line) override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
  }
  void ScrollToEnd() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++scrolls_;
  }
  std::vector<std::wstring> Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  int Scrolls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return scrolls_;
  }
  bool Contains(const std::wstring& line) {
    for (const auto& l : Lines())
      if (l == line) return true;
    return false;
  }

 private:
  std::mutex mutex_;
  std::vector<std::wstring> lines_;
  int scrolls_ = 0;
};

class RecordingPoster : public cleaner::IMessagePoster {
 public:
  void Post(UINT msg, WPARAM wParam, LPARAM) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.emplace_back(msg, static_cast<int>(wParam));
  }
  std::vector<std::pair<UINT, int>> Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<UINT, int>> posts_;
};

}  // namespace testing_support
