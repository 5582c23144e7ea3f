// The program's main window: the header strip, the navigation column, the
// Cleaner, Registry, Tools and Defrag pages, and what the window remembers.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/CleanerEnvironment.h"
#include "app/DefragPage.h"
#include "app/ToolsPage.h"
#include "cleaner/ListBoxLog.h"
#include "cleaner/ProgressThread.h"
#include "core/Options.h"
#include "registry/ProblemRow.h"
#include "registry/ScanTaskThread.h"
#include "registry/fix/FixRun.h"
#include "ui/FlatButton.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/Panels.h"
#include "ui/Picture.h"
#include "ui/ProgressBar.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"

namespace app {

struct TOptionsEnvironment;

// Other programs find the main window by this class name.
inline constexpr wchar_t kMainWindowClass[] = L"TVantorelMainWindow";

// The program's own window messages.
enum : UINT {
  WM_SHOWMAINWINDOW = 0x5405,
  WM_TRAYNOTIFY = 0x5406,
  WM_AUTORUN = 0x5407,
  WM_CLEANPROGRESS = 0x5408,
  WM_CLEANFINISHED = 0x5409,
  WM_STARTREALCLEAN = 0x5430,
  WM_CLEANFAILED = 0x540A,      // the clean thread ended on an error
  WM_CLEANTHREADENDED = 0x540B, // the clean thread has returned (lParam: run id)
  WM_SCANSECTIONDONE = 0x6413,
  WM_SCANFINISHED = 0x6414,
  WM_REGDEFRAG = 0x6426,
  WM_REGSCAN = 0x6427,
};

// Drives the registry editor to `root\key` and selects `value` when given.
void NavigateRegedit(const std::wstring& root, const std::wstring& key, const std::wstring& value);

class TfrmMain : public ui::Form, public core::IOptionsHost {
 public:
  TfrmMain();
  ~TfrmMain() override;

  // Creates the window and its components and runs FormCreate; `args` are
  // the command-line parameters after the program name.
  bool CreateMain(std::vector<std::wstring> args);
  // Lays out and shows the window (FormShow, then the activation steps).
  void ShowMain();

  // Tree walks through which the options store the trees' states.
  bool WalkCleanTree(ui::TreeNode node, int mode, const std::wstring& text);
  void WalkRegistryTree(ui::TreeNode node, int mode);
  void SyncTreeExpansion(bool save);

  void FlatButtonClick(ui::FlatButton& sender);
  void ArrangeControls();

  // core::IOptionsHost
  void UntickAllCleanNodes() override;
  void TickCleanCaptions(const std::vector<std::wstring>& captions) override;
  void TickCleanCaption(const std::wstring& caption) { TickCleanCaptions({caption}); }
  std::vector<std::wstring> TickedCleanCaptions() override;
  void StoreRegistryTicks(bool (&check)[26]) override;
  RECT WindowBounds() override;
  // Sets the rectangle (screen coordinates) of the normal state through the
  // window placement, keeping the window's present state.
  void ApplyWindowBounds(const RECT& screen);
  bool WindowShowCommand(UINT* showCmd) override;

  // Components, named as the program's other parts refer to them.
  ui::Picture imgTitle, Image1, iUpdate;
  ui::Label lTitle, lTitleHint, lUpdate, lDonate;
  ui::FlatButton bCleaner, bRegistry, bTools, bOptions, bRegistryDefrag, bHelp;
  ui::GroupBox gbCleaner, gbRegistry, gbTools, gbDefrag;
  // Cleaner page
  ui::Label Label1;
  ui::TreeView tvCleanItems;
  ui::ProgressBar ProgressBar1;
  ui::ListBox lMain;
  ui::CheckBox cbFastMode;
  ui::Button bTest, bClean;
  // Registry page
  ui::Label lScanTitle;
  ui::TreeView tvRegistry;
  ui::ProgressBar ProgressBar2;
  ui::ListView lvRegistryData;
  ui::Memo Memo1;
  ui::Panel pRegistryStatus;
  ui::Label lStatusBar;
  ui::Button bRestoreRegistry, bScan, bFixErrors;
  // Tools page
  ui::Button bStartup, bViewHistory, bBackupFullRegistry, bWindowsBackup;
  ui::ListView lvStartup;
  ui::Button bDeleteEntry, bSelectAll, bSelectNone;
  // Defrag page
  ui::ListView lvMain;
  ui::Button bAnalyzeRegistry, bDefragRegistry;
  ui::Label lCurrentRegistrySize_Title, lCurrentRegistrySize, lNewRegistrySize_Title, lNewRegistrySize,
      lSizeReduction_Title, lSizeReduction, lCompactPercent_Title, lCompactPercent;
  // Not shown
  ui::ListBox ListBox1, ListBox2;
  ui::Timer Timer1, Timer2;
  ui::PopupMenu PopupMenu1, PopupMenu_ClearHistory, pmHelp, pmSelf;

