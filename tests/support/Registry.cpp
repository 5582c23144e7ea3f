#include "support/Registry.h"

#include <sddl.h>

namespace testing_support {

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  BYTE buf[256];
  DWORD n = 0;
  std::wstring text;
  if (::GetTokenInformation(token, TokenUser, buf, sizeof(buf), &n)) {
    wchar_t* sid = nullptr;
    if (::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &sid)) {
      text = sid;
      ::LocalFree(sid);
    }
  }
  ::CloseHandle(token);
  return text;
}

std::wstring NativeUserKey(const std::wstring& key) { return L"\\Registry\\User\\" + CurrentUserSid() + L"\\" + key; }

bool MakeRegLink(const std::wstring& key, const std::wstring& target) {
  HKEY link = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &link, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = ::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.c_str()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t)));
  ::RegCloseKey(link);
  return rc == ERROR_SUCCESS;
}

void RemoveRegLink(const std::wstring& key) {
  // RegDeleteKey would open, and delete, the link's target.
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"));
  HKEY link = nullptr;
  if (ntDeleteKey == nullptr ||
      ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), REG_OPTION_OPEN_LINK, DELETE, &link) != ERROR_SUCCESS)
    return;
  ntDeleteKey(link);
  ::RegCloseKey(link);
}

bool ImportWithRegedit(const std::wstring& file, DWORD ms) {
  wchar_t windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(windows, n) + L"\\regedit.exe\" /s \"" + file + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  bool ended = ::WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
  DWORD code = 1;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return ended && code == 0;
}

}  // namespace testing_support
