#include "registry/restore/RegTextDecoder.h"

#include "registry/restore/RegFileReader.h"

namespace registry {
namespace {

// Marked UTF-8 of a line is checked once this much of it waits.
constexpr size_t kPieceBytes = 64 << 10;

bool IsBlank(unsigned c) { return c == ' ' || c == '\t'; }
bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

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
    leads_ = TLeadBytes(codePage_);
  }
  std::string first;
  first.swap(head_);
  Bytes(first.data() + skip, first.size() - skip);
}

void TRegTextDecoder::Feed(const char* bytes, size_t n) {
  if (kind_ == Kind::Unknown) Start(bytes, n, false);
  else Bytes(bytes, n);
}

void TRegTextDecoder::Bytes(const char* bytes, size_t n) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  if (kind_ != Kind::Utf16) {
    for (size_t i = 0; i < n && !bad_; ++i) Byte(b[i]);
    return;
  }
  for (size_t i = 0; i < n && !bad_; ++i) {
    if (odd_ < 0) {
      odd_ = b[i];
      continue;
    }
    Unit(static_cast<unsigned>(odd_) | static_cast<unsigned>(b[i]) << 8);
    odd_ = -1;
  }
}

// ASCII stands for itself in every ANSI code page and in UTF-8. A byte of a
// longer UTF-8 character waits, with the rest of the line, to be checked; a
// double-byte character is packed whole.
void TRegTextDecoder::Byte(unsigned char b) {
  if (LineControl(b) || bad_) return;
  if (lead_ >= 0) {
    AppendPackedPair(line_, static_cast<unsigned char>(lead_), b);
    lead_ = -1;
  } else if (!pending_.empty() || (b >= 0x80 && kind_ == Kind::Utf8)) {
    atStart_ = false;
    pending_ += static_cast<char>(b);
    if (pending_.size() >= kPieceBytes) CheckPending(false);
  } else if (leads_[b]) {
    atStart_ = false;
    lead_ = b;
  } else {
    Char(b);
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
  CheckPending(true);
  // A lead byte last in its line stands alone.
  if (lead_ >= 0) line_->push_back(static_cast<char>(lead_));
  lead_ = -1;
  endLine_();
  atStart_ = true;
  inLine_ = false;
  return true;
}

void TRegTextDecoder::Unit(unsigned unit) {
  if (LineControl(unit) || bad_) return;
  Char(unit);
}

void TRegTextDecoder::Char(unsigned c) {
  if (atStart_ && IsBlank(c)) return;
  atStart_ = false;
  if (kind_ == Kind::Utf16) AppendPackedUnit(line_, static_cast<wchar_t>(c));
  else line_->push_back(static_cast<char>(c));
}

// Where the waiting UTF-8 may be cut with no character split: before the
// last character's first byte. A character has at most three continuation
// bytes, so it is found among the last four bytes or not at all; 0 then.
size_t TRegTextDecoder::Utf8Cut() const {
  const size_t n = pending_.size();
  for (size_t back = 1; back <= 4 && back <= n; ++back)
    if (!IsUtf8Continuation(pending_[n - back])) return n - back;
  return 0;
}

// Marked UTF-8 must be UTF-8 throughout; what is checked joins the line as it is.
void TRegTextDecoder::CheckPending(bool all) {
  if (pending_.empty() || bad_) return;
  const size_t cut = all ? pending_.size() : Utf8Cut();
  if (cut == 0 ||
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pending_.data(), static_cast<int>(cut), nullptr, 0) <= 0) {
    bad_ = true;
    return;
  }
  line_->append(pending_, 0, cut);
  pending_.erase(0, cut);
}

void TRegTextDecoder::Finish() {
  if (kind_ == Kind::Unknown) Start("", 0, true);
  CheckPending(true);
  if (lead_ >= 0 && !bad_) line_->push_back(static_cast<char>(lead_));
  lead_ = -1;
  if (inLine_ && !bad_) endLine_();
  inLine_ = false;
}

}  // namespace registry
