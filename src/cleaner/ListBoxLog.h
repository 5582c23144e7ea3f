// The clean log as the main window shows it: lines made on the clean thread
// are queued under a lock and moved into the list box on the GUI thread, in
// order, by a hidden window of that thread.
#pragma once
#include <windows.h>

#include <deque>
#include <mutex>
#include <string>

#include "cleaner/CleanSeams.h"

namespace cleaner {

class ListBoxLog : public ILogSink {
 public:
  // On the GUI thread that owns `listBox`.
  explicit ListBoxLog(HWND listBox);
  ~ListBoxLog() override;
  ListBoxLog(const ListBoxLog&) = delete;
  ListBoxLog& operator=(const ListBoxLog&) = delete;

  // From any thread.
  void AddLine(const std::wstring& line) override;
  void ScrollToEnd() override;

  // GUI thread: moves the queued lines into the list box now (before the
  // window empties or saves the log).
  void Flush();
  // GUI thread, before the list box goes: later lines are dropped. The clean
  // thread may hold this object longer than the window lives.
  void Detach();

 private:
  struct Entry {
    bool scroll;
    std::wstring text;
  };
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  void Queue(Entry entry);

  std::mutex mutex_;
  std::deque<Entry> queue_;
  bool wakePending_ = false;
  HWND listBox_;
  HWND window_ = nullptr;
};

}  // namespace cleaner
