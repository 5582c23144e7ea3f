// Our own decoder of raw deflate data: table-driven Huffman decoding, a 16 KB
// input buffer and a 64 KB output window flushed 32 KB at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/file/ByteStream.h"

namespace skin {

// Sequential input of the compressed bytes; Read returns 0 at the end.
class InflateInput {
 public:
  virtual ~InflateInput() = default;
  virtual std::size_t Read(std::uint8_t* buffer, std::size_t max) = 0;
};

// Input from bytes held in memory.
class MemoryInflateInput : public InflateInput {
 public:
  MemoryInflateInput(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), left_(size) {}
  std::size_t Read(std::uint8_t* buffer, std::size_t max) override;

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

enum class InflateStatus {
  Ok,
  BadData,       // invalid block type, tree, symbol or distance
  InputEnded,    // the data ended before the final block did
  TooLong,       // more output than the caller allowed
  WriteFailed,
};

struct InflateResult {
  InflateStatus status = InflateStatus::BadData;
  std::uint64_t written = 0;
};

// A canonical Huffman code, decoded by one look-up of the next L bits (L the
// longest code length present). Codes up to kPrimaryBits long sit in a
// primary table; longer ones in small second-level tables behind a link
// entry, so a block's tables cost in step with its codes, not 2^L. An entry
// holds the symbol in bits 0-15, the code length in bits 16-23 and the extra
// bits in 24-31; bit patterns no code reaches give kNoEntry. The storage is
// kept from one Build to the next.
class THuffmanTree {
 public:
  static constexpr std::uint32_t kNoEntry = 0xFFFFFFFFu;
  static constexpr int kPrimaryBits = 9;
  // `loneCode`: as in the reference decoder, a code of one 1-bit symbol, or
  // of none, is taken for literals/lengths and distances (its unused
  // patterns fail when met); the code-length code must be complete.
  explicit THuffmanTree(int maxLength, bool loneCode = true) : maxLength_(maxLength), loneCode_(loneCode) {}
  // False for lengths over the declared maximum, an over-subscribed or
  // incomplete code (but for the lone code above), or more than kMaxSymbols
  // symbols.
  bool Build(const std::uint8_t* lengths, int count, int firstExtraSymbol,
             const std::uint8_t* extraBits);
  std::uint32_t Lookup(std::uint32_t index) const {
    const std::uint32_t entry = table_[index & ((1u << primary_) - 1)];
    if (((entry >> 16) & 0xFF) != kLink) return entry;
    // A link: second-level table at bits 0-15, its width in bits 24-31.
    return table_[(entry & 0xFFFF) + ((index >> primary_) & ((1u << (entry >> 24)) - 1))];
  }
  int Bits() const { return bits_; }
  static constexpr int kMaxSymbols = 320;

 private:
  static constexpr std::uint32_t kLink = 0;  // no real code has length 0
  std::vector<std::uint32_t> table_{kNoEntry};
  int maxLength_;
  bool loneCode_;
  int bits_ = 0;
  int primary_ = 0;
};

// Decodes one raw deflate stream from `input` into `output`, writing at most
// `maxOutput` bytes.
InflateResult InflateRaw(InflateInput& input, ByteSink& output, std::uint64_t maxOutput);

}  // namespace skin
