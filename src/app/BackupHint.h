// The wait dialog shown while the registry editor runs hidden, and the
// routine that starts the editor and shows it.
#pragma once
#include <windows.h>

#include <string>

#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"

namespace app {

class TfrmBackupHint : public ui::Form {
 public:
  TfrmBackupHint();
  ~TfrmBackupHint() override;

  // Shows the dialog until the process ends (IDOK), Stop kills it (IDCANCEL)
  // or the dialog is closed (IDCANCEL, the process goes on). The handles
  // stay the caller's.
  int Execute(HWND owner, const PROCESS_INFORMATION& process, const std::wstring& hint);

  // The bar's next position: it slows down near its end and never reaches
  // it by time alone.
  static int NextPosition(int position);

  void Timer1Timer();
  void bStopClick();

  skin::TskGroupBox skGroupBox1;
  ui::Label lHint;
  skin::TskProgressBar ProgressBar1;
  skin::TskButton bStop;
  ui::Timer Timer1;

 protected:
  void OnCreate() override;

 private:
  PROCESS_INFORMATION FProcessInfo{};
};

// Starts `commandLine` hidden and shows the wait dialog with `hintText` until
// the process ends; true when it ended by itself. A process that cannot be
// started gives "Please check if Regedit.exe exists." and false.
bool RunRegeditCommand(HWND owner, const std::wstring& commandLine, const std::wstring& hintText);

}  // namespace app
