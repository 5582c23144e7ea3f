// Fakes of the clean thread's and the items' seams, sandbox folders and
// registry keys inside the test prefix, and one clean run to its end.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cleaner/ProgressThread.h"
#include "cleaner/items/CleanItemCatalogue.h"
#include "support/CleanRecorders.h"
#include "support/Folders.h"
#include "support/Registry.h"
#include "support/TestSupport.h"
#include "ui/MessageBox.h"

namespace items_test {

using namespace cleaner;

using testing_support::RecordingLog;
using testing_support::RecordingPoster;

class NoAsker : public IQuestionAsker {
 public:
  bool AskYesNo(const std::wstring& text, UINT icon) override {
    questions.push_back(text);
    icons.push_back(icon);
    return false;
  }
  // Shown as the window would, so that tests see each notice as a box.
  void Tell(const std::wstring& text) override { ui::ShowMessage(nullptr, text, MB_OK); }
  std::vector<std::wstring> questions;
  std::vector<UINT> icons;
};

class FakeRecycleBin : public IRecycleBin {
 public:
  bool Query(RecycleBinContents* c) override {
    *c = contents;
    return true;
  }
  bool Empty(HWND) override {
    ++emptied;
    contents = leftAfterEmpty;
    return true;
  }
  RecycleBinContents contents;
  RecycleBinContents leftAfterEmpty;
  int emptied = 0;
};

class FakeClipboard : public IClipboard {
 public:
  bool Clear() override {
    ++cleared;
    return opens;
  }
  bool opens = true;
  int cleared = 0;
};

// The count and KB text of an item as its log line gives them.
struct ItemResult {
  int count = -1;
  std::wstring kb;
};

// One run of the clean thread over captions, with the program's item
// routines registered into its own table.
struct ItemRun {
  // `services`: the data folder and the administrator test; the recycle bin
  // and the clipboard are always the run's fakes.
  explicit ItemRun(CleanMode mode, ItemServices services = {});
  void Run(const std::vector<std::wstring>& captions);
  // Per caption, from the log.
  std::map<std::wstring, ItemResult> Results();

  std::shared_ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  std::shared_ptr<RecordingPoster> poster = std::make_shared<RecordingPoster>();
  std::shared_ptr<NoAsker> asker = std::make_shared<NoAsker>();
  std::shared_ptr<FakeRecycleBin> bin = std::make_shared<FakeRecycleBin>();
  std::shared_ptr<FakeClipboard> clipboard = std::make_shared<FakeClipboard>();
  ItemRoutineTable table;
  std::unique_ptr<TClearTaskThread> thread;
};

ItemServices DataFolder(const std::wstring& folder);

// A fresh folder under the prefix's temporary folder, removed at the end.
class Sandbox : public testing_support::ScratchFolder {
 public:
  explicit Sandbox(const std::wstring& name) : ScratchFolder(L"vantorel-items-tests", name) {}
  void Folder(const std::wstring& relative) const { testing_support::MakeFolders(Path(relative)); }
  void File(const std::wstring& relative, const std::string& content = "x") const {
    testing_support::WriteBytes(Path(relative), content);
  }
};

using testing_support::Exists;
using testing_support::MakeFolders;
using testing_support::ReadBytes;
inline void WriteFile(const std::wstring& path, const std::string& content) { testing_support::WriteBytes(path, content); }
void WriteText(const std::wstring& path, const std::wstring& text);  // ANSI
// Removes a tree of plain files and folders; a link is removed, never entered.
inline void RemoveTree(const std::wstring& path) { testing_support::RemoveFolder(path, L"vantorel-items-tests"); }

// Registry helpers.
inline void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data) {
  testing_support::SetString(root, key, name, data);
}
using testing_support::ValueExists;
bool KeyExists(HKEY root, const std::wstring& key);
void DeleteKey(HKEY root, const std::wstring& key);

// A Unix symbolic link made beside Wine; false when it could not be made.
using testing_support::MakeSymlink;
// Removes such a link itself (never a folder, never its target).
void RemoveLink(const std::wstring& link);

}  // namespace items_test
