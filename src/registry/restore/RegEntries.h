// The entries of a .reg file, packed: a file of millions of tiny values must
// fit in a few times its own size. Each entry is one record in large shared
// blocks, its text kept in a compact 8-bit form (below); a value does not
// carry its section's key but finds the header before it. An entry is
// unpacked into a TRegEntry only when it is asked for.
#pragma once
#include <windows.h>

#include <bitset>
#include <cstdint>
#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace registry {

struct TRegEntry {
  int Line = 0;           // 1-based line where the entry starts
  bool IsKey = false;     // a "[...]" header; otherwise a value line
  bool Deletes = false;   // "[-key]", or a value whose data is "-"
  std::wstring Key;       // header: the key as written; value: its section's key
  std::wstring Name;      // value name, unescaped; empty for the default value "@"
  std::wstring Data;      // value data after "=", continuations joined, blanks trimmed
};

// Packed text: every byte below 0x80 is its own ASCII character, and no byte
// of a longer character is below 0x80, so the .reg syntax reads the same in
// it as in the text. It comes in one of two forms, chosen per file:
// - the file's own bytes, for 8-bit text (a code page, CP_UTF8 included): no
//   text grows, and it reads back through the code page as the editor reads
//   it. Only a double-byte character is changed: its lead byte is kept and
//   its trail byte, which may be below 0x80, escaped (AppendPackedPair).
// - UTF-16 units (kPackedUnits), each as 1 to 3 bytes, below 0x80 as itself.
constexpr UINT kPackedUnits = 1200;  // the code page number of UTF-16

// The lead bytes of a double-byte code page; none for any other.
class TLeadBytes {
 public:
  explicit TLeadBytes(UINT codePage = kPackedUnits);
  bool operator[](unsigned char b) const { return lead_[b]; }
  bool Any() const { return lead_.any(); }

 private:
  std::bitset<256> lead_;
};

void AppendPackedUnit(std::string* out, wchar_t unit);
void AppendPackedPair(std::string* out, unsigned char lead, unsigned char trail);

// The UTF-16 units of packed text, one by one, converted a small piece at a
// time: data of any length is read without a copy of it. `leads` are those
// of `codePage` and must outlive the reader.
class TPackedUnits {
 public:
  TPackedUnits(std::string_view packed, UINT codePage, const TLeadBytes& leads);
  TPackedUnits(const TPackedUnits&) = delete;
  TPackedUnits& operator=(const TPackedUnits&) = delete;
  // False at the end of the text.
  bool Next(wchar_t* unit) {
    if (at_ == count_ && !Refill()) return false;
    *unit = units_[at_++];
    return true;
  }

 private:
  static constexpr size_t kPiece = 4096;
  bool Refill();
  size_t TakeRaw();

  std::string_view rest_;
  UINT codePage_;
  const TLeadBytes& leads_;
  size_t at_ = 0, count_ = 0;
  char raw_[kPiece];
  wchar_t units_[kPiece];
};

std::wstring UnpackText(std::string_view packed, UINT codePage, const TLeadBytes& leads);

// A name or quoted text as the registry editor unescapes it: "\\" and "\""
// stand for themselves, "\n" and "\r" for a line feed and a carriage return,
// a backslash before any other character is dropped; "\0" and a backslash
// at the end make the line one the editor does not import.
class TRegUnescape {
 public:
  // The character for `unit`, in *out; false while it is only a backslash.
  bool Put(wchar_t unit, wchar_t* out);
  // The last character came from an escape.
  bool Escaped() const { return escaped_; }
  bool Valid() const { return valid_ && !pending_; }

 private:
  bool pending_ = false, escaped_ = false, valid_ = true;
};

class TRegEntries {
 public:
  TRegEntries() = default;
  TRegEntries(TRegEntries&&) = default;
  TRegEntries& operator=(TRegEntries&&) = default;

  // The form of the packed text (kPackedUnits or the file's code page).
  void SetCodePage(UINT codePage);

  // `key`, `name` and `data` in the packed form; `name` as written between
  // its quotes, escapes kept. Entries come in line order.
  void AddKey(int line, bool deletes, std::string_view key);
  void AddValue(int line, bool deletes, std::string_view name, std::string_view data);

  size_t size() const { return offsets_.size(); }
  bool empty() const { return offsets_.empty(); }
  TRegEntry operator[](size_t i) const;
  UINT CodePage() const { return codePage_; }
  const TLeadBytes& Leads() const { return leads_; }

  // Where an entry stands: its line and its section's header (SIZE_MAX:
  // before any header).
  struct TPlace {
    size_t Section = SIZE_MAX;
    int Line = 0;
  };

  // An entry as it is stored: its texts still packed, a value's name with
  // its escapes.
  struct TRaw {
    int Line;
    bool IsKey, Deletes;
    std::string_view First, Second;  // key, or name and data
  };
  // A header's key as it is stored, packed.
  std::string_view PackedKey(size_t i) const { return Record(i).First; }
  // Calls `visit` for each entry in order, unpacking nothing.
  template <class Visit>
  void Walk(Visit&& visit) const {
    TPlace place;
    for (size_t i = 0; i < size(); ++i) {
      Step(i, &place);
      const TRecord r = Record(i);
      visit(TRaw{place.Line, r.IsKey, r.Deletes, r.First, r.Second});
    }
  }

 private:
  struct TRecord {
    bool IsKey, Deletes;
    std::string_view First, Second;  // key, or name and data
  };
  struct TMark {
    uint32_t Section;  // UINT32_MAX before any header
    int Line;
  };
  void Add(int line, unsigned flags, std::string_view first, std::string_view second, bool hasSecond);
  char* Room(size_t bytes, uint32_t* at);
  const char* At(size_t i) const;
  TRecord Record(size_t i) const;
  void Step(size_t i, TPlace* place) const;  // from entry i - 1 to entry i
  TPlace PlaceOf(size_t i) const;
  std::wstring Text(std::string_view packed) const;

  UINT codePage_ = kPackedUnits;
  TLeadBytes leads_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t current_ = SIZE_MAX;        // the block being filled
  size_t used_ = 0;                  // bytes taken in it
  std::deque<uint32_t> offsets_;     // block number << 20 | offset in it
  // The place of every kMarkEvery-th entry: a record holds only its distance
  // from the entry before it, and a header costs no more than a value.
  std::deque<TMark> marks_;
  TPlace last_;                      // of the last entry added
};

}  // namespace registry
