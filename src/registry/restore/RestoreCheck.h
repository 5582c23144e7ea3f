// Whether a restored .reg backup is really back in the registry: every key
// section of the file and every value line in it are compared with what the
// registry holds now, in this program's own view (the one its backups are
// written from). The file is read by the one .reg reader, and each value is
// compared as typed data, the type and the bytes the editor makes of the
// line. Each section's key is opened once and its values read on that handle.
// A section whose header is still spoiled was never made whole (the write
// was cut off), so it imports nothing and is not expected.
#pragma once
#include <string>
#include <vector>

#include "registry/restore/RegFileReader.h"

namespace registry {

// Only the first missing entries are named; the rest are counted.
constexpr size_t kKeptMissing = 16;

struct TRestoreCheck {
  bool Readable = false;     // the file reads as text the editor imports
  bool OutOfMemory = false;  // memory ran out during the check: nothing is known
  int Entries = 0;           // keys (each once, however many sections name it) and values the file brings back
  int Spoiled = 0;           // sections left spoiled: not importable, not counted
  int Missing = 0;           // entries not found as the file holds them
  // The first of them (kKeptMissing at most), each name cut for a message
  // as NameForMessage cuts it.
  std::vector<std::wstring> FirstMissing;

  // Restored only when something was checked and all of it is back.
  bool AllPresent() const { return Readable && !OutOfMemory && Entries > 0 && Missing == 0; }
};

// The first line whose import would delete something ("[-key]" or a value
// "=-" in any form the editor reads); 0 when none would. A restore only ever
// puts data back, so such a file is not imported.
int RegTextDeletingLine(const std::string& text);
bool RegTextDeletes(const std::string& text);

TRestoreCheck CheckRegFileRestored(const std::wstring& file);
// The same over the file's bytes, and over a file already read.
TRestoreCheck CheckRegTextRestored(const std::string& text);
TRestoreCheck CheckRegEntriesRestored(const TRegFile& file);

}  // namespace registry
