// "/Regscan" and "/Regdefrag" from the command line: the real program over a
// seeded hive list ends by itself, asks nothing and restarts nothing; its log
// beside options.ini and its exit code say what happened.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "AppTestSupport.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "registry_defrag/DefragTestSupport.h"
#include "support/Folders.h"
#include "support/TestSupport.h"

using namespace testing_support;
using app_test::ExpectLogSays;
using app_test::RunToItsEnd;

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::wstring IniText(const std::wstring& file, const wchar_t* key) {
  wchar_t buf[256] = {};
  ::GetPrivateProfileStringW(L"Scan Result", key, L"<none>", buf, 256, file.c_str());
  return buf;
}

TEST(DefragRun, RegscanWritesTheFiveKeysAndLeavesNoCopy) {
  app_test::ForgetOptions();
  defrag_test::SeededHives seed(L"VantorelDefragRun");
  std::vector<registry::THive> hives = {seed.Add(L"A", 64 * 1024), seed.Add(L"B", 32 * 1024)};
  const std::wstring ini = seed.Folder() + L"\\result.ini";

  EXPECT_EQ(RunToItsEnd(L"/Regscan result.ini", seed.Folder()), 0u);  // a file not there yet
  EXPECT_EQ(IniText(ini, L"Current Size"), L"96 KB");
  EXPECT_NE(IniText(ini, L"New Size").find(L" KB"), std::wstring::npos);
  EXPECT_NE(IniText(ini, L"Size Reduction").find(L" KB"), std::wstring::npos);
  EXPECT_NE(IniText(ini, L"Compact Percent").find(L'%'), std::wstring::npos);
  EXPECT_NE(IniText(ini, L"Time"), L"<none>");

  ::WritePrivateProfileStringW(L"Scan Result", L"Stale", L"from an earlier run", ini.c_str());
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  EXPECT_EQ(RunToItsEnd(L"/Regscan result.ini", seed.Folder()), 0u);
  ExpectLogSays(L"Regscan.log", {"Exit code: 0"});
  EXPECT_EQ(IniText(ini, L"Stale"), L"<none>") << "the section is erased first";
  EXPECT_EQ(IniText(ini, L"Current Size"), L"96 KB");
  for (const registry::THive& h : hives) EXPECT_FALSE(Exists(registry::HiveCopyFile(h.File)));

  ::DeleteFileW(ini.c_str());
  EXPECT_EQ(RunToItsEnd(L"/REGSCAN", seed.Folder()), 0u);
  EXPECT_FALSE(Exists(ini)) << "without a file name nothing is written";
}

TEST(DefragRun, RegdefragSchedulesTheSwapsAndEndsWithoutRestarting) {
  app_test::ForgetOptions();
  defrag_test::SeededHives seed(L"VantorelDefragRun2");
  std::vector<registry::THive> hives = {seed.Add(L"A", 64 * 1024), seed.Add(L"B", 32 * 1024)};
  EXPECT_EQ(RunToItsEnd(L"/regdefrag", seed.Folder()), 0u);
  // The swaps were scheduled, so their copies outlive the program.
  for (const registry::THive& h : hives) EXPECT_TRUE(Exists(registry::HiveCopyFile(h.File))) << h.File;
  ExpectLogSays(L"Regdefrag.log", {"Scheduled for the next start: " + Narrow(hives[1].Name)});
}

TEST(DefragRun, WithoutAHiveListBothEndWithTwoAndSayWhy) {
  app_test::ForgetOptions();
  defrag_test::SeededHives none(L"VantorelDefragRun3");  // a folder; no hive is listed
  const std::wstring ini = none.Folder() + L"\\out.ini";
  const std::pair<const wchar_t*, const wchar_t*> runs[] = {{L"/Regscan out.ini", L"Regscan.log"},
                                                            {L"/Regdefrag", L"Regdefrag.log"}};
  for (const auto& run : runs) {
    EXPECT_EQ(RunToItsEnd(run.first, none.Folder()), 2u) << run.first;
    ExpectLogSays(run.second, {"No registry hive list was found", "Exit code: 2"});
  }
}

