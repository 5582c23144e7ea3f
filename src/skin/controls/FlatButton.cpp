#include "skin/controls/FlatButton.h"

#include <windowsx.h>

#include <memory>

#include "skin/controls/Buttons.h"
#include "skin/controls/FlatColors.h"
#include "skin/draw/Fills.h"
#include "skin/draw/Strips.h"
#include "ui/Timer.h"

namespace skin {

namespace {

// Shared by every flat button of the process: the hot-tracking timer, made
// with the first button and freed with the last, and the button now hot.
int g_buttonCount = 0;
std::unique_ptr<ui::Timer> g_hotTimer;
TFlatButton* g_hot = nullptr;

int Half(int v) { return v / 2; }

void CopyParentBackground(HWND control, HDC canvas) {
  HWND parent = ::GetParent(control);
  if (parent == nullptr) return;
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  int saved = ::SaveDC(canvas);
  POINT old{};
  ::SetViewportOrgEx(canvas, -r.left, -r.top, &old);
  RECT pc{};
  ::GetClientRect(parent, &pc);
  ::IntersectClipRect(canvas, pc.left, pc.top, pc.right, pc.bottom);
  ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas), 0);
  ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas), PRF_CLIENT);
  ::RestoreDC(canvas, saved);
}

}  // namespace

void LayoutGlyphAndCaption(HDC Canvas, const RECT& Client, POINT Offset, const std::wstring& Caption,
                           int NumGlyphs, const Bitmap& Glyph, int Margin, int Spacing, TFlatLayout Layout,
                           POINT& GlyphPos, RECT& TextBounds) {
  const int cw = Client.right - Client.left, ch = Client.bottom - Client.top;
  SIZE g{0, 0};
  if (!Glyph.Empty()) g = {Glyph.Width() / (NumGlyphs > 0 ? NumGlyphs : 1), Glyph.Height()};
  SIZE t{0, 0};
  if (!Caption.empty()) {
    RECT r{0, 0, cw, 0};
    ::DrawTextW(Canvas, Caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    t = {r.right - r.left, r.bottom - r.top};
  }
  const bool horizontal = Layout == flGlyphLeft || Layout == flGlyphRight;
  if (horizontal) {
    GlyphPos.y = Half(ch - g.cy + 1);
    TextBounds.top = Half(ch - t.cy + 1);
  } else {
    GlyphPos.x = Half(cw - g.cx + 1);
    TextBounds.left = Half(cw - t.cx + 1);
  }
  if (t.cx == 0 || g.cx == 0) Spacing = 0;
  const int extent = horizontal ? cw : ch, gl = horizontal ? g.cx : g.cy, tl = horizontal ? t.cx : t.cy;
  if (Margin == -1 && Spacing == -1) {
    Margin = Spacing = (extent - gl - tl) / 3;
  } else if (Margin == -1) {
    Margin = Half(extent - (gl + Spacing + tl) + 1);
  } else if (Spacing == -1) {
    Spacing = Half(extent - Margin - gl - tl);
  }
  switch (Layout) {
    case flGlyphLeft:
      GlyphPos.x = Margin;
      TextBounds.left = GlyphPos.x + g.cx + Spacing;
      break;
    case flGlyphRight:
      GlyphPos.x = cw - Margin - g.cx;
      TextBounds.left = GlyphPos.x - Spacing - t.cx;
      break;
    case flGlyphTop:
      GlyphPos.y = Margin;
      TextBounds.top = GlyphPos.y + g.cy + Spacing;
      break;
    case flGlyphBottom:
      GlyphPos.y = ch - Margin - g.cy;
      TextBounds.top = GlyphPos.y - Spacing - t.cy;
      break;
  }
  GlyphPos.x += Client.left + Offset.x;
  GlyphPos.y += Client.top + Offset.y;
  TextBounds.left += Client.left + Offset.x;
  TextBounds.top += Client.top + Offset.y;
  TextBounds.right = TextBounds.left + t.cx;
  TextBounds.bottom = TextBounds.top + t.cy;
}

TFlatButton::TFlatButton() {
  if (g_buttonCount++ == 0) {
    g_hotTimer = std::make_unique<ui::Timer>();
    g_hotTimer->SetInterval(100);
    g_hotTimer->OnTimer = &TFlatButton::HotTick;
  }
}

TFlatButton::~TFlatButton() {
  if (g_hot == this) g_hot = nullptr;
  if (Exists()) ::DestroyWindow(hwnd_);
  if (--g_buttonCount == 0) g_hotTimer.reset();
}

bool TFlatButton::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  return CreateCustom(parent, L"TFlatButton", caption, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, 0, x, y, w, h);
}

