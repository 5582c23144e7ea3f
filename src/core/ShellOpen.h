// Opening a web page or starting a program the way the shell does ("Open",
// shown normally). Tests replace the opener so that nothing is started.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace core {

using ShellOpener = std::function<bool(HWND owner, const std::wstring& file)>;

// Replaces the opener; an empty one restores the shell's. Returns the previous one.
ShellOpener SetShellOpener(ShellOpener opener);

// ShellExecute(owner, "Open", file, no parameters, no folder, SW_SHOW); true when started.
bool ShellOpen(HWND owner, const std::wstring& file);

}  // namespace core
