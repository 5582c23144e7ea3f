// The Internet Explorer items: the cookies to keep, the history store and
// URL cache through fakes, Protected Storage through a fake store, index.dat
// scrubs, and removal at the next restart, each in a test and a clean.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>

#include "ItemsFakes.h"
#include "core/FakePStore.h"
#include "core/PStorage.h"
#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/items/IEItems.h"
#include "cleaner/items/IEServices.h"
#include "cleaner/items/ItemSteps.h"
#include "indexdat/IndexDatBuilder.h"
#include "core/Files.h"
#include "core/guard/PinnedOpen.h"
#include "core/SystemInfo.h"
#include "sys/RegistryKey.h"
#include "sys/Text.h"
#include "sys/TextCompare.h"

using namespace cleaner;
using namespace items_test;

namespace {

const HKEY CU = HKEY_CURRENT_USER;
const std::wstring kIE = L"Software\\Microsoft\\Internet Explorer\\";

class FakeHistory : public IUrlHistory {
 public:
  bool Walk(const UrlVisitor& visit) override {
    for (const std::wstring& url : urls)
      if (!visit(url)) break;
    return true;
  }
  HRESULT Delete(const std::wstring& url) override {
    deleted.push_back(url);
    return url == stopAt ? S_FALSE : S_OK;
  }
  std::vector<std::wstring> urls, deleted;
  std::wstring stopAt;
};

class FakeCache : public IUrlCache {
 public:
  void Walk(const UrlVisitor& visit) override {
    for (const std::wstring& url : urls)
      if (!visit(url)) break;
  }
  bool Delete(const std::wstring& url) override {
    deleted.push_back(url);
    return true;
  }
  std::vector<std::wstring> urls, deleted;
};

// A run whose own routine calls `body`; the item's count comes back.
int RunRoutine(CleanMode mode, ItemServices services, std::function<void(TClearTaskThread&)> body) {
  ItemRun run(mode, services);
  run.table.Register(L"Test - routine", [&](TClearTaskThread& t) { body(t); });
  run.Run({L"Test - routine"});
  return run.Results()[L"Test - routine"].count;
}

}  // namespace

