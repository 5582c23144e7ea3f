// The items of the group Internet Explorer.
#include "cleaner/items/IEItems.h"

#include <windows.h>
#include <shlobj.h>

#include "cleaner/items/DataFiles.h"
#include "cleaner/items/IEServices.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Files.h"
#include "core/PStorage.h"
#include "core/Paths.h"
#include "core/RegistryRead.h"
#include "core/SystemInfo.h"
#include "core/Text.h"
#include "sys/RegistryKey.h"

namespace cleaner {
namespace {

const wchar_t kIEKey[] = L"Software\\Microsoft\\Internet Explorer";
const wchar_t kTypedURLs[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kExplorerBar[] =
    L"Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\";
const wchar_t kIntelliForms[] = L"Software\\Microsoft\\Internet Explorer\\IntelliForms\\";

void LogEntry(TClearTaskThread& t, const std::wstring& text) {
  if (t.Settings().FastScan) return;
  t.AddLog(t.Prefix() + L"deleting " + text);
  t.ScrollLog(50);
}

bool HasFile(const std::wstring& pattern) {
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW(pattern.c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  return true;
}

// An emptied "Low" folder is where a protected-mode browser keeps them.
std::wstring CookieWorkFolder() {
  std::wstring folder = IECookieFolder();
  if (folder.empty()) return folder;
  std::wstring low = folder + L"Low\\";
  if (FolderExists(low) && !HasFile(folder + L"*.txt") && HasFile(low + L"*.txt")) return low;
  return folder;
}

// One cookie file: kept, deleted (its bytes added) or left because it
// could not be read.
void ClearCookieFile(TClearTaskThread& t, const core::guard::ListedEntry& entry, const std::vector<std::wstring>& keep,
                     int64_t* bytes) {
  std::wstring path = entry.Path();
  std::wstring host;
  try {
    host = core::GetCookieHost(entry);
  } catch (...) {
    // Nothing is deleted on the strength of a file we could not read.
    t.AddLog(L"Cannot read cookie " + path + L", kept");
    return;
  }
  if (IsCookieKept(entry.Name(), host, keep) || !t.DeletePinnedFile(entry, true)) return;
  ++t.FItemCount;
  *bytes += entry.Size();
  t.ProgressTick(t.FItemCount);
}

int64_t ClearCookieFiles(TClearTaskThread& t, const std::wstring& folder, const std::vector<std::wstring>& keep) {
  int64_t bytes = 0;
  // Held from before its listing: a cookie goes from this folder or not at all.
  std::unique_ptr<core::guard::FolderPin> pin = t.PinItemFolder(folder);
  if (!pin) return 0;
  core::guard::ListPinned(*pin, [&](const core::guard::ListedEntry& entry) {
    if (t.Terminated()) return false;
    if (entry.IsFolder() || entry.IsLink()) return true;
    if (std::wstring(entry.Name()).find(L".txt") != std::wstring::npos) ClearCookieFile(t, entry, keep, &bytes);
    return true;
  });
  return bytes;
}

}  // namespace

int64_t ClearOldHistoryFolders(TClearTaskThread& t, const std::wstring& folder) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  std::wstring today = GetTodayHistoryFolderName(now);
  ::CharUpperBuffW(&today[0], DWORD(today.size()));
  std::unique_ptr<core::guard::FolderPin> pin = t.PinItemFolder(folder);
  if (!pin) return 0;
  int64_t bytes = 0;
  core::guard::ListPinned(*pin, [&](const core::guard::ListedEntry& entry) {
    if (t.Terminated()) return false;
    if (!entry.IsFolder()) return true;
    std::wstring upper = entry.Name();
    ::CharUpperBuffW(&upper[0], DWORD(upper.size()));
    if (upper.find(today) == std::wstring::npos) bytes += t.DeleteListedFolder(entry, true, t.FItemCount);
    return true;
  });
  return bytes;
}

namespace {

// The browser's major version from "Version Vector", 0 when unknown.
int IEMajorVersion() {
  std::wstring v = core::ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer\\Version Vector",
                                       L"IE");
  size_t dot = v.find(L'.');
  if (dot == std::wstring::npos) return 0;
  try {
    return std::stoi(v.substr(0, dot));
  } catch (...) {
    return 0;
  }
}

std::wstring WindowsFile(const wchar_t* name) { return StartFolder(StepBase::Windows) + name; }

}  // namespace

void ClearIETempFiles(TClearTaskThread& t, const ItemServices&) {
  bool logFiles = t.Settings().ShowLogTempInternetFiles;
  if (!t.IsTest() && !logFiles) t.AddLog(L"Clearing, please wait...");
  std::wstring cache = IECacheFolder();
  if (cache.empty() || !FolderExists(cache)) return;
  t.FItemBytes = t.DeleteFolderFiles(cache, false, logFiles, t.IsTest() ? L"index.dat" : L"", t.FItemCount);
  t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
  WipeIndexDat(t, cache, L"Content.IE5");
}

void ClearIECookies(TClearTaskThread& t, const ItemServices& s) {
  std::wstring folder = CookieWorkFolder();
  if (folder.empty()) return;
  std::vector<std::wstring> keep;
  const bool read = !NoteUnreadDataFile(t, s.dataFolder + kCookiesFileName, ReadCookieKeepList(s.dataFolder, &keep),
                                         L": no cookie was removed");
  if (read) t.FItemBytes = ClearCookieFiles(t, folder, keep);
  std::wstring local = GetIELocalPath();
  if (!local.empty()) t.FItemBytes += t.DeleteFilesByMask(local + L"DOMStore", L"*.xml", t.FItemCount, true);
  std::wstring roaming = core::GetAppDataPath();
  if (!roaming.empty())
    t.FItemBytes += t.DeleteFilesByMask(roaming + L"Microsoft\\Internet Explorer\\UserData", L"*.xml", t.FItemCount,
                                        true);
  t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
  // A cookie kept must keep its index entry too.
  if (read && keep.empty()) WipeIndexDat(t, folder, L"");
}

void ClearIEUrlHistory(TClearTaskThread& t, const ItemServices& s) {
  try {
    s.urlHistory->Walk([&](const std::wstring& url) {
      if (t.Terminated()) return false;
      HRESULT hr = t.IsTest() ? S_OK : s.urlHistory->Delete(url);
      if (hr == S_FALSE) return false;
      if (FAILED(hr)) {
        ++t.FItemFailed;
        return true;
      }
      ++t.FItemCount;
      LogEntry(t, url);
      t.ProgressTick(t.FItemCount);
      return true;
    });
  } catch (...) {
    // A broken history store ends this step only.
  }
}

int ClearUrlCache(TClearTaskThread& t, const ItemServices& s) {
  int count = 0;
  s.urlCache->Walk([&](const std::wstring& url) {
    if (t.Terminated()) return false;
    if (url.compare(0, 7, L"http://") != 0) return true;
    if (!t.IsTest() && !s.urlCache->Delete(url)) {
      ++t.FItemFailed;
      return true;
    }
    ++count;
    LogEntry(t, url);
    if (count > 1) t.ProgressTick(count);
    return true;
  });
  return count;
}

void ClearIEHistory(TClearTaskThread& t, const ItemServices& s) {
  std::wstring history = IEHistoryFolder();
  ClearIEUrlHistory(t, s);
  t.FItemCount += ClearUrlCache(t, s);
  if (history.empty() || !FolderExists(history)) return;
  BYTE version = s.windowsVersion();
  if (version != 11 && version != 12) {
    t.FWorkPath = history + L"History.IE5";
    t.FItemBytes = t.DeleteFolderFiles(t.FWorkPath, false, true, L"index.dat", t.FItemCount);
    t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
  } else {
    std::wstring low = history + L"Low\\History.IE5\\";
    if (FolderExists(low)) {
      t.FItemBytes += ClearOldHistoryFolders(t, low);
      std::wstring recovery = GetIERecoveryPath();
      if (!recovery.empty()) t.FItemBytes += t.DeleteFilesByMask(recovery, L"*.dat", t.FItemCount, true);
      t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
    }
    t.FWorkPath = history;
  }
  if (t.IsTest()) return;
  WipeIndexDatTree(t, t.FWorkPath);
  if (version == 11 && IEMajorVersion() >= 8)
    RunCommandHidden(L"RunDll32.exe InetCpl.cpl,ClearMyTracksByProcess 1");
}

void ClearIETypedURLs(TClearTaskThread& t, const ItemServices&) {
  if (!t.Settings().FastScan) {
    sys::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kTypedURLs)) {
      for (const std::wstring& name : key.ValueNames()) {
        std::wstring url;
        if (key.ReadString(name, &url)) t.AddLog(t.Prefix() + L"deleting " + url);
      }
    }
    t.ScrollLog(0);
  }
  t.FItemCount = t.DeleteRegKey(HKEY_CURRENT_USER, kTypedURLs);
  t.FItemCount += t.DeleteRegKey(HKEY_CURRENT_USER, std::wstring(kExplorerBar) + L"FilesNamedMRU");
  t.FItemCount += t.DeleteRegKey(HKEY_CURRENT_USER, std::wstring(kExplorerBar) + L"ContainingTextMRU");
}

