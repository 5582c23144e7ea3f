// The one reader of .reg files. It reads a file the way the registry editor
// does, so that a check of the file sees whatever the editor would act on:
// UTF-16LE with its byte-order mark, UTF-8 with its mark, and 8-bit text in
// the ANSI code page (which reads the ASCII syntax of unmarked UTF-8 alike);
// CR LF, LF and CR line ends; blanks and tabs before headers and value names
// and around "="; value data continued with a trailing backslash; ";" and "#"
// comment lines; root names in any case, short (HKLM) or long. 8-bit text is
// split into lines on its bytes before any code-page conversion.
//
// Where the editor and the reader could disagree on a deletion, the reader
// errs towards seeing one: "[-" after blanks even inside the bracket, data
// starting with "-", and every physical line of a continued value also
// judged on its own.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace registry {

enum class TRegEncoding { Ansi, Utf8, Utf16 };

struct TRegEntry {
  int Line = 0;           // 1-based line where the entry starts
  bool IsKey = false;     // a "[...]" header; otherwise a value line
  bool Deletes = false;   // "[-key]", or a value whose data is "-"
  std::wstring Key;       // header: the key as written; value: its section's key
  std::wstring Name;      // value name, unescaped; empty for the default value "@"
  std::wstring Data;      // value data after "=", continuations joined, blanks trimmed
};

struct TRegFile {
  bool Decoded = false;        // the bytes read as text of one of the encodings
  bool TooLarge = false;       // not read: it needs more memory than the program has
  TRegEncoding Encoding = TRegEncoding::Ansi;
  bool KnownSignature = false; // first line "REGEDIT4" or "Windows Registry Editor Version 5.00"
  std::vector<TRegEntry> Entries;
  std::vector<int> DeletingLines;  // every line that deletes, in order

  // The file is text the editor imports.
  bool Readable() const { return Decoded && KnownSignature; }
  // The first line that would delete registry data; 0 when none does.
  int FirstDeletingLine() const { return DeletingLines.empty() ? 0 : DeletingLines.front(); }
};

// The file's bytes, as read from disk.
TRegFile ParseRegBytes(const std::string& bytes);
// Text already decoded.
TRegFile ParseRegText(const std::wstring& text);
// The largest .reg file read: 64 MB. Reading costs the program several
// times a file's size (its bytes, its text in UTF-16, its entries), and a
// 32-bit program has 2 GB of address space in all; a fix writes backups far
// smaller than this.
constexpr long long kMaxRegFileBytes = 64LL << 20;

enum class TRegRead { Read, Unreadable, TooLarge };

// Reads the whole file: Unreadable when it cannot be opened or read,
// TooLarge above kMaxRegFileBytes (or when memory runs out). With `keepOpen`
// the file stays open, shared for reading only, until the caller closes the
// handle: what was read is what others read meanwhile.
TRegRead ReadRegFileBytes(const std::wstring& file, std::string* bytes, HANDLE* keepOpen = nullptr);

// "HKEY_CURRENT_USER\Software\X" or "hkcu\Software\X" to its predefined root
// and the path below it; false for an unknown root.
bool SplitRegKeyPath(const std::wstring& key, HKEY* root, std::wstring* subKey);

// Data text in one comparable form: quoted text as it is; any other form
// (dword:, hex:, hex(N):) without blanks, in upper case.
std::wstring CanonicalRegData(const std::wstring& data);

}  // namespace registry
