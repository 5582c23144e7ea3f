// The Registry page: the section tree, the problem list, the scan and its
// thread, the fix, and the list's commands. The main window owns the
// controls; the page works them under the names the window gives them.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/RegeditDriver.h"
#include "registry/ProblemRow.h"
#include "registry/ScanTaskThread.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"

namespace app {

class TfrmMain;

class TRegistryPage {
 public:
  explicit TRegistryPage(TfrmMain& form);
  TRegistryPage(const TRegistryPage&) = delete;
  TRegistryPage& operator=(const TRegistryPage&) = delete;

  // Makes the page's controls inside gbRegistry, and the problem list's menu.
  void CreateControls(HWND parent);
  void CreateMenu();

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
  void SetRegeditNavigator(std::shared_ptr<IRegeditNavigator> n) { regeditNavigator_ = std::move(n); }
  bool Scanning() const { return FScanThread != nullptr; }
  const std::vector<registry::TProblemRow>& ScanRows() const { return scanRows_; }
  int ScanStep() const { return FScanStep; }
  // Adds a row as the scanner does (tests use it to fill the list).
  void AddScanRow(const registry::TProblemRow& row);
  // "/Clear": the scan and the fix are done (or there was nothing to scan).
  bool SilentRunDone() const { return silentRegistryDone_; }

  // The thread's messages, as the window receives them.
  LRESULT WMScanSectionDone(LPARAM l);
  LRESULT WMScanFinished(LPARAM l);
  // Timer1's share: rows that arrived, and the cycling bar.
  void Timer1Step();
  // The window closes: the scan stops, and its thread is freed once ended.
  void FormClose();
  // Sizes the count line's panel to its whole text (it grows upward from the
  // buttons' row) and gives the section tree the room left above it.
  void ArrangeStatus();

 private:
  void ShowStatus(const std::wstring& text);
  void CancelScan();
  void DrainScan();
  void SetAllTicks(bool ticked);
  void SetTicksOfType(bool ticked);
  void SetSelectedTick(bool ticked);
  void DeleteScanRow(int index);
  void SilentRunStepDone();
  static bool IsDriveReady(const wchar_t* root);

  TfrmMain& form_;
  // The window's controls of this page.
  ui::GroupBox& gbRegistry;
  ui::Label& lScanTitle;
  ui::TreeView& tvRegistry;
  skin::TskProgressBar& ProgressBar2;
  ui::ListView& lvRegistryData;
  ui::Memo& Memo1;
  ui::Panel& pRegistryStatus;
  ui::Label& lStatusBar;
  skin::TskButton& bRestoreRegistry;
  skin::TskButton& bScan;
  skin::TskButton& bFixErrors;
  ui::PopupMenu& PopupMenu1;
  ui::Timer& Timer1;

  int FScanStep = 10;
  std::unique_ptr<registry::TScanTaskThread> FScanThread;
  std::shared_ptr<registry::TScanShared> scanShared_;
  std::vector<registry::TProblemRow> scanRows_;  // parallel to lvRegistryData
  UINT scanRunId_ = 0;
  int scanSectionsDone_ = 0;  // sections of the running scan reported done
  int scanSectionsTotal_ = 0;
  bool silentRegistryDone_ = false;
  std::shared_ptr<IRegeditNavigator> regeditNavigator_ = std::make_shared<RegeditDriver>();
};

}  // namespace app