// The NT family removes nothing at the next restart (see RemoveAtRestart):
// each file is emptied here and stays for the browser, which holds it.
void ClearIndexDatFiles(TClearTaskThread& t, const ItemServices& s) {
  const bool nineX = IsWininitVersion(s.windowsVersion());
  if (nineX) t.AddLog(L"Warning: This will take effect next time windows is rebooted.");
  struct IndexFile {
    std::wstring folder, below;
  };
  std::vector<IndexFile> places;
  std::wstring cookies = BrowserFolder(CSIDL_COOKIES), cache = IECacheFolder(), history = IEHistoryFolder();
  if (!cookies.empty()) places.push_back({cookies, L""});
  if (!cache.empty()) places.push_back({cache, L"Content.IE5"});
  if (!history.empty()) places.push_back({history, L"History.IE5"});
  std::vector<std::wstring> files;
  std::vector<int64_t> sizes;
  for (const IndexFile& place : places) {
    files.push_back(place.folder + (place.below.empty() ? L"" : place.below + L"\\") + L"index.dat");
    sizes.push_back(core::GetFileSizeByFind(files.back()));
  }
  // A test counts each file there is; a clean only each file it emptied. One
  // it left as it was (not an index file, held, a link) is no item removed.
  for (size_t i = 0; i < places.size(); ++i) {
    if (t.IsTest()) {
      if (sizes[i] <= 0) continue;
    } else {
      indexdat::FileStatus status = WipeIndexDat(t, places[i].folder, places[i].below);
      if (status != indexdat::FileStatus::Done) continue;
      if (!nineX) t.AddLog(t.Prefix() + L"emptied " + files[i] + L" and left it for the browser");
    }
    ++t.FItemCount;
    t.FItemBytes += sizes[i];
  }
  t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
  if (t.IsTest()) return;
  RemoveAtRestart(t, files, s.windowsVersion(), WindowsFile(L"Wininit.ini"));
}

