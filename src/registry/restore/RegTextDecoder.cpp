#include "registry/restore/RegTextDecoder.h"

#include "registry/restore/RegEntries.h"
#include "registry/restore/RegFileReader.h"

namespace registry {
namespace {

// 8-bit text of a line is converted once this much of it waits.
constexpr size_t kPieceBytes = 64 << 10;

bool IsBlank(unsigned c) { return c == ' ' || c == '\t'; }

}  // namespace

TRegTextDecoder::TRegTextDecoder(std::string* line, std::function<void()> endLine)
    : line_(line), endLine_(std::move(endLine)) {}

TRegEncoding TRegTextDecoder::Encoding() const {
  return kind_ == Kind::Utf16 ? TRegEncoding::Utf16 : kind_ == Kind::Utf8 ? TRegEncoding::Utf8 : TRegEncoding::Ansi;
}

// The mark decides the encoding; it is not part of the text.
void TRegTextDecoder::Start(const char* bytes, size_t n, bool atEnd) {
  head_.append(bytes, n);
  if (head_.size() < 3 && !atEnd) return;
  size_t skip = 0;
  if (head_.compare(0, 2, "\xFF\xFE") == 0) {
    kind_ = Kind::Utf16;
    skip = 2;
  } else if (head_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    kind_ = Kind::Utf8;
    codePage_ = CP_UTF8;
    skip = 3;
  } else {
    kind_ = Kind::Ansi;
    codePage_ = ::GetACP();
  }
  std::string first;
  first.swap(head_);
  Bytes(first.data() + skip, first.size() - skip);
}

void TRegTextDecoder::Feed(const char* bytes, size_t n) {
  if (kind_ == Kind::Unknown) Start(bytes, n, false);
  else Bytes(bytes, n);
}

void TRegTextDecoder::FeedText(const wchar_t* text, size_t n) {
  if (kind_ == Kind::Unknown) kind_ = Kind::Utf16;
  for (size_t i = 0; i < n && !bad_; ++i) Unit(static_cast<unsigned>(text[i]) & 0xFFFF);
}

void TRegTextDecoder::Bytes(const char* bytes, size_t n) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  if (kind_ == Kind::Utf16) {
    for (size_t i = 0; i < n && !bad_; ++i) {
      if (odd_ < 0) {
        odd_ = b[i];
        continue;
      }
      Unit(static_cast<unsigned>(odd_) | static_cast<unsigned>(b[i]) << 8);
      odd_ = -1;
    }
    return;
  }
  for (size_t i = 0; i < n && !bad_; ++i) {
    // ASCII stands for itself in every ANSI code page and in UTF-8; a byte
    // of a longer character waits for its conversion with the rest of the line.
    if (b[i] < 0x80 && pending_.empty()) {
      Unit(b[i]);
    } else if (!LineControl(b[i])) {
      pending_ += static_cast<char>(b[i]);
      if (pending_.size() >= kPieceBytes) ConvertPending(false);
    }
  }
}

// A NUL, a line end, or anything after a NUL; false for a character of the line.
bool TRegTextDecoder::LineControl(unsigned unit) {
  if (unit == 0) {
    ++nuls_;
    return true;
  }
  // A NUL before the text's end ends a line early for the editor and nowhere else.
  if (nuls_ > 0) bad_ = true;
  if (unit == '\n' && afterCr_) {
    afterCr_ = false;
    return true;
  }
  afterCr_ = unit == '\r';
  if (unit != '\r' && unit != '\n') {
    inLine_ = true;
    return false;
  }
  ConvertPending(true);
  endLine_();
  atStart_ = true;
  inLine_ = false;
  return true;
}

void TRegTextDecoder::Unit(unsigned unit) {
  if (LineControl(unit) || bad_) return;
  if (atStart_ && IsBlank(unit)) return;
  atStart_ = false;
  AppendPackedUnit(line_, static_cast<wchar_t>(unit));
}

// Where the waiting bytes may be cut with no character split: after the last
// whole character.
size_t TRegTextDecoder::SafeCut() const {
  if (codePage_ == CP_UTF8) {
    size_t cut = pending_.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(pending_[cut]) & 0xC0) == 0x80) --cut;
    return cut;
  }
  size_t at = 0;
  while (at < pending_.size()) {
    size_t step = ::IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(pending_[at])) ? 2 : 1;
    if (at + step > pending_.size()) break;
    at += step;
  }
  return at;
}

void TRegTextDecoder::ConvertPending(bool all) {
  if (pending_.empty() || bad_) return;
  const size_t cut = all ? pending_.size() : SafeCut();
  if (cut == 0) return;
  // Marked UTF-8 must be UTF-8 throughout; the ANSI code page takes any byte.
  const DWORD flags = kind_ == Kind::Utf8 ? MB_ERR_INVALID_CHARS : 0;
  int n = ::MultiByteToWideChar(codePage_, flags, pending_.data(), static_cast<int>(cut), nullptr, 0);
  if (n > 0) {
    wide_.resize(static_cast<size_t>(n));
    n = ::MultiByteToWideChar(codePage_, flags, pending_.data(), static_cast<int>(cut), wide_.data(), n);
  }
  if (n <= 0 && kind_ == Kind::Utf8) bad_ = true;
  atStart_ = false;
  for (int i = 0; i < n; ++i) AppendPackedUnit(line_, wide_[static_cast<size_t>(i)]);
  pending_.erase(0, cut);
}

void TRegTextDecoder::Finish() {
  if (kind_ == Kind::Unknown) Start("", 0, true);
  ConvertPending(true);
  if (inLine_ && !bad_) endLine_();
  inLine_ = false;
}

}  // namespace registry
