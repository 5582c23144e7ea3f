// A run of the clean thread as the main window sees it: the exact log, the
// progress and completion messages, cancelling, failures, and the dispatch
// of captions.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "CleanFakes.h"
#include "cleaner/ListBoxLog.h"

using namespace cleaner;
using namespace cleaner_test;

namespace {

const std::wstring kDash(107, L'-');
using Posts = std::vector<std::pair<UINT, int>>;

void CountThree(TClearTaskThread& t) {
  t.FItemCount = 3;
  t.FItemBytes = 2048;
  t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
}

}  // namespace

TEST(CleanRunLog, EmptyRunWritesOnlyTheTotals) {
  CleanRun run(CleanMode::Test);
  run.Run({});
  EXPECT_EQ(run.log->Lines(), (std::vector<std::wstring>{
                                  kDash, L"Total items will be removed = 0 ; Total files will be removed = 0 KB", kDash}));
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANFINISHED, 0}}));
}

TEST(CleanRunLog, OneItemRunInTestAndInClean) {
  CleanRun test(CleanMode::Test);
  test.table.Register(L"Windows - Clipboard", &CountThree);
  test.Run({L"Windows - Clipboard"});
  EXPECT_EQ(test.log->Lines(), (std::vector<std::wstring>{
                                   L"Test: Clearing Windows - Clipboard ...", L"",
                                   L"3 items will be removed; 2 KB will be removed.", L"", kDash,
                                   L"Total items will be removed = 3 ; Total files will be removed = 2 KB", kDash}));
  EXPECT_EQ(test.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 3}, {WM_CLEANFINISHED, 3}}));

  CleanRun clean(CleanMode::RealClean);
  clean.table.Register(L"Windows - Clipboard", &CountThree);
  clean.table.Register(L"Windows - Start Run", [](TClearTaskThread& t) { t.FItemCount = 2; });
  clean.Run({L"Windows - Clipboard", L"Windows - Start Run"});
  EXPECT_EQ(clean.log->Lines(), (std::vector<std::wstring>{
                                    L"Clean: Clearing Windows - Clipboard ...", L"",
                                    L"3 items to be removed; 2 KB to be removed.", L"", kDash,
                                    L"Clean: Clearing Windows - Start Run ...", L"",
                                    L"2 items to be removed; 0 KB to be removed.", L"", kDash,
                                    L"Total items to be removed = 5 ; Total files to be removed = 2 KB", kDash}));
  EXPECT_EQ(clean.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 3}, {WM_CLEANPROGRESS, 5}, {WM_CLEANFINISHED, 5}}));
}

TEST(CleanRunLog, CancelMidItemEndsThatItemAndNothingMore) {
  CleanRun run(CleanMode::RealClean);
  bool secondRan = false;
  run.table.Register(L"Windows - Clipboard", [](TClearTaskThread& t) {
    t.FItemCount = 1;
    t.Terminate();
  });
  run.table.Register(L"Windows - Start Run", [&](TClearTaskThread&) { secondRan = true; });
  run.Run({L"Windows - Clipboard", L"Windows - Start Run"});
  EXPECT_FALSE(secondRan);
  EXPECT_EQ(run.log->Lines(), (std::vector<std::wstring>{L"Clean: Clearing Windows - Clipboard ...", L"",
                                                         L"1 items to be removed; 0 KB to be removed.", L""}));
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 1}})) << "a cancelled run never reports its end";

  CleanRun before(CleanMode::Test);
  before.thread->Terminate();
  before.Run({L"Windows - Clipboard"});
  EXPECT_TRUE(before.log->Lines().empty());
  EXPECT_TRUE(before.poster->Posts().empty());
}

