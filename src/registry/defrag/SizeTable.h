// What an analysis shows: each hive's size before and after, the totals and
// the compaction rate.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace registry {

struct THiveSize {
  std::int64_t Current = 0;  // the hive file
  std::int64_t New = 0;      // its copy
  bool Saved = false;        // the copy was written
  std::wstring Refused;      // why the hive is not compacted (a refused copy)
};

struct TSizeRow {
  std::wstring CurrentSize, NewSize, Reduction;
};

// The row texts of a hive whose copy could not be written.
inline constexpr wchar_t kHiveSaveFailed[] = L"Failed";

struct TSizeTable {
  std::vector<TSizeRow> Rows;
  std::wstring CurrentRegistrySize, NewRegistrySize, SizeReduction, CompactPercent;
  double Rate = 0;       // percent of the saved hives' total, unrounded
  bool LowRate = false;  // below 3 %: compacting now gains little
};

// Totals count the saved hives only, so a failed copy cannot pass for a
// reduction. `decimal` is the separator of the one decimal of the rate.
TSizeTable BuildSizeTable(const std::vector<THiveSize>& hives, const std::wstring& decimal);
// The user's decimal separator.
std::wstring LocaleDecimalSeparator();

// "36.7%" for 36.666...: one decimal, rounded half away from zero.
std::wstring FormatRate(double rate, const std::wstring& decimal);

// The message shown when the rate is low.
std::wstring LowRateMessage(const std::wstring& compactPercent);

}  // namespace registry
