// Time and peak memory per KB of the skin-file parsers on growing inputs of
// the shapes that once cost far more than their size: many small dynamic
// blocks, many small records, and many records sharing one picture. Each figure should stay flat as the input
// grows. Built natively with zlib (bench/skin/run.sh), our inflate is timed
// side by side with zlib's on the same streams.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "DeflateWriter.h"
#include "skin/file/SkinRecords.h"
#include "skin/file/ZipArchive.h"
#include "skin/file/ZipCrypt.h"
#include "skin/file/ZipInflate.h"
#ifdef VANTOREL_BENCH_ZLIB
#include "InflateOracle.h"
#endif

using skintest::Bytes;

// Live and peak bytes of every allocation made through new.
namespace {
std::size_t g_live = 0, g_peak = 0;
constexpr std::size_t kHead = 16;  // keeps the caller's block 16-byte aligned
}  // namespace

void* operator new(std::size_t size) {
  auto* p = static_cast<unsigned char*>(std::malloc(size + kHead));
  if (!p) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(p) = size;
  g_live += size;
  if (g_live > g_peak) g_peak = g_live;
  return p + kHead;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* q) noexcept {
  if (!q) return;
  auto* p = static_cast<unsigned char*>(q) - kHead;
  g_live -= *reinterpret_cast<std::size_t*>(p);
  std::free(p);
}
void operator delete[](void* q) noexcept { operator delete(q); }
void operator delete(void* q, std::size_t) noexcept { operator delete(q); }
void operator delete[](void* q, std::size_t) noexcept { operator delete(q); }

namespace {

// SKINDATA.SK2 of integer records, one after another.
Bytes ManyRecords(std::size_t count) {
  std::vector<skintest::SkinRecordSpec> records;
  records.reserve(count + 1);
  for (std::size_t i = 0; i < count; ++i) {
    records.push_back({"SKIN2_ITEM" + std::to_string(i % 100), 1, {1, 2, 3, 4}});
  }
  records.push_back({"END", 9, {}});
  return skintest::SkinData(records);
}

// SKINDATA.SK2 of `size` bytes whose records (up to the cap) all point at
// one run-length picture of one pixel: its bytes are runs and line ends
// past the picture's edge, and every tenth byte a pixel given on its own.
Bytes SharedPicture(std::size_t size) {
  const std::size_t count = std::min<std::size_t>(4095, size / 2 / 77);
  std::vector<skintest::SkinRecordSpec> records(count, {"SKIN2_BUTTON", 0, {}});
  records.push_back({"END", 9, {}});
  Bytes data = skintest::SkinData(records);
  const std::size_t header = 14 + 40 + 4 * 256;
  Bytes runs;
  std::uint32_t seed = 38;
  while (data.size() + header + runs.size() + 100 + 2 <= size) {
    runs.insert(runs.end(), {0, 8});  // eight pixels one by one
    for (int i = 0; i < 8; ++i) runs.push_back(static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24));
    for (int i = 0; i < 45; ++i) runs.insert(runs.end(), {static_cast<std::uint8_t>(i % 2 ? 0 : 255), 0});
  }
  runs.insert(runs.end(), {0, 1});
  std::vector<std::uint32_t> palette(256);
  for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
  const Bytes picture = skintest::BmpOf(1, 1, 8, 1, palette, {}, runs);
  for (std::size_t i = 0; i < count; ++i) {
    skintest::PutU32(data, 24 + 77 * i + 65, static_cast<std::uint32_t>(data.size()));
    skintest::PutU32(data, 24 + 77 * i + 69, static_cast<std::uint32_t>(picture.size()));
  }
  data.insert(data.end(), picture.begin(), picture.end());
  return data;
}

// A skin archive of one entry, SKINDATA.SK2, whose data is `payload`.
Bytes Archive(const Bytes& payload, std::uint16_t method, const Bytes& plain) {
  return skintest::SkinArchive(payload, method, static_cast<std::uint32_t>(plain.size()),
                               skin::Crc32Update(0, plain.data(), plain.size()));
}

#ifdef VANTOREL_BENCH_ZLIB
using inflate_oracle::Deflate;

