// Fakes of the clean thread's seams, a sandbox folder inside the test prefix,
// and a way to run one clean to its end.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "cleaner/ProgressThread.h"
#include "support/TestSupport.h"

namespace cleaner_test {

using namespace cleaner;

class RecordingLog : public ILogSink {
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

class RecordingPoster : public IMessagePoster {
 public:
  void Post(UINT msg, WPARAM wParam, LPARAM lParam) override {
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

class FakeClock : public IClock {
 public:
  DWORD NowMs() override { return now; }
  DWORD now = 100000;
};

class ScriptedAsker : public IQuestionAsker {
 public:
  bool AskYesNo(const std::wstring& text) override {
    questions.push_back(text);
    return answer;
  }
  bool answer = false;
  std::vector<std::wstring> questions;
};

// Records every deletion asked for; deletes for real only when `forward` is
// set (and only ever inside the test prefix).
class RecordingDeleter : public IDeleter {
 public:
  explicit RecordingDeleter(bool forward) : forward_(forward) {}
  FileRemoval RemoveFile(const std::wstring& path, int wipePasses) override {
    calls.push_back(L"file " + path);
    if (onFile) onFile(path);
    return forward_ ? real_.RemoveFile(path, wipePasses) : FileRemoval{true, WipeOutcome::NotAsked};
  }
  bool RemoveFolder(const std::wstring& path) override {
    calls.push_back(L"folder " + path);
    return forward_ ? real_.RemoveFolder(path) : true;
  }
  bool RemoveRegKey(HKEY root, const std::wstring& key) override {
    calls.push_back(L"key " + key);
    return forward_ ? real_.RemoveRegKey(root, key) : true;
  }
  bool RemoveRegValue(HKEY root, const std::wstring& key, const std::wstring& name) override {
    calls.push_back(L"value " + key + L"," + name);
    return forward_ ? real_.RemoveRegValue(root, key, name) : true;
  }
  std::vector<std::wstring> calls;
  std::function<void(const std::wstring&)> onFile;

 private:
  bool forward_;
  SystemDeleter real_;
};

// One run's thread with recording seams. Routines are registered into the
// run's own table.
struct CleanRun {
  // `forwardDeletes`: a clean really deletes (inside the sandbox only).
  // `guard`: null for this system's folders.
  explicit CleanRun(CleanMode mode, CleanSettings settings = {}, bool forwardDeletes = false,
                    std::shared_ptr<const PathGuard> guard = nullptr);
  // Starts the thread on `captions` and waits for its end.
  void Run(const std::vector<std::wstring>& captions);
  // The thread, for routines and primitives called directly.
  TClearTaskThread& Thread() { return *thread; }

  std::shared_ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  std::shared_ptr<RecordingPoster> poster = std::make_shared<RecordingPoster>();
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
  std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
  std::shared_ptr<RecordingDeleter> deleter;
  ItemRoutineTable table;
  std::unique_ptr<TClearTaskThread> thread;
};

// A fresh folder under the prefix's temporary folder, removed at the end.
class Sandbox {
 public:
  explicit Sandbox(const std::wstring& name);
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  // Root with a trailing "\".
  const std::wstring& Root() const { return root_; }
  std::wstring Path(const std::wstring& relative) const { return root_ + relative; }
  void Folder(const std::wstring& relative) const;
  void File(const std::wstring& relative, const std::string& content, DWORD attrs = 0) const;

 private:
  std::wstring root_;
};

bool Exists(const std::wstring& path);
std::string ReadAll(const std::wstring& path);
// A Unix symbolic link made beside Wine; Wine shows one to a folder as a
// directory reparse point. False when this is not Wine.
using testing_support::MakeSymlink;
void RemoveTree(const std::wstring& path);

}  // namespace cleaner_test
