// Whole clean runs inside the test prefix: the registry and folders each item
// cleans are seeded beside sentinels; a test changes nothing and reports
// counts, the clean removes exactly the seeded entries with the same counts.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "ItemsFakes.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/items/DataFiles.h"
#include "cleaner/items/ItemSteps.h"

using namespace cleaner;
using namespace items_test;

namespace {

const HKEY CU = HKEY_CURRENT_USER;
const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const std::wstring kExcel12 = L"Software\\Microsoft\\Office\\12.0\\Excel\\";
const std::wstring kTestKey = L"Software\\VantorelItemsTest";

std::wstring EnvValue(const wchar_t* name) {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

int TopLevelFiles(const std::wstring& folder) {
  int n = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++n;
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return n;
}

class EndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    recent_ = SpecialFolderPath(CSIDL_RECENT);
    officeRecent_ = StartFolder(StepBase::AppData) + L"Microsoft\\Office\\Recent\\";
    minidump_ = StartFolder(StepBase::Windows) + L"Minidump\\";
    ASSERT_FALSE(recent_.empty());
    ASSERT_FALSE(Exists(minidump_)) << "left over from an earlier run";
    SeedRegistry();
    SeedFiles();
    SeedDataFiles();
    oldTmp_ = EnvValue(L"TMP");
    oldTemp_ = EnvValue(L"TEMP");
    // The temporary folder of this process only: the prefix's own stays untouched.
    ::SetEnvironmentVariableW(L"TMP", box_.Path(L"temp").c_str());
    ::SetEnvironmentVariableW(L"TEMP", box_.Path(L"temp").c_str());
  }

  void TearDown() override {
    ::SetEnvironmentVariableW(L"TMP", oldTmp_.c_str());
    ::SetEnvironmentVariableW(L"TEMP", oldTemp_.c_str());
    DeleteKey(CU, kTestKey);
    DeleteKey(CU, kExplorer + L"RunMRU");
    DeleteKey(CU, kExplorer + L"RecentDocs");
    DeleteKey(CU, L"Software\\Microsoft\\Office\\12.0");
    for (const wchar_t* name : {L"vantorel-e2e-1.lnk", L"vantorel-e2e-2.lnk"}) ::DeleteFileW((recent_ + name).c_str());
    RemoveTree(recent_ + L"vantorel-e2e-keep");
    ::DeleteFileW((officeRecent_ + L"vantorel-e2e.xls").c_str());
    ::DeleteFileW((officeRecent_ + L"vantorel-e2e.doc").c_str());
    ::DeleteFileW((StartFolder(StepBase::Windows) + L"memory.dmp").c_str());
    RemoveTree(minidump_);
  }

