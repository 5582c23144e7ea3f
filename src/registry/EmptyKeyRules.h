// Which empty keys the Empty Registry Keys section may report: keys that
// Windows and some programs keep empty on purpose are left alone.
#pragma once
#include <string>

namespace registry {

struct TEmptyKeyFlags {
  bool IsWin7OrLater = false;
  bool IsWin8OrLater = false;
};

// Whether an empty key at `path` (below HKEY_USERS) may be reported.
bool IsEmptyUserKeyReportable(const std::wstring& path, const TEmptyKeyFlags& flags);

// Subtrees of HKEY_USERS that the section does not even enter.
bool IsUserKeyPassedOver(const std::wstring& path);

}  // namespace registry
