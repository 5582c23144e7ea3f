#include "app/options/RegAddRegistry.h"

#include <shellapi.h>

#include "app/options/OptionsModel.h"

namespace app {

bool TfrmRegAddRegistry::CreateForm(HWND owner, const std::wstring& text) {
  if (!Create(owner, L"Add to Ignore List", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME))
    return false;
  SetClientSize(392, 193);
  lRegistryKey.Create(hwnd_, L"Registry Key", 16, 20);
  bLaunchRegedit.Create(hwnd_, L"&Launch Registry Editor", 222, 14, 154, 25);
  eRegistryKey.Create(hwnd_, text, 16, 50, 360, 21);
  lExample.Create(hwnd_, L"Enter the value or key like: HKEY_CURRENT_USER\\Software\\Microsoft", 16, 82, false, 360, 30);
  bOK.Create(hwnd_, L"&OK", 216, 152, 75, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(hwnd_, L"&Cancel", 301, 152, 75, 25);
  eRegistryKey.OnChange = [this] { aOKUpdate(); };
  bOK.OnClick = [this] {
    if (bOK.Enabled()) aOKExecute();
  };
  bCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
  bLaunchRegedit.OnClick = [this] { bLaunchRegeditClick(); };
  aOKUpdate();
  CenterOn(owner);
  return true;
}

LRESULT TfrmRegAddRegistry::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  // Enter and Escape arrive from the dialog keys as IDOK and IDCANCEL.
  if (msg == WM_COMMAND && l == 0 && LOWORD(w) == IDOK) {
    if (bOK.Enabled()) aOKExecute();
  } else if (msg == WM_COMMAND && l == 0 && LOWORD(w) == IDCANCEL) {
    SetModalResult(IDCANCEL);
  } else if (msg == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) {
    ::SetFocus(eRegistryKey.Handle());
    return 0;
  } else {
    return ui::Form::OnMessage(msg, w, l);
  }
  return 0;
}

void TfrmRegAddRegistry::aOKUpdate() { bOK.Enable(IsIgnoreEntryAcceptable(eRegistryKey.Text())); }

void TfrmRegAddRegistry::bLaunchRegeditClick() {
  ::ShellExecuteW(hwnd_, L"Open", L"Regedit.exe", nullptr, nullptr, SW_SHOWNORMAL);
}

bool TfrmRegAddRegistry::Execute(HWND owner, std::wstring* text) {
  TfrmRegAddRegistry dialog;
  if (!dialog.CreateForm(owner, *text)) return false;
  dialog.eRegistryKey.SelectAll();
  if (dialog.ShowModal(owner) != IDOK) return false;
  *text = dialog.eRegistryKey.Text();
  return true;
}

}  // namespace app
