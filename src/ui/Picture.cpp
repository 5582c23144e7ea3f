#include "ui/Picture.h"

namespace ui {

Picture::~Picture() {
  if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
}

bool Picture::Create(HWND parent, int x, int y, int w, int h, bool stretch) {
  stretch_ = stretch;
  // Controls laid over the picture paint themselves; it must not paint over them.
  return CreateCustom(parent, L"VantorelPicture", L"", WS_VISIBLE | WS_CLIPSIBLINGS, 0, x, y, w, h);
}

void Picture::SetBitmap(HBITMAP bitmap) {
  if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
  bitmap_ = bitmap;
  Invalidate();
}

void Picture::PaintPart(HDC dc, const RECT& part) const {
  int w = part.right - part.left, h = part.bottom - part.top;
  if (bitmap_ == nullptr) {
    RECT r{0, 0, w, h};
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  BITMAP bm{};
  ::GetObjectW(bitmap_, sizeof(bm), &bm);
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  double sx = stretch_ && rc.right > 0 ? static_cast<double>(bm.bmWidth) / rc.right : 1.0;
  double sy = stretch_ && rc.bottom > 0 ? static_cast<double>(bm.bmHeight) / rc.bottom : 1.0;
  HDC mem = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(mem, bitmap_);
  ::SetStretchBltMode(dc, HALFTONE);
  ::StretchBlt(dc, 0, 0, w, h, mem, static_cast<int>(part.left * sx), static_cast<int>(part.top * sy),
               static_cast<int>(w * sx), static_cast<int>(h * sy), SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
}

LRESULT Picture::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONUP && OnClick) {
    OnClick();
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return Control::OnMessage(msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  if (bitmap_ == nullptr) {
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
  } else {
    BITMAP bm{};
    ::GetObjectW(bitmap_, sizeof(bm), &bm);
    HDC mem = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(mem, bitmap_);
    ::SetStretchBltMode(dc, HALFTONE);
    if (stretch_)
      ::StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    else
      ::BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
  }
  ::EndPaint(hwnd_, &ps);
  return 0;
}

}  // namespace ui
