// Border painting and the window region of the skinned frame.
#include "skin/draw/Fills.h"
#include "skin/draw/Strips.h"
#include "skin/form/FileLook.h"
#include "skin/form/SkinForm.h"

#include <algorithm>

namespace skin {
namespace {

// A rounded rectangle whose corners on one side only are round: `square`
// are the two corner squares added back.
HRGN HalfRounded(const RECT& r, int radius, const RECT square[2]) {
  HRGN rgn = ::CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, radius, radius);
  for (int i = 0; i < 2; ++i) {
    HRGN sq = ::CreateRectRgnIndirect(&square[i]);
    ::CombineRgn(rgn, rgn, sq, RGN_OR);
    ::DeleteObject(sq);
  }
  return rgn;
}

}  // namespace

void TskForm::PaintBorder() {
  if (Destroying_ || form_ == nullptr || ::IsIconic(form_)) return;
  RECT wr{};
  ::GetWindowRect(form_, &wr);
  HDC dc = ::GetWindowDC(form_);
  if (dc == nullptr) return;
  if (FileReady()) PaintFileBorder(dc, wr.right - wr.left, wr.bottom - wr.top);
  else PaintBuiltinBorder(dc, wr.right - wr.left, wr.bottom - wr.top);
  ::ReleaseDC(form_, dc);
}

void TskForm::PaintTopStrip(HDC dc, int W) {
  const Bitmap* p0 = TitleBar_.GetPartBitmap(0);
  const Bitmap* p1 = TitleBar_.GetPartBitmap(1);
  const Bitmap* p2 = TitleBar_.GetPartBitmap(2);
  int BW = BorderWidth_;
  Bitmap strip(3 - BW, p0->Height());
  DrawWhole(*p0, strip.Canvas(), 0, 0);
  DrawWhole(strip, dc, BW, 0);
  if (p1->Width() >= 3) DrawWhole(*p1, strip.Canvas(), 2 - p1->Width(), 0);
  else StretchWhole(*p1, strip.Canvas(), RECT{0, 0, strip.Width(), strip.Height()});
  DrawWhole(strip, dc, W - 3, 0);
  strip.SetSize(W - 5, 3);
  DrawWhole(*p0, strip.Canvas(), -2, 0);
  int rightAt = W - 5 - p1->Width() + 3;
  DrawWhole(*p1, strip.Canvas(), rightAt, 0);
  StretchWhole(*p2, strip.Canvas(), RECT{p0->Width() - 2, 0, rightAt, p2->Height()});
  DrawWhole(strip, dc, 2, 0);
  if (BW == 1 && RoundCorner() == 11) {
    int r = RoundCorner();
    HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(BorderColor_));
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::Arc(dc, W - 2 * r + 1, -1, W + 1, 2 * r - 1, W + 1, r - 1, W - r + 1, -1);
    ::Arc(dc, -1, -1, 2 * r - 1, 2 * r - 1, r - 1, -1, -1, r - 1);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
  }
}

void TskForm::PaintBuiltinBorder(HDC dc, int W, int H) {
  int BW = BorderWidth_;
  if (TitleBarVisible() && TitleBar_.HasAllSectionPictures()) {
    PaintTopStrip(dc, W);
  } else if (!TitleBarVisible()) {
    FillRectColor(dc, RECT{0, 0, W, 1}, BorderColor_);
    FillRectColor(dc, RECT{BW, 1, W - BW, 3}, Color_);
  }
  FillRectColor(dc, RECT{0, 0, BW, H}, BorderColor_);
  FillRectColor(dc, RECT{0, H - BW, W, H}, BorderColor_);
  FillRectColor(dc, RECT{W - BW, 0, W, H}, BorderColor_);
  if (BW >= 4) return;
  // The face between the ring and the content.
  FillRectColor(dc, RECT{BW, H - 2, W - BW, H - BW}, Color_);
  int top = GetTitleBarBottom() + MenuBarHeight();
  FillRectColor(dc, RECT{BW, top, 3, H - BW}, Color_);
  FillRectColor(dc, RECT{W - 3, top, W - BW, H - BW}, Color_);
  int menuTop = GetTitleBarBottom(), menuBottom = menuTop + MenuBarHeight();
  if (menuBottom <= menuTop) return;
  for (RECT side : {RECT{BW, menuTop, 3, menuBottom}, RECT{W - 3, menuTop, W - BW, menuBottom}}) {
    if (MenuBarColor_ != MenuBarToColor_) FillGradientVertical(dc, side, ColorToRGB(MenuBarColor_), ColorToRGB(MenuBarToColor_));
    else FillRectColor(dc, side, MenuBarColor_);
  }
}

void TskForm::ComposeBottomImage(int W) {
  BottomImage_.SetSize(W, BottomLeft_.Height());
  if (BottomImage_.Empty()) return;
  HDC c = BottomImage_.Canvas();
  if (FileTheme_ != nullptr && FileTheme_->GetBool(1)) {
    DrawWhole(BottomLeft_, c, 0, 0);
    int right = W - BottomRight_.Width();
    StretchWhole(BottomMiddle_, c, RECT{BottomLeft_.Width(), 0, right, BottomImage_.Height()});
    DrawWhole(BottomRight_, c, right, 0);
  } else {
    DrawThreePartBitmapTransparent(BottomLeft_, c, RECT{0, 0, W, BottomImage_.Height()}, true, TransparentColor_);
  }
}

