// Worker threads: created suspended, stopped cooperatively through a
// terminate flag, and able to run a call on the GUI thread (Synchronize).
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

namespace sys {

// The GUI thread's side of Synchronize. Init() runs on the GUI thread (the
// application does it); until then, and after Shutdown(), synchronised
// calls run on the calling thread.
namespace sync {
void Init();
void Shutdown();
bool IsGuiThread();
// Runs the synchronised calls waiting now; the GUI thread calls this while it
// waits for a worker so that the two cannot deadlock.
void Drain();
// Waits for `handle` on the GUI thread while serving synchronised calls.
// Returns true when the handle was signalled within `timeoutMs`.
bool WaitServing(HANDLE handle, DWORD timeoutMs);
// Runs `fn` on the GUI thread and waits for it (at once when called there).
void Run(const std::function<void()>& fn);
}  // namespace sync

class Thread {
 public:
  Thread();
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts Execute; a thread runs at most once.
  bool Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }

  // The object deletes itself once Execute and OnTerminate have run.
  // Whoever set it must not touch the object after Start().
  void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
  // Runs on the GUI thread after Execute has returned.
  void SetOnTerminate(std::function<void()> fn) { onTerminate_ = std::move(fn); }

  // Waits for the end of the thread; on the GUI thread it keeps serving
  // synchronised calls. Returns false on timeout.
  bool WaitFor(DWORD timeoutMs = INFINITE);

 protected:
  virtual void Execute() = 0;
  // Runs `fn` on the GUI thread and waits for it.
  void Synchronize(const std::function<void()>& fn);

 private:
  static unsigned __stdcall ThreadProc(void* arg);
  void Run();

  HANDLE handle_ = nullptr;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> started_{false};
  bool freeOnTerminate_ = false;
  std::function<void()> onTerminate_;
};

}  // namespace sys
