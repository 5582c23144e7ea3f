// Synthetic index.dat files: a header with the cache signature, HASH tables
// chained at chosen offsets, entries and records placed by hand.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace indexdat_test {

class IndexDatBuilder {
 public:
  explicit IndexDatBuilder(size_t size, bool signature = true) : bytes_(size, 0xEE) {
    if (signature) std::memcpy(bytes_.data(), "Client UrlCache MMF Ver 5.2", 27);
    Int(0x1C, static_cast<int32_t>(size));
  }
  IndexDatBuilder& Int(size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(uint32_t(v) >> (8 * i));
    return *this;
  }
  IndexDatBuilder& Text(size_t at, const std::string& text) {
    std::memcpy(bytes_.data() + at, text.data(), text.size());
    return *this;
  }
  IndexDatBuilder& HeaderSize(int32_t v) { return Int(0x1C, v); }
  IndexDatBuilder& FirstTable(int32_t at) { return Int(0x20, at); }
  // A table of `blocks` 128-byte blocks with every entry free.
  IndexDatBuilder& Table(size_t at, int32_t blocks, int32_t next) {
    Text(at, "HASH").Int(at + 4, blocks).Int(at + 8, next);
    for (uint64_t e = at + 32; e + 8 <= at + uint64_t(blocks) * 128 && e + 8 <= bytes_.size(); e += 8) Entry(size_t(e), 1, 0);
    return *this;
  }
  IndexDatBuilder& Entry(size_t at, uint8_t hashByte, int32_t record) {
    bytes_[at] = hashByte;
    return Int(at + 4, record);
  }
  // A URL or LEAK record; urlOffset 0 leaves it without a URL.
  IndexDatBuilder& UrlRecord(size_t at, const std::string& kind, uint8_t urlOffset, const std::string& url,
                             uint32_t time = 0) {
    Text(at, kind).Int(at + 16, int32_t(time)).Int(at + 20, 0);
    bytes_[at + 0x34] = urlOffset;
    if (urlOffset != 0) Text(at + urlOffset, url + std::string(1, '\0'));
    return *this;
  }
  // A used entry at `entry` on a URL record at `record`.
  IndexDatBuilder& Url(size_t entry, int32_t record, const std::string& url, uint32_t time = 0) {
    return Entry(entry, 0x80, record).UrlRecord(size_t(record), "URL ", 0x68, url, time);
  }
  IndexDatBuilder& RedrRecord(size_t at, const std::string& url, uint32_t time = 0) {
    return Text(at, "REDR").Int(at + 8, int32_t(time)).Int(at + 12, 0).Text(at + 16, url + std::string(1, '\0'));
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::string String() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace indexdat_test