TEST(IECookies, KeepListRules) {
  struct Case {
    const char* name;
    std::vector<std::wstring> keep;
    bool kept;
  };
  const std::wstring file = L"user@site[1].txt", host = L"www.site.com";
  const std::vector<Case> cases = {
      {"host listed", {L"other.com", L"www.site.com"}, true},
      {"host not listed", {L"other.com"}, false},
      {"empty list", {}, false},
      {"case counts", {L"WWW.SITE.COM"}, false},
      {"file name listed", {L"user@site[1].txt"}, true},
      {"after a file name, hosts are compared with the name", {L"x@y[1].txt", L"www.site.com"}, false},
      {"a later file name still matches", {L"x@y[1].txt", L"user@site[1].txt"}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsCookieKept(file, host, c.keep), c.kept) << c.name;
}

TEST(IECookies, KeepListFileSkipsEmptyAndStaleEntries) {
  Sandbox box(L"ie-keep");
  std::vector<std::wstring> keep;
  using Read = sys::IniStore::Result;
  EXPECT_EQ(ReadCookieKeepList(box.Root(), &keep), Read::Missing);
  EXPECT_TRUE(keep.empty()) << "no Cookies.dat";
  WriteText(box.Path(L"Cookies.dat"),
            L"[Cookies to keep]\r\nCount=5\r\n0=a.com\r\n1=\r\n2=x@b[1].txt\r\n4=gone.com\r\n9=beyond.com\r\n");
  EXPECT_EQ(ReadCookieKeepList(box.Root(), &keep), Read::Done);
  EXPECT_EQ(keep, (std::vector<std::wstring>{L"a.com", L"x@b[1].txt", L"gone.com"}));
  // A second name of a file elsewhere is not read: no cookie may go.
  ASSERT_TRUE(::CreateHardLinkW(box.Path(L"second.dat").c_str(), box.Path(L"Cookies.dat").c_str(), nullptr));
  EXPECT_EQ(ReadCookieKeepList(box.Root(), &keep), Read::Refused);
}

TEST(IEHelpers, TodayHistoryFolderAndNineXCodes) {
  SYSTEMTIME day = {};
  day.wYear = 2024, day.wMonth = 3, day.wDay = 7;
  EXPECT_EQ(GetTodayHistoryFolderName(day), L"MSHist0120240307");
  // Only the 9x family removes files at restart through Wininit.ini.
  const DWORD kNine = VER_PLATFORM_WIN32_WINDOWS, kNT = VER_PLATFORM_WIN32_NT;
  const struct { const char* name; DWORD platform, major, minor; bool wininit; } versions[] = {
      {"95", kNine, 4, 0, true},      {"98", kNine, 4, 10, true},   {"Me", kNine, 4, 90, true},
      {"NT 3.51", kNT, 3, 51, false}, {"NT 4", kNT, 4, 0, false},   {"2000", kNT, 5, 0, false},
      {"XP", kNT, 5, 1, false},       {"Vista", kNT, 6, 0, false},  {"7", kNT, 6, 1, false},
      {"8.1", kNT, 6, 3, false},      {"10", kNT, 10, 0, false}};
  for (const auto& v : versions)
    EXPECT_EQ(IsWininitVersion(core::WindowsVersionCode(v.platform, v.major, v.minor)), v.wininit) << v.name;
}

namespace {

std::vector<uint8_t> SampleIndexDat() {
  indexdat_test::IndexDatBuilder b(0x800);
  b.FirstTable(0x100).Table(0x100, 2, 0).Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://s.test/");
  return b.Bytes();
}

size_t Records(const std::wstring& path) {
  std::string bytes = ReadBytes(path);
  return indexdat::ReadListing(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).entries.size();
}

}  // namespace

namespace {

class IECookieItem : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t buf[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_COOKIES | CSIDL_FLAG_CREATE, nullptr, 0, buf), S_OK);
    folder_ = std::wstring(buf) + L"\\";
    WriteFile(folder_ + L"vantorel@kept[1].txt", "k\nv\nkept.test/\n");
    WriteFile(folder_ + L"vantorel@gone[1].txt", "k\nv\ngone.test/\n");
    WriteFile(folder_ + L"vantorel@locked[1].txt", "k\nv\ngone.test/\n");
    WriteFile(folder_ + L"vantorel-other.dat", "x");
    WriteText(box_.Path(L"Cookies.dat"), L"[Cookies to keep]\r\nCount=1\r\n0=kept.test\r\n");
    savedIndex_ = Exists(folder_ + L"index.dat") ? ReadBytes(folder_ + L"index.dat") : std::string();
    std::vector<uint8_t> sample = SampleIndexDat();
    WriteFile(folder_ + L"index.dat", std::string(sample.begin(), sample.end()));
  }
  void TearDown() override {
    if (savedIndex_.empty()) ::DeleteFileW((folder_ + L"index.dat").c_str());
    else WriteFile(folder_ + L"index.dat", savedIndex_);
    for (const wchar_t* name :
         {L"vantorel@kept[1].txt", L"vantorel@gone[1].txt", L"vantorel@locked[1].txt", L"vantorel-other.dat"})
      ::DeleteFileW((folder_ + name).c_str());
  }
  std::wstring folder_;
  std::string savedIndex_;
  Sandbox box_{L"ie-cookies"};
};

}  // namespace

