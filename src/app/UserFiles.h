// Files the user names (exports, the full backup): made or replaced through
// the guard, never written through a link.
#pragma once
#include <string>

#include "core/guard/FileCreate.h"

namespace app {

// Writes `bytes` as the whole of the file `path`; `why` says what went wrong.
bool WriteUserFile(const std::wstring& path, const std::string& bytes, std::wstring* why);
// Adds `bytes` at the end of the file `path`, made when missing.
bool AppendUserFile(const std::wstring& path, const std::string& bytes, std::wstring* why);
// The message for a file the user named that was refused or not made.
std::wstring UserFileRefusal(const core::guard::CreatedFile& f, const std::wstring& path);

}  // namespace app
