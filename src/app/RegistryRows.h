// The registry page's rules over problem rows: the built-in exclusions, the
// user's ignore lists, the count line, the text export line and the key a row
// opens in the registry editor. Pure functions, so that they are tested
// without a window.
#pragma once
#include <string>
#include <vector>

#include "registry/ProblemRow.h"

namespace app {

// The key and optional value a row's fix would delete, as the ignore lists
// compare them. A shortcut-file row has neither.
struct IgnorePair {
  bool hasKey = false;
  std::wstring key;
  bool hasValue = false;
  std::wstring value;
};
IgnorePair MakeIgnorePair(const registry::TProblemRow& row);

// The 41 keys excluded from every scan, in order.
const std::vector<std::wstring>& BuiltInExcludedKeys();
// The ten more appended for version codes 11 to 13 (entries 32 to 41 again).
std::vector<std::wstring> LaterWindowsExcludedKeys();

// Tests 1 to 5 of the built-in exclusions (paths the cleaner must never touch).
bool IsBuiltInExcluded(const registry::TProblemRow& row);
// The ignore lists: `keyList` is the built-in keys, the user's ignored keys
// and (later Windows) the repeated ones, in that order.
bool IsIgnored(const registry::TProblemRow& row, const std::vector<std::wstring>& ignoreValues,
               const std::vector<std::wstring>& keyList);

// Indexes of the rows to keep, in order.
std::vector<size_t> FilterScanRows(const std::vector<registry::TProblemRow>& rows,
                                   const std::vector<std::wstring>& ignoreValues,
                                   const std::vector<std::wstring>& ignoreKeys, int windowsVersion);

// " N Errors Found,  M Errors Selected."
std::wstring ErrorCountLine(int rows, int ticked);
// The progress step per timer tick from the ticked section ids.
int ScanStepFor(const std::vector<std::wstring>& sectionIds);
// The scan bar's next position (0 to 1000) on a timer tick: it advances by
// `step` and starts again from 0 once past 1000, but never shows less than
// the share of sections already done.
int NextScanBarPosition(int position, int step, int sectionsDone, int sectionsTotal);
// The share of sections done, 0 to 1000.
int ScanBarFloor(int sectionsDone, int sectionsTotal);
// Problem + "  ^^^  " + Data + "  ^^^  " + Registry key.
std::wstring ExportLine(const registry::TProblemRow& row);
// The registry path a row opens in the registry editor (empty for a file row).
std::wstring RegeditPathForRow(const registry::TProblemRow& row);
// "HKLM" and the other short root names become the full ones.
std::wstring FullRootName(const std::wstring& root);

}  // namespace app