TEST_F(IECookieItem, KeptAndUnreadableCookiesSurvive) {
  // Held open without sharing: its host cannot be read, so it stays.
  HANDLE locked = ::CreateFileW((folder_ + L"vantorel@locked[1].txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode, DataFolder(box_.Root()));
    run.Run({L"Internet Explorer - Cookies"});
    EXPECT_GE(run.Results()[L"Internet Explorer - Cookies"].count, 1);
    EXPECT_TRUE(run.log->Contains(L"Cannot read cookie " + folder_ + L"vantorel@locked[1].txt, kept"));
    EXPECT_TRUE(Exists(folder_ + L"vantorel@kept[1].txt"));
    EXPECT_EQ(Exists(folder_ + L"vantorel@gone[1].txt"), mode == CleanMode::Test);
    EXPECT_TRUE(Exists(folder_ + L"vantorel-other.dat"));
    EXPECT_EQ(Records(folder_ + L"index.dat"), 1u) << "a kept cookie keeps its index entry";
  }
  ::CloseHandle(locked);
  EXPECT_TRUE(Exists(folder_ + L"vantorel@locked[1].txt"));
}

// A keep list that was not read leaves every cookie, and the clean reads the
// same whether the file was refused or could not be read.
TEST_F(IECookieItem, AKeepListNotReadReadsTheSameWhateverKeptItUnread) {
  const std::wstring list = box_.Path(L"Cookies.dat");
  const struct {
    const char* why;
    std::function<HANDLE()> hold;  // what keeps the list unread, closed after the run
  } causes[] = {
      {"a second name of a file elsewhere (refused)",
       [&] {
         ::CreateHardLinkW(box_.Path(L"elsewhere.dat").c_str(), list.c_str(), nullptr);
         return INVALID_HANDLE_VALUE;
       }},
      {"held open without sharing (unreadable)",
       [&] { return ::CreateFileW(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); }},
  };
  std::vector<std::wstring> first;
  for (const auto& c : causes) {
    SCOPED_TRACE(c.why);
    HANDLE held = c.hold();
    ItemRun run(CleanMode::RealClean, DataFolder(box_.Root()));
    run.Run({L"Internet Explorer - Cookies"});
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    ::DeleteFileW(box_.Path(L"elsewhere.dat").c_str());
    EXPECT_TRUE(Exists(folder_ + L"vantorel@gone[1].txt"));
    EXPECT_TRUE(run.log->Contains(L"1 items could not be removed."));
    EXPECT_EQ(run.thread->FTotalFailed, 1);
    if (first.empty()) first = run.log->Lines();
    else EXPECT_EQ(run.log->Lines(), first);
  }
}

TEST(IEHistory, StoreAndCacheCountedInATestRemovedInAClean) {
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    auto history = std::make_shared<FakeHistory>();
    auto cache = std::make_shared<FakeCache>();
    history->urls = {L"http://a.test/", L"https://b.test/", L"file:///c"};
    cache->urls = {L"http://x.test/1", L"https://y.test/", L"http://z.test/2", L"Cookie:v@x.test/"};
    ItemServices s;
    s.urlHistory = history;
    s.urlCache = cache;
    int count = RunRoutine(mode, s, [&](TClearTaskThread& t) {
      ClearIEUrlHistory(t, s);
      t.FItemCount += ClearUrlCache(t, s);
    });
    EXPECT_EQ(count, 3 + 2);
    bool test = mode == CleanMode::Test;
    EXPECT_EQ(history->deleted, test ? std::vector<std::wstring>{} : history->urls);
    EXPECT_EQ(cache->deleted, test ? std::vector<std::wstring>{}
                                   : (std::vector<std::wstring>{L"http://x.test/1", L"http://z.test/2"}));
  }
  // The store saying S_FALSE ends the walk.
  auto history = std::make_shared<FakeHistory>();
  history->urls = {L"http://a/", L"http://b/", L"http://c/"};
  history->stopAt = L"http://b/";
  ItemServices s;
  s.urlHistory = history;
  s.urlCache = std::make_shared<FakeCache>();
  RunRoutine(CleanMode::RealClean, s, [&](TClearTaskThread& t) { ClearIEUrlHistory(t, s); });
  EXPECT_EQ(history->deleted, (std::vector<std::wstring>{L"http://a/", L"http://b/"}));
}

namespace {

class IEAutoComplete : public testing::Test {
 protected:
  void SetUp() override {
    pstore_test::ResetFake();
    saved_ = core::SetPStoreCreateInstance(&pstore_test::FakeCreateInstance);
    using pstore_test::MakeGuid;
    pstore_test::Fake().types = {
        {MakeGuid(1), L"Outlook", {{MakeGuid(11), {L"mail"}}}},
        {MakeGuid(2), L"Internet Explorer",
         {{MakeGuid(21), {L"http://a.test/StringData", L"http://a.test/StringIndex", L"name:StringData",
                          L"name:StringIndex"}},
          {MakeGuid(22), {std::wstring(300, L'q')}}}}};
    SetValue(CU, kIE + L"IntelliForms\\Storage1", L"h1", L"x");
    SetValue(CU, kIE + L"IntelliForms\\Storage1", L"h2", L"x");
  }
  void TearDown() override {
    core::SetPStoreCreateInstance(saved_);
    DeleteKey(CU, kIE + L"IntelliForms");
  }
  int Run(CleanMode mode) {
    ItemRun run(mode);
    run.Run({L"Internet Explorer - Autocomplete History"});
    return run.Results()[L"Internet Explorer - Autocomplete History"].count;
  }
  core::PStoreCreateInstanceFn saved_ = nullptr;
};

}  // namespace

TEST_F(IEAutoComplete, CountsInATestDeletesEveryItemInAClean) {
  // The last subtype sets the count afresh: one item counts 1; then the two
  // registry values.
  EXPECT_EQ(Run(CleanMode::Test), 1 + 2);
  EXPECT_TRUE(pstore_test::Fake().deleted.empty());
  EXPECT_TRUE(KeyExists(CU, kIE + L"IntelliForms\\Storage1"));
  EXPECT_EQ(Run(CleanMode::RealClean), 1 + 2);
  EXPECT_EQ(pstore_test::Fake().deleted,
            (std::vector<std::wstring>{L"http://a.test/StringData", L"http://a.test/StringIndex", L"name:StringData",
                                       L"name:StringIndex", std::wstring(300, L'q')}));
  EXPECT_FALSE(KeyExists(CU, kIE + L"IntelliForms\\Storage1"));
}

