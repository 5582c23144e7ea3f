// "Add Registry": builds one registry row of the custom list, or edits one.
#pragma once
#include <windows.h>

#include <string>

#include "cleaner/custom/CustomRows.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/StdControls.h"

namespace app {

class TfrmAddRegistry : public ui::Form {
 public:
  TfrmAddRegistry();
  // Creates the dialog hidden and centred on `owner`, showing `start`.
  bool CreateDialogWindow(HWND owner, const cleaner::custom::TAddRegistryModel& start = {});
  const std::wstring& ResultText() const { return FResultText; }

  void bLaunchRegeditClick();
  void rbWashValueClick();
  void aOKExecute();
  void UpdateActions();
  cleaner::custom::TAddRegistryModel Choices() const;

  ui::Label lKey, lExample, lValue;
  ui::Edit eRegistryKey, eRegistryValue;
  skin::TskButton bLaunchRegedit, bOK, bCancel;
  skin::TskRadioButton rbWashKey, rbWashAllValues, rbWashValue;

 protected:
  void OnCreate() override;

 private:
  std::wstring FResultText;
};

}  // namespace app
