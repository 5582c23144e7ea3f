#include "skin/lists/TabControl.h"

#include "skin/draw/Fills.h"
#include "skin/lists/FileThemeLink.h"
#include "skin/lists/ThemeAccess.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"
#include "ui/DialogKeys.h"

namespace skin {

TskTab::~TskTab() {
  // The strip calls back into this object; it must go first.
  TopPanel_.reset();
}

bool TskTab::Create(HWND Parent, int X, int Y, int W, int H, const ui::Window* Owner) {
  if (!CreateCustom(Parent, L"VantorelSkinTab", L" ", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, X, Y, W, H))
    return false;
  Font_ = ui::DefaultFont();
  TopPanel_ = CreateTopPanel();
  if (!TopPanel_->Create(hwnd_)) return false;
  UIStyle_ = FindFormUIStyle(Owner);
  SetUIStyle(UIStyle_);
  PlaceTopPanel();
  return true;
}

void TskTab::ApplyLook(const ThemeLook& look) {
  if (!TopPanel_) return;
  TopPanel_->SetFileTheme(FileTheme_);
  TopPanel_->SetUIStyle(UIStyle_);
  TopPanel_->SetStripColor(look.Color(2, COLOR_BTNFACE, 26));
  // The WinXP page is white, whatever its strip.
  Color_ = look.Style == WinXP ? RGB(255, 255, 255) : look.Color(2, COLOR_BTNFACE, 26);
  ApplyUIStyle();
  BorderColorChanged();
  ColorChanged();
  PlaceTopPanel();
  LayoutChildren();
  Invalidate();
}

void TskTab::RedrawBorder() {
  BorderColorChanged();
  Invalidate();
  if (TopPanel_) TopPanel_->Repaint();
}

void TskTab::SetColor(COLORREF Value) {
  Color_ = Value;
  ColorChanged();
  Invalidate();
}

void TskTab::SetTabFont(HFONT Value) {
  Font_ = Value;
  if (TopPanel_) TopPanel_->Repaint();
}

void TskTab::SetTabPosition(TskTabPosition Value) {
  TabPosition_ = Value;
  TopPanel_->SetTabPosition(Value);
  PlaceTopPanel();
  LayoutChildren();
  Invalidate();
}

void TskTab::SetImages(HIMAGELIST Value) {
  Images_ = Value;
  TopPanel_->Repaint();
}

void TskTab::SetPageDrawFocused(bool Value) {
  PageDrawFocused_ = Value;
  TopPanel_->Repaint();
}

void TskTab::SetTabIndex(int Value) { TopPanel_->SetTabIndex(Value); }

void TskTab::StepPage(int Step) {
  const int next = TopPanel_->TabFromActive(Step);
  if (next >= 0) TopPanel_->SetTabIndex(next);
  FocusShownPage();
}

namespace {

// The window and every parent up to `top` shown and enabled.
bool UsableUpTo(HWND window, HWND top) {
  for (HWND w = window; w != nullptr && w != top; w = ::GetParent(w))
    if (!::IsWindowVisible(w) || !::IsWindowEnabled(w)) return false;
  return true;
}

}  // namespace

void TskTab::FocusShownPage() {
  HWND focus = ::GetFocus();
  if (!::IsChild(hwnd_, focus) || UsableUpTo(focus, hwnd_)) return;
  HWND strip = TopPanel_->Handle();
  for (HWND page = ::GetWindow(hwnd_, GW_CHILD); page != nullptr; page = ::GetWindow(page, GW_HWNDNEXT)) {
    if (page == strip || !::IsWindowVisible(page) || !::IsWindowEnabled(page)) continue;
    HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
    if (first != nullptr && ::IsChild(page, first)) {
      ::SetFocus(first);
      return;
    }
  }
  ::SetFocus(strip);
}

bool TskTab::AllowChange() {
  bool allow = true;
  if (OnChanging) OnChanging(*this, allow);
  return allow;
}

void TskTab::TabChanged(int Index) {
  if (OnTabActive) OnTabActive(*this, Index);
  if (OnChange) OnChange(*this);
}

RECT TskTab::PageArea() const {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  const int strip = TopPanel_ ? TopPanel_->StripHeight() : 0;
  r.left += 3;
  r.right -= 3;
  if (TabPosition_ == skTop) {
    r.top += strip + 3;
    r.bottom -= 3;
  } else {
    r.top += 3;
    r.bottom -= strip + 3;
  }
  return r;
}

void TskTab::PlaceTopPanel() {
  if (!TopPanel_ || TopPanel_->Handle() == nullptr) return;
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  const int h = TopPanel_->StripHeight();
  const int top = TabPosition_ == skTop ? 0 : r.bottom - h;
  ::SetWindowPos(TopPanel_->Handle(), nullptr, 0, top, r.right, h, SWP_NOZORDER | SWP_NOACTIVATE);
  TopPanel_->Repaint();
}

void TskTab::LayoutChildren() {}

void TskTab::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  const int strip = TopPanel_ ? TopPanel_->StripHeight() : 0;
  RECT face = r;
  if (TabPosition_ == skTop) face.top += strip;
  else face.bottom -= strip;
  FillRectColor(dc, face, Color_);
  HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(BorderColor_));
  HGDIOBJ old = ::SelectObject(dc, pen);
  // The side toward the strip stays open.
  if (TabPosition_ == skTop) {
    ::MoveToEx(dc, face.left, face.top, nullptr);
    ::LineTo(dc, face.left, face.bottom - 1);
    ::LineTo(dc, face.right - 1, face.bottom - 1);
    ::LineTo(dc, face.right - 1, face.top - 1);
  } else {
    ::MoveToEx(dc, face.left, face.bottom - 1, nullptr);
    ::LineTo(dc, face.left, face.top);
    ::LineTo(dc, face.right - 1, face.top);
    ::LineTo(dc, face.right - 1, face.bottom);
  }
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
  ::EndPaint(hwnd_, &ps);
}

LRESULT TskTab::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case ui::kPageStepMessage:
      StepPage(static_cast<int>(w));
      return 1;
    case WM_SIZE:
      PlaceTopPanel();
      LayoutChildren();
      Invalidate();
      return 0;
    default:
      return DefaultProc(msg, w, l);
  }
}

}  // namespace skin
