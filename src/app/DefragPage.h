// The Defrag page: the hive list, the analysis and its size table, the
// defragmentation, and the "/Regdefrag" and "/Regscan" runs. The main window
// owns the controls and hands them in.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/HiveProgressDialog.h"
#include "registry/defrag/DefragPlatform.h"
#include "registry/defrag/HiveList.h"
#include "registry/defrag/SizeTable.h"
#include "skin/controls/Buttons.h"
#include "ui/ListView.h"
#include "ui/StdControls.h"

namespace app {

class TDefragPage {
 public:
  struct Controls {
    ui::ListView& lvMain;
    skin::TskButton& bAnalyzeRegistry;
    skin::TskButton& bDefragRegistry;
    ui::Label& lCurrentRegistrySize;
    ui::Label& lNewRegistrySize;
    ui::Label& lSizeReduction;
    ui::Label& lCompactPercent;
  };

  TDefragPage(HWND owner, Controls controls);

  // What the main window knows of the run and the system.
  bool FCommandLineRun = false;
  bool FIsWow64 = false;
  BYTE FWindowsVersion = 0;

  // Reads the hive list and adds one empty row per hive.
  void LoadHiveList();
  void bAnalyzeRegistryClick();
  void bDefragRegistryClick();
  // "/Regdefrag": analysis, then the swap at the next start, no restart.
  void WMAutoDefrag();
  // "/Regscan": analysis, result to the "Scan Result" section of `iniName`
  // (relative names are taken from the current folder; empty: nothing written).
  void WMAutoDefragScan(const std::wstring& iniName);
  // Deletes the copies left by analyses, never those due at the next start.
  void FormClose();

  // What a command-line run did, for its log: every message the page would
  // have shown, and the exit code (0 all done, 1 some hive failed, 2 nothing
  // could be done).
  const std::vector<std::wstring>& RunLog() const { return runLog_; }
  int RunExitCode() const { return runCode_; }

  const std::vector<registry::THive>& Hives() const { return hives_; }
  const std::vector<bool>& SavedHives() const { return saved_; }
  bool AnalysisComplete() const;
  void SetPlatform(std::shared_ptr<registry::IDefragPlatform> platform) { platform_ = std::move(platform); }
  // Tests prepare each analysis dialog (their own thread, an early Stop).
  void SetDialogSetup(std::function<void(TfrmGetNewHiveProgess&)> setup) { dialogSetup_ = std::move(setup); }

 private:
  // Shows `text`; a command-line run logs it instead, with its exit code.
  // `icon` (MB_ICON...) for the messages of our own; the rest show none.
  void Notice(const std::wstring& text, int code = 0, UINT icon = 0);
  void LogSaveFailures(const std::vector<bool>& saved);
  // Why hive i is not compacted; empty when it was not refused.
  const std::wstring& RefusalOf(size_t i) const;
  void NoticeRefused(size_t i, const std::wstring& why);
  void LogSizeTable(const registry::TSizeTable& t);
  void LogLeftOutHives();
  static std::wstring LeftOutText(const registry::TLeftOutHive& h);
  // A listed hive's file cannot be found: no hive may be swapped.
  bool SwapsHeldBack() const;
  std::wstring NothingScheduledText() const;
  void ShowSizeTable();
  void HideOwner() const;
  void RunUnattended(const std::function<void()>& run);

  HWND owner_;
  Controls c_;
  std::vector<registry::THive> hives_;
  std::vector<registry::TLeftOutHive> leftOut_;  // listed, but no drive letter reaches their file
  std::vector<bool> saved_;          // of the last finished analysis
  std::vector<std::wstring> refused_;  // of the last analysis: why a hive is not compacted
  std::set<std::wstring> scheduled_; // copies Windows loads at the next start
  std::shared_ptr<registry::IDefragPlatform> platform_;
  std::function<void(TfrmGetNewHiveProgess&)> dialogSetup_;
  std::vector<std::wstring> runLog_;
  int runCode_ = 0;
};

// The local date-time text of the "Time" key.
std::wstring LocalDateTimeText();

}  // namespace app
