// The most memory a process held while some work ran, for the tests that
// bound a parser's memory by the size of its file.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace testing_support {

// Above what the process held before: the resident peak when this run raised
// it, sampled otherwise. Link psapi.
template <class Work>
SIZE_T PeakMemoryDuring(Work work) {
  auto counters = [] {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof(c);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c));
    return c;
  };
  const PROCESS_MEMORY_COUNTERS before = counters();
  std::atomic<bool> done{false};
  std::atomic<SIZE_T> sampled{before.WorkingSetSize};
  std::thread sampler([&] {
    while (!done) {
      sampled = std::max<SIZE_T>(sampled, counters().WorkingSetSize);
      ::Sleep(2);
    }
  });
  work();
  done = true;
  sampler.join();
  const PROCESS_MEMORY_COUNTERS after = counters();
  const SIZE_T peak =
      std::max<SIZE_T>(sampled, after.PeakWorkingSetSize > before.PeakWorkingSetSize ? after.PeakWorkingSetSize : 0);
  return peak > before.WorkingSetSize ? peak - before.WorkingSetSize : 0;
}

}  // namespace testing_support
