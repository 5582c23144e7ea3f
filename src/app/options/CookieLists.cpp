#include "app/options/CookieLists.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <exception>

#include "core/Paths.h"
#include "core/Text.h"
#include "core/guard/FolderPin.h"

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
  // Read through the folder's pin: a cookie's name that is a link shows
  // nothing of the file it leads to.
  core::guard::FolderPin pin(core::WithTrailingBackslash(folder), core::guard::FollowLink::Yes);
  auto kept = [&keep](const std::wstring& s) { return std::find(keep.begin(), keep.end(), s) != keep.end(); };
  core::guard::ListPinned(pin, [&](const core::guard::ListedEntry& entry) {
    const std::wstring name = entry.Name();
    if (entry.IsFolder() || name.find(L".txt") == std::wstring::npos) return true;
    std::wstring host;
    try {
      host = core::GetCookieHost(entry);
    } catch (const std::exception&) {
      return true;  // a locked, vanished or linked file costs only its own line
    }
    if (!kept(name) && !kept(host)) out.push_back({host, name});
    return true;
  });
  return out;
}

}  // namespace app
