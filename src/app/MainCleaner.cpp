// The cleaner page: collecting the ticked items, the questions before a run,
// the two-pass clean, progress, cancel and the log export.
#include <algorithm>

#include "app/Main.h"
#include "ui/MessageBox.h"
#include "ui/Thread.h"

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
  WindowAsker(HWND owner, const bool* sessionEnding) : owner_(owner), sessionEnding_(sessionEnding) {}
  bool AskYesNo(const std::wstring& text) override {
    bool yes = false;
    ui::sync::Run([&] {
      if (!*sessionEnding_) yes = ui::ShowMessage(owner_, text, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) == IDYES;
    });
    return yes;
  }

 private:
  HWND owner_;
  const bool* sessionEnding_;  // the window's flag; the window outlives its clean thread
};

cleaner::CleanMode ThreadMode(int mode) {
  switch (mode) {
    case 0: return cleaner::CleanMode::RealClean;
    case 1: return cleaner::CleanMode::AutoClean;
    default: return cleaner::CleanMode::Test;
  }
}

}  // namespace

void TfrmMain::bTestClick() {
  if (bTest.Text() == L"Cancel") {
    CancelClean();
    return;
  }
  StartCleaner(2);
}

void TfrmMain::bCleanClick() {
  if (FCleaning) return;  // a click during a run must not reset the counting total
  FCleanTotal = 0;
  StartCleaner(3);
}

bool TfrmMain::IsFirefoxChecked() const {
  for (ui::TreeNode n = tvCleanItems.First(); n != nullptr; n = tvCleanItems.NextSibling(n))
    if (tvCleanItems.NodeText(n) == L"Mozilla Firefox") return tvCleanItems.StateIndex(n) == 2;
  return false;
}

bool TfrmMain::IsChromeChecked() const {
  for (ui::TreeNode n = tvCleanItems.First(); n != nullptr; n = tvCleanItems.NextSibling(n))
    if (tvCleanItems.NodeText(n) == L"Google Chrome") return tvCleanItems.StateIndex(n) == 2;
  return false;
}

void TfrmMain::StartCleaner(int requestedMode) {
  // Its own question boxes run a message loop; a timer or a second click
  // arriving meanwhile must not start a second run.
  if (inStartCleaner_) return;
  inStartCleaner_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{inStartCleaner_};

  if (!FSelectedItems) FSelectedItems = std::make_unique<std::vector<std::wstring>>();
  FSelectedItems->clear();
  WalkCleanTree(tvCleanItems.First(), -1, L"");
  if (FSelectedItems->empty()) {
    if (requestedMode != 1) ui::ShowNotice(hwnd_, L"Please select the sections which you want to scan from the left list.");
    if (FSilentClear && !FCleaning) AfterSilentClean();
    return;
  }
  if (FCleaning || FClearThread) return;
  if (requestedMode != 0 && !AskBeforeRun(requestedMode)) {
    if (FSilentClear) AfterSilentClean();
    return;
  }
  LaunchCleanThread(requestedMode);
}

bool TfrmMain::AskBeforeRun(int mode) {
  // While Windows is ending nobody may be asked: each question counts as No.
  const bool unattended = sessionEnding_;
  if (mode != 2 && IsFirefoxChecked() && env_.isProcessRunning(L"firefox.exe")) {
    if (FSilentClear) return DeclineUnattended(L"Mozilla Firefox is running: nothing was cleaned.");
    if (!unattended) ui::ShowNotice(hwnd_, L"Please close Mozilla Firefox first!");
    return false;
  }
  if (mode != 2 && IsChromeChecked() && env_.windowClassExists(L"Chrome_WidgetWin_1")) {
    // Nobody can answer in a "/Clear" run or while Windows ends: the answer is No.
    if (FSilentClear) return DeclineUnattended(L"Google Chrome is running: nothing was cleaned.");
    if (unattended ||
        !ui::AskYesNo(hwnd_, L"Please close Google Chrome first, otherwise some history will not be deleted. Continue?"))
      return false;
  }
  if (core::OptionsSetting.IsAskBeforeClear && mode != 2 && !FSilentClear) {
    if (unattended) return false;
    FCleaning = true;  // nothing else may start while the question is open
    bool yes = env_.askBeforeClean(hwnd_) == IDYES;
    FCleaning = false;
    if (!yes) return false;
  }
  return true;
}

bool TfrmMain::DeclineUnattended(const std::wstring& why) {
  unattendedLog_.push_back(why);
  NoteUnattendedOutcome(1);
  return false;
}

void TfrmMain::LaunchCleanThread(int mode) {
  FCleaning = true;
  cancelled_ = false;
  bTest.SetText(L"Cancel");
  bTest.Enable(true);
  ProgressBar1.Show(true);
  countingPass_ = mode == 3;
  if (countingPass_) {
    // The counting pass runs as an invisible test with fast logging.
    FSavedLogColor = lMain.TextColor();
    lMain.SetTextColor(lMain.BackColor());
    ProgressBar1.SetPosition(0);
    ProgressBar1.SetCaption(kPrepare);
    ProgressBar1.SetShowCaption(true);
    FSavedFastScan = core::OptionsSetting.FastScan;
    core::OptionsSetting.FastScan = true;
    mode = 2;
  } else {
    ProgressBar1.SetPosition(0);
    ProgressBar1.SetCaption(L"");
    ProgressBar1.SetShowCaption(mode == 0);
  }
  FCleanMode = mode;  // committed now that the run really starts
  if (cleanLog_) cleanLog_->Flush();
  lMain.Clear();
  if (!cleanLog_) cleanLog_ = std::make_shared<cleaner::ListBoxLog>(lMain.Handle());

  cleaner::CleanServices services;
  services.log = cleanLog_;
  services.poster = std::make_shared<RunPoster>(hwnd_, ++runId_);
  services.asker = std::make_shared<WindowAsker>(hwnd_, &sessionEnding_);
  env_.completeServices(services);
  auto thread = std::make_unique<cleaner::TClearTaskThread>(ThreadMode(mode), cleaner::CleanSettingsFromOptions(), services);
  thread->FMainHandle = hwnd_;
  thread->FProgressBar = ProgressBar1.Handle();
  thread->FItems = *FSelectedItems;
  thread->FExpectedTotal = FCleanTotal;
  HWND self = hwnd_;
  UINT run = runId_;
  thread->SetOnTerminate([self, run] { ::PostMessageW(self, WM_CLEANTHREADENDED, 0, run); });
  FClearThread = std::move(thread);
  if (!FClearThread->Start()) {
    FClearThread.reset();
    SetCleanIdle();
    if (FSilentClear) NoteUnattendedOutcome(2);
    return;
  }
  FCleanStep = mode == 2 ? 50 : 20;
  // A visible test cycles the bar; so does the counting pass, whose log is
  // hidden, so that the page shows it is at work.
  if (mode == 2) Timer1.SetEnabled(true);
}

