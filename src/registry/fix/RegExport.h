// Appends registry keys and values to a REGEDIT4 backup file. An entry is
// read and formatted whole before anything is written. It is then appended
// with every key header spoiled, so that the registry editor skips it, and
// flushed; only then are the headers made whole and flushed again. A write
// cut off by a kill or a crash leaves an entry that imports nothing, never
// one that imports part of a value; a caller that deletes only after
// esWritten never deletes what the file cannot give back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/guard/RegistryEntry.h"

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
// the one value ValueName of Key ("" is the default value). The key is opened
// as a delete opens it (core::guard::KeyEntry): a key reached through a
// registry link, or (whole) holding one, is not read (esNotWritable). A new
// or empty file gets the "REGEDIT4" line first. A trailing "\" of Key is ignored.
TExportResult ExportRegEntry(const std::wstring& FileName, HKEY RootKey, const std::wstring& Key,
                             const std::wstring& ValueName, bool WholeKey);

// The same entry as file text, without touching the file.
TExportResult FormatRegEntry(HKEY RootKey, const std::wstring& Key, const std::wstring& ValueName, bool WholeKey,
                             std::string* text);

// The entry as file text, read through the handles `entry` holds (its tree
// for WholeKey, opened so by the caller); Key names it in the file. The
// delete that follows goes through the same handles.
TExportResult FormatHeldEntry(const core::guard::KeyEntry& entry, HKEY RootKey, const std::wstring& Key,
                              const std::wstring& ValueName, bool WholeKey, std::string* text);

// Appends `text` to the file (with the header when the file is new or
// empty) as above; on any failure the file is cut back to its old end. A name
// that a TRegBackupFile of this process holds goes to that run's own file;
// an existing name that is a link, or a file with other names, is refused.
bool AppendToRegFile(const std::wstring& FileName, const std::string& text, std::wstring* why);

// Stands in for the first character of a key header's root name until the
// entry is whole in the file: the registry editor cannot open such a key and
// skips its lines.
constexpr char kSpoiledRootChar = '~';

// Spoils every key header of `text` (a line "[" root...) and returns the
// offsets of the spoiled characters with the characters they replaced.
std::vector<std::pair<size_t, char>> SpoilRegHeaders(std::string* text);

// The backup file of one fix run, made on its first entry and held open
// until the run ends, so that no other run can write into it. It is a new
// file: when anything bears the wanted name (a link included) or another run
// holds it, the next free name ("..._2.reg", "..._3.reg") is taken. While it lives, AppendToRegFile
// of the wanted name writes here.
class TRegBackupFile {
 public:
  explicit TRegBackupFile(std::wstring wanted);
  ~TRegBackupFile();
  TRegBackupFile(const TRegBackupFile&) = delete;
  TRegBackupFile& operator=(const TRegBackupFile&) = delete;

  bool Append(const std::string& text, std::wstring* why);
  const std::wstring& Wanted() const { return wanted_; }
  // The file written; empty until the first entry.
  const std::wstring& Name() const { return name_; }
  int Entries() const { return entries_; }

 private:
  bool Create(std::wstring* why);

  std::wstring wanted_, name_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  int entries_ = 0;
};

}  // namespace registry