// A hive that fails, by a save that fails or by a listed file that is not
// there: both runs name it and end with 1, and "/Regdefrag" schedules nothing.
TEST(DefragRun, AFailedOrLeftOutHiveEndsWithOneAndSchedulesNothing) {
  using Seed = defrag_test::SeededHives;
  const std::wstring leftOut = L"\\REGISTRY\\USER\\VantorelOnNoDrive";
  // Each adds the failing hive and gives what the logs say of it, why nothing
  // was scheduled, and what the result file says of it.
  struct Failing {
    std::function<std::string(Seed&)> add;
    std::string why;
    std::wstring result;
  } failings[] = {
      {[](Seed& s) { return "Failed to save the hive " + Narrow(s.Add(L"Gone", 32 * 1024, false).Name); },
       "Nothing was scheduled: not every hive could be saved.", L"<none>"},
      {[&](Seed& s) {
         s.ListValue(leftOut, L"\\Device\\HarddiskVolume99\\Users\\x\\NTUSER.DAT");  // no such drive
         return "Left out the hive " + Narrow(leftOut);
       },
       "Nothing was scheduled: the file of a listed hive cannot be found.",
       leftOut + L": its file \\Device\\HarddiskVolume99\\Users\\x\\NTUSER.DAT cannot be found"}};
  int n = 0;
  for (const Failing& failing : failings) {
    app_test::ForgetOptions();
    Seed seed(L"VantorelDefragRun4" + std::to_wstring(++n));
    const registry::THive kept = seed.Add(L"A", 64 * 1024);
    const std::string says = failing.add(seed);
    SCOPED_TRACE(says);
    EXPECT_EQ(RunToItsEnd(L"/Regscan out.ini", seed.Folder()), 1u);
    ExpectLogSays(L"Regscan.log", {says, "Exit code: 1"});
    EXPECT_EQ(IniText(seed.Folder() + L"\\out.ini", L"Left Out 1"), failing.result);
    EXPECT_EQ(RunToItsEnd(L"/Regdefrag", seed.Folder()), 1u);
    EXPECT_FALSE(Exists(registry::HiveCopyFile(kept.File))) << "scheduled: " << Narrow(kept.File);
    ExpectLogSays(L"Regdefrag.log", {says, failing.why, "Exit code: 1"});
  }
}

// A hive in a folder the user may write, with a link of the user's planted
// beside it or in its folder's place: the copy, the backups and the swap
// never change anything below system32. That hive is not compacted, and
// named in the log; the other hive is still scheduled; the run ends with 1.
TEST(DefragRun, ALinkBesideAHiveNeverLeadsTheCopyOrTheSwapBelowSystem32) {
  using registry::THive;
  struct Row {
    const char* what;
    std::function<void(defrag_test::SeededHives&, THive&, const defrag_test::SystemProbe&)> plant;
    bool refusedAtAnalysis = false;  // else at the swap
  } rows[] = {
      {"the copy a link to a missing file",
       [](auto&, THive& h, auto& sys) { ASSERT_TRUE(defrag_test::UnixLink(sys.UnixMissing(), h.File + L".fdc")); },
       true},
      {"the copy a link to an existing file",
       [](auto&, THive& h, auto& sys) { ASSERT_TRUE(defrag_test::UnixLink(sys.UnixFile(), h.File + L".fdc")); },
       true},
      {"the hive's folder a link",
       [](defrag_test::SeededHives& seed, THive& h, auto& sys) {
         ASSERT_TRUE(WriteBytes(sys.Folder() + L"\\UsrClass.dat", "the hive below system32"));
         ASSERT_TRUE(defrag_test::UnixLink(sys.UnixFolder(), seed.Folder() + L"\\Local"));
         h.File = seed.Folder() + L"\\Local\\UsrClass.dat";
         seed.ListValue(h.Name, defrag_test::DevicePathOf(h.File));
       },
       true},
      {"the old backup a link",
       [](auto&, THive& h, auto& sys) { ASSERT_TRUE(defrag_test::UnixLink(sys.UnixFile(), h.File + L".bak")); }},
      {"its aside a link",
       [](auto&, THive& h, auto& sys) {
         ASSERT_TRUE(WriteBytes(h.File + L".bak", "the old backup"));
         ASSERT_TRUE(defrag_test::UnixLink(sys.UnixFile(), h.File + L".bak.prev"));
       }},
      {"plain files: scheduled", nullptr},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    app_test::ForgetOptions();
    defrag_test::SystemProbe system;
    defrag_test::SeededHives seed(L"VantorelDefragLink" + std::to_wstring(++n));
    const THive kept = seed.Add(L"Kept", 32 * 1024);
    THive hive = seed.Add(L"UsrClass.dat", 64 * 1024);
    if (row.plant) row.plant(seed, hive, system);
    const auto before = system.Contents();
    ASSERT_FALSE(before.empty());
    if (row.refusedAtAnalysis) {
      EXPECT_EQ(RunToItsEnd(L"/Regscan out.ini", seed.Folder()), 1u);
      EXPECT_EQ(IniText(seed.Folder() + L"\\out.ini", L"Not Compacted 1").rfind(hive.Name + L": its ", 0), 0u);
      EXPECT_EQ(system.Contents(), before);
    }
    EXPECT_EQ(RunToItsEnd(L"/Regdefrag", seed.Folder()), row.plant ? 1u : 0u);
    EXPECT_EQ(system.Contents(), before) << "nothing below system32 changes";
    EXPECT_TRUE(Exists(registry::HiveCopyFile(kept.File))) << "the other hive is still scheduled";
    if (row.plant) {
      ExpectLogSays(L"Regdefrag.log", {"Not compacted: the hive " + Narrow(hive.Name), "Exit code: 1"});
    } else {
      ExpectLogSays(L"Regdefrag.log", {"Scheduled for the next start: " + Narrow(hive.Name), "Exit code: 0"});
    }
    defrag_test::RemoveLinks(seed.Folder());
  }
}

