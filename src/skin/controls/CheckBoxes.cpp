#include "skin/controls/CheckBoxes.h"

#include <windowsx.h>

#include "skin/draw/Strips.h"

namespace skin {

bool TskCheckBox::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  if (!CreateSkin(parent, WindowClass(), caption, WS_TABSTOP, x, y, w, h)) return false;
  AdjustSize();
  return true;
}

void TskCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Repaint();
  CheckedChanged();
}

void TskCheckBox::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

void TskCheckBox::SetCaption(const std::wstring& text) {
  SkinControl::SetCaption(text);
  AdjustSize();
}

void TskCheckBox::CheckedChanged() {
  if (OnClick) OnClick();
}

void TskCheckBox::Toggle() {
  BeforeToggle();
  SetChecked(!checked_);
}

bool TskCheckBox::ShowsFocus() const {
  return IsFocused() && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_TABSTOP);
}

void TskCheckBox::PictureCell(int& count, int& index) const {
  const bool enabled = IsEnabled();
  TskUIStyle style;
  if (ResolveStyle(style) && !IsRadioKind()) {
    count = 6;
    index = checked_ ? (enabled ? 1 : 4) : (enabled ? 3 : 6);
  } else {
    count = 4;
    index = checked_ ? (enabled ? 1 : 3) : (enabled ? 2 : 4);
  }
}

bool TskCheckBox::Picture(Bitmap& out) const {
  int count = 0, index = 0;
  PictureCell(count, index);
  return LoadPicture(GetBuiltinThemeItem(), GetFileThemeBitmapIndex(), count, index, out);
}

void TskCheckBox::AdjustSize() {
  if (!autoSize_ || !Exists()) return;
  Bitmap picture;
  Picture(picture);
  SIZE pic{picture.Empty() ? 13 : picture.Width(), picture.Empty() ? 13 : picture.Height()};
  SIZE w = TextSize(L"W");
  SIZE text = TextSize(Caption());
  int height = (w.cy + 2 > pic.cy ? w.cy + 2 : pic.cy) + 4;
  SetBounds(Left(), Top(), pic.cx + 8 + text.cx, height);
}

void TskCheckBox::Draw(Bitmap& canvas) {
  HDC dc = canvas.Canvas();
  PaintBackground(canvas);
  Bitmap picture;
  Picture(picture);
  const int H = canvas.Height();
  SIZE pic{picture.Empty() ? 13 : picture.Width(), picture.Empty() ? 13 : picture.Height()};
  const int py = (H - pic.cy) / 2;
  // Right to left the picture sits at the right and the caption ends left of it.
  const bool rtl = RightToLeft();
  const int px = rtl ? canvas.Width() - pic.cx - 1 : 1;
  if (!picture.Empty()) {
    RECT all{0, 0, pic.cx, pic.cy};
    DrawPart(picture, all, dc, px, py, IsRadioKind(), picture.Pixel(0, 0));
  } else {
    // No theme picture: the system's own check mark.
    RECT box{px, py, px + pic.cx, py + pic.cy};
    UINT state = (IsRadioKind() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (checked_ ? DFCS_CHECKED : 0) |
                 (IsEnabled() ? 0 : DFCS_INACTIVE);
    ::DrawFrameControl(dc, &box, DFC_BUTTON, state);
  }
  UseFont(dc);
  if (!IsEnabled()) ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
  SIZE w = TextSize(L"W");
  std::wstring caption = Caption();
  const int top = (H - w.cy) / 2, W = canvas.Width();
  RECT text = rtl ? RECT{0, top, W - pic.cx - 4, top + w.cy} : RECT{pic.cx + 4, top, W, top + w.cy};
  ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | (rtl ? DT_RIGHT : DT_LEFT));
  if (ShowsFocus()) {
    RECT focus = rtl ? RECT{0, top, W - pic.cx - 3, top + w.cy + 2} : RECT{pic.cx + 3, top, W, top + w.cy + 2};
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &focus);
  }
}

LRESULT TskCheckBox::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_GETDLGCODE:
      // Radio buttons next to each other are one stop that the arrows move in.
      return IsRadioKind() ? DLGC_BUTTON | DLGC_RADIOBUTTON : DLGC_BUTTON;
    case BM_GETCHECK:
      return checked_ ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      SetChecked(w == BST_CHECKED);
      return 0;
    case BM_CLICK:  // the dialog manager's answer to the caption's "&" letter
      if (IsEnabled() && ::IsWindowEnabled(::GetParent(hwnd_))) {
        ::SetFocus(hwnd_);
        Click();
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (IsEnabled() && Visible() && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_TABSTOP)) ::SetFocus(hwnd_);
      ::SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      if (::GetCapture() == hwnd_) ::ReleaseCapture();
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      RECT rc{};
      ::GetClientRect(hwnd_, &rc);
      if (::PtInRect(&rc, p) && IsEnabled()) Click();
      return 0;
    }
    case WM_KEYDOWN:
      if (w == VK_SPACE || w == VK_RETURN) keyDown_ = static_cast<UINT>(w);
      return 0;
    case WM_KEYUP: {
      // Only the release of a key pressed here: the release of an Enter that
      // opened this window on another control must not change a setting.
      const bool own = keyDown_ == w;
      keyDown_ = 0;
      if (own && (w == VK_SPACE || w == VK_RETURN) && IsFocused() && IsEnabled() && ClickOnKeyUp()) {
        Repaint();
        Click();
      }
      return 0;
    }
    case WM_KILLFOCUS:
      keyDown_ = 0;
      return SkinControl::OnMessage(msg, w, l);
    case WM_SETTEXT: {
      LRESULT r = SkinControl::OnMessage(msg, w, l);
      AdjustSize();
      return r;
    }
    default:
      return SkinControl::OnMessage(msg, w, l);
  }
}

// ---- TskRadioButton ------------------------------------------------------------

void TskRadioButton::Toggle() {
  if (!checked_) TskCheckBox::Toggle();
}

void TskRadioButton::CheckedChanged() {
  if (!checked_) return;
  HWND parent = Exists() ? ::GetParent(hwnd_) : nullptr;
  for (HWND c = parent ? ::GetWindow(parent, GW_CHILD) : nullptr; c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
    auto* other = dynamic_cast<TskRadioButton*>(ui::Control::FromHandle(c));
    if (other != nullptr && other != this && other->GroupIndex == GroupIndex) other->SetChecked(false);
  }
  if (OnClick) OnClick();
}

LRESULT TskRadioButton::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONDBLCLK) return 0;  // a radio button keeps double clicks to itself
  if (msg == WM_SETFOCUS) {
    LRESULT r = TskCheckBox::OnMessage(msg, w, l);
    HWND from = reinterpret_cast<HWND>(w);
    wchar_t cls[64] = {};
    if (from != nullptr && from != hwnd_ && ::GetClassNameW(from, cls, 64) > 0 &&
        ::lstrcmpW(cls, L"TskRadioGroupButton") == 0)
      Click();
    return r;
  }
  return TskCheckBox::OnMessage(msg, w, l);
}

}  // namespace skin
