// Facts about the running system: the Windows version code, WOW64 and the
// running processes.
#pragma once
#include <windows.h>

#include <string>

namespace core {

// The program's Windows version code (1 95, 3 98, 5 NT 3.x, 6 NT 4, 7 2000,
// 8 Me, 9 XP, 10 Server 2003 and anything unknown, 11 Vista, 12 7, 13 8 and later).
BYTE GetWindowsVersion();
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
