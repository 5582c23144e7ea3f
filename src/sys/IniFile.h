// An ini file read and written one key at a time through the Windows profile
// functions, so that what a save does not write stays in the file.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace sys {

class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IniFile {
 public:
  explicit IniFile(std::wstring path) : path_(std::move(path)) {}
  const std::wstring& Path() const { return path_; }

  std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const;
  // Decimal, or hexadecimal after "0x"/"0X"; anything else gives `def`.
  long ReadInteger(const std::wstring& section, const std::wstring& key, long def) const;
  // An integer that is not 0 is true.
  bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;

  // Raise IniWriteError ("Unable to write to <file>") when the key cannot be written.
  void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
  void WriteInteger(const std::wstring& section, const std::wstring& key, long value);
  void WriteBool(const std::wstring& section, const std::wstring& key, bool value);

  bool ValueExists(const std::wstring& section, const std::wstring& key) const;
  std::vector<std::wstring> SectionNames() const;
  // Every "key=value" line of a section as it stands, duplicates kept.
  std::vector<std::wstring> SectionLines(const std::wstring& section) const;
  void EraseSection(const std::wstring& section);
  // Replaces the whole section by these "key=value" lines in one write.
  void WriteSection(const std::wstring& section, const std::vector<std::wstring>& lines);
  void DeleteKey(const std::wstring& section, const std::wstring& key);
  // Writes cached changes to disk.
  void Flush();

  // The integer rule above, for callers that parse ini-style text themselves.
  static bool ParseInteger(const std::wstring& text, long* value);

 private:
  std::vector<std::wstring> ReadMultiString(const wchar_t* section) const;
  std::wstring path_;
};

}  // namespace sys
