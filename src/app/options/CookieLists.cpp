#include "app/options/CookieLists.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <exception>

#include "core/Paths.h"
#include "core/Text.h"

namespace app {
namespace {

bool IsFolder(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool AnyFileMatches(const std::wstring& pattern) {
  WIN32_FIND_DATAW fd{};
  HANDLE h = ::FindFirstFileW(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::FindClose(h);
  return true;
}

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) return {};
  return path;
}

}  // namespace

std::wstring ResolveCookieFolder(const std::wstring& cookies, const std::wstring& windowsFolder) {
  std::wstring folder = core::WithTrailingBackslash(cookies);
  if (folder.empty() || !IsFolder(folder)) {
    if (windowsFolder.empty()) return {};
    folder = core::JoinPath(windowsFolder, L"cookies\\");
    if (!IsFolder(folder)) return {};
  }
  const std::wstring low = folder + L"Low\\";
  if (IsFolder(low) && !AnyFileMatches(folder + L"*.txt") && AnyFileMatches(low + L"*.txt")) return low;
  return folder;
}

std::wstring UserCookieFolder() {
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  return ResolveCookieFolder(SpecialFolder(CSIDL_COOKIES), SpecialFolder(CSIDL_WINDOWS));
}

std::vector<TCookieFile> CookiesToDelete(const std::wstring& folder, const std::vector<std::wstring>& keep) {
  std::vector<TCookieFile> out;
  if (folder.empty()) return out;
  const std::wstring dir = core::WithTrailingBackslash(folder);
  WIN32_FIND_DATAW fd{};
  HANDLE h = ::FindFirstFileW((dir + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  auto kept = [&keep](const std::wstring& s) { return std::find(keep.begin(), keep.end(), s) != keep.end(); };
  do {
    const std::wstring name = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.find(L".txt") == std::wstring::npos) continue;
    std::wstring host;
    try {
      host = core::GetCookieHost(dir + name);
    } catch (const std::exception&) {
      continue;  // a locked or vanished file costs only its own line
    }
    if (!kept(name) && !kept(host)) out.push_back({host, name});
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return out;
}

}  // namespace app
