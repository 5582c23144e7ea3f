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
#include "support/CleanRecorders.h"
#include "support/Folders.h"
#include "support/TestSupport.h"

namespace cleaner_test {

using namespace cleaner;

using testing_support::RecordingLog;
using testing_support::RecordingPoster;

class FakeClock : public IClock {
 public:
  DWORD NowMs() override { return now; }
  DWORD now = 100000;
};

class ScriptedAsker : public IQuestionAsker {
 public:
  bool AskYesNo(const std::wstring& text, UINT icon) override {
    questions.push_back(text);
    icons.push_back(icon);
    return answer;
  }
  void Tell(const std::wstring& text) override { notices.push_back(text); }
  void AnsweredUnasked(const std::wstring& line) override { unasked.push_back(line); }
  bool answer = false;
  std::vector<std::wstring> notices;
  std::vector<std::wstring> questions;
  std::vector<UINT> icons;
  std::vector<std::wstring> unasked;  // questions the run answered itself
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
  // `onFile` runs between the folder's listing and the delete.
  FileRemoval RemoveListedFile(const core::guard::ListedEntry& entry, int wipePasses) override {
    calls.push_back(L"file " + entry.Path());
    if (onFile) onFile(entry.Path());
    return forward_ ? real_.RemoveListedFile(entry, wipePasses) : FileRemoval{true, WipeOutcome::NotAsked};
  }
  bool RemoveFolder(const std::wstring& path) override {
    calls.push_back(L"folder " + path);
    return forward_ ? real_.RemoveFolder(path) : true;
  }
  bool RemovePinnedFolder(core::guard::FolderPin& folder) override {
    calls.push_back(L"folder " + folder.Path());
    return forward_ ? real_.RemovePinnedFolder(folder) : true;
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
class Sandbox : public testing_support::ScratchFolder {
 public:
  // Below %TEMP%, or below `base` (a folder every user may write, say).
  explicit Sandbox(const std::wstring& name, const std::wstring& base = L"")
      : ScratchFolder(L"vantorel-cleaner-tests", name, base) {}
  void Folder(const std::wstring& relative) const;
  void File(const std::wstring& relative, const std::string& content, DWORD attrs = 0) const;
};

using testing_support::Exists;
inline std::string ReadAll(const std::wstring& path) { return testing_support::ReadBytes(path); }
// A Unix symbolic link made beside Wine; Wine shows one to a folder as a
// directory reparse point. False when this is not Wine.
using testing_support::MakeSymlink;
void RemoveTree(const std::wstring& path);

}  // namespace cleaner_test
