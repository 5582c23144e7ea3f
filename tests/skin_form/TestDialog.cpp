#include "skin_form/TestDialog.h"

namespace skin_test {

bool TestDialog::Build(bool withMaximize) {
  if (!Create(nullptr, L"Add to Ignore List", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(392, 193);
  CenterOn(nullptr);
  if (!Frame.Create(*this)) return false;
  Frame.SetUIStyle(skin::WinXP);
  Frame.SetBorderWidth(3);
  Frame.SetRoundCorner(13);
  Frame.TitleBar().SetButtonVisible(skin::skMin, false);
  Frame.TitleBar().SetButtonVisible(skin::skMax, withMaximize);
  if (!panel_.Create(Frame.Handle(), 0, 0, 10, 10, false)) return false;
  Frame.SetFormPanel(&panel_);
  HWND p = panel_.Handle();
  if (!label_.Create(p, L"Registry Key", 12, 14) || !key_.Create(p, 12, 34, 362, 22, true)) return false;
  key_.Show(true);
  return ok_.Create(p, L"&OK", 214, 120, 75, 25) && cancel_.Create(p, L"&Cancel", 298, 120, 75, 25);
}

LRESULT TestDialog::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  // The drag is the system's move loop; the tests only count its start.
  if (msg == WM_NCLBUTTONDOWN && w == HTCAPTION) {
    ++NcDragPresses;
    return 0;
  }
  return ui::Form::OnMessage(msg, w, l);
}

}  // namespace skin_test
