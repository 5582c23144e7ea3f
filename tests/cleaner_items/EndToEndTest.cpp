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
const std::wstring kTestKey = L"Software\\VantorelItemsTest";

std::wstring EnvValue(const wchar_t* name) {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

class EndToEnd : public testing::Test {
 protected:
  void SetUp() override {
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
  }

  void SeedRegistry() {
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
    for (const wchar_t* name : {L"temp\\a.tmp", L"temp\\b.log", L"temp\\sub\\c.tmp", L"outside.txt",
                                L"target\\precious.txt", L"app\\cache\\1.tmp", L"app\\cache\\2.tmp",
                                L"app\\cache\\keep.dat", L"app\\logs\\l.txt", L"app\\logs\\old\\m.txt",
                                L"app\\keep\\k.txt", L"custom\\a\\1.txt", L"custom\\b\\x.log", L"custom\\b\\y.txt"}) {
      box_.File(name);
    }
    linked_ = MakeSymlink(box_.Path(L"target"), box_.Path(L"temp\\link"));
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
    EXPECT_TRUE(ValueExists(CU, kTestKey + L"\\App\\Settings", L"Keep"));
    EXPECT_TRUE(ValueExists(CU, kTestKey + L"\\Keep", L"k"));
    EXPECT_TRUE(KeyExists(CU, kTestKey + L"\\Custom"));
    for (const wchar_t* name : {L"temp", L"outside.txt", L"target\\precious.txt", L"app\\cache\\keep.dat",
                                L"app\\keep\\k.txt", L"custom\\b\\y.txt"}) {
      EXPECT_TRUE(Exists(box_.Path(name))) << testing::PrintToString(std::wstring(name));
    }
  }

  Sandbox box_{L"end-to-end"};
  std::wstring oldTmp_, oldTemp_;
  bool linked_ = false;
  // The items of fixed keys and files each have a row of their own in the
  // item table; here the ones whose data the run reads or whose folders hold links.
  std::vector<std::wstring> captions_ = {L"Windows - Temporary Files", L"Applications - Vantorel Test App",
                                         L"Custom Lists - <New List>", L"Windows - Empty Recycle Bin",
                                         L"Windows - Clipboard"};
};

}  // namespace

TEST_F(EndToEnd, TestCountsAndChangesNothingThenCleanRemovesExactlyThat) {
  std::map<std::wstring, ItemResult> test = Run(CleanMode::Test);
  std::map<std::wstring, int> expected = {
      {L"Windows - Temporary Files", 3},   {L"Applications - Vantorel Test App", 7},
      {L"Custom Lists - <New List>", 5},   {L"Windows - Empty Recycle Bin", 3},
      {L"Windows - Clipboard", 0}};
  for (const auto& e : expected) EXPECT_EQ(test[e.first].count, e.second) << testing::PrintToString(e.first);
  EXPECT_EQ(test[L"Windows - Empty Recycle Bin"].kb, L"4");

  // The test touched nothing.
  EXPECT_TRUE(ValueExists(CU, kTestKey + L"\\App\\Settings", L"DelFile1"));
  EXPECT_TRUE(Exists(box_.Path(L"temp\\sub\\c.tmp")));
  EXPECT_TRUE(Exists(box_.Path(L"app\\logs\\old\\m.txt")));
  EXPECT_TRUE(Exists(box_.Path(L"custom\\a\\1.txt")));
  ExpectSentinels();

  std::map<std::wstring, ItemResult> clean = Run(CleanMode::RealClean);
  for (const auto& e : expected) {
    EXPECT_EQ(clean[e.first].count, test[e.first].count) << testing::PrintToString(e.first);
    EXPECT_EQ(clean[e.first].kb, test[e.first].kb) << testing::PrintToString(e.first);
  }
  EXPECT_FALSE(KeyExists(CU, kTestKey + L"\\App\\History"));
  EXPECT_FALSE(ValueExists(CU, kTestKey + L"\\App\\Settings", L"DelFile1"));
  EXPECT_FALSE(ValueExists(CU, kTestKey + L"\\Custom", L"v1"));
  EXPECT_FALSE(KeyExists(CU, kTestKey + L"\\Custom\\Sub"));
  EXPECT_FALSE(Exists(box_.Path(L"temp\\a.tmp")));
  EXPECT_FALSE(Exists(box_.Path(L"temp\\sub")));
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
