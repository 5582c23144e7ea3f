// "Run Cleaner": the confirmation asked before a clean.
#pragma once
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/StdControls.h"

namespace app {

class TfrmAskDelete : public ui::Form {
 public:
  TfrmAskDelete() : ui::Form(L"TVantorelAskDelete") {}
  // Creates the dialog over `owner`; Execute shows it modally: 6 Yes, 7 No.
  bool CreateAskDialog(HWND owner);
  int Execute(HWND owner);

  ui::Label Label1, Label2, Label3, Label4, Label5;
  skin::TskCheckBox cbAsk;
  skin::TskButton bOK, bCancel;

 private:
  void FormShow();
};

}  // namespace app
