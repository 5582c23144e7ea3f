// How time and memory grow with the size of crafted index.dat files: for
// each shape and doubling sizes up to 1 MB, the time and the peak heap of
// listing the file, building the viewer's rows and finding the scrub
// regions, each per KB of file. Flat columns mean cost in step with size.
// Portable: bench/indexdat/run.sh builds it natively at -O2; the build tree
// also makes indexdat_bench.exe for Wine.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatRows.h"
#include "indexdat/IndexDatShapes.h"

namespace {

// The heap in use and its peak, counted by the replaced operator new.
size_t gInUse = 0, gPeak = 0;

}  // namespace

void* operator new(size_t size) {
  size_t* block = static_cast<size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (block == nullptr) throw std::bad_alloc();
  *block = size;
  gInUse += size;
  if (gInUse > gPeak) gPeak = gInUse;
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  size_t* block = reinterpret_cast<size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
  gInUse -= *block;
  std::free(block);
}

void operator delete(void* p, size_t) noexcept { operator delete(p); }

int main() {
  std::printf("%-20s %8s %10s %12s %12s %8s\n", "shape", "KB", "ms", "us/KB", "heap KB/KB", "rows");
  for (const indexdat_test::ShapeInfo& s : indexdat_test::Shapes()) {
    for (size_t kb = 16; kb <= 1024; kb *= 2) {
      indexdat_test::IndexDatBuilder file = indexdat_test::MakeShape(s.shape, kb * 1024);
      std::vector<uint8_t> bytes = file.Bytes();
      size_t before = gInUse;
      gPeak = gInUse;
      auto start = std::chrono::steady_clock::now();
      indexdat::Listing listing = indexdat::ReadListing(bytes.data(), bytes.size());
      std::vector<indexdat::Region> regions = indexdat::ScrubRegions(bytes.data(), bytes.size());
      indexdat::ViewerRows rows(bytes, 0, nullptr);  // holds its own copy of the file, as the viewer does
      double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      double heapKb = double(gPeak - before) / 1024.0;
      std::printf("%-20s %8zu %10.2f %12.2f %12.2f %8zu\n", s.name, kb, ms, ms * 1000.0 / double(kb),
                  heapKb / double(kb), rows.Count());
    }
  }
  return 0;
}
