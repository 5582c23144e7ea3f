// The program's main window: the header strip, the navigation column, the
// tray, the boss key, the timers and the options host. It owns the controls
// of every page; the Cleaner, Registry and Defrag pages (their own files)
// work them.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/CleanerPage.h"
#include "app/DefragPage.h"
#include "app/RegistryPage.h"
#include "app/ToolsPage.h"
#include "core/Options.h"
#include "core/WindowMessages.h"
#include "registry/fix/FixRun.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/FlatButton.h"
#include "skin/controls/URLLabel.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/Panels.h"
#include "ui/Picture.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"

namespace app {

struct TOptionsEnvironment;

// Other programs find the main window by this class name.
inline constexpr wchar_t kMainWindowClass[] = L"TVantorelMainWindow";

// The program's own window messages (numbers: core/WindowMessages.h).
using core::WM_AUTORUN;
using core::WM_CLEANFAILED;
using core::WM_CLEANFINISHED;
using core::WM_CLEANPROGRESS;
using core::WM_CLEANTHREADENDED;
using core::WM_REGDEFRAG;
using core::WM_REGSCAN;
using core::WM_SCANFINISHED;
using core::WM_SCANSECTIONDONE;
using core::WM_SHOWCUSTOMLIST;
using core::WM_SHOWMAINWINDOW;
using core::WM_STARTREALCLEAN;
using core::WM_TRAYNOTIFY;

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

  void FlatButtonClick(skin::TFlatButton& sender);
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
  ui::Label lTitle, lTitleHint;
  skin::TskURLLabel lUpdate, lDonate;
  // The labels that sit on the title picture.
  std::array<ui::Label*, 4> HeaderLabels() { return {&lTitle, &lTitleHint, &lUpdate, &lDonate}; }
  skin::TFlatButton bCleaner, bRegistry, bTools, bOptions, bRegistryDefrag, bHelp;
  ui::GroupBox gbCleaner, gbRegistry, gbTools, gbDefrag;
  // Cleaner page
  ui::Label Label1;
  ui::TreeView tvCleanItems;
  skin::TskProgressBar ProgressBar1;
  ui::ListBox lMain;
  skin::TskCheckBox cbFastMode;
  skin::TskButton bTest, bClean;
  // Registry page
  ui::Label lScanTitle;
  ui::TreeView tvRegistry;
  skin::TskProgressBar ProgressBar2;
  ui::ListView lvRegistryData;
  ui::Memo Memo1;
  ui::Panel pRegistryStatus;
  ui::Label lStatusBar;
  skin::TskButton bRestoreRegistry, bScan, bFixErrors;
  // Tools page
  skin::TskButton bStartup, bViewHistory, bBackupFullRegistry, bWindowsBackup;
  ui::ListView lvStartup;
  skin::TskButton bDeleteEntry, bSelectAll, bSelectNone;
  // Defrag page
  ui::ListView lvMain;
  skin::TskButton bAnalyzeRegistry, bDefragRegistry;
  ui::Label lCurrentRegistrySize_Title, lCurrentRegistrySize, lNewRegistrySize_Title, lNewRegistrySize,
      lSizeReduction_Title, lSizeReduction, lCompactPercent_Title, lCompactPercent;
  // Not shown
  ui::Timer Timer1, Timer2;
  ui::PopupMenu PopupMenu1, PopupMenu_ClearHistory, pmHelp, pmSelf;

  // The pages, which work the controls above.
  TCleanerPage Cleaner{*this};
  TRegistryPage Registry{*this};

  // Cleaner page.
  void bTestClick() { Cleaner.bTestClick(); }
  void bCleanClick() { Cleaner.bCleanClick(); }
  // Starts a run in `requestedMode` (0 real clean, 1 automatic, 2 test,
  // 3 clean with counting pass); the mode is committed only when a run starts.
  void StartCleaner(int requestedMode) { Cleaner.StartCleaner(requestedMode); }
  void SetCleanerEnvironment(std::shared_ptr<ICleanerEnvironment> env) { Cleaner.SetCleanerEnvironment(std::move(env)); }
  bool IsFirefoxChecked() const { return Cleaner.IsFirefoxChecked(); }
  bool IsChromeChecked() const { return Cleaner.IsChromeChecked(); }
  void aSaveText_ClearHistoryExecute() { Cleaner.aSaveText_ClearHistoryExecute(); }
  int CleanMode() const { return Cleaner.CleanRun().Mode(); }
  int CleanTotal() const { return Cleaner.CleanRun().Total(); }
  const TCleanRun& CleanRun() const { return Cleaner.CleanRun(); }
  bool CleanThreadAlive() const { return Cleaner.CleanThreadAlive(); }
  bool WaitForCleanThread(DWORD timeoutMs) { return Cleaner.WaitForCleanThread(timeoutMs); }
  bool Cleaning() const { return Cleaner.Cleaning(); }