void ClearIEDownloadDir(TClearTaskThread& t, const ItemServices&) {
  t.FItemCount += t.DeleteRegValues(HKEY_CURRENT_USER, kIEKey, L"Download Directory");
}

namespace {

void ClearProtectedStorage(TClearTaskThread& t) {
  core::TPStorage store;
  if (!core::PStoreLoaded() || !store.Connect()) return;
  std::unique_ptr<core::TIDList> types = store.GetTypes();
  for (int i = 0; i < types->Count(); ++i) {
    GUID type = types->GetItem(i);
    if (store.GetTypeName(type) != L"Internet Explorer") continue;
    std::unique_ptr<core::TIDList> subtypes = store.GetSubtypes(type);
    for (int j = 0; j < subtypes->Count(); ++j) {
      GUID subtype = subtypes->GetItem(j);
      std::unique_ptr<core::TItemList> items = store.GetItems(type, subtype);
      t.FItemCount = items->Count() == 1 ? 1 : items->Count() / 2;
      for (int k = 0; k < items->Count(); ++k) {
        const std::wstring& name = items->GetFullName(k);
        if (name.compare(0, 7, L"http://") == 0 && name.find(L"StringData") != std::wstring::npos)
          t.ProgressTick(t.FItemCount);
        if (!t.IsTest()) store.DeleteItem(type, subtype, name);
      }
    }
  }
}

}  // namespace

void ClearIEAutoComplete(TClearTaskThread& t, const ItemServices&) {
  ClearProtectedStorage(t);
  // The form data of later browsers is in the registry, whether or not the
  // store above exists.
  t.FItemCount += t.DeleteRegKey(HKEY_CURRENT_USER, std::wstring(kIntelliForms) + L"Storage1");
  t.FItemCount += t.DeleteRegKey(HKEY_CURRENT_USER, std::wstring(kIntelliForms) + L"Storage2");
}

}  // namespace cleaner
