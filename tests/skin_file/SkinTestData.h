// The checked-in test archives and streams (written by make_test_data.py)
// and a small writer of deflate bit streams for hand-made bad data.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace skintest {

using Bytes = std::vector<std::uint8_t>;

std::wstring DataPath(const std::string& name);  // Windows path of data/<name>
Bytes ReadData(const std::string& name);
std::wstring FuzzPath(const std::string& folder);  // Windows path of tests/fuzz/<folder>
Bytes ReadFileBytes(const std::wstring& path);

// Writes `v` little-endian over the four bytes at `at`.
inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Bits in deflate order: values least significant bit first, Huffman codes
// most significant bit first.
class BitWriter {
 public:
  BitWriter& Bits(std::uint32_t value, int count);
  BitWriter& Code(std::uint32_t code, int length);
  BitWriter& Byte(std::uint8_t b);  // after aligning to a byte
  Bytes Done();

 private:
  Bytes bytes_;
  int used_ = 0;  // bits used in the last byte
};

}  // namespace skintest
