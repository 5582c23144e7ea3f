// The byte sources and sinks the skin-file parsers read from and write to, so
// that the parsers themselves run on any platform (and under a fuzzer).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skin {

// Random-access input of a known size.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset`; false when they are not all there.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const = 0;
};

class MemorySource : public ByteSource {
 public:
  MemorySource(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Sequential output.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const void* data, std::size_t count) = 0;
};

class MemorySink : public ByteSink {
 public:
  bool Write(const void* data, std::size_t count) override;
  std::vector<std::uint8_t> bytes;
};

// Little-endian reads from a byte buffer whose length the caller has checked.
inline std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace skin
