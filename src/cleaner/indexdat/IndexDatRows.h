// The viewer's rows without its window: which records are listed, in which
// order, and what a double click may open. Portable, like the parser, so
// that the fuzzing build runs it too.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaner/indexdat/IndexDat.h"

namespace indexdat {

// One row per used entry whose record has a URL, in entry order. The file's
// bytes are the one copy of every text: a row keeps only its record's index.
class ViewerRows {
 public:
  ViewerRows() = default;
  ViewerRows(std::vector<uint8_t> bytes, int image, const EntryCallback& onEntry);

  size_t Count() const { return rows_.size(); }
  std::string_view Url(size_t row) const { return UrlOf(bytes_.data(), records_[rows_[row]]); }
  uint64_t FileTime(size_t row) const { return records_[rows_[row]].fileTime; }
  int Image(size_t) const { return image_; }

 private:
  std::vector<uint8_t> bytes_;
  std::vector<Record> records_;
  std::vector<uint32_t> rows_;  // index in records_
  int image_ = 0;
};

// Tells the load when to report: every `interval` of the clock, not at
// each new percent, so that a slow load keeps its window answering and a
// fast one does not spend its time on reports.
class LoadPacer {
 public:
  using Clock = std::function<uint64_t()>;           // milliseconds
  using Report = std::function<bool(int percent)>;   // false stops the load
  LoadPacer(uint64_t total, Clock clock, uint64_t interval, Report report);
  // Called once per entry.
  bool operator()();
  bool Stopped() const { return stopped_; }

 private:
  uint64_t total_, done_ = 0, interval_, last_;
  bool stopped_ = false;
  Clock clock_;
  Report report_;
};

// True for a text a double click may hand to the browser: an http://,
// https:// or ftp:// address (the scheme in any case) with something after
// the scheme, and no blank, control character or quote that could carry
// further arguments to whatever the shell starts.
bool IsWebAddress(std::wstring_view text);

}  // namespace indexdat
