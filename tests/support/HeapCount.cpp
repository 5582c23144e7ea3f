// Replaces the program's operator new and delete with counting ones (see
// HeapCount.h). Each block carries its size in front of it.
#include "support/HeapCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> live{0}, peak{0};
constexpr size_t kHeader = 16;  // keeps malloc's alignment

void* Counted(size_t n) {
  if (n == 0) n = 1;
  void* block = std::malloc(n + kHeader);
  if (block == nullptr) return nullptr;
  *static_cast<size_t*>(block) = n;
  const size_t now = live += n;
  size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void Uncounted(void* p) {
  if (p == nullptr) return;
  char* block = static_cast<char*>(p) - kHeader;
  live -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

void* CountedOrThrow(size_t n) {
  if (void* p = Counted(n)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace testing_support {

size_t HeapLive() { return live; }
size_t HeapPeak() { return peak; }
void ResetHeapPeak() { peak = live.load(); }

}  // namespace testing_support

void* operator new(size_t n) { return CountedOrThrow(n); }
void* operator new[](size_t n) { return CountedOrThrow(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return Counted(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return Counted(n); }
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, size_t) noexcept { Uncounted(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Uncounted(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Uncounted(p); }
