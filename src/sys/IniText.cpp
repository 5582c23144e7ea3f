#include "sys/IniText.h"

#include <cwctype>

#include "sys/Text.h"
#include "sys/TextCompare.h"

namespace sys {
namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16Mark[] = "\xFF\xFE";

std::wstring Trim(const std::wstring& s) {
  size_t first = 0, last = s.size();
  while (first < last && std::iswspace(s[first])) ++first;
  while (last > first && std::iswspace(s[last - 1])) --last;
  return s.substr(first, last - first);
}

// "[name]": the name runs to the line's last "]", as the profile functions read it.
bool HeaderName(const std::wstring& line, std::wstring* name) {
  const size_t first = line.find_first_not_of(L" \t");
  if (first == std::wstring::npos || line[first] != L'[') return false;  // most lines: no copy
  const std::wstring t = Trim(line);
  const size_t close = t.rfind(L']');
  if (t.empty() || t[0] != L'[' || close == std::wstring::npos || close == 0) return false;
  *name = t.substr(1, close - 1);
  return true;
}

struct KeyLine {
  std::wstring key, value;
  bool hasValue = false;
};

// A line of a section as a key; false for a blank or comment line.
bool ParseKey(const std::wstring& line, KeyLine* out) {
  const std::wstring t = Trim(line);
  if (t.empty() || t[0] == L';') return false;
  const size_t eq = t.find(L'=');
  out->hasValue = eq != std::wstring::npos;
  out->key = Trim(t.substr(0, eq));
  out->value = out->hasValue ? Trim(t.substr(eq + 1)) : std::wstring();
  return true;
}

std::wstring Decode(const std::string& bytes, IniText::Encoding* encoding) {
  if (bytes.compare(0, 2, kUtf16Mark) == 0) {
    *encoding = IniText::Encoding::Utf16;
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    return text;
  }
  if (bytes.compare(0, 3, kUtf8Mark) == 0) {
    *encoding = IniText::Encoding::Utf8;
    return FromUtf8(bytes.substr(3));
  }
  *encoding = IniText::Encoding::Ansi;
  return FromAnsi(bytes);
}

}  // namespace

IniText IniText::Parse(const std::string& bytes) {
  IniText ini;
  const std::wstring text = Decode(bytes, &ini.encoding_);
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find(L'\n', at);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(at, end - at);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    ini.lines_.push_back(std::move(line));
    at = end + 1;
  }
  return ini;
}

std::string IniText::Bytes() const {
  std::wstring text;
  for (const std::wstring& line : lines_) text.append(line).append(L"\r\n");
  switch (encoding_) {
    case Encoding::Utf8:
      return kUtf8Mark + ToUtf8(text);
    case Encoding::Utf16: {
      std::string out(kUtf16Mark);
      for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
      }
      return out;
    }
    case Encoding::Ansi:
      break;
  }
  return ToAnsi(text);
}

bool IniText::FindSection(const std::wstring& section, Range* range) const {
  std::wstring name;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!HeaderName(lines_[i], &name) || !SameText(name, section)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !HeaderName(lines_[end], &name)) ++end;
    *range = {i, i + 1, end};
    return true;
  }
  return false;
}

size_t IniText::FindKey(const Range& range, const std::wstring& key) const {
  KeyLine parsed;
  for (size_t i = range.begin; i < range.end; ++i)
    if (ParseKey(lines_[i], &parsed) && SameText(parsed.key, key)) return i;
  return std::wstring::npos;
}

bool IniText::Find(const std::wstring& section, const std::wstring& key, std::wstring* value) const {
  Range range{};
  if (!FindSection(section, &range)) return false;
  const size_t at = FindKey(range, key);
  KeyLine parsed;
  if (at == std::wstring::npos || !ParseKey(lines_[at], &parsed) || !parsed.hasValue) return false;
  *value = parsed.value;
  return true;
}

std::vector<std::wstring> IniText::SectionNames() const {
  std::vector<std::wstring> names;
  std::wstring name;
  for (const std::wstring& line : lines_)
    if (HeaderName(line, &name) && !name.empty()) names.push_back(name);
  return names;
}

std::vector<std::wstring> IniText::SectionLines(const std::wstring& section) const {
  std::vector<std::wstring> out;
  Range range{};
  if (!FindSection(section, &range)) return out;
  KeyLine parsed;
  for (size_t i = range.begin; i < range.end; ++i)
    if (ParseKey(lines_[i], &parsed)) out.push_back(parsed.hasValue ? parsed.key + L"=" + parsed.value : parsed.key);
  return out;
}

void IniText::AppendSection(const std::wstring& section, const std::vector<std::wstring>& lines) {
  if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
  lines_.push_back(L"[" + section + L"]");
  lines_.insert(lines_.end(), lines.begin(), lines.end());
}

void IniText::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  Range range{};
  if (!FindSection(section, &range)) return AppendSection(section, {key + L"=" + value});
  const size_t at = FindKey(range, key);
  KeyLine parsed;
  if (at != std::wstring::npos && ParseKey(lines_[at], &parsed)) {
    lines_[at] = parsed.key + L"=" + value;  // the key keeps its spelling
    return;
  }
  // After the section's last line that is not blank, so a blank line before
  // the next section stays where it is.
  size_t after = range.end;
  while (after > range.begin && Trim(lines_[after - 1]).empty()) --after;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after), key + L"=" + value);
}

void IniText::EraseKey(const std::wstring& section, const std::wstring& key) {
  Range range{};
  if (!FindSection(section, &range)) return;
  const size_t at = FindKey(range, key);
  if (at != std::wstring::npos) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
}

bool IniText::EraseSection(const std::wstring& section) {
  Range range{};
  if (!FindSection(section, &range)) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range.header),
               lines_.begin() + static_cast<std::ptrdiff_t>(range.end));
  return true;
}

void IniText::ReplaceSection(const std::wstring& section, const std::vector<std::wstring>& lines) {
  Range range{};
  if (!FindSection(section, &range)) return AppendSection(section, lines);
  // Blank lines that close the section stay, to part it from the next.
  size_t body = range.end;
  while (body > range.begin && Trim(lines_[body - 1]).empty()) --body;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range.begin),
               lines_.begin() + static_cast<std::ptrdiff_t>(body));
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(range.begin), lines.begin(), lines.end());
}

}  // namespace sys
