#include <windows.h>

#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/ItemSteps.h"

namespace cleaner {
namespace {

// An item that deletes masks in every folder below one profile folder.
void MaskItem(TClearTaskThread& t, const std::wstring& folder, const std::vector<const wchar_t*>& masks) {
  if (folder.empty()) return;
  SetItemBytes(t, DeleteMasks(t, folder, masks, true));
}

// The folder `relative` of a pinned profile, emptied and kept. It is pinned
// from the profile part by part; a link on the way is the user's own layout,
// taken by its path under the rule for links above a target.
int64_t EmptyInProfile(TClearTaskThread& t, const core::guard::FolderPin& profile, const wchar_t* relative,
                       bool logFlag) {
  std::unique_ptr<core::guard::FolderPin> folder = core::guard::PinBelow(profile, relative);
  if (!folder) return 0;
  if (folder->IsReplaced()) {
    t.LogReplacedFolder(folder->Path());
    return 0;
  }
  if (folder->IsLink()) {
    return t.DeleteFolderFiles(profile.Path() + relative + L"\\", false, logFlag, std::wstring(), t.FItemCount);
  }
  return t.EmptyPinnedFolder(*folder, logFlag, t.FItemCount);
}

}  // namespace

int64_t EmptyInEachProfile(TClearTaskThread& t, const std::wstring& root, const std::vector<const wchar_t*>& inside,
                           bool logFlag) {
  int64_t bytes = 0;
  ForEachProfile(t, root, [&](const std::wstring&, core::guard::FolderPin& profile) {
    for (const wchar_t* name : inside) {
      if (t.Terminated()) return;
      bytes += EmptyInProfile(t, profile, name, logFlag);
    }
  });
  return bytes;
}

void ClearFirefoxCookies(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"cookies*.txt", L"cookies.sqlite"});
}

void ClearFirefoxHistory(TClearTaskThread& t, const ItemServices&) {
  std::wstring profiles = GetFirefoxProfilesPath();
  // A refused profiles folder is left whole, its databases included.
  if (profiles.empty() || !t.PinItemFolder(profiles)) return;
  t.FItemBytes = t.DeleteFilesByMask(profiles, L"history.dat", t.FItemCount, true);
  if (!t.IsTest()) {
    // Only the default profiles: a profile made for something else is left
    // as it is. The profile's own name decides, not a folder above it.
    ForEachProfile(t, profiles, [&](const std::wstring& name, core::guard::FolderPin& profile) {
      if (name.find(L".default") != std::wstring::npos) {
        RunDatabaseStep(t, profile, L"places.sqlite", FirefoxHistoryStatements());
      }
    });
  }
  SetItemBytes(t, t.FItemBytes);
}

void ClearFirefoxCache(TClearTaskThread& t, const ItemServices&) {
  bool logFiles = t.Settings().ShowLogTempInternetFiles;
  if (!t.IsTest() && !logFiles) t.AddLog(std::wstring(L"Clearing") + L", " + L"please wait...");
  int64_t bytes = EmptyInEachProfile(t, GetFirefoxProfilesPath(), {L"Cache"}, logFiles);
  if (!t.Terminated()) bytes += EmptyInEachProfile(t, GetFirefoxLocalProfilesPath(), {L"Cache"}, logFiles);
  SetItemBytes(t, bytes);
}

void ClearFirefoxDownloads(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"downloads.rdf", L"downloads.sqlite"});
}

void ClearFirefoxSignons(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"signons.txt", L"signons3.txt", L"signons.sqlite"});
}

void ClearFirefoxPreferences(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"prefs.js", L"content-prefs.sqlite", L"permissions.sqlite"});
}

void ClearFirefoxFormHistory(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"formhistory.dat", L"formhistory.sqlite"});
}

void ClearFirefoxSession(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"sessionstore.js", L"sessionstore.bak"});
}

void ClearOperaCache(TClearTaskThread& t, const ItemServices&) {
  std::wstring roaming = GetOperaPath();
  if (roaming.empty()) return;
  int64_t bytes = EmptyInEachProfile(t, roaming, {L"profile\\cache4"}, true);
  const std::vector<const wchar_t*> localCaches = {L"profile\\cache4", L"cache", L"icons\\cache",
                                                   L"temporary_downloads", L"opcache"};
  bytes += EmptyInEachProfile(t, GetOperaLocalPath(), localCaches, true);
  SetItemBytes(t, bytes);
}

void ClearOperaCookies(TClearTaskThread& t, const ItemServices&) { MaskItem(t, GetOperaPath(), {L"cookies4.dat"}); }

void ClearOperaHistory(TClearTaskThread& t, const ItemServices&) {
  std::wstring roaming = GetOperaPath();
  if (roaming.empty()) return;
  int64_t bytes = DeleteMasks(
      t, roaming, {L"global.dat", L"vlink4.dat", L"autosave.win", L"global_history.dat", L"typed_history.xml"}, true);
  bytes += EmptyInEachProfile(t, GetOperaLocalPath(), {L"vps"}, true);
  SetItemBytes(t, bytes);
}

void ClearOperaTypedURLs(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetOperaPath(), {L"opera.dir", L"typed_history.xml"});
}

void ClearOperaWand(TClearTaskThread& t, const ItemServices&) { MaskItem(t, GetOperaPath(), {L"wand.dat"}); }

void ClearOperaTransfers(TClearTaskThread& t, const ItemServices&) { MaskItem(t, GetOperaPath(), {L"download.dat"}); }

}  // namespace cleaner
