// A small writer of deflate bit streams and skin data, for hand-made test
// inputs: valid blocks of any code shape and data no encoder would produce.
// Portable, so the native benchmark builds the same inputs.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace skintest {

using Bytes = std::vector<std::uint8_t>;

// Writes `v` little-endian over the four bytes at `at`.
inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Bits in deflate order: values least significant bit first, Huffman codes
// most significant bit first.
class BitWriter {
 public:
  BitWriter& Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
      if (used_ == 0) bytes_.push_back(0);
      bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (((value >> i) & 1) << used_));
      used_ = (used_ + 1) % 8;
    }
    return *this;
  }
  BitWriter& Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bits((code >> i) & 1, 1);
    return *this;
  }
  BitWriter& Byte(std::uint8_t b) {  // after aligning to a byte
    used_ = 0;
    bytes_.push_back(b);
    return *this;
  }
  Bytes Done() { return bytes_; }

 private:
  Bytes bytes_;
  int used_ = 0;  // bits used in the last byte
};

// A canonical Huffman code given by its code lengths (0: symbol unused).
struct HuffmanCode {
  explicit HuffmanCode(std::vector<std::uint8_t> lengths) : length(std::move(lengths)), code(length.size()) {
    std::uint32_t counts[16] = {}, next[16] = {}, c = 0;
    for (std::uint8_t n : length) ++counts[n];
    counts[0] = 0;
    for (int n = 1; n < 16; ++n) next[n] = c = (c + counts[n - 1]) << 1;
    for (std::size_t s = 0; s < length.size(); ++s) code[s] = length[s] ? next[length[s]]++ : 0;
  }
  void Put(BitWriter& w, int symbol) const { w.Code(code[symbol], length[symbol]); }
  std::vector<std::uint8_t> length;
  std::vector<std::uint32_t> code;
};

// Every code-length symbol with a code: 13 of 4 bits, 6 of 5.
inline std::vector<std::uint8_t> FullCodeLengthCode() {
  std::vector<std::uint8_t> clLengths(19, 4);
  for (int s : {16, 17, 18, 13, 14, 15}) clLengths[s] = 5;
  return clLengths;
}

// The header of a dynamic block: lengths are written one by one with the
// code-length code `clLengths`, runs of zeros with 17 and 18.
inline void DynamicBlockHeader(BitWriter& w, bool final, const HuffmanCode& literals, const HuffmanCode& distances,
                               const std::vector<std::uint8_t>& clLengths = FullCodeLengthCode()) {
  static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  const HuffmanCode cl(clLengths);
  w.Bits(final, 1).Bits(2, 2);
  w.Bits(static_cast<std::uint32_t>(literals.length.size() - 257), 5);
  w.Bits(static_cast<std::uint32_t>(distances.length.size() - 1), 5).Bits(15, 4);
  for (int s : order) w.Bits(clLengths[s], 3);
  std::vector<std::uint8_t> all = literals.length;
  all.insert(all.end(), distances.length.begin(), distances.length.end());
  for (std::size_t i = 0; i < all.size();) {
    std::size_t run = 0;
    while (i + run < all.size() && all[i + run] == 0 && run < 138) ++run;
    if (run >= 11) {
      cl.Put(w, 18), w.Bits(static_cast<std::uint32_t>(run - 11), 7);
    } else if (run >= 3) {
      cl.Put(w, 17), w.Bits(static_cast<std::uint32_t>(run - 3), 3);
    } else {
      cl.Put(w, all[i]), run = 1;
    }
    i += run;
  }
}

// A stream of about `size` bytes of dynamic blocks, a few symbols each, with
// codes up to 15 bits long in both trees: the most tree building per byte a
// valid stream can ask for. Each block gives its codes to other letters.
// `plain` receives what the stream decodes to.
inline Bytes ManyDynamicBlocks(std::size_t size, Bytes& plain) {
  std::vector<std::uint8_t> dist(16, 15);
  for (int i = 0; i < 14; ++i) dist[i] = static_cast<std::uint8_t>(i + 1);
  const HuffmanCode distances(dist);
  BitWriter w;
  for (int block = 0;; ++block) {
    const int first = 'a' + block % 7;
    std::vector<std::uint8_t> lit(258, 0);
    for (int i = 0; i < 14; ++i) lit[first + i] = static_cast<std::uint8_t>(i + 1);
    lit[256] = lit[257] = 15;
    const HuffmanCode literals(lit);
    const bool final = w.Done().size() + 64 >= size;
    DynamicBlockHeader(w, final, literals, distances);
    for (int i = 0; i < 6; ++i) {
      const int c = first + (block + i * 5) % 14;
      literals.Put(w, c);
      plain.push_back(static_cast<std::uint8_t>(c));
    }
    literals.Put(w, 257);  // length 3
    distances.Put(w, 0);   // distance 1
    plain.insert(plain.end(), 3, plain.back());
    literals.Put(w, 256);
    if (final) return w.Done();
  }
}

