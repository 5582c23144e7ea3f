// Folders the clean items work in, and the administrator test of the items
// that touch machine-wide data.
#pragma once
#include <string>

namespace cleaner {

// A shell folder (CSIDL_*) with a trailing "\"; empty when the shell gives none.
std::wstring SpecialFolderPath(int csidl);

// My Documents with a trailing "\"; empty when the shell gives none.
std::wstring GetMyDocumentsPath();
// Value "ProgramFilesDir" of HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion" (the process's registry view);
// empty when missing.
std::wstring GetProgramFilesDir();
// Ends the WinINet browser session first, so that the session's cookies and
// history are written out and released, then the profile folder with a
// trailing "\"; empty when the shell gives none.
std::wstring GetUserProfilePath();

// True when the caller's token lists the built-in Administrators group,
// whatever the group's attributes.
bool IsAdministrator();

}  // namespace cleaner
