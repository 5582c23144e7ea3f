// The restore-point dialog and the hint shown when System Restore refuses.
#pragma once
#include <windows.h>

#include "registry/fix/SystemPointThread.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/ProgressBar.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"

namespace app {

// A static icon; the hint's picture.
class TIconPicture : public ui::Control {
 public:
  bool Create(HWND parent, int x, int y, HICON icon);
};

class TfrmSystemPointFailHint : public ui::Form {
 public:
  TfrmSystemPointFailHint() : ui::Form(L"TfrmSystemPointFailHint") {}
  // IDOK "&Continue to Repair", IDCANCEL "&Cancel" (or closed).
  int Execute(HWND owner);

 protected:
  void OnCreate() override;

 private:
  ui::Panel Panel1;
  ui::Label Lines[8];
  TIconPicture Image1;
  skin::TskButton bContinue;
  skin::TskButton bOk;
};

class TfrmSystemPoint : public ui::Form {
 public:
  TfrmSystemPoint() : ui::Form(L"TfrmSystemPoint") {}
  // Shows the dialog over `owner` while the restore point is requested:
  // IDOK go on (made, or the user chose to continue without), IDCANCEL stop.
  int Execute(HWND owner);
  int Position() const { return ProgressBar1.Position(); }

 protected:
  void OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FormShow();
  void WMRestorePointDone(LPARAM l);
  void Timer1Timer();
  void FormClose();

  skin::TskGroupBox GroupBox1;
  ui::Label Label1, Label2, Label3, Label4;
  ui::ProgressBar ProgressBar1;
  ui::Timer Timer1;
  bool FThreadStarted = false;  // the thread frees itself; only this is kept
  bool FDone = false;           // the result has arrived
};

// Creates the dialog, shows it modally over `owner` and frees it; the fix and
// the defrag reach it through registry::ShowSystemPointDialog.
int ShowSystemPointDialog(HWND owner);

}  // namespace app
