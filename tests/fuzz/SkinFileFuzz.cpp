#include "SkinFileFuzz.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "skin/file/SkinBitmap.h"
#include "skin/file/SkinRecords.h"
#include "skin/file/ZipArchive.h"
#include "skin/file/ZipInflate.h"
#ifdef VANTOREL_ZLIB_ORACLE
#include "InflateOracle.h"
#endif

#if defined(__clang__)
#define VANTOREL_NOT_TRACED __attribute__((no_sanitize("coverage")))
#else
#define VANTOREL_NOT_TRACED
#endif

namespace {

// What a decode gave, folded into one number: the same bytes decoded again
// must give the same, while only one decode is alive at a time (a skin the
// program accepts may hold 64 MB of pictures).
class Fingerprint {
 public:
  // Eight bytes a step, and not traced for the fuzzer: the harness's own
  // loop is no coverage, and it may run over 64 MB.
  VANTOREL_NOT_TRACED void Add(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::size_t i = 0;
    for (std::uint64_t word = 0; i + 8 <= size; i += 8) {
      std::memcpy(&word, p + i, 8);
      hash_ = (hash_ ^ word) * 0x100000001B3ull;
    }
    for (; i < size; ++i) hash_ = (hash_ ^ p[i]) * 0x100000001B3ull;
  }
  void Add(std::uint64_t n) { Add(&n, sizeof n); }
  void Add(const std::string& text) { Add(text.size()), Add(text.data(), text.size()); }
  void Add(const skin::SkinImage& image) {
    Add(static_cast<std::uint64_t>(image.width)), Add(static_cast<std::uint64_t>(image.height));
    Add(image.pixels.size());
    Add(image.pixels.data(), image.pixels.size() * sizeof(image.pixels[0]));
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

std::uint64_t PrintOf(const skin::SkinData& skin, bool ok, const std::string& error) {
  Fingerprint f;
  f.Add(ok ? 1 : 0), f.Add(error);
  for (const auto& [name, value] : skin.Integers) f.Add(name), f.Add(static_cast<std::uint64_t>(value));
  for (const auto& [name, value] : skin.Bytes) f.Add(name), f.Add(std::uint64_t{value});
  for (const auto& [name, value] : skin.Strings) f.Add(name), f.Add(value);
  for (const auto& [name, image] : skin.Bitmaps) f.Add(name), f.Add(image);
  return f.Value();
}

std::string Capitals(std::string text) {
  for (char& c : text) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  return text;
}

// A decoded picture lies inside the size its header states.
bool InsideItsSize(const skin::SkinImage& image) {
  return image.width > 0 && image.height > 0 && image.width <= skin::kMaxSkinImageSide &&
         image.height <= skin::kMaxSkinImageSide &&
         image.pixels.size() == static_cast<std::size_t>(image.width) * image.height;
}

// Cells cut from a picture keep its height and together reach its right edge.
std::string CheckCells(const skin::SkinImage& image, int count) {
  for (int index = 1; index <= count; ++index) {
    skin::SkinImage cell;
    if (!skin::CutSkinImagePart(image, cell, count, index)) return image.width < count ? "" : "a cell not cut";
    if (cell.width != image.width / count || cell.height != image.height || !InsideItsSize(cell))
      return "a cell of the wrong size";
    if (index == count && cell.At(cell.width - 1, 0) != image.At(image.width - 1, 0))
      return "the last cell short of the right edge";
  }
  return {};
}

// The first picture of each name, its name in ASCII capitals: what a
// look-up must find, indexed once per skin, so that checking look-ups costs
// no more than the skin's size (a skin may hold 4,096 pictures).
using NameIndex = std::unordered_map<std::string, const skin::SkinImage*>;
NameIndex FirstOfEachName(const skin::SkinData& skin) {
  NameIndex first;
  for (const auto& [name, image] : skin.Bitmaps) first.emplace(Capitals(name), &image);
  return first;
}

// The look-up of `name` finds the first picture of that name, whatever its case.
bool FindsTheFirst(const skin::SkinData& skin, const NameIndex& first, const std::string& name) {
  const auto indexed = first.find(Capitals(name));
  return skin.FindBitmap(name) == (indexed == first.end() ? nullptr : indexed->second);
}

// A ready skin's pictures lie inside their sizes, the look-ups of the item
// keys and of some pictures' names find the first picture of the name, and
// its strips cut.
std::string CheckSkin(const skin::SkinData& skin) {
  const NameIndex first = FirstOfEachName(skin);
  for (const char* key : skin::SkinItemKeys) {
    skin.FindInteger(key), skin.FindByte(key);
    if (!FindsTheFirst(skin, first, key)) return "a look-up found another picture";
    if (const skin::SkinImage* found = skin.FindBitmap(key); found && !InsideItsSize(*found))
      return "a looked-up picture outside its size";
  }
  // Cutting copies the pictures: eight of them, and no more pixels than one
  // largest picture holds, so that a skin of 64 MB of pictures is cut in time.
  // Their names are looked up too: each look-up reads the whole list.
  int cut = 0;
  std::size_t pixels = 0;
  for (const auto& [name, image] : skin.Bitmaps) {
    if (!InsideItsSize(image)) return "a picture outside its size";
    pixels += image.pixels.size();
    if (cut++ < 8) {
      if (!FindsTheFirst(skin, first, name)) return "a picture its name does not find";
      if (pixels > skin::kMaxSkinImagePixels) continue;
      const std::string failed = CheckCells(image, 1 + image.width % 5);
      if (!failed.empty()) return failed;
    }
  }
  return {};
}

// A ready skin passes the checks above; read `twice`, the same bytes give the
// same skin.
std::string CheckRecords(const std::uint8_t* data, std::size_t size, bool twice) {
  std::uint64_t print = 0;
  std::string failed;
  {
    skin::SkinData first;
    std::string error;
    const bool ok = skin::ParseSkinData(data, size, first, error);
    print = PrintOf(first, ok, error);
    if (ok) failed = CheckSkin(first);
  }
  if (!twice) return failed;
  skin::SkinData second;
  std::string error;
  const bool ok = skin::ParseSkinData(data, size, second, error);
  if (PrintOf(second, ok, error) != print) return "records read twice differ";
  return failed;
}

std::string CheckBitmap(const std::uint8_t* data, std::size_t size) {
  std::uint64_t print = 0;
  std::string failed;
  {
    skin::SkinImage first;
    std::string error;
    const bool ok = skin::DecodeSkinBitmap(data, size, first, error);
    Fingerprint f;
    f.Add(ok ? 1 : 0), f.Add(first);
    print = f.Value();
    if (ok && !InsideItsSize(first)) failed = "a picture outside its size";
  }
  skin::SkinImage second;
  std::string error;
  const bool ok = skin::DecodeSkinBitmap(data, size, second, error);
  Fingerprint f;
  f.Add(ok ? 1 : 0), f.Add(second);
  return f.Value() != print ? "a picture decoded twice differs" : failed;
}

std::string CheckInflate(const std::uint8_t* data, std::size_t size) {
#ifdef VANTOREL_ZLIB_ORACLE
  const std::string diff = inflate_oracle::Compare(data, size);
  return diff.empty() ? diff : "inflate beside zlib: " + diff;
#else
  skin::MemorySink out[2];
  skin::InflateStatus status[2];
  for (int i = 0; i < 2; ++i) {
    skin::MemoryInflateInput input(data, size);
    status[i] = skin::InflateRaw(input, out[i], 1u << 20).status;
  }
  return status[0] == status[1] && out[0].bytes == out[1].bytes ? "" : "a stream inflated twice differs";
#endif
}

}  // namespace

std::string FuzzSkinFile(const std::uint8_t* data, std::size_t size) {
  // The road a skin file takes: archive, entry, records, bitmaps. An entry
  // may be 64 MB: it is read once, and gone before the next check; the
  // parsers on their own read the input twice.
  std::string failed;
  {
    skin::MemorySource archive(data, size);
    skin::MemorySink entry;
    if (skin::ExtractZipEntry(archive, "SKINDATA.SK2", "secret", entry) == skin::kExtractOk)
      failed = CheckRecords(entry.bytes.data(), entry.bytes.size(), false);
  }
  // Each parser on its own, so the fuzzer need not forge an archive to reach it.
  if (failed.empty()) failed = CheckRecords(data, size, true);
  if (failed.empty()) failed = CheckBitmap(data, size);
  if (failed.empty()) failed = CheckInflate(data, size);
  return failed;
}

#ifdef VANTOREL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failed = FuzzSkinFile(data, size);
  if (!failed.empty()) {
    std::fprintf(stderr, "%s\n", failed.c_str());
    std::abort();
  }
  return 0;
}
#endif
