#include "SkinFileFuzz.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/file/SkinBitmap.h"
#include "skin/file/SkinRecords.h"
#include "skin/file/ZipArchive.h"
#include "skin/file/ZipInflate.h"
#ifdef VANTOREL_ZLIB_ORACLE
#include "InflateOracle.h"
#endif

namespace {

bool SameImage(const skin::SkinImage& a, const skin::SkinImage& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

bool SameSkin(const skin::SkinData& a, const skin::SkinData& b) {
  if (a.Integers != b.Integers || a.Bytes != b.Bytes || a.Strings != b.Strings) return false;
  if (a.Bitmaps.size() != b.Bitmaps.size()) return false;
  for (std::size_t i = 0; i < a.Bitmaps.size(); ++i) {
    if (a.Bitmaps[i].first != b.Bitmaps[i].first || !SameImage(a.Bitmaps[i].second, b.Bitmaps[i].second))
      return false;
  }
  return true;
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

// The same bytes read twice give the same skin; a ready skin's pictures lie
// inside their sizes, each name finds a record, and its strips cut.
std::string CheckRecords(const std::uint8_t* data, std::size_t size) {
  skin::SkinData first, second;
  std::string error1, error2;
  const bool ok = skin::ParseSkinData(data, size, first, error1);
  if (ok != skin::ParseSkinData(data, size, second, error2) || error1 != error2 || !SameSkin(first, second))
    return "records read twice differ";
  if (!ok) return {};
  for (const char* key : skin::SkinItemKeys) {
    first.FindInteger(key), first.FindByte(key);
    if (const skin::SkinImage* found = first.FindBitmap(key); found && !InsideItsSize(*found))
      return "a looked-up picture outside its size";
  }
  int cut = 0;
  for (const auto& [name, image] : first.Bitmaps) {
    if (!InsideItsSize(image)) return "a picture outside its size";
    if (!first.FindBitmap(name)) return "a picture its name does not find";
    if (cut++ < 8) {
      const std::string failed = CheckCells(image, 1 + image.width % 5);
      if (!failed.empty()) return failed;
    }
  }
  return {};
}

std::string CheckBitmap(const std::uint8_t* data, std::size_t size) {
  skin::SkinImage first, second;
  std::string error;
  const bool ok = skin::DecodeSkinBitmap(data, size, first, error);
  if (ok != skin::DecodeSkinBitmap(data, size, second, error) || !SameImage(first, second))
    return "a picture decoded twice differs";
  if (ok && !InsideItsSize(first)) return "a picture outside its size";
  return {};
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
  // The road a skin file takes: archive, entry, records, bitmaps.
  skin::MemorySource archive(data, size);
  skin::MemorySink entry;
  std::string failed;
  if (skin::ExtractZipEntry(archive, "SKINDATA.SK2", "secret", entry) == skin::kExtractOk)
    failed = CheckRecords(entry.bytes.data(), entry.bytes.size());
  // Each parser on its own, so the fuzzer need not forge an archive to reach it.
  if (failed.empty()) failed = CheckRecords(data, size);
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
