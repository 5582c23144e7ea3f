// The Internet Explorer cookie files the Options dialog offers to keep or delete.
#pragma once
#include <string>
#include <vector>

namespace app {

struct TCookieFile {
  std::wstring Host;  // the third line of the file, less a final "/"
  std::wstring File;  // the file's name in the cookie folder
};

// The user's cookie folder, ending in "\": `cookies` when it is a folder, else
// the Windows folder's "cookies"; its "Low" folder instead when only that one
// holds cookie files. Empty when there is none.
std::wstring ResolveCookieFolder(const std::wstring& cookies, const std::wstring& windowsFolder);
// The same for this user (ends WinINet's browser session first, so that
// cookies held in memory are on disk).
std::wstring UserCookieFolder();

// Every cookie file (a name containing ".txt") of `folder` whose name and host
// are both absent from `keep`, in folder order. A file that cannot be read is
// skipped.
std::vector<TCookieFile> CookiesToDelete(const std::wstring& folder, const std::vector<std::wstring>& keep);

}  // namespace app
