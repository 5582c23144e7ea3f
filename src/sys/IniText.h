// The whole text of an ini file in memory: read once, changed key by key, and
// written back whole. Lines a change does not touch stay as they were
// (comments, blank lines, other sections, unknown keys), and lookups follow
// the Windows profile functions: names compare ignoring case, the first
// section and the first key of a name win, blanks around "=" do not count.
#pragma once
#include <string>
#include <vector>

namespace sys {

class IniText {
 public:
  // How the file was stored; a save keeps it. A file with no byte-order mark
  // is ANSI, as the program's own files are.
  enum class Encoding { Ansi, Utf8, Utf16 };

  IniText() = default;
  static IniText Parse(const std::string& bytes);
  std::string Bytes() const;

  // The value as written after "=", blanks around it dropped; false when the
  // key is missing or has no "=".
  bool Find(const std::wstring& section, const std::wstring& key, std::wstring* value) const;
  std::vector<std::wstring> SectionNames() const;
  // "key=value" (or a lone "key") for each line of the first section so
  // named, blanks around both dropped; blank and comment lines left out.
  std::vector<std::wstring> SectionLines(const std::wstring& section) const;

  // Replaces the first such key's line, else adds one after the section's
  // last line, else a new section at the end.
  void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
  void EraseKey(const std::wstring& section, const std::wstring& key);
  // False when there was no such section.
  bool EraseSection(const std::wstring& section);
  // The first section so named gets exactly these lines.
  void ReplaceSection(const std::wstring& section, const std::vector<std::wstring>& lines);

  const std::vector<std::wstring>& Lines() const { return lines_; }

 private:
  struct Range {
    size_t header, begin, end;  // header line; its lines are [begin, end)
  };
  bool FindSection(const std::wstring& section, Range* range) const;
  size_t FindKey(const Range& range, const std::wstring& key) const;
  void AppendSection(const std::wstring& section, const std::vector<std::wstring>& lines);

  std::vector<std::wstring> lines_;
  Encoding encoding_ = Encoding::Ansi;
};

}  // namespace sys
