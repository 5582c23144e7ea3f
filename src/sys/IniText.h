// The whole text of an ini file in memory: read once, changed key by key, and
// written back whole. The file's own bytes are kept, and a change replaces
// only the bytes of the lines it touches: every other line (comments, blank
// lines, other sections, unknown keys, its own line ends) is saved byte for
// byte. Reads follow the Windows profile functions: a line ends at CR, LF or
// CR LF; blanks (space, tab, VT, FF, ^Z, no other) around names, values and a
// header's name do not count; a NUL ends a name or value; names compare
// ignoring case, and the first section and the first key of a name win.
// 8-bit text is split into lines on its bytes before any conversion, so a
// double-byte lead byte last in its line never joins two lines.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace sys {

class IniText {
 public:
  // How the file was stored, told by its byte-order mark; a save keeps it. A
  // file with no mark is ANSI, as the program's own files are.
  enum class Encoding { Ansi, Utf8, Utf16, Utf16BigEndian };

  IniText() = default;
  // Keeps `bytes` as the text: nothing is copied.
  static IniText Parse(std::string bytes);
  // The whole file as it now stands, mark included.
  const std::string& Bytes() const { return bytes_; }

  // The value as written after "=", blanks around it dropped; false when the
  // key is missing or has no "=". The lines before any header form a section
  // with no name.
  bool Find(const std::wstring& section, const std::wstring& key, std::wstring* value) const;
  std::vector<std::wstring> SectionNames() const;
  // "key=value" (or a lone "key") for each line of the first section so
  // named, blanks around both dropped; blank lines, comments and lines with
  // neither a key nor "=" left out.
  std::vector<std::wstring> SectionLines(const std::wstring& section) const;
  // The same lines one at a time, as the key and the value (null for a line
  // with no "="), so a long section is never copied whole. As the system's
  // section call, these two take the section's name as it is asked, blanks
  // around it included; every other call drops them.
  using LineVisitor = std::function<void(const std::wstring& key, const std::wstring* value)>;
  void VisitSection(const std::wstring& section, const LineVisitor& visit) const;
  // How many lines VisitSection would visit.
  size_t SectionSize(const std::wstring& section) const;

  // Replaces the first such key's line (left as it is when its value is
  // already this one), else adds one after the section's last line, else a
  // new section at the end.
  void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
  void EraseKey(const std::wstring& section, const std::wstring& key);
  // False when there was no such section.
  bool EraseSection(const std::wstring& section);
  // A section's new lines, handed over one at a time, so that a long list is
  // never held as lines beside the text it becomes.
  using LineSink = std::function<void(const std::wstring& line)>;
  using LineWriter = std::function<void(const LineSink& put)>;
  // The first section so named gets exactly these lines. `write` may read
  // this text: it changes only after `write` is done.
  void ReplaceSection(const std::wstring& section, const LineWriter& write);
  void ReplaceSection(const std::wstring& section, const std::vector<std::wstring>& lines);

 private:
  struct Line {
    size_t begin, end, next;  // its text [begin, end); the next line starts at `next`
  };
  struct KeyLine {
    size_t key, keyEnd, value, valueEnd;
    bool hasValue;
  };
  struct Range {
    size_t header, begin, end;  // header line (npos for the lines before any); its lines [begin, end)
  };

  unsigned Unit(size_t at) const;
  size_t TextEnd() const;
  Line LineAt(size_t at) const;
  void Trim(size_t* begin, size_t* end) const;
  size_t CutAtNul(size_t begin, size_t end) const;
  bool Header(const Line& line, size_t* name, size_t* nameEnd) const;
  bool ParseKey(const Line& line, KeyLine* out) const;
  bool Listed(const KeyLine& k) const;
  bool SameName(size_t begin, size_t end, const std::wstring& name) const;
  std::wstring Decode(size_t begin, size_t end) const;
  std::string Encode(const std::wstring& text) const;
  std::string EncodeLines(size_t at, const LineWriter& write) const;

  bool FindSection(const std::wstring& name, Range* range) const;
  size_t FirstHeaderNamed(const std::wstring& name) const;
  bool FindKey(const Range& range, const std::wstring& key, Line* line, KeyLine* parsed) const;
  size_t BodyEnd(const Range& range) const;
  void AppendSection(const std::wstring& section, const LineWriter& write);
  void Splice(size_t at, size_t erase, const std::string& insert);
  void Replace(size_t at, size_t erase, const std::string& insert);
  void Renumber(size_t at, size_t erased, size_t added);

  std::string bytes_;
  Encoding encoding_ = Encoding::Ansi;
  size_t unit_ = 1;       // bytes per code unit
  size_t textBegin_ = 0;  // after the mark
  bool doubleByte_ = false;
  std::vector<size_t> headers_;  // where each header line starts, in order
  struct Found {
    std::wstring name;  // upper-cased
    size_t header;      // its index in headers_, npos for none
  };
  static constexpr size_t kFoundNames = 64;
  mutable std::vector<Found> found_;  // sections looked for since the headers last changed
};

}  // namespace sys
