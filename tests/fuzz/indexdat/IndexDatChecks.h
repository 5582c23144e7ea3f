// What must hold for any bytes given to the index.dat parser and the
// viewer's rows, shared by the fuzzing entry and the corpus replay of the
// test run. Returns what failed, or nothing.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatRows.h"

namespace indexdat_check {

inline std::string CheckRegions(const indexdat::Layout& layout, const std::vector<indexdat::Region>& regions) {
  uint64_t lowest = UINT64_MAX, last = 0;
  for (const indexdat::Table& t : layout.tables) lowest = std::min<uint64_t>(lowest, t.offset);
  for (const indexdat::Region& r : regions) {
    if (r.begin >= r.end || r.end > layout.limit) return "a region outside the file";
    if (r.begin < lowest + 32) return "a region in the header";
    if (r.begin < last) return "regions out of order or overlapping";
    last = r.end;
    for (const indexdat::Table& t : layout.tables)
      if (r.end > t.offset && r.begin < uint64_t(t.offset) + 32) return "a region over a table head";
  }
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
  return {};
}

}  // namespace indexdat_check
