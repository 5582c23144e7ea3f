// The registry walker over keys seeded in the test prefix, judged against a
// file-system view held in memory.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakeFileSystem.h"
#include "RegistryFixture.h"
#include "registry/ScanTaskThread.h"

using namespace registry;
using namespace registry_test;

namespace {

const wchar_t kBase[] = L"Software\\VantorelScanTest";
const wchar_t kWalk[] = L"Software\\VantorelScanTest\\Walk";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kWalkPath = L"HKEY_CURRENT_USER\\Software\\VantorelScanTest\\Walk";

class TWalkThread : public TScanTaskThread {
 public:
  using TScanTaskThread::TScanTaskThread;
  TRows Walk(int section, const std::wstring& root, const std::wstring& subKey, const std::wstring& cutText = L"") {
    FCurrentSection = section;
    ScanRegistryTree(root, subKey, L"Problem", cutText, FDriveLetters);
    return Shared()->Rows.TakeAll();
  }

 protected:
  void Execute() override {}
};

class TreeWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(HKEY_CURRENT_USER, kBase);
    fs_ = std::make_shared<TFakeFileSystem>();
    fs_->File(L"C:\\Present\\app.exe").Folder(L"C:\\Windows\\System32\\IME");
    TScanSettings settings;
    settings.FileSystem = fs_;
    thread_ = std::make_unique<TWalkThread>(settings);
  }
  void TearDown() override {
    DeleteTree(HKEY_CURRENT_USER, kBase);
    DeleteValue(HKEY_CURRENT_USER, kRun, L"VantorelScanTest");
  }

  std::shared_ptr<TFakeFileSystem> fs_;
  std::unique_ptr<TWalkThread> thread_;
};

