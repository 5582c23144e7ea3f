#include "ui/Timer.h"

#include <map>
#include <stdexcept>

#include "ui/Application.h"

namespace ui {
namespace {
std::map<UINT_PTR, Timer*>& Timers() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}
}  // namespace

void Timer::SetInterval(UINT ms) {
  interval_ = ms;
  if (Enabled()) {
    SetEnabled(false);
    SetEnabled(true);
  }
}

void Timer::SetEnabled(bool on) {
  if (on == Enabled()) return;
  if (on) {
    id_ = ::SetTimer(nullptr, 0, interval_, &Timer::Proc);
    if (id_ != 0) Timers()[id_] = this;
  } else {
    ::KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
}

void CALLBACK Timer::Proc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end() || !it->second->OnTimer) return;
  try {
    it->second->OnTimer();
  } catch (const std::exception& e) {
    Application::Instance().ShowException(e);
  }
}

}  // namespace ui
