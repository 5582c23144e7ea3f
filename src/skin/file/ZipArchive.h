// Reading one entry of a skin archive: a ZIP archive that starts with "SK"
// instead of "PK". Every length and offset is checked against the archive.
#pragma once
#include <cstdint>
#include <string>

#include "skin/file/ByteStream.h"

namespace skin {

// Results of an extraction, as the skin data reader tells them apart.
constexpr int kExtractOk = 0;
constexpr int kExtractUnreadable = 1;  // not a readable skin archive, entry missing, or nothing decoded
constexpr int kExtractRejected = 2;    // password missing or wrong, or the data is not what the directory says

// The largest entry we extract; a skin's data is far smaller, and the cap
// keeps a forged directory from making us fill the disk.
constexpr std::uint32_t kMaxEntrySize = 64u * 1024u * 1024u;

struct ZipEntryInfo {
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint16_t time = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t size = 0;
  std::uint32_t localOffset = 0;
};

struct ZipEndRecord {
  std::uint64_t position = 0;  // where the record itself starts
  std::uint32_t directoryOffset = 0;
};

bool FindZipEndRecord(const ByteSource& archive, ZipEndRecord& end);
// Looks the entry up in the central directory; names match ignoring ASCII case.
bool FindZipEntry(const ByteSource& archive, const ZipEndRecord& end, const std::string& name, ZipEntryInfo& entry);

// Extracts `entryName` into `dest`; `password` is empty for none. `reason`,
// when given, receives a short English explanation of a failure.
int ExtractZipEntry(const ByteSource& archive, const std::string& entryName, const std::string& password,
                    ByteSink& dest, std::string* reason = nullptr);

}  // namespace skin