void TFlatButton::Repaint() {
  if (Exists()) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void TFlatButton::SetIndexedColor(int index, COLORREF colour) {
  if (index < 0 || index >= 5) return;
  colors_[index] = colour;
  Repaint();
}

void TFlatButton::SetColors(COLORREF color, COLORREF focused, COLORREF border) {
  color_ = color;
  parentColor_ = false;
  colors_[0] = focused;
  colors_[2] = border;
  Repaint();
}

void TFlatButton::SetColor(COLORREF colour) {
  color_ = colour;
  parentColor_ = false;
  UpdateAdvColors();
  Repaint();
}

void TFlatButton::SetUseAdvColors(bool value) {
  useAdvColors_ = value;
  SetParentColor(value);
  UpdateAdvColors();
  Repaint();
}

void TFlatButton::SetParentColor(bool value) {
  parentColor_ = value;
  if (value) ParentColorChanged();
}

// The parent's colour (or the system's) changed: take it again when
// following it, and derive the other colours anew.
void TFlatButton::ParentColorChanged() {
  if (parentColor_ && Exists()) color_ = ParentFaceColour(hwnd_);
  UpdateAdvColors();
  Repaint();
}

void TFlatButton::SetAdvColor(int index, BYTE value) {
  advColors_[index] = value;
  UpdateAdvColors();
  Repaint();
}

void TFlatButton::SetFontColor(COLORREF colour) {
  fontColor_ = colour;
  Repaint();
}

void TFlatButton::UpdateAdvColors() {
  if (!useAdvColors_) return;
  colors_[0] = ShiftColorLightness(color_, colors_[0], advColors_[0], false);
  colors_[1] = ShiftColorLightness(color_, colors_[1], advColors_[1], true);
  colors_[2] = ShiftColorLightness(color_, colors_[2], advColors_[2], true);
}

void TFlatButton::SetGlyph(const Bitmap& glyph) {
  glyph_.Assign(glyph);
  if (glyph_.Height() > 0 && glyph_.Width() % glyph_.Height() == 0) {
    int n = glyph_.Width() / glyph_.Height();
    NumGlyphs = n > 4 || n < 1 ? 1 : n;
  }
  Repaint();
}

void TFlatButton::SetGroupIndex(int value) {
  groupIndex_ = value;
  BroadcastGroup();
}

void TFlatButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
  BroadcastGroup();
}

void TFlatButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  if (value) {
    state_ = fbsExclusive;
    BroadcastGroup();
  } else {
    state_ = fbsUp;
  }
  Repaint();
}

void TFlatButton::BroadcastGroup() {
  if (groupIndex_ == 0 || !Exists()) return;
  HWND parent = ::GetParent(hwnd_);
  for (HWND c = parent ? ::GetWindow(parent, GW_CHILD) : nullptr; c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
    ::SendMessageW(c, kFlatGroupMessage, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this));
}

void TFlatButton::Click() {
  if (Exists() && ::GetParent(hwnd_) != nullptr) SetParentFormModalResult(hwnd_, ModalResult);
  if (OnClick) OnClick();
}

void TFlatButton::BecomeHot() {
  if (g_hot == this) return;
  if (g_hot != nullptr) g_hot->Leave();
  if (::GetActiveWindow() == nullptr) return;
  if (g_hotTimer) {
    g_hotTimer->SetEnabled(false);
    g_hotTimer->SetEnabled(true);
  }
  g_hot = this;
  mouseIn_ = true;
  Repaint();
  if (OnMouseEnter) OnMouseEnter();
}

void TFlatButton::Leave() {
  if (!dragging_) mouseIn_ = false;
  if (g_hot == this) {
    g_hot = nullptr;
    if (g_hotTimer) g_hotTimer->SetEnabled(false);
  }
  Repaint();
  if (OnMouseLeave) OnMouseLeave();
}

