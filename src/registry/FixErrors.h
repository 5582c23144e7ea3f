// Texts for the reasons a fix reports.
#pragma once
#include <windows.h>

#include <string>

namespace registry {

// The system's message for a Win32 error code, without its line end.
std::wstring SystemErrorText(DWORD code);

}  // namespace registry