  void SeedRegistry() {
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"MRUList"}) SetValue(CU, kExplorer + L"RunMRU", name, L"x");
    SetValue(CU, kExplorer + L"RecentDocs", L"MRUListEx", L"x");
    SetValue(CU, kExplorer + L"RecentDocs", L"0", L"x");
    SetValue(CU, kExplorer + L"RecentDocs\\.txt", L"0", L"x");
    SetValue(CU, kExcel12 + L"File MRU", L"Item 1", L"[F00000000][T01D0000000000000]*C:\\a.xls");
    SetValue(CU, kExcel12 + L"File MRU", L"Item 2", L"[F00000000][T01D0000000000000]*C:\\b.xls");
    SetValue(CU, kExcel12 + L"Recent Templates", L"x", L"x");
    SetValue(CU, kExcel12 + L"Options", L"Keep", L"1");
    SetValue(CU, kTestKey + L"\\App\\History", L"h1", L"x");
    SetValue(CU, kTestKey + L"\\App\\History", L"h2", L"x");
    SetValue(CU, kTestKey + L"\\App\\Settings", L"DelFile1", L"x");
    SetValue(CU, kTestKey + L"\\App\\Settings", L"Keep", L"x");
    SetValue(CU, kTestKey + L"\\Custom", L"v1", L"x");
    SetValue(CU, kTestKey + L"\\Custom", L"v2", L"x");
    SetValue(CU, kTestKey + L"\\Custom\\Sub", L"s", L"x");
    SetValue(CU, kTestKey + L"\\Keep", L"k", L"x");
  }

  void SeedFiles() {
    WriteFile(recent_ + L"vantorel-e2e-1.lnk", "x");
    WriteFile(recent_ + L"vantorel-e2e-2.lnk", "x");
    WriteFile(recent_ + L"vantorel-e2e-keep\\inner.lnk", "x");
    recentFiles_ = TopLevelFiles(recent_);
    WriteFile(officeRecent_ + L"vantorel-e2e.xls", std::string(1500, 'x'));
    WriteFile(officeRecent_ + L"vantorel-e2e.doc", "x");
    for (const wchar_t* name : {L"temp\\a.tmp", L"temp\\b.log", L"temp\\sub\\c.tmp", L"outside.txt",
                                L"target\\precious.txt", L"app\\cache\\1.tmp", L"app\\cache\\2.tmp",
                                L"app\\cache\\keep.dat", L"app\\logs\\l.txt", L"app\\logs\\old\\m.txt",
                                L"app\\keep\\k.txt", L"custom\\a\\1.txt", L"custom\\b\\x.log", L"custom\\b\\y.txt"}) {
      box_.File(name);
    }
    linked_ = MakeSymlink(box_.Path(L"target"), box_.Path(L"temp\\link"));
    WriteFile(StartFolder(StepBase::Windows) + L"memory.dmp", "x");
    WriteFile(minidump_ + L"a.dmp", "x");
    WriteFile(minidump_ + L"B.DMP", "x");
    WriteFile(minidump_ + L"keep.txt", "x");
  }

  void SeedDataFiles() {
    const std::wstring& r = box_.Root();
    WriteText(box_.Path(L"data\\kavo.dat"),
              L"[Vantorel Test App]\r\n"
              L"DelRegValue1=HKEY_CURRENT_USER\\Software\\VantorelItemsTest\\App\\History\r\n"
              L"DelRegValue2=HKEY_CURRENT_USER\\Software\\VantorelItemsTest\\App\\Settings,DelFile1\r\n"
              L"DelFile1=" + r + L"app\\cache,*.tmp\r\n"
              L"DelFile2=" + r + L"app\\logs\r\n"
              L"Note=" + r + L"app\\keep\r\n");
    std::vector<std::wstring> refused;
    ASSERT_TRUE(WriteCustomList(box_.Path(L"data\\Custom.dat"),
                                {r + L"custom\\a", L"HKEY_CURRENT_USER\\" + kTestKey + L"\\Custom,", r + L"custom\\b,*.log"},
                                &refused));
  }

  std::map<std::wstring, ItemResult> Run(CleanMode mode) {
    ItemRun run(mode, DataFolder(box_.Path(L"data")));
    run.bin->contents = {3, 4096};
    run.Run(captions_);
    EXPECT_TRUE(run.asker->questions.empty());
    EXPECT_EQ(run.bin->emptied, mode == CleanMode::Test ? 0 : 1);
    EXPECT_EQ(run.clipboard->cleared, mode == CleanMode::Test ? 0 : 1);
    EXPECT_FALSE(run.poster->Posts().empty());
    if (!run.poster->Posts().empty()) {
      EXPECT_EQ(run.poster->Posts().back().first, WM_CLEANFINISHED);
    }
    return run.Results();
  }

  void ExpectSentinels() {
    EXPECT_TRUE(ValueExists(CU, kExcel12 + L"Options", L"Keep"));
    EXPECT_TRUE(ValueExists(CU, kTestKey + L"\\App\\Settings", L"Keep"));
    EXPECT_TRUE(ValueExists(CU, kTestKey + L"\\Keep", L"k"));
    EXPECT_TRUE(KeyExists(CU, kTestKey + L"\\Custom"));
    EXPECT_TRUE(Exists(recent_ + L"vantorel-e2e-keep\\inner.lnk"));
    EXPECT_TRUE(Exists(officeRecent_ + L"vantorel-e2e.doc"));
    EXPECT_TRUE(Exists(minidump_ + L"keep.txt"));
    for (const wchar_t* name : {L"temp", L"outside.txt", L"target\\precious.txt", L"app\\cache\\keep.dat",
                                L"app\\keep\\k.txt", L"custom\\b\\y.txt"}) {
      EXPECT_TRUE(Exists(box_.Path(name))) << testing::PrintToString(std::wstring(name));
    }
  }

  Sandbox box_{L"end-to-end"};
  std::wstring recent_, officeRecent_, minidump_, oldTmp_, oldTemp_;
  int recentFiles_ = 0;
  bool linked_ = false;
  std::vector<std::wstring> captions_ = {
      L"Windows - Start Run",       L"Windows - Recent Documents",      L"Microsoft Office - Excel",
      L"Windows - Temporary Files", L"Windows - Memory Dumps",          L"Applications - Vantorel Test App",
      L"Custom Lists - <New List>", L"Windows - Empty Recycle Bin",     L"Windows - Clipboard"};
};

}  // namespace