void TFlatButton::HotTick() {
  if (g_hot == nullptr) {
    if (g_hotTimer) g_hotTimer->SetEnabled(false);
    return;
  }
  POINT p{};
  ::GetCursorPos(&p);
  if (::WindowFromPoint(p) != g_hot->Handle()) g_hot->Leave();
}

bool TFlatButton::Inside(LPARAM l) const {
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
  return x >= 0 && x < rc.right && y >= 0 && y <= rc.bottom;
}

COLORREF TFlatButton::FaceColour() const {
  switch (state_) {
    case fbsUp:
      return mouseIn_ ? colors_[0] : color_;
    case fbsDisabled:
      return color_;
    case fbsDown:
      return colors_[1];
    case fbsExclusive:
      return mouseIn_ ? colors_[0] : colors_[1];
  }
  return color_;
}

void TFlatButton::PaintTo(Bitmap& canvas) {
  RECT rc{};
  if (Exists()) ::GetClientRect(hwnd_, &rc);
  canvas.SetSize(rc.right, rc.bottom);
  if (canvas.Empty()) return;
  HGDIOBJ old = ::SelectObject(canvas.Canvas(), font_);
  Draw(canvas);
  ::SelectObject(canvas.Canvas(), old);
}

void TFlatButton::Draw(Bitmap& canvas) {
  HDC dc = canvas.Canvas();
  RECT client{0, 0, canvas.Width(), canvas.Height()};
  if (!Enabled()) {
    state_ = fbsDisabled;
    dragging_ = false;
  } else if (state_ == fbsDisabled) {
    state_ = down_ && groupIndex_ != 0 ? fbsExclusive : fbsUp;
  }
  const bool pressed = state_ == fbsDown || state_ == fbsExclusive;
  std::wstring caption = Text();
  POINT glyphAt{};
  RECT textAt{};
  LayoutGlyphAndCaption(dc, client, pressed ? POINT{1, 1} : POINT{0, 0}, caption, NumGlyphs, glyph_, margin_,
                        Spacing, Layout, glyphAt, textAt);
  if (TransparentMode == tmAlways || (TransparentMode == tmNotFocused && !mouseIn_))
    CopyParentBackground(hwnd_, dc);
  else
    canvas.Fill(ColorToRGB(FaceColour()));
  const COLORREF border = colors_[2], light = colors_[3], shadow = colors_[4];
  if (state_ == fbsDisabled) DrawTwoColorFrame(dc, client, border, 1, border);
  else if (pressed) DrawTwoColorFrame(dc, client, shadow, 1, light);
  else if (mouseIn_) DrawTwoColorFrame(dc, client, light, 1, shadow);
  else DrawTwoColorFrame(dc, client, border, Default ? 2 : 1, border);
  if (!glyph_.Empty()) {
    static const int kImage[4][4] = {{1, 1, 1, 1}, {1, 2, 1, 1}, {1, 2, 3, 3}, {1, 2, 3, 4}};
    const int n = NumGlyphs < 1 || NumGlyphs > 4 ? 1 : NumGlyphs;
    const int gw = glyph_.Width() / n;
    RECT part{(kImage[n - 1][state_] - 1) * gw, 0, kImage[n - 1][state_] * gw, glyph_.Height()};
    if (n == 1 && state_ == fbsDisabled) {
      Bitmap disabled;
      MakeDisabledGlyph(glyph_, glyph_.Pixel(0, glyph_.Height() - 1), ::GetSysColor(COLOR_BTNFACE), disabled);
      DrawPart(disabled, part, dc, glyphAt.x, glyphAt.y, true, disabled.Pixel(0, disabled.Height() - 1));
    } else {
      DrawPart(glyph_, part, dc, glyphAt.x, glyphAt.y, true, glyph_.Pixel(0, glyph_.Height() - 1));
    }
  }
  ::SetBkMode(dc, TRANSPARENT);
  if (state_ == fbsDisabled) {
    RECT shade = textAt;
    ::OffsetRect(&shade, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextW(dc, caption.c_str(), -1, &shade, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
  } else {
    ::SetTextColor(dc, ColorToRGB(fontColor_));
  }
  ::DrawTextW(dc, caption.c_str(), -1, &textAt, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (::GetFocus() == hwnd_) DrawFocusCue(dc, client);
}

void TFlatButton::DrawFocusCue(HDC dc, RECT r) {
  // Inside the border, so that the keyboard user sees which button Space presses.
  ::InflateRect(&r, -3, -3);
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkColor(dc, RGB(255, 255, 255));
  ::DrawFocusRect(dc, &r);
}

LRESULT TFlatButton::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      Bitmap buffer;
      PaintTo(buffer);
      if (!buffer.Empty()) ::BitBlt(dc, 0, 0, buffer.Width(), buffer.Height(), buffer.Canvas(), 0, 0, SRCCOPY);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case kFlatGroupMessage: {
      auto* sender = reinterpret_cast<TFlatButton*>(l);
      if (sender == this || static_cast<int>(w) != groupIndex_ || groupIndex_ == 0) return 0;
      if (sender->down_ && down_) {
        down_ = false;
        state_ = fbsUp;
        Repaint();
      }
      allowAllUp_ = sender->allowAllUp_;
      return 0;
    }
    case WM_MOUSEMOVE: {
      POINT p{};
      ::GetCursorPos(&p);
      if (g_hot != this && ::WindowFromPoint(p) == hwnd_) BecomeHot();
      if (dragging_) {
        TFlatButtonState was = state_;
        state_ = Inside(l) ? (down_ ? fbsExclusive : fbsDown) : (down_ ? fbsExclusive : fbsUp);
        if (state_ != was) Repaint();
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (msg == WM_LBUTTONDBLCLK && down_ && OnDblClick) OnDblClick();
      if (!Enabled()) return 0;
      if (!down_) state_ = fbsDown;
      dragging_ = true;
      ::SetFocus(hwnd_);
      ::SetCapture(hwnd_);
      Repaint();
      return 0;
    case WM_LBUTTONUP: {
      if (::GetCapture() == hwnd_) ::ReleaseCapture();
      if (!dragging_) return 0;
      dragging_ = false;
      const bool inside = Inside(l);
      if (groupIndex_ == 0) {
        state_ = fbsUp;
        if (inside) Repaint();
      } else if (inside) {
        SetDown(!down_);
        if (down_) state_ = fbsExclusive;
      } else {
        state_ = down_ ? fbsExclusive : fbsUp;
      }
      Repaint();
      if (inside) Click();
      else Leave();
      return 0;
    }
    case WM_SETFOCUS:
      if (Enabled()) BecomeHot();
      Repaint();
      return 0;
    case WM_KILLFOCUS:
      if (g_hot == this) Leave();
      Repaint();
      return 0;
    case WM_KEYDOWN:
      if (w == VK_SPACE) {
        if (groupIndex_ != 0) SetDown(true);
        else state_ = fbsDown;
        Repaint();
      }
      return 0;
    case WM_KEYUP:
      if (w == VK_SPACE) {
        if (groupIndex_ != 0) SetDown(false);
        else state_ = fbsUp;
        Click();
        Repaint();
      }
      return 0;
    case WM_ENABLE:
      if (w == 0) {
        state_ = fbsDisabled;
        if (g_hot == this) Leave();
        mouseIn_ = false;
      }
      Repaint();
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefaultProc(msg, w, l);
      Repaint();
      return r;
    }
    case WM_SIZE:
    case WM_MOVE:
      if (TransparentMode != tmNone) Repaint();
      return DefaultProc(msg, w, l);
    case WM_GETDLGCODE:
      // A push button: Enter clicks it while it has the focus.
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BM_CLICK:  // the dialog manager's answer to the caption's "&" letter
      if (Enabled()) {
        if (groupIndex_ != 0) SetDown(true);
        Click();
      }
      return 0;
    case WM_SETFONT:
      font_ = w != 0 ? reinterpret_cast<HFONT>(w) : ui::DefaultFont();
      Repaint();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case kParentColorChanged:
    case WM_SYSCOLORCHANGE:
      ParentColorChanged();
      return 0;
    default:
      return DefaultProc(msg, w, l);
  }
}

}  // namespace skin
