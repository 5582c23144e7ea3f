// The layout of a browser cache index file (index.dat): its header, its
// chain of HASH tables, their entries and the records they point at. Pure
// parsing over bytes already in memory, with no system calls, so that the
// viewer, the cleaner and a native fuzzing build share it.
//
// The files come from anywhere, so nothing in them is trusted: every size
// and offset is clamped to the bytes really present, a chain of tables that
// returns to an earlier table ends, and all block arithmetic is 64-bit.
// Reading costs time and memory in step with the file: each table's entries
// end where the next table in the file begins, so no byte range is read
// twice; a record is read once however many entries point at it; and a
// record's text is not copied but kept as a place in the file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace indexdat {

// The first bytes of every cache index file; nothing is written into a file
// that does not start with them.
extern const char kCacheSignature[];
bool HasCacheSignature(const uint8_t* data, size_t size);

// The longest URL text taken from a record; a longer text is cut here. Real
// addresses stay far below it, and it bounds what one record can cost.
constexpr uint32_t kMaxUrlLength = 4096;

enum class RecordKind { Url, Leak, Redr };

struct Record {
  RecordKind kind = RecordKind::Url;
  uint32_t offset = 0;     // of the record in the file
  uint64_t fileTime = 0;   // URL/LEAK: last modified (UTC); REDR: its own time
  bool hasUrl = false;     // false for a URL/LEAK record whose URL offset is 0
  uint32_t urlAt = 0;      // where the URL's 8-bit text starts in the file
  uint32_t urlLength = 0;  // up to its zero byte, the file's end or kMaxUrlLength
};

// The record's URL text, a view into the file's bytes.
std::string_view UrlOf(const uint8_t* data, const Record& record);

struct Table {
  uint32_t offset = 0;
  int32_t blocks = 0;    // as stored; the viewer reads it
  int32_t next = 0;      // the stored link to the next table
  uint64_t end = 0;      // where its entries end: its blocks, the next table in the file, or the file's end
};

// A run of bytes [begin, end) that a scrub overwrites.
struct Region {
  uint64_t begin = 0;
  uint64_t end = 0;
};

struct Layout {
  uint64_t limit = 0;         // the header's file size, clamped to the bytes present
  std::vector<Table> tables;  // the chain in its order, up to the first bad link
  bool brokenLink = false;    // the chain ended on a link to no table (not 0, not a cycle)
};

// Reads the header and the table chain. A header size larger than the data
// is cut to the data; a table without its "HASH" signature, outside the
// file or already visited ends the chain.
Layout ReadLayout(const uint8_t* data, size_t size);

// Called before each entry is read, free or used; returning false stops the
// reading with the records found so far.
using EntryCallback = std::function<bool()>;

// What the tables' used entries point at.
struct Listing {
  std::vector<Record> records;   // each record once, by offset
  std::vector<uint32_t> entries; // per used entry, in table and entry order: its index in records
};

// Free entries, records outside the file or cut off by its end, and unknown
// kinds are skipped.
Listing ReadListing(const uint8_t* data, size_t size, const EntryCallback& onEntry = nullptr);

// How many entries ReadListing visits: the entries of every table of the
// chain that lie inside the file and below the next table.
uint64_t EntryCount(const Layout& layout);

// The regions a scrub fills: for each table, the bytes after its 32-byte
// head up to the next table above it in the file (or the file's end). A
// table whose link leads to no table ends at that link instead, or at its
// own blocks when the link points below it or past the file. The header
// (all bytes below the lowest table) and every table head are never
// included. Empty for a file without the cache signature.
std::vector<Region> ScrubRegions(const uint8_t* data, size_t size);

}  // namespace indexdat