bool ZlibInflate(const Bytes& stream, std::size_t expected) {
  Bytes out(expected);
  z_stream z{};
  inflateInit2(&z, -15);
  z.next_in = const_cast<Bytes::value_type*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return rc == Z_STREAM_END && z.total_out == expected;
}
#endif

struct Measure {
  double ms = 0;
  std::size_t peak = 0;
};

// The best of three runs: the machine may be busy with other work.
template <typename F>
Measure Run(F&& work) {
  Measure m;
  for (int round = 0; round < 3; ++round) {
    g_peak = g_live;
    const std::size_t base = g_live;
    const auto start = std::chrono::steady_clock::now();
    work();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    m.ms = round == 0 ? ms : std::min(m.ms, ms);
    m.peak = g_peak - base;
  }
  return m;
}

void Print(const char* shape, std::size_t inputBytes, const Measure& m, const char* result) {
  const double kb = inputBytes / 1024.0;
  std::printf("%-24s %8.0f KB  %9.1f ms  %7.1f MB peak  %7.3f ms/KB  %8.1f KB/KB  %s\n", shape, kb, m.ms,
              m.peak / 1048576.0, m.ms / kb, m.peak / 1024.0 / kb, result);
}

// The road of a skin file: the entry out of the archive, then its records.
const char* ParseArchive(const Bytes& archive) {
  skin::MemorySource source(archive.data(), archive.size());
  skin::MemorySink entry;
  static std::string reason;
  reason.clear();
  const int result = skin::ExtractZipEntry(source, "SKINDATA.SK2", "", entry, &reason);
  if (result != skin::kExtractOk) return result == 1 ? "entry refused (1)" : "entry refused (2)";
  skin::SkinData items;
  if (!skin::ParseSkinData(entry.bytes.data(), entry.bytes.size(), items, reason)) return "records refused";
  return "parsed";
}

void DynamicBlocks(std::size_t size) {
  Bytes plain;
  const Bytes stream = skintest::ManyDynamicBlocks(size, plain);
  const Measure ours = Run([&] {
    skin::MemoryInflateInput input(stream.data(), stream.size());
    skin::MemorySink sink;
    const auto r = skin::InflateRaw(input, sink, plain.size());
    if (r.status != skin::InflateStatus::Ok || sink.bytes != plain) std::printf("  our inflate differs!\n");
  });
  Print("dynamic blocks, ours", stream.size(), ours, "inflated");
#ifdef VANTOREL_BENCH_ZLIB
  bool same = false;
  const Measure zlib = Run([&] { same = ZlibInflate(stream, plain.size()); });
  Print("dynamic blocks, zlib", stream.size(), zlib, same ? "inflated" : "zlib refused the stream!");
  std::printf("%-22s %8s     ours / zlib = %.2f\n", "", "", ours.ms / zlib.ms);
#endif
  const Bytes archive = Archive(stream, 8, plain);
  Print("dynamic-block archive", archive.size(), Run([&] { ParseArchive(archive); }), ParseArchive(archive));
}

#ifdef VANTOREL_BENCH_ZLIB
// An ordinary stream: words and numbers as zlib packs them.
void OrdinaryStream(std::size_t size) {
  static const char* const kWords[] = {"cleaner ", "registry ", "skin ", "window ", "button ", "theme "};
  Bytes plain;
  std::uint32_t seed = 1;
  Bytes stream;
  while (stream.size() < size) {
    for (std::size_t i = 0; i < size; ++i) {
      seed = seed * 1103515245u + 12345u;
      const std::string word = kWords[(seed >> 16) % 6] + std::to_string((seed >> 8) % 1000);
      plain.insert(plain.end(), word.begin(), word.end());
    }
    stream = Deflate(plain);
  }
  const Measure ours = Run([&] {
    skin::MemoryInflateInput input(stream.data(), stream.size());
    skin::MemorySink sink;
    const auto r = skin::InflateRaw(input, sink, plain.size());
    if (r.status != skin::InflateStatus::Ok || sink.bytes != plain) std::printf("  our inflate differs!\n");
  });
  bool same = false;
  const Measure zlib = Run([&] { same = ZlibInflate(stream, plain.size()); });
  Print("ordinary stream, ours", stream.size(), ours, "inflated");
  Print("ordinary stream, zlib", stream.size(), zlib, same ? "inflated" : "zlib refused the stream!");
  std::printf("%-22s %8s     ours / zlib = %.2f\n", "", "", ours.ms / zlib.ms);
}
#endif

