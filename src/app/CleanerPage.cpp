// The cleaner page: collecting the ticked items, the questions before a run,
// the two-pass clean, progress, cancel and the log export.
#include "app/CleanerPage.h"

#include <algorithm>

#include "app/Main.h"
#include "core/Options.h"
#include "ui/MessageBox.h"
#include "sys/Thread.h"

namespace app {
namespace {

const wchar_t kPrepare[] = L"Prepare to clean...";
const wchar_t kFinished[] = L"Finished!";
const wchar_t kCancelled[] = L"Cancelled";

// Tags every message of a run with its id, so that a late message of an
// earlier run is recognised and ignored.
class RunPoster : public cleaner::IMessagePoster {
 public:
  RunPoster(HWND window, UINT runId) : window_(window), runId_(runId) {}
  void Post(UINT msg, WPARAM wParam, LPARAM) override { ::PostMessageW(window_, msg, wParam, runId_); }

 private:
  HWND window_;
  UINT runId_;
};

// The clean thread's questions, asked on the GUI thread in a box owned by the
// main window, so that it cannot hide behind the window while the run waits.
// While Windows is ending nobody is asked: the answer is No.
class WindowAsker : public cleaner::IQuestionAsker {
 public:
  WindowAsker(HWND owner, const bool* sessionEnding, const TfrmMain* form)
      : owner_(owner), sessionEnding_(sessionEnding), form_(form) {}
  bool AskYesNo(const std::wstring& text, UINT icon) override {
    bool yes = false;
    sys::sync::Run([&] {
      if (!*sessionEnding_) yes = ui::ShowMessage(owner_, text, MB_YESNO | icon | MB_DEFBUTTON2) == IDYES;
    });
    return yes;
  }
  void Tell(const std::wstring& text) override {
    sys::sync::Run([&] {
      if (!*sessionEnding_) ui::ShowMessage(owner_, text, MB_OK);
    });
  }
  void AnsweredUnasked(const std::wstring& line) override { form_->LogUnattendedAnswer(line); }

