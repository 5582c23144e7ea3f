// The layout of a browser cache index file (index.dat): its header, its
// chain of HASH tables, their entries and the records they point at. Pure
// parsing over bytes already in memory, with no system calls, so that the
// viewer, the cleaner and a native fuzzing build share it.
//
// The files come from anywhere, so nothing in them is trusted: every size
// and offset is clamped to the bytes really present, a chain of tables that
// returns to an earlier table ends, and all block arithmetic is 64-bit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace indexdat {

// The first bytes of every cache index file; nothing is written into a file
// that does not start with them.
extern const char kCacheSignature[];
bool HasCacheSignature(const uint8_t* data, size_t size);

enum class RecordKind { Url, Leak, Redr };

struct Record {
  RecordKind kind = RecordKind::Url;
  uint32_t offset = 0;    // of the record in the file
  uint64_t fileTime = 0;  // URL/LEAK: last modified (UTC); REDR: its own time
  bool hasUrl = false;    // false for a URL/LEAK record whose URL offset is 0
  std::string url;        // 8-bit text as stored
};

struct Table {
  uint32_t offset = 0;
  int32_t blocks = 0;  // as stored; the viewer shows it
};

// A run of bytes [begin, end) that a scrub overwrites.
struct Region {
  uint64_t begin = 0;
  uint64_t end = 0;
};

struct Layout {
  uint64_t limit = 0;           // the header's file size, clamped to the bytes present
  std::vector<Table> tables;    // the chain in its order, up to the first bad link
  std::vector<Region> scrub;    // ascending, disjoint
};

// Reads the header and the table chain. A header size larger than the data
// is cut to the data; a table without its "HASH" signature, outside the
// file or already visited ends the chain.
Layout ReadLayout(const uint8_t* data, size_t size);

// Called before each entry is read, free or used; returning false stops the
// reading with the records found so far.
using EntryCallback = std::function<bool()>;

// Every record the tables' used entries point at, table by table. Free
// entries, records outside the file or cut off by its end, and unknown
// kinds are skipped.
std::vector<Record> ReadRecords(const uint8_t* data, size_t size, const EntryCallback& onEntry = nullptr);

// How many entries ReadRecords visits: the entries of every table of the
// chain that lie inside the file.
uint64_t EntryCount(const Layout& layout);

// The regions a scrub fills: for each table, the bytes after its 32-byte
// head up to the next table above it (or the file's end). The header (all
// bytes below the first table) and every table head are never included.
// Empty for a file without the cache signature.
std::vector<Region> ScrubRegions(const uint8_t* data, size_t size);

}  // namespace indexdat
