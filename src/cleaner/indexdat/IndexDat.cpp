#include "cleaner/indexdat/IndexDat.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

uint64_t LimitOf(const uint8_t* data, size_t size) {
  if (!Fits(kSizeField, 4, size)) return 0;
  int32_t stored = Int32At(data, kSizeField);
  return stored <= 0 ? 0 : std::min<uint64_t>(uint64_t(stored), size);
}

// A record at `at` of a used entry; false when it is skipped. Its URL's
// length is measured later, for all records at once.
bool ReadRecord(const uint8_t* data, uint64_t at, uint64_t limit, Record* out) {
  if (!Fits(at, 4, limit)) return false;
  out->offset = static_cast<uint32_t>(at);
  if (SameText(data, at, "REDR")) {
    if (!Fits(at, 16, limit)) return false;
    out->kind = RecordKind::Redr;
    out->fileTime = UInt64At(data, at + 8);
    out->hasUrl = true;
    out->urlAt = static_cast<uint32_t>(at + 16);
    return true;
  }
  bool url = SameText(data, at, "URL ");
  if (!url && !SameText(data, at, "LEAK")) return false;
  if (!Fits(at, kUrlOffsetField + 1, limit)) return false;
  out->kind = url ? RecordKind::Url : RecordKind::Leak;
  out->fileTime = UInt64At(data, at + 16);
  uint8_t urlOffset = data[at + kUrlOffsetField];
  out->hasUrl = urlOffset != 0;
  out->urlAt = static_cast<uint32_t>(std::min(at + urlOffset, limit));  // an empty text at the end when past it
  return true;
}

// Each URL runs to its zero byte (or the file's end), cut at kMaxUrlLength.
// The starts are taken in ascending order, so that the search for the next
// zero byte never passes over the same bytes twice, however the texts overlap.
void MeasureUrls(const uint8_t* data, uint64_t limit, std::vector<Record>* records) {
  std::vector<std::pair<uint32_t, uint32_t>> starts;  // (start, record index)
  for (size_t i = 0; i < records->size(); ++i)
    if ((*records)[i].hasUrl && (*records)[i].urlAt < limit)
      starts.emplace_back((*records)[i].urlAt, static_cast<uint32_t>(i));
  std::sort(starts.begin(), starts.end());
  uint64_t zero = 0;  // the first zero byte at or after the last start searched from
  bool searched = false;
  for (const auto& [start, index] : starts) {
    if (!searched || zero < start) {
      const void* found = std::memchr(data + start, 0, static_cast<size_t>(limit - start));
      zero = found != nullptr ? uint64_t(static_cast<const uint8_t*>(found) - data) : limit;
      searched = true;
    }
    (*records)[index].urlLength = static_cast<uint32_t>(std::min<uint64_t>(zero - start, kMaxUrlLength));
  }
}

// For each table of the chain, the offset of the next table above it in the
// file, or the file's end.
std::vector<uint64_t> NextInFile(const std::vector<Table>& tables, uint64_t limit) {
  std::vector<size_t> order(tables.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return tables[a].offset < tables[b].offset; });
  std::vector<uint64_t> above(tables.size(), limit);
  for (size_t k = 0; k + 1 < order.size(); ++k) above[order[k]] = tables[order[k + 1]].offset;
  return above;
}

// Where a table's own blocks end; at its head for a count of 0 or less.
uint64_t BlocksEnd(const Table& table) {
  return uint64_t(table.offset) + std::max<uint64_t>(kTableHead, uint64_t(std::max(table.blocks, 0)) * kBlock);
}

void SetEntryEnds(Layout* layout) {
  std::vector<uint64_t> above = NextInFile(layout->tables, layout->limit);
  for (size_t i = 0; i < layout->tables.size(); ++i)
    layout->tables[i].end = std::min({BlocksEnd(layout->tables[i]), above[i], layout->limit});
}

// The record offsets of the used entries, in order; when `onEntry` asks to
// stop, those found so far.
std::vector<uint32_t> UsedEntries(const uint8_t* data, const Layout& layout, const EntryCallback& onEntry) {
  std::vector<uint32_t> refs;
  for (const Table& table : layout.tables) {
    for (uint64_t e = uint64_t(table.offset) + kTableHead; e + kEntry <= table.end; e += kEntry) {
      if (onEntry && !onEntry()) return refs;
      uint8_t hashByte = data[e];
      if (hashByte == 1 || hashByte == 3) continue;  // a free entry
      int32_t at = Int32At(data, e + 4);
      if (at > 0 && uint64_t(at) < layout.limit) refs.push_back(static_cast<uint32_t>(at));
    }
  }
  return refs;
}