 private:
  HWND owner_;
  const bool* sessionEnding_;  // the window's flag; the window outlives its clean thread
  const TfrmMain* form_;
};

cleaner::CleanMode ThreadMode(int mode) {
  switch (mode) {
    case 0: return cleaner::CleanMode::RealClean;
    case 1: return cleaner::CleanMode::AutoClean;
    default: return cleaner::CleanMode::Test;
  }
}

}  // namespace

TCleanerPage::TCleanerPage(TfrmMain& form)
    : form_(form),
      gbCleaner(form.gbCleaner),
      Label1(form.Label1),
      tvCleanItems(form.tvCleanItems),
      ProgressBar1(form.ProgressBar1),
      lMain(form.lMain),
      cbFastMode(form.cbFastMode),
      bTest(form.bTest),
      bClean(form.bClean),
      PopupMenu_ClearHistory(form.PopupMenu_ClearHistory),
      Timer1(form.Timer1) {}

void TCleanerPage::CreateControls(HWND parent) {
  gbCleaner.Create(parent, L"Progress", 85, 55, 606, 395);
  gbCleaner.Tag = 17;
  HWND p = gbCleaner.Handle();
  Label1.Create(p, L"Cleaner Settings", 10, 18);
  tvCleanItems.Create(p, 10, 36, 200, 340);
  ProgressBar1.Create(p, 218, 14, 378, 18, 1000);
  ProgressBar1.Show(false);
  lMain.Create(p, 218, 36, 378, 300);
  cbFastMode.Create(p, L"Fast Mode", 218, 350, 100, 17);
  bTest.Create(p, L"Test", 420, 348, 75, 25);
  bClean.Create(p, L"Clean", 515, 348, 75, 25);
  cbFastMode.OnClick = [this] { core::OptionsSetting.FastScan = cbFastMode.Checked(); };
  bTest.OnClick = [this] { bTestClick(); };
  bClean.OnClick = [this] { bCleanClick(); };
}

void TCleanerPage::CreateMenu() {
  PopupMenu_ClearHistory.Add(L"S&ave to text file", [this] { aSaveText_ClearHistoryExecute(); },
                             [this] { return lMain.Count() > 0; });
  // From the keyboard the log's menu opens below its current row.
  PopupMenu_ClearHistory.AttachTo(lMain, form_.Handle(), [this] {
    int row = static_cast<int>(lMain.Send(LB_GETCARETINDEX));
    RECT r{};
    bool onRow = row >= 0 && lMain.Send(LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) != LB_ERR;
    return ui::KeyboardMenuPoint(lMain.Handle(), onRow ? &r : nullptr);
  });
}

void TCleanerPage::bTestClick() {
  if (run_.Active()) {
    CancelClean();
    return;
  }
  StartCleaner(crTest);
}

void TCleanerPage::bCleanClick() {
  if (Cleaning()) return;  // a click during a run must not reset the counting total
  run_.SetTotal(0);
  StartCleaner(crCountThenClean);
}

bool TCleanerPage::IsFirefoxChecked() const {
  for (ui::TreeNode n = tvCleanItems.First(); n != nullptr; n = tvCleanItems.NextSibling(n))
    if (tvCleanItems.NodeText(n) == L"Mozilla Firefox") return tvCleanItems.StateIndex(n) == 2;
  return false;
}

bool TCleanerPage::IsChromeChecked() const {
  for (ui::TreeNode n = tvCleanItems.First(); n != nullptr; n = tvCleanItems.NextSibling(n))
    if (tvCleanItems.NodeText(n) == L"Google Chrome") return tvCleanItems.StateIndex(n) == 2;
  return false;
}

void TCleanerPage::StartCleaner(int requestedMode) {
  // Its own question boxes run a message loop; a timer or a second click
  // arriving meanwhile must not start a second run.
  if (inStartCleaner_) return;
  inStartCleaner_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{inStartCleaner_};

  if (!form_.FSelectedItems) form_.FSelectedItems = std::make_unique<std::vector<std::wstring>>();
  form_.FSelectedItems->clear();
  form_.WalkCleanTree(tvCleanItems.First(), -1, L"");
  if (form_.FSelectedItems->empty()) {
    if (requestedMode != 1)
      ui::ShowNotice(form_.Handle(), L"Please select the sections which you want to scan from the left list.");
    if (form_.FSilentClear && !Cleaning()) form_.AfterSilentClean();
    return;
  }
  if (Cleaning() || FClearThread) return;
  if (requestedMode != 0 && !AskBeforeRun(requestedMode)) {
    if (form_.FSilentClear) form_.AfterSilentClean();
    return;
  }
  LaunchCleanThread(requestedMode);
}

bool TCleanerPage::AskBeforeRun(int mode) {
  // While Windows is ending nobody may be asked: each question counts as No.
  const bool unattended = form_.sessionEnding_;
  if (mode != 2 && IsFirefoxChecked() && env_->IsProcessRunning(L"firefox.exe")) {
    if (form_.FSilentClear) return form_.DeclineUnattended(L"Mozilla Firefox is running: nothing was cleaned.");
    if (!unattended) ui::ShowNotice(form_.Handle(), L"Please close Mozilla Firefox first!");
    return false;
  }
  if (mode != 2 && IsChromeChecked() && env_->WindowClassExists(L"Chrome_WidgetWin_1")) {
    // Nobody can answer in a "/Clear" run or while Windows ends: the answer is No.
    if (form_.FSilentClear) return form_.DeclineUnattended(L"Google Chrome is running: nothing was cleaned.");
    if (unattended ||
        !ui::AskYesNo(form_.Handle(), L"Please close Google Chrome first, otherwise some history will not be deleted. Continue?"))
      return false;
  }
  if (core::OptionsSetting.IsAskBeforeClear && mode != 2 && !form_.FSilentClear) {
    if (unattended) return false;
    asking_ = true;  // nothing else may start while the question is open
    bool yes = env_->AskBeforeClean(form_.Handle()) == IDYES;
    asking_ = false;
    if (!yes) return false;
  }
  return true;
}

void TCleanerPage::LaunchCleanThread(int mode) {
  // The mode is committed now that the run really starts.
  const UINT runId = run_.Begin(static_cast<TCleanRequest>(mode), core::OptionsSetting.FastScan);
  bTest.SetText(L"Cancel");
  bTest.Enable(true);
  ProgressBar1.Show(true);
  ProgressBar1.SetPosition(0);
  if (run_.State() == TCleanState::Counting) {
    // The counting pass runs as an invisible test with fast logging.
    FSavedLogColor = lMain.TextColor();
    lMain.SetTextColor(lMain.BackColor());
    logHidden_ = true;
    ProgressBar1.SetCaption(kPrepare);
    ProgressBar1.SetShowCaption(true);
  } else {
    // The position set above wrote the percentage; only a real clean shows it.
    ProgressBar1.SetShowCaption(run_.Mode() == 0);
  }
  mode = run_.Mode();
  if (cleanLog_) cleanLog_->Flush();
  lMain.Clear();
  if (!cleanLog_) cleanLog_ = std::make_shared<cleaner::ListBoxLog>(lMain.Handle());

  cleaner::CleanServices services;
  services.log = cleanLog_;
  services.poster = std::make_shared<RunPoster>(form_.Handle(), runId);
  services.asker = std::make_shared<WindowAsker>(form_.Handle(), &form_.sessionEnding_, &form_);
  env_->CompleteServices(services);
  cleaner::CleanSettings settings = cleaner::CleanSettingsFromOptions();
  settings.FastScan = run_.FastScan();
  auto thread = std::make_unique<cleaner::TClearTaskThread>(ThreadMode(mode), settings, services);
  thread->FMainHandle = form_.Handle();
  thread->FItems = *form_.FSelectedItems;
  thread->FExpectedTotal = run_.Total();
  HWND self = form_.Handle();
  thread->SetOnTerminate([self, runId] { ::PostMessageW(self, WM_CLEANTHREADENDED, 0, runId); });
  FClearThread = std::move(thread);
  if (!FClearThread->Start()) {
    FClearThread.reset();
    SetCleanIdle();
    if (form_.FSilentClear) form_.NoteUnattendedOutcome(2);
    return;
  }
  FCleanStep = mode == 2 ? 50 : 20;
  // A visible test cycles the bar; so does the counting pass, whose log is
  // hidden, so that the page shows it is at work.
  if (run_.Mode() == 2) Timer1.SetEnabled(true);
}

void TCleanerPage::StopCleanerTimer() {
  // Timer1 also moves the scan bar: a running scan keeps it.
  Timer1.SetEnabled(form_.Registry.Scanning());
}

void TCleanerPage::EndCountingPassLook() {
  if (!logHidden_) return;
  logHidden_ = false;
  StopCleanerTimer();
  lMain.SetTextColor(FSavedLogColor);
}

void TCleanerPage::SetCleanIdle() {
  bTest.SetText(L"Test");
  bTest.Enable(true);
  StopCleanerTimer();
  if (run_.Active()) run_.End();
}

void TCleanerPage::CancelClean() {
  if (!FClearThread) {
    SetCleanIdle();
    return;
  }
  // The page stays busy until the thread has really ended (WM_CLEANTHREADENDED).
  run_.Cancel();
  FClearThread->Terminate();
  bTest.Enable(false);
  StopCleanerTimer();
  // The bar must not look like a finished run, nor like one still counting.
  ProgressBar1.SetCaption(kCancelled);
  ProgressBar1.SetShowCaption(true);
}

bool TCleanerPage::WaitForCleanThread(DWORD timeoutMs) {
  if (!FClearThread) return true;
  if (!FClearThread->WaitFor(timeoutMs)) return false;
  if (cleanLog_) cleanLog_->Flush();
  if (form_.FSilentClear && FClearThread->FTotalFailed > 0) form_.NoteUnattendedOutcome(1);
  FClearThread.reset();
  return true;
}

LRESULT TCleanerPage::WMCleanProgress(WPARAM w, LPARAM l) {
  if (!run_.IsCurrent(l) || run_.Mode() != 0 || run_.Total() == 0) return 0;
  long long pos = static_cast<long long>(w) * 1000 / run_.Total();
  ProgressBar1.SetPosition(static_cast<int>(std::min<long long>(std::max<long long>(pos, 0), 1000)));
  return 0;
}

LRESULT TCleanerPage::WMCleanFinished(WPARAM w, LPARAM l) {
  if (!run_.IsCurrent(l)) return 0;
  if (cleanLog_) cleanLog_->Flush();
  if (run_.State() == TCleanState::Counting) {
    run_.SetTotal(static_cast<int>(w));
    lMain.Clear();
    form_.Post(WM_STARTREALCLEAN, 0, l);
    return 0;
  }
  run_.Finish();
  SetCleanIdle();
  // Wide enough to scroll to the longest line.
  int widest = 0;
  HDC dc = ::GetDC(lMain.Handle());
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(lMain.Send(WM_GETFONT)));
  for (const std::wstring& line : lMain.Items()) {
    SIZE sz{};
    ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &sz);
    widest = std::max<int>(widest, sz.cx);
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(lMain.Handle(), dc);
  lMain.Post(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 10));
  lMain.Send(WM_VSCROLL, SB_BOTTOM);
  ProgressBar1.SetPosition(1000);
  ProgressBar1.SetCaption(kFinished);
  ProgressBar1.SetShowCaption(true);
  ProgressBar1.Show(true);
  return 0;
}

