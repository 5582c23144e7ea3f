#include "registry/restore/RegEntries.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace registry {
namespace {

constexpr unsigned kIsKey = 1, kDeletes = 2;
constexpr size_t kBlockBits = 20;
constexpr size_t kBlockBytes = size_t(1) << kBlockBits;
// A record larger than this gets a block of its own, so that little of a
// block is left unused.
constexpr size_t kOwnBlockBytes = 64 << 10;
constexpr size_t kMaxBlocks = size_t(1) << (32 - kBlockBits);
constexpr size_t kMarkEvery = 64;
constexpr uint32_t kNoSection = UINT32_MAX;

size_t VarintSize(uint64_t v) {
  size_t n = 1;
  while (v >= 0x80) {
    v >>= 7;
    ++n;
  }
  return n;
}

char* PutVarint(char* p, uint64_t v) {
  while (v >= 0x80) {
    *p++ = static_cast<char>(0x80 | (v & 0x7F));
    v >>= 7;
  }
  *p++ = static_cast<char>(v);
  return p;
}

const char* GetVarint(const char* p, uint64_t* v) {
  *v = 0;
  for (int shift = 0;; shift += 7) {
    unsigned char b = static_cast<unsigned char>(*p++);
    *v |= uint64_t(b & 0x7F) << shift;
    if (b < 0x80) return p;
  }
}

char* PutText(char* p, std::string_view text) {
  p = PutVarint(p, text.size());
  if (!text.empty()) std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

const char* GetText(const char* p, std::string_view* text) {
  uint64_t n = 0;
  p = GetVarint(p, &n);
  *text = std::string_view(p, static_cast<size_t>(n));
  return p + n;
}

}  // namespace

TLeadBytes::TLeadBytes(UINT codePage) {
  if (codePage == kPackedUnits) return;
  for (unsigned b = 0x80; b < 0x100; ++b) lead_[b] = ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)) != FALSE;
}

void AppendPackedUnit(std::string* out, wchar_t unit) {
  unsigned u = static_cast<unsigned>(unit) & 0xFFFF;
  if (u < 0x80) {
    out->push_back(static_cast<char>(u));
  } else if (u < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (u >> 6)));
    out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (u >> 12)));
    out->push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
  }
}

// A trail byte from 0xC0 up stands for itself; a lower one (below 0x80 it
// could read as syntax) becomes two bytes from 0x80 up.
void AppendPackedPair(std::string* out, unsigned char lead, unsigned char trail) {
  out->push_back(static_cast<char>(lead));
  if (trail >= 0xC0) {
    out->push_back(static_cast<char>(trail));
  } else {
    out->push_back(static_cast<char>(0x80 | (trail >> 6)));
    out->push_back(static_cast<char>(0x80 | (trail & 0x3F)));
  }
}

TPackedUnits::TPackedUnits(std::string_view packed, UINT codePage, const TLeadBytes& leads)
    : rest_(packed), codePage_(codePage), leads_(leads) {}

// Moves the file's bytes of whole characters from rest_ into raw_, every
// trail byte as it was; their number.
size_t TPackedUnits::TakeRaw() {
  size_t n = 0, i = 0;
  const bool utf8 = codePage_ == CP_UTF8;
  while (i < rest_.size() && n < kPiece) {
    unsigned char b = static_cast<unsigned char>(rest_[i]);
    // A piece ends before a character's first byte, never inside it: each
    // starts with room for the longest.
    if ((!utf8 || (b & 0xC0) != 0x80) && n + 4 > kPiece) break;
    raw_[n++] = static_cast<char>(b);
    ++i;
    // A lead byte at the end is the last of its line, alone.
    if (!leads_[b] || i >= rest_.size()) continue;
    unsigned t = static_cast<unsigned char>(rest_[i++]);
    if (t < 0xC0 && i < rest_.size()) t = (t & 0x3F) << 6 | (static_cast<unsigned char>(rest_[i++]) & 0x3F);
    raw_[n++] = static_cast<char>(t);
  }
  rest_.remove_prefix(i);
  return n;
}

bool TPackedUnits::Refill() {
  at_ = count_ = 0;
  while (count_ == 0 && !rest_.empty()) {
    if (codePage_ != kPackedUnits) {
      const size_t n = TakeRaw();
      // No code page makes more units than bytes.
      const int got = ::MultiByteToWideChar(codePage_, 0, raw_, static_cast<int>(n), units_, static_cast<int>(kPiece));
      count_ = got > 0 ? static_cast<size_t>(got) : 0;
      continue;
    }
    size_t i = 0;
    auto next = [&](size_t k) { return i + k < rest_.size() ? static_cast<unsigned char>(rest_[i + k]) & 0x3Fu : 0u; };
    while (i < rest_.size() && count_ < kPiece) {
      unsigned b = static_cast<unsigned char>(rest_[i]);
      if (b < 0x80) {
        units_[count_++] = static_cast<wchar_t>(b);
        i += 1;
      } else if (b < 0xE0) {
        units_[count_++] = static_cast<wchar_t>((b & 0x1F) << 6 | next(1));
        i += 2;
      } else {
        units_[count_++] = static_cast<wchar_t>((b & 0x0F) << 12 | next(1) << 6 | next(2));
        i += 3;
      }
    }
    rest_.remove_prefix(std::min(i, rest_.size()));
  }
  return count_ > 0;
}

