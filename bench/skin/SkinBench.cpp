// Time and peak memory per KB of the skin-file parsers on growing inputs of
// the shapes that once cost far more than their size: many small dynamic
// blocks, and many small records. Each figure should stay flat as the input
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
#include <zlib.h>
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

// A skin archive of one entry, SKINDATA.SK2, whose data is `payload`.
Bytes Archive(const Bytes& payload, std::uint16_t method, const Bytes& plain) {
  return skintest::SkinArchive(payload, method, static_cast<std::uint32_t>(plain.size()),
                               skin::Crc32Update(0, plain.data(), plain.size()));
}

#ifdef VANTOREL_BENCH_ZLIB
Bytes Deflate(const Bytes& plain) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, plain.size()));
  z.next_in = const_cast<Bytes::value_type*>(plain.data());
  z.avail_in = static_cast<uInt>(plain.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

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
  std::printf("%-22s %8.0f KB  %9.1f ms  %7.1f MB peak  %7.3f ms/KB  %8.1f KB/KB  %s\n", shape, kb, m.ms,
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

void Records(std::size_t size) {
#ifdef VANTOREL_BENCH_ZLIB
  // Deflated, a small archive holds as many records as the entry cap allows.
  std::size_t count = size / 3;
  Bytes plain = ManyRecords(count), packed = Deflate(plain);
  while (packed.size() > size && count > 16) {
    count = count * size / packed.size() * 95 / 100;
    plain = ManyRecords(count);
    packed = Deflate(plain);
  }
  const Bytes archive = Archive(packed, 8, plain);
#else
  const Bytes plain = ManyRecords(size / 81);
  const Bytes archive = Archive(plain, 0, plain);
#endif
  Print("small records", archive.size(), Run([&] { ParseArchive(archive); }), ParseArchive(archive));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes = {64 << 10, 256 << 10, 1 << 20, 2560 << 10};
  if (argc > 1) {
    sizes.clear();
    for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<std::size_t>(std::atof(argv[i]) * 1024));
  }
  std::printf("Inflate of a 300 KB stream of many dynamic blocks:\n");
  DynamicBlocks(300 << 10);
  std::printf("\nGrowing inputs:\n");
  for (std::size_t size : sizes) DynamicBlocks(size);
  for (std::size_t size : sizes) Records(size);
#ifdef VANTOREL_BENCH_ZLIB
  std::printf("\nAn ordinary stream beside zlib:\n");
  OrdinaryStream(1 << 20);
#endif
  return 0;
}
