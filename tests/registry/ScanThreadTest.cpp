// The scan thread's section loop: messages, titles, cancel and failures.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <utility>

#include "FakeFileSystem.h"
#include "RegistryFixture.h"
#include "registry/ScanTaskThread.h"

using namespace registry;
using registry_test::TFakeFileSystem;
using registry_test::TRecordingPoster;

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
