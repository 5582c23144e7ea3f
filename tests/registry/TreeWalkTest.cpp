// The registry walker over keys seeded in the test prefix, judged against a
// file-system view held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

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

namespace {

const std::wstring kTarget = std::wstring(kBase) + L"\\LinkTarget";

void Bad(const std::wstring& key) { SetText(HKEY_CURRENT_USER, key, L"Bad", L"C:\\Gone\\app.exe"); }
std::wstring Under(const std::wstring& walkKey) { return std::wstring(kWalk) + L"\\" + walkKey; }

bool RenameKey(const std::wstring& key, const std::wstring& newName) {
  using RenameFn = LONG(WINAPI*)(HKEY, LPCWSTR, LPCWSTR);
  auto rename = reinterpret_cast<RenameFn>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "RegRenameKey"));
  return rename != nullptr && rename(HKEY_CURRENT_USER, key.c_str(), newName.c_str()) == ERROR_SUCCESS;
}

bool LinkToTarget(const std::wstring& walkKey) {
  return MakeRegLink(Under(walkKey), testing_support::NativeUserKey(kTarget));
}

void MakeVolatile(const std::wstring& key) {
  HKEY k = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &k,
                        nullptr) == ERROR_SUCCESS)
    ::RegCloseKey(k);
}

}  // namespace

// The rows of one branch share the keys their filter opened. A branch that
// changes between two rows (a key renamed, its name then given to a link or
// a volatile key) is judged afresh, never on the key held for the old name;
// a sibling whose name only starts like a held key's is not that key. Each
// case: one walk, the change, a second walk by the same thread; the keys
// (below the walk) whose bad value the second walk lists.
TEST_F(TreeWalk, ABranchThatChangedBetweenRowsIsJudgedAfresh) {
  struct Case {
    const char* what;
    std::function<void()> seed;
    std::function<bool()> change;  // false: this registry cannot make the change
    std::vector<std::wstring> listed;
  };
  const Case cases[] = {
      {"a held key renamed, its name made a link",
       [] {
         Bad(Under(L"Branch\\Key"));
         Bad(kTarget + L"\\Key");
       },
       [] { return RenameKey(Under(L"Branch"), L"Moved") && LinkToTarget(L"Branch"); },
       {L"Moved\\Key"}},
      {"a row below a held key renamed, its name made a link",
       [] {
         Bad(Under(L"Branch\\Key"));
         SetText(HKEY_CURRENT_USER, Under(L"Branch\\Key\\Deeper"), L"Good", L"C:\\Present\\app.exe");
         Bad(kTarget + L"\\Key\\Deeper");
       },
       [] {
         Bad(Under(L"Branch\\Key\\Deeper"));  // listed as Moved\Key\Deeper
         return RenameKey(Under(L"Branch"), L"Moved") && LinkToTarget(L"Branch");
       },
       {L"Moved\\Key", L"Moved\\Key\\Deeper"}},
      {"a held key renamed, a key made anew in its place",
       [] { Bad(Under(L"Branch\\Key")); },
       [] {
         if (!RenameKey(Under(L"Branch"), L"Moved")) return false;
         Bad(Under(L"Branch\\Key\\Deeper"));
         return true;
       },
       {L"Moved\\Key", L"Branch\\Key\\Deeper"}},
      {"a held key deleted, its name made a link",
       [] {
         Bad(Under(L"Branch\\Key"));
         Bad(kTarget + L"\\Key");
       },
       [] {
         DeleteTree(HKEY_CURRENT_USER, Under(L"Branch"));
         return LinkToTarget(L"Branch");
       },
       {}},
      {"a held lasting key renamed, its name made volatile",
       [] { Bad(Under(L"Branch\\Key")); },
       [] {
         if (!RenameKey(Under(L"Branch"), L"Moved")) return false;
         MakeVolatile(Under(L"Branch"));
         MakeVolatile(Under(L"Branch\\Key"));
         Bad(Under(L"Branch\\Key"));
         return true;
       },
       {L"Moved\\Key"}},
      {"a volatile key below a held lasting key", [] { Bad(Under(L"Lasting")); },
       [] {
         MakeVolatile(Under(L"Lasting\\Volatile"));
         Bad(Under(L"Lasting\\Volatile"));
         return true;
       },
       {L"Lasting"}},
      {"a link whose name starts with a held key's", [] {
         Bad(Under(L"Pre\\Key"));
         Bad(kTarget + L"\\Key");
       },
       [] { return LinkToTarget(L"Prefix"); }, {L"Pre\\Key"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteTree(HKEY_CURRENT_USER, kBase);
    c.seed();
    TWalkThread thread(TScanSettings{false, 0, false, fs_});
    thread.Walk(sidHkcu, L"HKEY_CURRENT_USER", kWalk);
    const bool changed = c.change();
    TRows rows = changed ? thread.Walk(sidHkcu, L"HKEY_CURRENT_USER", kWalk) : TRows{};
    for (const wchar_t* link : {L"Branch", L"Prefix"}) RemoveRegLink(Under(link));
    if (!changed) {
      std::printf("skipped (this registry cannot make the change): %s\n", c.what);
      continue;
    }
    TRows expected;
    for (const auto& key : c.listed)
      expected.push_back({L"Problem", L"C:\\Gone\\app.exe", kWalkPath + L"\\" + key + L"\\Bad", fkDeleteValue});
    EXPECT_TRUE(Without(rows, expected).empty()) << "unexpected:\n" << Describe(Without(rows, expected));
    EXPECT_TRUE(Without(expected, rows).empty()) << "missing:\n" << Describe(Without(expected, rows));
  }
}

TEST_F(TreeWalk, SkipTablesBelongToTheirSection) {
  SetText(HKEY_CURRENT_USER, kRun, L"VantorelScanTest", L"C:\\Gone\\run.exe");
  EXPECT_TRUE(thread_->Walk(sidHkcu, L"HKEY_CURRENT_USER", kRun).empty());
  TRows rows = thread_->Walk(sidHkcr, L"HKEY_CURRENT_USER", kRun);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const TProblemRow& r) { return r.Data == L"C:\\Gone\\run.exe"; }),
            1);
}

}  // namespace