TEST(CleanRunProgress, PostsInsideAnItemOnlyAfterMoreThanTwoSeconds) {
  CleanRun run(CleanMode::Test);
  auto clock = run.clock;
  run.table.Register(L"A - first", [](TClearTaskThread& t) { t.FItemCount = 5; });
  run.table.Register(L"A - second", [clock](TClearTaskThread& t) {
    DWORD start = clock->now;
    clock->now = start + 2000;
    t.ProgressTick(1);  // exactly 2 s: nothing
    clock->now = start + 2001;
    t.ProgressTick(2);  // posts 5 + 2
    clock->now = start + 3000;
    t.ProgressTick(3);  // 0.999 s after that post: nothing
    clock->now = start + 4002;
    t.ProgressTick(4);  // posts 5 + 4
    t.FItemCount = 4;
  });
  run.Run({L"A - first", L"A - second"});
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 5},
                                        {WM_CLEANPROGRESS, 7},
                                        {WM_CLEANPROGRESS, 9},
                                        {WM_CLEANPROGRESS, 9},
                                        {WM_CLEANFINISHED, 9}}));
}

TEST(CleanRunProgress, TheFirstCountedEntryMovesTheBarAtOnceThenTheThrottleApplies) {
  CleanRun run(CleanMode::RealClean);
  auto clock = run.clock;
  run.table.Register(L"A - empty", [](TClearTaskThread&) {});
  run.table.Register(L"A - long", [clock](TClearTaskThread& t) {
    DWORD start = clock->now;
    t.ProgressTick(1);  // the bar still shows 0: posts at once
    clock->now = start + 1000;
    t.ProgressTick(2);  // 1 s after that post: nothing
    clock->now = start + 2001;
    t.ProgressTick(3);  // posts
    t.FItemCount = 3;
  });
  run.Run({L"A - empty", L"A - long"});
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 0},
                                        {WM_CLEANPROGRESS, 1},
                                        {WM_CLEANPROGRESS, 3},
                                        {WM_CLEANPROGRESS, 3},
                                        {WM_CLEANFINISHED, 3}}));
}

TEST(CleanRunProgress, WithAKnownTotalEntriesArePostedUntilTheBarLeavesZero) {
  CleanRun run(CleanMode::RealClean);
  run.table.Register(L"A - long", [](TClearTaskThread& t) {
    t.FExpectedTotal = 2000;  // the bar moves at the second entry
    for (int n = 1; n <= 3; ++n) t.ProgressTick(n);
    t.FItemCount = 3;
  });
  run.Run({L"A - long"});
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 1},
                                        {WM_CLEANPROGRESS, 2},
                                        {WM_CLEANPROGRESS, 3},
                                        {WM_CLEANFINISHED, 3}}));
}

TEST(CleanRunProgress, ScrollsEveryNthEntryByMode) {
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    CleanRun run(mode);
    int before = -1, after = -1;
    run.table.Register(L"A - a", [&](TClearTaskThread& t) {
      before = run.log->Scrolls();
      for (int i = 0; i < 100; ++i) t.ScrollLog(50);
      after = run.log->Scrolls();
      t.ScrollLog(0);
    });
    run.Run({L"A - a"});
    EXPECT_EQ(after - before, mode == CleanMode::Test ? 2 : 4);
  }
}

TEST(CleanRunFailures, AFailingItemIsLoggedAndTheRunGoesOn) {
  CleanRun run(CleanMode::Test);
  run.table.Register(L"Google Chrome - Cookies", [](TClearTaskThread& t) {
    t.FItemCount = 1;
    throw std::runtime_error("database is locked");
  });
  run.table.Register(L"Windows - Clipboard", &CountThree);
  run.Run({L"Google Chrome - Cookies", L"Windows - Clipboard"});
  EXPECT_TRUE(run.log->Contains(L"Test: error in Google Chrome - Cookies: database is locked"));
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 1}, {WM_CLEANPROGRESS, 4}, {WM_CLEANFINISHED, 4}}));
}

TEST(CleanRunFailures, AnErrorThatEndsTheRunIsReportedToTheWindow) {
  CleanRun run(CleanMode::Test);
  run.table.Register(L"Windows - Clipboard", &CountThree);
  run.table.Register(L"Windows - Start Run", [](TClearTaskThread&) { throw 42; });
  run.Run({L"Windows - Clipboard", L"Windows - Start Run", L"Windows - Clipboard"});
  EXPECT_EQ(run.poster->Posts(), (Posts{{WM_CLEANPROGRESS, 3}, {WM_CLEANFAILED, 3}}));
  EXPECT_EQ(run.log->Lines().back(), L"Test: stopped by an error");
}

