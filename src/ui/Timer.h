// A timer that runs a callback on the GUI thread. A timer with an owner window
// arrives as that window's WM_TIMER (OnMessage -> OnTimer -> Fire), so its
// callback runs inside the window's exception boundary; one without an owner
// is a thread timer.
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

  // Call before enabling; `id` is unique among the owner's timers (not 0).
  void SetOwner(HWND owner, UINT_PTR id) { owner_ = owner; ownerId_ = id; }
  void SetInterval(UINT ms);
  UINT Interval() const { return interval_; }
  void SetEnabled(bool on);
  bool Enabled() const { return id_ != 0; }
  std::function<void()> OnTimer;

  // Runs the callback of the timer `id` owned by `owner`; false when there is none.
  static bool Fire(HWND owner, UINT_PTR id);

 private:
  static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD);
  UINT interval_ = 1000;
  UINT_PTR id_ = 0;
  HWND owner_ = nullptr;
  UINT_PTR ownerId_ = 0;
};

}  // namespace ui
