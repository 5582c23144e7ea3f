// The cleaner page's decisions, with the machine, the user and the item
// routines replaced by fakes.
#include <gtest/gtest.h>

#include <functional>
#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <memory>

#include "AppTestSupport.h"
#include "support/TestSupport.h"
#include "app/Main.h"
#include "cleaner/ItemRoutines.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace {

using app_test::ForgetOptions;
using app_test::Pump;
using app_test::PumpUntil;

struct Calls {
  std::atomic<int> tests{0};
  std::atomic<int> cleans{0};
  std::atomic<bool> block{false};
};

class CleanerPage;

// The machine and the user as each test sets them.
class FakeEnvironment : public app::SystemCleanerEnvironment {
 public:
  explicit FakeEnvironment(CleanerPage* page) : page_(page) {}
  bool IsProcessRunning(const std::wstring& exe) override;
  bool WindowClassExists(const wchar_t*) override;
  int AskBeforeClean(HWND) override;
  void CompleteServices(cleaner::CleanServices& s) override;
  std::wstring ChooseSaveFile(HWND owner) override {
    return chosenFile.empty() ? app::SystemCleanerEnvironment::ChooseSaveFile(owner) : chosenFile;
  }
  std::wstring chosenFile;

 private:
  CleanerPage* page_;
};

class CleanerPage : public ::testing::Test, public ui::IMessageBoxAnswerer {
 protected:
  void SetUp() override {
    ForgetOptions();
    ui::Application::Instance().Initialize();
    // Each ticked item counts three entries and records whether it ran as a test.
    Calls* c = &calls;
    routines.Register(L"Windows - Temporary Files", [c](cleaner::TClearTaskThread& t) {
      while (c->block && !t.Terminated()) ::Sleep(5);
      (t.IsTest() ? c->tests : c->cleans)++;
      t.FItemCount += 3;
    });
    ASSERT_TRUE(form.CreateMain({}));
    form.SetCleanerEnvironment(env);
    form.ShowMain();
    Pump(100);
    core::OptionsSetting.IsAskBeforeClear = false;
    previous = ui::SetMessageBoxAnswerer(this);
  }
  int Answer(HWND owner, const std::wstring& text, UINT flags) override {
    if (answerHook) return answerHook(owner);
    boxes.push_back(text);
    boxFlags.push_back(flags);
    return boxAnswer;
  }
  // Answers in place of the above when set.
  std::function<int(HWND owner)> answerHook;
  void TearDown() override {
    calls.block = false;
    form.WaitForCleanThread(10000);
    ui::SetMessageBoxAnswerer(previous);
    ::DestroyWindow(form.Handle());
    Pump(50);
  }
  bool Idle() { return !form.Cleaning() && !form.CleanThreadAlive(); }

  app::TfrmMain form;
  cleaner::ItemRoutineTable routines;
  Calls calls;
  bool firefoxRunning = false;
  bool chromeWindow = false;
  int confirmAnswer = IDYES;
  int confirmations = 0;
  int boxAnswer = IDNO;
  std::vector<std::wstring> boxes;
  std::vector<UINT> boxFlags;
  ui::IMessageBoxAnswerer* previous = nullptr;
  std::shared_ptr<FakeEnvironment> env = std::make_shared<FakeEnvironment>(this);
  friend class FakeEnvironment;
};

bool FakeEnvironment::IsProcessRunning(const std::wstring& exe) {
  return exe == L"firefox.exe" && page_->firefoxRunning;
}
bool FakeEnvironment::WindowClassExists(const wchar_t*) { return page_->chromeWindow; }
int FakeEnvironment::AskBeforeClean(HWND) {
  ++page_->confirmations;
  return page_->confirmAnswer;
}
void FakeEnvironment::CompleteServices(cleaner::CleanServices& s) {
  s.routines = &page_->routines;
  s.deleter = std::make_shared<cleaner::RefusingDeleter>();
}

TEST_F(CleanerPage, NothingTickedTellsTheUserButTheScheduleSaysNothing) {
  form.bCleanClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], L"Please select the sections which you want to scan from the left list.");
  form.StartCleaner(1);
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_FALSE(form.CleanThreadAlive());
}

