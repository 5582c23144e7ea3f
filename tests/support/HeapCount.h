// The heap a piece of work held at its most, counted at operator new and
// delete: a block counts whole whether it was written or not, as Windows
// commits it (Wine's memory counters show only the pages written, so a
// buffer grown to twice its need looks no bigger than the need). Only a test
// program built with support/HeapCount.cpp counts.
#pragma once
#include <cstddef>

namespace testing_support {

size_t HeapLive();
// The most live since the last ResetHeapPeak (which starts it at the live bytes).
size_t HeapPeak();
void ResetHeapPeak();

// Above what was live before.
template <class Work>
size_t PeakHeapDuring(Work work) {
  const size_t before = HeapLive();
  ResetHeapPeak();
  work();
  return HeapPeak() - before;
}

}  // namespace testing_support