// The records alone, as the reader gets them out of an archive.
const char* ParseRaw(const Bytes& data) {
  skin::SkinData items;
  std::string reason;
  return skin::ParseSkinData(data.data(), data.size(), items, reason) ? "parsed" : "records refused";
}

// A shape of skin data in an archive of about `size` bytes: deflated, the
// entry holds as much as fits.
Bytes ShapeArchive(std::size_t size, Bytes (*make)(std::size_t bytes)) {
#ifdef VANTOREL_BENCH_ZLIB
  std::size_t bytes = size * 3;
  Bytes plain = make(bytes), packed = Deflate(plain);
  for (int round = 0; round < 4 && (packed.size() > size || packed.size() < size * 9 / 10); ++round) {
    bytes = std::clamp<std::size_t>(bytes * size / packed.size() * 95 / 100, 4096, skin::kMaxEntrySize - 1);
    plain = make(bytes);
    packed = Deflate(plain);
  }
  return Archive(packed, 8, plain);
#else
  const Bytes raw = make(size);
  return Archive(raw, 0, raw);
#endif
}

// A shape of skin data, raw at `size` bytes and archived.
void SkinDataShape(const char* name, std::size_t size, Bytes (*make)(std::size_t bytes)) {
  const Bytes raw = make(size), archive = ShapeArchive(size, make);
  Print((std::string(name) + ", raw").c_str(), raw.size(), Run([&] { ParseRaw(raw); }), ParseRaw(raw));
  Print((std::string(name) + ", archive").c_str(), archive.size(), Run([&] { ParseArchive(archive); }),
        ParseArchive(archive));
}

Bytes SmallRecords(std::size_t size) { return ManyRecords(size / 81); }

}  // namespace

// Writes the shared-picture shape, raw and archived, at each size into
// `folder`, so that one load of each can be timed as a whole process.
int WriteShapes(const std::string& folder, const std::vector<std::size_t>& sizes) {
  for (std::size_t size : sizes) {
    const std::string kb = std::to_string(size / 1024);
    for (const auto& [name, bytes] : {std::pair<std::string, Bytes>{"shared-" + kb + ".sk2", SharedPicture(size)},
                                      {"shared-" + kb + ".skn", ShapeArchive(size, SharedPicture)}}) {
      FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
      if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return 1;
      std::fclose(f);
    }
  }
  return 0;
}

// One load of a file: an archive by its mark, skin data otherwise.
int LoadOnce(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return 1;
  Bytes bytes;
  for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
  std::fclose(f);
  const bool archive = bytes.size() > 2 && bytes[0] == 'S' && bytes[1] == 'K' && bytes[2] == 3;
  std::printf("%s\n", archive ? ParseArchive(bytes) : ParseRaw(bytes));
  return 0;
}

int main(int argc, char** argv) {
  // skin_bench [sizes in KB...] | --write FOLDER [sizes in KB...] | --load FILE
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--load" && argc == 3) return LoadOnce(argv[2]);
  const int first = mode == "--write" ? 3 : 1;
  std::vector<std::size_t> sizes = {64 << 10, 256 << 10, 1 << 20, 2560 << 10};
  if (argc > first) {
    sizes.clear();
    for (int i = first; i < argc; ++i) sizes.push_back(static_cast<std::size_t>(std::atof(argv[i]) * 1024));
  }
  if (mode == "--write") return argc > 2 ? WriteShapes(argv[2], sizes) : 2;
  std::printf("Inflate of a 300 KB stream of many dynamic blocks:\n");
  DynamicBlocks(300 << 10);
  std::printf("\nGrowing inputs:\n");
  for (std::size_t size : sizes) DynamicBlocks(size);
  for (std::size_t size : sizes) SkinDataShape("small records", size, SmallRecords);
  for (std::size_t size : sizes) SkinDataShape("shared picture", size, SharedPicture);
#ifdef VANTOREL_BENCH_ZLIB
  std::printf("\nAn ordinary stream beside zlib:\n");
  OrdinaryStream(1 << 20);
#endif
  return 0;
}
