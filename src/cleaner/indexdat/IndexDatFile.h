// index.dat files on disk: read for listing, and scrubbed in place, which
// overwrites the tables' entries and the records while the file keeps its
// header and its chain of tables (the browser may hold the file open, so it
// cannot simply be deleted).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cleaner/indexdat/IndexDat.h"
#include "core/guard/FolderPin.h"

namespace indexdat {

enum class FileStatus {
  Done,
  Missing,       // no such file
  CannotOpen,    // in use without sharing, no access, or unreadable
  NotCacheFile,  // does not start with the cache signature: left untouched
  Refused,       // too large to be an index file or to read into memory
  Linked,        // a link, a file with another name, or not the file listed: left untouched
};

// Reads the whole file (sharing it with the browser). A file named by a path
// must be its folder's own, as the folder is reached now.
FileStatus ReadIndexDat(const std::wstring& path, std::vector<uint8_t>* bytes);

struct ScrubResult {
  FileStatus status = FileStatus::Missing;
  int passes = 0;         // passes written
  uint64_t written = 0;   // bytes written in the last pass
};

// Passes are clamped to 1..3: the last fills with zero bytes, any earlier
// one with a random byte 0..254. A file that cannot be opened ends the
// scrub; the passes done stay done.
ScrubResult ScrubIndexDat(const std::wstring& path, int passes);
// The file `name` of the pinned `folder`, found in the pin's listing.
ScrubResult ScrubIndexDat(const core::guard::FolderPin& folder, const std::wstring& name, int passes);
// The file a pinned listing gave: every pass opens it relative to the pin and
// scrubs it only while it is the file listed, with no other name.
ScrubResult ScrubIndexDat(const core::guard::ListedEntry& entry, int passes);

}  // namespace indexdat
