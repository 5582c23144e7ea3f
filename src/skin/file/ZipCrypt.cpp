#include "skin/file/ZipCrypt.h"

#include <array>

namespace skin {
namespace {

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  return table;
}

// One step of the raw (not pre- or post-inverted) CRC the keys use.
std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t b) {
  return CrcTable()[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = CrcStep(crc, p[i]);
  return ~crc;
}

void ZipKeys::Update(std::uint8_t plain) {
  k0 = CrcStep(k0, plain);
  k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
  k2 = CrcStep(k2, static_cast<std::uint8_t>(k1 >> 24));
}

std::uint8_t ZipKeys::StreamByte() const {
  const std::uint32_t t = (k2 | 2) & 0xFFFF;
  return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
}

ZipKeys ZipKeysFromPassword(const std::string& password) {
  ZipKeys keys;
  for (unsigned char c : password) keys.Update(c);
  return keys;
}

void ZipDecryptBuffer(std::uint8_t* buffer, std::size_t size, ZipKeys& keys) {
  for (std::size_t i = 0; i < size; ++i) {
    buffer[i] = static_cast<std::uint8_t>(buffer[i] ^ keys.StreamByte());
    keys.Update(buffer[i]);
  }
}

}  // namespace skin
