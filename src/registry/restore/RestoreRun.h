// Restoring one .reg backup: the file is read once, refused whole when it
// cannot be read or when any line of it would delete registry data, imported
// by the registry editor otherwise, and then checked entry by entry. The
// caller deletes the file only on rsRestored. No exception leaves it: memory
// that runs out anywhere on the way gives rsNoMemory.
#pragma once
#include <functional>
#include <string>

#include "registry/restore/RestoreCheck.h"

namespace registry {

enum TRestoreStatus {
  rsUnreadable,  // the file cannot be read as .reg text; nothing imported
  rsTooLarge,    // the file is larger than the reader takes (kMaxRegFileBytes); nothing imported
  rsNoMemory,    // memory ran out: while the file was read (nothing imported) or checked (Imported)
  rsDeletes,     // a line would delete; nothing imported
  rsNotRun,      // the editor did not run to its end
  rsIncomplete,  // imported, but not every entry is back (or none could be checked)
  rsRestored,    // every entry of the file is in the registry
};

struct TRestoreOutcome {
  TRestoreStatus Status = rsUnreadable;
  int Line = 0;          // rsDeletes: the first deleting line
  bool Imported = false; // the editor ran to its end
  TRestoreCheck Check;   // rsIncomplete, rsRestored
};

// Runs the editor's command line; true when it ran to its end.
using TImportRunner = std::function<bool(const std::wstring& commandLine)>;

TRestoreOutcome RestoreRegFile(const std::wstring& file, const TImportRunner& runImport);

// A name (of a file, a key or a value) as a message shows it: one longer than
// kMessageNameChars keeps its start and its end around "...". A file can hold
// a name of millions of characters, which a message box takes minutes to lay out.
constexpr size_t kMessageNameChars = 240;
std::wstring NameForMessage(const std::wstring& name);

}  // namespace registry
