// Whole clean runs of the browser items against fake profiles seeded in the
// test prefix's own application-data folders: a test changes no byte, the
// clean removes what the items name and empties the named tables only.
#include <gtest/gtest.h>

#include "BrowserProfiles.h"
#include "ItemsFakes.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Paths.h"
#include "core/SQLiteWrapper.h"

using namespace cleaner;
using namespace items_test;

namespace {

const HKEY CU = HKEY_CURRENT_USER;
const std::wstring kEdgeKey =
    L"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\AppContainer\\Storage\\"
    L"microsoft.microsoftedge_8wekyb3d8bbwe\\MicrosoftEdge\\";

std::wstring Roaming() { return core::GetAppDataPath(); }
std::wstring Local() { return StartFolder(StepBase::LocalAppData); }

bool LogHas(ItemRun& run, const std::wstring& part1, const std::wstring& part2) {
  for (const auto& line : run.log->Lines()) {
    if (line.find(part1) != std::wstring::npos && line.find(part2) != std::wstring::npos) return true;
  }
  return false;
}

using TableRows = std::map<std::wstring, std::vector<std::string>>;

// Every table's rows as a clean must leave them: a table named in `kept`
// keeps only the rows its condition selects, every other table all of them.
TableRows RowsToKeep(const std::wstring& file, const std::map<std::wstring, std::wstring>& kept) {
  TableRows rows;
  for (const auto& table : TableNames(file)) {
    auto where = kept.find(table);
    rows[table] = Rows(file, L"SELECT * FROM " + table + (where == kept.end() ? L"" : L" WHERE " + where->second));
  }
  return rows;
}

// Spoils the header of a table's first page; gives the file's new bytes.
std::string DamageRootPage(const std::wstring& file, const std::wstring& table) {
  int64_t page = 0, size = 0;
  {
    core::TSQLiteDatabase db(file);
    page = std::get<int64_t>(db.GetTable(L"SELECT rootpage + 0 FROM sqlite_master WHERE name = '" + table + L"'").Cell(0, 0));
    size = std::get<int64_t>(db.GetTable(L"PRAGMA page_size").Cell(0, 0));
  }
  std::string bytes = ReadBytes(file);
  bytes.replace(static_cast<size_t>((page - 1) * size), 16, 16, 'Z');
  WriteFile(file, bytes);
  return bytes;
}

// The database holds exactly `expected`, passes its integrity check, and
// none of `gone` is left in its bytes.
void ExpectCleaned(const std::wstring& file, const TableRows& expected, const char* const* gone, size_t goneCount) {
  SCOPED_TRACE(testing::PrintToString(file));
  EXPECT_EQ(RowsToKeep(file, {}), expected);
  EXPECT_EQ(IntegrityCheck(file), L"ok");
  for (size_t i = 0; i < goneCount; ++i) EXPECT_FALSE(FileHolds(file, gone[i])) << gone[i];
}

// What the Firefox history clean keeps of a places database built by
// MakePlacesDatabase: the bookmarked places 1 and 3 and what hangs off them.
const std::map<std::wstring, std::wstring> kPlacesKept = {
    {L"moz_places", L"id IN (1, 3)"},
    {L"moz_historyvisits", L"0"},
    {L"moz_inputhistory", L"place_id IN (1, 3)"},
    {L"moz_annos", L"place_id IN (1, 3)"},
    {L"moz_places_metadata", L"place_id IN (1, 3) AND (referrer_place_id IS NULL OR referrer_place_id IN (1, 3))"},
    {L"moz_origins", L"id IN (1, 3)"},
};

// A fake browser's folders, which must not exist before the test and are
// removed after it.
class BrowserRoad : public testing::Test {
 protected:
  void Own(const std::wstring& folder, const std::wstring& marker) {
    ASSERT_FALSE(Exists(folder)) << "left over from an earlier run";
    owned_.emplace_back(folder, marker);
  }
  void TearDown() override {
    for (const auto& o : owned_) RemoveSeededTree(o.first, o.second);
  }
  void Seed(const std::wstring& root, const std::vector<const wchar_t*>& files) {
    for (const wchar_t* f : files) WriteFile(root + f, std::string(700, 'x'));
  }
  std::map<std::wstring, ItemResult> Run(CleanMode mode, const std::vector<std::wstring>& captions) {
    ItemRun run(mode);
    run.Run(captions);
    EXPECT_TRUE(run.asker->questions.empty());
    EXPECT_FALSE(run.poster->Posts().empty());
    if (!run.poster->Posts().empty()) {
      EXPECT_EQ(run.poster->Posts().back().first, WM_CLEANFINISHED);
    }
    return run.Results();
  }
  void ExpectCounts(const std::map<std::wstring, ItemResult>& results, const std::map<std::wstring, int>& expected) {
    for (const auto& e : expected) {
      auto found = results.find(e.first);
      ASSERT_NE(found, results.end()) << testing::PrintToString(e.first);
      EXPECT_EQ(found->second.count, e.second) << testing::PrintToString(e.first);
    }
  }

