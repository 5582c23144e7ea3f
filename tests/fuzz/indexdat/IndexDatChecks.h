// What must hold for any bytes given to the index.dat parser and the
// viewer's rows, shared by the fuzzing entry and the corpus replay of the
// test run. Returns what failed, or nothing.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatRows.h"

namespace indexdat_check {

// Regions come in file order, so one pass over the table heads sorted by
// offset finds any head a region covers.
inline std::string CheckRegions(const indexdat::Layout& layout, const std::vector<indexdat::Region>& regions) {
  std::vector<uint64_t> heads;
  for (const indexdat::Table& t : layout.tables) heads.push_back(t.offset);
  std::sort(heads.begin(), heads.end());
  const uint64_t lowest = heads.empty() ? UINT64_MAX : heads.front();
  uint64_t last = 0;
  size_t head = 0;  // the first head that ends after the region begins
  for (const indexdat::Region& r : regions) {
    if (r.begin >= r.end || r.end > layout.limit) return "a region outside the file";
    if (r.begin < lowest + 32) return "a region in the header";
    if (r.begin < last) return "regions out of order or overlapping";
    last = r.end;
    while (head < heads.size() && heads[head] + 32 <= r.begin) ++head;
    if (head < heads.size() && heads[head] < r.end) return "a region over a table head";
  }
  return {};
}

// The rows as the viewer loads them, paced by a clock that moves one step at
// each look: reports come in order between 0 and 100, and a load stopped at
// its first report keeps the first rows of the whole load.
inline std::string CheckPacedRows(const uint8_t* data, size_t size, const indexdat::Layout& layout,
                                  const indexdat::ViewerRows& whole) {
  uint64_t now = 0;
  int lastPercent = -1;
  bool ordered = true;
  indexdat::LoadPacer pacer(indexdat::EntryCount(layout), [&now] { return ++now; }, 1, [&](int percent) {
    ordered = ordered && percent >= lastPercent && percent <= 100;
    lastPercent = percent;
    return true;
  });
  indexdat::ViewerRows paced(std::vector<uint8_t>(data, data + size), 0, std::ref(pacer));
  if (!ordered) return "load reports out of order or past 100";
  if (paced.Count() != whole.Count()) return "a paced load lists other rows";
  indexdat::LoadPacer stopper(indexdat::EntryCount(layout), [&now] { return ++now; }, 1, [](int) { return false; });
  indexdat::ViewerRows stopped(std::vector<uint8_t>(data, data + size), 0, std::ref(stopper));
  if (stopped.Count() > whole.Count()) return "a stopped load lists more rows";
  for (size_t i = 0; i < stopped.Count(); ++i)
    if (stopped.Url(i) != whole.Url(i)) return "a stopped load lists other rows";
  return {};
}

inline std::string CheckListing(const indexdat::Layout& layout, const indexdat::Listing& listing) {
  if (indexdat::EntryCount(layout) > layout.limit / 8) return "more entries than the file holds";
  for (uint32_t index : listing.entries)
    if (index >= listing.records.size()) return "an entry without its record";
  for (const indexdat::Record& r : listing.records) {
    if (r.offset >= layout.limit) return "a record outside the file";
    if (r.urlLength > indexdat::kMaxUrlLength || uint64_t(r.urlAt) + r.urlLength > layout.limit)
      return "a URL outside the file or over its bound";
  }
  return {};
}

inline std::string CheckAll(const uint8_t* data, size_t size) {
  indexdat::Layout layout = indexdat::ReadLayout(data, size);
  if (layout.limit > size) return "a limit past the data";
  std::string failed = CheckRegions(layout, indexdat::ScrubRegions(data, size));
  if (failed.empty()) failed = CheckListing(layout, indexdat::ReadListing(data, size));
  if (!failed.empty()) return failed;
  indexdat::ViewerRows rows(std::vector<uint8_t>(data, data + size), 0, nullptr);
  for (size_t i = 0; i < rows.Count(); ++i) {
    std::string_view url = rows.Url(i);
    if (url.empty() || url.size() > indexdat::kMaxUrlLength) return "a row without a URL or over its bound";
    // A double click reads one row: a few of them stand for all.
    if (i < 16) indexdat::IsWebAddress(std::wstring(url.begin(), url.end()));
  }
  return CheckPacedRows(data, size, layout, rows);
}

}  // namespace indexdat_check