TEST_F(CleanerPage, QuestionsBeforeACleanFollowTheDecisionTable) {
  form.TickCleanCaption(L"Windows - Temporary Files");
  // The browser checks look at the group nodes.
  form.TickCleanCaption(L"Mozilla Firefox");
  form.TickCleanCaption(L"Google Chrome");
  ASSERT_TRUE(form.IsFirefoxChecked());
  ASSERT_TRUE(form.IsChromeChecked());

  firefoxRunning = true;
  form.bCleanClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], L"Please close Mozilla Firefox first!");
  EXPECT_TRUE(Idle());

  // A test asks nothing and runs.
  form.bTestClick();
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  EXPECT_EQ(calls.tests.load(), 1);
  EXPECT_EQ(boxes.size(), 1u);

  firefoxRunning = false;
  chromeWindow = true;
  boxAnswer = IDNO;
  form.bCleanClick();
  EXPECT_EQ(boxes.back(), L"Please close Google Chrome first, otherwise some history will not be deleted. Continue?");
  EXPECT_TRUE(Idle());

  chromeWindow = false;
  core::OptionsSetting.IsAskBeforeClear = true;
  confirmAnswer = IDNO;
  form.bCleanClick();
  EXPECT_EQ(confirmations, 1);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(calls.cleans.load(), 0);
}

TEST_F(CleanerPage, CleanCountsFirstThenCleansAndEndsFinished) {
  form.TickCleanCaption(L"Windows - Temporary Files");
  // The group is ticked through the walk only for leaves; the ticked leaf suffices.
  form.bCleanClick();
  ASSERT_TRUE(PumpUntil([&] { return Idle() && calls.cleans.load() == 1; }));
  EXPECT_EQ(calls.tests.load(), 1) << "the counting pass runs as a test";
  EXPECT_EQ(form.CleanTotal(), 3);
  EXPECT_EQ(form.CleanMode(), 0);
  EXPECT_EQ(form.ProgressBar1.Position(), 1000);
  EXPECT_EQ(form.ProgressBar1.Caption(), L"Finished!");
  EXPECT_EQ(form.bTest.Text(), L"Test");
  EXPECT_EQ(form.lMain.TextColor(), ::GetSysColor(COLOR_WINDOWTEXT)) << "the log is readable again";
  EXPECT_GT(form.lMain.Count(), 0);
}

TEST_F(CleanerPage, CancelKeepsThePageBusyUntilTheThreadEndsAndALateFinishStartsNothing) {
  form.TickCleanCaption(L"Windows - Temporary Files");
  bool fastScan = core::OptionsSetting.FastScan = false;
  calls.block = true;
  form.bCleanClick();  // counting pass, blocked inside its item
  ASSERT_TRUE(form.CleanThreadAlive());
  EXPECT_EQ(form.bTest.Text(), L"Cancel");
  form.bTestClick();  // cancel
  EXPECT_TRUE(form.Cleaning() || form.CleanThreadAlive());
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  EXPECT_EQ(form.bTest.Text(), L"Test");
  EXPECT_EQ(core::OptionsSetting.FastScan, fastScan) << "Fast Mode comes back after a cancelled counting pass";
  EXPECT_EQ(form.lMain.TextColor(), ::GetSysColor(COLOR_WINDOWTEXT));
  // A finish message of the cancelled run arrives late: nothing starts.
  form.Post(app::WM_CLEANFINISHED, 3, 1);
  form.Post(app::WM_STARTREALCLEAN, 0, 1);
  form.Post(app::WM_CLEANFINISHED, 3, 0);
  Pump(300);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(calls.cleans.load(), 0);
}

