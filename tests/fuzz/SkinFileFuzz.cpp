#include "SkinFileFuzz.h"

#include <string>

#include "skin/file/SkinBitmap.h"
#include "skin/file/SkinRecords.h"
#include "skin/file/ZipArchive.h"
#include "skin/file/ZipInflate.h"

int FuzzSkinFile(const std::uint8_t* data, std::size_t size) {
  std::string error;
  // The road a skin file takes: archive, entry, records, bitmaps.
  skin::MemorySource archive(data, size);
  skin::MemorySink entry;
  if (skin::ExtractZipEntry(archive, "SKINDATA.SK2", "secret", entry) == skin::kExtractOk) {
    skin::SkinData items;
    skin::ParseSkinData(entry.bytes.data(), entry.bytes.size(), items, error);
  }
  // Each parser on its own, so the fuzzer need not forge an archive to reach it.
  skin::SkinData items;
  skin::ParseSkinData(data, size, items, error);
  skin::SkinImage image;
  skin::DecodeSkinBitmap(data, size, image, error);
  skin::MemoryInflateInput input(data, size);
  skin::MemorySink output;
  skin::InflateRaw(input, output, 1u << 20);
  return 0;
}

#ifdef VANTOREL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { return FuzzSkinFile(data, size); }
#endif
