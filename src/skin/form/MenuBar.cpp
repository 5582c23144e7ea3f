#include "skin/form/MenuBar.h"

#include <windowsx.h>

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/form/HotButton.h"
#include "skin/form/SkinForm.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"
#include "ui/Menu.h"

namespace skin {
namespace {
constexpr int kHotTag = 888;
constexpr int kButtonPadding = 14;
}  // namespace

bool TskMenuBar::Create(HWND parent, int height) {
  RECT r{};
  ::GetClientRect(parent, &r);
  return CreateCustom(parent, L"TskMenuBar", L"", WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, r.right, height, 0);
}

void TskMenuBar::Rebuild(TskMenuSource* menu) {
  menu_ = menu;
  buttons_.clear();
  if (menu_ != nullptr)
    for (TskMenuSource::TopItem& item : menu_->TopItems()) buttons_.push_back(Button{std::move(item), RECT{}, 0});
  if (hwnd_ == nullptr) return;
  HDC dc = ::GetDC(hwnd_);
  Layout(dc);
  ::ReleaseDC(hwnd_, dc);
  Invalidate();
}

void TskMenuBar::Layout(HDC dc) {
  HGDIOBJ old = ::SelectObject(dc, ui::DefaultFont());
  int x = 0, h = Height();
  for (Button& b : buttons_) {
    b.Bounds = RECT{x, 0, x + TextWidth(dc, b.Item.Caption) + kButtonPadding, h};
    x = b.Bounds.right;
  }
  ::SelectObject(dc, old);
}

int TskMenuBar::HitButton(POINT pt) const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (::PtInRect(&buttons_[i].Bounds, pt)) return static_cast<int>(i);
  return -1;
}

void TskMenuBar::Open(int index) {
  if (menu_ == nullptr || index < 0 || !buttons_[index].Item.Enabled) return;
  open_ = index;
  Invalidate();
  ::UpdateWindow(hwnd_);
  POINT at{buttons_[index].Bounds.left, buttons_[index].Bounds.bottom};
  ::ClientToScreen(hwnd_, &at);
  menu_->DropDown(static_cast<size_t>(index), frame_.FormHandle(), at);
  open_ = -1;
  Invalidate();
}

bool TskMenuBar::OpenByLetter(wchar_t letter) {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (!ui::HasMnemonic(buttons_[i].Item.Caption, letter)) continue;
    Open(static_cast<int>(i));
    return true;
  }
  return false;
}

void TskMenuBar::Paint(HDC dc) {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  Bitmap b(r.right, r.bottom);
  COLORREF from = ColorToRGB(frame_.MenuBarColor()), to = ColorToRGB(frame_.MenuBarToColor());
  if (from != to) FillGradientVertical(b.Canvas(), r, from, to);
  else b.Fill(from);
  TskUIStyle style = DeepBlue;
  ResolveFileTheme(nullptr, frame_.GetUIStyle(), style);
  HDC c = b.Canvas();
  ::SetBkMode(c, TRANSPARENT);
  HGDIOBJ oldFont = ::SelectObject(c, ui::DefaultFont());
  for (size_t i = 0; i < buttons_.size(); ++i) {
    Button& btn = buttons_[i];
    RECT br = btn.Bounds;
    bool hot = static_cast<int>(i) == hot_ || static_cast<int>(i) == open_;
    btn.Tag = hot ? kHotTag : 0;
    COLORREF text = btn.Item.Enabled ? GetBuiltinThemeColor(style, 22) : RGB(128, 128, 128);
    // Hot, a button looks like the popup menu's selected item.
    if (hot && btn.Item.Enabled) {
      FillFramed(c, br, GetBuiltinThemeColor(style, 19), GetBuiltinThemeColor(style, 18));
      text = GetBuiltinThemeColor(style, 20);
    }
    br.top += 2;
    ::SetTextColor(c, text);
    ::DrawTextW(c, btn.Item.Caption.c_str(), -1, &br, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  ::SelectObject(c, oldFont);
  ::BitBlt(dc, 0, 0, r.right, r.bottom, c, 0, 0, SRCCOPY);
}

LRESULT TskMenuBar::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      Paint(dc);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      HDC dc = ::GetDC(hwnd_);
      Layout(dc);
      ::ReleaseDC(hwnd_, dc);
      break;
    }
    case WM_MOUSEMOVE:
      if (FollowMouse(hwnd_, pt, HitButton(pt), hot_)) Invalidate();
      return 0;
    case WM_MOUSELEAVE:
      if (FollowMouse(hwnd_, POINT{-1, -1}, -1, hot_)) Invalidate();
      return 0;
    case WM_LBUTTONDOWN:
      Open(HitButton(pt));
      return 0;
    default:
      break;
  }
  return DefaultProc(msg, w, l);
}

}  // namespace skin