// A 32-bit program on 64-bit Windows reaches the system's hives through
// "sysnative": analysis after analysis, a swap with an old backup to move
// aside, and an analysis after that swap all work, and a close without a
// defragmentation leaves no copy behind.
TEST(DefragRun, AHiveBelowSystem32IsAnalysedAndSwappedRunAfterRun) {
  BOOL wow64 = FALSE;
  if (!::IsWow64Process(::GetCurrentProcess(), &wow64) || !wow64) GTEST_SKIP() << "not a 64-bit prefix";
  app_test::ForgetOptions();
  defrag_test::SystemProbe system;
  defrag_test::SeededHives seed(L"VantorelDefragSys");
  registry::THive hive = seed.Add(L"Sys", 32 * 1024);
  ASSERT_TRUE(WriteBytes(system.Folder() + L"\\Sys", std::string(32 * 1024, 'h')));
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  seed.ListValue(hive.Name, defrag_test::DevicePathOf(std::wstring(windows) + L"\\system32\\VantorelDefragProbe\\Sys"));
  const std::wstring file = system.Folder() + L"\\Sys";
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(RunToItsEnd(L"/Regscan", seed.Folder()), 0u) << "analysis " << run + 1;
    EXPECT_FALSE(Exists(registry::HiveCopyFile(file))) << "a copy left after analysis " << run + 1;
  }
  ASSERT_TRUE(WriteBytes(file + L".bak", "the old backup"));
  ASSERT_TRUE(WriteBytes(file + L".bak.prev", "an older backup"));
  EXPECT_EQ(RunToItsEnd(L"/Regdefrag", seed.Folder()), 0u);
  ExpectLogSays(L"Regdefrag.log", {"Scheduled for the next start: " + Narrow(hive.Name), "Exit code: 0"});
  EXPECT_EQ(ReadBytes(file + L".bak.prev"), "the old backup");
  EXPECT_TRUE(Exists(registry::HiveCopyFile(file)));
  EXPECT_EQ(RunToItsEnd(L"/Regscan", seed.Folder()), 0u) << "an analysis after a scheduled swap";
  ExpectLogSays(L"Regscan.log", {"Exit code: 0"});
}

TEST(DefragRun, ACopyHeldOpenStopsTheScanWithTwo) {
  app_test::ForgetOptions();
  defrag_test::SeededHives seed(L"VantorelDefragRun5");
  registry::THive hive = seed.Add(L"A", 64 * 1024);
  const std::wstring copy = registry::HiveCopyFile(hive.File);
  HANDLE held = ::CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DWORD code = RunToItsEnd(L"/Regscan out.ini", seed.Folder());
  ::CloseHandle(held);
  EXPECT_EQ(code, 2u);
  ExpectLogSays(L"Regscan.log", {"Can not analyze the registry now!"});
}

}  // namespace
