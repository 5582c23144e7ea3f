// The one reader of .reg files. It reads a file the way the registry editor
// does, so that a check of the file sees whatever the editor would act on:
// UTF-16LE with its byte-order mark, UTF-8 with its mark, and 8-bit text in
// the ANSI code page (which reads the ASCII syntax of unmarked UTF-8 alike);
// CR LF, LF and CR line ends; blanks and tabs before headers and value names
// and around "="; ";" and "#" comment lines; root names in any case, short
// (HKLM) or long. Hex data goes on in the next line exactly where the editor
// goes on with it (RegData.h), past blank lines and ";" comments; no other
// data does. 8-bit text is split into lines on its bytes before any code-page
// conversion.
//
// Where the editor and the reader could disagree on a deletion, the reader
// errs towards seeing one: "[-" after blanks even inside the bracket, data
// starting with "-", a lone "\" after "=", and every physical line of a
// continued value also judged on its own.
//
// The file is read in pieces and parsed line by line: no line is kept after
// it is parsed, and the entries are packed (RegEntries.h), so that reading
// costs a few times the file's size whatever its shape.
#pragma once
#include <windows.h>

#include <deque>
#include <string>

#include "registry/restore/RegEntries.h"

namespace registry {

enum class TRegEncoding { Ansi, Utf8, Utf16 };

// Only the first deleting line is ever named; a few more are kept to show
// where else the file deletes.
constexpr size_t kKeptDeletingLines = 16;

struct TRegFile {
  bool Decoded = false;        // the bytes read as text of one of the encodings
  bool OutOfMemory = false;    // not read: it needs more memory than the program has
  TRegEncoding Encoding = TRegEncoding::Ansi;
  bool KnownSignature = false; // first line "REGEDIT4" or "Windows Registry Editor Version 5.00"
  TRegEntries Entries;
  std::deque<int> DeletingLines;   // the first lines that delete, in order (kKeptDeletingLines at most)

  // The file is text the editor imports.
  bool Readable() const { return Decoded && KnownSignature; }
  // The first line that would delete registry data; 0 when none does.
  int FirstDeletingLine() const { return DeletingLines.empty() ? 0 : DeletingLines.front(); }
};

// The file's bytes, as read from disk.
TRegFile ParseRegBytes(const std::string& bytes);
// The largest .reg file read: 64 MB. A fix writes backups far smaller.
constexpr long long kMaxRegFileBytes = 64LL << 20;

enum class TRegRead {
  Read,
  Unreadable,  // it cannot be opened or read
  TooLarge,    // above kMaxRegFileBytes; not read
  NoMemory,    // memory ran out while it was read
};

// Reads and parses the whole file into `out` (left empty unless Read). With
// `keepOpen` the file stays open, shared for reading only, until the caller
// closes the handle: what was read is what others read meanwhile.
TRegRead ReadRegFile(const std::wstring& file, TRegFile* out, HANDLE* keepOpen = nullptr);

// "HKEY_CURRENT_USER\Software\X" or "hkcu\Software\X" to its predefined root
// and the path below it; false for an unknown root.
bool SplitRegKeyPath(const std::wstring& key, HKEY* root, std::wstring* subKey);

}  // namespace registry