  std::vector<std::pair<std::wstring, std::wstring>> owned_;
};

TEST_F(BrowserRoad, Firefox) {
  const std::wstring mozilla = Roaming() + L"Mozilla\\", localMozilla = Local() + L"Mozilla\\";
  Own(mozilla, L"\\Mozilla\\");
  Own(localMozilla, L"\\Mozilla\\");
  const std::wstring profiles = mozilla + L"Firefox\\Profiles\\";
  const std::wstring a = profiles + L"a.default\\", b = profiles + L"b.other\\";
  // Every schema in its own default profile, and a profile that is damaged.
  const std::vector<std::pair<std::wstring, PlacesSchema>> schemas = {
      {a + L"places.sqlite", PlacesSchema::Today},
      {profiles + L"old.default-release\\places.sqlite", PlacesSchema::Old},
      {profiles + L"newer.default\\places.sqlite", PlacesSchema::Newer}};
  for (const auto& s : schemas) MakePlacesDatabase(s.first, s.second);
  MakePlacesDatabase(b + L"places.sqlite");
  const std::wstring damaged = profiles + L"damaged.default\\places.sqlite";
  MakePlacesDatabase(damaged);
  // A table the clean does not touch: only the integrity check finds it.
  const std::string damagedBytes = DamageRootPage(damaged, L"moz_items_annos");
  Seed(a, {L"cookies.sqlite", L"cookies.txt", L"history.dat", L"downloads.sqlite", L"signons3.txt", L"prefs.js",
           L"formhistory.sqlite", L"sessionstore.js", L"keep.ini", L"Cache\\c1"});
  Seed(b, {L"prefs.js", L"keep.ini"});
  Seed(localMozilla + L"Firefox\\Profiles\\a.default\\", {L"Cache\\1", L"Cache\\sub\\2", L"keep.ini"});
  std::vector<std::string> before;
  std::vector<TableRows> kept;
  for (const auto& s : schemas) {
    before.push_back(ReadBytes(s.first));
    kept.push_back(RowsToKeep(s.first, kPlacesKept));
    ASSERT_TRUE(FileHolds(s.first, "gone.example"));
  }
  const std::string placesB = ReadBytes(b + L"places.sqlite");
  const std::map<std::wstring, int> expected = {
      {L"Mozilla Firefox - Cookies", 2},          {L"Mozilla Firefox - Visited URL History", 1},
      {L"Mozilla Firefox - Download Manager", 1}, {L"Mozilla Firefox - Temporary Internet Files", 3},
      {L"Mozilla Firefox - Autocomplete History", 1}, {L"Mozilla Firefox - Preferences", 2},
      {L"Mozilla Firefox - Saved Form Information", 1}, {L"Mozilla Firefox - Session", 1}};
  std::vector<std::wstring> captions;
  for (const auto& e : expected) captions.push_back(e.first);

  ExpectCounts(Run(CleanMode::Test, captions), expected);
  for (size_t i = 0; i < schemas.size(); ++i) EXPECT_EQ(ReadBytes(schemas[i].first), before[i]) << i;
  EXPECT_TRUE(Exists(a + L"cookies.sqlite"));

  ItemRun run(CleanMode::RealClean);
  run.Run(captions);
  ExpectCounts(run.Results(), expected);
  for (size_t i = 0; i < schemas.size(); ++i) {
    ExpectCleaned(schemas[i].first, kept[i], kGonePlaceTexts, kGonePlaceTextCount);
  }
  EXPECT_TRUE(LogHas(run, damaged, L"malformed"));
  EXPECT_TRUE(ReadBytes(damaged) == damagedBytes) << "the damaged database was written to";
  EXPECT_EQ(ReadBytes(b + L"places.sqlite"), placesB);
  for (const wchar_t* gone : {L"cookies.sqlite", L"cookies.txt", L"history.dat", L"prefs.js", L"Cache\\c1"}) {
    EXPECT_FALSE(Exists(a + gone)) << testing::PrintToString(std::wstring(gone));
  }
  EXPECT_FALSE(Exists(localMozilla + L"Firefox\\Profiles\\a.default\\Cache\\sub"));
  EXPECT_TRUE(Exists(localMozilla + L"Firefox\\Profiles\\a.default\\Cache"));
  EXPECT_TRUE(Exists(a + L"keep.ini"));
  EXPECT_TRUE(Exists(b + L"keep.ini"));
}

class ChromeRoad : public BrowserRoad {
 protected:
  void SetUp() override {
    Own(Local() + L"Google\\", L"\\Google\\");
    MakeHistoryDatabase(p_ + L"History");
    MakeWebDataDatabase(p_ + L"Web Data");
    MakeShortcutsDatabase(p_ + L"Shortcuts");
    Seed(p_, {L"Cache\\f1", L"Cache\\sub\\f2", L"Media Cache\\m1", L"Cookies", L"Current Session", L"Last Session",
              L"Archived History", L"Visited Links", L"Top Sites", L"History Index 2010-01", L"Login Data",
              L"Preferences", L"Local Storage\\http_a.example_0.localstorage", kExtension, kExtensionUpper});
  }
  const std::wstring p_ = Local() + L"Google\\Chrome\\User Data\\Default\\";
  const wchar_t* kExtension = L"Local Storage\\chrome-extension_abc_0.localstorage";
  const wchar_t* kExtensionUpper = L"Local Storage\\CHROME-EXTENSION_def_0.localstorage";
};

TEST_F(ChromeRoad, Chrome) {
  const std::vector<std::wstring> databases = {L"History", L"Web Data", L"Shortcuts"};
  std::vector<std::string> before;
  for (const auto& d : databases) before.push_back(ReadBytes(p_ + d));
  std::vector<std::wstring> all = {
      L"Google Chrome - Temporary Internet Files", L"Google Chrome - Cookies",
      L"Google Chrome - Visited URL History",      L"Google Chrome - Session",
      L"Google Chrome - Stored passwords in Forms", L"Google Chrome - Saved Form Information",
      L"Google Chrome - Download History",          L"Google Chrome - Local Storage"};
  ExpectCounts(Run(CleanMode::Test, all), {{all[0], 3}, {all[1], 2}, {all[2], 5}, {all[3], 2}, {all[4], 1},
                                           {all[5], 0}, {all[6], 0}, {all[7], 3}});
  for (size_t i = 0; i < databases.size(); ++i) EXPECT_EQ(ReadBytes(p_ + databases[i]), before[i]) << i;

  // The download history first: the history item deletes the whole file.
  for (size_t i = 0; i < kDownloadTextCount; ++i) ASSERT_TRUE(FileHolds(p_ + L"History", kDownloadTexts[i]));
  TableRows kept = RowsToKeep(p_ + L"History", {{L"downloads", L"0"},
                                                {L"downloads_url_chains", L"0"},
                                                {L"downloads_slices", L"0"},
                                                {L"downloads_reroute_info", L"0"}});
  ExpectCounts(Run(CleanMode::RealClean, {all[6]}), {{all[6], 0}});
  ExpectCleaned(p_ + L"History", kept, kDownloadTexts, kDownloadTextCount);
  EXPECT_EQ(RowCount(p_ + L"History", L"urls"), 1);

  ExpectCounts(Run(CleanMode::RealClean, {all[0], all[1], all[2], all[3], all[4], all[5]}),
               {{all[0], 3}, {all[1], 2}, {all[2], 5}, {all[3], 2}, {all[4], 1}, {all[5], 0}});
  EXPECT_EQ(RowCount(p_ + L"Shortcuts", L"omni_box_shortcuts"), 0);
  for (const wchar_t* table : {L"logins", L"autofill", L"autofill_dates", L"autofill_profile_emails",
                               L"autofill_profile_names", L"autofill_profile_phones", L"autofill_profiles",
                               L"autofill_profiles_trash"}) {
    EXPECT_EQ(RowCount(p_ + L"Web Data", table), 0) << testing::PrintToString(std::wstring(table));
  }
  EXPECT_EQ(RowCount(p_ + L"Web Data", L"keywords"), 1);
  for (const wchar_t* gone : {L"Cookies", L"Login Data", L"History", L"History Index 2010-01", L"Current Session",
                              L"Cache\\f1", L"Cache\\sub", L"Media Cache\\m1",
                              L"Local Storage\\http_a.example_0.localstorage"}) {
    EXPECT_FALSE(Exists(p_ + gone)) << testing::PrintToString(std::wstring(gone));
  }
  EXPECT_TRUE(Exists(p_ + kExtension));
  EXPECT_TRUE(Exists(p_ + kExtensionUpper));
  EXPECT_TRUE(Exists(p_ + L"Preferences"));

  ExpectCounts(Run(CleanMode::RealClean, {all[7]}), {{all[7], 2}});
  EXPECT_FALSE(Exists(p_ + kExtension));
  EXPECT_TRUE(Exists(p_ + L"Local Storage"));
}

TEST_F(ChromeRoad, LockedDatabaseIsLoggedAndTheRunGoesOn) {
  const std::string before = ReadBytes(p_ + L"Web Data");
  core::TSQLiteDatabase holder(p_ + L"Web Data");
  holder.ExecSQL(L"BEGIN IMMEDIATE");
  holder.ExecSQL(L"UPDATE keywords SET short_name = 'Held'");
  ItemRun run(CleanMode::RealClean);
  run.Run({L"Google Chrome - Stored passwords in Forms", L"Google Chrome - Saved Form Information",
           L"Google Chrome - Session"});
  holder.ExecSQL(L"ROLLBACK");
  EXPECT_TRUE(LogHas(run, p_ + L"Web Data", L"The database file is locked"));
  ASSERT_FALSE(run.poster->Posts().empty());
  EXPECT_EQ(run.poster->Posts().back().first, WM_CLEANFINISHED);
  EXPECT_FALSE(Exists(p_ + L"Login Data"));
  EXPECT_FALSE(Exists(p_ + L"Current Session"));
  EXPECT_TRUE(ReadBytes(p_ + L"Web Data") == before) << "the locked database was written to";
}

TEST_F(ChromeRoad, AStatementThatFailsHalfWayLeavesTheDatabaseAsItWas) {
  {
    // The first tables empty, then one refuses.
    core::TSQLiteDatabase db(p_ + L"Web Data");
    db.ExecSQL(L"CREATE TRIGGER keep_phones BEFORE DELETE ON autofill_profile_phones "
               L"BEGIN SELECT RAISE(ABORT, 'phones stay'); END");
  }
  const std::string before = ReadBytes(p_ + L"Web Data");
  ItemRun run(CleanMode::RealClean);
  run.Run({L"Google Chrome - Saved Form Information"});
  EXPECT_TRUE(LogHas(run, p_ + L"Web Data", L"phones stay"));
  EXPECT_TRUE(ReadBytes(p_ + L"Web Data") == before) << "part of the clean stayed";
  EXPECT_EQ(RowCount(p_ + L"Web Data", L"autofill"), 2);
}

// A link planted under the name of the journal SQLite would write: the
// database is left whole, the file behind the link is never opened, and the
// refusal is logged and counts against the exit code.
TEST_F(ChromeRoad, AJournalNameThatIsALinkRefusesTheDatabase) {
  Sandbox box(L"journal-link");
  const std::wstring outside = box.Path(L"journal"), link = p_ + L"Web Data-journal";
  WriteFile(outside, "outside");
  if (!MakeSymlink(outside, link)) GTEST_SKIP() << "no symbolic link could be made";
  const std::string before = ReadBytes(p_ + L"Web Data");
  ItemRun run(CleanMode::RealClean);
  run.Run({L"Google Chrome - Saved Form Information"});
  RemoveLink(link);
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + p_ + L"Web Data (" + link + L" is a link to another file)"));
  EXPECT_EQ(ReadBytes(outside), "outside");
  EXPECT_TRUE(ReadBytes(p_ + L"Web Data") == before) << "the database was written without its journal";
  EXPECT_GT(run.thread->FTotalFailed, 0);
}

