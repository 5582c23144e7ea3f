#include "ui/Timer.h"

#include <map>
#include <stdexcept>

#include "ui/Application.h"

namespace ui {
namespace {
using Key = std::pair<HWND, UINT_PTR>;

std::map<Key, Timer*>& Timers() {
  static std::map<Key, Timer*> timers;
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
    id_ = owner_ != nullptr ? ::SetTimer(owner_, ownerId_, interval_, nullptr)
                            : ::SetTimer(nullptr, 0, interval_, &Timer::Proc);
    if (id_ != 0) Timers()[Key(owner_, id_)] = this;
  } else {
    ::KillTimer(owner_, id_);
    Timers().erase(Key(owner_, id_));
    id_ = 0;
  }
}

bool Timer::Fire(HWND owner, UINT_PTR id) {
  auto it = Timers().find(Key(owner, id));
  if (it == Timers().end()) return false;
  if (it->second->OnTimer) it->second->OnTimer();
  return true;
}

void CALLBACK Timer::Proc(HWND, UINT, UINT_PTR id, DWORD) {
  try {
    Fire(nullptr, id);
  } catch (const std::exception& e) {
    Application::Instance().ShowException(e);
  }
}

}  // namespace ui
