// What a finished fix run tells the user: the count line, where the backup
// went, and each row that could not be fixed with its reason.
#pragma once
#include <string>
#include <vector>

#include "registry/fix/FixRun.h"

namespace registry {

// "Fix errors finished!" alone when every ticked row was fixed; otherwise it
// goes on with how many were fixed, skipped (and why) and not fixed.
std::wstring FixCountLine(const TFixRunResult& r);

// "Backup file: <path>" or "No backup file was written."
std::wstring FixBackupLine(const TFixRunResult& r);

// One line per row that could not be fixed or was left: its key, its data
// and the reason, in list order.
std::vector<std::wstring> FixRowReasonLines(const std::vector<TFixRow>& rows, const TFixRunResult& r,
                                            bool includeSkipped);

// The lines joined for a message box: at most `limit`, then how many more.
std::wstring JoinReasonLines(const std::vector<std::wstring>& lines, size_t limit);

}  // namespace registry