TEST_F(BrowserRoad, APlacesFileThatIsALinkIsNotFollowed) {
  const std::wstring mozilla = Roaming() + L"Mozilla\\";
  Own(mozilla, L"\\Mozilla\\");
  Sandbox box(L"places-link");
  const std::wstring outside = box.Path(L"places.sqlite"), link = mozilla + L"Firefox\\Profiles\\l.default\\places.sqlite";
  MakePlacesDatabase(outside);
  const std::string before = ReadBytes(outside);
  MakeFolders(mozilla + L"Firefox\\Profiles\\l.default");
  if (!MakeSymlink(outside, link)) GTEST_SKIP() << "no symbolic link could be made";
  ItemRun run(CleanMode::RealClean);
  run.Run({L"Mozilla Firefox - Visited URL History"});
  EXPECT_TRUE(LogHas(run, link, L"a link to another file"));
  EXPECT_TRUE(ReadBytes(outside) == before) << "the database behind the link was cleaned";
  EXPECT_GT(run.thread->FTotalFailed, 0) << "a refusal counts against the exit code";
  RemoveLink(link);
}

// A Profiles folder the user moved elsewhere and linked back is followed: its
// history goes, the log says the link was followed, and nothing is "skipping".
TEST_F(BrowserRoad, AProfilesFolderThatIsALinkIsFollowedAndSaidSo) {
  const std::wstring mozilla = Roaming() + L"Mozilla\\";
  Own(mozilla, L"\\Mozilla\\");
  Sandbox box(L"profiles-link");
  MakePlacesDatabase(box.Path(L"x.default\\places.sqlite"));
  WriteFile(box.Path(L"x.default\\history.dat"), "h");
  MakeFolders(mozilla + L"Firefox");
  const std::wstring link = mozilla + L"Firefox\\Profiles";
  if (!MakeSymlink(box.Dir(), link)) GTEST_SKIP() << "no symbolic link could be made";
  ItemRun run(CleanMode::RealClean);
  run.Run({L"Mozilla Firefox - Visited URL History"});
  EXPECT_TRUE(LogHas(run, L"Clean: following the link " + link, L"(the user's own layout)"));
  EXPECT_FALSE(LogHas(run, L"skipping", L""));
  EXPECT_FALSE(Exists(box.Path(L"x.default\\history.dat")));
  EXPECT_EQ(RowCount(box.Path(L"x.default\\places.sqlite"), L"moz_historyvisits"), 0);
  RemoveLink(link);
}

