// A timer that runs a callback on the thread that enabled it.
#pragma once
#include <windows.h>

#include <functional>

namespace ui {

class Timer {
 public:
  Timer() = default;
  ~Timer() { SetEnabled(false); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(UINT ms);
  UINT Interval() const { return interval_; }
  void SetEnabled(bool on);
  bool Enabled() const { return id_ != 0; }
  std::function<void()> OnTimer;

 private:
  static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD);
  UINT interval_ = 1000;
  UINT_PTR id_ = 0;
};

}  // namespace ui
