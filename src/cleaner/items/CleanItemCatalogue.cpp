#include "cleaner/items/CleanItemCatalogue.h"

#include <memory>

#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/CleanItems.h"
#include "cleaner/items/DataFiles.h"
#include "cleaner/items/IEItems.h"

namespace cleaner {
namespace {

constexpr LeafHandler R = LeafHandler::Routine;
constexpr LeafHandler K = LeafHandler::KavoSection;

std::vector<CleanGroup> MakeCatalogue() {
  return {
      {L"Internet Explorer", 1,
       {{L"Recently Typed URLs", 2, R, &ClearIETypedURLs},
        {L"Cookies", 3, R, &ClearIECookies},
        {L"Visited URL History", 4, R, &ClearIEHistory},
        {L"Last Download Location", 5, R, &ClearIEDownloadDir},
        {L"Temporary Internet Files", 6, R, &ClearIETempFiles},
        {L"Index.dat Files", 7, R, &ClearIndexDatFiles},
        {L"Autocomplete History", 8, R, &ClearIEAutoComplete}}},
      {L"Windows", 2,
       {{L"Recent Documents", 10, R, &ClearRecentDocuments},
        {L"Start Run", 11, R, &ClearRunMRU},
        {L"Search Assistant", 12, R, &ClearSearchAssistant},
        {L"Empty Recycle Bin", 13, R, &EmptyRecycleBin},
        {L"Temporary Files", 14, R, &ClearTempFiles},
        {L"Clipboard", 15, R, &ClearClipboard},
        {L"Memory Dumps", 16, R, &ClearMemoryDumps},
        {L"Chkdsk File Fragments", 17, R, &ClearChkdskFragments},
        {L"Windows Log Files", 18, K, nullptr}}},
      {L"Edge", 3,
       {{L"Recently Typed URLs", 0, R, &ClearEdgeTypedURLs},
        {L"Cookies", 0, R, &ClearEdgeCookies},
        {L"Visited URL History", 0, R, &ClearEdgeHistory},
        {L"Temporary Internet Files", 0, R, &ClearEdgeCache},
        {L"Sessions", 0, R, &ClearEdgeSessions},
        {L"Download History", 0, R, &ClearEdgeDownloads},
        {L"Saved Form Information", 0, R, &ClearEdgeFormData},
        {L"Saved Passwords", 0, R, &ClearEdgePasswords}}},
      {L"Opera", 4,
       {{L"Recently Typed URLs", 0, R, &ClearOperaTypedURLs},
        {L"Cookies", 0, R, &ClearOperaCookies},
        {L"Visited URL History", 0, R, &ClearOperaHistory},
        {L"Temporary Internet Files", 0, R, &ClearOperaCache},
        {L"Autocomplete History", 0, R, &ClearOperaWand},
        {L"Transfers", 0, R, &ClearOperaTransfers}}},
      // "Download Manager" takes the Firefox download-history routine: no
      // fixed path of kavo.dat can name a Firefox profile's folder.
      {L"Mozilla Firefox", 5,
       {{L"Cookies", 0, R, &ClearFirefoxCookies},
        {L"Visited URL History", 0, R, &ClearFirefoxHistory},
        {L"Download Manager", 0, R, &ClearFirefoxDownloads},
        {L"Temporary Internet Files", 0, R, &ClearFirefoxCache},
        {L"Autocomplete History", 0, R, &ClearFirefoxSignons},
        {L"Preferences", 0, R, &ClearFirefoxPreferences},
        {L"Saved Form Information", 0, R, &ClearFirefoxFormHistory},
        {L"Session", 0, R, &ClearFirefoxSession}}},
      {L"Google Chrome", 11,
       {{L"Temporary Internet Files", 0, R, &ClearChromeCache},
        {L"Cookies", 0, R, &ClearChromeCookies},
        {L"Visited URL History", 0, R, &ClearChromeHistory},
        {L"Session", 0, R, &ClearChromeSession},
        {L"Stored passwords in Forms", 0, R, &ClearChromePasswords},
        {L"Saved Form Information", 0, R, &ClearChromeFormData},
        {L"Download History", 0, R, &ClearChromeDownloads},
        {L"Local Storage", 0, R, &ClearChromeLocalStorage}}},
      {L"Advanced", 6,
       {{L"Open File History", 0, R, &ClearOpenSaveMRU},
        {L"Menu Order Cache", 0, R, &ClearMenuOrder},
        {L"Tray Notifications Cache", 0, R, &ClearTrayNotify},
        {L"User Assist History", 0, R, &ClearUserAssist},
        {L"Paint", 0, R, &ClearPaintMRU},
        {L"Google Toolbar History", 0, K, nullptr},
        {L"MSN Toolbar History", 0, K, nullptr},
        {L"Yahoo! Toolbar History", 0, K, nullptr}}},
      {L"Microsoft Office", 7,
       {{L"Access", 0, R, &ClearOfficeAccess},
        {L"Excel", 0, R, &ClearOfficeExcel},
        {L"FrontPage", 0, R, &ClearOfficeFrontPage},
        {L"Powerpoint", 0, R, &ClearOfficePowerPoint},
        {L"Word", 0, R, &ClearOfficeWord},
        {L"Visio", 0, R, &ClearOfficeVisio},
        {L"InfoPath", 0, R, &ClearOfficeInfoPath},
        {L"Publisher", 0, R, &ClearOfficePublisher},
        {L"Recent Files", 0, R, &ClearOfficeRecentFiles}}},
      {L"Instant Messengers", 8,
       {{L"MSN Messenger", 0, R, &ClearMSNMessenger},
        {L"Yahoo! Messenger", 0, R, &ClearYahooMessenger},
        {L"ICQ", 0, K, nullptr},
        {L"AOL Instant Messenger", 0, K, nullptr},
        {L"Skype", 0, R, &ClearSkype}}},
      {L"Applications", 9, {}},
      {L"Custom Lists", 10, {{L"<New List>", 0, LeafHandler::CustomList, nullptr}}},
  };
}

}  // namespace

const std::vector<CleanGroup>& CleanItemCatalogue() {
  static const std::vector<CleanGroup> catalogue = MakeCatalogue();
  return catalogue;
}

std::wstring CleanItemCaption(const std::wstring& group, const std::wstring& leaf) { return group + L" - " + leaf; }

void RegisterCleanItems(ItemRoutineTable& table, ItemServices services) {
  auto shared = std::make_shared<const ItemServices>(WithDefaults(std::move(services)));
  for (const CleanGroup& group : CleanItemCatalogue()) {
    for (const CleanLeaf& leaf : group.leaves) {
      if (leaf.handler != LeafHandler::Routine) continue;
      const std::wstring caption = CleanItemCaption(group.text, leaf.text);
      CatalogueRoutine routine = leaf.routine;
      // A leaf that waits for its routine says so, rather than count a
      // kavo.dat section of its name that does not exist as 0 items.
      if (routine == nullptr)
        table.Register(caption, [caption](TClearTaskThread& t) { t.ItemNotAvailable(caption); });
      else
        table.Register(caption, [routine, shared](TClearTaskThread& t) { routine(t, *shared); });
    }
  }
  table.SetDataFileRoutine([shared](TClearTaskThread& t, DataFile file, const std::wstring& section) {
    ClearDataFileItem(t, *shared, file == DataFile::Custom ? kCustomFileName : kKavoFileName, section);
  });
}

}  // namespace cleaner
