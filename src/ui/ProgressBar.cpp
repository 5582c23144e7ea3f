#include "ui/ProgressBar.h"

namespace ui {

bool ProgressBar::Create(HWND parent, int x, int y, int w, int h, int max) {
  max_ = max > 0 ? max : 1;
  return CreateCustom(parent, L"VantorelProgressBar", L"", WS_VISIBLE, 0, x, y, w, h);
}

void ProgressBar::SetPosition(int p) {
  position_ = p < 0 ? 0 : (p > max_ ? max_ : p);
  Invalidate();
}

void ProgressBar::Paint(HDC dc) {
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_WINDOW));
  RECT bar = rc;
  ::InflateRect(&bar, -2, -2);
  bar.right = bar.left + static_cast<LONG>(static_cast<long long>(bar.right - bar.left) * position_ / max_);
  HBRUSH fill = ::CreateSolidBrush(RGB(49, 106, 197));
  ::FillRect(dc, &bar, fill);
  ::DeleteObject(fill);
  ::DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
  if (!showCaption_) return;
  std::wstring text = caption_.empty() ? std::to_wstring(static_cast<long long>(position_) * 100 / max_) + L"%" : caption_;
  HGDIOBJ old = ::SelectObject(dc, DefaultFont());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::DrawTextW(dc, text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SelectObject(dc, old);
}

LRESULT ProgressBar::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return Control::OnMessage(msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  // Drawn off screen and copied once, so the bar does not flicker.
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  HDC mem = ::CreateCompatibleDC(dc);
  HBITMAP bmp = ::CreateCompatibleBitmap(dc, rc.right, rc.bottom);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  Paint(mem);
  ::BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::EndPaint(hwnd_, &ps);
  return 0;
}

}  // namespace ui