void TfrmMain::StopCleanerTimer() {
  // Timer1 also moves the scan bar: a running scan keeps it.
  Timer1.SetEnabled(FScanThread != nullptr);
}

void TfrmMain::EndCountingPassLook() {
  if (!countingPass_) return;
  countingPass_ = false;
  StopCleanerTimer();
  lMain.SetTextColor(FSavedLogColor);
  core::OptionsSetting.FastScan = FSavedFastScan;
}

void TfrmMain::SetCleanIdle() {
  bTest.SetText(L"Test");
  bTest.Enable(true);
  StopCleanerTimer();
  FCleaning = false;
}

void TfrmMain::CancelClean() {
  if (!FClearThread) {
    SetCleanIdle();
    return;
  }
  // The page stays busy until the thread has really ended (WM_CLEANTHREADENDED).
  cancelled_ = true;
  FClearThread->Terminate();
  bTest.Enable(false);
  StopCleanerTimer();
  // The bar must not look like a finished run, nor like one still counting.
  ProgressBar1.SetCaption(kCancelled);
  ProgressBar1.SetShowCaption(true);
}

bool TfrmMain::WaitForCleanThread(DWORD timeoutMs) {
  if (!FClearThread) return true;
  if (!FClearThread->WaitFor(timeoutMs)) return false;
  if (cleanLog_) cleanLog_->Flush();
  if (FSilentClear && FClearThread->FTotalFailed > 0) NoteUnattendedOutcome(1);
  FClearThread.reset();
  return true;
}

LRESULT TfrmMain::WMCleanProgress(WPARAM w, LPARAM l) {
  if (!CurrentRun(l) || FCleanMode != 0 || FCleanTotal == 0) return 0;
  long long pos = static_cast<long long>(w) * 1000 / FCleanTotal;
  ProgressBar1.SetPosition(static_cast<int>(std::min<long long>(std::max<long long>(pos, 0), 1000)));
  return 0;
}

LRESULT TfrmMain::WMCleanFinished(WPARAM w, LPARAM l) {
  if (!CurrentRun(l)) return 0;
  if (cleanLog_) cleanLog_->Flush();
  if (ProgressBar1.ShowCaption() && ProgressBar1.Caption() == kPrepare) {
    FCleanTotal = static_cast<int>(w);
    lMain.Clear();
    Post(WM_STARTREALCLEAN, 0, l);
    return 0;
  }
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

LRESULT TfrmMain::WMCleanFailed(WPARAM, LPARAM l) {
  if (!CurrentRun(l)) return 0;
  // The thread ended on an error: the page leaves its running state.
  if (FSilentClear) NoteUnattendedOutcome(1);
  EndCountingPassLook();
  SetCleanIdle();
  return 0;
}

LRESULT TfrmMain::WMStartRealClean(LPARAM l) {
  // Only the counting pass of the current run leads to a real clean.
  if (!CurrentRun(l) || !countingPass_) return 0;
  EndCountingPassLook();
  WaitForCleanThread(10000);
  FCleaning = false;
  StartCleaner(0);
  return 0;
}

LRESULT TfrmMain::WMCleanThreadEnded(WPARAM, LPARAM l) {
  if (static_cast<UINT>(l) != runId_) return 0;
  bool endedByCancel = cancelled_;
  WaitForCleanThread(10000);
  if (endedByCancel) {
    EndCountingPassLook();
    SetCleanIdle();
  }
  if (FSilentClear && !FCleaning && FCleanMode != 2) AfterSilentClean();
  return 0;
}

LRESULT TfrmMain::WMAutoRun() {
  ::ShowWindow(hwnd_, SW_HIDE);
  StartCleaner(1);
  bScanClick();
  return 0;
}

void TfrmMain::AfterSilentClean() {
  // "/Clear": clean, and scan and fix the registry; the window closes only
  // once the clean thread has ended and the fix is done.
  if (FClearThread || FCleaning || !silentRegistryDone_) return;
  WriteUnattendedLog();
  Close();
}

void TfrmMain::aSaveText_ClearHistoryExecute() {
  if (cleanLog_) cleanLog_->Flush();
  if (lMain.Count() == 0) return;
  std::wstring chosen = env_.chooseSaveFile(hwnd_);
  if (chosen.empty()) return;
  std::wstring path = LogExportFileName(chosen);
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !ui::AskYesNo(hwnd_, path + L" has existed,overite it?"))
    return;
  if (!WriteLogExport(path, lMain.Items())) ui::ShowError(hwnd_, L"Unable to write to " + path);
}

}  // namespace app