// One record of SKINDATA.SK2.
struct SkinRecordSpec {
  std::string name;
  std::uint8_t type;
  Bytes data;
};

// SKINDATA.SK2: the records in a chain, in order, their data behind them. The
// last record ends the chain whatever it holds.
inline Bytes SkinData(const std::vector<SkinRecordSpec>& records) {
  Bytes b(24, 0);
  PutU32(b, 12, 24);
  PutU32(b, 20, 24);
  std::size_t dataAt = 24 + 77 * records.size();
  b.resize(dataAt, 0);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const SkinRecordSpec& r = records[i];
    const std::size_t at = 24 + 77 * i;
    std::memcpy(&b[at], r.name.data(), std::min<std::size_t>(r.name.size(), 64));
    b[at + 64] = r.type;
    PutU32(b, at + 65, static_cast<std::uint32_t>(dataAt));
    PutU32(b, at + 69, static_cast<std::uint32_t>(r.data.size()));
    PutU32(b, at + 73, i + 1 == records.size() ? 0 : static_cast<std::uint32_t>(at + 77));
    b.insert(b.end(), r.data.begin(), r.data.end());
    dataAt += r.data.size();
  }
  return b;
}

inline void AddU16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void AddU32(Bytes& b, std::uint32_t v) {
  AddU16(b, v & 0xFFFF);
  AddU16(b, v >> 16);
}

// A .bmp image of the given form; `masks` (bit fields) follow the 40-byte
// header, then the palette, then `pixels` as stored.
inline Bytes BmpOf(int width, int height, int bits, std::uint32_t compression,
                   const std::vector<std::uint32_t>& palette, const std::vector<std::uint32_t>& masks,
                   const Bytes& pixels) {
  const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * (masks.size() + palette.size()));
  Bytes b = {'B', 'M'};
  AddU32(b, offset + static_cast<std::uint32_t>(pixels.size()));
  AddU32(b, 0);
  AddU32(b, offset);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) AddU32(b, v);
  b.push_back(1), b.push_back(0), b.push_back(static_cast<std::uint8_t>(bits)), b.push_back(0);
  for (std::uint32_t v : {compression, static_cast<std::uint32_t>(pixels.size()), 2835u, 2835u,
                          static_cast<std::uint32_t>(palette.size()), 0u})
    AddU32(b, v);
  for (std::uint32_t m : masks) AddU32(b, m);
  for (std::uint32_t c : palette) AddU32(b, c);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// A skin archive of one entry, SKINDATA.SK2, holding `payload` as its data
// with the given method, announced size and CRC-32.
inline Bytes SkinArchive(const Bytes& payload, std::uint16_t method, std::uint32_t size, std::uint32_t crc) {
  const std::string name = "SKINDATA.SK2";
  const auto packed = static_cast<std::uint32_t>(payload.size());
  const auto nameLength = static_cast<std::uint32_t>(name.size());
  Bytes b = {'S', 'K', 3, 4};
  for (std::uint32_t v : {20u, 0u, std::uint32_t{method}, 0u, 0u}) AddU16(b, v);
  for (std::uint32_t v : {crc, packed, size}) AddU32(b, v);
  for (std::uint32_t v : {nameLength, 0u}) AddU16(b, v);
  b.insert(b.end(), name.begin(), name.end());
  b.insert(b.end(), payload.begin(), payload.end());
  const auto central = static_cast<std::uint32_t>(b.size());
  AddU32(b, 0x02014B50u);
  for (std::uint32_t v : {20u, 20u, 0u, std::uint32_t{method}, 0u, 0u}) AddU16(b, v);
  for (std::uint32_t v : {crc, packed, size}) AddU32(b, v);
  for (std::uint32_t v : {nameLength, 0u, 0u, 0u, 0u}) AddU16(b, v);
  for (std::uint32_t v : {0u, 0u}) AddU32(b, v);
  b.insert(b.end(), name.begin(), name.end());
  const auto centralSize = static_cast<std::uint32_t>(b.size()) - central;
  AddU32(b, 0x06054B50u);
  for (std::uint32_t v : {0u, 0u, 1u, 1u}) AddU16(b, v);
  for (std::uint32_t v : {centralSize, central}) AddU32(b, v);
  AddU16(b, 0);
  return b;
}

}  // namespace skintest
