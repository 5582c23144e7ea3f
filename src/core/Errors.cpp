#include "core/Errors.h"

#include <cstdio>

namespace core {
namespace {

std::string Describe(const char* prefix, unsigned long code, const char* format) {
  char buf[64];
  std::snprintf(buf, sizeof(buf), format, prefix, code);
  return buf;
}

}  // namespace

InOutError::InOutError(DWORD code) : std::runtime_error(Describe("I/O error", code, "%s %lu")), code_(code) {}

ComError::ComError(HRESULT result)
    : std::runtime_error(Describe("COM error", static_cast<unsigned long>(result), "%s 0x%08lX")), result_(result) {}

}  // namespace core
