#include "skin/lists/Edit.h"

#include "skin/draw/Fills.h"
#include "skin/lists/FileThemeLink.h"
#include "skin/lists/ThemeAccess.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

bool TskEdit::Create(HWND Parent, const std::wstring& Text, int X, int Y, int W, int H, const ui::Window* Owner) {
  // A thin system border holds our one-pixel frame; the margins give the
  // text the two pixels the frame's inner ring takes.
  if (!CreateControl(Parent, L"EDIT", Text, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, X, Y, W, H))
    return false;
  Send(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
  UIStyle_ = FindFormUIStyle(Owner);
  SetUIStyle(UIStyle_);
  return true;
}

void TskEdit::ApplyLook(const ThemeLook&) {
  UIStyleChanged();
  DrawFrame();
}

void TskEdit::DrawFrame() {
  if (hwnd_ == nullptr) return;
  const bool editable = Enabled() && (::GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY) == 0;
  DrawWindowFrame(hwnd_, BorderColor_, ::GetSysColor(editable ? COLOR_WINDOW : COLOR_BTNFACE), true);
}

LRESULT TskEdit::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = DefaultProc(msg, w, l);
  if (msg == WM_PAINT || msg == WM_ERASEBKGND || msg == WM_NCPAINT || msg == WM_ENABLE) DrawFrame();
  return result;
}

}  // namespace skin