std::wstring UnpackText(std::string_view packed, UINT codePage, const TLeadBytes& leads) {
  TPackedUnits units(packed, codePage, leads);
  std::wstring text;
  for (wchar_t u; units.Next(&u);) text += u;
  return text;
}

bool TRegUnescape::Put(wchar_t unit, wchar_t* out) {
  escaped_ = pending_;
  if (!pending_) {
    pending_ = unit == L'\\';
    *out = unit;
    return !pending_;
  }
  pending_ = false;
  if (unit == L'0') valid_ = false;
  *out = unit == L'n' ? L'\n' : unit == L'r' ? L'\r' : unit;
  return true;
}

void TRegEntries::SetCodePage(UINT codePage) {
  codePage_ = codePage;
  leads_ = TLeadBytes(codePage);
}

std::wstring TRegEntries::Text(std::string_view packed) const { return UnpackText(packed, codePage_, leads_); }

char* TRegEntries::Room(size_t bytes, uint32_t* at) {
  const bool own = bytes > kOwnBlockBytes;
  if (own || current_ == SIZE_MAX || used_ + bytes > kBlockBytes) {
    if (blocks_.size() >= kMaxBlocks) throw std::bad_alloc();
    blocks_.push_back(std::unique_ptr<char[]>(new char[own ? bytes : kBlockBytes]));
    if (own) {
      *at = static_cast<uint32_t>((blocks_.size() - 1) << kBlockBits);
      return blocks_.back().get();
    }
    current_ = blocks_.size() - 1;
    used_ = 0;
  }
  *at = static_cast<uint32_t>(current_ << kBlockBits | used_);
  char* p = blocks_[current_].get() + used_;
  used_ += bytes;
  return p;
}

void TRegEntries::Add(int line, unsigned flags, std::string_view first, std::string_view second, bool hasSecond) {
  const size_t index = offsets_.size();
  // Every entry takes a line of its own, after the one before it, so the
  // line is stored as its distance from that one: one byte, but after a gap.
  const uint64_t head = (uint64_t(line - last_.Line) - 1) << 2 | flags;
  size_t bytes = VarintSize(head) + VarintSize(first.size()) + first.size();
  if (hasSecond) bytes += VarintSize(second.size()) + second.size();
  uint32_t at = 0;
  char* p = Room(bytes, &at);
  p = PutText(PutVarint(p, head), first);
  if (hasSecond) PutText(p, second);
  if (flags & kIsKey) last_.Section = index;
  last_.Line = line;
  if (index % kMarkEvery == 0)
    marks_.push_back({last_.Section == SIZE_MAX ? kNoSection : static_cast<uint32_t>(last_.Section), line});
  offsets_.push_back(at);
}

void TRegEntries::AddKey(int line, bool deletes, std::string_view key) {
  Add(line, kIsKey | (deletes ? kDeletes : 0), key, {}, false);
}

void TRegEntries::AddValue(int line, bool deletes, std::string_view name, std::string_view data) {
  Add(line, deletes ? kDeletes : 0, name, data, true);
}

const char* TRegEntries::At(size_t i) const {
  const uint32_t at = offsets_[i];
  return blocks_[at >> kBlockBits].get() + (at & (kBlockBytes - 1));
}

TRegEntries::TRecord TRegEntries::Record(size_t i) const {
  uint64_t head = 0;
  const char* p = GetVarint(At(i), &head);
  TRecord r{(head & kIsKey) != 0, (head & kDeletes) != 0, {}, {}};
  p = GetText(p, &r.First);
  if (!r.IsKey) GetText(p, &r.Second);
  return r;
}

void TRegEntries::Step(size_t i, TPlace* place) const {
  uint64_t head = 0;
  GetVarint(At(i), &head);
  place->Line += static_cast<int>(head >> 2) + 1;
  if (head & kIsKey) place->Section = i;
}

TRegEntries::TPlace TRegEntries::PlaceOf(size_t i) const {
  const size_t mark = i / kMarkEvery;
  TPlace place{marks_[mark].Section == kNoSection ? SIZE_MAX : marks_[mark].Section, marks_[mark].Line};
  for (size_t j = mark * kMarkEvery + 1; j <= i; ++j) Step(j, &place);
  return place;
}

TRegEntry TRegEntries::operator[](size_t i) const {
  const TPlace place = PlaceOf(i);
  const TRecord r = Record(i);
  TRegEntry e;
  e.Line = place.Line;
  e.IsKey = r.IsKey;
  e.Deletes = r.Deletes;
  if (place.Section != SIZE_MAX) e.Key = Text(Record(place.Section).First);
  if (!r.IsKey) {
    TPackedUnits name(r.First, codePage_, leads_);
    TRegUnescape unescape;
    for (wchar_t u, c; name.Next(&u);)
      if (unescape.Put(u, &c)) e.Name += c;
    e.Data = Text(r.Second);
  }
  return e;
}

}  // namespace registry
