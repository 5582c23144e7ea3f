// The scan thread's section loop: messages, titles, cancel and failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>

#include "FakeFileSystem.h"
#include "RegistryFixture.h"
#include "registry/ScanTaskThread.h"
#include "registry/fix/FixRun.h"
#include "support/Registry.h"
#include "sys/Text.h"
#include "sys/TextCompare.h"

using namespace registry;
using registry_test::TFakeFileSystem;
using registry_test::TRecordingPoster;
using registry_test::TRows;

namespace {

// Records what each section saw; can fail or cancel at a chosen section.
class TProbeThread : public TScanTaskThread {
 public:
  using TScanTaskThread::TScanTaskThread;
  int ThrowAt = -1;
  int TerminateAt = -1;
  std::vector<int> Ran;
  std::vector<std::wstring> Titles;

 protected:
  void RunSection(int id) override {
    Ran.push_back(id);
    if (id == TerminateAt) Terminate();
    if (id == ThrowAt) throw std::runtime_error("unexpected value");
    TScanTaskThread::RunSection(id);
    Titles.push_back(Shared()->Status.Title());
  }
};

struct ScanRun {
  std::unique_ptr<TProbeThread> thread;
  std::shared_ptr<TRecordingPoster> poster = std::make_shared<TRecordingPoster>();

