#include "core/Paths.h"

#include <vector>

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include "sys/TextCompare.h"

namespace core {
namespace {

std::wstring SpecialFolder(int csidl) {
  PIDLIST_ABSOLUTE items = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &items)) || items == nullptr) return {};
  wchar_t buf[MAX_PATH] = {};
  bool ok = ::SHGetPathFromIDListW(items, buf) != FALSE;
  ::CoTaskMemFree(items);
  return ok ? buf : std::wstring();
}

std::wstring EnvironmentValue(const wchar_t* name) {
  DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring value(n, L'\0');
  n = ::GetEnvironmentVariableW(name, value.data(), n);
  value.resize(n);
  return value;
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  size_t start = name.find_first_not_of(L"\\/");
  std::wstring tail = start == std::wstring::npos ? std::wstring() : name.substr(start);
  size_t end = folder.find_last_not_of(L"\\/");
  if (end == std::wstring::npos) return folder + tail;  // nothing but separators ("\\\\")
  return folder.substr(0, end + 1) + L"\\" + tail;
}

std::wstring WithTrailingBackslash(const std::wstring& folder) {
  if (folder.empty()) return folder;
  return JoinPath(folder, L"");
}

std::wstring GetAppDataPath() {
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  return WithTrailingBackslash(SpecialFolder(CSIDL_APPDATA));
}

std::wstring GetInternetCachePath() {
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  return SpecialFolder(CSIDL_INTERNET_CACHE);
}

std::wstring UserAppDataRootFrom(const std::wstring& appData) {
  size_t at = sys::FindText(appData, L"AppData");
  if (at == std::wstring::npos) return {};
  return JoinPath(appData.substr(0, at), L"AppData\\");
}

std::wstring GetUserAppDataRoot() { return UserAppDataRootFrom(EnvironmentValue(L"APPDATA")); }

std::wstring GetEdgePackagePath() {
  std::wstring root = GetUserAppDataRoot();
  if (root.empty()) return {};
  return JoinPath(root, L"Local\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC\\");
}

std::wstring GetProgramFolder() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::wstring();
    if (n < buf.size()) {
      std::wstring exe(buf.data(), n);
      return exe.substr(0, exe.find_last_of(L'\\') + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

}  // namespace core
