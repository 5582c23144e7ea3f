// The analysis dialog: saves every hive to its copy on a worker thread and
// shows how far it has got. Stop (or closing the dialog) lets the thread
// finish the hive it is saving and ends the analysis unfinished.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "registry/defrag/HiveList.h"
#include "registry/defrag/SaveProgress.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"

namespace app {

// What the dialog reports once it has closed.
struct THiveSaveOutcome {
  bool Finished = false;     // every hive was handled and Stop was not pressed
  std::vector<bool> Saved;   // per hive: its copy was written
  std::vector<std::wstring> Refused;  // per hive: why it is not compacted; empty for the others
};

class TfrmGetNewHiveProgess : public ui::Form {
 public:
  using ThreadFactory = std::function<std::unique_ptr<registry::TScanDefragTaskThread>()>;

  TfrmGetNewHiveProgess();
  ~TfrmGetNewHiveProgess() override;

  // Shows the dialog over `owner` (not shown when `hidden`) until the hives
  // are saved or the saving was stopped.
  THiveSaveOutcome Execute(HWND owner, const std::vector<registry::THive>& hives, bool isWow64, bool slowSystem,
                           bool hidden);
  // Tests hand in a thread of their own.
  void SetThreadFactory(ThreadFactory factory) { factory_ = std::move(factory); }
  // Runs once the dialog is on screen (tests press Stop from here).
  std::function<void(TfrmGetNewHiveProgess&)> OnStarted;

  void bStopClick();

  ui::Label Label1, Label2;
  skin::TskProgressBar ProgressBar1;
  ui::Memo Memo1;
  skin::TskButton bStop;
  ui::Timer Timer1;

 protected:
  void OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FormShow();
  void WMStartSave();
  void Timer1Timer();
  void WMHiveSaved(WPARAM w, LPARAM l);
  bool FormClose();  // false: the thread is still saving, the dialog stays
  void ShowCurrentHive(int index);

  std::vector<registry::THive> hives_;
  bool isWow64_ = false;
  bool slowSystem_ = false;
  bool hidden_ = false;
  ThreadFactory factory_;
  std::unique_ptr<registry::TScanDefragTaskThread> FThread;
  std::unique_ptr<registry::THiveSaveProgress> progress_;
  bool FStopped = false;
  bool started_ = false;  // the saving thread starts once, whatever activates the dialog
  THiveSaveOutcome outcome_;
};

}  // namespace app
