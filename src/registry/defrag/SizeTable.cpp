#include "registry/defrag/SizeTable.h"

#include <windows.h>

#include <cmath>

#include "core/Text.h"

namespace registry {
namespace {

std::wstring Percent(std::int64_t current, std::int64_t next) {
  if (next > current || current <= 0) return L"0%";
  return std::to_wstring((current - next) * 100 / current) + L"%";
}

}  // namespace

std::wstring LocaleDecimalSeparator() {
  wchar_t buf[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) == 0 || buf[0] == 0) return L".";
  return buf;
}

std::wstring FormatRate(double rate, const std::wstring& decimal) {
  long long tenths = std::llround(rate * 10);
  return std::to_wstring(tenths / 10) + decimal + std::to_wstring(tenths % 10) + L"%";
}

std::wstring LowRateMessage(const std::wstring& compactPercent) {
  return L"The fragment rate of your registry is only " + compactPercent +
         L". We suggest that your registry does not need to be compacted at this time. If you select to compact "
         L"the registry now, the same fragment rate may appear again.";
}

TSizeTable BuildSizeTable(const std::vector<THiveSize>& hives, const std::wstring& decimal) {
  TSizeTable t;
  std::int64_t totalCurrent = 0, totalNew = 0;
  for (const THiveSize& h : hives) {
    if (!h.Saved) {
      t.Rows.push_back({core::FormatSizeKB(h.Current),
                        h.Refused.empty() ? std::wstring(kHiveSaveFailed) : L"not compacted (" + h.Refused + L")", L""});
      continue;
    }
    totalCurrent += h.Current;
    totalNew += h.New;
    t.Rows.push_back({core::FormatSizeKB(h.Current), core::FormatSizeKB(h.New), Percent(h.Current, h.New)});
  }
  t.CurrentRegistrySize = core::FormatSizeKB(totalCurrent);
  t.NewRegistrySize = core::FormatSizeKB(totalNew);
  t.SizeReduction = totalNew <= totalCurrent ? core::FormatSizeKB(totalCurrent - totalNew) : L"0 KB";
  if (totalNew > totalCurrent || totalCurrent <= 0) {
    t.CompactPercent = L"0%";
    return t;
  }
  t.Rate = static_cast<double>((totalCurrent - totalNew) * 100) / static_cast<double>(totalCurrent);
  t.CompactPercent = FormatRate(t.Rate, decimal);
  t.LowRate = t.Rate < 3.0;
  return t;
}

}  // namespace registry
