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

// Empties, for every sub-folder of `root`, each of the named folders below
// it that exists; the folders themselves stay.
int64_t EmptyInEachProfile(TClearTaskThread& t, const std::wstring& root, const std::vector<const wchar_t*>& inside,
                           bool logFlag) {
  int64_t bytes = 0;
  if (root.empty()) return 0;
  for (const auto& profile : SubFolderNames(root)) {
    for (const wchar_t* name : inside) {
      if (t.Terminated()) return bytes;
      std::wstring folder = root + profile + L"\\" + name + L"\\";
      if (FolderExists(folder)) bytes += t.DeleteFolderFiles(folder, false, logFlag, std::wstring(), t.FItemCount);
    }
  }
  return bytes;
}

}  // namespace

void ClearFirefoxCookies(TClearTaskThread& t, const ItemServices&) {
  MaskItem(t, GetFirefoxProfilesPath(), {L"cookies*.txt", L"cookies.sqlite"});
}

void ClearFirefoxHistory(TClearTaskThread& t, const ItemServices&) {
  std::wstring profiles = GetFirefoxProfilesPath();
  if (profiles.empty()) return;
  t.FItemBytes = t.DeleteFilesByMask(profiles, L"history.dat", t.FItemCount, true);
  if (!t.IsTest()) {
    // Only the default profiles: a profile made for something else is left
    // as it is. The profile's own name decides, not a folder above it.
    for (const auto& name : SubFolderNames(profiles)) {
      if (name.find(L".default") == std::wstring::npos) continue;
      RunDatabaseStep(t, profiles + name + L"\\places.sqlite", FirefoxHistoryStatements());
    }
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
