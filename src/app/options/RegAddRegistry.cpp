#include "app/options/RegAddRegistry.h"

#include <shellapi.h>

#include "app/options/OptionsModel.h"

namespace app {

bool TKeyEdit::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  if (msg != WM_COMMAND || HIWORD(w) != EN_CHANGE) return false;
  if (OnChange) OnChange();
  *result = 0;
  return true;
}

bool TfrmRegAddRegistry::CreateForm(HWND owner, const std::wstring& text) {
  if (!Create(owner, L"Add to Ignore List", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME))
    return false;
  if (!skForm.Create(*this) || !pnlForm.Create(skForm.Handle(), 0, 0, 392, 193, false)) return false;
  skForm.TitleBar().SetButtonVisible(skin::skMax, false);
  skForm.TitleBar().SetButtonVisible(skin::skMin, false);
  skForm.SetFormPanel(&pnlForm);
  HWND p = pnlForm.Handle();
  lRegistryKey.Create(p, L"Registry Key", 16, 20);
  bLaunchRegedit.Create(p, L"&Launch Registry Editor", 222, 14, 154, 25);
  eRegistryKey.Create(p, text, 16, 50, 360, 21, this);
  lExample.Create(p, L"Enter the value or key like: HKEY_CURRENT_USER\\Software\\Microsoft", 16, 82, false, 360, 30);
  bOK.Create(p, L"&OK", 216, 152, 75, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(p, L"&Cancel", 301, 152, 75, 25);
  // Enter and Escape reach these two through their IDs.
  bOK.SetId(IDOK);
  bCancel.SetId(IDCANCEL);
  eRegistryKey.OnChange = [this] { aOKUpdate(); };
  bOK.OnClick = [this] {
    if (bOK.Enabled()) aOKExecute();
  };
  bCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
  bLaunchRegedit.OnClick = [this] { bLaunchRegeditClick(); };
  NameParts();
  skThemeManager.SetCompList({L"skForm", L"pnlForm", L"bLaunchRegedit", L"eRegistryKey", L"bOK", L"bCancel"});
  skThemeManager.SetFileTheme(&skFileTheme);
  skThemeManager.SetUIStyle(skin::WinXP);
  // The WinXP frame with a border of 3 and a round corner of 13; the size
  // follows the border.
  skForm.SetBorderWidth(3);
  skForm.SetRoundCorner(13);
  SetPanelSize(392, 193);
  aOKUpdate();
  CenterOn(owner);
  return true;
}

void TfrmRegAddRegistry::NameParts() {
  skForm.SetName(L"skForm");
  bLaunchRegedit.SetName(L"bLaunchRegedit");
  eRegistryKey.SetName(L"eRegistryKey");
  bOK.SetName(L"bOK");
  bCancel.SetName(L"bCancel");
}

void TfrmRegAddRegistry::SetPanelSize(int width, int height) {
  // The frame decides the non-client area: size the window, then correct it
  // by whatever the panel still lacks.
  SetClientSize(width, height + skForm.TitleBar().Height());
  RECT r{}, w{};
  ::GetClientRect(pnlForm.Handle(), &r);
  ::GetWindowRect(hwnd_, &w);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, w.right - w.left + width - r.right, w.bottom - w.top + height - r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TfrmRegAddRegistry::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) {
    ::SetFocus(eRegistryKey.Handle());
    return 0;
  }
  return ui::Form::OnMessage(msg, w, l);
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
