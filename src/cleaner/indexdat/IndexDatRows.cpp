#include "cleaner/indexdat/IndexDatRows.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace indexdat {
namespace {

// How many entries pass between two looks at the clock.
constexpr uint64_t kClockStride = 256;

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (static_cast<wchar_t>(std::towlower(text[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

ViewerRows::ViewerRows(std::vector<uint8_t> bytes, int image, const EntryCallback& onEntry)
    : bytes_(std::move(bytes)), image_(image) {
  Listing listing = ReadListing(bytes_.data(), bytes_.size(), onEntry);
  records_ = std::move(listing.records);
  rows_ = std::move(listing.entries);
  size_t kept = 0;
  for (uint32_t index : rows_)
    if (records_[index].hasUrl && records_[index].urlLength > 0) rows_[kept++] = index;
  rows_.resize(kept);
  rows_.shrink_to_fit();
}

LoadPacer::LoadPacer(uint64_t total, Clock clock, uint64_t interval, Report report)
    : total_(total), interval_(interval), last_(clock()), clock_(std::move(clock)), report_(std::move(report)) {}

bool LoadPacer::operator()() {
  ++done_;
  if (done_ % kClockStride != 0) return true;
  uint64_t now = clock_();
  if (now - last_ < interval_) return true;
  last_ = now;
  int percent = total_ == 0 ? 0 : static_cast<int>(std::min<uint64_t>(done_, total_) * 100 / total_);
  stopped_ = !report_(percent);
  return !stopped_;
}

bool IsWebAddress(std::wstring_view text) {
  static const std::wstring_view kSchemes[] = {L"http://", L"https://", L"ftp://"};
  bool known = false;
  for (std::wstring_view scheme : kSchemes)
    if (StartsWithNoCase(text, scheme) && text.size() > scheme.size()) known = true;
  if (!known) return false;
  for (wchar_t c : text)
    if (c <= L' ' || c == 0x7F || c == L'"') return false;
  return true;
}

}  // namespace indexdat
