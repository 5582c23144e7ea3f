// SQLite's Windows VFS with every file of a database opened relative to the
// pinned folder of that database: the database itself and the journal, WAL
// and shared-memory files SQLite makes beside it. Each is opened through the
// guard (core/guard/PinnedOpen.h), found in the pin's listing and judged by
// identity; a link in the place of any of them, a file swapped in after the
// listing, or one with a second name is refused, and so is any other name.
#pragma once
#include <string>

#include "core/guard/FolderPin.h"

namespace core {

// One connection's pin. Outlives the connection.
struct PinnedDatabase {
  const guard::FolderPin* folder = nullptr;
  std::wstring name;     // the database's own name in the folder
  std::wstring refused;  // the first of its files found to be a link (full path)
};

// The name to give sqlite3_open_v2; the VFS is registered on first use.
// Null when SQLite's Windows VFS could not be taken over.
const char* PinnedVfsName();

// While it lives, a database opened on this thread through the VFS is the
// one `db` names.
class PinnedOpening {
 public:
  explicit PinnedOpening(PinnedDatabase* db);
  ~PinnedOpening();
  PinnedOpening(const PinnedOpening&) = delete;
  PinnedOpening& operator=(const PinnedOpening&) = delete;

 private:
  PinnedDatabase* previous_;
};

}  // namespace core
