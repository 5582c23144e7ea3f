#include "cleaner/SystemPaths.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <vector>

#include "core/RegistryRead.h"

namespace cleaner {

std::wstring SpecialFolderPath(int csidl) {
  wchar_t buf[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE) || buf[0] == L'\0') return std::wstring();
  std::wstring path = buf;
  if (path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring GetMyDocumentsPath() { return SpecialFolderPath(CSIDL_PERSONAL); }

std::wstring GetProgramFilesDir() {
  return core::ReadRegString(HKEY_LOCAL_MACHINE, L"\\Software\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir");
}

std::wstring GetUserProfilePath() {
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  return SpecialFolderPath(CSIDL_PROFILE);
}

namespace {

HANDLE OpenCallerToken() {
  HANDLE token = nullptr;
  if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) return token;
  if (::GetLastError() != ERROR_NO_TOKEN) return nullptr;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return token;
  return nullptr;
}

}  // namespace

bool IsAdministrator() {
  HANDLE token = OpenCallerToken();
  if (token == nullptr) return false;
  // The list is sized by the system rather than a fixed buffer, so that a
  // token with many groups is not taken for a non-administrator.
  DWORD size = 0;
  ::GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  std::vector<BYTE> buf(size ? size : 1);
  bool read = size != 0 && ::GetTokenInformation(token, TokenGroups, buf.data(), size, &size);
  ::CloseHandle(token);
  if (!read) return false;

  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &admins)) {
    return false;
  }
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buf.data());
  bool found = false;
  for (DWORD i = 0; i < groups->GroupCount && !found; ++i) found = ::EqualSid(groups->Groups[i].Sid, admins) != FALSE;
  ::FreeSid(admins);
  return found;
}

}  // namespace cleaner
