#include "skin/draw/Fills.h"

namespace skin {

namespace {

void FillLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  FillRectColor(dc, RECT{left, top, right, bottom}, colour);
}

// Channel c of the gradient at `step` of `span`, truncated toward zero.
BYTE Channel(BYTE from, BYTE to, int span, int step) {
  return static_cast<BYTE>(from + static_cast<int>((to - from) / static_cast<double>(span) * step));
}

COLORREF Between(COLORREF from, COLORREF to, int span, int step) {
  return RGB(Channel(GetRValue(from), GetRValue(to), span, step), Channel(GetGValue(from), GetGValue(to), span, step),
             Channel(GetBValue(from), GetBValue(to), span, step));
}

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

void FillRectColor(HDC Canvas, const RECT& Rect, COLORREF Colour) {
  if (IsEmptyRect(Rect)) return;
  HBRUSH brush = ::CreateSolidBrush(ColorToRGB(Colour));
  ::FillRect(Canvas, &Rect, brush);
  ::DeleteObject(brush);
}

void FrameRectColor(HDC Canvas, const RECT& Rect, COLORREF Colour) {
  if (IsEmptyRect(Rect)) return;
  HBRUSH brush = ::CreateSolidBrush(ColorToRGB(Colour));
  ::FrameRect(Canvas, &Rect, brush);
  ::DeleteObject(brush);
}

void FillFramed(HDC Canvas, const RECT& Rect, COLORREF FaceColour, COLORREF EdgeColour) {
  FillRectColor(Canvas, Rect, FaceColour);
  FrameRectColor(Canvas, Rect, EdgeColour);
}

COLORREF ColorToRGB(COLORREF Colour) {
  if ((Colour & 0x80000000u) != 0) return ::GetSysColor(static_cast<int>(Colour & 0xFF));
  return Colour & 0x00FFFFFFu;
}

void ColorToRGBParts(COLORREF Colour, BYTE& R, BYTE& G, BYTE& B) {
  COLORREF c = ColorToRGB(Colour);
  R = GetRValue(c);
  G = GetGValue(c);
  B = GetBValue(c);
}

COLORREF RGBPartsToColor(BYTE R, BYTE G, BYTE B) { return R + G * 256u + B * 65536u; }

void FillGradientVertical(HDC Canvas, const RECT& Rect, COLORREF FromColour, COLORREF ToColour) {
  const int span = Rect.bottom - Rect.top;
  if (span == 0) return;
  COLORREF from = ColorToRGB(FromColour), to = ColorToRGB(ToColour);
  FillLine(Canvas, Rect.left, Rect.top, Rect.right, Rect.top + 1, from);
  for (int y = Rect.top + 1; y <= Rect.bottom - 2; ++y)
    FillLine(Canvas, Rect.left, y, Rect.right, y + 1, Between(from, to, span, y - Rect.top - 1));
  FillLine(Canvas, Rect.left, Rect.bottom - 1, Rect.right, Rect.bottom, to);
}

void FillGradientHorizontal(HDC Canvas, const RECT& Rect, COLORREF FromColour, COLORREF ToColour) {
  const int span = Rect.right - Rect.left;
  if (span == 0) return;
  COLORREF from = ColorToRGB(FromColour), to = ColorToRGB(ToColour);
  FillLine(Canvas, Rect.left, Rect.top, Rect.left + 1, Rect.bottom, from);
  for (int x = Rect.left + 1; x <= Rect.right - 2; ++x)
    FillLine(Canvas, x, Rect.top, x + 1, Rect.bottom, Between(from, to, span, x - Rect.left));
  FillLine(Canvas, Rect.right - 1, Rect.top, Rect.right, Rect.bottom, to);
}

void DrawWindowFrame(HWND Control, COLORREF OuterColour, COLORREF InnerColour, bool DrawInner) {
  HDC dc = ::GetWindowDC(Control);
  if (dc == nullptr) return;
  RECT r{};
  ::GetWindowRect(Control, &r);
  ::OffsetRect(&r, -r.left, -r.top);
  FrameRectColor(dc, r, OuterColour);
  if (DrawInner) {
    ::InflateRect(&r, -1, -1);
    FrameRectColor(dc, r, InnerColour);
  }
  ::ReleaseDC(Control, dc);
}

void DrawParentBackground(HDC Canvas, HWND Control) {
  HWND parent = ::GetParent(Control);
  if (parent == nullptr) return;
  RECT bounds{}, client{};
  ::GetWindowRect(Control, &bounds);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
  ::GetClientRect(parent, &client);
  int saved = ::SaveDC(Canvas);
  POINT origin{};
  ::GetViewportOrgEx(Canvas, &origin);
  ::SetViewportOrgEx(Canvas, origin.x - bounds.left, origin.y - bounds.top, nullptr);
  ::IntersectClipRect(Canvas, 0, 0, client.right, client.bottom);  // logical: the parent's client area
  ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Canvas), 0);
  ::SendMessageW(parent, WM_PAINT, reinterpret_cast<WPARAM>(Canvas), 0);
  ::RestoreDC(Canvas, saved);
}

}  // namespace skin
