// Our inflate against streams the reference implementation made, and against
// hand-made invalid data that must fail cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "SkinTestData.h"
#include "skin/file/ZipInflate.h"

using skin::InflateStatus;
using skintest::BitWriter;
using skintest::Bytes;

namespace {

skin::InflateResult Inflate(const Bytes& stream, Bytes* out = nullptr, std::uint64_t limit = 1u << 24) {
  skin::MemoryInflateInput input(stream.data(), stream.size());
  skin::MemorySink sink;
  const skin::InflateResult result = skin::InflateRaw(input, sink, limit);
  if (out) *out = sink.bytes;
  return result;
}

// Fixed-code symbols.
void Literal(BitWriter& w, int c) { c < 144 ? w.Code(0x30 + c, 8) : w.Code(0x190 + c - 144, 9); }
void LengthSymbol(BitWriter& w, int s) { s < 280 ? w.Code(s - 256, 7) : w.Code(0xC0 + s - 280, 8); }
void FixedHeader(BitWriter& w, bool final) { w.Bits(final, 1).Bits(1, 2); }

// A dynamic block header whose code-length code gives length 1 to `a` and `b`.
void DynamicHeader(BitWriter& w, int hlitField, int a, int b) {
  static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  w.Bits(1, 1).Bits(2, 2).Bits(hlitField, 5).Bits(0, 5).Bits(15, 4);
  for (int i = 0; i < 19; ++i) w.Bits(order[i] == a || order[i] == b ? 1 : 0, 3);
}

TEST(Inflate, EqualsTheReferenceOutputForEveryStreamKindAndBoundary) {
  std::vector<std::pair<std::string, std::string>> rows;  // stream, reference output
  for (const char* payload : {"text", "random", "run", "small"})
    for (const char* kind : {"stored", "fixed", "dynamic"})
      rows.emplace_back(std::string(payload) + "." + kind, payload);
  rows.emplace_back("edge16k.stored", "edge16k");  // ends exactly at a 16 KB input buffer
  rows.emplace_back("oddtail.fixed", "oddtail");   // ends in the middle of a bit-buffer word
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    const Bytes expected = skintest::ReadData(row.second + ".bin");
    ASSERT_FALSE(expected.empty());
    Bytes out;
    EXPECT_EQ(InflateStatus::Ok, Inflate(skintest::ReadData(row.first + ".deflate"), &out).status);
    EXPECT_TRUE(out == expected);
  }
  EXPECT_EQ(16384u, skintest::ReadData("edge16k.stored.deflate").size());
}

// Codes of up to 15 bits sit behind the first-level table; each block
// rebuilds the tables in the storage of the last with other codes.
TEST(Inflate, ManyDynamicBlocksWithLongCodesDecodeExactly) {
  Bytes plain, out;
  const Bytes stream = skintest::ManyDynamicBlocks(20000, plain);
  ASSERT_EQ(InflateStatus::Ok, Inflate(stream, &out).status);
  EXPECT_TRUE(out == plain);
}

TEST(Inflate, OverlappingMatchRepeatsOneByte) {
  BitWriter w;
  FixedHeader(w, true);
  Literal(w, 'x');
  LengthSymbol(w, 285);  // length 258
  w.Code(0, 5);          // distance 1
  LengthSymbol(w, 256);
  Bytes out;
  ASSERT_EQ(InflateStatus::Ok, Inflate(w.Done(), &out).status);
  EXPECT_EQ(Bytes(259, 'x'), out);
}

struct BadStream {
  const char* what;
  Bytes stream;
  InflateStatus expected;
  Bytes output = {};  // when it decodes
  std::uint64_t limit = 1u << 24;
};

// A literal/length symbol; after 257 (length 3), the bits of a distance
// code, which the block's code may lack.
struct Symbol { int literal; int distance = -1; };