TEST_F(TreeWalk, ReportsTextValuesNamingMissingFilesOnly) {
  const std::wstring walk = kWalk;
  SetText(HKEY_CURRENT_USER, walk, L"Bad", L"C:\\Gone\\app.exe");
  SetText(HKEY_CURRENT_USER, walk, L"Good", L"C:\\Present\\app.exe");
  SetText(HKEY_CURRENT_USER, walk, L"Expand", L"C:\\Gone\\e.exe", REG_EXPAND_SZ);
  SetText(HKEY_CURRENT_USER, walk, L"", L"C:\\Gone\\default.exe");
  SetText(HKEY_CURRENT_USER, walk, L"Named\\Bad", L"C:\\Gone\\b.exe");
  SetText(HKEY_CURRENT_USER, walk, L"Named\\Good", L"C:\\Present\\app.exe");
  SetText(HKEY_CURRENT_USER, walk, L"Ime", L"C:\\Windows\\System32\\IME\\gone.ime");
  SetDword(HKEY_CURRENT_USER, walk, L"Dword", 7);
  SetRaw(HKEY_CURRENT_USER, walk, L"Multi", REG_MULTI_SZ, L"C:\\Gone\\m.exe");
  SetRaw(HKEY_CURRENT_USER, walk, L"Binary", REG_BINARY, L"C:\\Gone\\bin.exe");
  SetText(HKEY_CURRENT_USER, walk + L"\\Deep\\Deeper", L"Bad", L"C:\\Gone\\deep.exe");
  // Keys the fix would refuse are left out: a volatile one, and one reached
  // through a link (plain, and under a part named like the 32-bit view).
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (walk + L"\\Volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
  SetText(HKEY_CURRENT_USER, walk + L"\\Volatile", L"Bad", L"C:\\Gone\\volatile.exe");
  const std::wstring target = std::wstring(kBase) + L"\\LinkTarget";
  SetText(HKEY_CURRENT_USER, target, L"Bad", L"C:\\Gone\\linked.exe");
  CreateKey(HKEY_CURRENT_USER, walk + L"\\Wow");
  const std::wstring links[] = {walk + L"\\Link", walk + L"\\Wow\\Wow6432Node\\Link"};
  bool linked = true;
  for (const auto& link : links) linked = linked && MakeRegLink(link, testing_support::NativeUserKey(target));

  TRows rows = thread_->Walk(sidHkcu, L"hkey_current_user", walk);
  for (const auto& link : links) RemoveRegLink(link);
  TRows expected = {
      {L"Problem", L"C:\\Gone\\app.exe", kWalkPath + L"\\Bad", fkDeleteValue},
      {L"Problem", L"C:\\Gone\\e.exe", kWalkPath + L"\\Expand", fkDeleteValue},
      {L"Problem", L"C:\\Gone\\default.exe", kWalkPath + L"\\", fkDeleteValue},
      {L"Problem", L"Named\\Bad", kWalkPath, fkDeleteNamedValue},
      {L"Problem", L"C:\\Gone\\deep.exe", kWalkPath + L"\\Deep\\Deeper\\Bad", fkDeleteValue},
  };
  EXPECT_TRUE(Without(rows, expected).empty()) << "unexpected:\n" << Describe(Without(rows, expected));
  EXPECT_TRUE(Without(expected, rows).empty()) << "missing:\n" << Describe(Without(expected, rows));
  if (!linked) GTEST_SKIP() << "this registry makes no links: the keys through one were not seeded";
}

TEST_F(TreeWalk, CutTextAndRootNames) {
  SetText(HKEY_CURRENT_USER, kWalk, L"Cut", L"C:\\Gone\\c.exe --flag C:\\x");
  SetText(HKEY_CURRENT_USER, kWalk, L"Kept", L"C:\\Present\\app.exe --flag");
  EXPECT_EQ(thread_->Walk(sidInstaller, L"HKEY_CURRENT_USER", kWalk, L".exe"),
            (TRows{{L"Problem", L"C:\\Gone\\c.exe --flag C:\\x", kWalkPath + L"\\Cut", fkDeleteValue}}));
  EXPECT_TRUE(thread_->Walk(sidHkcu, L"HKCU", kWalk).empty());  // only full root names
  EXPECT_TRUE(thread_->Walk(sidHkcu, L"HKEY_CURRENT_USER", L"Software\\VantorelScanTest\\Missing").empty());
}

TEST_F(TreeWalk, KeysThatCannotBeOpenedAreSkippedAndTheWalkGoesOn) {
  SetText(HKEY_CURRENT_USER, kWalk + std::wstring(L"\\A"), L"Bad", L"C:\\Gone\\a.exe");
  if (!CreateBrokenLink(HKEY_CURRENT_USER, kWalk + std::wstring(L"\\B"))) GTEST_SKIP() << "no registry links here";
  SetText(HKEY_CURRENT_USER, kWalk + std::wstring(L"\\C"), L"Bad", L"C:\\Gone\\c.exe");
  TRows rows = thread_->Walk(sidHkcu, L"HKEY_CURRENT_USER", kWalk);
  DeleteLink(HKEY_CURRENT_USER, kWalk + std::wstring(L"\\B"));
  EXPECT_EQ(Without(rows, {}), (TRows{{L"Problem", L"C:\\Gone\\a.exe", kWalkPath + L"\\A\\Bad", fkDeleteValue},
                                     {L"Problem", L"C:\\Gone\\c.exe", kWalkPath + L"\\C\\Bad", fkDeleteValue}}));
}

TEST_F(TreeWalk, SkipTablesBelongToTheirSection) {
  SetText(HKEY_CURRENT_USER, kRun, L"VantorelScanTest", L"C:\\Gone\\run.exe");
  EXPECT_TRUE(thread_->Walk(sidHkcu, L"HKEY_CURRENT_USER", kRun).empty());
  TRows rows = thread_->Walk(sidHkcr, L"HKEY_CURRENT_USER", kRun);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const TProblemRow& r) { return r.Data == L"C:\\Gone\\run.exe"; }),
            1);
}

}  // namespace