TEST_F(EndToEnd, TestCountsAndChangesNothingThenCleanRemovesExactlyThat) {
  std::map<std::wstring, ItemResult> test = Run(CleanMode::Test);
  std::map<std::wstring, int> expected = {
      {L"Windows - Start Run", 5},         {L"Windows - Recent Documents", 3 + recentFiles_},
      {L"Microsoft Office - Excel", 4},    {L"Windows - Temporary Files", 3},
      {L"Windows - Memory Dumps", 3},      {L"Applications - Vantorel Test App", 7},
      {L"Custom Lists - <New List>", 5},   {L"Windows - Empty Recycle Bin", 3},
      {L"Windows - Clipboard", 0}};
  for (const auto& e : expected) EXPECT_EQ(test[e.first].count, e.second) << testing::PrintToString(e.first);
  EXPECT_EQ(test[L"Windows - Start Run"].kb, L"0");
  EXPECT_EQ(test[L"Microsoft Office - Excel"].kb, L"2");
  EXPECT_EQ(test[L"Windows - Empty Recycle Bin"].kb, L"4");

  // The test touched nothing.
  EXPECT_TRUE(ValueExists(CU, kExplorer + L"RunMRU", L"MRUList"));
  EXPECT_TRUE(ValueExists(CU, kExplorer + L"RecentDocs\\.txt", L"0"));
  EXPECT_TRUE(ValueExists(CU, kExcel12 + L"File MRU", L"Item 2"));
  EXPECT_TRUE(ValueExists(CU, kTestKey + L"\\App\\Settings", L"DelFile1"));
  EXPECT_TRUE(Exists(recent_ + L"vantorel-e2e-1.lnk"));
  EXPECT_TRUE(Exists(officeRecent_ + L"vantorel-e2e.xls"));
  EXPECT_TRUE(Exists(box_.Path(L"temp\\sub\\c.tmp")));
  EXPECT_TRUE(Exists(minidump_ + L"B.DMP"));
  EXPECT_TRUE(Exists(box_.Path(L"app\\logs\\old\\m.txt")));
  EXPECT_TRUE(Exists(box_.Path(L"custom\\a\\1.txt")));
  ExpectSentinels();

  std::map<std::wstring, ItemResult> clean = Run(CleanMode::RealClean);
  for (const auto& e : expected) {
    EXPECT_EQ(clean[e.first].count, test[e.first].count) << testing::PrintToString(e.first);
    EXPECT_EQ(clean[e.first].kb, test[e.first].kb) << testing::PrintToString(e.first);
  }
  EXPECT_FALSE(KeyExists(CU, kExplorer + L"RunMRU"));
  EXPECT_FALSE(KeyExists(CU, kExplorer + L"RecentDocs"));
  EXPECT_FALSE(KeyExists(CU, kExcel12 + L"File MRU"));
  EXPECT_FALSE(KeyExists(CU, kExcel12 + L"Recent Templates"));
  EXPECT_FALSE(KeyExists(CU, kTestKey + L"\\App\\History"));
  EXPECT_FALSE(ValueExists(CU, kTestKey + L"\\App\\Settings", L"DelFile1"));
  EXPECT_FALSE(ValueExists(CU, kTestKey + L"\\Custom", L"v1"));
  EXPECT_FALSE(KeyExists(CU, kTestKey + L"\\Custom\\Sub"));
  EXPECT_FALSE(Exists(recent_ + L"vantorel-e2e-1.lnk"));
  EXPECT_FALSE(Exists(officeRecent_ + L"vantorel-e2e.xls"));
  EXPECT_FALSE(Exists(box_.Path(L"temp\\a.tmp")));
  EXPECT_FALSE(Exists(box_.Path(L"temp\\sub")));
  EXPECT_FALSE(Exists(StartFolder(StepBase::Windows) + L"memory.dmp"));
  EXPECT_FALSE(Exists(minidump_ + L"a.dmp"));
  EXPECT_FALSE(Exists(minidump_ + L"B.DMP"));
  EXPECT_FALSE(Exists(box_.Path(L"app\\cache\\1.tmp")));
  EXPECT_FALSE(Exists(box_.Path(L"app\\logs")));
  EXPECT_FALSE(Exists(box_.Path(L"custom\\a")));
  EXPECT_FALSE(Exists(box_.Path(L"custom\\b\\x.log")));
  ExpectSentinels();
  EXPECT_TRUE(linked_) << "the link inside the temporary folder was not made";
}

