#include <cstdint>

#include "skin/controls/Bars.h"
#include "skin/draw/PixelOps.h"
#include "skin/draw/Strips.h"
#include "skin/file/SkinBitmapWin.h"
#include "skin/theme/BuiltinTheme.h"

namespace skin {

namespace {

constexpr int kPictureItem = 24, kBackgroundItem = 26, kBorderItem = 25;
constexpr int kFileStart = 19, kFileFill = 20, kFileRest = 21, kFileEnd = 22;
constexpr int kFileBackground = 21, kFileBorder = 22;

void FillArea(HDC dc, RECT r, COLORREF colour) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH b = ::CreateSolidBrush(RealColor(colour));
  ::FillRect(dc, &r, b);
  ::DeleteObject(b);
}

// Stretches `from` into `to` keeping its first and last `edge` rows (or
// columns) unscaled across the other direction.
void DrawKeepingEdges(const Bitmap& from, HDC dc, RECT to, int edge, bool rows) {
  if (from.Empty() || to.left < 0 || to.right <= to.left || to.bottom <= to.top) return;
  const int len = rows ? from.Height() : from.Width();
  const int span = rows ? to.bottom - to.top : to.right - to.left;
  if (edge <= 0) edge = len / 3;
  if (edge > span / 2) edge = span / 2;
  if (edge * 2 > len) edge = len / 2;
  ::SetStretchBltMode(dc, COLORONCOLOR);
  auto blt = [&](int dFrom, int dLen, int sFrom, int sLen) {
    if (dLen <= 0 || sLen <= 0) return;
    if (rows)
      ::StretchBlt(dc, to.left, to.top + dFrom, to.right - to.left, dLen, from.Canvas(), 0, sFrom, from.Width(), sLen,
                   SRCCOPY);
    else
      ::StretchBlt(dc, to.left + dFrom, to.top, dLen, to.bottom - to.top, from.Canvas(), sFrom, 0, sLen, from.Height(),
                   SRCCOPY);
  };
  blt(0, edge, 0, edge);
  blt(span - edge, edge, len - edge, edge);
  blt(edge, span - 2 * edge, edge, len - 2 * edge);
}

}  // namespace

bool TskProgressBar::Create(HWND parent, int x, int y, int w, int h) {
  return CreateSkin(parent, L"TskProgressBar", L"", 0, x, y, w, h);
}

bool TskProgressBar::Create(HWND parent, int x, int y, int w, int h, int max) {
  if (!Create(parent, x, y, w, h)) return false;
  max_ = max;
  SetPosition(0);
  return true;
}

int TskProgressBar::GetPercent() const {
  if (max_ == min_) return 0;
  return static_cast<int>(static_cast<double>(static_cast<std::int64_t>(position_) - min_) /
                          (static_cast<std::int64_t>(max_) - min_) * 100);
}

int TskProgressBar::GetDoneExtent(int L) const {
  if (min_ >= max_ || min_ >= position_) return 0;
  if (position_ > max_) return L;
  return static_cast<int>(static_cast<double>(static_cast<std::int64_t>(position_) - min_) /
                          (static_cast<std::int64_t>(max_) - min_) * L);
}

void TskProgressBar::UpdateCaption() {
  caption_ = std::to_wstring(GetPercent()) + L"%";
  Repaint();
}

void TskProgressBar::SetOrientation(TskProgressBarOrientation o) {
  orientation_ = o;
  ApplyUIStyle();
  Repaint();
}

void TskProgressBar::ApplyUIStyle() {
  TskUIStyle style;
  start_.Clear();
  rest_.Clear();
  end_.Clear();
  if (ResolveStyle(style)) {
    LoadPicture(kPictureItem, kFileFill, 0, 0, picture_);
    SetColor(static_cast<COLORREF>(GetFileTheme()->GetColor(kFileBackground)));
    borderColor_ = static_cast<COLORREF>(GetFileTheme()->GetColor(kFileBorder));
    LoadPicture(kPictureItem, kFileStart, 0, 0, start_);
    LoadPicture(kPictureItem, kFileRest, 0, 0, rest_);
    LoadPicture(kPictureItem, kFileEnd, 0, 0, end_);
    if (orientation_ == skVertical) {
      RotateBitmap(start_);
      RotateBitmap(rest_);
      RotateBitmap(end_);
    }
  } else {
    if (!GetBuiltinThemeBitmap(style, kPictureItem, &picture_, 0, 0)) picture_.Clear();
    SetColor(GetBuiltinThemeColor(style, kBackgroundItem));
    borderColor_ = GetBuiltinThemeColor(style, kBorderItem);
  }
  if (orientation_ == skVertical && !picture_.Empty()) RotateBitmap(picture_);
  Repaint();
}