TEST_F(IEAutoComplete, RegistryFormDataGoesEvenWithoutProtectedStorage) {
  core::SetPStoreCreateInstance(nullptr);
  EXPECT_EQ(Run(CleanMode::RealClean), 2);
  EXPECT_FALSE(KeyExists(CU, kIE + L"IntelliForms\\Storage1"));
}

TEST(IERegistryItems, TypedUrlsAndDownloadFolder) {
  SetValue(CU, kIE + L"TypedURLs", L"url1", L"http://typed.test/1");
  SetValue(CU, kIE + L"TypedURLs", L"url2", L"http://typed.test/2");
  SetValue(CU, kIE.substr(0, kIE.size() - 1), L"Download Directory", L"C:\\x");
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode);
    run.Run({L"Internet Explorer - Recently Typed URLs", L"Internet Explorer - Last Download Location"});
    auto results = run.Results();
    EXPECT_EQ(results[L"Internet Explorer - Recently Typed URLs"].count, 2);
    EXPECT_EQ(results[L"Internet Explorer - Last Download Location"].count, 1);
    EXPECT_TRUE(run.log->Contains(run.thread->Prefix() + L"deleting http://typed.test/2"));
    EXPECT_EQ(KeyExists(CU, kIE + L"TypedURLs"), mode == CleanMode::Test);
    EXPECT_EQ(ValueExists(CU, kIE.substr(0, kIE.size() - 1), L"Download Directory"), mode == CleanMode::Test);
  }
}


TEST(IEIndexDat, TreeScrubSparesTheWorkFolderAndWritesNothingInATest) {
  Sandbox box(L"ie-indexdat");
  std::vector<uint8_t> sample = SampleIndexDat();
  std::string bytes(sample.begin(), sample.end());
  WriteFile(box.Path(L"hist\\index.dat"), bytes);
  WriteFile(box.Path(L"hist\\MSHist01\\index.dat"), bytes);
  // An index file that is a link to one outside: refused, not written through.
  WriteFile(box.Path(L"outside\\index.dat"), bytes);
  box.Folder(L"hist\\MSHist02");
  const std::wstring link = box.Path(L"hist\\MSHist02\\index.dat");
  const bool linked = MakeSymlink(box.Path(L"outside\\index.dat"), link);
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode);
    run.table.Register(L"Test - routine", [&](TClearTaskThread& t) {
      t.FWorkPath = box.Path(L"hist");
      WipeIndexDatTree(t, t.FWorkPath);
    });
    run.Run({L"Test - routine"});
    EXPECT_EQ(Records(box.Path(L"hist\\index.dat")), 1u);
    EXPECT_EQ(Records(box.Path(L"hist\\MSHist01\\index.dat")), mode == CleanMode::Test ? 1u : 0u);
    EXPECT_EQ(Records(box.Path(L"outside\\index.dat")), 1u);
    if (linked && mode == CleanMode::RealClean) {
      EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + link + L" (a link to another file)"));
      EXPECT_GT(run.thread->FTotalFailed, 0);
    }
  }
  if (linked) RemoveLink(link);
  if (!linked) GTEST_SKIP() << "the index file linked outside was not tried: links can only be made under Wine";
}

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::wstring PendingRenames() {
  sys::RegistryKey key;
  std::vector<wchar_t> data(1 << 16);
  DWORD size = DWORD(data.size() * sizeof(wchar_t)), type = 0;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     &type, data.data(), &size) != ERROR_SUCCESS)
    return L"";
  std::wstring all(data.data(), size / sizeof(wchar_t));
  std::replace(all.begin(), all.end(), L'\0', L'|');
  return all;
}

void RestorePendingRenames(const std::wstring& before) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (before.empty()) {
    ::RegDeleteValueW(key, L"PendingFileRenameOperations");
  } else {
    std::wstring data = before;
    std::replace(data.begin(), data.end(), L'|', L'\0');
    ::RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size() * sizeof(wchar_t)));
  }
  ::RegCloseKey(key);
}

}  // namespace