// A dynamic block whose literal/length code gives 'a', 256 and 257 the
// lengths `lits` (0: no code) and whose distance code has the lengths
// `dists`, then `symbols`.
void DynamicBlock(BitWriter& w, bool final, const std::vector<std::uint8_t>& lits,
                  const std::vector<std::uint8_t>& dists, const std::vector<Symbol>& symbols,
                  const std::vector<std::uint8_t>& clLengths = skintest::FullCodeLengthCode()) {
  std::vector<std::uint8_t> lit(258, 0);
  lit['a'] = lits[0], lit[256] = lits[1], lit[257] = lits[2];
  if (lit[257] == 0) lit.pop_back();
  const skintest::HuffmanCode literals(lit), distances(dists);
  skintest::DynamicBlockHeader(w, final, literals, distances, clLengths);
  for (const Symbol& s : symbols) {
    literals.Put(w, s.literal);
    if (s.distance >= 0) w.Code(s.distance, std::max<int>(1, dists[0]));
  }
}

Bytes FinalDynamicBlock(const std::vector<std::uint8_t>& lits, const std::vector<std::uint8_t>& dists,
                        const std::vector<Symbol>& symbols,
                        const std::vector<std::uint8_t>& clLengths = skintest::FullCodeLengthCode()) {
  BitWriter w;
  DynamicBlock(w, true, lits, dists, symbols, clLengths);
  return w.Done();
}

