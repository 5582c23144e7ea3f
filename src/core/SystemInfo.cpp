#include "core/SystemInfo.h"

#include <tlhelp32.h>

#include <limits>

#include "sys/TextCompare.h"

namespace core {
namespace {

constexpr DWORD kAnyMinor = std::numeric_limits<DWORD>::max();

struct VersionRow {
  bool nt;
  DWORD major;
  DWORD minorLow;
  DWORD minorHigh;
  BYTE code;
};

// Anything not listed is 10. Later Windows report 6.2 because the manifest
// names no supported versions.
constexpr VersionRow kVersionRows[] = {
    {false, 4, 0, 0, 1},              // 95
    {false, 4, 10, 10, 3},            // 98
    {false, 4, 90, 90, 8},            // Me
    {true, 3, 0, kAnyMinor, 5},       // NT 3.x
    {true, 4, 0, kAnyMinor, 6},       // NT 4
    {true, 5, 0, 0, 7},               // 2000
    {true, 5, 1, 1, 9},               // XP
    {true, 5, 2, 2, 10},              // Server 2003, XP x64
    {true, 5, 3, kAnyMinor, 7},
    {true, 6, 0, 0, 11},              // Vista
    {true, 6, 1, 1, 12},              // 7
    {true, 6, 2, kAnyMinor, 13},      // 8 and later
};

}  // namespace

BYTE WindowsVersionCode(DWORD platformId, DWORD major, DWORD minor) {
  const bool nt = platformId == VER_PLATFORM_WIN32_NT;
  for (const auto& row : kVersionRows)
    if (row.nt == nt && row.major == major && minor >= row.minorLow && minor <= row.minorHigh) return row.code;
  return 10;
}

BYTE GetWindowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExW(&info)) info = OSVERSIONINFOW{};
  return WindowsVersionCode(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

bool IsWow64() {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process"));
  BOOL wow64 = FALSE;
  return fn != nullptr && fn(::GetCurrentProcess(), &wow64) && wow64;
}

bool ProcessNameMatches(const std::wstring& exeFile, const std::wstring& ExeName) {
  size_t slash = exeFile.find_last_of(L"\\/");
  std::wstring filePart = slash == std::wstring::npos ? exeFile : exeFile.substr(slash + 1);
  return sys::SameText(filePart, ExeName) || sys::SameText(exeFile, ExeName);
}

bool IsProcessRunning(const std::wstring& ExeName) {
  HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = ::Process32FirstW(snap, &entry); more && !found; more = ::Process32NextW(snap, &entry))
    found = ProcessNameMatches(entry.szExeFile, ExeName);
  ::CloseHandle(snap);
  return found;
}

}  // namespace core
