// CRC-32 and the traditional password encryption of ZIP entries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace skin {

// Continues a CRC-32 (reflected polynomial EDB88320h); start with 0.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size);

// The three keys of the traditional encryption; they carry over from call to
// call so an entry can be decrypted in pieces.
struct ZipKeys {
  std::uint32_t k0 = 0x12345678u, k1 = 0x23456789u, k2 = 0x34567890u;
  void Update(std::uint8_t plain);
  std::uint8_t StreamByte() const;
};

ZipKeys ZipKeysFromPassword(const std::string& password);
// Decrypts in place, updating the keys with each decrypted byte.
void ZipDecryptBuffer(std::uint8_t* buffer, std::size_t size, ZipKeys& keys);

}  // namespace skin