TEST_F(CleanerPage, TheCountingPassRunsFastWithoutTouchingTheOptions) {
  form.TickCleanCaption(L"Windows - Temporary Files");
  core::OptionsSetting.FastScan = false;
  calls.block = true;
  form.bCleanClick();
  ASSERT_TRUE(form.CleanThreadAlive());
  EXPECT_EQ(form.CleanRun().State(), app::TCleanState::Counting);
  EXPECT_TRUE(form.CleanRun().FastScan());
  EXPECT_FALSE(core::OptionsSetting.FastScan);
  calls.block = false;
  ASSERT_TRUE(PumpUntil([&] { return Idle() && calls.cleans.load() == 1; }));
  EXPECT_FALSE(form.CleanRun().FastScan()) << "the real clean takes the user's Fast Mode";
  EXPECT_FALSE(core::OptionsSetting.FastScan);
}

TEST_F(CleanerPage, AScheduledTickDuringATestLeavesThatRunATest) {
  form.TickCleanCaption(L"Windows - Temporary Files");
  calls.block = true;
  form.bTestClick();
  ASSERT_TRUE(form.CleanThreadAlive());
  form.Timer2Timer();
  EXPECT_EQ(form.CleanMode(), 2);
  calls.block = false;
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  EXPECT_EQ(calls.tests.load(), 1);
  EXPECT_EQ(calls.cleans.load(), 0);
}

TEST(LogExport, TxtIsAppendedUnlessTheNameEndsInExactlyTxt) {
  EXPECT_EQ(app::LogExportFileName(L"C:\\a\\log.txt"), L"C:\\a\\log.txt");
  EXPECT_EQ(app::LogExportFileName(L"C:\\a\\log.TXT"), L"C:\\a\\log.TXT.txt");
  EXPECT_EQ(app::LogExportFileName(L"C:\\a.d\\log"), L"C:\\a.d\\log.txt");
}

TEST_F(CleanerPage, LogExportAsksBeforeReplacingAFile) {
  const std::wstring target = app_test::TempPath(L"cleanlog.txt");
  { std::ofstream(target.c_str()) << "keep"; }
  form.lMain.Add(L"Test: line");
  form.AddScanRow({L"P", L"D", L"HKEY_CURRENT_USER\\K", registry::fkDeleteKey});
  env->chosenFile = app_test::TempPath(L"cleanlog");
  boxAnswer = IDNO;
  const struct {
    const char* name;
    std::function<void()> save;
    UINT icon;
  } exports[] = {
      {"log", [this] { form.aSaveText_ClearHistoryExecute(); }, MB_ICONQUESTION},
      {"registry list", [this] { form.aSaveTextExecute(); }, MB_ICONINFORMATION},
  };
  for (const auto& e : exports) {
    boxes.clear();
    boxFlags.clear();
    e.save();
    ASSERT_EQ(boxes.size(), 1u) << e.name;
    EXPECT_EQ(boxes[0], target + L" has existed,overite it?") << e.name;
    EXPECT_EQ(boxFlags[0], UINT(MB_YESNO | e.icon | MB_DEFBUTTON2)) << e.name;
    std::string content;
    std::getline(std::ifstream(target.c_str()), content);
    EXPECT_EQ(content, "keep") << e.name;
  }
  // A link under the chosen name is refused, even once the user said Yes.
  const std::wstring victim = app_test::TempPath(L"victim.txt");
  { std::ofstream(victim.c_str()) << "keep"; }
  ::DeleteFileW(app_test::TempPath(L"linklog.txt").c_str());
  const bool linked = testing_support::MakeSymlink(victim, app_test::TempPath(L"linklog.txt"));
  if (linked) {
    env->chosenFile = app_test::TempPath(L"linklog");
    boxAnswer = IDYES;
    for (const auto& e : exports) {
      boxes.clear();
      e.save();
      ASSERT_EQ(boxes.size(), 2u) << e.name;
      EXPECT_NE(boxes[1].find(L"is a link"), std::wstring::npos) << e.name;
    }
    std::string kept;
    std::getline(std::ifstream(victim.c_str()), kept);
    EXPECT_EQ(kept, "keep");
    ::DeleteFileW(app_test::TempPath(L"linklog.txt").c_str());
    env->chosenFile = app_test::TempPath(L"cleanlog");
  }
  ::DeleteFileW(victim.c_str());
  boxAnswer = IDYES;
  form.aSaveText_ClearHistoryExecute();
  std::ifstream in(target.c_str());
  std::string l1, l2, l3, l4;
  std::getline(in, l1);
  std::getline(in, l2);
  std::getline(in, l3);
  std::getline(in, l4);
  EXPECT_EQ(l1, "This file was generated by Vantorel");
  EXPECT_EQ(l3, "");
  EXPECT_EQ(l4, "Test: line");
  ::DeleteFileW(target.c_str());
  if (!linked) GTEST_SKIP() << "the link under the chosen name was not tried: links can only be made under Wine";
}

}  // namespace

