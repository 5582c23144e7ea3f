#include "skin/file/ByteStream.h"

#include <cstring>

namespace skin {

bool MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
  if (offset > size_ || count > size_ - offset) return false;
  if (count != 0) std::memcpy(buffer, data_ + offset, count);
  return true;
}

bool MemorySink::Write(const void* data, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  bytes.insert(bytes.end(), p, p + count);
  return true;
}

}  // namespace skin
