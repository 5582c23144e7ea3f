// The items of the group Internet Explorer and the helpers they share: the
// browser's folders, the cookies to keep, the scrub of its index.dat files
// and the removal of files at the next restart.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "cleaner/ProgressThread.h"
#include "cleaner/indexdat/IndexDatFile.h"
#include "cleaner/items/ItemServices.h"
#include "sys/IniFile.h"

namespace cleaner {

void ClearIETempFiles(TClearTaskThread& t, const ItemServices& s);
void ClearIECookies(TClearTaskThread& t, const ItemServices& s);
void ClearIEHistory(TClearTaskThread& t, const ItemServices& s);
void ClearIETypedURLs(TClearTaskThread& t, const ItemServices& s);
void ClearIndexDatFiles(TClearTaskThread& t, const ItemServices& s);
void ClearIEDownloadDir(TClearTaskThread& t, const ItemServices& s);
void ClearIEAutoComplete(TClearTaskThread& t, const ItemServices& s);

// The visited-URL store and the URL cache; each adds to FItemCount.
void ClearIEUrlHistory(TClearTaskThread& t, const ItemServices& s);
int ClearUrlCache(TClearTaskThread& t, const ItemServices& s);

// A shell folder (CSIDL_*) ending in "\", read after the browser session
// ended (so that the browser writes out and releases its files).
std::wstring BrowserFolder(int csidl);
// Folders, each ending in "\" and empty when missing.
std::wstring GetIELocalPath();
std::wstring GetIERecoveryPath();
std::wstring IECacheFolder();
std::wstring IECookieFolder();
std::wstring IEHistoryFolder();
// "MSHist01" + yyyymmdd of the given day.
std::wstring GetTodayHistoryFolderName(const SYSTEMTIME& day);
// Removes every folder of `folder` (a history folder) but today's, each taken
// from the folder's pinned listing; the bytes removed.
int64_t ClearOldHistoryFolders(TClearTaskThread& t, const std::wstring& folder);

// Cookies.dat in `dataFolder`: the non-empty entries of "Cookies to keep"
// (none when there is no such file), and how the file was read. Unless Done or
// Missing (a link, a file with more than one name, unreadable), no cookie may
// go, for any of them may be one to keep.
sys::IniStore::Result ReadCookieKeepList(const std::wstring& dataFolder, std::vector<std::wstring>* keep);
// Whether a cookie file is kept: the host is compared with each entry in
// turn, or the file's name once an entry naming a ".txt" file was met.
bool IsCookieKept(const std::wstring& fileName, const std::wstring& host, const std::vector<std::wstring>& keep);

// Scrub in place (never in a test). The index.dat of `folder` or of its
// sub-folder `below` (empty: the folder itself), found in the pinned listing
// of its folder; `below` and the file are refused, logged and counted when
// they are links. Missing when there is no such file (or in a test).
indexdat::FileStatus WipeIndexDat(TClearTaskThread& t, const std::wstring& folder, const std::wstring& below);
// One index file a pinned listing gave.
indexdat::FileStatus WipeListedIndexDat(TClearTaskThread& t, const core::guard::ListedEntry& entry);
// Every index.dat below a folder except those directly in FWorkPath.
void WipeIndexDatTree(TClearTaskThread& t, const std::wstring& folder);

// The 9x family (version codes 1 to 4 and 8) removes files at the next
// restart through Wininit.ini; the NT family schedules nothing by name.
bool IsWininitVersion(BYTE versionCode);
// Inserts `lines` below the first "[rename]" header of `iniPath` (appending
// one when there is none), so that they stand there in reverse order.
bool AddWininitRenames(const std::wstring& iniPath, const std::vector<std::wstring>& lines);
// On the 9x family, schedules the files' removal at the next restart in
// `iniPath` (Wininit.ini of the Windows folder); nothing on the NT family.
void RemoveAtRestart(TClearTaskThread& t, const std::vector<std::wstring>& files, BYTE versionCode,
                     const std::wstring& iniPath);

// Starts a program with its window hidden and does not wait for it.
bool RunCommandHidden(const std::wstring& commandLine);

}  // namespace cleaner
