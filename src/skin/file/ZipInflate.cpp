#include "skin/file/ZipInflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace skin {
namespace {

constexpr std::size_t kInputSize = 16384;
// The window keeps the last 32 KB for back-references and room for one
// longest match behind the flush threshold.
constexpr std::size_t kFlushAt = 65536;
constexpr std::size_t kWindowSize = kFlushAt + 258;
constexpr std::size_t kKeep = 32768;

const std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
// Symbols 257..285; 286 and 287 never occur in valid data.
const std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const std::uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                       3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0};
// Codes 0..29; 30 and 31 never occur in valid data.
const std::uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                     33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                     1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const std::uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                     7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 0, 0};

std::array<std::uint8_t, 256> MakeBitReverse() {
  std::array<std::uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    int r = 0;
    for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1) << (7 - b);
    table[i] = static_cast<std::uint8_t>(r);
  }
  return table;
}

std::uint32_t ReverseBits(std::uint32_t code, int n) {
  static const std::array<std::uint8_t, 256> rev = MakeBitReverse();
  const std::uint32_t r16 = (static_cast<std::uint32_t>(rev[code & 0xFF]) << 8) | rev[(code >> 8) & 0xFF];
  return r16 >> (16 - n);
}

class ZipBitReader {
 public:
  explicit ZipBitReader(InflateInput& input) : input_(input) {}

  // The next n bits (n <= 32), zeros past the end of the input.
  std::uint32_t Peek(int n) {
    if (count_ < n) Refill(n);
    return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << n) - 1));
  }
  // False once the reader has gone past the real input.
  bool Drop(int n) {
    bits_ >>= n;
    count_ -= n;
    return count_ >= pad_;
  }
  bool Get(int n, std::uint32_t& value) {
    value = Peek(n);
    return Drop(n);
  }
  bool AlignToByte() { return Drop(count_ % 8); }
  // Whole bytes for a stored block: first those left in the bit buffer.
  bool ReadBytes(std::uint8_t* dest, std::size_t count) {
    while (count > 0 && count_ - pad_ >= 8) {
      *dest++ = static_cast<std::uint8_t>(bits_);
      Drop(8);
      --count;
    }
    if (count > 0 && count_ > 0) return false;  // only padding left
    while (count > 0) {
      if (pos_ == end_ && !Fill()) return false;
      const std::size_t n = std::min(count, end_ - pos_);
      std::memcpy(dest, buffer_.data() + pos_, n);
      pos_ += n;
      dest += n;
      count -= n;
    }
    return true;
  }

 private:
  bool Fill() {
    if (ended_) return false;
    pos_ = 0;
    end_ = input_.Read(buffer_.data(), buffer_.size());
    if (end_ == 0) ended_ = true;
    return end_ != 0;
  }
  // Takes as many whole bytes as the bit buffer holds, straight from the
  // input buffer; past the end of the input, zeros (counted in pad_).
  void Refill(int n) {
    while (count_ <= 56 && pos_ < end_) {
      bits_ |= static_cast<std::uint64_t>(buffer_[pos_++]) << count_;
      count_ += 8;
    }
    while (count_ < n) {
      std::uint8_t b = 0;
      if (!NextByte(b)) pad_ += 8;
      bits_ |= static_cast<std::uint64_t>(b) << count_;
      count_ += 8;
    }
  }
  bool NextByte(std::uint8_t& b) {
    if (pos_ == end_ && !Fill()) return false;
    b = buffer_[pos_++];
    return true;
  }

  InflateInput& input_;
  std::array<std::uint8_t, kInputSize> buffer_{};
  std::size_t pos_ = 0, end_ = 0;
  bool ended_ = false;
  std::uint64_t bits_ = 0;
  int count_ = 0;  // bits held
  int pad_ = 0;    // of which zeros added past the end of the input
};

class InflateWindow {
 public:
  InflateWindow(ByteSink& sink, std::uint64_t limit) : sink_(sink), limit_(limit), window_(kWindowSize) {}

