#include "registry/restore/Regedit.h"

#include <windows.h>

namespace registry {
namespace {

std::wstring WindowsFolder() {
  wchar_t buf[MAX_PATH] = {};
  UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring(L"C:\\Windows");
}

bool IsWow64() {
  BOOL wow = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow) && wow;
}

bool FileExists(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

}  // namespace

std::wstring RegeditPathNative() { return WindowsFolder() + L"\\regedit.exe"; }

std::wstring RegeditPathForProgramView() {
  if (IsWow64()) {
    // The Windows folder is not redirected: its regedit.exe is the 64-bit one.
    std::wstring wow = WindowsFolder() + L"\\SysWOW64\\regedit.exe";
    if (FileExists(wow)) return wow;
  }
  return RegeditPathNative();
}

std::wstring RegeditImportCommand(const std::wstring& file) {
  return Quoted(RegeditPathForProgramView()) + L" /s " + Quoted(file);
}

std::wstring RegeditExportCommand(const std::wstring& file) {
  return Quoted(RegeditPathNative()) + L" /e " + Quoted(file);
}

std::wstring FullBackupFileName(const std::wstring& chosen) {
  if (chosen.size() >= 4 &&
      ::CompareStringOrdinal(chosen.c_str() + chosen.size() - 4, 4, L".reg", 4, TRUE) == CSTR_EQUAL) {
    return chosen;
  }
  return chosen + L".reg";
}

}  // namespace registry
