#include "app/AddRegistryDialog.h"

#include "app/WebPages.h"

namespace app {
namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
using cleaner::custom::TAddRegistryModel;
}  // namespace

TfrmAddRegistry::TfrmAddRegistry() : ui::Form(L"TfrmAddRegistry") {}

bool TfrmAddRegistry::CreateDialogWindow(HWND owner, const TAddRegistryModel& start) {
  if (!Create(owner, L"Add Registry", kDialogStyle, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(420, 236);
  CenterOn(owner);
  eRegistryKey.SetText(start.Key);
  eRegistryValue.SetText(start.Value);
  rbWashKey.SetChecked(start.Wash == TAddRegistryModel::WashKey);
  rbWashAllValues.SetChecked(start.Wash == TAddRegistryModel::WashAllValues);
  rbWashValue.SetChecked(start.Wash == TAddRegistryModel::WashValue);
  rbWashValueClick();
  return true;
}

void TfrmAddRegistry::OnCreate() {
  lKey.Create(hwnd_, L"Registry Key", 12, 12);
  lExample.Create(hwnd_, L"Enter the registry key like: HKEY_CURRENT_USER\\Software\\Microsoft", 12, 30);
  eRegistryKey.Create(hwnd_, L"", 12, 50, 396, 22);
  bLaunchRegedit.Create(hwnd_, L"&Run Registry Editor", 278, 78, 130, 25);
  rbWashKey.Create(hwnd_, L"Delete key", 12, 84, 250, 20, true);
  rbWashAllValues.Create(hwnd_, L"Delete values under the key", 12, 106, 250, 20, false);
  rbWashValue.Create(hwnd_, L"Delete value", 12, 128, 250, 20, false);
  lValue.Create(hwnd_, L"Value Name", 12, 156);
  eRegistryValue.Create(hwnd_, L"", 12, 174, 396, 22);
  eRegistryValue.Enable(false);
  rbWashKey.SetChecked(true);
  bOK.Create(hwnd_, L"&OK", 252, 204, 75, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(hwnd_, L"&Cancel", 333, 204, 75, 25);
  // Enter and Escape reach these two through their IDs.
  bOK.SetId(IDOK);
  bCancel.SetId(IDCANCEL);

  for (skin::TskRadioButton* rb : {&rbWashKey, &rbWashAllValues, &rbWashValue}) rb->OnClick = [this] { rbWashValueClick(); };
  eRegistryKey.OnChange = [this] { UpdateActions(); };
  eRegistryValue.OnChange = [this] { UpdateActions(); };
  bLaunchRegedit.OnClick = [this] { bLaunchRegeditClick(); };
  bOK.OnClick = [this] { aOKExecute(); };
  bCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  UpdateActions();
}

// The shell's "open" of the editor, through the same seam as the web pages.
void TfrmAddRegistry::bLaunchRegeditClick() { OpenWebPage(hwnd_, L"Regedit.exe"); }

void TfrmAddRegistry::rbWashValueClick() {
  eRegistryValue.Enable(rbWashValue.Checked());
  UpdateActions();
}

TAddRegistryModel TfrmAddRegistry::Choices() const {
  TAddRegistryModel m;
  m.Key = eRegistryKey.Text();
  m.Value = eRegistryValue.Text();
  m.Wash = rbWashValue.Checked() ? TAddRegistryModel::WashValue
           : rbWashAllValues.Checked() ? TAddRegistryModel::WashAllValues
                                       : TAddRegistryModel::WashKey;
  return m;
}

void TfrmAddRegistry::UpdateActions() { bOK.Enable(Choices().OKEnabled()); }

void TfrmAddRegistry::aOKExecute() {
  TAddRegistryModel m = Choices();
  if (!m.OKEnabled()) return;
  FResultText = m.ResultText();
  SetModalResult(IDOK);
}

}  // namespace app
