// Whether a restored .reg backup is really back in the registry: every key
// section of the file and every value line in it are compared with what the
// registry holds now, in this program's own view (the one its backups are
// written from). The file is read by the one .reg reader. A section whose
// header is still spoiled was never made whole (the write was cut off), so it
// imports nothing and is not expected.
#pragma once
#include <string>
#include <vector>

#include "registry/restore/RegFileReader.h"

namespace registry {

struct TRestoreCheck {
  bool Readable = false;  // the file reads as text the editor imports
  int Entries = 0;        // keys and values the file brings back
  int Spoiled = 0;        // sections left spoiled: not importable, not counted
  std::vector<std::wstring> Missing;  // entries not found as the file holds them

  // Restored only when something was checked and all of it is back.
  bool AllPresent() const { return Readable && Entries > 0 && Missing.empty(); }
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
