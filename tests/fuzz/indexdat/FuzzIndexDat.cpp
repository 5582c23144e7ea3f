// libFuzzer entry for the index.dat parser: any bytes must parse without a
// fault, and scrub regions must stay inside the file and off every table head.
#include <cstdint>
#include <cstdlib>

#include "cleaner/indexdat/IndexDat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace indexdat;
  std::vector<Record> records = ReadRecords(data, size);
  for (const Record& r : records)
    if (r.offset >= size) std::abort();
  Layout layout = ReadLayout(data, size);
  if (layout.limit > size) std::abort();
  for (const Region& region : ScrubRegions(data, size)) {
    if (region.begin >= region.end || region.end > layout.limit) std::abort();
    if (region.begin < uint64_t(layout.tables.front().offset) + 32) std::abort();
    for (const Table& t : layout.tables)
      if (region.end > t.offset && region.begin < uint64_t(t.offset) + 32) std::abort();
  }
  return 0;
}