  // Registry page.
  void bScanClick() { Registry.bScanClick(); }
  void bFixErrorsClick() { Registry.bFixErrorsClick(); }
  void FilterScanResults() { Registry.FilterScanResults(); }
  void UpdateErrorCounts() { Registry.UpdateErrorCounts(); }
  void aSelectAllExecute() { Registry.aSelectAllExecute(); }
  void aSelectNoneExecute() { Registry.aSelectNoneExecute(); }
  void aSaveTextExecute() { Registry.aSaveTextExecute(); }
  void aOpenRegeditExecute() { Registry.aOpenRegeditExecute(); }
  void OpenKeyInRegedit(const std::wstring& path) { Registry.OpenKeyInRegedit(path); }
  void SetRegeditNavigator(std::shared_ptr<IRegeditNavigator> n) { Registry.SetRegeditNavigator(std::move(n)); }
  bool Scanning() const { return Registry.Scanning(); }
  const std::vector<registry::TProblemRow>& ScanRows() const { return Registry.ScanRows(); }
  int ScanStep() const { return Registry.ScanStep(); }
  void AddScanRow(const registry::TProblemRow& row) { Registry.AddScanRow(row); }

  // Options dialog; tests give it its own files and folders.
  void bOptionsClick();
  void SetOptionsEnvironment(std::function<TOptionsEnvironment()> env) { optionsEnv_ = std::move(env); }

  // Boss key and timers.
  void RegisterBossKey();
  void UnregisterBossKey();
  void Timer1Timer();
  void Timer2Timer();

  // State the other parts read.
  bool SilentClear() const { return FSilentClear; }
  // A question an unattended clean answered itself; called from its thread.
  void LogUnattendedAnswer(const std::wstring& line) const;
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
  friend class TCleanerPage;
  friend class TRegistryPage;

  void CreateComponents();
  void CreateHeader();
  void CreateNavigation();
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
  void tvCleanItemsClick(UINT button, POINT pt);
  void tvRegistryMouseDown(UINT button, POINT pt);
  bool tvRegistryCollapsing(ui::TreeNode node);
  void SetParentFromChildren(ui::TreeView& tree, ui::TreeNode parent);

  // The automatic runs over both pages, and what an unattended one reports.
  LRESULT WMAutoRun();
  void AfterSilentClean();
  void NoteUnattendedOutcome(int code) { exitCode_ = code > exitCode_ ? code : exitCode_; }
  void ReportFix(const std::vector<registry::TFixRow>& rows, const registry::TFixRunResult& r);
  void WriteUnattendedLog();
  // "The options file ... was not read (...)": `outcome` says what follows.
  std::wstring OptionsNotRead(const std::wstring& outcome) const;
  // Saves the options before an unattended run's log is written: a refusal
  // goes into `lines` and the exit code, and nobody is asked anything.
  void SaveOptionsBeforeLog(std::vector<std::wstring>* lines);
  bool DeclineUnattended(const std::wstring& why);  // logs why a "/Clear" run skipped its clean; false
  // "/Regdefrag" and "/Regscan": the run, its log and exit code, then the close.
  LRESULT WMHiveToolRun(UINT msg);

  LRESULT WMHotKey(WPARAM w);
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
  BYTE FWindowsVersion = 0;
  bool FCommandLineRun = false;

  bool sessionEnding_ = false;  // inside WM_QUERYENDSESSION: nobody is asked anything
  std::vector<HWND> hiddenBrowsers_;
  int exitCode_ = 0;
  std::vector<std::wstring> unattendedLog_;  // the fix's lines of a "/Clear" run
  std::function<TOptionsEnvironment()> optionsEnv_;
  std::unique_ptr<TDefragPage> defragPage_;
  std::unique_ptr<TToolsPage> toolsPage_;

  std::vector<std::wstring> args_;
  std::vector<std::wstring> ignoreValues_, ignoreKeys_;
  bool activated_ = false;
  bool closed_ = false;
  bool optionsRead_ = true;    // options.ini was read (or missing), not refused or unreadable
  bool optionsSaved_ = false;  // saved before an unattended run's log; not again at the close
  bool trayIconShown_ = false;
};

// How far the work area's corner lies from the screen's on the window's
// monitor: the offset between placement and screen coordinates.
POINT WorkAreaOffset(HWND window);

// The first command-line parameter, or empty.
std::wstring FirstParam(const std::vector<std::wstring>& args);

}  // namespace app
