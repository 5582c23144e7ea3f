// Whether a restored .reg backup is really back in the registry: every key
// section of the file and every value line in it are compared with what the
// registry holds now, in this program's own view (the one its backups are
// written from). A section whose header is still spoiled was never made
// whole (the write was cut off), so it imports nothing and is not expected.
#pragma once
#include <string>
#include <vector>

namespace registry {

struct TRestoreCheck {
  bool Readable = false;  // the file opened and starts with "REGEDIT4"
  int Entries = 0;        // keys and values the file brings back
  int Spoiled = 0;        // sections left spoiled: not importable, not counted
  std::vector<std::wstring> Missing;  // entries not found as the file holds them

  bool AllPresent() const { return Readable && Missing.empty(); }
};

// The whole file; false when it cannot be read.
bool ReadRegFile(const std::wstring& file, std::string* text);

// Whether importing the text would delete something ("[-key]" or "name"=-):
// a restore only ever puts data back, so such a file is not imported.
bool RegTextDeletes(const std::string& text);

TRestoreCheck CheckRegFileRestored(const std::wstring& file);
// The same over the file's text.
TRestoreCheck CheckRegTextRestored(const std::string& text);

}  // namespace registry
