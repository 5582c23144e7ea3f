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
// `leads` are those of `codePage`.
std::wstring UnpackText(std::string_view packed, UINT codePage, const TLeadBytes& leads);

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

  // Where an entry stands: its line and its section's header (SIZE_MAX:
  // before any header).
  struct TPlace {
    size_t Section = SIZE_MAX;
    int Line = 0;
  };

  // Walks the entries in order, unpacking each section's key once.
  class const_iterator {
   public:
    const_iterator(const TRegEntries* owner, size_t at);
    TRegEntry operator*() const;
    const_iterator& operator++();
    bool operator!=(const const_iterator& o) const { return at_ != o.at_; }

   private:
    const TRegEntries* owner_;
    size_t at_;
    TPlace place_;                     // of the entry at at_
    mutable size_t keyOf_ = SIZE_MAX;  // the header whose key is in key_
    mutable std::wstring key_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

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
  TRegEntry Unpack(size_t i, const TPlace& place, size_t* keyOf, std::wstring* key) const;

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