// The NT family's restart list removes by name as the system, following a
// link planted after the scrub: nothing is put on it. The 9x family has no
// such boundary and keeps its Wininit.ini lines, a link never among them.
TEST(IERestart, NothingScheduledOnNtAndWininitLinesOnNineX) {
  Sandbox box(L"ie-restart");
  box.File(L"a\\index.dat");
  box.File(L"b\\index.dat");
  std::vector<std::wstring> files = {box.Path(L"a\\index.dat"), box.Path(L"b\\index.dat"), box.Path(L"missing.dat")};
  std::wstring ini = box.Path(L"Wininit.ini");
  box.File(L"precious.txt");
  bool linked = MakeSymlink(box.Path(L"precious.txt"), box.Path(L"link.dat"));
  std::vector<std::wstring> withLink = files;
  if (linked) withLink.push_back(box.Path(L"link.dat"));
  std::wstring before = PendingRenames();

  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    RunRoutine(mode, {}, [&](TClearTaskThread& t) { RemoveAtRestart(t, withLink, 9, ini); });
  }
  RunRoutine(CleanMode::Test, {}, [&](TClearTaskThread& t) { RemoveAtRestart(t, files, 3, ini); });
  std::wstring pending = PendingRenames();
  RestorePendingRenames(before);
  EXPECT_EQ(pending, before) << "scheduled on the NT family, or in a test";
  EXPECT_FALSE(Exists(ini));

  WriteText(ini, L"[Other]\r\nx=1\r\n[Rename]\r\nNUL=C:\\OLD.TXT\r\n");
  RunRoutine(CleanMode::RealClean, {}, [&](TClearTaskThread& t) { RemoveAtRestart(t, withLink, 3, ini); });
  if (linked) RemoveLink(box.Path(L"link.dat"));
  std::string text = ReadBytes(ini);
  std::string a = sys::ToAnsi(core::GetShortPath(files[0])), b = sys::ToAnsi(core::GetShortPath(files[1]));
  EXPECT_EQ(text, "[Other]\r\nx=1\r\n[Rename]\r\nNUL=" + b + "\r\nNUL=" + a + "\r\nNUL=C:\\OLD.TXT\r\n");
  EXPECT_EQ(PendingRenames(), before);
  if (!linked) GTEST_SKIP() << "a link among the files was not tried: links can only be made under Wine";
}

TEST(IERestart, WininitSectionAppendedWhenMissing) {
  Sandbox box(L"ie-wininit");
  std::wstring ini = box.Path(L"Wininit.ini");
  ASSERT_TRUE(AddWininitRenames(ini, {L"NUL=C:\\A", L"NUL=C:\\B", L"NUL=C:\\C"}));
  EXPECT_EQ(ReadBytes(ini), "[rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\C\r\n");
  ASSERT_TRUE(AddWininitRenames(ini, {L"NUL=C:\\D", L"NUL=C:\\E", L"NUL=C:\\F"}));
  EXPECT_EQ(ReadBytes(ini), "[rename]\r\nNUL=C:\\F\r\nNUL=C:\\E\r\nNUL=C:\\D\r\nNUL=C:\\A\r\nNUL=C:\\B\r\nNUL=C:\\C\r\n");
}

namespace {

std::wstring ShellFolder(int csidl) {
  wchar_t buf[MAX_PATH] = {};
  if (::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, buf) != S_OK) return L"";
  return std::wstring(buf) + L"\\";
}

// The three index files of the browser, seeded with one record each; the
// ones that were there before are put back at the end.
class IEIndexDatItem : public testing::Test {
 protected:
  void SetUp() override {
    files_ = {ShellFolder(CSIDL_COOKIES) + L"index.dat", ShellFolder(CSIDL_INTERNET_CACHE) + L"Content.IE5\\index.dat",
              ShellFolder(CSIDL_HISTORY) + L"History.IE5\\index.dat"};
    std::vector<uint8_t> sample = SampleIndexDat();
    for (const std::wstring& f : files_) {
      saved_.push_back(Exists(f) ? ReadBytes(f) : std::string());
      WriteFile(f, std::string(sample.begin(), sample.end()));
    }
    pending_ = PendingRenames();
  }
  void TearDown() override {
    RestorePendingRenames(pending_);
    for (size_t i = 0; i < files_.size(); ++i) {
      if (saved_[i].empty()) ::DeleteFileW(files_[i].c_str());
      else WriteFile(files_[i], saved_[i]);
    }
  }
  std::vector<std::wstring> files_;
  std::vector<std::string> saved_;
  std::wstring pending_;
};

}  // namespace

