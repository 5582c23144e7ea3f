#include "registry/restore/RegFileReader.h"

#include <algorithm>
#include <new>

#include "core/guard/RegistryGuard.h"
#include "sys/Text.h"

namespace registry {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring TrimLeft(const std::wstring& s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::wstring TrimRight(std::wstring s) {
  while (!s.empty() && IsBlank(s.back())) s.pop_back();
  return s;
}

std::wstring Trim(const std::wstring& s) { return TrimRight(TrimLeft(s)); }

bool StartsWithBytes(const std::string& b, const char* mark, size_t n) {
  return b.size() >= n && b.compare(0, n, mark) == 0;
}

std::wstring FromUtf16Le(const std::string& bytes) {
  std::wstring text(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return text;
}

// False for bytes that are no UTF-8.
bool FromUtf8Strict(const std::string& bytes, std::wstring* text) {
  text->clear();
  if (bytes.empty()) return true;
  const int size = static_cast<int>(bytes.size());
  int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (n <= 0) return false;
  text->assign(static_cast<size_t>(n), L'\0');
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, &(*text)[0], n) == n;
}

// Hands each line of text[0, end) to `take`: CR LF, LF and CR each end one.
// Works on bytes and on UTF-16 text alike.
template <class Text, class Take>
void SplitLines(const Text& text, size_t end, Take take) {
  size_t start = 0;
  for (size_t i = 0; i < end; ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    take(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < end && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < end) take(text.substr(start, end - start));
}

// Where the text ends, NULs at its very end being padding; 0 for text with a
// NUL inside, which ends a line early for the editor and nowhere else, so
// such a file is not read at all (`*bad`).
template <class Text>
size_t TextEnd(const Text& text, bool* bad) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == 0) --end;
  *bad = text.find(typename Text::value_type(0)) < end;
  return *bad ? 0 : end;
}

// The lines of the file in the encoding its mark names (8-bit ANSI without
// one); false for bytes that are no text of that encoding. 8-bit text is split
// into lines on its bytes and only then converted, line by line, from the
// ANSI code page, as the editor does: under a double-byte code page a lead
// byte at a line's end would otherwise swallow the line end and join the next
// line to a comment.
bool DecodeLines(const std::string& bytes, std::vector<std::wstring>* lines, TRegEncoding* encoding) {
  *encoding = StartsWithBytes(bytes, "\xFF\xFE", 2)       ? TRegEncoding::Utf16
              : StartsWithBytes(bytes, "\xEF\xBB\xBF", 3) ? TRegEncoding::Utf8
                                                          : TRegEncoding::Ansi;
  bool bad = false;
  if (*encoding == TRegEncoding::Ansi) {
    SplitLines(bytes, TextEnd(bytes, &bad), [lines](const std::string& line) { lines->push_back(sys::FromAnsi(line)); });
    return !bad;
  }
  std::wstring text;
  if (*encoding == TRegEncoding::Utf16) text = FromUtf16Le(bytes.substr(2));
  else if (!FromUtf8Strict(bytes.substr(3), &text)) return false;
  SplitLines(text, TextEnd(text, &bad), [lines](std::wstring line) { lines->push_back(std::move(line)); });
  return !bad;
}

bool IsSignature(const std::wstring& line) {
  const std::wstring t = Trim(line);
  return t == L"REGEDIT4" || t == L"Windows Registry Editor Version 5.00";
}

bool StartsValue(const std::wstring& logical) {
  return !logical.empty() && (logical[0] == L'"' || logical[0] == L'@');
}

// "[" blanks "-"? key "]": the key up to the last "]" (or the line's end).
void ParseHeader(const std::wstring& logical, TRegEntry* e) {
  std::wstring rest = TrimLeft(logical.substr(1));
  e->IsKey = true;
  e->Deletes = !rest.empty() && rest[0] == L'-';
  if (e->Deletes) rest = TrimLeft(rest.substr(1));
  size_t close = rest.rfind(L']');
  e->Key = TrimRight(close == std::wstring::npos ? rest : rest.substr(0, close));
}

// A quoted name from `s[1]` on; `end` is set after its closing quote. A
// backslash takes the next character into the name.
bool ParseQuotedName(const std::wstring& s, std::wstring* name, size_t* end) {
  size_t i = 1;
  while (i < s.size() && s[i] != L'"') {
    if (s[i] == L'\\' && i + 1 < s.size()) {
      if (s[i + 1] != L'\\' && s[i + 1] != L'"') *name += L'\\';
      *name += s[i + 1];
      i += 2;
    } else {
      *name += s[i++];
    }
  }
  *end = i + 1;
  return i < s.size();
}

// "@" or a quoted name, blanks, "=", blanks, the data.
bool ParseValue(const std::wstring& logical, TRegEntry* e) {
  size_t at = 1;
  if (logical[0] == L'"' && !ParseQuotedName(logical, &e->Name, &at)) return false;
  while (at < logical.size() && IsBlank(logical[at])) ++at;
  if (at >= logical.size() || logical[at] != L'=') return false;
  e->Data = Trim(logical.substr(at + 1));
  // Only "-" deletes; no data form starts with one, so any such line is read as a delete.
  e->Deletes = !e->Data.empty() && e->Data[0] == L'-';
  return true;
}

// One logical line (leading blanks removed) as an entry; false for blank,
// comment and unknown lines.
bool ParseEntry(const std::wstring& logical, TRegEntry* e) {
  if (logical.empty()) return false;
  if (logical[0] == L'[') {
    ParseHeader(logical, e);
    return true;
  }
  return StartsValue(logical) && ParseValue(logical, e);
}

// A line judged alone: a deleting header or value, or any value-like line
// that ends in "=" and "-" however its name reads.
bool PhysicalLineDeletes(const std::wstring& line) {
  TRegEntry e;
  const std::wstring t = Trim(line);
  if (ParseEntry(t, &e) && e.Deletes) return true;
  size_t eq = t.rfind(L'=');
  return StartsValue(t) && eq != std::wstring::npos && Trim(t.substr(eq + 1)) == L"-";
}

// Whether the logical line goes on in the next one; if so its trailing "\"
// is removed. Works at the end only, so that long continued data costs time
// in step with its length.
bool ContinuesNext(std::wstring* logical) {
  while (!logical->empty() && IsBlank(logical->back())) logical->pop_back();
  if (logical->empty() || logical->back() != L'\\') return false;
  logical->pop_back();
  return true;
}

const struct {
  const wchar_t* name;
  HKEY root;
} kShortRoots[] = {{L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKCU", HKEY_CURRENT_USER}, {L"HKCR", HKEY_CLASSES_ROOT},
                   {L"HKU", HKEY_USERS},          {L"HKCC", HKEY_CURRENT_CONFIG}};

HKEY RootFromName(const std::wstring& name) {
  for (const auto& r : kShortRoots)
    if (::CompareStringOrdinal(name.c_str(), -1, r.name, -1, TRUE) == CSTR_EQUAL) return r.root;
  return core::guard::RootKeyFromName(name);
}

TRegFile ParseRegLines(const std::vector<std::wstring>& lines) {
  TRegFile f;
  f.Decoded = true;
  f.KnownSignature = !lines.empty() && IsSignature(lines[0]);
  std::wstring section;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int first = static_cast<int>(i) + 1;
    if (PhysicalLineDeletes(lines[i])) f.DeletingLines.push_back(first);
    std::wstring logical = TrimLeft(lines[i]);
    while (StartsValue(logical) && i + 1 < lines.size() && ContinuesNext(&logical)) {
      ++i;
      if (PhysicalLineDeletes(lines[i])) f.DeletingLines.push_back(static_cast<int>(i) + 1);
      logical += TrimLeft(lines[i]);
    }
    TRegEntry e;
    e.Line = first;
    if (!ParseEntry(logical, &e)) continue;
    if (e.IsKey) section = e.Key;
    else e.Key = section;
    if (e.Deletes) f.DeletingLines.push_back(first);
    f.Entries.push_back(std::move(e));
  }
  std::sort(f.DeletingLines.begin(), f.DeletingLines.end());
  f.DeletingLines.erase(std::unique(f.DeletingLines.begin(), f.DeletingLines.end()), f.DeletingLines.end());
  return f;
}

}  // namespace