  // Cleaner page.
  void bTestClick();
  void bCleanClick();
  // Starts a run in `requestedMode` (0 real clean, 1 automatic, 2 test,
  // 3 clean with counting pass); the mode is committed only when a run starts.
  void StartCleaner(int requestedMode);
  void SetCleanerEnvironment(CleanerEnvironment env) { env_ = std::move(env); }
  bool IsFirefoxChecked() const;
  bool IsChromeChecked() const;
  void aSaveText_ClearHistoryExecute();
  int CleanMode() const { return FCleanMode; }
  int CleanTotal() const { return FCleanTotal; }
  bool CleanThreadAlive() const { return FClearThread != nullptr; }
  // Waits (serving the thread's synchronised calls) until the clean thread
  // has ended; false on timeout.
  bool WaitForCleanThread(DWORD timeoutMs);

  // Registry page.
  void bScanClick();
  void bFixErrorsClick();
  void FilterScanResults();
  void UpdateErrorCounts();
  void aSelectAllExecute() { SetAllTicks(true); }
  void aSelectNoneExecute() { SetAllTicks(false); }
  void aSaveTextExecute();
  void aOpenRegeditExecute();
  // Opens `path` in the registry editor through the navigator (a seam).
  void OpenKeyInRegedit(const std::wstring& path);
  using RegeditNavigator = std::function<void(const std::wstring& root, const std::wstring& key, const std::wstring& value)>;
  void SetRegeditNavigator(RegeditNavigator n) { regeditNavigator_ = std::move(n); }
  bool Scanning() const { return FScanThread != nullptr; }
  const std::vector<registry::TProblemRow>& ScanRows() const { return scanRows_; }
  int ScanStep() const { return FScanStep; }
  // Adds a row as the scanner does (tests use it to fill the list).
  void AddScanRow(const registry::TProblemRow& row);

  // Options dialog; tests give it its own files and folders.
  void bOptionsClick();
  void SetOptionsEnvironment(std::function<TOptionsEnvironment()> env) { optionsEnv_ = std::move(env); }

  // Boss key and timers.
  void RegisterBossKey();
  void UnregisterBossKey();
  void Timer1Timer();
  void Timer2Timer();