TEST_F(BrowserRoad, Opera) {
  const std::wstring roaming = Roaming() + L"Opera\\", local = Local() + L"Opera\\";
  Own(roaming, L"\\Opera\\");
  Own(local, L"\\Opera\\");
  Seed(roaming, {L"cookies4.dat", L"global_history.dat", L"vlink4.dat", L"opera.dir", L"wand.dat", L"download.dat",
                 L"operaprefs.ini", L"Opera\\profile\\cache4\\c1"});
  Seed(local, {L"Opera\\cache\\x1", L"Opera\\cache\\sub\\x2", L"Opera\\opcache\\o1", L"Opera\\vps\\0000\\v1",
               L"Opera\\keep.dat"});
  const std::map<std::wstring, int> expected = {
      {L"Opera - Recently Typed URLs", 1}, {L"Opera - Cookies", 1},      {L"Opera - Visited URL History", 3},
      {L"Opera - Temporary Internet Files", 4}, {L"Opera - Autocomplete History", 1}, {L"Opera - Transfers", 1}};
  std::vector<std::wstring> captions;
  for (const auto& e : expected) captions.push_back(e.first);
  ExpectCounts(Run(CleanMode::Test, captions), expected);
  EXPECT_TRUE(Exists(roaming + L"wand.dat"));
  ExpectCounts(Run(CleanMode::RealClean, captions), expected);
  for (const wchar_t* gone : {L"cookies4.dat", L"vlink4.dat", L"wand.dat", L"Opera\\profile\\cache4\\c1"}) {
    EXPECT_FALSE(Exists(roaming + gone)) << testing::PrintToString(std::wstring(gone));
  }
  EXPECT_FALSE(Exists(local + L"Opera\\vps\\0000"));
  EXPECT_TRUE(Exists(roaming + L"operaprefs.ini"));
  EXPECT_TRUE(Exists(local + L"Opera\\keep.dat"));
}

