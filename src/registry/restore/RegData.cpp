#include "registry/restore/RegData.h"

#include <string>

namespace registry {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// The units of the data, with room to put two back.
class TUnits {
 public:
  explicit TUnits(TPackedUnits& text) : text_(text) {}
  bool Next(wchar_t* c) {
    if (back_ == 0) return text_.Next(c);
    *c = put_[--back_];
    return true;
  }
  void Unget(wchar_t c) { put_[back_++] = c; }
  // Skips blanks; the next unit, 0 at the end.
  wchar_t SkipBlanks() {
    wchar_t c = 0;
    while (Next(&c))
      if (!IsBlank(c)) return c;
    return 0;
  }
  // After the data only blanks and a comment may follow.
  bool AtEnd() {
    wchar_t c = SkipBlanks();
    return c == 0 || c == L';';
  }

 private:
  TPackedUnits& text_;
  wchar_t put_[2] = {};
  int back_ = 0;
};

// Gathers bytes into pieces for the sink.
class TBytesOut {
 public:
  explicit TBytesOut(TRegDataSink& sink) : sink_(sink) {}
  ~TBytesOut() { Flush(); }
  void Byte(BYTE b) {
    if (n_ == sizeof(buf_)) Flush();
    buf_[n_++] = b;
  }
  void Unit(wchar_t u) {
    Byte(static_cast<BYTE>(u & 0xFF));
    Byte(static_cast<BYTE>(u >> 8));
  }
  void Flush() {
    if (n_ > 0) sink_.Put(buf_, n_);
    n_ = 0;
  }

 private:
  TRegDataSink& sink_;
  BYTE buf_[4096];
  size_t n_ = 0;
};

// Text up to its closing quote, unescaped, and the NUL the editor ends it with.
bool ReadQuoted(TUnits& in, TBytesOut& out) {
  TRegUnescape unescape;
  for (wchar_t u, c; in.Next(&u);) {
    if (!unescape.Put(u, &c)) continue;
    if (c == L'"' && !unescape.Escaped()) {
      out.Unit(L'\0');
      return unescape.Valid() && in.AtEnd();
    }
    out.Unit(c);
  }
  return false;
}

// A number in hex after blanks, up to `most` digits and at most `max`;
// `*digits` tells how many it had. False when it is too long or too large.
bool ReadNumber(TUnits& in, size_t most, unsigned long long max, unsigned long long* value, size_t* digits) {
  *value = 0;
  *digits = 0;
  wchar_t c = in.SkipBlanks();
  while (c != 0) {
    const int d = HexDigit(c);
    if (d < 0) {
      in.Unget(c);
      break;
    }
    if (++*digits > most) return false;
    *value = *value << 4 | static_cast<unsigned>(d);
    if (*value > max) return false;
    if (!in.Next(&c)) break;
  }
  return true;
}

bool ReadDword(TUnits& in, TBytesOut& out) {
  unsigned long long v = 0;
  size_t digits = 0;
  if (!ReadNumber(in, 8, 0xFFFFFFFFull, &v, &digits) || digits == 0 || !in.AtEnd()) return false;
  for (int i = 0; i < 4; ++i) out.Byte(static_cast<BYTE>(v >> (8 * i)));
  return true;
}

// "hex(" N "):", N in hex (no digits is 0), as the editor reads the type;
// a second character "x" (a "0x" prefix) is refused.
bool ReadHexType(TUnits& in, DWORD* type) {
  wchar_t first = 0, second = 0, c = 0;
  if (!in.Next(&first)) return false;
  if (in.Next(&second)) {
    if (second == L'x' || second == L'X') return false;
    in.Unget(second);
  }
  in.Unget(first);
  unsigned long long n = 0;
  size_t digits = 0;
  if (!ReadNumber(in, 64, 0xFFFFFFFFull, &n, &digits) || !in.Next(&c) || c != L')' || !in.Next(&c) || c != L':')
    return false;
  *type = static_cast<DWORD>(n);
  return true;
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The bytes of hex data, as text types become in the registry.
class THexBytes {
 public:
  THexBytes(DWORD type, bool unicodeFile, TBytesOut& out)
      : text_(IsTextType(type)), ansi_(text_ && !unicodeFile), out_(out) {}
  void Byte(BYTE b) {
    last_[0] = last_[1];
    last_[1] = b;
    ++size_;
    if (ansi_) ansiBytes_ += static_cast<char>(b);
    else out_.Byte(b);
  }
  // The editor ends text that lacks its NUL with one; an ANSI file's text
  // is then converted from the ANSI code page.
  void Finish() {
    if (!text_ || size_ == 0) return;
    if (!ansi_) {
      if (last_[0] != 0 || last_[1] != 0 || size_ < 2) out_.Unit(L'\0');
      return;
    }
    if (ansiBytes_.back() != '\0') ansiBytes_ += '\0';
    const int size = static_cast<int>(ansiBytes_.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansiBytes_.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, ansiBytes_.data(), size, &wide[0], n);
    for (wchar_t u : wide) out_.Unit(u);
  }

 private:
  bool text_, ansi_;
  TBytesOut& out_;
  BYTE last_[2] = {0, 0};
  size_t size_ = 0;
  std::string ansiBytes_;
};

// Bytes in hex separated by commas, blanks before each; a comma may end
// the list, and a comment may follow it.
bool ReadHexBytes(TUnits& in, THexBytes& bytes) {
  for (;;) {
    unsigned long long v = 0;
    size_t digits = 0;
    if (!ReadNumber(in, 64, 0xFF, &v, &digits)) return false;
    if (digits == 0) return in.AtEnd();
    bytes.Byte(static_cast<BYTE>(v));
    wchar_t c = 0;
    if (!in.Next(&c)) return true;
    if (c != L',') {
      in.Unget(c);
      return in.AtEnd();
    }
    if (!in.Next(&c)) return true;
    in.Unget(c);
  }
}

}  // namespace

bool ReadRegData(TPackedUnits& text, bool unicodeFile, DWORD* type, TRegDataSink& sink) {
  TUnits in(text);
  TBytesOut out(sink);
  wchar_t c = 0;
  if (!in.Next(&c)) return false;
  if (c == L'"') {
    *type = REG_SZ;
    return ReadQuoted(in, out);
  }
  std::wstring word(1, c);
  while (word.size() < 6 && c != L':' && c != L'(' && in.Next(&c)) word += c;
  if (word == L"dword:") {
    *type = REG_DWORD;
    return ReadDword(in, out);
  }
  if (word == L"hex(" && !ReadHexType(in, type)) return false;
  if (word == L"hex:") *type = REG_BINARY;
  else if (word != L"hex(") return false;
  THexBytes bytes(*type, unicodeFile, out);
  if (!ReadHexBytes(in, bytes)) return false;
  bytes.Finish();
  return true;
}

}  // namespace registry
