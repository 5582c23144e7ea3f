// Facts about the running system: the Windows version code, WOW64 and the
// running processes.
#pragma once
#include <windows.h>

#include <string>

namespace core {

// The program's Windows version code (1 95, 3 98, 5 NT 3.x, 6 NT 4, 7 2000,
// 8 Me, 9 XP, 10 Server 2003 and anything unknown, 11 Vista, 12 7, 13 8 and later).
BYTE GetWindowsVersion();
enum : BYTE {
  wvWindows95 = 1,
  wvWindows98 = 3,
  wvNT3 = 5,
  wvNT4 = 6,
  wvWindows2000 = 7,
  wvWindowsMe = 8,
  wvWindowsXP = 9,
  wvServer2003 = 10,
  wvVista = 11,
  wvWindows7 = 12,
  wvWindows8 = 13,
};
// 95, 98 and Me.
inline bool IsWindows9x(BYTE v) { return (v >= wvWindows95 && v < wvNT3) || v == wvWindowsMe; }
// NT 3.x to 2000, and XP to 8 and later.
inline bool IsWindowsNT(BYTE v) { return (v >= wvNT3 && v <= wvWindows2000) || (v >= wvWindowsXP && v <= wvWindows8); }
inline bool IsVistaOrLater(BYTE v) { return v >= wvVista && v <= wvWindows8; }
// The systems whose System Restore takes requests through SrClient.dll.
inline bool IsXPTo7(BYTE v) { return v >= wvWindowsXP && v <= wvWindows7; }
// The mapping behind it, from the fields of a version record.
BYTE WindowsVersionCode(DWORD platformId, DWORD major, DWORD minor);

// True when this 32-bit process runs on a 64-bit Windows.
bool IsWow64();

// True when a running process's executable is ExeName (file part or full
// text, ignoring letter case).
bool IsProcessRunning(const std::wstring& ExeName);
// One process snapshot entry's executable text against ExeName.
bool ProcessNameMatches(const std::wstring& exeFile, const std::wstring& ExeName);

}  // namespace core