  std::uint64_t Total() const { return flushed_ + pos_; }
  InflateStatus Literal(std::uint8_t b) {
    if (Total() + 1 > limit_) return InflateStatus::TooLong;
    window_[pos_++] = b;
    return Flush();
  }
  InflateStatus Copy(std::uint32_t distance, std::uint32_t length) {
    if (distance == 0 || distance > Total() || distance > kKeep) return InflateStatus::BadData;
    if (Total() + length > limit_) return InflateStatus::TooLong;
    std::uint8_t* out = window_.data() + pos_;
    const std::uint8_t* from = out - distance;
    if (length > distance) {
      for (std::uint32_t i = 0; i < length; ++i) out[i] = from[i];  // overlaps itself
    } else {
      std::memcpy(out, from, length);
    }
    pos_ += length;
    return Flush();
  }
  // As zlib does: bytes that are not there are missing data, whatever the
  // length says; only bytes present past the limit make the output too long.
  InflateStatus Stored(ZipBitReader& reader, std::uint32_t length) {
    const std::uint32_t allowed = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, limit_ - Total()));
    for (std::uint32_t left = allowed; left > 0;) {
      const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(left, kFlushAt - pos_));
      if (!reader.ReadBytes(window_.data() + pos_, n)) return InflateStatus::InputEnded;
      pos_ += n;
      left -= n;
      const InflateStatus status = Flush();
      if (status != InflateStatus::Ok) return status;
    }
    if (allowed == length) return InflateStatus::Ok;
    std::uint8_t next = 0;
    return reader.ReadBytes(&next, 1) ? InflateStatus::TooLong : InflateStatus::InputEnded;
  }
  InflateStatus Finish() {
    if (pos_ > 0 && !sink_.Write(window_.data(), pos_)) return InflateStatus::WriteFailed;
    flushed_ += pos_;
    pos_ = 0;
    return InflateStatus::Ok;
  }

 private:
  InflateStatus Flush() {
    if (pos_ < kFlushAt) return InflateStatus::Ok;
    if (!sink_.Write(window_.data(), kKeep)) return InflateStatus::WriteFailed;
    std::memmove(window_.data(), window_.data() + kKeep, pos_ - kKeep);
    pos_ -= kKeep;
    flushed_ += kKeep;
    return InflateStatus::Ok;
  }

  ByteSink& sink_;
  std::uint64_t limit_;
  std::vector<std::uint8_t> window_;
  std::size_t pos_ = 0;
  std::uint64_t flushed_ = 0;
};

struct FixedTrees {
  THuffmanTree literals{15}, distances{15};
  FixedTrees() {
    std::uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    literals.Build(lengths, 288, 257, kLengthExtra);
    std::fill(lengths, lengths + 32, 5);
    distances.Build(lengths, 32, 0, kDistExtra);
  }
};

// Built once, on first use, and shared by every extraction.
const FixedTrees& BuildFixedHuffmanTrees() {
  static const FixedTrees trees;
  return trees;
}

class Inflater {
 public:
  Inflater(InflateInput& input, ByteSink& output, std::uint64_t limit) : reader_(input), window_(output, limit) {}

  InflateResult Run() {
    InflateResult result;
    result.status = Blocks();
    if (result.status == InflateStatus::Ok) result.status = window_.Finish();
    result.written = window_.Total();
    return result;
  }

 private:
  InflateStatus Blocks() {
    for (;;) {
      std::uint32_t final = 0, type = 0;
      if (!reader_.Get(1, final) || !reader_.Get(2, type)) return InflateStatus::InputEnded;
      InflateStatus status = InflateStatus::BadData;
      if (type == 0) status = StoredBlock();
      if (type == 1) {
        const FixedTrees& fixed = BuildFixedHuffmanTrees();
        status = InflateHuffmanBlock(fixed.literals, fixed.distances);
      }
      if (type == 2) status = DynamicBlock();
      if (status != InflateStatus::Ok) return status;
      if (final) return InflateStatus::Ok;
    }
  }

  InflateStatus StoredBlock() {
    std::uint32_t len = 0, nlen = 0;
    if (!reader_.AlignToByte() || !reader_.Get(16, len) || !reader_.Get(16, nlen)) return InflateStatus::InputEnded;
    if ((len ^ 0xFFFF) != nlen) return InflateStatus::BadData;
    return window_.Stored(reader_, len);
  }

