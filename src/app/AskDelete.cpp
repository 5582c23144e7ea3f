#include "app/AskDelete.h"

#include "core/Options.h"

namespace app {

bool TfrmAskDelete::CreateAskDialog(HWND owner) {
  if (!Create(owner, L"Run Cleaner", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(391, 172);
  HWND h = Handle();
  Label1.Create(h, L"", 16, 14);
  Label2.Create(h, L"It's better to close all programs you want to clear their", 16, 40);
  Label3.Create(h, L" history, the software can not delete the entries being used", 16, 56);
  Label4.Create(h, L"by those programs such as Internet Explorer.", 16, 72);
  Label5.Create(h, L"", 16, 94);
  cbAsk.Create(h, L"Don't show me this message again", 16, 116, 300, 20);
  bOK.Create(h, L"&OK", 222, 140, 75, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(h, L"&Cancel", 304, 140, 75, 25);
  bOK.SetId(IDOK);
  bCancel.SetId(IDCANCEL);
  cbAsk.SetChecked(false);
  // The setting follows the box at once, even when the clean is then declined.
  cbAsk.OnClick = [this] { core::OptionsSetting.IsAskBeforeClear = !cbAsk.Checked(); };
  bOK.OnClick = [this] { SetModalResult(IDYES); };
  bCancel.OnClick = [this] { SetModalResult(IDNO); };
  skin::SetStyleOfDescendants(h, skin::WinXP);
  CenterOn(owner);
  return true;
}

void TfrmAskDelete::FormShow() {
  Label1.SetCaption(L"Are you sure you want to start to clean the selected item?");
  Label5.SetCaption(L"Are you sure you wish to proceed?");
}

int TfrmAskDelete::Execute(HWND owner) {
  FormShow();
  return ShowModal(owner);
}

}  // namespace app
