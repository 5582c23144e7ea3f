// Subtrees the registry walker never enters: keys other sections examine more
// closely, keys whose data the path check misjudges on newer Windows, and a
// few vendors' keys.
#pragma once
#include <cstddef>
#include <string>

namespace registry {

extern const wchar_t* const HklmScanSkipKeys[15];  // whole keys, in section 5
extern const wchar_t* const HkcuScanSkipKeys[4];   // whole keys, in section 4

struct TScanSkipFlags {
  bool IsWin7OrLater = false;
  bool IsWin8OrLater = false;
};

// Whether the walk of `section` leaves the key `subKey` (and all below it) out.
bool IsScanSkipped(int section, const std::wstring& subKey, const TScanSkipFlags& flags);

}  // namespace registry
