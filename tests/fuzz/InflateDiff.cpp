// Our inflate against zlib over generated and mutated raw deflate streams:
// zlib's own output at every level and strategy, cut short and with bits
// flipped, and dynamic blocks of random codes, complete, incomplete and
// over-subscribed; then every file named after the rounds as it is. Each
// with a large output limit and with the limit about its output's size.
// Native only: tests/fuzz/run-inflate-diff.sh [rounds].
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "DeflateWriter.h"
#include "InflateOracle.h"

using skintest::Bytes;

namespace {

std::mt19937 g_random(38);
int Below(int n) { return static_cast<int>(g_random() % static_cast<unsigned>(n)); }

struct Tally {
  long streams = 0, accepted = 0, refused = 0, differences = 0;
  // At a large limit, then with the limit about what zlib writes: a stored
  // block cut short is missing data there too, unless it passed the limit.
  void Check(const Bytes& stream, const char* kind) {
    ++streams;
    std::string diff = inflate_oracle::Compare(stream.data(), stream.size());
    const std::size_t size = inflate_oracle::Zlib(stream.data(), stream.size(), 1u << 20).bytes.size();
    for (std::size_t limit = size > 0 ? size - 1 : 0; diff.empty() && limit <= size + 1; ++limit) {
      diff = inflate_oracle::Compare(stream.data(), stream.size(), limit);
      if (!diff.empty()) diff += ", limit " + std::to_string(limit);
    }
    if (diff.empty()) {
      inflate_oracle::Ours(stream.data(), stream.size(), 1u << 20).verdict == inflate_oracle::Verdict::Accepted
          ? ++accepted
          : ++refused;
      return;
    }
    if (++differences <= 10) {
      std::printf("%s stream of %zu bytes: %s\n ", kind, stream.size(), diff.c_str());
      for (std::size_t i = 0; i < stream.size() && i < 48; ++i) std::printf(" %02x", stream[i]);
      std::printf("\n");
    }
  }
};

Bytes Plain() {
  Bytes plain(1 + Below(4000));
  const int kind = Below(3), letters = 2 + Below(30);
  for (std::size_t i = 0; i < plain.size(); ++i)
    plain[i] = static_cast<std::uint8_t>(kind == 0 ? Below(256) : kind == 1 ? 'a' + Below(letters) : (i / 50) % 7);
  return plain;
}

void Mutate(Bytes& s) {
  if (s.empty()) return;
  switch (Below(3)) {
    case 0:
      for (int n = 1 + Below(3); n > 0; --n)
        s[Below(static_cast<int>(s.size()))] ^= static_cast<std::uint8_t>(1 << Below(8));
      break;
    case 1:
      s[Below(static_cast<int>(s.size()))] = static_cast<std::uint8_t>(Below(256));
      break;
    default:
      s.resize(Below(static_cast<int>(s.size())));
  }
}

// Lengths of a random prefix code over `symbols` symbols with about `used`
// codes: complete, then maybe one code short or one too many.
std::vector<std::uint8_t> RandomCode(int symbols, int used, int maxLength) {
  used = std::min(used, symbols);
  std::vector<int> leaves = {0};
  while (static_cast<int>(leaves.size()) < used) {
    const int i = Below(static_cast<int>(leaves.size()));
    if (leaves[i] >= maxLength) break;
    leaves[i]++;
    leaves.push_back(leaves[i]);
  }
  const int shape = Below(4);
  if (shape == 1 && leaves.size() > 1) leaves.pop_back();  // incomplete
  if (shape == 2) leaves.push_back(1 + Below(maxLength));   // over-subscribed
  if (shape == 3 && Below(2)) leaves = {1};                 // a lone one-bit code
  std::vector<int> order(symbols);
  for (int i = 0; i < symbols; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), g_random);
  std::vector<std::uint8_t> lengths(symbols, 0);
  for (std::size_t i = 0; i < leaves.size() && i < order.size(); ++i)
    lengths[order[i]] = static_cast<std::uint8_t>(std::max(leaves[i], 1));
  return lengths;
}

Bytes RandomDynamicBlocks() {
  skintest::BitWriter w;
  const int blocks = 1 + Below(3);
  for (int b = 0; b < blocks; ++b) {
    std::vector<std::uint8_t> lit = RandomCode(257 + Below(30), 2 + Below(40), 15);
    if (Below(8)) lit[256] = std::max<std::uint8_t>(lit[256], 1);
    std::vector<std::uint8_t> dist(1 + Below(3), 0);  // now and then no distance code at all
    if (Below(6)) dist = RandomCode(1 + Below(30), 1 + Below(8), 15);
    std::vector<std::uint8_t> cl = skintest::FullCodeLengthCode();
    if (!Below(4)) cl = RandomCode(19, 4 + Below(15), 7);
    const skintest::HuffmanCode literals(lit), distances(dist);
    skintest::DynamicBlockHeader(w, b + 1 == blocks, literals, distances, cl);
    static const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    for (int n = Below(60); n > 0; --n) {
      const int s = Below(static_cast<int>(lit.size()));
      if (lit[s] == 0 || s == 256) continue;
      literals.Put(w, s);
      if (s < 257) continue;
      if (s < 286) w.Bits(g_random(), kLengthExtra[s - 257]);
      const int d = Below(static_cast<int>(dist.size()));
      distances.Put(w, d);
      w.Bits(Below(2) ? 0 : g_random(), d < 30 && d >= 4 ? d / 2 - 1 : 0);
    }
    if (lit[256]) literals.Put(w, 256);
  }
  return w.Done();
}

}  // namespace

int main(int argc, char** argv) {
  const long rounds = argc > 1 ? std::atol(argv[1]) : 20000;
  static const int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  Tally zlib, mutated, generated, generatedMutated;
  for (long r = 0; r < rounds; ++r) {
    Bytes stream = inflate_oracle::Deflate(Plain(), Below(10), kStrategies[Below(5)]);
    zlib.Check(stream, "zlib");
    Mutate(stream);
    mutated.Check(stream, "mutated zlib");
    Bytes made = RandomDynamicBlocks();
    generated.Check(made, "generated");
    Mutate(made);
    generatedMutated.Check(made, "generated, mutated");
  }
  Tally kept;  // the files named after the rounds: the fuzzing corpus and the test data
  for (int i = 2; i < argc; ++i) {
    std::FILE* f = std::fopen(argv[i], "rb");
    if (!f) continue;
    Bytes file;
    for (int c; (c = std::fgetc(f)) != EOF;) file.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
    kept.Check(file, argv[i]);
  }
  long differences = 0;
  for (const auto& [name, t] : {std::pair<const char*, Tally&>{"zlib streams", zlib}, {"mutated zlib", mutated},
                                {"generated", generated}, {"generated, mutated", generatedMutated},
                                {"kept files", kept}}) {
    std::printf("%-20s %7ld streams: %7ld accepted by both, %7ld refused by both, %ld differ\n", name, t.streams,
                t.accepted, t.refused, t.differences);
    differences += t.differences;
  }
  return differences == 0 ? 0 : 1;
}