TRegFile ParseRegText(const std::wstring& text) {
  std::vector<std::wstring> lines;
  SplitLines(text, text.size(), [&lines](std::wstring line) { lines.push_back(std::move(line)); });
  return ParseRegLines(lines);
}

TRegFile ParseRegBytes(const std::string& bytes) {
  try {
    std::vector<std::wstring> lines;
    TRegEncoding encoding = TRegEncoding::Ansi;
    if (!DecodeLines(bytes, &lines, &encoding)) return {};
    TRegFile f = ParseRegLines(lines);
    f.Encoding = encoding;
    return f;
  } catch (const std::bad_alloc&) {
    // Below the size limit a file of very many tiny entries can still need
    // more memory than the 32-bit program has: it is refused as too large.
    TRegFile f;
    f.TooLarge = true;
    return f;
  }
}

TRegRead ReadRegFileBytes(const std::wstring& file, std::string* bytes, HANDLE* keepOpen) {
  // Shared for reading only: while the handle is kept, nobody can change the file.
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return TRegRead::Unreadable;
  LARGE_INTEGER size{};
  TRegRead result = ::GetFileSizeEx(h, &size) ? TRegRead::Read : TRegRead::Unreadable;
  if (result == TRegRead::Read && size.QuadPart > kMaxRegFileBytes) result = TRegRead::TooLarge;
  if (result == TRegRead::Read) {
    try {
      bytes->resize(static_cast<size_t>(size.QuadPart));
      DWORD got = 0;
      if (!bytes->empty() &&
          !(::ReadFile(h, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &got, nullptr) && got == bytes->size()))
        result = TRegRead::Unreadable;
    } catch (const std::bad_alloc&) {
      result = TRegRead::TooLarge;
    }
  }
  if (result == TRegRead::Read && keepOpen != nullptr) *keepOpen = h;
  else ::CloseHandle(h);
  return result;
}

bool SplitRegKeyPath(const std::wstring& key, HKEY* root, std::wstring* subKey) {
  size_t slash = key.find(L'\\');
  *root = RootFromName(key.substr(0, slash));
  *subKey = slash == std::wstring::npos ? std::wstring() : key.substr(slash + 1);
  return *root != nullptr;
}

std::wstring CanonicalRegData(const std::wstring& data) {
  if (!data.empty() && data[0] == L'"') return data;
  std::wstring out;
  for (wchar_t c : data) {
    if (IsBlank(c)) continue;
    out += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
  }
  return out;
}

}  // namespace registry
