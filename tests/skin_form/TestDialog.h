// A small dialog with the skinned frame, shaped like the program's ignore-list
// entry dialog: WinXP look, border 3, round corner 13, no maximise or
// minimise button unless asked.
#pragma once
#include "skin/form/SkinForm.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"

namespace skin_test {

class TestDialog : public ui::Form {
 public:
  TestDialog() : ui::Form(L"TSkinFormTestDialog") {}
  // False when the window or the frame could not be made.
  bool Build(bool withMaximize = false);
  skin::TskForm Frame;
  int NcDragPresses = 0;  // WM_NCLBUTTONDOWN with HTCAPTION reaching the form

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  ui::Panel panel_;
  ui::Label label_;
  ui::Memo key_;
  ui::Button ok_, cancel_;
};

}  // namespace skin_test
