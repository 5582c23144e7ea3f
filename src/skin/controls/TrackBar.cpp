#include <windowsx.h>

#include <cmath>
#include <cstdint>

#include "skin/controls/Bars.h"
#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/PixelOps.h"
#include "skin/draw/Strips.h"
#include "skin/theme/BuiltinTheme.h"

namespace skin {

namespace {

constexpr int kBarItem = 28, kSliderItem = 29, kSliderVItem = 30;
constexpr int kFileBar = 23, kFileSlider = 24, kFileSliderV = 25;

// A plain raised slider for when the theme has no picture.
void PlainSlider(Bitmap& out, bool horizontal) {
  out.SetSize(horizontal ? 11 : 20, horizontal ? 20 : 11);
  out.Fill(::GetSysColor(COLOR_BTNFACE));
  RECT r{0, 0, out.Width(), out.Height()};
  ::DrawEdge(out.Canvas(), &r, EDGE_RAISED, BF_RECT);
}

std::int64_t Scale(std::int64_t a, std::int64_t b, std::int64_t c) { return c == 0 ? 0 : a * b / c; }

}  // namespace

TskTrackBar::TskTrackBar() = default;
TskTrackBar::~TskTrackBar() { repeat_.reset(); }

bool TskTrackBar::Create(HWND parent, int x, int y, int w, int h) {
  if (!CreateSkin(parent, KeepsOwnImages() ? L"TskScrollTrackBar" : L"TskTrackBar", L"", WS_TABSTOP, x, y, w, h))
    return false;
  if (!slider_.Create(hwnd_, L"", 0, 0, 11, 20)) return false;
  slider_.AutoSize = true;
  slider_.OnPress = [this](LPARAM l) {
    dragOffset_ = Horizontal() ? GET_X_LPARAM(l) : GET_Y_LPARAM(l);
    dragging_ = true;
    if (FocusOnMouseDown() && IsEnabled()) ::SetFocus(hwnd_);
    ::SetCapture(hwnd_);
  };
  if (KeepsOwnImages()) ::SetWindowLongW(hwnd_, GWL_STYLE, ::GetWindowLongW(hwnd_, GWL_STYLE) & ~WS_TABSTOP);
  Rebuild();
  return true;
}

void TskTrackBar::SetMin(int v) {
  if (v == min_) return;
  min_ = v > max_ ? max_ : v;
  if (position_ < min_) position_ = min_;
  UpdateSlider();
}

void TskTrackBar::SetMax(int v) {
  if (v == max_) return;
  max_ = v < min_ ? min_ : v;
  if (position_ > max_) position_ = max_;
  UpdateSlider();
}

void TskTrackBar::SetPosition(int v) {
  position_ = v < min_ ? min_ : (v > max_ ? max_ : v);
  UpdateSlider();
}

void TskTrackBar::SetOrientation(TskProgressBarOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  Rebuild();
}

void TskTrackBar::SetBarImage(const Bitmap& b) {
  barImage_.Assign(b);
  Rebuild();
}

void TskTrackBar::SetSliderImage(const Bitmap& b) {
  slider_.SetPicture(b);
  Repaint();
}

// A new style or file theme rebuilds the bar at once: pictures, size and slider.
void TskTrackBar::ApplyUIStyle() { Rebuild(); }

int TskTrackBar::BarThickness() const {
  // A plain groove stands in for a missing theme picture; the scroll bar's
  // track has no bar picture and draws none.
  if (barImage_.Empty()) return KeepsOwnImages() ? 0 : 4;
  return barImage_.Height();
}

void TskTrackBar::LoadThemeImages() {
  if (KeepsOwnImages()) return;
  TskUIStyle style;
  Bitmap slider;
  if (ResolveStyle(style)) {
    LoadPicture(kBarItem, kFileBar, 0, 0, barImage_);
    LoadPicture(kSliderItem, Horizontal() ? kFileSlider : kFileSliderV, 0, 0, slider);
    ReplaceBitmapColor(slider, static_cast<COLORREF>(GetFileTheme()->GetColor(0)),
                       static_cast<COLORREF>(GetFileTheme()->GetColor(2)));
  } else {
    if (!GetBuiltinThemeBitmap(style, kBarItem, &barImage_, 0, 0)) barImage_.Clear();
    if (!GetBuiltinThemeBitmap(style, Horizontal() ? kSliderItem : kSliderVItem, &slider, 0, 0)) slider.Clear();
  }
  if (slider.Empty()) PlainSlider(slider, Horizontal());
  slider_.SetTransparent(GetHorizontalBarFlag());
  slider_.AutoSize = true;
  slider_.SetPicture(slider);
  if (GetUIStyle() == MacOS) transparent_ = true;
}

void TskTrackBar::BuildBarBuffer() {
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  const int length = Horizontal() ? rc.right : rc.bottom;
  const int thickness = BarThickness();
  barBuffer_.SetSize(length, thickness);
  if (barBuffer_.Empty()) return;
  barBuffer_.Fill(RealColor(GetColor()));
  RECT all{0, 0, length, thickness};
  if (barImage_.Empty()) ::DrawEdge(barBuffer_.Canvas(), &all, EDGE_SUNKEN, BF_RECT);  // no theme picture
  else DrawThreePartBitmap(barImage_, barBuffer_.Canvas(), all, true, RealColor(GetColor()), false);
  if (!Horizontal()) RotateBitmap(barBuffer_);
}

void TskTrackBar::FitSize() {
  const int bar = BarThickness();
  const int slider = Horizontal() ? slider_.Height() : slider_.Width();
  const int want = bar > slider ? bar : slider;
  if (Horizontal() && Height() != want) SetBounds(Left(), Top(), Width(), want);
  else if (!Horizontal() && Width() != want) SetBounds(Left(), Top(), want, Height());
}

void TskTrackBar::Rebuild() {
  if (!Exists() || !slider_.Exists()) return;
  if (rebuilding_) return;  // fitting the size comes back here through WM_SIZE
  rebuilding_ = true;
  LoadThemeImages();
  FitSize();
  BuildBarBuffer();
  UpdateSlider();
  rebuilding_ = false;
}

POINT TskTrackBar::GetSliderPosition() const {
  RECT rc{};
  if (Exists()) ::GetClientRect(hwnd_, &rc);
  const int W = rc.right, H = rc.bottom;
  const int sw = slider_.Exists() ? slider_.Width() : 0, sh = slider_.Exists() ? slider_.Height() : 0;
  const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
  const std::int64_t offset = static_cast<std::int64_t>(position_) - min_;
  if (Horizontal())
    return POINT{static_cast<LONG>(Scale(W - sw, offset, range)), (H - sh > 0 ? H - sh : 0) / 2};
  return POINT{(W - sw > 0 ? W - sw : 0) / 2, static_cast<LONG>(Scale(H - sh, offset, range))};
}

int TskTrackBar::ValueAt(int x, int y) const {
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  const int span = Horizontal() ? rc.right - slider_.Width() : rc.bottom - slider_.Height();
  if (span == 0) return min_;
  const double at = Horizontal() ? x - dragOffset_ : y - dragOffset_;
  const double value = std::nearbyint(at * (static_cast<double>(max_) - min_) / span) + min_;
  return static_cast<int>(value < -2147483648.0 ? -2147483648.0 : (value > 2147483647.0 ? 2147483647.0 : value));
}

std::vector<int> TskTrackBar::TickPositions() const {
  std::vector<int> ticks;
  if (min_ == max_ || !Exists()) return ticks;
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  const int slider = Horizontal() ? slider_.Width() : slider_.Height();
  const int span = (Horizontal() ? rc.right : rc.bottom) - slider;
  const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
  auto at = [&](std::int64_t v) { return static_cast<int>(Scale(v - min_, span, range) + slider / 2); };
  // A frequency of zero or less draws only the two ends.
  if (Frequency > 0)
    for (std::int64_t v = min_; v < max_; v += Frequency) ticks.push_back(at(v));
  else
    ticks.push_back(at(min_));
  ticks.push_back(at(max_));
  return ticks;
}

void TskTrackBar::UpdateSlider() {
  if (slider_.Exists()) PlaceControlAt(slider_, GetSliderPosition());
  Repaint();
  if (position_ != previous_) {
    lastChange_ = position_ - previous_;
    previous_ = position_;
    if (OnChange) OnChange();
  }
}

void TskTrackBar::Draw(Bitmap& canvas) {
  HDC dc = canvas.Canvas();
  const int W = canvas.Width(), H = canvas.Height();
  PaintBackground(canvas);
  if (!barBuffer_.Empty()) {
    const int thick = BarThickness();
    if (Horizontal())
      ::BitBlt(dc, 0, (H - thick) / 2, barBuffer_.Width(), barBuffer_.Height(), barBuffer_.Canvas(), 0, 0, SRCCOPY);
    else
      ::BitBlt(dc, (W - thick) / 2, 0, barBuffer_.Width(), barBuffer_.Height(), barBuffer_.Canvas(), 0, 0, SRCCOPY);
  }
  if (IsFocused() && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_TABSTOP)) {
    RECT all{0, 0, W, H};
    ::DrawFocusRect(dc, &all);
  }
  if (!ShowTick) return;
  HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  for (int p : TickPositions()) {
    if (Horizontal()) {
      ::MoveToEx(dc, p, H - 3, nullptr);
      ::LineTo(dc, p, H);
    } else {
      ::MoveToEx(dc, 0, p, nullptr);
      ::LineTo(dc, 3, p);
      ::MoveToEx(dc, W - 3, p, nullptr);
      ::LineTo(dc, W, p);
    }
  }
  ::SelectObject(dc, old);
}