// On the NT family each file is emptied in place and stays for the browser;
// nothing goes on the restart list. A folder on the way that is a link, an
// index file with a second name outside, or one swapped for another file
// after its listing is refused with its reason, and the file behind it
// keeps its records; one the browser holds without write sharing is left,
// said so and not counted. Only the files emptied are counted, with their
// size: three that are not cache index files end as no item.
TEST_F(IEIndexDatItem, EmptiedInPlaceScheduledNowhereAndNoLinkFollowed) {
  const std::wstring caption = L"Internet Explorer - Index.dat Files";
  enum class Trap {
    None,
    ContentLink,    // Content.IE5 a link to an outside folder with a valid index file
    HardLink,       // the cookies' index a second name of an outside index file
    SwappedAtOpen,  // the history's index swapped for a copy of an outside one just before its open
    HeldOpen,       // the cache's index held open by another program without write sharing
    NoIndexFiles,   // all three are other files under the name
  };
  struct Row {
    const char* what;
    CleanMode mode;
    Trap trap;
    size_t trapped;      // the index of files_ the trap is on; 9: all three
    const wchar_t* why;  // the end of its log line
  };
  const Row rows[] = {
      {"a test counts the three and writes nothing", CleanMode::Test, Trap::None, 9, nullptr},
      {"a clean empties the three in place", CleanMode::RealClean, Trap::None, 9, nullptr},
      {"Content.IE5 a link to an outside index file", CleanMode::RealClean, Trap::ContentLink, 1,
       L"\\ (a folder link; its target is kept)"},
      {"the cookies' index a hard link to an outside file", CleanMode::RealClean, Trap::HardLink, 0,
       L" (a link to another file)"},
      {"the history's index swapped after its listing", CleanMode::RealClean, Trap::SwappedAtOpen, 2,
       L" (a link to another file)"},
      {"the cache's index in use by the browser", CleanMode::RealClean, Trap::HeldOpen, 1, L" (in use)"},
      {"three files that are not cache index files", CleanMode::RealClean, Trap::NoIndexFiles, 9, nullptr},
  };
  ItemServices nt;
  nt.windowsVersion = [] { return BYTE(9); };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::vector<uint8_t> sample = SampleIndexDat();
    const std::string bytes(sample.begin(), sample.end());
    const std::string other(32 * 1024, 'o');
    for (const std::wstring& f : files_) WriteFile(f, r.trap == Trap::NoIndexFiles ? other : bytes);
    const std::wstring content = ShellFolder(CSIDL_INTERNET_CACHE) + L"Content.IE5";
    Sandbox box(L"ie-indexdat-link");
    const std::wstring outside = box.Path(L"outside\\index.dat");
    WriteFile(outside, bytes);
    if (r.trap == Trap::ContentLink) {
      ASSERT_TRUE(::MoveFileW(content.c_str(), (content + L".saved").c_str()));
      if (!MakeSymlink(box.Path(L"outside"), content)) {
        ::MoveFileW((content + L".saved").c_str(), content.c_str());
        GTEST_SKIP() << "no symbolic link could be made";
      }
    }
    if (r.trap == Trap::HardLink) {
      ASSERT_TRUE(::DeleteFileW(files_[r.trapped].c_str()));
      ASSERT_TRUE(::CreateHardLinkW(files_[r.trapped].c_str(), outside.c_str(), nullptr));
    }
    bool swapped = false;
    if (r.trap == Trap::SwappedAtOpen) {
      core::guard::SetBeforeContentOpen([&](const std::wstring& path) {
        if (swapped || !sys::SameText(path, files_[r.trapped])) return;
        swapped = ::MoveFileW(path.c_str(), box.Path(L"moved-away").c_str()) &&
                  ::CopyFileW(outside.c_str(), path.c_str(), TRUE);
      });
    }
    HANDLE held = r.trap != Trap::HeldOpen ? INVALID_HANDLE_VALUE
                                           : ::CreateFileW(files_[r.trapped].c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                           nullptr, OPEN_EXISTING, 0, nullptr);
    ItemRun run(r.mode, nt);
    run.Run({caption});
    core::guard::SetBeforeContentOpen(nullptr);
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    if (r.trap == Trap::ContentLink) {
      RemoveLink(content);
      ASSERT_TRUE(::MoveFileW((content + L".saved").c_str(), content.c_str()));
    }
    EXPECT_EQ(swapped, r.trap == Trap::SwappedAtOpen);
    const bool clean = r.mode == CleanMode::RealClean;
    auto isTrapped = [&](size_t i) { return r.trap != Trap::None && (r.trapped == 9 || i == r.trapped); };
    size_t left = 0;
    for (size_t i = 0; i < files_.size(); ++i) left += clean && isTrapped(i) ? 1 : 0;
    const ItemResult result = run.Results()[caption];
    EXPECT_EQ(result.count, static_cast<int>(files_.size() - left));
    EXPECT_EQ(result.kb, TClearTaskThread::FormatKB(int64_t(bytes.size()) * int64_t(files_.size() - left)));
    EXPECT_FALSE(run.log->Contains(L"Warning: This will take effect next time windows is rebooted."));
    EXPECT_EQ(PendingRenames(), pending_);
    for (size_t i = 0; i < files_.size(); ++i) {
      const std::wstring& f = files_[i];
      const bool trapped = isTrapped(i);
      if (r.trap == Trap::NoIndexFiles) {
        EXPECT_EQ(ReadBytes(f), other);
        EXPECT_TRUE(run.log->Contains(L"Not a cache index file, left unchanged: " + f)) << testing::PrintToString(f);
      } else {
        EXPECT_EQ(Records(f), clean && !trapped ? 0u : 1u) << testing::PrintToString(f);
      }
      EXPECT_EQ(run.log->Contains(L"Clean: emptied " + f + L" and left it for the browser"), clean && !trapped)
          << testing::PrintToString(f);
    }
    if (r.trap == Trap::None || r.trap == Trap::NoIndexFiles) continue;
    EXPECT_EQ(Records(outside), 1u) << "the file behind the link was scrubbed";
    const std::wstring logged = r.trap == Trap::ContentLink ? content : files_[r.trapped];
    const wchar_t* verb = r.trap == Trap::HeldOpen ? L"Clean: not emptied " : L"Clean: skipping ";
    EXPECT_TRUE(run.log->Contains(verb + logged + r.why)) << testing::PrintToString(run.log->Lines());
    EXPECT_GT(run.thread->FTotalFailed, 0) << "a refusal counts against the exit code";
  }
}