// A scrub of a table whose link leads to no table stops at that link, or at
// its own blocks when the link points below it or past the file.
uint64_t BrokenChainEnd(const Table& table, uint64_t limit) {
  uint64_t link = table.next > 0 ? uint64_t(table.next) : 0;
  if (link > uint64_t(table.offset) + kTableHead && link <= limit) return link;
  return BlocksEnd(table);
}

}  // namespace

bool HasCacheSignature(const uint8_t* data, size_t size) {
  size_t length = std::strlen(kCacheSignature);
  return size >= length && std::memcmp(data, kCacheSignature, length) == 0;
}

std::string_view UrlOf(const uint8_t* data, const Record& record) {
  return std::string_view(reinterpret_cast<const char*>(data) + record.urlAt, record.urlLength);
}

Layout ReadLayout(const uint8_t* data, size_t size) {
  Layout layout;
  layout.limit = LimitOf(data, size);
  if (!Fits(kFirstTableField, 4, layout.limit)) return layout;
  std::vector<bool> visited(static_cast<size_t>(layout.limit));  // a bit per byte: a table seen there
  int32_t next = Int32At(data, kFirstTableField);
  while (next != 0) {
    uint64_t at = next > 0 ? uint64_t(next) : layout.limit;
    if (!Fits(at, 12, layout.limit) || !SameText(data, at, "HASH")) {
      layout.brokenLink = true;
      break;
    }
    if (visited[static_cast<size_t>(at)]) break;
    visited[static_cast<size_t>(at)] = true;
    next = Int32At(data, at + 8);
    layout.tables.push_back(Table{static_cast<uint32_t>(at), Int32At(data, at + 4), next, 0});
  }
  SetEntryEnds(&layout);
  return layout;
}

Listing ReadListing(const uint8_t* data, size_t size, const EntryCallback& onEntry) {
  Layout layout = ReadLayout(data, size);
  std::vector<uint32_t> refs = UsedEntries(data, layout, onEntry);
  std::vector<uint32_t> offsets(refs);
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
  // Each record once; indexOf[k] is the record of offsets[k], or none.
  constexpr uint32_t kNone = UINT32_MAX;
  Listing listing;
  std::vector<uint32_t> indexOf(offsets.size(), kNone);
  for (size_t k = 0; k < offsets.size(); ++k) {
    Record record;
    if (!ReadRecord(data, offsets[k], layout.limit, &record)) continue;
    indexOf[k] = static_cast<uint32_t>(listing.records.size());
    listing.records.push_back(record);
  }
  MeasureUrls(data, layout.limit, &listing.records);
  for (uint32_t ref : refs) {
    uint32_t index = indexOf[size_t(std::lower_bound(offsets.begin(), offsets.end(), ref) - offsets.begin())];
    if (index != kNone) listing.entries.push_back(index);
  }
  return listing;
}

uint64_t EntryCount(const Layout& layout) {
  uint64_t total = 0;
  for (const Table& table : layout.tables) {
    uint64_t begin = uint64_t(table.offset) + kTableHead;
    if (table.end > begin) total += (table.end - begin) / kEntry;
  }
  return total;
}

std::vector<Region> ScrubRegions(const uint8_t* data, size_t size) {
  std::vector<Region> regions;
  if (!HasCacheSignature(data, size)) return regions;
  Layout layout = ReadLayout(data, size);
  // The header is everything below the lowest table, wherever the chain
  // starts, so a record between tables is never taken for header.
  std::vector<uint64_t> above = NextInFile(layout.tables, layout.limit);
  for (size_t i = 0; i < layout.tables.size(); ++i) {
    const Table& table = layout.tables[i];
    uint64_t end = std::min(above[i], layout.limit);
    if (layout.brokenLink && i + 1 == layout.tables.size()) end = std::min(end, BrokenChainEnd(table, layout.limit));
    uint64_t begin = uint64_t(table.offset) + kTableHead;
    if (begin < end) regions.push_back(Region{begin, end});
  }
  std::sort(regions.begin(), regions.end(), [](const Region& a, const Region& b) { return a.begin < b.begin; });
  return regions;
}

}  // namespace indexdat
