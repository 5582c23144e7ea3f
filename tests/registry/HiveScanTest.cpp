// End to end in the test prefix: the hive sections and Software Locations
// against Wine's own registry, before and after seeding bad values and their
// good twins. Rows are compared as multisets, never by order.
#include <gtest/gtest.h>

#include "RegistryFixture.h"
#include "registry/ScanTaskThread.h"
#include "sys/TextCompare.h"

using namespace registry;
using namespace registry_test;

namespace {

const wchar_t kProblem[] = L"Non-existent File or Folder";
const wchar_t kAppPathsProblem[] = L"Software Locations Issue";
const wchar_t kBase[] = L"Software\\VantorelScanTest";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vantorel-scan-test.exe";
const wchar_t kMicrosoftKey[] = L"Software\\Microsoft\\VantorelScanTest";
const wchar_t kVendorKey[] = L"Software\\Symantec\\Symantec Endpoint Protection\\VantorelScanTest";

TRows Scan() {
  auto poster = std::make_shared<TRecordingPoster>();
  TScanTaskThread thread(ScanSettingsFromSystem());
  thread.FSections = {L"3", L"4", L"5", L"6", L"8"};
  thread.SetPoster(poster);
  EXPECT_TRUE(thread.Start());
  EXPECT_TRUE(thread.WaitFor(300000));
  EXPECT_EQ(poster->Count(WM_SCANSECTIONDONE), 5);
  EXPECT_EQ(poster->Count(WM_SCANFINISHED), 1);
  return thread.Shared()->Rows.TakeAll();
}

// A seeded bad value: its key below the root, its name and its text.
struct Bad {
  std::wstring key, name, data;
};

void RemoveSeeds() {
  DeleteTree(HKEY_CURRENT_USER, kBase);
  DeleteValue(HKEY_CURRENT_USER, kRun, L"VantorelScanTest");
  DeleteTree(HKEY_LOCAL_MACHINE, kBase);
  DeleteTree(HKEY_LOCAL_MACHINE, kAppPaths);
  DeleteTree(HKEY_LOCAL_MACHINE, kMicrosoftKey);
  DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Symantec");
}

class HiveScan : public ::testing::Test {
 protected:
  void SetUp() override { RemoveSeeds(); }
  void TearDown() override {
    RemoveSeeds();
    ::SetEnvironmentVariableW(L"VANTOREL_SCAN_DIR", nullptr);
  }