  // State the other parts read.
  bool Cleaning() const { return FCleaning; }
  bool SilentClear() const { return FSilentClear; }
  // The process exit code of a "/Clear" run: 0 all done, 1 some entries or
  // rows failed or were refused, 2 the run could not start or back up.
  int ExitCode() const { return exitCode_; }
  bool CommandLineRun() const { return FCommandLineRun; }
  BYTE WindowsVersion() const { return FWindowsVersion; }
  bool TrayIconShown() const { return trayIconShown_; }
  TDefragPage& DefragPage() { return *defragPage_; }
  TToolsPage& ToolsPage() { return *toolsPage_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  bool OnCloseQuery() override;

 private:
  void CreateComponents();
  void CreateHeader();
  void CreateNavigation();
  void CreateCleanerPage();
  void CreateRegistryPage();
  void CreateToolsPage();
  void CreateDefragPage();
  void CreateMenus();
  void BuildCleanTree();
  void BuildRegistryTree();
  void BindMessages();

  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  LRESULT WMQueryEndSession();

  void LoadInstalledApplications();
  void tvCleanItemsMouseDown(UINT button, POINT pt);
  void tvRegistryMouseDown(UINT button, POINT pt);
  void SetParentFromChildren(ui::TreeView& tree, ui::TreeNode parent);

  // Cleaner page messages and steps.
  LRESULT WMAutoRun();
  LRESULT WMCleanProgress(WPARAM w, LPARAM l);
  LRESULT WMCleanFinished(WPARAM w, LPARAM l);
  LRESULT WMCleanFailed(WPARAM w, LPARAM l);
  LRESULT WMCleanThreadEnded(WPARAM w, LPARAM l);
  LRESULT WMStartRealClean(LPARAM l);
  bool AskBeforeRun(int mode);
  void LaunchCleanThread(int mode);
  void EndCountingPassLook();
  void StopCleanerTimer();
  void SetCleanIdle();
  void CancelClean();
  void AfterSilentClean();
  bool CurrentRun(LPARAM runId) const { return static_cast<UINT>(runId) == runId_ && !cancelled_; }
  LRESULT WMHotKey(WPARAM w);
  LRESULT WMScanSectionDone(LPARAM l);
  LRESULT WMScanFinished(LPARAM l);
  void CancelScan();
  void DrainScan();
  void SetAllTicks(bool ticked);
  void SetTicksOfType(bool ticked);
  void SetSelectedTick(bool ticked);
  void DeleteScanRow(int index);
  void SilentRunStepDone();
  static bool IsDriveReady(const wchar_t* root);
  void ShowHiddenBrowsers();

  // Tray icon (minimise to tray, restore).
  void SetTrayIcon(bool add);
  void RestoreFromTray();
  LRESULT WMSysCommand(WPARAM w, LPARAM l);
  LRESULT WMTrayNotify(WPARAM w, LPARAM l);

  // Fields, as the other parts of the window use them.
  std::unique_ptr<std::vector<std::wstring>> FSelectedItems;
  ATOM FHotkeyAtom = 0;
  bool FBrowsersHidden = false;
  bool FSilentClear = false;
  LONG_PTR FAppExStyle = 0;
  int FCleanStep = 0;
  COLORREF FSavedLogColor = 0;
  bool FSavedFastScan = false;
  BYTE FWindowsVersion = 0;
  int FScanStep = 0;
  std::wstring FBackupFile;
  int FCleanMode = 0;
  bool FCleaning = false;
  int FCleanTotal = 0;
  bool FCommandLineRun = false;
  bool FIsWow64 = false;

  std::unique_ptr<cleaner::TClearTaskThread> FClearThread;
  std::shared_ptr<cleaner::ListBoxLog> cleanLog_;
  CleanerEnvironment env_ = CleanerEnvironment::Real();
  UINT runId_ = 0;
  bool cancelled_ = false;
  bool inStartCleaner_ = false;
  bool sessionEnding_ = false;  // inside WM_QUERYENDSESSION: nobody is asked anything
  bool countingPass_ = false;
  std::vector<HWND> hiddenBrowsers_;
  std::unique_ptr<registry::TScanTaskThread> FScanThread;
  std::shared_ptr<registry::TScanShared> scanShared_;
  std::vector<registry::TProblemRow> scanRows_;  // parallel to lvRegistryData
  UINT scanRunId_ = 0;
  int scanSectionsDone_ = 0;   // sections of the running scan reported done
  int scanSectionsTotal_ = 0;
  bool silentRegistryDone_ = false;
  int exitCode_ = 0;
  std::vector<std::wstring> unattendedLog_;  // the fix's lines of a "/Clear" run
  void NoteUnattendedOutcome(int code) { exitCode_ = code > exitCode_ ? code : exitCode_; }
  void ReportFix(const std::vector<registry::TFixRow>& rows, const registry::TFixRunResult& r);
  void WriteUnattendedLog();
  bool DeclineUnattended(const std::wstring& why);  // logs why a "/Clear" run skipped its clean; false
  RegeditNavigator regeditNavigator_ = &NavigateRegedit;
  std::function<TOptionsEnvironment()> optionsEnv_;
  std::unique_ptr<TDefragPage> defragPage_;
  std::unique_ptr<TToolsPage> toolsPage_;

  std::vector<std::wstring> args_;
  std::vector<std::wstring> ignoreValues_, ignoreKeys_;
  bool activated_ = false;
  bool closed_ = false;
  bool trayIconShown_ = false;
};

// How far the work area's corner lies from the screen's on the window's
// monitor: the offset between placement and screen coordinates.
POINT WorkAreaOffset(HWND window);

// The first command-line parameter, or empty.
std::wstring FirstParam(const std::vector<std::wstring>& args);

}  // namespace app
