// The About box.
#pragma once
#include <windows.h>

#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/Picture.h"
#include "ui/StdControls.h"

namespace app {

// A static control showing the program's icon, or an etched line.
class TStaticDecor : public ui::Control {
 public:
  bool CreateIcon(HWND parent, int x, int y);
  bool CreateLine(HWND parent, int x, int y, int w);
};

class TfrmAbout : public ui::Form {
 public:
  TfrmAbout();
  // Shows the box modally over `owner`.
  int Execute(HWND owner);
  bool CreateAbout(HWND owner);

  void FormShow();
  void bOKClick() { SetModalResult(IDOK); }
  void lbEAddressClick();
  void lMailClick();

  ui::Picture imgBanner;
  TStaticDecor imgIcon, Bevel1;
  ui::Label lTitle, Label2, lPoweredBy, Label3, lMail, lbEAddress;
  skin::TskButton bOK;

 protected:
  void OnCreate() override;
};

}  // namespace app
