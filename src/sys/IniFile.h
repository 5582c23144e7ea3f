// An ini file read whole into memory, changed there, and written back whole
// by Flush. The bytes come and go through an IniStore, so that this layer
// never opens the file itself: the program's store judges every read and
// write of a user's file (a link is never read nor written through).
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sys/IniText.h"

namespace sys {

// Where an ini file's bytes are read from and saved to.
class IniStore {
 public:
  enum class Result {
    Done,
    Missing,  // no such file: reads as an empty text
    Refused,  // a link, or a file with more than one name: neither read nor written
    Failed,   // there, but not read or not written (in use, no rights, too large)
  };
  virtual ~IniStore() = default;
  virtual Result Load(const std::wstring& path, std::string* bytes) = 0;
  // Replaces the whole file: Done, Refused or Failed with the system's error.
  virtual Result Save(const std::wstring& path, const std::string& bytes, DWORD* error) = 0;
};

// "Unable to write to <file>: <why>", the why from how the store answered.
class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  IniWriteError(const std::wstring& path, IniStore::Result result, DWORD error);
};

class IniFile {
 public:
  IniFile(std::wstring path, IniStore& store) : path_(std::move(path)), store_(&store) {}
  const std::wstring& Path() const { return path_; }
  // How the file read (it is read at the first use). A file that was refused
  // or failed reads as empty, and is never written over.
  IniStore::Result ReadResult() const;

  std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const;
  // Decimal, or hexadecimal after "0x"/"0X"; anything else gives `def`.
  long ReadInteger(const std::wstring& section, const std::wstring& key, long def) const;
  // An integer that is not 0 is true.
  bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;

  void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
  void WriteInteger(const std::wstring& section, const std::wstring& key, long value);
  void WriteBool(const std::wstring& section, const std::wstring& key, bool value);

  bool ValueExists(const std::wstring& section, const std::wstring& key) const;
  std::vector<std::wstring> SectionNames() const;
  // Every "key=value" line of a section as it stands, duplicates kept.
  std::vector<std::wstring> SectionLines(const std::wstring& section) const;
  // The same lines one at a time (IniText::VisitSection), and how many there are.
  void VisitSection(const std::wstring& section, const IniText::LineVisitor& visit) const;
  size_t SectionSize(const std::wstring& section) const;
  void EraseSection(const std::wstring& section);
  // Replaces the whole section by these "key=value" lines (see
  // IniText::ReplaceSection for lines put one at a time).
  void WriteSection(const std::wstring& section, const std::vector<std::wstring>& lines);
  void WriteSection(const std::wstring& section, const IniText::LineWriter& write);
  void DeleteKey(const std::wstring& section, const std::wstring& key);
  // Writes the changed text to disk, whole. Raises IniWriteError ("Unable to
  // write to <file>", and why) when it cannot, or when the file was refused
  // or unreadable even with nothing changed: then the file is as it was.
  void Flush();

  // The integer rule above, for callers that parse ini-style text themselves.
  static bool ParseInteger(const std::wstring& text, long* value);

 private:
  const IniText& Text() const;
  IniText& Changed();

  std::wstring path_;
  IniStore* store_;
  mutable IniText text_;
  mutable IniStore::Result read_ = IniStore::Result::Done;
  mutable bool loaded_ = false;
  bool changed_ = false;
};

}  // namespace sys
