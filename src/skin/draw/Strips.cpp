#include "skin/draw/Strips.h"

namespace skin {

namespace {

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

// Cell i (1-based) of a strip as an image list holds it: W pixels wide from
// the left, whatever the remainder.
RECT ListCell(const Bitmap& strip, int cellWidth, int i) {
  return RECT{cellWidth * (i - 1), 0, cellWidth * i, strip.Height()};
}

// Plain colour-on-colour stretch of a whole picture.
void StretchOpaque(const Bitmap& from, HDC to, const RECT& target) {
  if (from.Empty() || RectWidth(target) <= 0 || RectHeight(target) <= 0) return;
  int oldMode = ::SetStretchBltMode(to, COLORONCOLOR);
  ::StretchBlt(to, target.left, target.top, RectWidth(target), RectHeight(target), from.Canvas(), 0, 0, from.Width(),
               from.Height(), SRCCOPY);
  ::SetStretchBltMode(to, oldMode);
}

}  // namespace

void DrawWhole(const Bitmap& Picture, HDC Canvas, int X, int Y) {
  if (!Picture.Empty())
    ::BitBlt(Canvas, X, Y, Picture.Width(), Picture.Height(), Picture.Canvas(), 0, 0, SRCCOPY);
}

void StretchWhole(const Bitmap& Picture, HDC Canvas, const RECT& Rect) {
  if (Picture.Empty() || RectWidth(Rect) <= 0 || RectHeight(Rect) <= 0) return;
  ::StretchBlt(Canvas, Rect.left, Rect.top, RectWidth(Rect), RectHeight(Rect), Picture.Canvas(), 0, 0,
               Picture.Width(), Picture.Height(), SRCCOPY);
}

void DrawPart(const Bitmap& from, const RECT& source, HDC to, int x, int y, bool masked, COLORREF mask) {
  int w = RectWidth(source), h = RectHeight(source);
  if (w <= 0 || h <= 0) return;
  if (masked)
    ::TransparentBlt(to, x, y, w, h, from.Canvas(), source.left, source.top, w, h, mask);
  else
    ::BitBlt(to, x, y, w, h, from.Canvas(), source.left, source.top, SRCCOPY);
}

bool CutBitmapPart(const Bitmap& Source, Bitmap& Dest, int Count, int Index) {
  int cw = Count >= 1 ? Source.Width() / Count : 0;
  if (Count < 1 || Index < 1 || Index > Count || cw <= 0 || Source.Height() <= 0) {
    Dest.Clear();
    return false;
  }
  int left = Index < Count ? cw * (Index - 1) : Source.Width() - cw;
  Bitmap cell(cw, Source.Height());
  ::BitBlt(cell.Canvas(), 0, 0, cw, Source.Height(), Source.Canvas(), left, 0, SRCCOPY);
  Dest.Swap(cell);
  return true;
}

void DrawThreePartBitmap(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect, bool UseCornerColour,
                         COLORREF FillColour, bool TopLeftCorner) {
  int w = Bitmap.Width() / 3, h = Bitmap.Height();
  if (w <= 0 || h <= 0) return;
  COLORREF corner = Bitmap.Pixel(0, TopLeftCorner ? 0 : h - 1);
  COLORREF mask = UseCornerColour ? corner : kMaskColour;
  if (RectWidth(Rect) >= w) {
    DrawPart(Bitmap, ListCell(Bitmap, w, 1), Canvas, Rect.left, Rect.top, true, mask);
    DrawPart(Bitmap, ListCell(Bitmap, w, 3), Canvas, Rect.right - w, Rect.top, true, mask);
    skin::Bitmap middle(w, h);
    middle.Fill(FillColour);
    DrawPart(Bitmap, ListCell(Bitmap, w, 2), middle.Canvas(), 0, 0, true, mask);
    StretchOpaque(middle, Canvas, RECT{Rect.left + w, Rect.top, Rect.right - w, Rect.bottom});
    return;
  }
  if (RectWidth(Rect) <= 0) return;
  skin::Bitmap end(RectWidth(Rect), h);
  DrawPart(Bitmap, ListCell(Bitmap, w, 1), end.Canvas(), 0, 0, true, mask);
  DrawPart(end, RECT{0, 0, end.Width(), h}, Canvas, Rect.left, Rect.top, false, 0);
}

void DrawThreePartBitmapTransparent(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect, bool Masked,
                                    COLORREF MaskColour) {
  int w = Bitmap.Width() / 3, h = Bitmap.Height();
  if (w <= 0 || h <= 0) return;
  if (RectWidth(Rect) >= w) {
    DrawPart(Bitmap, ListCell(Bitmap, w, 1), Canvas, Rect.left, Rect.top, Masked, MaskColour);
    DrawPart(Bitmap, ListCell(Bitmap, w, 3), Canvas, Rect.right - w, Rect.top, Masked, MaskColour);
    skin::Bitmap middle(w, h);
    DrawPart(Bitmap, ListCell(Bitmap, w, 2), middle.Canvas(), 0, 0, false, 0);
    StretchOpaque(middle, Canvas, RECT{Rect.left + w, Rect.top, Rect.right - w, Rect.top + h});
    return;
  }
  if (RectWidth(Rect) <= 0) return;
  skin::Bitmap end(w, h);
  DrawPart(Bitmap, ListCell(Bitmap, w, 1), end.Canvas(), 0, 0, false, 0);
  end.SetWidth(RectWidth(Rect));
  DrawPart(end, RECT{0, 0, end.Width(), h}, Canvas, Rect.left, Rect.top, false, 0);
}

bool StretchDrawBitmap(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect) {
  ::SetStretchBltMode(Canvas, HALFTONE);
  ::SetBrushOrgEx(Canvas, 0, 0, nullptr);  // required after choosing half-tone
  return ::StretchBlt(Canvas, Rect.left, Rect.top, RectWidth(Rect), RectHeight(Rect), Bitmap.Canvas(), 0, 0,
                      Bitmap.Width(), Bitmap.Height(), SRCCOPY) != FALSE;
}

void TileGraphic(HDC Canvas, const Bitmap& Picture, const RECT& Rect) {
  int w = Picture.Width(), h = Picture.Height();
  if (Picture.Empty()) return;  // the steps below would never advance
  for (int x = 0; x < w + RectWidth(Rect); x += w)
    for (int y = 0; y < h + RectHeight(Rect); y += h) ::BitBlt(Canvas, x, y, w, h, Picture.Canvas(), 0, 0, SRCCOPY);
}

}  // namespace skin
