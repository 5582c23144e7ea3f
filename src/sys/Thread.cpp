#include "sys/Thread.h"

#include <process.h>

#include <deque>
#include <exception>
#include <memory>
#include <mutex>

namespace sys {
namespace sync {
namespace {

constexpr UINT kWakeMessage = WM_APP + 0x3F0;

struct Call {
  std::function<void()> fn;
  HANDLE done = nullptr;  // signalled when run or dropped
};

struct State {
  std::mutex mutex;
  std::deque<std::shared_ptr<Call>> queue;
  DWORD guiThread = 0;
  HWND window = nullptr;
  HANDLE queued = nullptr;  // auto-reset: a call was queued
  bool active = false;
};

State& S() {
  static State s;
  return s;
}

LRESULT CALLBACK SyncWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == kWakeMessage) {
    Drain();
    return 0;
  }
  return ::DefWindowProcW(h, msg, w, l);
}

}  // namespace

void Init() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.active) return;
  s.guiThread = ::GetCurrentThreadId();
  if (s.queued == nullptr) s.queued = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = &SyncWndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantorelSyncWindow";
  ::RegisterClassW(&wc);
  s.window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  s.active = true;
}

void Shutdown() {
  State& s = S();
  std::deque<std::shared_ptr<Call>> dropped;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.active) return;
    s.active = false;
    dropped.swap(s.queue);
    if (s.window != nullptr) ::DestroyWindow(s.window);
    s.window = nullptr;
  }
  // Waiting workers go on without their call.
  for (auto& c : dropped) ::SetEvent(c->done);
}

bool IsGuiThread() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.active && s.guiThread == ::GetCurrentThreadId();
}

void Drain() {
  State& s = S();
  for (;;) {
    std::shared_ptr<Call> call;
    {
      std::lock_guard<std::mutex> lock(s.mutex);
      if (s.queue.empty()) return;
      call = s.queue.front();
      s.queue.pop_front();
    }
    try {
      call->fn();
    } catch (...) {
      // A failing GUI step must not leave its worker waiting.
    }
    ::SetEvent(call->done);
  }
}

bool WaitServing(HANDLE handle, DWORD timeoutMs) {
  State& s = S();
  DWORD start = ::GetTickCount();
  for (;;) {
    DWORD elapsed = ::GetTickCount() - start;
    DWORD left = timeoutMs == INFINITE ? INFINITE : (elapsed >= timeoutMs ? 0 : timeoutMs - elapsed);
    HANDLE handles[2] = {handle, s.queued};
    DWORD n = s.queued != nullptr && IsGuiThread() ? 2 : 1;
    DWORD r = ::WaitForMultipleObjects(n, handles, FALSE, left);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_OBJECT_0 + 1) {
      Drain();
      continue;
    }
    return false;
  }
}

// Queues `fn` for the GUI thread and waits; runs it here when there is no GUI
// thread or this is it.
void Run(const std::function<void()>& fn) {
  State& s = S();
  auto call = std::make_shared<Call>();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.active || s.guiThread == ::GetCurrentThreadId()) {
      call.reset();
    } else {
      call->fn = fn;
      call->done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
      s.queue.push_back(call);
      ::SetEvent(s.queued);
      ::PostMessageW(s.window, kWakeMessage, 0, 0);
    }
  }
  if (!call) {
    fn();
    return;
  }
  ::WaitForSingleObject(call->done, INFINITE);
  ::CloseHandle(call->done);
}

}  // namespace sync

Thread::Thread() = default;

Thread::~Thread() {
  if (handle_ != nullptr) ::CloseHandle(handle_);
}

bool Thread::Start() {
  bool expected = false;
  if (!started_.compare_exchange_strong(expected, true)) return false;
  unsigned id = 0;
  handle_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Thread::ThreadProc, this, 0, &id));
  if (handle_ == nullptr) {
    finished_ = true;
    return false;
  }
  return true;
}

unsigned __stdcall Thread::ThreadProc(void* arg) {
  static_cast<Thread*>(arg)->Run();
  return 0;
}

void Thread::Run() {
  try {
    Execute();
  } catch (...) {
    // Execute reports its own failures; nothing may escape the thread.
  }
  if (onTerminate_) Synchronize(onTerminate_);
  bool selfFree = freeOnTerminate_;
  finished_ = true;
  if (selfFree) delete this;
}

bool Thread::WaitFor(DWORD timeoutMs) {
  if (handle_ == nullptr) return true;
  return sync::WaitServing(handle_, timeoutMs);
}

void Thread::Synchronize(const std::function<void()>& fn) { sync::Run(fn); }

}  // namespace sys
