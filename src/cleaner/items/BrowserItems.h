// The item routines of the groups Mozilla Firefox, Opera, Google Chrome and
// Edge: fixed files and folders of each browser's profile folders, and in a
// real clean the DELETE statements on the browsers' own databases.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cleaner/ProgressThread.h"
#include "cleaner/items/ItemServices.h"

namespace cleaner {

// Profile folders, each ending in "\"; empty when the folder does not exist.
std::wstring GetFirefoxProfilesPath();
std::wstring GetFirefoxLocalProfilesPath();
std::wstring GetOperaPath();
std::wstring GetOperaLocalPath();
std::wstring GetChromeProfilePath();

// Empties a folder tree but spares every file whose name contains `spared`
// (letter case ignored; nothing spared when empty). Folders are removed only
// with `removeFolder`, and only once nothing is left in them. Returns the
// bytes deleted; `count` grows by the files deleted.
int64_t DeleteFolderExcept(TClearTaskThread& t, const std::wstring& folder, bool removeFolder, int& count,
                           const std::wstring& spared);

// One statement a clean runs on a browser database, and what it names:
// each entry a table ("moz_annos") or a table's column ("moz_places.origin_id").
// A statement runs only when all of them exist, so that an older or newer
// schema is cleaned as far as it matches.
struct DatabaseStatement {
  std::vector<std::wstring> needs;
  std::wstring sql;
};

// In a real clean only: opens `file` when it exists and runs the statements
// whose needs exist, all in one transaction with secure delete on, so that
// removed rows leave no readable trace in the file. A database that cannot
// be opened, is locked or fails its integrity check, or a statement that
// fails, is logged for this item and left as it was; the item goes on.
void RunDatabaseStep(TClearTaskThread& t, const std::wstring& file, const std::vector<DatabaseStatement>& statements);
// The same for the file `name` of a pinned folder, checked to lie in it.
void RunDatabaseStep(TClearTaskThread& t, const core::guard::FolderPin& folder, const std::wstring& name,
                     const std::vector<DatabaseStatement>& statements);

// The statements of each browser database.
const std::vector<DatabaseStatement>& FirefoxHistoryStatements();
const std::vector<DatabaseStatement>& ChromeShortcutsStatements();
const std::vector<DatabaseStatement>& ChromeLoginsStatements();
const std::vector<DatabaseStatement>& ChromeFormDataStatements();
const std::vector<DatabaseStatement>& ChromeDownloadsStatements();

// Shared by the browser routines. The masks of `masks` deleted in `folder`
// in turn, the bytes summed.
int64_t DeleteMasks(TClearTaskThread& t, const std::wstring& folder, const std::vector<const wchar_t*>& masks,
                    bool recursive);
// Each sub-folder (profile) of `root`, pinned from root's pinned listing;
// one listed as a link is followed as the user's layout, one replaced after
// the listing is left and logged.
using ProfileVisit = std::function<void(const std::wstring& name, core::guard::FolderPin& profile)>;
void ForEachProfile(TClearTaskThread& t, const std::wstring& root, const ProfileVisit& visit);
// Empties, in every profile of `root`, each of the folders `inside` that
// exists ("Cache", "profile\\cache4"); the folders stay. The bytes removed.
int64_t EmptyInEachProfile(TClearTaskThread& t, const std::wstring& root, const std::vector<const wchar_t*>& inside,
                           bool logFlag);
// FItemBytes := bytes and the size text from it.
void SetItemBytes(TClearTaskThread& t, int64_t bytes);

// Mozilla Firefox
void ClearFirefoxCookies(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxHistory(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxCache(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxDownloads(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxSignons(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxPreferences(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxFormHistory(TClearTaskThread& t, const ItemServices& s);
void ClearFirefoxSession(TClearTaskThread& t, const ItemServices& s);

// Opera
void ClearOperaCache(TClearTaskThread& t, const ItemServices& s);
void ClearOperaCookies(TClearTaskThread& t, const ItemServices& s);
void ClearOperaHistory(TClearTaskThread& t, const ItemServices& s);
void ClearOperaTypedURLs(TClearTaskThread& t, const ItemServices& s);
void ClearOperaWand(TClearTaskThread& t, const ItemServices& s);
void ClearOperaTransfers(TClearTaskThread& t, const ItemServices& s);

// Google Chrome
void ClearChromeCache(TClearTaskThread& t, const ItemServices& s);
void ClearChromeCookies(TClearTaskThread& t, const ItemServices& s);
void ClearChromeLocalStorage(TClearTaskThread& t, const ItemServices& s);
void ClearChromeSession(TClearTaskThread& t, const ItemServices& s);
void ClearChromeHistory(TClearTaskThread& t, const ItemServices& s);
void ClearChromePasswords(TClearTaskThread& t, const ItemServices& s);
void ClearChromeFormData(TClearTaskThread& t, const ItemServices& s);
void ClearChromeDownloads(TClearTaskThread& t, const ItemServices& s);

// Edge
void ClearEdgeCookies(TClearTaskThread& t, const ItemServices& s);
void ClearEdgeDownloads(TClearTaskThread& t, const ItemServices& s);
void ClearEdgeSessions(TClearTaskThread& t, const ItemServices& s);
void ClearEdgeHistory(TClearTaskThread& t, const ItemServices& s);
void ClearEdgeCache(TClearTaskThread& t, const ItemServices& s);
void ClearEdgeTypedURLs(TClearTaskThread& t, const ItemServices& s);
void ClearEdgeFormData(TClearTaskThread& t, const ItemServices& s);
void ClearEdgePasswords(TClearTaskThread& t, const ItemServices& s);

}  // namespace cleaner