TEST(CleanRunDispatch, DataFileItemsGetTheirSection) {
  CleanRun run(CleanMode::Test);
  std::vector<std::pair<DataFile, std::wstring>> seen;
  run.table.SetDataFileRoutine(
      [&](TClearTaskThread&, DataFile file, const std::wstring& section) { seen.emplace_back(file, section); });
  run.Run({L"Custom Lists - <New List>", L"Windows - Windows Log Files", L"Mozilla Firefox - Download Manager"});
  EXPECT_EQ(seen, (std::vector<std::pair<DataFile, std::wstring>>{{DataFile::Custom, L"<New List>"},
                                                                 {DataFile::Kavo, L"Windows Log Files"},
                                                                 {DataFile::Kavo, L"Download Manager"}}));
}

TEST(CleanRunMode, IsFixedAtCreationAndOnlyACleanDeletes) {
  Sandbox box(L"mode");
  box.File(L"f.txt", "data");
  for (CleanMode mode : {CleanMode::Test, CleanMode::CleanRequested, static_cast<CleanMode>(7)}) {
    CleanRun run(mode, {}, true);
    EXPECT_TRUE(run.thread->IsTest());
    bool gone = false;
    run.table.Register(L"A - a", [&](TClearTaskThread& t) { gone = t.DeleteOneFile(box.Path(L"f.txt"), true); });
    run.Run({L"A - a"});
    EXPECT_TRUE(gone) << "a test counts the file as removed";
    EXPECT_TRUE(Exists(box.Path(L"f.txt")));
    EXPECT_TRUE(run.deleter->calls.empty());
    EXPECT_EQ(run.log->Lines()[0], L"Test: Clearing A - a ...");
  }
}

TEST(CleanRunMode, AnUnattendedCleanAnswersNoItself) {
  CleanRun run(CleanMode::AutoClean);
  bool answer = true;
  run.asker->answer = true;
  run.table.Register(L"A - a", [&](TClearTaskThread& t) { answer = t.AskUser(L"Delete?"); });
  run.Run({L"A - a"});
  EXPECT_FALSE(answer);
  EXPECT_TRUE(run.asker->questions.empty());
}

TEST(ListBoxLog, LinesFromAWorkerReachTheListInOrder) {
  HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_OVERLAPPEDWINDOW | LBS_NOINTEGRALHEIGHT, 0, 0, 200, 200,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  auto log = std::make_shared<ListBoxLog>(list);
  std::thread worker([log] {
    for (int i = 0; i < 500; ++i) log->AddLine(std::to_wstring(i));
    log->ScrollToEnd();
  });
  worker.join();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 500);
  wchar_t text[16] = {};
  ::SendMessageW(list, LB_GETTEXT, 499, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"499");

  log->Detach();
  log->AddLine(L"after");
  log->Flush();
  EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 500);
  ::DestroyWindow(list);
}

TEST(ListBoxLog, ARunWithTheRealSeamsFillsTheListFromTheGuiThread) {
  sys::sync::Init();
  HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  auto log = std::make_shared<ListBoxLog>(list);
  ItemRoutineTable table;
  table.Register(L"Windows - Clipboard", &CountThree);
  CleanServices services;
  services.log = log;
  services.poster = std::make_shared<RecordingPoster>();
  services.routines = &table;
  {
    TClearTaskThread thread(CleanMode::Test, {}, services);
    thread.FItems = {L"Windows - Clipboard"};
    thread.Start();
    EXPECT_TRUE(thread.WaitFor(30000)) << "the begin and end steps are served while the GUI thread waits";
  }
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 7);
  wchar_t text[128] = {};
  ::SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"3 items will be removed; 2 KB will be removed.");
  log->Detach();
  ::DestroyWindow(list);
  sys::sync::Shutdown();
}
