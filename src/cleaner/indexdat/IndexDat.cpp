#include "cleaner/indexdat/IndexDat.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace indexdat {

const char kCacheSignature[] = "Client UrlCache MMF Ver ";

namespace {

constexpr uint64_t kSizeField = 0x1C;
constexpr uint64_t kFirstTableField = 0x20;
constexpr uint64_t kTableHead = 32;
constexpr uint64_t kBlock = 128;
constexpr uint64_t kEntry = 8;
constexpr uint64_t kUrlOffsetField = 0x34;

// Little-endian signed 32-bit at `at`; the caller has checked that 4 bytes
// lie below its limit.
int32_t Int32At(const uint8_t* data, uint64_t at) {
  uint32_t v = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
               uint32_t(data[at + 3]) << 24;
  return static_cast<int32_t>(v);
}

uint64_t UInt64At(const uint8_t* data, uint64_t at) {
  return uint64_t(uint32_t(Int32At(data, at))) | uint64_t(uint32_t(Int32At(data, at + 4))) << 32;
}

bool Fits(uint64_t at, uint64_t width, uint64_t limit) { return at <= limit && width <= limit - at; }

bool SameText(const uint8_t* data, uint64_t at, const char* text) {
  return std::memcmp(data + at, text, std::strlen(text)) == 0;
}

// 8-bit text from `at` to its zero byte, or to the limit when none comes.
std::string TextAt(const uint8_t* data, uint64_t at, uint64_t limit) {
  std::string text;
  if (at >= limit) return text;
  const uint8_t* begin = data + at;
  const void* zero = std::memchr(begin, 0, static_cast<size_t>(limit - at));
  size_t length = zero != nullptr ? static_cast<const uint8_t*>(zero) - begin : static_cast<size_t>(limit - at);
  return std::string(reinterpret_cast<const char*>(begin), length);
}

uint64_t LimitOf(const uint8_t* data, size_t size) {
  if (!Fits(kSizeField, 4, size)) return 0;
  int32_t stored = Int32At(data, kSizeField);
  return stored <= 0 ? 0 : std::min<uint64_t>(uint64_t(stored), size);
}

// A record at `at` of a used entry; false when it is skipped.
bool ReadRecord(const uint8_t* data, uint64_t at, uint64_t limit, Record* out) {
  if (!Fits(at, 4, limit)) return false;
  out->offset = static_cast<uint32_t>(at);
  if (SameText(data, at, "REDR")) {
    if (!Fits(at, 16, limit)) return false;
    out->kind = RecordKind::Redr;
    out->fileTime = UInt64At(data, at + 8);
    out->hasUrl = true;
    out->url = TextAt(data, at + 16, limit);
    return true;
  }
  bool url = SameText(data, at, "URL ");
  if (!url && !SameText(data, at, "LEAK")) return false;
  if (!Fits(at, kUrlOffsetField + 1, limit)) return false;
  out->kind = url ? RecordKind::Url : RecordKind::Leak;
  out->fileTime = UInt64At(data, at + 16);
  uint8_t urlOffset = data[at + kUrlOffsetField];
  out->hasUrl = urlOffset != 0;
  out->url = out->hasUrl ? TextAt(data, at + urlOffset, limit) : std::string();
  return true;
}

// The entries of a table that lie inside the file.
uint64_t TableEntries(const Table& table, uint64_t limit) {
  int64_t entries = (int64_t(table.blocks) * int64_t(kBlock) - int64_t(kTableHead)) / int64_t(kEntry);
  uint64_t begin = uint64_t(table.offset) + kTableHead;
  if (entries <= 0 || begin >= limit) return 0;
  return std::min<uint64_t>(uint64_t(entries), (limit - begin) / kEntry);
}

// False when `onEntry` asked to stop.
bool ReadTableRecords(const uint8_t* data, const Table& table, uint64_t limit, std::vector<Record>* out,
                      const EntryCallback& onEntry) {
  uint64_t begin = uint64_t(table.offset) + kTableHead;
  uint64_t end = begin + TableEntries(table, limit) * kEntry;
  for (uint64_t e = begin; e < end; e += kEntry) {
    if (onEntry && !onEntry()) return false;
    uint8_t hashByte = data[e];
    if (hashByte == 1 || hashByte == 3) continue;  // a free entry
    int32_t at = Int32At(data, e + 4);
    Record record;
    if (at > 0 && ReadRecord(data, uint64_t(at), limit, &record)) out->push_back(std::move(record));
  }
  return true;
}

}  // namespace

bool HasCacheSignature(const uint8_t* data, size_t size) {
  size_t length = std::strlen(kCacheSignature);
  return size >= length && std::memcmp(data, kCacheSignature, length) == 0;
}

Layout ReadLayout(const uint8_t* data, size_t size) {
  Layout layout;
  layout.limit = LimitOf(data, size);
  if (!Fits(kFirstTableField, 4, layout.limit)) return layout;
  std::set<uint64_t> visited;
  int32_t next = Int32At(data, kFirstTableField);
  while (next > 0) {
    uint64_t at = uint64_t(next);
    if (!Fits(at, 12, layout.limit) || !SameText(data, at, "HASH") || !visited.insert(at).second) break;
    layout.tables.push_back(Table{static_cast<uint32_t>(at), Int32At(data, at + 4)});
    next = Int32At(data, at + 8);
  }
  return layout;
}

std::vector<Record> ReadRecords(const uint8_t* data, size_t size, const EntryCallback& onEntry) {
  Layout layout = ReadLayout(data, size);
  std::vector<Record> records;
  for (const Table& table : layout.tables)
    if (!ReadTableRecords(data, table, layout.limit, &records, onEntry)) break;
  return records;
}

uint64_t EntryCount(const Layout& layout) {
  uint64_t total = 0;
  for (const Table& table : layout.tables) total += TableEntries(table, layout.limit);
  return total;
}

std::vector<Region> ScrubRegions(const uint8_t* data, size_t size) {
  std::vector<Region> regions;
  if (!HasCacheSignature(data, size)) return regions;
  Layout layout = ReadLayout(data, size);
  if (layout.tables.empty()) return regions;
  // The header is everything below the first table of the chain, wherever
  // the later tables lie.
  uint64_t header = layout.tables.front().offset;
  std::vector<uint64_t> starts;
  for (const Table& table : layout.tables) starts.push_back(table.offset);
  std::sort(starts.begin(), starts.end());
  for (size_t i = 0; i < starts.size(); ++i) {
    uint64_t begin = std::max(starts[i] + kTableHead, header);
    uint64_t end = std::min(i + 1 < starts.size() ? starts[i + 1] : layout.limit, layout.limit);
    if (begin < end) regions.push_back(Region{begin, end});
  }
  return regions;
}

}  // namespace indexdat
