// The Cleaner page: the clean tree, the log, Test and Clean, and the clean
// run with its thread. The main window owns the controls; the page works
// them under the names the window gives them.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/CleanRun.h"
#include "app/CleanerEnvironment.h"
#include "cleaner/ListBoxLog.h"
#include "cleaner/ProgressThread.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "ui/Menu.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"

namespace app {

class TfrmMain;

class TCleanerPage {
 public:
  explicit TCleanerPage(TfrmMain& form);
  TCleanerPage(const TCleanerPage&) = delete;
  TCleanerPage& operator=(const TCleanerPage&) = delete;

  // Makes the page's controls inside gbCleaner.
  void CreateControls(HWND parent);
  void CreateMenu();

  void bTestClick();
  void bCleanClick();
  // Starts a run for `requestedMode` (a TCleanRequest); the mode is
  // committed only when a run starts.
  void StartCleaner(int requestedMode);
  void SetCleanerEnvironment(std::shared_ptr<ICleanerEnvironment> env) { env_ = std::move(env); }
  ICleanerEnvironment& Environment() { return *env_; }
  bool IsFirefoxChecked() const;
  bool IsChromeChecked() const;
  void aSaveText_ClearHistoryExecute();

  const TCleanRun& CleanRun() const { return run_; }
  // A run is going on, or the question before one is open.
  bool Cleaning() const { return run_.Active() || asking_; }
  bool CleanThreadAlive() const { return FClearThread != nullptr; }
  // A visible test or the counting pass: Timer1 cycles the bar.
  bool CyclesBar() const { return run_.Running() && run_.Mode() == 2 && FClearThread != nullptr; }
  // Waits (serving the thread's synchronised calls) until the clean thread
  // has ended; false on timeout.
  bool WaitForCleanThread(DWORD timeoutMs);

  // The thread's messages, as the window receives them.
  LRESULT WMCleanProgress(WPARAM w, LPARAM l);
  LRESULT WMCleanFinished(WPARAM w, LPARAM l);
  LRESULT WMCleanFailed(WPARAM w, LPARAM l);
  LRESULT WMCleanThreadEnded(WPARAM w, LPARAM l);
  LRESULT WMStartRealClean(LPARAM l);
  // Timer1's share: the cycling bar.
  void Timer1Step();
  // Moves the lines the thread logged into the list now.
  void FlushLog();
  // The window closes: cancel and wait (bounded) before anything the thread uses goes away.
  void FormClose();

 private:
  bool AskBeforeRun(int mode);
  void LaunchCleanThread(int mode);
  void EndCountingPassLook();
  void StopCleanerTimer();
  void SetCleanIdle();
  void CancelClean();

  TfrmMain& form_;
  // The window's controls of this page.
  ui::GroupBox& gbCleaner;
  ui::Label& Label1;
  ui::TreeView& tvCleanItems;
  skin::TskProgressBar& ProgressBar1;
  ui::ListBox& lMain;
  skin::TskCheckBox& cbFastMode;
  skin::TskButton& bTest;
  skin::TskButton& bClean;
  ui::PopupMenu& PopupMenu_ClearHistory;
  ui::Timer& Timer1;

  std::unique_ptr<cleaner::TClearTaskThread> FClearThread;
  std::shared_ptr<cleaner::ListBoxLog> cleanLog_;
  std::shared_ptr<ICleanerEnvironment> env_ = std::make_shared<SystemCleanerEnvironment>();
  TCleanRun run_;
  int FCleanStep = 0;
  COLORREF FSavedLogColor = 0;
  bool asking_ = false;     // the question before a run is open
  bool logHidden_ = false;  // the counting pass shows the log in the background colour
  bool inStartCleaner_ = false;
};

}  // namespace app