  explicit ScanRun(std::vector<std::wstring> sections, TScanSettings settings = {}) {
    if (!settings.FileSystem) settings.FileSystem = std::make_shared<TFakeFileSystem>();
    thread = std::make_unique<TProbeThread>(settings);
    thread->FSections = std::move(sections);
    thread->SetPoster(poster);
  }
  void StartAndWait() {
    ASSERT_TRUE(thread->Start());
    ASSERT_TRUE(thread->WaitFor(30000));
  }
};

TEST(ScanThread, DriveLettersFollowTheRemovableMediaOption) {
  auto fs = std::make_shared<TFakeFileSystem>();
  fs->Drive(L'c', DRIVE_FIXED).Drive(L'd', DRIVE_FIXED).Drive(L'e', DRIVE_CDROM).Drive(L'f', DRIVE_REMOTE);
  TScanSettings settings;
  settings.FileSystem = fs;
  EXPECT_EQ(TScanTaskThread(settings).DriveLetters(), L"abcdefghijklmnopqrstuvwxyz");
  settings.IncludeRemoveMedia = true;
  EXPECT_EQ(TScanTaskThread(settings).DriveLetters(), L"cd");
}

TEST(ScanThread, SectionIdsAreWholeDecimalNumbers) {
  const std::pair<const wchar_t*, int> cases[] = {{L"3", 3}, {L"25", 25},          {L"", 0},   {L"x", 0},
                                                  {L"3a", 0}, {L"99999999999", 0}, {L"-4", -4}};
  for (const auto& [text, id] : cases) EXPECT_EQ(SectionIdFromText(text), id) << text;
}

TEST(ScanThread, SectionTableCoversThreeToTwentyFive) {
  for (int id = 3; id <= 25; ++id) {
    ASSERT_NE(FindScanSection(id), nullptr) << id;
    EXPECT_EQ(FindScanSection(id)->Id, id);
  }
  for (int id : {-1, 0, 1, 2, 26}) EXPECT_EQ(FindScanSection(id), nullptr) << id;
  EXPECT_STREQ(FindScanSection(sidObsoleteSoftware)->Title, L"Scanning: Software Locations");
  EXPECT_EQ(FindScanSection(sidOpenWithApps)->Title, nullptr);
  EXPECT_STREQ(FindScanSection(sidInstaller)->Problem, L"Installer Refrence Issue");
}

TEST(ScanThread, EachSectionPostsDoneAndTheEndPostsFinishedOnce) {
  // Groups, unknown ids and text all count as sections.
  ScanRun run({L"1", L"2", L"7", L"x", L"99", L"12", L"25", L"9", L"10", L"11"});
  run.StartAndWait();
  std::vector<UINT> msgs = run.poster->Messages();
  ASSERT_EQ(msgs.size(), 11u);
  EXPECT_EQ(run.poster->Count(WM_SCANSECTIONDONE), 10);
  EXPECT_EQ(msgs.back(), WM_SCANFINISHED);
  EXPECT_EQ(run.thread->Shared()->Status.Title(), L"Optimizing...Do not close the dialog.");
  EXPECT_EQ(run.thread->Shared()->Status.CurrentKey(), L"Please wait...");
}

TEST(ScanThread, EmptyListFinishesAtOnce) {
  ScanRun run({});
  run.StartAndWait();
  EXPECT_EQ(run.poster->Messages(), std::vector<UINT>{WM_SCANFINISHED});
  EXPECT_EQ(run.thread->Shared()->Status.Title(), L"Optimizing...Do not close the dialog.");
}

TEST(ScanThread, ApplicationsSectionKeepsThePreviousTitle) {
  ScanRun run({L"22", L"10", L"22"});
  run.StartAndWait();
  EXPECT_EQ(run.thread->Titles,
            (std::vector<std::wstring>{L"", L"Scanning: Software Locations", L"Scanning: Software Locations"}));
}

TEST(ScanThread, AFailingSectionEndsOnlyItself) {
  ScanRun run({L"9", L"4", L"x"});
  run.thread->ThrowAt = 4;
  run.StartAndWait();
  EXPECT_EQ(run.thread->Ran, (std::vector<int>{9, 4, 0}));
  EXPECT_EQ(run.poster->Count(WM_SCANSECTIONDONE), 3);
  EXPECT_EQ(run.poster->Count(WM_SCANFINISHED), 1);
}

TEST(ScanThread, TerminateBetweenSectionsStopsWithOneFinished) {
  ScanRun run({L"9", L"10", L"11", L"12"});
  run.thread->TerminateAt = 10;
  run.StartAndWait();
  EXPECT_EQ(run.thread->Ran, (std::vector<int>{9, 10}));
  // The cancelled section reports no progress, and the closing texts are not shown.
  EXPECT_EQ(run.poster->Messages(), (std::vector<UINT>{WM_SCANSECTIONDONE, WM_SCANFINISHED}));
  EXPECT_NE(run.thread->Shared()->Status.Title(), L"Optimizing...Do not close the dialog.");
}

// Every existence test takes a while, so a walk over seeded paths is slow
// enough to be cancelled in the middle.
class TSlowFileSystem : public TFakeFileSystem {
 public:
  mutable std::atomic<int> calls{0};
  TPathKind Kind(const std::wstring& path) const override {
    ++calls;
    ::Sleep(2);
    return TFakeFileSystem::Kind(path);
  }
};

TEST(ScanThread, CancelMidWalkFinishesWithinASecond) {
  const std::wstring base = L"Software\\VantorelScanTest\\Cancel";
  registry_test::DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelScanTest");
  for (int i = 0; i < 200; ++i)
    registry_test::SetText(HKEY_CURRENT_USER, base + L"\\K" + std::to_wstring(i), L"Path",
                           L"C:\\VantorelNowhere\\Folder" + std::to_wstring(i) + L"\\app.exe");
  auto fs = std::make_shared<TSlowFileSystem>();
  TScanSettings settings;
  settings.FileSystem = fs;
  ScanRun run({L"4", L"5", L"6"}, settings);
  ASSERT_TRUE(run.thread->Start());
  while (fs->calls < 50) ::Sleep(5);

  DWORD start = ::GetTickCount();
  run.thread->Terminate();
  ASSERT_TRUE(run.poster->WaitFinished(1000));
  EXPECT_LT(::GetTickCount() - start, 1000u);
  ASSERT_TRUE(run.thread->WaitFor(1000));
  EXPECT_EQ(run.thread->Ran, std::vector<int>{4});
  EXPECT_EQ(run.poster->Messages(), std::vector<UINT>{WM_SCANFINISHED});
  registry_test::DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelScanTest");
}

// Scan, Fix all, Scan: a row the fix would refuse is listed by neither scan,
// so the second lists nothing the fix left. Beside the prefix's own rows: a
// bad value in a lasting key (fixed), in a volatile key and through a link
// (both left out). The prefix's rows come back from the fix's backup.
TEST(ScanThread, AScanAfterAFixListsNothingTheFixRefused) {
  const std::wstring base = L"Software\\VantorelScanTest\\FixAll";
  registry_test::DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelScanTest");
  registry_test::SetText(HKEY_CURRENT_USER, base + L"\\Lasting", L"Path", L"C:\\VantorelNowhere\\lasting.exe");
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (base + L"\\Volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
  registry_test::SetText(HKEY_CURRENT_USER, base + L"\\Volatile", L"Path", L"C:\\VantorelNowhere\\volatile.exe");
  const std::wstring link = base + L"\\Link";
  const std::wstring target = L"Software\\VantorelScanLinkTarget";  // the 32-bit view's, below
  registry_test::SetText(HKEY_LOCAL_MACHINE, target, L"Path", L"C:\\VantorelNowhere\\target.exe");
  const bool linked =
      registry_test::MakeRegLink(link, L"\\Registry\\Machine\\Software\\Wow6432Node\\VantorelScanLinkTarget");
  std::vector<std::wstring> sections;
  for (int id = 3; id <= 25; ++id) sections.push_back(std::to_wstring(id));

  const TRows first = registry_test::RunScan(sections);
  std::vector<TFixRow> rows;
  for (const auto& row : first) rows.emplace_back(row, true);
  registry_test::TTestFolder folder(L"VantorelFixAll");
  TFixSettings settings;
  settings.OutputDirectory = settings.DefaultOutputDirectory = folder.Path();
  settings.Unattended = true;
  settings.WindowsVersion = ScanSettingsFromSystem().WindowsVersion;
  ::GetLocalTime(&settings.Now);
  const TFixRunResult fixed = RunFix(rows, settings);
  const TRows second = registry_test::RunScan(sections);
  if (fixed.BackupEntries > 0) {
    EXPECT_TRUE(testing_support::ImportWithRegedit(fixed.BackupFile));
  }
  if (linked) registry_test::RemoveRegLink(link);
  registry_test::DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelScanTest");
  registry_test::DeleteTree(HKEY_LOCAL_MACHINE, target);

  auto listed = [](const TRows& scan, const std::wstring& part) {
    return std::any_of(scan.begin(), scan.end(),
                       [&](const TProblemRow& r) { return sys::ContainsNoCase(r.RegistryKey, part); });
  };
  EXPECT_TRUE(listed(first, L"\\FixAll\\Lasting"));
  EXPECT_FALSE(listed(second, L"\\FixAll\\Lasting"));
  for (const wchar_t* left : {L"\\FixAll\\Volatile", L"\\FixAll\\Link"}) {
    EXPECT_FALSE(listed(first, left)) << sys::ToUtf8(left);
    EXPECT_FALSE(listed(second, left)) << sys::ToUtf8(left);
  }
  ASSERT_EQ(fixed.Stop, fsFinished);
  TRows refused;
  for (size_t i = 0; i < first.size(); ++i) {
    if (fixed.Rows[i].Outcome != foFailed) continue;
    refused.push_back(first[i]);
    for (const wchar_t* why : {L"registry link", L"volatile", L"checked"})
      EXPECT_EQ(fixed.Rows[i].Reason.find(why), std::wstring::npos) << sys::ToUtf8(fixed.Rows[i].Reason);
  }
  const TRows again = registry_test::Without(refused, registry_test::Without(refused, second));
  EXPECT_TRUE(again.empty()) << "listed again after the fix:\n" << registry_test::Describe(again);
  if (!linked) GTEST_SKIP() << "this registry makes no links: the key through one was not seeded";
}

}  // namespace

namespace {

// Holds its one section until released; counts its own destruction.
class TSlowThread : public TScanTaskThread {
 public:
  TSlowThread(HANDLE release, std::atomic<int>* destroyed)
      : TScanTaskThread([] {
          TScanSettings s;
          s.FileSystem = std::make_shared<TFakeFileSystem>();
          return s;
        }()),
        release_(release),
        destroyed_(destroyed) {
    FSections = {L"3"};
  }
  ~TSlowThread() override { ++*destroyed_; }