void TskTrackBar::PageTowards(POINT p, int page) {
  const POINT s = GetSliderPosition();
  const int click = Horizontal() ? p.x : p.y, at = Horizontal() ? s.x : s.y;
  const int value = ValueAt(p.x, p.y);
  const std::int64_t pos = position_;
  if (click > at) SetPosition(static_cast<int>(pos + page < value ? pos + page : value));
  else if (click < at) SetPosition(static_cast<int>(pos - page > value ? pos - page : value));
}

LRESULT TskTrackBar::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      PageTowards(p, pageSize_);
      if (!repeat_) {
        repeat_ = std::make_unique<ui::Timer>();
        repeat_->SetInterval(100);
        repeat_->OnTimer = [this] {
          POINT c{};
          ::GetCursorPos(&c);
          ::ScreenToClient(hwnd_, &c);
          PageTowards(c, Horizontal() ? 3 * pageSize_ : pageSize_);
        };
        repeat_->SetEnabled(true);
      }
      if (FocusOnMouseDown() && IsEnabled()) ::SetFocus(hwnd_);
      ::SetCapture(hwnd_);
      return 0;
    }
    case WM_MOUSEMOVE: {
      int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
      if (dragging_) {
        int v = ValueAt(x, y);
        position_ = v < min_ ? min_ : (v > max_ ? max_ : v);
        UpdateSlider();
      } else {
        RECT rc{};
        ::GetClientRect(hwnd_, &rc);
        if (x < 0 || y < 0 || x > rc.right || y > rc.bottom) repeat_.reset();
      }
      return SkinControl::OnMessage(msg, w, l);
    }
    case WM_LBUTTONUP:
      repeat_.reset();
      dragging_ = false;
      if (::GetCapture() == hwnd_) ::ReleaseCapture();
      return 0;
    case WM_KEYDOWN: {
      const std::int64_t p = position_;
      auto go = [this](std::int64_t v) {
        SetPosition(static_cast<int>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v)));
      };
      switch (w) {
        case VK_PRIOR: go(p - pageSize_); break;
        case VK_NEXT: go(p + pageSize_); break;
        case VK_END: go(max_); break;
        case VK_HOME: go(min_); break;
        case VK_LEFT: case VK_UP: go(p - lineSize_); break;
        case VK_RIGHT: case VK_DOWN: go(p + lineSize_); break;
        default: break;
      }
      return 0;
    }
    case WM_SIZE:
      Rebuild();
      return 0;
    default:
      return SkinControl::OnMessage(msg, w, l);
  }
}

}  // namespace skin
