#include "ui/FlatButton.h"

#include <windowsx.h>

namespace ui {

bool FlatButton::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  return CreateCustom(parent, L"VantorelFlatButton", caption, WS_VISIBLE | WS_TABSTOP, 0, x, y, w, h);
}

void FlatButton::SetColors(COLORREF color, COLORREF focused, COLORREF border) {
  color_ = color;
  focused_ = focused;
  border_ = border;
  Invalidate();
}

void FlatButton::Paint(HDC dc) {
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  HBRUSH face = ::CreateSolidBrush(hot_ ? focused_ : color_);
  ::FillRect(dc, &rc, face);
  ::DeleteObject(face);
  HBRUSH frame = ::CreateSolidBrush(border_);
  ::FrameRect(dc, &rc, frame);
  ::DeleteObject(frame);
  HGDIOBJ old = ::SelectObject(dc, DefaultFont());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(IsWindowEnabled(hwnd_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  std::wstring caption = Text();
  if (pressed_) ::OffsetRect(&rc, 1, 1);
  ::DrawTextW(dc, caption.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SelectObject(dc, old);
}

LRESULT FlatButton::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      Paint(dc);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&tme);
        Invalidate();
      }
      return 0;
    case WM_MOUSELEAVE:
      hot_ = false;
      Invalidate();
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      ::SetCapture(hwnd_);
      Invalidate();
      return 0;
    case WM_LBUTTONUP: {
      bool was = pressed_;
      pressed_ = false;
      ::ReleaseCapture();
      Invalidate();
      RECT rc{};
      ::GetClientRect(hwnd_, &rc);
      POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (was && ::PtInRect(&rc, pt) && OnClick) OnClick();
      return 0;
    }
    default:
      return Control::OnMessage(msg, w, l);
  }
}

}  // namespace ui
