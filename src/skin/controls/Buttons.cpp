#include "skin/controls/Buttons.h"

#include <windowsx.h>

#include "skin/controls/FlatColors.h"

#include "skin/draw/NinePart.h"
#include "skin/draw/Strips.h"
#include "skin/theme/BuiltinTheme.h"
#include "ui/Form.h"

namespace skin {

namespace {

constexpr int kButtonItem = 1;
constexpr int kButtonTransparentItem = 2;
constexpr int kFileButtonBitmap = 15;
constexpr int kFileButtonTransparentFlag = 5;
constexpr int kFileButtonCaptionColour = 24;

bool NoModifiers() {
  return ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0;
}

// The pixels of `part` of `picture` other than the picture's top-left colour, at (x, y).
void DrawMasked(const Bitmap& picture, HDC to, int x, int y, const RECT& part) {
  DrawPart(picture, part, to, x, y, true, picture.Pixel(0, 0));
}

}  // namespace

void SetParentFormModalResult(HWND control, int result) {
  HWND root = ::GetAncestor(control, GA_ROOT);
  ui::Form* form = ui::Form::FromHandle(root);
  if (form != nullptr && root != control) form->SetModalResult(result);
}

// ---- TskCustomButton -------------------------------------------------------

bool TskCustomButton::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h,
                             DWORD extraStyle) {
  if (!CreateSkin(parent, L"TskButton", caption, WS_TABSTOP, x, y, w, h)) return false;
  if ((extraStyle & 0x0F) == BS_DEFPUSHBUTTON) SetDefault(true);
  AutoSizeToPicture();
  return true;
}

void TskCustomButton::SetAutoSize(bool value) {
  autoSize_ = value;
  AutoSizeToPicture();
  Repaint();
}

void TskCustomButton::SetDefault(bool value) {
  default_ = value;
  Repaint();
}

void TskCustomButton::SetTransparent(bool value) {
  pictureTransparent_ = value;
  SkinControl::SetTransparent(value);
}

bool TskCustomButton::IsActiveDefault() const {
  HWND focus = ::GetFocus();
  auto* focused = dynamic_cast<TskButton*>(focus != nullptr ? ui::Control::FromHandle(focus) : nullptr);
  if (focused != nullptr) return focused == this;
  return default_;
}

void TskCustomButton::Release() {
  repeat_.reset();
  mouseDown_ = false;
}

void TskCustomButton::Click() {
  if (mouseDown_) {
    Release();
    Repaint();
  }
  if (Exists() && ::GetParent(hwnd_) != nullptr) SetParentFormModalResult(hwnd_, modalResult_);
  if (OnClick) OnClick();
}

TskCustomButton::State TskCustomButton::CurrentState() const {
  if (!IsEnabled()) return kDisabled;
  if (mouseDown_) return kMouseDown;
  if (mouseIn_) return kMouseOn;
  return kNormal;
}

bool TskCustomButton::GetStatePicture(State state, Bitmap& out) const {
  static const int kCell[] = {1, 2, 3, 1};  // normal, mouse over, pressed, disabled
  return LoadPicture(kButtonItem, kFileButtonBitmap, 3, kCell[state], out);
}

void TskCustomButton::AutoSizeToPicture() {
  if (!autoSize_ || !Exists()) return;
  TskUIStyle style;
  ResolveStyle(style);
  Bitmap strip;
  LoadBuiltinThemeBitmap(style, kButtonItem, &strip);
  int h = strip.Height() > 0 ? strip.Height() : 21;
  int w = strip.Width() > 0 ? strip.Width() : 74;
  SetBounds(Left(), Top(), w / 3, h);
}

void TskCustomButton::Draw(Bitmap& canvas) {
  Bitmap picture;
  GetStatePicture(CurrentState(), picture);
  PaintBackground(canvas);
  DrawPicture(canvas, picture);
  if (IsFocused() && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_TABSTOP)) DrawFocusFrame(canvas);
  std::wstring caption = Caption();
  if (caption.find_first_not_of(L" \t") != std::wstring::npos) DrawCaption(canvas);
}

