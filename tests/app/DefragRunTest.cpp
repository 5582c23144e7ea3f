// "/Regscan" and "/Regdefrag" from the command line: the real program over a
// seeded hive list ends by itself, asks nothing and restarts nothing.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "registry_defrag/DefragTestSupport.h"
#include "support/TestSupport.h"

using namespace testing_support;

namespace {

bool Exists(const std::wstring& p) { return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring IniText(const std::wstring& file, const wchar_t* key) {
  wchar_t buf[256] = {};
  ::GetPrivateProfileStringW(L"Scan Result", key, L"<none>", buf, 256, file.c_str());
  return buf;
}

void RunToItsEnd(const std::wstring& args, const std::wstring& folder) {
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ::SetCurrentDirectoryW(folder.c_str());  // a relative ini name is taken from here
  StartedProcess p;
  ASSERT_TRUE(p.Start(ProgramPath(), args));
  ::SetCurrentDirectoryW(previous);
  DWORD code = 99;
  ASSERT_TRUE(p.WaitForExit(60000, &code)) << args << " did not end by itself";
  EXPECT_EQ(code, 0u);
}

TEST(DefragRun, RegscanWritesTheFiveKeysAndLeavesNoCopy) {
  app_test::ForgetOptions();
  defrag_test::SeededHives seed(L"VantorelDefragRun");
  std::vector<registry::THive> hives = {seed.Add(L"A", 64 * 1024), seed.Add(L"B", 32 * 1024)};
  const std::wstring ini = seed.Folder() + L"\\result.ini";

  RunToItsEnd(L"/Regscan result.ini", seed.Folder());  // a file not there yet
  EXPECT_EQ(IniText(ini, L"Current Size"), L"96 KB");
  EXPECT_NE(IniText(ini, L"New Size").find(L" KB"), std::wstring::npos);
  EXPECT_NE(IniText(ini, L"Size Reduction").find(L" KB"), std::wstring::npos);
  EXPECT_NE(IniText(ini, L"Compact Percent").find(L'%'), std::wstring::npos);
  EXPECT_NE(IniText(ini, L"Time"), L"<none>");

  ::WritePrivateProfileStringW(L"Scan Result", L"Stale", L"from an earlier run", ini.c_str());
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  RunToItsEnd(L"/Regscan result.ini", seed.Folder());
  EXPECT_EQ(IniText(ini, L"Stale"), L"<none>") << "the section is erased first";
  EXPECT_EQ(IniText(ini, L"Current Size"), L"96 KB");
  for (const registry::THive& h : hives) EXPECT_FALSE(Exists(registry::HiveCopyFile(h.File)));

  ::DeleteFileW(ini.c_str());
  RunToItsEnd(L"/REGSCAN", seed.Folder());
  EXPECT_FALSE(Exists(ini)) << "without a file name nothing is written";
}

TEST(DefragRun, RegdefragSchedulesTheSwapsAndEndsWithoutRestarting) {
  app_test::ForgetOptions();
  defrag_test::SeededHives seed(L"VantorelDefragRun2");
  std::vector<registry::THive> hives = {seed.Add(L"A", 64 * 1024), seed.Add(L"B", 32 * 1024)};
  RunToItsEnd(L"/regdefrag", seed.Folder());
  // The swaps were scheduled, so their copies outlive the program.
  for (const registry::THive& h : hives) EXPECT_TRUE(Exists(registry::HiveCopyFile(h.File))) << h.File;
}

}  // namespace