LRESULT TCleanerPage::WMCleanFailed(WPARAM, LPARAM l) {
  if (!run_.IsCurrent(l)) return 0;
  // The thread ended on an error: the page leaves its running state.
  if (form_.FSilentClear) form_.NoteUnattendedOutcome(1);
  EndCountingPassLook();
  SetCleanIdle();
  return 0;
}

LRESULT TCleanerPage::WMStartRealClean(LPARAM l) {
  // Only the counting pass of the current run leads to a real clean.
  if (!run_.IsCurrent(l) || run_.State() != TCleanState::Counting) return 0;
  EndCountingPassLook();
  WaitForCleanThread(10000);
  run_.End();
  StartCleaner(crRealClean);
  return 0;
}

LRESULT TCleanerPage::WMCleanThreadEnded(WPARAM, LPARAM l) {
  if (!run_.IsLatest(l)) return 0;
  bool endedByCancel = run_.State() == TCleanState::Cancelling;
  WaitForCleanThread(10000);
  if (endedByCancel) {
    EndCountingPassLook();
    SetCleanIdle();
  }
  if (form_.FSilentClear && !Cleaning() && run_.Mode() != 2) form_.AfterSilentClean();
  return 0;
}

void TCleanerPage::aSaveText_ClearHistoryExecute() {
  if (cleanLog_) cleanLog_->Flush();
  if (lMain.Count() == 0) return;
  std::wstring chosen = env_->ChooseSaveFile(form_.Handle());
  if (chosen.empty()) return;
  std::wstring path = LogExportFileName(chosen);
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !ui::AskYesNo(form_.Handle(), path + L" has existed,overite it?"))
    return;
  std::wstring why;
  if (!WriteLogExport(path, lMain.Items(), &why)) ui::ShowError(form_.Handle(), why);
}

void TCleanerPage::Timer1Step() {
  if (!gbCleaner.Visible()) return;
  int pos = ProgressBar1.Position() + FCleanStep;
  ProgressBar1.SetPosition(pos >= 1000 ? 0 : pos);
  if (run_.Finished()) Timer1.SetEnabled(false);
}

void TCleanerPage::FlushLog() {
  if (cleanLog_) cleanLog_->Flush();
}

void TCleanerPage::FormClose() {
  if (FClearThread) {
    // Cancel, and wait (bounded) before anything the thread uses goes away.
    CancelClean();
    if (!WaitForCleanThread(15000)) FClearThread.release();  // still running: never free it under its feet
  }
  EndCountingPassLook();
  if (cleanLog_) cleanLog_->Detach();
}

}  // namespace app
