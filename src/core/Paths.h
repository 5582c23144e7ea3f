// The user's special folders. Empty means "not available": a caller never
// builds on a relative or root-relative path.
#pragma once
#include <string>

namespace core {

// The one way to build a file path from a folder and a name: exactly one
// backslash between them, however many the two parts bring (C:\A\ and \b
// give C:\A\b). An empty folder gives the name as it is, never a
// root-relative path.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The folder with exactly one trailing backslash; empty stays empty.
std::wstring WithTrailingBackslash(const std::wstring& folder);

// The roaming application-data folder, ending in "\". Also tells WinINet to
// end this process's browser session, dropping cookies held only in memory.
std::wstring GetAppDataPath();
// Internet Explorer's cache folder, without a trailing "\".
std::wstring GetInternetCachePath();
// The "AppData\" folder above %APPDATA% (C:\Users\Ann\AppData\).
std::wstring GetUserAppDataRoot();
// The same from a given %APPDATA% value; empty when it holds no "AppData".
std::wstring UserAppDataRootFrom(const std::wstring& appData);
// The Edge package folder under the user's AppData, ending in "\".
std::wstring GetEdgePackagePath();
// The folder of the program file, ending in "\" (kavo.dat and the other
// shipped files lie there); empty when it cannot be read.
std::wstring GetProgramFolder();

}  // namespace core