TEST(IETempFiles, TestSparesIndexFilesCleanEmptiesTheCache) {
  std::wstring cache = ShellFolder(CSIDL_INTERNET_CACHE);
  ASSERT_FALSE(cache.empty());
  std::wstring mine = cache + L"vantorel-e2e\\";
  WriteFile(mine + L"a.htm", std::string(1000, 'a'));
  WriteFile(mine + L"sub\\b.jpg", "b");
  WriteFile(mine + L"index.dat", "not counted in a test");
  const std::wstring caption = L"Internet Explorer - Temporary Internet Files";
  ItemRun test(CleanMode::Test);
  test.Run({caption});
  int counted = test.Results()[caption].count;
  EXPECT_GE(counted, 2);
  EXPECT_TRUE(Exists(mine + L"a.htm"));
  ItemRun clean(CleanMode::RealClean);
  clean.Run({caption});
  EXPECT_GE(clean.Results()[caption].count, counted);
  EXPECT_FALSE(Exists(mine + L"a.htm"));
  EXPECT_FALSE(Exists(mine + L"sub\\b.jpg"));
  RemoveTree(mine);
}

TEST(IEHistoryItem, HistoryFolderEmptiedAroundItsIndexFile) {
  std::wstring history = ShellFolder(CSIDL_HISTORY);
  ASSERT_FALSE(history.empty());
  std::wstring ie5 = history + L"History.IE5\\";
  std::vector<uint8_t> sample = SampleIndexDat();
  std::string index(sample.begin(), sample.end());
  WriteFile(ie5 + L"index.dat", index);
  WriteFile(ie5 + L"MSHist012020010120200108\\index.dat", index);
  WriteFile(ie5 + L"MSHist012020010120200108\\page.dat", "p");
  ItemServices s;
  auto fakeHistory = std::make_shared<FakeHistory>();
  fakeHistory->urls = {L"http://visited.test/"};
  s.urlHistory = fakeHistory;
  s.urlCache = std::make_shared<FakeCache>();
  const std::wstring caption = L"Internet Explorer - Visited URL History";
  BYTE version = core::GetWindowsVersion();
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode, s);
    run.Run({caption});
    EXPECT_GE(run.Results()[caption].count, 1);
    if (version == 11 || version == 12) continue;  // the protected-mode folders instead
    EXPECT_EQ(Exists(ie5 + L"MSHist012020010120200108\\page.dat"), mode == CleanMode::Test);
    EXPECT_EQ(Records(ie5 + L"index.dat"), 1u);
  }
  EXPECT_EQ(fakeHistory->deleted, fakeHistory->urls);
  RemoveTree(ie5 + L"MSHist012020010120200108");
  ::DeleteFileW((ie5 + L"index.dat").c_str());
}

