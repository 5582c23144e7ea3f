// The entries of a .reg file, packed: a file of millions of tiny values must
// fit in a few times its own size. Each entry is one record in large shared
// blocks, its text kept in a compact 8-bit form of its UTF-16 units (ASCII as
// itself); a value does not carry its section's key but finds the header
// before it. An entry is unpacked into a TRegEntry only when it is asked for.
#pragma once
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

// Text in the packed form: each UTF-16 unit as 1 to 3 bytes, below 0x80 as
// itself, so that every byte of the .reg syntax stands for its own character
// and no byte of a longer unit is below 0x80.
void AppendPackedUnit(std::string* out, wchar_t unit);
std::wstring UnpackText(std::string_view packed);

class TRegEntries {
 public:
  TRegEntries() = default;
  TRegEntries(TRegEntries&&) = default;
  TRegEntries& operator=(TRegEntries&&) = default;

  // `key`, `name` and `data` in the packed form. Entries come in line order.
  void AddKey(int line, bool deletes, std::string_view key);
  void AddValue(int line, bool deletes, std::string_view name, std::string_view data);

  size_t size() const { return offsets_.size(); }
  bool empty() const { return offsets_.empty(); }
  TRegEntry operator[](size_t i) const;

  // Walks the entries in order, unpacking each section's key once.
  class const_iterator {
   public:
    const_iterator(const TRegEntries* owner, size_t at) : owner_(owner), at_(at) {}
    TRegEntry operator*() const;
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator!=(const const_iterator& o) const { return at_ != o.at_; }

   private:
    const TRegEntries* owner_;
    size_t at_;
    mutable size_t keyOf_ = SIZE_MAX;  // the header whose key is in key_
    mutable std::wstring key_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

 private:
  struct TRecord {
    int Line;
    bool IsKey, Deletes;
    std::string_view First, Second;  // key, or name and data
  };
  void Add(int line, unsigned flags, std::string_view first, std::string_view second, bool hasSecond);
  char* Room(size_t bytes, uint32_t* at);
  TRecord Record(size_t i) const;
  size_t SectionOf(size_t i) const;  // SIZE_MAX: before any header
  TRegEntry Unpack(size_t i, size_t* keyOf, std::wstring* key) const;

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t current_ = SIZE_MAX;        // the block being filled
  size_t used_ = 0;                  // bytes taken in it
  std::deque<uint32_t> offsets_;     // block number << 20 | offset in it
  std::deque<uint32_t> sections_;    // entry numbers of the headers
};

}  // namespace registry