  InflateStatus Decode(const THuffmanTree& tree, std::uint32_t& symbol, int& extra) {
    const std::uint32_t entry = tree.Lookup(reader_.Peek(tree.Bits()));
    if (entry == THuffmanTree::kNoEntry) return InflateStatus::BadData;
    if (!reader_.Drop(static_cast<int>((entry >> 16) & 0xFF))) return InflateStatus::InputEnded;
    symbol = entry & 0xFFFF;
    extra = static_cast<int>(entry >> 24);
    return InflateStatus::Ok;
  }

  InflateStatus InflateHuffmanBlock(const THuffmanTree& literals, const THuffmanTree& distances) {
    for (;;) {
      std::uint32_t symbol = 0, more = 0;
      int extra = 0;
      InflateStatus status = Decode(literals, symbol, extra);
      if (status != InflateStatus::Ok) return status;
      if (symbol < 256) {
        status = window_.Literal(static_cast<std::uint8_t>(symbol));
      } else if (symbol == 256) {
        return InflateStatus::Ok;
      } else {
        if (symbol > 285) return InflateStatus::BadData;
        if (!reader_.Get(extra, more)) return InflateStatus::InputEnded;
        const std::uint32_t length = kLengthBase[symbol - 257] + more;
        status = Decode(distances, symbol, extra);
        if (status != InflateStatus::Ok) return status;
        if (symbol >= 30) return InflateStatus::BadData;
        if (!reader_.Get(extra, more)) return InflateStatus::InputEnded;
        status = window_.Copy(kDistBase[symbol] + more, length);
      }
      if (status != InflateStatus::Ok) return status;
    }
  }

