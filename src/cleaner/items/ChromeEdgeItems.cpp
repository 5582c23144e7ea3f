#include <windows.h>

#include "cleaner/Masks.h"
#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Paths.h"

namespace cleaner {
namespace {

const wchar_t kEdgeStorage[] =
    L"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\AppContainer\\Storage\\"
    L"microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\";

// A folder of the Edge package emptied of every file, flat or with the
// folders below it.
struct EdgeFolder {
  const wchar_t* path;
  bool recursive;
};

void EdgeItem(TClearTaskThread& t, const std::vector<EdgeFolder>& folders) {
  std::wstring package = core::GetEdgePackagePath();
  int64_t bytes = 0;
  for (const EdgeFolder& f : folders) {
    if (package.empty() || t.Terminated()) break;
    bytes += t.DeleteFilesByMask(package + f.path, L"*.*", t.FItemCount, f.recursive);
  }
  SetItemBytes(t, bytes);
}

// The files directly in the pinned profile whose names hold "History Index".
std::vector<std::wstring> HistoryIndexFiles(const core::guard::FolderPin& profile) {
  std::vector<std::wstring> names;
  const std::wstring wanted = UpperName(L"History Index");
  core::guard::ListPinned(profile, [&](const core::guard::ListedEntry& entry) {
    if (!entry.IsFolder() && UpperName(entry.Name()).find(wanted) != std::wstring::npos) names.push_back(entry.Name());
    return true;
  });
  return names;
}

}  // namespace

void ClearChromeCache(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (profile.empty()) return;
  // "Media Cache" lies beside "Cache" in the profile folder.
  int64_t bytes = 0;
  for (const wchar_t* name : {L"Cache\\", L"Media Cache\\"}) {
    if (FolderExists(profile + name)) {
      bytes += t.DeleteFolderFiles(profile + name, false, true, std::wstring(), t.FItemCount);
    }
  }
  SetItemBytes(t, bytes);
}

void ClearChromeCookies(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (profile.empty()) return;
  // Extensions keep their settings in Local Storage: those files stay.
  int64_t bytes = t.DeleteFilesByMask(profile, L"Cookies", t.FItemCount, true);
  bytes += DeleteFolderExcept(t, profile + L"Local Storage", false, t.FItemCount, L"chrome-extension_");
  SetItemBytes(t, bytes);
}

void ClearChromeLocalStorage(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (profile.empty()) return;
  SetItemBytes(t, t.DeleteFolderFiles(profile + L"Local Storage\\", false, true, std::wstring(), t.FItemCount));
}

void ClearChromeSession(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (profile.empty()) return;
  SetItemBytes(t, DeleteMasks(t, profile, {L"Current Session", L"Last Session"}, true));
}

void ClearChromeHistory(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (profile.empty()) return;
  int64_t bytes = DeleteMasks(t, profile,
                              {L"Archived History", L"History", L"Thumbnails", L"Visited Links", L"Current Tabs",
                               L"Last Tabs", L"Top Sites", L"History Provider Cache", L"Network Action Predictor"},
                              true);
  // Each name the pinned listing gave, in that same folder and below it.
  if (std::unique_ptr<core::guard::FolderPin> pin = t.PinItemFolder(profile)) {
    for (const auto& name : HistoryIndexFiles(*pin)) bytes += t.DeletePinnedByMask(*pin, name, t.FItemCount, true);
  }
  RunDatabaseStep(t, profile + L"Shortcuts", ChromeShortcutsStatements());
  SetItemBytes(t, bytes);
}

void ClearChromePasswords(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (profile.empty()) return;
  RunDatabaseStep(t, profile + L"Web Data", ChromeLoginsStatements());
  SetItemBytes(t, t.DeleteFilesByMask(profile, L"Login Data", t.FItemCount, true));
}

void ClearChromeFormData(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (!profile.empty()) RunDatabaseStep(t, profile + L"Web Data", ChromeFormDataStatements());
}

void ClearChromeDownloads(TClearTaskThread& t, const ItemServices&) {
  std::wstring profile = GetChromeProfilePath();
  if (!profile.empty()) RunDatabaseStep(t, profile + L"History", ChromeDownloadsStatements());
}

void ClearEdgeCookies(TClearTaskThread& t, const ItemServices&) {
  EdgeItem(t, {{L"MicrosoftEdge\\Cookies", false},
               {L"#!001\\MicrosoftEdge\\Cookies", false},
               {L"#!002\\MicrosoftEdge\\Cookies", false},
               {L"#!001\\MicrosoftEdge\\User\\Default\\DOMStore", true},
               {L"#!002\\MicrosoftEdge\\User\\Default\\DOMStore", true}});
}

void ClearEdgeDownloads(TClearTaskThread& t, const ItemServices&) {
  EdgeItem(t, {{L"MicrosoftEdge\\User\\Default\\DownloadHistory", false}});
}

void ClearEdgeSessions(TClearTaskThread& t, const ItemServices&) {
  EdgeItem(t, {{L"MicrosoftEdge\\User\\Default\\Recovery\\Active", false}});
}

void ClearEdgeHistory(TClearTaskThread& t, const ItemServices&) {
  EdgeItem(t, {{L"MicrosoftEdge\\History", false},
               {L"#!001\\MicrosoftEdge\\History", false},
               {L"#!002\\MicrosoftEdge\\History", false},
               {L"#!001\\Microsoft\\CryptnetUrlCache\\Content", false},
               {L"#!001\\Microsoft\\CryptnetUrlCache\\MetaData", false},
               {L"#!002\\Microsoft\\CryptnetUrlCache\\Content", false},
               {L"#!002\\Microsoft\\CryptnetUrlCache\\MetaData", false},
               {L"Microsoft\\CryptnetUrlCache\\Content", false},
               {L"Microsoft\\CryptnetUrlCache\\MetaData", false},
               {L"#!002\\MicrosoftEdge\\User\\Default", false},
               {L"#!001\\MicrosoftEdge\\User\\Default\\Tiles", true},
               {L"#!002\\MicrosoftEdge\\User\\Default\\Tiles", true},
               {L"#!001\\MicrosoftEdge\\User\\Default", false},
               {L"MicrosoftEdge\\User\\Default\\ImageStore", true}});
}

void ClearEdgeCache(TClearTaskThread& t, const ItemServices&) {
  EdgeItem(t, {{L"MicrosoftEdge\\Cache", true},
               {L"#!001\\MicrosoftEdge\\Cache", true},
               {L"#!002\\MicrosoftEdge\\Cache", true},
               {L"#!001\\MicrosoftEdge\\User\\Default\\AppCache", true},
               {L"#!002\\MicrosoftEdge\\User\\Default\\AppCache", true}});
}

void ClearEdgeTypedURLs(TClearTaskThread& t, const ItemServices&) {
  t.FItemCount = t.DeleteRegKey(HKEY_CURRENT_USER, std::wstring(kEdgeStorage) + L"TypedURLs");
}

void ClearEdgeFormData(TClearTaskThread& t, const ItemServices&) {
  t.FItemCount = t.DeleteRegKey(HKEY_CURRENT_USER, std::wstring(kEdgeStorage) + L"IntelliForms\\FormData");
}

// Edge keeps its passwords in the system's credential store, which no item
// of this program touches.
void ClearEdgePasswords(TClearTaskThread& t, const ItemServices&) { SetItemBytes(t, 0); }

}  // namespace cleaner
