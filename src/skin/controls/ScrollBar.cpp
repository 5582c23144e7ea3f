#include "skin/controls/Bars.h"
#include "skin/draw/PixelOps.h"
#include "skin/draw/Strips.h"
#include "skin/theme/BuiltinTheme.h"

namespace skin {

namespace {

constexpr int kColourItem = 31, kButtonItem = 32, kTrackItem = 33;
constexpr int kFileColour = 25, kFileBack = 26, kFileTrack = 27, kFileForward = 28;

// Plain pictures for when the theme has none: an arrow face and a thumb piece.
void PlainArrow(Bitmap& out, bool forward, bool horizontal, int cell) {
  out.SetSize(16, 16);
  RECT r{0, 0, 16, 16};
  UINT kind = horizontal ? (forward ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT) : (forward ? DFCS_SCROLLDOWN : DFCS_SCROLLUP);
  ::DrawFrameControl(out.Canvas(), &r, DFC_SCROLL, kind | (cell == 3 ? DFCS_PUSHED : 0));
}

void PlainPiece(Bitmap& out) {
  out.SetSize(16, 16);
  out.Fill(::GetSysColor(COLOR_BTNFACE));
  RECT r{0, 0, 16, 16};
  ::DrawEdge(out.Canvas(), &r, EDGE_RAISED, BF_RECT);
}

}  // namespace

bool TskScrollBar::Create(HWND parent, int x, int y, int w, int h, TskProgressBarOrientation o) {
  orientation_ = o;
  if (!CreateSkin(parent, L"TskScrollBar", L"", 0, x, y, w, h)) return false;
  if (!track_.Create(hwnd_, 0, 0, 10, 10)) return false;
  track_.ShowTick = false;
  track_.SetTransparent(false);
  track_.SetMax(100);
  for (TskImageButton* b : {&forward_, &back_}) {
    if (!b->Create(hwnd_, L"", 0, 0, 16, 16)) return false;
    b->MouseContinuouslyDownInterval = 100;
    ::SetWindowLongW(b->Handle(), GWL_STYLE, ::GetWindowLongW(b->Handle(), GWL_STYLE) & ~WS_TABSTOP);
  }
  forward_.OnMouseContinuouslyDown = [this] { StepForward(); };
  back_.OnMouseContinuouslyDown = [this] { StepBack(); };
  created_ = true;
  ApplyUIStyle();
  return true;
}

// The pictures set the bar's colour, which the track then takes (ColorChanged).
void TskScrollBar::ApplyUIStyle() {
  if (!created_) return;
  UpdatePictures();
  ArrangeParts();
}

void TskScrollBar::ColorChanged() {
  if (created_) track_.SetColor(GetColor());
}

void TskScrollBar::SetOrientation(TskProgressBarOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  UpdatePictures();
  ArrangeParts();
}

void TskScrollBar::SetPageSize(int v) {
  track_.SetPageSize(v);
  LayoutParts();
}

int TskScrollBar::TrackLength() const {
  if (!created_) return 0;
  const bool h = orientation_ == skHorizontal;
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  return (h ? rc.right : rc.bottom) - (h ? back_.Width() + forward_.Width() : back_.Height() + forward_.Height());
}

void TskScrollBar::SetLineButton(int v) {
  if (v == lineButton_ || v > TrackLength()) return;
  lineButton_ = v;
  LayoutParts();
}

void TskScrollBar::UpdatePictures() {
  const bool horizontal = orientation_ == skHorizontal;
  TskUIStyle style;
  const bool file = ResolveStyle(style);
  Bitmap* backPics[] = {&back_.PicNormal, &back_.PicMouseOn, &back_.PicMouseDown};
  Bitmap* forwardPics[] = {&forward_.PicNormal, &forward_.PicMouseOn, &forward_.PicMouseDown};
  Bitmap* pieces[] = {&start_, &middle_, &end_};
  if (file) SetColor(static_cast<COLORREF>(GetFileTheme()->GetColor(kFileColour)));
  else SetColor(GetBuiltinThemeColor(style, kColourItem));
  for (int i = 0; i < 3; ++i) {
    bool ok;
    if (file) {
      Bitmap track;
      ok = LoadPicture(kTrackItem, kFileTrack, 0, 0, track);
      if (ok) RotateBitmap(track);
      ok = ok && CutBitmapPart(track, *pieces[i], 3, i + 1);
      bool b = LoadPicture(kButtonItem, kFileBack, 3, i + 1, *backPics[i]);
      bool f = LoadPicture(kButtonItem, kFileForward, 3, i + 1, *forwardPics[i]);
      if (!b) PlainArrow(*backPics[i], false, horizontal, i + 1);
      else if (horizontal) RotateBitmap(*backPics[i]);
      if (!f) PlainArrow(*forwardPics[i], true, horizontal, i + 1);
      else if (horizontal) RotateBitmap(*forwardPics[i]);
    } else {
      ok = GetBuiltinThemeBitmap(style, kTrackItem, pieces[i], 3, i + 1);
      bool b = GetBuiltinThemeBitmap(style, kButtonItem, backPics[i], 6, i + 1);
      bool f = GetBuiltinThemeBitmap(style, kButtonItem, forwardPics[i], 6, i + 4);
      if (!b) PlainArrow(*backPics[i], false, horizontal, i + 1);
      else if (horizontal) RotateBitmap(*backPics[i]);
      if (!f) PlainArrow(*forwardPics[i], true, horizontal, i + 1);
      else if (horizontal) RotateBitmap(*forwardPics[i]);
    }
    if (!ok) PlainPiece(*pieces[i]);
    else if (!horizontal) RotateBitmapBack(*pieces[i]);
  }
  back_.SetAutoSize(true);
  forward_.SetAutoSize(true);
  back_.PicturesChanged();
  forward_.PicturesChanged();
  Repaint();
}

void TskScrollBar::ArrangeParts() {
  if (!created_) return;
  if (arranging_) return;  // resizing itself comes back here through WM_SIZE
  arranging_ = true;
  track_.SetOrientation(orientation_);
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  if (rc.right == 0 || rc.bottom == 0) {
    Show(false);
    arranging_ = false;
    return;
  }
  if (orientation_ == skHorizontal) {
    back_.SetBounds(0, 0, back_.Width(), back_.Height());
    int len = rc.right - back_.Width() - forward_.Width();
    track_.SetBounds(back_.Width(), 0, len < 0 ? 0 : len, back_.Height());
    forward_.SetBounds(rc.right - forward_.Width(), 0, forward_.Width(), forward_.Height());
    SetBounds(Left(), Top(), Width(), back_.Height());
  } else {
    back_.SetBounds(0, 0, back_.Width(), back_.Height());
    int len = rc.bottom - back_.Height() - forward_.Height();
    track_.SetBounds(0, back_.Height(), back_.Width(), len < 0 ? 0 : len);
    forward_.SetBounds(0, rc.bottom - forward_.Height(), forward_.Width(), forward_.Height());
    SetBounds(Left(), Top(), back_.Width(), Height());
  }
  arranging_ = false;
  LayoutParts();
}

void TskScrollBar::LayoutParts() {
  if (!created_) return;
  const bool horizontal = orientation_ == skHorizontal;
  const int thickness = horizontal ? start_.Height() : start_.Width();
  const int trackLength = TrackLength();
  int length = 0;
  if (lineButton_ > 0) {
    length = lineButton_ < 16 ? 16 : lineButton_;
  } else {
    int p = track_.GetPageSize();
    if (p < 10 || p > 100) p = 10;
    if (trackLength > 0) length = trackLength * p / 100;
  }
  if (length <= 0 || thickness <= 0) return;
  Bitmap thumb(horizontal ? length : thickness, horizontal ? thickness : length);
  HDC dc = thumb.Canvas();
  ::SetStretchBltMode(dc, COLORONCOLOR);
  // Copies `sLen` pixels of `src` from `sFrom` along the bar into `dLen` pixels from `dFrom`.
  auto along = [&](const Bitmap& src, int dFrom, int dLen, int sFrom, int sLen) {
    if (dLen <= 0 || sLen <= 0 || src.Empty()) return;
    if (horizontal) ::StretchBlt(dc, dFrom, 0, dLen, thickness, src.Canvas(), sFrom, 0, sLen, src.Height(), SRCCOPY);
    else ::StretchBlt(dc, 0, dFrom, thickness, dLen, src.Canvas(), 0, sFrom, src.Width(), sLen, SRCCOPY);
  };
  auto lengthOf = [&](const Bitmap& b) { return horizontal ? b.Width() : b.Height(); };
  const int startLen = lengthOf(start_), midLen = lengthOf(middle_), endLen = lengthOf(end_);
  along(start_, 0, startLen, 0, startLen);
  TskUIStyle style;
  if (!ResolveStyle(style)) {
    along(end_, length - endLen, endLen, 0, endLen);
    along(middle_, startLen, length - endLen - startLen, 0, midLen);
  } else {
    // Skin-file thumbs keep 3-pixel ends and an unstretched grip in the middle.
    along(end_, length - 3, 3, endLen - 3, 3);
    if (length - 6 >= midLen) {
      const int at = (length - 6 - midLen) / 2 + 3;
      along(middle_, at, midLen, 0, midLen);
      along(start_, 3, at - 3, 3, startLen - 3);
      along(end_, at + midLen, length - 3 - (at + midLen), 0, endLen - 3);
    } else {
      along(middle_, 3, length - 6, 0, midLen);
    }
  }
  track_.SetSliderImage(thumb);
  track_.FitSliderToImage();
}

LRESULT TskScrollBar::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SIZE:
      ArrangeParts();
      return 0;
    case WM_SHOWWINDOW:
      if (created_) {
        track_.Show(w != 0);
        forward_.Show(w != 0);
        back_.Show(w != 0);
      }
      return DefaultProc(msg, w, l);
    default:
      return SkinControl::OnMessage(msg, w, l);
  }
}

}  // namespace skin
