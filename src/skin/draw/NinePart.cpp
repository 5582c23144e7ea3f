#include "skin/draw/NinePart.h"

#include <algorithm>

#include "skin/draw/Strips.h"

namespace skin {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Which corner of the picture a corner piece is: the side it keeps when the
// target is smaller than its source.
enum class Corner { TopLeft, BottomLeft, TopRight, BottomRight };

struct CornerPiece {
  RECT source;  // shortened to the drawn size
  int tw, th;
};

CornerPiece ShortenCorner(const RECT& s, const RECT& target, Corner c) {
  int tw = std::max(0, std::min(Width(s), Width(target)));
  int th = std::max(0, std::min(Height(s), Height(target)));
  bool left = c == Corner::TopLeft || c == Corner::BottomLeft;
  bool top = c == Corner::TopLeft || c == Corner::TopRight;
  RECT r{left ? s.left : s.right - tw, top ? s.top : s.bottom - th, 0, 0};
  r.right = r.left + tw;
  r.bottom = r.top + th;
  return CornerPiece{r, tw, th};
}

// Which side a stretched edge keeps when its target is thinner than its source.
enum class Edge { Left, Right, Top, Bottom, Centre };

RECT ShortenEdge(RECT s, const RECT& target, Edge e) {
  int w = Width(target), h = Height(target);
  if (e == Edge::Left && w < Width(s)) s.right = s.left + std::max(0, w);
  if (e == Edge::Right && w < Width(s)) s.left = s.right - std::max(0, w);
  if (e == Edge::Top && h < Height(s)) s.bottom = s.top + std::max(0, h);
  if (e == Edge::Bottom && h < Height(s)) s.top = s.bottom - std::max(0, h);
  return s;
}

void DrawStretched(const Bitmap& from, RECT source, HDC to, const RECT& target, Edge e) {
  source = ShortenEdge(source, target, e);
  if (Width(target) <= 0 || Height(target) <= 0 || Width(source) <= 0 || Height(source) <= 0) return;
  Bitmap piece(Width(target), Height(target));
  int oldMode = ::SetStretchBltMode(piece.Canvas(), COLORONCOLOR);
  ::StretchBlt(piece.Canvas(), 0, 0, piece.Width(), piece.Height(), from.Canvas(), source.left, source.top,
               Width(source), Height(source), SRCCOPY);
  ::SetStretchBltMode(piece.Canvas(), oldMode);
  DrawPart(piece, RECT{0, 0, piece.Width(), piece.Height()}, to, target.left, target.top, true, kMaskColour);
}

}  // namespace

bool DrawNinePartBitmap(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect, bool Transparent) {
  const int BW = Bitmap.Width(), BH = Bitmap.Height(), hw = BW / 2, hh = BH / 2;
  const int W = Width(Rect), H = Height(Rect), dw = W / 2, dh = H / 2;

  CornerPiece tl = ShortenCorner(RECT{0, 0, hw, hh}, RECT{0, 0, dw, dh}, Corner::TopLeft);
  CornerPiece bl = ShortenCorner(RECT{0, BH - hh + 1, hw, BH}, RECT{0, H - dh + 1, dw, H}, Corner::BottomLeft);
  CornerPiece tr = ShortenCorner(RECT{BW - hw + 1, 0, BW, hh}, RECT{W - dw + 1, 0, W, dh}, Corner::TopRight);
  CornerPiece br =
      ShortenCorner(RECT{BW - hw + 1, BH - hh + 1, BW, BH}, RECT{W - dw + 1, H - dh + 1, W, H}, Corner::BottomRight);
  for (const CornerPiece* c : {&tl, &bl, &tr, &br})
    if (c->tw <= 0 || c->th <= 0) return false;

  const RECT TL{0, 0, tl.tw, tl.th};
  const RECT BL{0, Rect.bottom - bl.th, bl.tw, Rect.bottom};
  const RECT TR{Rect.right - tr.tw, 0, Rect.right, tr.th};
  const RECT BR{Rect.right - br.tw, Rect.bottom - br.th, Rect.right, Rect.bottom};

  DrawPart(Bitmap, tl.source, Canvas, TL.left, TL.top, Transparent, kMaskColour);
  DrawPart(Bitmap, bl.source, Canvas, BL.left, BL.top, Transparent, kMaskColour);
  DrawStretched(Bitmap, RECT{0, hh, hw, BH - hh}, Canvas, RECT{0, TL.bottom, TL.right, BL.top}, Edge::Left);
  DrawPart(Bitmap, tr.source, Canvas, TR.left, TR.top, Transparent, kMaskColour);
  DrawPart(Bitmap, br.source, Canvas, BR.left, BR.top, Transparent, kMaskColour);
  DrawStretched(Bitmap, RECT{BW - hw + 1, BH - hh, BW, hh + 2}, Canvas, RECT{TR.left, TR.bottom, TR.right, BR.top},
                Edge::Right);
  DrawStretched(Bitmap, RECT{hw, 0, BW - hw + 1, hh}, Canvas, RECT{TL.right, 0, TR.left, TL.bottom}, Edge::Top);
  DrawStretched(Bitmap, RECT{hw, hh, BW - hw + 1, BH - hh}, Canvas, RECT{TL.right, TL.bottom, TR.left, BR.top - 1},
                Edge::Centre);
  DrawStretched(Bitmap, RECT{hw, BH - hh, BW - hw + 1, BH}, Canvas,
                RECT{TL.right - 1, BL.top - 1, BR.left, BR.bottom}, Edge::Bottom);
  return true;
}

}  // namespace skin
