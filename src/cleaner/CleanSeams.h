// What the clean thread needs of the world outside it: the log list, the
// main window's message queue, the clock, the user, and the calls that
// delete. Each has the real implementation below; tests substitute fakes.
#pragma once
#include <windows.h>

#include <string>

#include "core/guard/FolderPin.h"

namespace cleaner {

// Lines of the clean log. Called from the worker and the GUI thread.
class ILogSink {
 public:
  virtual ~ILogSink() = default;
  virtual void AddLine(const std::wstring& line) = 0;
  virtual void ScrollToEnd() = 0;
};

class IMessagePoster {
 public:
  virtual ~IMessagePoster() = default;
  virtual void Post(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  // Milliseconds of a monotonic clock; only differences are used.
  virtual DWORD NowMs() = 0;
};

class IQuestionAsker {
 public:
  virtual ~IQuestionAsker() = default;
  // Yes/No with No as the default, with the icon MB_ICONINFORMATION or
  // MB_ICONQUESTION; true for Yes.
  virtual bool AskYesNo(const std::wstring& text, UINT icon) = 0;
  // A notice with an OK button.
  virtual void Tell(const std::wstring& text) = 0;
  // A question the run answered itself, as the log line that says so: kept
  // where the user of an unattended run will read it.
  virtual void AnsweredUnasked(const std::wstring& /*line*/) {}
};

enum class WipeOutcome { NotAsked, Wiped, NotWiped };

struct FileRemoval {
  bool removed = false;
  WipeOutcome wipe = WipeOutcome::NotAsked;
  const wchar_t* notWipedBecause = nullptr;  // with NotWiped, when the reason is worth a word
  bool refusedAsLink = false;                // left: reached through a link, not itself
  std::wstring linkIntoPlace;                // left: its folder lies past a link of the user's into this place
};

// Every call that changes the file system or the registry on behalf of a
// clean goes through here. A test run is given a deleter that refuses all.
class IDeleter {
 public:
  virtual ~IDeleter() = default;
  // Deletes one file named by a full path (a link: the link itself),
  // overwriting it first with `wipePasses` passes when that is more than 0.
  // Read-only files are deleted.
  virtual FileRemoval RemoveFile(const std::wstring& path, int wipePasses) = 0;
  // The same for a file a folder walk listed: the entry's folder is the one
  // pinned before its listing, which the file must still be in (never a path
  // looked up again), and its listed attributes and id spare the deleter a
  // look of its own.
  virtual FileRemoval RemoveListedFile(const core::guard::ListedEntry& entry, int wipePasses) = 0;
  // Removes an empty folder, or a folder link without touching its target.
  virtual bool RemoveFolder(const std::wstring& path) = 0;
  // Removes the emptied pinned folder through its own handle, and closes the pin.
  virtual bool RemovePinnedFolder(core::guard::FolderPin& folder) = 0;
  virtual bool RemoveRegKey(HKEY root, const std::wstring& key) = 0;
  virtual bool RemoveRegValue(HKEY root, const std::wstring& key, const std::wstring& name) = 0;
};

// The real ones.

class NullLog : public ILogSink {
 public:
  void AddLine(const std::wstring&) override {}
  void ScrollToEnd() override {}
};

class WindowPoster : public IMessagePoster {
 public:
  explicit WindowPoster(HWND window) : window_(window) {}
  void Post(UINT msg, WPARAM wParam, LPARAM lParam) override { ::PostMessageW(window_, msg, wParam, lParam); }

 private:
  HWND window_;
};

class TickClock : public IClock {
 public:
  DWORD NowMs() override { return ::GetTickCount(); }
};

// A modal message box with the given icon, Yes and No, No the default;
// only for a thread run without a window (the main window asks on its own
// thread).
class MessageBoxAsker : public IQuestionAsker {
 public:
  bool AskYesNo(const std::wstring& text, UINT icon) override;
  void Tell(const std::wstring& text) override;
};

class SystemDeleter : public IDeleter {
 public:
  FileRemoval RemoveFile(const std::wstring& path, int wipePasses) override;
  FileRemoval RemoveListedFile(const core::guard::ListedEntry& entry, int wipePasses) override;
  bool RemoveFolder(const std::wstring& path) override;
  bool RemovePinnedFolder(core::guard::FolderPin& folder) override;
  bool RemoveRegKey(HKEY root, const std::wstring& key) override;
  bool RemoveRegValue(HKEY root, const std::wstring& key, const std::wstring& name) override;
};

// Deletes nothing; what a test run holds instead of a deleter.
class RefusingDeleter : public IDeleter {
 public:
  FileRemoval RemoveFile(const std::wstring&, int) override { return {}; }
  FileRemoval RemoveListedFile(const core::guard::ListedEntry&, int) override { return {}; }
  bool RemoveFolder(const std::wstring&) override { return false; }
  bool RemovePinnedFolder(core::guard::FolderPin&) override { return false; }
  bool RemoveRegKey(HKEY, const std::wstring&) override { return false; }
  bool RemoveRegValue(HKEY, const std::wstring&, const std::wstring&) override { return false; }
};

}  // namespace cleaner