  InflateStatus ReadCodeLengths(const THuffmanTree& codeTree, std::uint8_t* lengths, int total) {
    int n = 0;
    while (n < total) {
      std::uint32_t symbol = 0, repeat = 0;
      int extra = 0;
      const InflateStatus status = Decode(codeTree, symbol, extra);
      if (status != InflateStatus::Ok) return status;
      if (symbol < 16) {
        lengths[n++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      static const int kRepeatBits[3] = {2, 3, 7}, kRepeatBase[3] = {3, 3, 11};
      if (!reader_.Get(kRepeatBits[symbol - 16], repeat)) return InflateStatus::InputEnded;
      repeat += kRepeatBase[symbol - 16];
      if (symbol == 16 && n == 0) return InflateStatus::BadData;  // nothing to repeat
      if (n + static_cast<int>(repeat) > total) return InflateStatus::BadData;
      const std::uint8_t value = symbol == 16 ? lengths[n - 1] : 0;
      std::fill(lengths + n, lengths + n + repeat, value);
      n += static_cast<int>(repeat);
    }
    return InflateStatus::Ok;
  }

  InflateStatus DynamicBlock() {
    std::uint32_t hlit = 0, hdist = 0, hclen = 0;
    if (!reader_.Get(5, hlit) || !reader_.Get(5, hdist) || !reader_.Get(4, hclen)) return InflateStatus::InputEnded;
    hlit += 257;
    hdist += 1;
    hclen += 4;
    if (hlit > 286 || hdist > 30) return InflateStatus::BadData;
    std::uint8_t codeLengths[19] = {};
    for (std::uint32_t i = 0; i < hclen; ++i) {
      std::uint32_t v = 0;
      if (!reader_.Get(3, v)) return InflateStatus::InputEnded;
      codeLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(v);
    }
    if (!codeTree_.Build(codeLengths, 19, 19, nullptr)) return InflateStatus::BadData;
    std::uint8_t lengths[318] = {};
    const InflateStatus status = ReadCodeLengths(codeTree_, lengths, static_cast<int>(hlit + hdist));
    if (status != InflateStatus::Ok) return status;
    if (lengths[256] == 0) return InflateStatus::BadData;  // the block could never end
    if (!literals_.Build(lengths, static_cast<int>(hlit), 257, kLengthExtra) ||
        !distances_.Build(lengths + hlit, static_cast<int>(hdist), 0, kDistExtra)) {
      return InflateStatus::BadData;
    }
    return InflateHuffmanBlock(literals_, distances_);
  }

  ZipBitReader reader_;
  InflateWindow window_;
  // The dynamic blocks' trees, rebuilt in the same storage for every block.
  THuffmanTree codeTree_{7, false}, literals_{15}, distances_{15};
};

}  // namespace

bool THuffmanTree::Build(const std::uint8_t* lengths, int count, int firstExtraSymbol,
                         const std::uint8_t* extraBits) {
  if (count > kMaxSymbols) return false;
  int counts[16] = {};
  int longest = 0;
  for (int s = 0; s < count; ++s) {
    if (lengths[s] > maxLength_ || lengths[s] > 15) return false;
    ++counts[lengths[s]];
    longest = std::max<int>(longest, lengths[s]);
  }
  counts[0] = 0;
  int left = 1;  // an over-subscribed code would give codes that do not fit their length
  for (int n = 1; n <= 15; ++n) {
    left = (left << 1) - counts[n];
    if (left < 0) return false;
  }
  // An incomplete code is refused, as the reference decoder refuses it.
  if (left > 0 && !(loneCode_ && longest <= 1)) return false;
  std::uint32_t next[16] = {};
  std::uint32_t code = 0;
  for (int n = 1; n <= 15; ++n) {
    code = (code + static_cast<std::uint32_t>(counts[n - 1])) << 1;
    next[n] = code;
  }
  bits_ = longest;
  primary_ = std::min(longest, kPrimaryBits);
  const std::uint32_t primaryMask = (1u << primary_) - 1;
  // Each symbol's code, bit-reversed as it arrives; and for every primary
  // slot that long codes start with, the width of its second-level table.
  std::uint32_t reversed[kMaxSymbols];
  std::uint8_t subBits[1u << kPrimaryBits] = {};
  std::uint32_t longSlots[kMaxSymbols];
  int longCount = 0;
  for (int s = 0; s < count; ++s) {
    const int n = lengths[s];
    if (n == 0) continue;
    reversed[s] = ReverseBits(next[n]++, n);
    if (n > primary_) {
      std::uint8_t& width = subBits[reversed[s] & primaryMask];
      if (width == 0) longSlots[longCount++] = reversed[s] & primaryMask;
      width = static_cast<std::uint8_t>(std::max(static_cast<int>(width), n - primary_));
    }
  }
  std::size_t size = std::size_t{1} << primary_;
  std::uint32_t links[1u << kPrimaryBits];
  for (int i = 0; i < longCount; ++i) {
    const std::uint32_t slot = longSlots[i];
    links[slot] = static_cast<std::uint32_t>(size) | (kLink << 16) | (static_cast<std::uint32_t>(subBits[slot]) << 24);
    size += std::size_t{1} << subBits[slot];
  }
  table_.assign(size, kNoEntry);  // keeps the storage of the last block
  for (int i = 0; i < longCount; ++i) table_[longSlots[i]] = links[longSlots[i]];
  for (int s = 0; s < count; ++s) {
    const int n = lengths[s];
    if (n == 0) continue;
    std::uint32_t entry = static_cast<std::uint32_t>(s) | (static_cast<std::uint32_t>(n) << 16);
    if (extraBits && s >= firstExtraSymbol) entry |= static_cast<std::uint32_t>(extraBits[s - firstExtraSymbol]) << 24;
    // Every index whose low bits are the code finds the entry.
    std::size_t first = reversed[s], end = std::size_t{1} << primary_, step = std::size_t{1} << n;
    if (n > primary_) {
      const std::uint32_t link = links[reversed[s] & primaryMask];
      first = (link & 0xFFFF) + (reversed[s] >> primary_);
      end = (link & 0xFFFF) + (std::size_t{1} << (link >> 24));
      step = std::size_t{1} << (n - primary_);
    }
    for (std::size_t i = first; i < end; i += step) table_[i] = entry;
  }
  return true;
}

std::size_t MemoryInflateInput::Read(std::uint8_t* buffer, std::size_t max) {
  const std::size_t n = std::min(max, left_);
  if (n != 0) std::memcpy(buffer, data_, n);
  data_ += n;
  left_ -= n;
  return n;
}

InflateResult InflateRaw(InflateInput& input, ByteSink& output, std::uint64_t maxOutput) {
  Inflater inflater(input, output, maxOutput);
  return inflater.Run();
}

}  // namespace skin
