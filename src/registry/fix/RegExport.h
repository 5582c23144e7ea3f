// Appends registry keys and values to a REGEDIT4 backup file. An entry is
// read and formatted whole before anything is written, then appended and
// flushed in one step: the file never holds half an entry, and a caller that
// deletes only after esWritten never deletes what the file cannot give back.
#pragma once
#include <windows.h>

#include <string>

namespace registry {

enum TExportStatus {
  esWritten,     // the whole entry is in the file, flushed
  esMissing,     // the key or value does not exist; nothing written
  esNotWritable, // it cannot be read completely or written in the file's form; nothing written
  esFileError,   // the file could not be opened or written; nothing of the entry remains in it
};

struct TExportResult {
  TExportStatus Status = esNotWritable;
  std::wstring Reason;  // for every status but esWritten
};

// Appends one key (WholeKey: its values and all its subkeys, depth first) or
// the one value ValueName of Key ("" is the default value). A key that is or
// holds a registry link cannot be written whole (esNotWritable). A new or empty
// file gets the "REGEDIT4" line first. A trailing "\" of Key is ignored.
TExportResult ExportRegEntry(const std::wstring& FileName, HKEY RootKey, const std::wstring& Key,
                             const std::wstring& ValueName, bool WholeKey);

// The same entry as file text, without touching the file.
TExportResult FormatRegEntry(HKEY RootKey, const std::wstring& Key, const std::wstring& ValueName, bool WholeKey,
                             std::string* text);

// Whether a key opened with REG_OPTION_OPEN_LINK is a registry symbolic link.
bool IsRegLinkKey(HKEY key);

// Appends `text` to the file (with the header when the file is new or
// empty) and flushes it; on any failure the file is cut back to its old end.
bool AppendToRegFile(const std::wstring& FileName, const std::string& text, std::wstring* why);

}  // namespace registry
