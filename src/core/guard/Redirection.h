// The system's file-name redirection of a 32-bit program (system32 to its
// 32-bit view), set for the calling thread while the object lives and put
// back as it was when it goes. Where the system has no redirection, nothing.
#pragma once

namespace core {
namespace guard {

class ThreadRedirection {
 public:
  enum Mode {
    Off,      // names are what they are on disk
    Default,  // as every thread has it, whatever this one turned off
  };
  explicit ThreadRedirection(Mode mode, bool apply = true);
  ~ThreadRedirection();
  ThreadRedirection(const ThreadRedirection&) = delete;
  ThreadRedirection& operator=(const ThreadRedirection&) = delete;
  // The redirection was changed, and is put back at the end.
  bool Changed() const { return saved_; }

 private:
  void* previous_ = nullptr;
  bool saved_ = false;
};

}  // namespace guard
}  // namespace core