 protected:
  void RunSection(int) override { ::WaitForSingleObject(release_, 30000); }

 private:
  HANDLE release_;
  std::atomic<int>* destroyed_;
};

}  // namespace

TEST(ScanThread, AThreadStillRunningAfterTheWaitIsNeverFreedOnlyLater) {
  HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> destroyed{0};
  auto thread = std::make_unique<TSlowThread>(release, &destroyed);
  thread->SetPoster(std::make_shared<TRecordingPoster>());
  ASSERT_TRUE(thread->Start());
  EXPECT_FALSE(FreeScanThreadWhenEnded(std::move(thread), 50));
  EXPECT_EQ(destroyed, 0) << "a running thread was freed";
  EXPECT_EQ(LingeringScanThreads(), 1u);
  ::SetEvent(release);
  for (int i = 0; i < 500 && LingeringScanThreads() > 0; ++i) ::Sleep(20);
  EXPECT_EQ(destroyed, 1) << "the ended thread was not freed";
  // One that ends within the wait is freed at once.
  auto quick = std::make_unique<TSlowThread>(release, &destroyed);
  quick->SetPoster(std::make_shared<TRecordingPoster>());
  ASSERT_TRUE(quick->Start());
  EXPECT_TRUE(FreeScanThreadWhenEnded(std::move(quick), 10000));
  EXPECT_EQ(destroyed, 2);
  ::CloseHandle(release);
}