void TskProgressBar::DrawFilePieces(Bitmap& canvas) {
  HDC dc = canvas.Canvas();
  const int W = canvas.Width(), H = canvas.Height();
  canvas.Fill(RealColor(GetColor()));
  if (orientation_ == skHorizontal) {
    const int sw = start_.Width(), ew = end_.Width();
    const int d = GetDoneExtent(W - sw - ew) + sw;
    DrawKeepingEdges(start_, dc, RECT{0, 0, sw, H}, 2, true);
    DrawKeepingEdges(picture_, dc, RECT{sw, 0, d, H}, 2, true);
    DrawKeepingEdges(rest_, dc, RECT{d, 0, W - ew, H}, 2, true);
    DrawKeepingEdges(end_, dc, RECT{W - ew, 0, W, H}, 2, true);
  } else {
    const int sh = start_.Height(), eh = end_.Height();
    const int e = GetDoneExtent(H - eh - sh);
    const int t = H - eh - e;
    DrawKeepingEdges(start_, dc, RECT{0, H - sh, W, H}, 2, false);
    DrawKeepingEdges(picture_, dc, RECT{0, t, W, H - sh}, 2, false);
    DrawKeepingEdges(rest_, dc, RECT{0, eh, W, t}, 2, false);
    DrawKeepingEdges(end_, dc, RECT{0, 0, W, eh}, 2, false);
  }
}

void TskProgressBar::Draw(Bitmap& canvas) {
  HDC dc = canvas.Canvas();
  const int W = canvas.Width(), H = canvas.Height();
  TskUIStyle style;
  const bool pieces = ResolveStyle(style) && !start_.Empty() && !rest_.Empty() && !end_.Empty();
  bool framed = pieces;
  bool caption = showCaption_ && !(SmartShowCaption && position_ == min_);
  ::SetStretchBltMode(dc, COLORONCOLOR);
  if (pieces) {
    DrawFilePieces(canvas);
  } else if (orientation_ == skHorizontal) {
    int x = GetDoneExtent(W - 1);
    if (x == 0) x = 1;
    if (!picture_.Empty())
      ::StretchBlt(dc, 1, 1, x - 1, H - 2, picture_.Canvas(), 0, 0, picture_.Width(), picture_.Height(), SRCCOPY);
    else
      FillArea(dc, RECT{1, 1, x, H - 1}, ::GetSysColor(COLOR_HIGHLIGHT));  // no theme picture: a plain bar
    FillArea(dc, RECT{x, 1, W - 1, H - 1}, GetColor());
  } else {
    int y = H - 1 - GetDoneExtent(H - 1);
    if (y == 0) y = 1;
    // The part not yet done takes the background colour.
    FillArea(dc, RECT{1, 1, W - 1, y - 1}, GetColor());
    if (!picture_.Empty())
      ::StretchBlt(dc, 1, H - 2, W - 2, (y - 1) - (H - 2), picture_.Canvas(), 0, 0, picture_.Width(),
                   picture_.Height(), SRCCOPY);
    else
      FillArea(dc, RECT{1, y - 1, W - 1, H - 1}, ::GetSysColor(COLOR_HIGHLIGHT));
    caption = false;
  }
  if (caption) {
    ::SetTextColor(dc, RealColor(CaptionColor));
    ::SetBkMode(dc, TRANSPARENT);
    SIZE t{};
    ::GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &t);
    ::TextOutW(dc, (W - t.cx) / 2, (H - t.cy) / 2, caption_.c_str(), static_cast<int>(caption_.size()));
  }
  if (!framed) {
    RECT all{0, 0, W, H};
    HBRUSH b = ::CreateSolidBrush(RealColor(borderColor_));
    ::FrameRect(dc, &all, b);
    ::DeleteObject(b);
  }
}

}  // namespace skin