// A data file may name the system's own files and keys; those lines are
// refused and logged, and the rest of the list still cleans.
TEST(DataFileGuard, SystemFilesAndKeysAreRefusedAndOrdinaryLinesStillClean) {
  Sandbox box(L"data-file-guard");
  wchar_t buf[MAX_PATH] = {};
  std::wstring windows(buf, ::GetWindowsDirectoryW(buf, MAX_PATH));
  std::wstring system(buf, ::GetSystemDirectoryW(buf, MAX_PATH));
  const std::wstring services = L"SYSTEM\\CurrentControlSet\\Services\\VantorelProbe";
  const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  WriteFile(system + L"\\vantorel-probe.dll", "keep");
  WriteFile(windows + L"\\vantorel-probe.ini", "keep");
  WriteFile(windows + L"\\vantorel-probe\\inner.txt", "keep");
  WriteFile(windows + L"\\vantorel-probe.log", "junk");
  WriteFile(box.Path(L"own\\a.tmp"), "junk");
  WriteFile(box.Path(L"own\\keep.txt"), "keep");
  SetValue(HKEY_LOCAL_MACHINE, services, L"Start", L"2");
  SetValue(HKEY_CURRENT_USER, run, L"VantorelProbe", L"x");
  const std::vector<std::wstring> refusedLines = {
      system + L",vantorel-probe.dll", L"%windir%\\,*.ini", windows + L"\\vantorel-probe",
      L"HKEY_LOCAL_MACHINE\\" + services, L"HKEY_CURRENT_USER\\" + run + L",VantorelProbe"};
  std::vector<std::wstring> rows = refusedLines;
  rows.push_back(box.Path(L"own,*.tmp"));
  rows.push_back(L"%windir%\\,vantorel-probe.log");
  std::vector<std::wstring> unstorable;
  box.Folder(L"data");
  ASSERT_TRUE(WriteCustomList(box.Path(L"data\\Custom.dat"), rows, &unstorable));

  ItemRun clean(CleanMode::RealClean, DataFolder(box.Path(L"data")));
  clean.Run({L"Custom Lists - <New List>"});
  EXPECT_EQ(ReadBytes(system + L"\\vantorel-probe.dll"), "keep");
  EXPECT_EQ(ReadBytes(windows + L"\\vantorel-probe.ini"), "keep");
  EXPECT_EQ(ReadBytes(windows + L"\\vantorel-probe\\inner.txt"), "keep");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, services));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, run, L"VantorelProbe"));
  EXPECT_FALSE(Exists(box.Path(L"own\\a.tmp")));
  EXPECT_TRUE(Exists(box.Path(L"own\\keep.txt")));
  EXPECT_FALSE(Exists(windows + L"\\vantorel-probe.log")) << "a junk file of the Windows folder still goes";
  int refusals = 0;
  for (const auto& line : clean.log->Lines()) {
    if (line.find(L"Clean: skipping protected entry ") == 0 && line.back() == L')') ++refusals;
  }
  EXPECT_EQ(refusals, static_cast<int>(refusedLines.size()));

  ::DeleteFileW((system + L"\\vantorel-probe.dll").c_str());
  ::DeleteFileW((windows + L"\\vantorel-probe.ini").c_str());
  RemoveTree(windows + L"\\vantorel-probe");
  DeleteKey(HKEY_LOCAL_MACHINE, services);
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, run.c_str(), L"VantorelProbe");
}