namespace {

TEST_F(CleanerPage, TheCountingPassMovesTheBarAndACancelSaysCancelled) {
  form.TickCleanCaption(L"Windows - Temporary Files");
  form.lMain.Add(L"an earlier line");
  calls.block = true;
  form.bCleanClick();
  ASSERT_TRUE(form.CleanThreadAlive());
  EXPECT_EQ(form.ProgressBar1.Caption(), L"Prepare to clean...");
  ASSERT_TRUE(PumpUntil([&] { return form.ProgressBar1.Position() > 0; }, 3000)) << "the counting pass shows it is at work";
  form.bTestClick();  // cancel
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  EXPECT_TRUE(form.ProgressBar1.ShowCaption());
  EXPECT_EQ(form.ProgressBar1.Caption(), L"Cancelled");
}

TEST_F(CleanerPage, TheThreadsQuestionsAreAskedOnTheWindowsThreadOverTheWindow) {
  struct Asked {
    HWND owner;
    DWORD thread;
  };
  std::vector<Asked> asked;
  answerHook = [&](HWND owner) {
    asked.push_back({owner, ::GetCurrentThreadId()});
    return IDNO;
  };
  routines.Register(L"Windows - Temporary Files", [](cleaner::TClearTaskThread& t) { t.AskUser(L"Empty C:\\ ?"); });
  form.TickCleanCaption(L"Windows - Temporary Files");
  form.bTestClick();
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].owner, form.Handle());
  EXPECT_EQ(asked[0].thread, ::GetCurrentThreadId());
}

TEST_F(CleanerPage, AtTheEndOfTheSessionNothingIsAskedAndEveryQuestionCountsAsNo) {
  core::OptionsSetting.ShutdownClean = true;
  form.TickCleanCaption(L"Windows - Temporary Files");
  form.TickCleanCaption(L"Mozilla Firefox");
  form.TickCleanCaption(L"Google Chrome");
  struct Case {
    bool firefox, chrome, askBeforeClear;
    int cleans;
  } cases[] = {{true, false, false, 0}, {false, true, false, 0}, {false, false, true, 0}, {false, false, false, 1}};
  for (const Case& c : cases) {
    calls.cleans = 0;
    firefoxRunning = c.firefox;
    chromeWindow = c.chrome;
    auto owned = std::make_unique<app::TfrmMain>();
    app::TfrmMain& f = *owned;
    ASSERT_TRUE(f.CreateMain({}));  // loads what the previous window saved
    core::OptionsSetting.ShutdownClean = true;
    core::OptionsSetting.IsAskBeforeClear = c.askBeforeClear;
    confirmAnswer = IDYES;
    f.SetCleanerEnvironment(std::make_shared<FakeEnvironment>(this));
    f.TickCleanCaption(L"Windows - Temporary Files");
    f.TickCleanCaption(L"Mozilla Firefox");
    f.TickCleanCaption(L"Google Chrome");
    EXPECT_EQ(f.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
    EXPECT_TRUE(boxes.empty()) << c.firefox << c.chrome << c.askBeforeClear;
    EXPECT_EQ(confirmations, 0);
    EXPECT_EQ(calls.cleans.load(), c.cleans) << c.firefox << c.chrome << c.askBeforeClear;
    EXPECT_FALSE(f.CleanThreadAlive());
    Pump(50);
    owned.reset();
  }
  core::OptionsSetting.ShutdownClean = false;
}

}  // namespace
