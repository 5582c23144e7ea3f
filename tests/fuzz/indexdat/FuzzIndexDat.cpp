// libFuzzer entry for the index.dat parser and the viewer's rows: any bytes
// must parse without a fault, and everything IndexDatChecks.h asks must hold.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "IndexDatChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string failed = indexdat_check::CheckAll(data, size);
  if (!failed.empty()) {
    std::fprintf(stderr, "%s\n", failed.c_str());
    std::abort();
  }
  return 0;
}
