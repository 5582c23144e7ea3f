#include "registry/restore/RegData.h"

#include <string>
#include <string_view>

namespace registry {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// The bytes of packed text as units: its ASCII is the text's own, and no
// other byte is any of the syntax read here. Enough to follow the syntax of
// a line without converting it.
class TByteUnits {
 public:
  explicit TByteUnits(std::string_view bytes) : bytes_(bytes) {}
  bool Next(wchar_t* c) {
    if (at_ == bytes_.size()) return false;
    *c = static_cast<unsigned char>(bytes_[at_++]);
    return true;
  }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// The units of the data, with room to put two back.
template <class Source>
class TUnits {
 public:
  explicit TUnits(Source& text) : text_(text) {}
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
  Source& text_;
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
template <class Source>
bool ReadQuoted(TUnits<Source>& in, TBytesOut& out) {
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
template <class Source>
bool ReadNumber(TUnits<Source>& in, size_t most, unsigned long long max, unsigned long long* value, size_t* digits) {
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

template <class Source>
bool ReadDword(TUnits<Source>& in, TBytesOut& out) {
  unsigned long long v = 0;
  size_t digits = 0;
  if (!ReadNumber(in, 8, 0xFFFFFFFFull, &v, &digits) || digits == 0 || !in.AtEnd()) return false;
  for (int i = 0; i < 4; ++i) out.Byte(static_cast<BYTE>(v >> (8 * i)));
  return true;
}

// "hex(" N "):", N in hex (no digits is 0), as the editor reads the type;
// a second character "x" (a "0x" prefix) is refused.
template <class Source>
bool ReadHexType(TUnits<Source>& in, DWORD* type) {
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

enum class THexEnd { Fault, End, GoesOn };

// Bytes in hex separated by commas, blanks before each; a comma may end
// the list, and a comment may follow it. Where a byte could stand, a "\"
// with only blanks or a comment after it makes the editor go on reading the
// data in the next line; not as the first thing of such a line, though
// (`backslashFirst` false).
template <class Source, class Bytes>
THexEnd ReadHexBytes(TUnits<Source>& in, bool backslashFirst, Bytes& bytes) {
  for (bool backslash = backslashFirst;; backslash = true) {
    unsigned long long v = 0;
    size_t digits = 0;
    if (!ReadNumber(in, 64, 0xFF, &v, &digits)) return THexEnd::Fault;
    wchar_t c = 0;
    if (digits == 0 && backslash && in.Next(&c)) {
      if (c == L'\\') return in.AtEnd() ? THexEnd::GoesOn : THexEnd::Fault;
      in.Unget(c);
    }
    if (digits == 0) return in.AtEnd() ? THexEnd::End : THexEnd::Fault;
    bytes.Byte(static_cast<BYTE>(v));
    if (!in.Next(&c)) return THexEnd::End;
    if (c != L',') {
      in.Unget(c);
      return in.AtEnd() ? THexEnd::End : THexEnd::Fault;
    }
  }
}

enum class TForm { Fault, Quoted, Dword, Hex };

// How the data starts: quoted text, "dword:", or "hex:" or "hex(N):" with
// its type in *type. The editor takes these words in lower case only.
template <class Source>
TForm ReadForm(TUnits<Source>& in, DWORD* type) {
  wchar_t c = 0;
  if (!in.Next(&c)) return TForm::Fault;
  if (c == L'"') return TForm::Quoted;
  std::wstring word(1, c);
  while (word.size() < 6 && c != L':' && c != L'(' && in.Next(&c)) word += c;
  if (word == L"dword:") return TForm::Dword;
  if (word == L"hex:") {
    *type = REG_BINARY;
    return TForm::Hex;
  }
  return word == L"hex(" && ReadHexType(in, type) ? TForm::Hex : TForm::Fault;
}

struct TNoBytes {
  void Byte(BYTE) {}
};

}  // namespace

bool ReadRegData(TPackedUnits& text, bool unicodeFile, DWORD* type, TRegDataSink& sink) {
  TUnits<TPackedUnits> in(text);
  TBytesOut out(sink);
  switch (ReadForm(in, type)) {
    case TForm::Quoted:
      *type = REG_SZ;
      return ReadQuoted(in, out);
    case TForm::Dword:
      *type = REG_DWORD;
      return ReadDword(in, out);
    case TForm::Hex:
      break;
    default:
      return false;
  }
  THexBytes bytes(*type, unicodeFile, out);
  // The data comes with its lines joined: a "\" left in it is one the
  // editor did not go on from.
  if (ReadHexBytes(in, true, bytes) != THexEnd::End) return false;
  bytes.Finish();
  return true;
}

size_t HexGoesOnAt(std::string_view packed, bool valueLine) {
  TByteUnits units(packed);
  TUnits<TByteUnits> in(units);
  DWORD type = 0;
  if (valueLine && ReadForm(in, &type) != TForm::Hex) return std::string_view::npos;
  TNoBytes none;
  if (ReadHexBytes(in, valueLine, none) != THexEnd::GoesOn) return std::string_view::npos;
  // Nothing before it is a backslash: only the data's form and its bytes.
  return packed.find('\\');
}

}  // namespace registry