void TskCustomButton::DrawPicture(Bitmap& canvas, const Bitmap& picture) {
  if (picture.Empty()) return;
  RECT all{0, 0, picture.Width(), picture.Height()};
  if (pictureTransparent_) DrawMasked(picture, canvas.Canvas(), 0, 0, all);
  else ::BitBlt(canvas.Canvas(), 0, 0, picture.Width(), picture.Height(), picture.Canvas(), 0, 0, SRCCOPY);
}

void TskCustomButton::DrawCaptionText(Bitmap& canvas, RECT r, UINT format) {
  HDC dc = canvas.Canvas();
  std::wstring caption = Caption();
  HFONT bold = nullptr;
  UseFont(dc);
  if (boldCaption_) {
    LOGFONTW lf{};
    ::GetObjectW(GetFont(), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    bold = ::CreateFontIndirectW(&lf);
    ::SelectObject(dc, bold);
  }
  if (!IsEnabled()) {
    RECT shade = r;
    ::OffsetRect(&shade, 1, 1);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextW(dc, caption.c_str(), -1, &shade, format);
    ::SetTextColor(dc, RGB(128, 128, 128));
  } else if (MouseDown()) {
    ::OffsetRect(&r, 1, 1);
  }
  ::DrawTextW(dc, caption.c_str(), -1, &r, format);
  if (bold != nullptr) {
    ::SelectObject(dc, GetFont());
    ::DeleteObject(bold);
  }
  boldCaption_ = false;
}

void TskCustomButton::DrawCaption(Bitmap& canvas) {
  RECT client{0, 0, canvas.Width(), canvas.Height()};
  RECT measure = client;
  std::wstring caption = Caption();
  UseFont(canvas.Canvas());
  ::DrawTextW(canvas.Canvas(), caption.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  RECT r = client;
  r.top = (client.bottom - (measure.bottom - measure.top)) / 2;
  r.bottom = r.top + (measure.bottom - measure.top);
  DrawCaptionText(canvas, r, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
}

void TskCustomButton::DrawFocusFrame(Bitmap& canvas) {
  RECT r{0, 0, canvas.Width(), canvas.Height()};
  ::InflateRect(&r, -FocusedRectMargin, -FocusedRectMargin);
  ::SetTextColor(canvas.Canvas(), RGB(0, 0, 0));
  ::SetBkColor(canvas.Canvas(), RGB(255, 255, 255));
  ::DrawFocusRect(canvas.Canvas(), &r);
}

void TskCustomButton::MouseEnter() {
  Repaint();
  if (OnMouseEnter) OnMouseEnter();
}

void TskCustomButton::MouseLeave() {
  Release();
  Repaint();
  if (OnMouseExit) OnMouseExit();
}

bool TskCustomButton::HandleDialogKey(WPARAM key) {
  // A button given the ID IDCANCEL is the form's cancel button as well.
  bool wanted = (key == VK_RETURN && IsActiveDefault()) || (key == VK_ESCAPE && (cancel_ || Id() == IDCANCEL));
  if (!wanted || !NoModifiers() || !IsEnabled() || !Visible()) return false;
  Click();
  return true;
}

LRESULT TskCustomButton::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case kSkinButtonQuery:
      return 1;
    case BM_CLICK:  // the dialog manager's answer to the caption's "&" letter
      if (IsEnabled() && ::IsWindowEnabled(::GetParent(hwnd_))) Click();
      return 0;
    case ui::kDialogKeyMessage:
      return HandleDialogKey(w) ? 1 : 0;
    case WM_GETDLGCODE: {
      const MSG* m = reinterpret_cast<const MSG*>(l);
      if (m != nullptr && (m->message == WM_KEYDOWN || m->message == WM_KEYUP) && m->wParam == VK_RETURN)
        return DLGC_WANTMESSAGE;
      return DLGC_BUTTON;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      mouseDown_ = true;
      if (!repeat_) {
        repeat_ = std::make_unique<ui::Timer>();
        repeat_->SetInterval(static_cast<UINT>(MouseContinuouslyDownInterval < 0 ? 0 : MouseContinuouslyDownInterval));
        repeat_->OnTimer = [this] {
          if (OnMouseContinuouslyDown) OnMouseContinuouslyDown();
        };
        repeat_->SetEnabled(true);
      }
      if ((::GetWindowLongW(hwnd_, GWL_STYLE) & WS_TABSTOP) && IsEnabled() && Visible()) ::SetFocus(hwnd_);
      ::SetCapture(hwnd_);
      Repaint();
      return 0;
    case WM_LBUTTONUP: {
      if (::GetCapture() == hwnd_) ::ReleaseCapture();
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      RECT rc{};
      ::GetClientRect(hwnd_, &rc);
      if (mouseDown_ && ::PtInRect(&rc, p)) Click();
      Release();
      Repaint();
      return 0;
    }
    case WM_MOUSEMOVE: {
      int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
      RECT rc{};
      ::GetClientRect(hwnd_, &rc);
      if (x < 0 || y < 0 || x > rc.right || y > rc.bottom) {
        mouseIn_ = false;
        mouseDown_ = false;
        Repaint();
        return 0;
      }
      return SkinControl::OnMessage(msg, w, l);
    }
    case WM_CANCELMODE:
      mouseIn_ = false;
      Release();
      Repaint();
      return 0;
    case WM_KEYDOWN:
      if ((w == VK_SPACE || w == VK_RETURN) && IsFocused() && IsEnabled()) {
        mouseDown_ = true;
        Repaint();
      }
      return 0;
    case WM_KEYUP:
      if ((w == VK_SPACE || w == VK_RETURN) && IsFocused() && mouseDown_ && IsEnabled()) {
        mouseDown_ = false;
        Repaint();
        Click();
      }
      return 0;
    case WM_SIZE:
      Repaint();
      return 0;
    default:
      return SkinControl::OnMessage(msg, w, l);
  }
}

// ---- TskButton -------------------------------------------------------------

TskButton::TskButton() = default;

bool TskButton::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, DWORD extraStyle) {
  return TskCustomButton::Create(parent, caption, x, y, w, h, extraStyle);
}

void TskButton::SetGlyph(const Bitmap& glyph) {
  glyph_.Assign(glyph);
  Repaint();
}

void TskButton::ApplyUIStyle() {
  TskUIStyle style;
  if (ResolveStyle(style)) {
    SetTransparent(GetFileTheme()->GetBool(kFileButtonTransparentFlag));
    SetFontColor(static_cast<COLORREF>(GetFileTheme()->GetColor(kFileButtonCaptionColour)));
  } else {
    SetTransparent(GetBuiltinThemeBool(style, kButtonTransparentItem));
    SetFontColor(RGB(0, 0, 0));
  }
  AutoSizeToPicture();
}

void TskButton::DrawPicture(Bitmap& canvas, const Bitmap& picture) {
  RECT client{0, 0, canvas.Width(), canvas.Height()};
  if (picture.Empty() || !DrawNinePartBitmap(picture, canvas.Canvas(), client, pictureTransparent_)) {
    // No theme picture: the system's plain push button.
    UINT state = DFCS_BUTTONPUSH | (MouseDown() ? DFCS_PUSHED : 0) | (IsEnabled() ? 0 : DFCS_INACTIVE);
    ::DrawFrameControl(canvas.Canvas(), &client, DFC_BUTTON, state);
  }
  if (glyph_.Empty()) return;
  const bool twoImages = glyph_.Width() == 2 * glyph_.Height();
  SIZE g{twoImages ? glyph_.Height() : glyph_.Width(), glyph_.Height()};
  POINT at{};
  LayoutGlyph(canvas, g, at);
  if (MouseDown()) at.x += 1, at.y += 1;
  RECT part{0, 0, g.cx, g.cy};
  if (twoImages && !IsEnabled()) ::OffsetRect(&part, g.cx, 0);
  if (!twoImages && !IsEnabled()) {
    // One image only: drawn greyed, as the flat buttons draw theirs.
    Bitmap greyed;
    MakeDisabledGlyph(glyph_, glyph_.Pixel(0, 0), ::GetSysColor(COLOR_BTNFACE), greyed);
    DrawPart(greyed, part, canvas.Canvas(), at.x, at.y, true, ::GetSysColor(COLOR_BTNFACE));
    return;
  }
  DrawMasked(glyph_, canvas.Canvas(), at.x, at.y, part);
}

void TskButton::LayoutGlyph(const Bitmap& canvas, SIZE g, POINT& at) {
  const int W = canvas.Width(), H = canvas.Height(), S = Spacing;
  SIZE t = TextSize(Caption());
  const int tw = t.cx, th = t.cy;
  switch (Layout) {
    case blGlyphLeft:
      at = {(W - (tw + g.cx + S)) / 2, (H - g.cy) / 2};
      captionPos_ = {at.x + g.cx + S, (H - th) / 2};
      break;
    case blGlyphRight:
      at = {(W + tw + S - g.cx) / 2, (H - g.cy) / 2};
      captionPos_ = {at.x - tw - S, (H - th) / 2};
      break;
    case blGlyphTop:
      at = {(W - g.cx) / 2, (H - (th + g.cy + S)) / 2};
      captionPos_ = {(W - tw) / 2, at.y + g.cy + S};
      break;
    case blGlyphBottom:
      at = {(W - g.cx) / 2, (H + th + S - g.cy) / 2};
      captionPos_ = {(W - tw) / 2, at.y - th - S};
      break;
  }
}

void TskButton::DrawCaption(Bitmap& canvas) {
  if (glyph_.Empty()) {
    TskCustomButton::DrawCaption(canvas);
    return;
  }
  RECT r{captionPos_.x, captionPos_.y, canvas.Width(), canvas.Height()};
  DrawCaptionText(canvas, r, DT_SINGLELINE);
}

void TskButton::DrawFocusFrame(Bitmap& canvas) {
  TskUIStyle style;
  ResolveStyle(style);
  if (style == MacOS || style == BlueGlass) boldCaption_ = true;
  else TskCustomButton::DrawFocusFrame(canvas);
}

// ---- TskImageButton ----------------------------------------------------------

void TskImageButton::PicturesChanged() {
  AutoSizeToPicture();
  Repaint();
}

bool TskImageButton::GetStatePicture(State state, Bitmap& out) const {
  const Bitmap* pick[] = {&PicNormal, &PicMouseOn, &PicMouseDown, &PicDisabled};
  const Bitmap* p = pick[state]->Empty() ? &PicNormal : pick[state];
  if (p->Empty()) return false;
  out.Assign(*p);
  return true;
}

void TskImageButton::AutoSizeToPicture() {
  if (!GetAutoSize() || !Exists() || PicNormal.Empty()) return;
  SetBounds(Left(), Top(), PicNormal.Width(), PicNormal.Height());
}

void TskImageButton::DrawPicture(Bitmap& canvas, const Bitmap& picture) {
  if (picture.Empty()) return;
  if (Stretch) {
    RECT client{0, 0, canvas.Width(), canvas.Height()};
    StretchDrawBitmap(picture, canvas.Canvas(), client);
  } else {
    RECT all{0, 0, picture.Width(), picture.Height()};
    DrawMasked(picture, canvas.Canvas(), 0, 0, all);
  }
}

void TskImageButton::DrawFocusFrame(Bitmap& canvas) {
  if (DrawFocused) TskCustomButton::DrawFocusFrame(canvas);
}

}  // namespace skin