  // Bad values of the current user beside their good twins.
  std::vector<Bad> SeedUser(const TTestFolder& dir) {
    const std::wstring base = kBase;
    const std::wstring present = dir.File(L"present.exe");
    dir.File(L"my app.exe");
    dir.Folder(L"PresentFolder");
    // Good twins.
    SetText(HKEY_CURRENT_USER, base, L"PresentFile", present);
    SetText(HKEY_CURRENT_USER, base, L"PresentFolder", dir.Path() + L"\\PresentFolder");
    SetText(HKEY_CURRENT_USER, base, L"QuotedPresent", L"\"" + dir.Path() + L"\\my app.exe\" /run");
    SetText(HKEY_CURRENT_USER, base, L"EnvPresent", L"%VANTOREL_SCAN_DIR%\\present.exe", REG_EXPAND_SZ);
    SetText(HKEY_CURRENT_USER, base, L"Named\\Present", present);
    SetDword(HKEY_CURRENT_USER, base, L"Dword", 1);
    SetRaw(HKEY_CURRENT_USER, base, L"Multi", REG_MULTI_SZ, dir.Missing(L"multi.exe"));
    // Bad ones.
    std::vector<Bad> bad = {
        {base, L"MissingFile", dir.Missing(L"missing.exe")},
        {base, L"MissingFolder", dir.Missing(L"NoSuchFolder\\")},
        {base, L"QuotedMissing", L"\"" + dir.Missing(L"gone app.exe") + L"\" /run"},
        {base, L"EnvMissing", L"%VANTOREL_SCAN_DIR%\\gone.exe"},
        {base, L"Named\\Missing", dir.Missing(L"named.exe")},
        {base, L"", dir.Missing(L"default.exe")},
        {base + L"\\Sub\\Deeper", L"Deep", dir.Missing(L"deep.exe")},
    };
    for (const auto& b : bad) SetText(HKEY_CURRENT_USER, b.key, b.name, b.data, sys::Contains(b.data, L"%") ? REG_EXPAND_SZ : REG_SZ);
    return bad;
  }
};

TRows RowsFor(const std::wstring& root, const std::vector<Bad>& bad, const wchar_t* problem) {
  TRows rows;
  for (const auto& b : bad) rows.push_back(MakeValueProblemRow(problem, root + L"\\" + b.key, b.name, b.data));
  return rows;
}

TEST_F(HiveScan, NewRowsAreExactlyTheSeededBadValues) {
  TTestFolder dir(L"VantorelScanTest");
  ::SetEnvironmentVariableW(L"VANTOREL_SCAN_DIR", dir.Path().c_str());
  const TRows baseline = Scan();

  std::vector<Bad> user = SeedUser(dir);
  // Under a subtree section 4 skips; the user's hive under HKEY_USERS still shows it.
  Bad run = {kRun, L"VantorelScanTest", dir.Missing(L"run.exe")};
  SetText(HKEY_CURRENT_USER, run.key, run.name, run.data);
  std::vector<Bad> machine = {{kBase, L"MissingFile", dir.Missing(L"machine.exe")}};
  SetText(HKEY_LOCAL_MACHINE, kBase, L"MissingFile", machine[0].data);
  SetText(HKEY_LOCAL_MACHINE, kBase, L"PresentFile", dir.Path() + L"\\present.exe");
  SetText(HKEY_LOCAL_MACHINE, kMicrosoftKey, L"MissingFile", dir.Missing(L"microsoft.exe"));
  SetText(HKEY_LOCAL_MACHINE, kVendorKey, L"MissingFile", dir.Missing(L"vendor.exe"));
  std::vector<Bad> appPaths = {{kAppPaths, L"", dir.Missing(L"app.exe")},
                               {kAppPaths, L"Path", dir.Missing(L"AppFolder")}};
  for (const auto& b : appPaths) SetText(HKEY_LOCAL_MACHINE, b.key, b.name, b.data);
  SetText(HKEY_LOCAL_MACHINE, kAppPaths, L"Present", dir.Path() + L"\\present.exe");

  std::vector<std::wstring> sids = UserHivesShowing(kBase);
  ASSERT_FALSE(sids.empty());
  TRows expected = RowsFor(L"HKEY_CURRENT_USER", user, kProblem);
  for (const auto& sid : sids) {
    std::vector<Bad> inHive = user;
    inHive.push_back(run);
    for (auto& b : inHive) b.key = sid + L"\\" + b.key;
    TRows hive = RowsFor(L"HKEY_USERS", inHive, kProblem);
    expected.insert(expected.end(), hive.begin(), hive.end());
  }
  TRows hklm = RowsFor(L"HKEY_LOCAL_MACHINE", machine, kProblem);
  TRows locations = RowsFor(L"HKEY_LOCAL_MACHINE", appPaths, kAppPathsProblem);
  expected.insert(expected.end(), hklm.begin(), hklm.end());
  expected.insert(expected.end(), locations.begin(), locations.end());

  const TRows after = Scan();
  TRows added = Without(after, baseline);
  EXPECT_TRUE(Without(added, expected).empty()) << "unexpected rows:\n" << Describe(Without(added, expected));
  EXPECT_TRUE(Without(expected, added).empty()) << "missing rows:\n" << Describe(Without(expected, added));
  EXPECT_TRUE(Without(baseline, after).empty()) << "rows lost:\n" << Describe(Without(baseline, after));
}

}  // namespace
