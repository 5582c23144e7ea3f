// Presses a key in a window of this process once it shows: the way a test
// answers a modal window that the test thread itself is running.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace testing_support {

class KeyPresser {
 public:
  // Waits (up to 10 s) for a visible top-level window of `className` owned
  // by this process and posts the key's WM_KEYDOWN and WM_KEYUP to it; a
  // window still shown 5 s later is closed. "#32768" names the window of an
  // open menu.
  KeyPresser(const wchar_t* className, WPARAM key);
  ~KeyPresser();
  KeyPresser(const KeyPresser&) = delete;
  KeyPresser& operator=(const KeyPresser&) = delete;
  bool Pressed() const { return pressed_; }
  // The window went away after the key, before the fallback closed it.
  bool ClosedByKey() const { return closedByKey_; }
  // The window the key was posted to: the focused control, or the window
  // itself when none of its controls had the focus.
  HWND Target() const { return target_; }

 private:
  void Run();
  std::wstring className_;
  WPARAM key_;
  std::atomic<bool> stop_{false}, pressed_{false}, closedByKey_{false};
  std::atomic<HWND> target_{nullptr};
  std::thread thread_;
};

}  // namespace testing_support