std::vector<BadStream> BadStreams() {
  std::vector<BadStream> cases;
  const Symbol a{'a'}, end{256};
  const auto Bad = InflateStatus::BadData, Ok = InflateStatus::Ok;
  // One code of length 1 is the one incomplete code the reference allows,
  // and none at all where no symbol needs it.
  std::vector<std::uint8_t> cl(19, 0);
  cl[1] = cl[17] = cl[18] = 2;  // three of four two-bit codes
  cases.push_back({"incomplete code-length code", FinalDynamicBlock({1, 1, 0}, {1}, {a, end}, cl), Bad});
  cases.push_back({"incomplete literal/length code", FinalDynamicBlock({2, 2, 0}, {1}, {a, end}), Bad});
  cases.push_back({"incomplete distance code", FinalDynamicBlock({1, 2, 2}, {2, 2}, {a, end}), Bad});
  cases.push_back({"a lone one-bit distance code", FinalDynamicBlock({1, 2, 2}, {1}, {a, {257, 0}, end}), Ok,
                   Bytes(4, 'a')});
  cases.push_back({"no distance code in a block of literals", FinalDynamicBlock({1, 1, 0}, {0}, {a, a, end}), Ok,
                   Bytes(2, 'a')});
  cases.push_back({"a lone end-of-block code", FinalDynamicBlock({0, 1, 0}, {0}, {end}), Ok});
  {
    // The second block lacks the distance code the first one had: its
    // table must not answer with the first block's entry.
    BitWriter w;
    DynamicBlock(w, false, {1, 2, 2}, {1, 1}, {a, a, end});
    DynamicBlock(w, true, {1, 2, 2}, {1}, {{257, 1}, end});
    cases.push_back({"a distance code only the previous block had", w.Done(), Bad});
  }
  cases.push_back({"empty input", {}, InflateStatus::InputEnded});
  cases.push_back({"block type 3", {0x07}, InflateStatus::BadData});
  cases.push_back({"stored length not matched by its complement", {0x01, 5, 0, 0, 0, 'a'}, InflateStatus::BadData});
  // Two of five stored bytes there: missing data unless the two already pass
  // the limit, as zlib checks.
  for (std::uint64_t limit : {std::uint64_t{1} << 24, std::uint64_t{4}, std::uint64_t{2}})
    cases.push_back({"stored block past the end", {0x01, 5, 0, 0xFA, 0xFF, 'a', 'b'}, InflateStatus::InputEnded, {},
                     limit});
  for (std::uint64_t limit : {0, 1})
    cases.push_back({"stored block past the end and the limit", {0x01, 5, 0, 0xFA, 0xFF, 'a', 'b'},
                     InflateStatus::TooLong, {}, limit});
  cases.push_back({"stored block", {0x01, 2, 0, 0xFD, 0xFF, 'a', 'b'}, Ok, {'a', 'b'}});
  {
    BitWriter w;
    FixedHeader(w, true);
    LengthSymbol(w, 257);
    w.Code(0, 5);
    cases.push_back({"distance before the start", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    FixedHeader(w, true);
    Literal(w, 'a');
    LengthSymbol(w, 286);
    cases.push_back({"length symbol 286", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    FixedHeader(w, true);
    Literal(w, 'a');
    LengthSymbol(w, 257);
    w.Code(30, 5);
    cases.push_back({"distance code 30", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    FixedHeader(w, false);
    Literal(w, 'a');
    LengthSymbol(w, 256);
    cases.push_back({"no final block", w.Done(), InflateStatus::InputEnded});
  }
  {
    BitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(30, 5).Bits(0, 5).Bits(0, 4);
    cases.push_back({"more than 286 length codes", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    DynamicHeader(w, 0, 1, 16);
    w.Code(1, 1);  // symbol 16 first: nothing to repeat
    cases.push_back({"repeat with no previous length", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    DynamicHeader(w, 0, 0, 18);
    w.Code(1, 1).Bits(127, 7).Code(1, 1).Bits(127, 7);  // 276 zeros for 258 lengths
    cases.push_back({"repeat past the lengths", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    DynamicHeader(w, 0, 0, 18);
    w.Code(1, 1).Bits(127, 7).Code(1, 1).Bits(109, 7);  // all 258 lengths zero
    cases.push_back({"no end-of-block code", w.Done(), InflateStatus::BadData});
  }
  {
    BitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5).Bits(0, 4);
    for (int i = 0; i < 4; ++i) w.Bits(1, 3);  // four codes of length 1
    cases.push_back({"over-subscribed code", w.Done(), InflateStatus::BadData});
  }
  return cases;
}

// Each hand-made stream ends as the reference decoder ends it, also with the
// limit at the output's size and one byte short of it.
TEST(Inflate, InvalidDataFailsCleanly) {
  for (const BadStream& c : BadStreams()) {
    SCOPED_TRACE(testing::Message() << c.what << ", limit " << c.limit);
    Bytes out;
    EXPECT_EQ(c.expected, Inflate(c.stream, &out, c.limit).status);
    if (c.expected != InflateStatus::Ok) continue;
    EXPECT_EQ(c.output, out);
    EXPECT_EQ(InflateStatus::Ok, Inflate(c.stream, nullptr, out.size()).status);
    if (!out.empty()) {
      EXPECT_EQ(InflateStatus::TooLong, Inflate(c.stream, nullptr, out.size() - 1).status);
    }
  }
}

TEST(Inflate, TruncatedStreamsNeverSucceed) {
  const Bytes stream = skintest::ReadData("text.dynamic.deflate");
  ASSERT_GT(stream.size(), 1000u);
  for (std::size_t cut = 0; cut + 1 < stream.size(); cut += stream.size() / 97 + 1) {
    const Bytes part(stream.begin(), stream.begin() + cut);
    EXPECT_NE(InflateStatus::Ok, Inflate(part).status) << cut;
  }
}

TEST(Inflate, CorruptedStreamsEndWithinTheirLimit) {
  const Bytes stream = skintest::ReadData("text.dynamic.deflate");
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    Bytes broken = stream;
    for (int flips = 0; flips < 3; ++flips) broken[random() % 64] ^= static_cast<std::uint8_t>(1u << (random() % 8));
    Bytes out;
    Inflate(broken, &out, 1u << 20);
    EXPECT_LE(out.size(), 1u << 20);
  }
}

TEST(Inflate, OutputStopsAtTheLimitQuickly) {
  const Bytes stream = skintest::ReadData("run.dynamic.deflate");
  const auto start = std::chrono::steady_clock::now();
  Bytes out;
  const auto result = Inflate(stream, &out, 1000);
  EXPECT_EQ(InflateStatus::TooLong, result.status);
  EXPECT_LE(out.size(), 1000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