void TskForm::PaintFileSide(HDC dc, const Bitmap& image, int x, int gapFrom, int gapTo, int top, int H) {
  StretchWhole(image, dc, RECT{x, top, x + image.Width(), H - BottomHeight_});
  if (gapTo <= gapFrom) return;
  COLORREF face = static_cast<COLORREF>(FileTheme_->GetColor(2));
  FillRectColor(dc, RECT{gapFrom, top, gapTo, H - BottomHeight_}, face);
  int menuTop = GetTitleBarBottom(), menuBottom = menuTop + MenuBarHeight();
  if (menuBottom <= menuTop) return;
  RECT beside{gapFrom, menuTop, gapTo, menuBottom};
  if (MenuBarColor_ != MenuBarToColor_) FillGradientVertical(dc, beside, ColorToRGB(MenuBarColor_), ColorToRGB(MenuBarToColor_));
  else FillRectColor(dc, beside, MenuBarColor_);
}

void TskForm::PaintFileBorder(HDC dc, int W, int H) {
  int T = TitleBarVisible() ? TitleBar_.Height() + 3 : 0;
  int left = std::max(LeftImageWidth_, 4), right = std::max(RightImageWidth_, 4);
  const Bitmap* framed = TitleBar_.GetPartBitmap(-2);
  if (TitleBarVisible() && TitleBar_.HasAllSectionPictures() && framed != nullptr && !framed->Empty()) {
    int iw = framed->Width(), ih = framed->Height();
    ::BitBlt(dc, 0, 0, left, ih, framed->Canvas(), 0, 0, SRCCOPY);
    ::BitBlt(dc, 0, 0, iw, 3, framed->Canvas(), 0, 0, SRCCOPY);
    ::BitBlt(dc, W - right, 0, right, ih, framed->Canvas(), iw - right, 0, SRCCOPY);
  }
  PaintFileSide(dc, LeftImage_, 0, LeftImage_.Width(), 4, T, H);
  PaintFileSide(dc, RightImage_, W - RightImage_.Width(), W - 4, W - RightImage_.Width(), T, H);
  ComposeBottomImage(W);
  COLORREF face = static_cast<COLORREF>(FileTheme_->GetColor(2));
  if (RegionFromBottom_ && !BottomImage_.Empty()) {
    Bitmap over(BottomImage_.Width(), BottomImage_.Height());
    over.Fill(ColorToRGB(face));
    DrawPart(BottomImage_, RECT{0, 0, over.Width(), over.Height()}, over.Canvas(), 0, 0, true, TransparentColor_);
    DrawWhole(over, dc, 0, H - BottomHeight_);
  } else {
    DrawWhole(BottomImage_, dc, 0, H - BottomHeight_);
  }
  if (BottomHeight_ < 4)
    FillRectColor(dc, RECT{LeftImageWidth_, H - 4, W - RightImageWidth_, H - BottomHeight_}, face);
}

void TskForm::UpdateWindowRegion() {
  if (form_ == nullptr || Destroying_) return;
  RECT wr{};
  ::GetWindowRect(form_, &wr);
  int W = wr.right - wr.left, H = wr.bottom - wr.top;
  if (FileReady()) {
    bool mdiAside = IsMdiChild() && (::IsZoomed(form_) || ::IsIconic(form_));
    if ((RegionFromTitle_ || RegionFromBottom_) && !mdiAside) {
      TitleBar_.PaintNow();
      ComposeBottomImage(W);
      SetSkinWindowRegion(form_, TitleBar_.GetPartBitmap(-1), &BottomImage_, W, H, TransparentColor_, BottomScanLast_,
                          BottomScanFirst_, TitleScanLast_, TitleScanFirst_, RegionFromBottom_, RegionFromTitle_);
    } else {
      ::SetWindowRgn(form_, ::CreateRectRgn(0, 0, W, H), TRUE);
    }
    return;
  }
  int half = H / 2;
  int r = RoundCorner(), rb = RoundCornerBottom();
  if (rb < 0) rb = 0;
  const RECT topSquares[2] = {{0, half - 2 * r, 2 * r, half}, {W - 2 * r, half - 2 * r, W, half}};
  const RECT bottomSquares[2] = {{0, half, 2 * rb, half + 2 * rb}, {W - 2 * rb, half, W, half + 2 * rb}};
  HRGN top = HalfRounded(RECT{0, 0, W + 1, half + 1}, r, topSquares);
  HRGN bottom = HalfRounded(RECT{0, half, W + 1, H + 1}, rb, bottomSquares);
  ::CombineRgn(top, top, bottom, RGN_OR);
  ::DeleteObject(bottom);
  // The system owns the region from here on.
  if (!::SetWindowRgn(form_, top, TRUE)) ::DeleteObject(top);
}

}  // namespace skin