namespace {

// The history folders of both branches, seeded anew for each case: two old
// day folders and today's in the protected-mode folder, one and today's in
// the plain one, and a file of the recovery folder.
class IEHistoryVersions : public testing::Test {
 protected:
  enum Goes { Never, OnProtected, OnPlain };
  void SetUp() override {
    const std::wstring history = ShellFolder(CSIDL_HISTORY);
    ASSERT_FALSE(history.empty());
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    // Today's folder in small letters: the name is compared without case.
    const std::wstring today = L"mshist01" + GetTodayHistoryFolderName(now).substr(8) + L"20991231\\";
    const std::wstring low = history + L"Low\\History.IE5\\", plain = history + L"History.IE5\\";
    const std::wstring recovery = StartFolder(StepBase::LocalAppData) + L"Microsoft\\Internet Explorer\\Recovery\\";
    owned_ = {history + L"Low", recovery, plain + L"MSHist012020010120200108", plain + today};
    for (size_t i = 0; i < 2; ++i) ASSERT_FALSE(Exists(owned_[i])) << "left over from an earlier run";
    // A path ending in "\" is a folder, seeded with one file.
    files_ = {{low + L"MSHist012020010120200108\\", OnProtected}, {low + L"MSHist012020010820200115\\b.dat", OnProtected},
              {recovery + L"Active\\r.dat", OnProtected},           {low + today + L"c.dat", Never},
              {plain + L"MSHist012020010120200108\\d.dat", OnPlain}, {plain + today + L"e.dat", OnPlain}};
  }
  void TearDown() override {
    for (const auto& folder : owned_) testing_support::RemoveFolder(folder);
  }
  void Seed() {
    for (const auto& f : files_) WriteFile(f.first.back() == L'\\' ? f.first + L"a.dat" : f.first, "x");
  }
  std::vector<std::wstring> owned_;
  std::vector<std::pair<std::wstring, Goes>> files_;
};

}  // namespace

TEST_F(IEHistoryVersions, ProtectedModeFoldersOnElevenAndTwelveKeepToday) {
  struct Case {
    BYTE version;
    CleanMode mode;
    int count;  // the one history URL and the files counted
    bool protectedMode;
  };
  const Case cases[] = {
      {9, CleanMode::Test, 1 + 2, false},          {13, CleanMode::Test, 1 + 2, false},
      {11, CleanMode::Test, 1 + 2 + 1, true},      {12, CleanMode::Test, 1 + 2 + 1, true},
      {13, CleanMode::RealClean, 1 + 2, false},    {12, CleanMode::RealClean, 1 + 2 + 1, true},
  };
  const std::wstring caption = L"Internet Explorer - Visited URL History";
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << int(c.version) << (c.mode == CleanMode::Test ? " test" : ""));
    Seed();
    ItemServices s;
    auto history = std::make_shared<FakeHistory>();
    history->urls = {L"http://visited.test/"};
    s.urlHistory = history;
    s.urlCache = std::make_shared<FakeCache>();
    BYTE version = c.version;
    s.windowsVersion = [version] { return version; };
    ItemRun run(c.mode, s);
    run.Run({caption});
    EXPECT_EQ(run.Results()[caption].count, c.count);
    const Goes goes = c.mode == CleanMode::Test ? Never : c.protectedMode ? OnProtected : OnPlain;
    for (const auto& f : files_) EXPECT_EQ(Exists(f.first), f.second != goes || goes == Never) << f.first;
  }
}

TEST_F(IEAutoComplete, ASubtypesCountIsHalfItsItemsOrOneForASingleItem) {
  // Each subtype sets the count afresh: the last one listed decides it.
  struct Case {
    std::vector<int> itemsPerSubtype;
    int count;
  };
  const Case cases[] = {{{0}, 0}, {{1}, 1}, {{2}, 1}, {{4}, 2}, {{5}, 2}, {{8}, 4}, {{8, 1}, 1}, {{1, 6}, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.itemsPerSubtype));
    pstore_test::FakeType ie{pstore_test::MakeGuid(2), L"Internet Explorer", {}};
    for (size_t i = 0; i < c.itemsPerSubtype.size(); ++i) {
      pstore_test::FakeSubtype subtype{pstore_test::MakeGuid(30 + int(i)), {}};
      for (int k = 0; k < c.itemsPerSubtype[i]; ++k) subtype.items.push_back(L"http://a.test/" + std::to_wstring(k));
      ie.subtypes.push_back(subtype);
    }
    pstore_test::Fake().types = {ie};
    // Two registry values come on top.
    EXPECT_EQ(Run(CleanMode::Test), c.count + 2);
  }
}
