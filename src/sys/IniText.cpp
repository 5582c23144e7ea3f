#include "sys/IniText.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

#include "sys/Text.h"
#include "sys/TextCompare.h"

namespace sys {
namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16Mark[] = "\xFF\xFE";
const char kUtf16BigEndianMark[] = "\xFE\xFF";
const size_t npos = std::wstring::npos;

bool IsLineEnd(unsigned c) { return c == '\r' || c == '\n'; }

// What the profile functions trim: ASCII blanks and ^Z, and nothing else, so
// a no-break or ideographic space stays part of a name or value.
bool IsBlank(unsigned c) { return c == ' ' || c == '\t' || c == 0x0B || c == 0x0C || c == 0x1A || IsLineEnd(c); }

bool IsAscii(const std::wstring& s) {
  return std::all_of(s.begin(), s.end(), [](wchar_t c) { return c < 0x80; });
}

unsigned AsciiUpper(unsigned c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

IniText::LineWriter Each(const std::vector<std::wstring>& lines) {
  return [&lines](const IniText::LineSink& put) {
    for (const std::wstring& line : lines) put(line);
  };
}

std::wstring Trimmed(const std::wstring& s) {
  size_t first = 0, last = s.size();
  while (first < last && IsBlank(s[first])) ++first;
  while (last > first && IsBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

}  // namespace

IniText IniText::Parse(std::string bytes) {
  IniText ini;
  ini.bytes_ = std::move(bytes);
  const std::string& b = ini.bytes_;
  if (b.compare(0, 3, kUtf8Mark) == 0) {
    ini.encoding_ = Encoding::Utf8;
    ini.textBegin_ = 3;
  } else if (b.compare(0, 2, kUtf16Mark) == 0 || b.compare(0, 2, kUtf16BigEndianMark) == 0) {
    ini.encoding_ = b[0] == '\xFF' ? Encoding::Utf16 : Encoding::Utf16BigEndian;
    ini.unit_ = 2;
    ini.textBegin_ = 2;
  } else {
    CPINFO info{};
    ini.doubleByte_ = ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
  }
  size_t name = 0, nameEnd = 0;
  for (size_t at = ini.textBegin_; at < ini.TextEnd();) {
    const Line line = ini.LineAt(at);
    if (ini.Header(line, &name, &nameEnd)) ini.headers_.push_back(line.begin);
    at = line.next;
  }
  return ini;
}

unsigned IniText::Unit(size_t at) const {
  const unsigned char first = static_cast<unsigned char>(bytes_[at]);
  if (unit_ == 1) return first;
  const unsigned char second = static_cast<unsigned char>(bytes_[at + 1]);
  return encoding_ == Encoding::Utf16 ? first | second << 8 : first << 8 | second;
}

// A UTF-16 text's odd last byte is no character; it stays where it is.
size_t IniText::TextEnd() const { return bytes_.size() - (bytes_.size() - textBegin_) % unit_; }

IniText::Line IniText::LineAt(size_t at) const {
  const size_t end = TextEnd();
  Line line{at, at, at};
  if (unit_ == 1) {
    const char* b = bytes_.data();
    while (line.end < end && b[line.end] != '\r' && b[line.end] != '\n') ++line.end;
  } else {
    while (line.end < end && !IsLineEnd(Unit(line.end))) line.end += unit_;
  }
  line.next = line.end;
  if (line.next == end) return line;
  const bool cr = Unit(line.next) == '\r';
  line.next += unit_;
  if (cr && line.next < end && Unit(line.next) == '\n') line.next += unit_;
  return line;
}

void IniText::Trim(size_t* begin, size_t* end) const {
  while (*begin < *end && IsBlank(Unit(*begin))) *begin += unit_;
  while (*end > *begin && IsBlank(Unit(*end - unit_))) *end -= unit_;
}

// Blanks, "=" and NUL lie below 0x40, where no double-byte character has
// its second byte, so the text is searched for them in its own units.
size_t IniText::CutAtNul(size_t begin, size_t end) const {
  for (size_t at = begin; at < end; at += unit_)
    if (Unit(at) == 0) return at;
  return end;
}

// "[name]": the name runs to the line's last "]", blanks around it dropped.
// Only "]" may be the second byte of a double-byte character: that one is not.
bool IniText::Header(const Line& line, size_t* name, size_t* nameEnd) const {
  size_t begin = line.begin, end = line.end;
  Trim(&begin, &end);
  if (begin == end || Unit(begin) != '[') return false;
  size_t close = npos;
  for (size_t at = begin + unit_; at < end; at += unit_) {
    const unsigned c = Unit(at);
    if (c == ']') close = at;
    else if (doubleByte_ && ::IsDBCSLeadByte(static_cast<BYTE>(c)) && at + 1 < end) ++at;
  }
  if (close == npos) return false;
  *name = begin + unit_;
  *nameEnd = close;
  Trim(name, nameEnd);
  *nameEnd = CutAtNul(*name, *nameEnd);
  return true;
}

// A line of a section as a key, "=" and its value optional; false for a blank line.
bool IniText::ParseKey(const Line& line, KeyLine* out) const {
  size_t begin = line.begin, end = line.end;
  Trim(&begin, &end);
  if (begin == end) return false;
  size_t eq = begin;
  while (eq < end && Unit(eq) != '=') eq += unit_;
  out->hasValue = eq < end;
  out->key = begin;
  out->keyEnd = eq;
  out->value = out->valueEnd = end;
  if (out->hasValue) {
    out->value = eq + unit_;
    Trim(&out->value, &out->valueEnd);
    while (out->keyEnd > out->key && IsBlank(Unit(out->keyEnd - unit_))) out->keyEnd -= unit_;
  }
  out->keyEnd = CutAtNul(out->key, out->keyEnd);
  out->valueEnd = CutAtNul(out->value, out->valueEnd);
  return true;
}

// A section's listing leaves out comments and lines with neither a key nor "=".
bool IniText::Listed(const KeyLine& k) const {
  if (k.key == k.keyEnd) return k.hasValue;
  return Unit(k.key) != ';';
}

// Names in ASCII compare without a conversion; any other is converted.
bool IniText::SameName(size_t begin, size_t end, const std::wstring& name) const {
  if (IsAscii(name)) {
    size_t i = 0;
    for (size_t at = begin; at < end; at += unit_, ++i) {
      const unsigned c = Unit(at);
      if (c >= 0x80) return SameText(Decode(begin, end), name);
      if (i >= name.size() || AsciiUpper(c) != AsciiUpper(name[i])) return false;
    }
    return i == name.size();
  }
  return SameText(Decode(begin, end), name);
}

std::wstring IniText::Decode(size_t begin, size_t end) const {
  if (unit_ == 2) {
    std::wstring text((end - begin) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<wchar_t>(Unit(begin + 2 * i));
    return text;
  }
  const std::string part = bytes_.substr(begin, end - begin);
  return encoding_ == Encoding::Utf8 ? FromUtf8(part) : FromAnsi(part);
}

std::string IniText::Encode(const std::wstring& text) const {
  switch (encoding_) {
    case Encoding::Utf8:
      return ToUtf8(text);
    case Encoding::Utf16:
    case Encoding::Utf16BigEndian: {
      std::string out;
      out.reserve(2 * text.size());
      const bool big = encoding_ == Encoding::Utf16BigEndian;
      for (wchar_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
        out.push_back(big ? high : low);
        out.push_back(big ? low : high);
      }
      return out;
    }
    case Encoding::Ansi:
      break;
  }
  return ToAnsi(text);
}

// New lines to go in at `at`, each ended by CR LF; a line end first when the
// line before `at` has none (the last line of the file). They are encoded
// into blocks of at most a megabyte and joined once at their size, so a long
// section never doubles its room as it grows.
std::string IniText::EncodeLines(size_t at, const LineWriter& write) const {
  const std::string lineEnd = Encode(L"\r\n");
  std::vector<std::string> blocks(1);
  size_t size = 0;
  auto add = [&](const std::string& bytes) {
    if (blocks.back().size() + bytes.size() > blocks.back().capacity()) {
      blocks.emplace_back();
      blocks.back().reserve(std::max(std::min<size_t>(std::max<size_t>(size, 256), 1u << 20), bytes.size()));
    }
    blocks.back().append(bytes);
    size += bytes.size();
  };
  if (at > textBegin_ && !IsLineEnd(Unit(at - unit_))) add(lineEnd);
  write([&](const std::wstring& line) {
    add(Encode(line));
    add(lineEnd);
  });
  std::string text;
  text.reserve(size);
  for (std::string& block : blocks) {
    text.append(block);
    std::string().swap(block);
  }
  return text;
}

// `name` as asked: a section's listing takes it as it is, the other calls
// drop the blanks around it first.
bool IniText::FindSection(const std::wstring& name, Range* range) const {
  if (name.empty()) {
    *range = {npos, textBegin_, headers_.empty() ? TextEnd() : headers_[0]};
    return true;
  }
  // The same few sections are asked for again and again (every setting of
  // the options is a look-up): each is looked for once among the headers.
  const std::wstring upper = UpperCase(name);
  auto known = std::find_if(found_.begin(), found_.end(), [&](const Found& f) { return f.name == upper; });
  if (known == found_.end()) {
    if (found_.size() >= kFoundNames) found_.clear();
    found_.push_back({upper, FirstHeaderNamed(name)});
    known = found_.end() - 1;
  }
  const size_t i = known->header;
  if (i == npos) return false;
  *range = {headers_[i], LineAt(headers_[i]).next, i + 1 < headers_.size() ? headers_[i + 1] : TextEnd()};
  return true;
}

size_t IniText::FirstHeaderNamed(const std::wstring& name) const {
  size_t begin = 0, end = 0;
  for (size_t i = 0; i < headers_.size(); ++i)
    if (Header(LineAt(headers_[i]), &begin, &end) && SameName(begin, end, name)) return i;
  return npos;
}

bool IniText::FindKey(const Range& range, const std::wstring& key, Line* line, KeyLine* parsed) const {
  const std::wstring name = Trimmed(key);
  for (size_t at = range.begin; at < range.end; at = line->next) {
    *line = LineAt(at);
    if (ParseKey(*line, parsed) && SameName(parsed->key, parsed->keyEnd, name)) return true;
  }
  return false;
}

// After the range's last line that is not blank (or its header line).
size_t IniText::BodyEnd(const Range& range) const {
  size_t after = range.begin;
  KeyLine parsed{};
  for (size_t at = range.begin; at < range.end;) {
    const Line line = LineAt(at);
    if (ParseKey(line, &parsed)) after = line.next;
    at = line.next;
  }
  return after;
}

bool IniText::Find(const std::wstring& section, const std::wstring& key, std::wstring* value) const {
  Range range{};
  Line line{};
  KeyLine parsed{};
  if (!FindSection(Trimmed(section), &range) || !FindKey(range, key, &line, &parsed) || !parsed.hasValue) return false;
  *value = Decode(parsed.value, parsed.valueEnd);
  return true;
}

std::vector<std::wstring> IniText::SectionNames() const {
  std::vector<std::wstring> names;
  size_t begin = 0, end = 0;
  for (size_t header : headers_)
    if (Header(LineAt(header), &begin, &end) && begin < end) names.push_back(Decode(begin, end));
  return names;
}

void IniText::VisitSection(const std::wstring& section, const LineVisitor& visit) const {
  Range range{};
  if (!FindSection(section, &range)) return;
  KeyLine parsed{};
  for (size_t at = range.begin; at < range.end;) {
    const Line line = LineAt(at);
    at = line.next;
    if (!ParseKey(line, &parsed) || !Listed(parsed)) continue;
    const std::wstring key = Decode(parsed.key, parsed.keyEnd);
    if (!parsed.hasValue) {
      visit(key, nullptr);
      continue;
    }
    const std::wstring value = Decode(parsed.value, parsed.valueEnd);
    visit(key, &value);
  }
}

size_t IniText::SectionSize(const std::wstring& section) const {
  Range range{};
  if (!FindSection(section, &range)) return 0;
  size_t count = 0;
  KeyLine parsed{};
  for (size_t at = range.begin; at < range.end;) {
    const Line line = LineAt(at);
    at = line.next;
    if (ParseKey(line, &parsed) && Listed(parsed)) ++count;
  }
  return count;
}

std::vector<std::wstring> IniText::SectionLines(const std::wstring& section) const {
  std::vector<std::wstring> out;
  VisitSection(section, [&out](const std::wstring& key, const std::wstring* value) {
    out.push_back(value != nullptr ? key + L"=" + *value : key);
  });
  return out;
}

// Replaces [at, at + erase) by `insert`, keeping the header index whole: the
// new text may itself hold headers, or turn a line into one.
void IniText::Splice(size_t at, size_t erase, const std::string& insert) {
  Replace(at, erase, insert);
  auto first = std::lower_bound(headers_.begin(), headers_.end(), at);
  auto last = std::lower_bound(first, headers_.end(), at + erase);
  for (auto it = last; it != headers_.end(); ++it) *it = *it - erase + insert.size();
  std::vector<size_t> added;
  size_t name = 0, nameEnd = 0;
  for (size_t line = at; line < at + insert.size() && line < TextEnd();) {
    const Line l = LineAt(line);
    if (Header(l, &name, &nameEnd)) added.push_back(l.begin);
    line = l.next;
  }
  if (first == last && added.empty()) return;
  const size_t firstAt = static_cast<size_t>(first - headers_.begin()), erased = static_cast<size_t>(last - first);
  headers_.erase(first, last);
  headers_.insert(headers_.begin() + static_cast<ptrdiff_t>(firstAt), added.begin(), added.end());
  Renumber(firstAt, erased, added.size());
}

// A string that outgrows its room doubles it while the old text still
// lives: three times the text at once. A text that must grow is made anew at
// its size and a sixteenth more, so the old and the new live side by side
// once, and later small edits seldom move it again.
void IniText::Replace(size_t at, size_t erase, const std::string& insert) {
  const size_t size = bytes_.size() - erase + insert.size();
  if (size <= bytes_.capacity()) {
    bytes_.replace(at, erase, insert);
    return;
  }
  std::string grown;
  grown.reserve(size + size / 16);
  grown.append(bytes_, 0, at).append(insert).append(bytes_, at + erase, npos);
  bytes_.swap(grown);
}

// The sections looked for, after `erased` headers from index `at` gave way
// to `added` new ones: only the new ones need a look.
void IniText::Renumber(size_t at, size_t erased, size_t added) {
  size_t begin = 0, end = 0;
  auto gone = [&](Found& f) {
    if (f.header != npos && f.header < at) return false;
    if (f.header != npos && f.header < at + erased) return true;  // looked for afresh when next asked
    const size_t old = f.header;
    f.header = npos;
    for (size_t i = at; i < at + added && f.header == npos; ++i)
      if (Header(LineAt(headers_[i]), &begin, &end) && SameName(begin, end, f.name)) f.header = i;
    if (f.header == npos && old != npos) f.header = old - erased + added;
    return false;
  };
  found_.erase(std::remove_if(found_.begin(), found_.end(), gone), found_.end());
}

void IniText::AppendSection(const std::wstring& section, const LineWriter& write) {
  const size_t end = TextEnd();
  // The new section stands apart from a last line that is not blank.
  bool lastBlank = true;
  KeyLine parsed{};
  for (size_t at = headers_.empty() ? textBegin_ : headers_.back(); at < end;) {
    const Line line = LineAt(at);
    lastBlank = !ParseKey(line, &parsed);
    at = line.next;
  }
  const std::wstring header = L"[" + section + L"]";
  Splice(end, 0, EncodeLines(end, [&](const LineSink& put) {
           if (!lastBlank) put(std::wstring());
           put(header);
           write(put);
         }));
}

void IniText::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  Range range{};
  const LineWriter added = [&](const LineSink& put) { put(key + L"=" + value); };
  if (!FindSection(Trimmed(section), &range)) return AppendSection(section, added);
  Line line{};
  KeyLine parsed{};
  if (FindKey(range, key, &line, &parsed)) {
    if (parsed.hasValue && Decode(parsed.value, parsed.valueEnd) == value) return;
    // The key keeps its spelling, the line its line end.
    return Splice(line.begin, line.end - line.begin, Encode(Decode(parsed.key, parsed.keyEnd) + L"=" + value));
  }
  // After the section's last line that is not blank, so a blank line before
  // the next section stays where it is.
  const size_t after = BodyEnd(range);
  Splice(after, 0, EncodeLines(after, added));
}

void IniText::EraseKey(const std::wstring& section, const std::wstring& key) {
  Range range{};
  Line line{};
  KeyLine parsed{};
  if (FindSection(Trimmed(section), &range) && FindKey(range, key, &line, &parsed))
    Splice(line.begin, line.next - line.begin, std::string());
}

bool IniText::EraseSection(const std::wstring& section) {
  Range range{};
  if (!FindSection(Trimmed(section), &range)) return false;
  const size_t begin = range.header == npos ? range.begin : range.header;
  Splice(begin, range.end - begin, std::string());
  return true;
}

void IniText::ReplaceSection(const std::wstring& section, const LineWriter& write) {
  Range range{};
  if (!FindSection(Trimmed(section), &range)) return AppendSection(section, write);
  // Blank lines that close the section stay, to part it from the next.
  const size_t end = BodyEnd(range);
  const std::string text = EncodeLines(range.begin, write);
  if (bytes_.compare(range.begin, end - range.begin, text) != 0) Splice(range.begin, end - range.begin, text);
}

void IniText::ReplaceSection(const std::wstring& section, const std::vector<std::wstring>& lines) {
  ReplaceSection(section, Each(lines));
}

}  // namespace sys