TEST_F(BrowserRoad, Edge) {
  const std::wstring package = core::GetEdgePackagePath();
  ASSERT_FALSE(package.empty());
  const std::wstring packageRoot = package.substr(0, package.size() - 3);  // without "AC\"
  Own(packageRoot, L"Microsoft.MicrosoftEdge_8wekyb3d8bbwe");
  Seed(package, {L"MicrosoftEdge\\Cookies\\c1", L"#!001\\MicrosoftEdge\\Cookies\\c2",
                 L"#!001\\MicrosoftEdge\\Cookies\\sub\\deep", L"#!002\\MicrosoftEdge\\User\\Default\\DOMStore\\x\\d1",
                 L"MicrosoftEdge\\User\\Default\\DownloadHistory\\h1",
                 L"MicrosoftEdge\\User\\Default\\Recovery\\Active\\r1", L"MicrosoftEdge\\History\\h",
                 L"#!001\\MicrosoftEdge\\User\\Default\\Tiles\\t\\t1", L"#!001\\MicrosoftEdge\\User\\Default\\f1",
                 L"MicrosoftEdge\\Cache\\a\\b1"});
  SetValue(CU, kEdgeKey + L"TypedURLs", L"url1", L"http://a.example/");
  SetValue(CU, kEdgeKey + L"TypedURLs", L"url2", L"http://b.example/");
  SetValue(CU, kEdgeKey + L"IntelliForms\\FormData", L"v", L"x");
  SetValue(CU, kEdgeKey + L"Main", L"Keep", L"1");
  const std::map<std::wstring, int> expected = {
      {L"Edge - Recently Typed URLs", 2}, {L"Edge - Cookies", 3},   {L"Edge - Visited URL History", 3},
      {L"Edge - Temporary Internet Files", 1}, {L"Edge - Sessions", 1}, {L"Edge - Download History", 1},
      {L"Edge - Saved Form Information", 1},   {L"Edge - Saved Passwords", 0}};
  std::vector<std::wstring> captions;
  for (const auto& e : expected) captions.push_back(e.first);
  ExpectCounts(Run(CleanMode::Test, captions), expected);
  EXPECT_TRUE(KeyExists(CU, kEdgeKey + L"TypedURLs"));
  auto clean = Run(CleanMode::RealClean, captions);
  ExpectCounts(clean, expected);
  EXPECT_EQ(clean[L"Edge - Saved Passwords"].kb, L"0");
  EXPECT_FALSE(KeyExists(CU, kEdgeKey + L"TypedURLs"));
  EXPECT_FALSE(KeyExists(CU, kEdgeKey + L"IntelliForms\\FormData"));
  EXPECT_TRUE(ValueExists(CU, kEdgeKey + L"Main", L"Keep"));
  EXPECT_FALSE(Exists(package + L"MicrosoftEdge\\Cookies\\c1"));
  EXPECT_FALSE(Exists(package + L"#!001\\MicrosoftEdge\\User\\Default\\Tiles\\t\\t1"));
  EXPECT_TRUE(Exists(package + L"#!001\\MicrosoftEdge\\Cookies\\sub\\deep"));  // a flat deletion
  DeleteKey(CU, L"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\AppContainer\\"
                L"Storage\\microsoft.microsoftedge_8wekyb3d8bbwe");
}

}  // namespace
