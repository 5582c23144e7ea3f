#include "skin/form/MenuBar.h"

#include <windowsx.h>

#include "skin/draw/Bitmap.h"
#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/Strips.h"
#include "skin/form/HotButton.h"
#include "skin/form/SkinForm.h"
#include "skin/menus/PopupMenu.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"
#include "ui/Menu.h"

namespace skin {
namespace {
constexpr int kHotTag = 888;
constexpr int kButtonPadding = 14;
// Posted by DialogChar: drop item wParam down.
constexpr UINT kOpenItem = WM_APP + 0x3A1;
// DrawText flags of the captions: centred on one line.
constexpr UINT kCaptionFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// The theme's picture stretched over `r`; false when the program lacks it.
bool StretchResource(HDC dc, const RECT& r, const wchar_t* name) {
  Bitmap picture;
  return picture.LoadFromResource(::GetModuleHandleW(nullptr), name) && StretchDrawBitmap(picture, dc, r);
}
}  // namespace

TskMenuBar::~TskMenuBar() {
  if (font_ != nullptr) ::DeleteObject(font_);
}

bool TskMenuBar::Create(HWND parent, int height) {
  RECT r{};
  ::GetClientRect(parent, &r);
  return CreateCustom(parent, L"TskMenuBar", L"", WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, r.right, height, 0);
}

void TskMenuBar::Rebuild(TskMainMenu* menu) {
  menu_ = menu;
  buttons_.clear();
  if (menu_ != nullptr)
    for (const TskMenuItem& item : menu_->Items) buttons_.push_back(Button{item.Caption, item.Enabled, RECT{}, 0});
  UpdateFont();
}

void TskMenuBar::UpdateFont() {
  if (font_ != nullptr) ::DeleteObject(font_);
  // The menu's own font, or the system menu font when it asks for that.
  font_ = menu_ != nullptr ? menu_->CreateItemFont(false) : nullptr;
  Layout();
  if (hwnd_ != nullptr) Invalidate();
}

void TskMenuBar::Layout() {
  if (hwnd_ == nullptr) return;
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ old = ::SelectObject(dc, font_ != nullptr ? font_ : ui::DefaultFont());
  int x = 0, h = Height();
  for (Button& b : buttons_) {
    b.Bounds = RECT{x, 0, x + TextWidth(dc, b.Caption) + kButtonPadding, h};
    x = b.Bounds.right;
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd_, dc);
}

int TskMenuBar::HitButton(POINT pt) const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (::PtInRect(&buttons_[i].Bounds, pt)) return static_cast<int>(i);
  return -1;
}

void TskMenuBar::Open(int index) {
  if (menu_ == nullptr || index < 0 || index >= static_cast<int>(buttons_.size()) || !buttons_[index].Enabled) return;
  open_ = index;
  Invalidate();
  ::UpdateWindow(hwnd_);
  POINT at{buttons_[index].Bounds.left, buttons_[index].Bounds.bottom};
  ::ClientToScreen(hwnd_, &at);
  menu_->DropDown(static_cast<size_t>(index), frame_.FormHandle(), at);
  open_ = -1;
  if (hwnd_ != nullptr) Invalidate();
}

bool TskMenuBar::DialogChar(wchar_t ch, bool alt) {
  if (hwnd_ == nullptr || ch == 0) return false;
  // A button is hot (its tag 888 at the next paint) while the mouse is on it.
  if (!alt && hot_ < 0 && open_ < 0) return false;
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (!buttons_[i].Enabled || !ui::HasMnemonic(buttons_[i].Caption, ch)) continue;
    ::PostMessageW(hwnd_, kOpenItem, i, 0);
    return true;
  }
  return false;
}

void TskMenuBar::DrawMenuBarBackground(HDC dc, const RECT& r, TskUIStyle style) {
  if (style == MacOS && StretchResource(dc, r, L"MACOS_MENU_BAR")) return;
  const COLORREF from = ColorToRGB(frame_.MenuBarColor()), to = ColorToRGB(frame_.MenuBarToColor());
  if (from != to) FillGradientVertical(dc, r, from, to);
  else FillRectColor(dc, r, from);
}

// One item: the selection look while hot or dropped down, else the caption
// on the bar; file colours 5 to 8 with a skin file, else items 19, 18, 20, 22.
void TskMenuBar::DrawMenuBarButton(HDC dc, Button& b, bool hot, TskUIStyle style, bool fromFile) {
  const TskFileTheme* theme = fromFile && menu_ != nullptr ? menu_->GetFileTheme() : nullptr;
  auto colour = [&](int fileIndex, int item) {
    return theme != nullptr ? static_cast<COLORREF>(theme->GetColor(fileIndex)) : GetBuiltinThemeColor(style, item);
  };
  b.Tag = hot ? kHotTag : 0;
  RECT r = b.Bounds;
  COLORREF text = b.Enabled ? colour(8, 22) : RGB(128, 128, 128);
  if (hot && b.Enabled) {
    if (style == MacOS && !fromFile && StretchResource(dc, r, L"MACOS_MENU_SELECT")) {
      text = GetBuiltinThemeColor(MacOS, 20);
      r.bottom += 2;
    } else {
      FillFramed(dc, r, colour(5, 19), colour(6, 18));
      text = colour(7, 20);
      r.top += 2;
    }
  } else {
    r.top += 2;
  }
  ::SetTextColor(dc, ColorToRGB(text));
  ::DrawTextW(dc, b.Caption.c_str(), -1, &r, kCaptionFlags);
}

void TskMenuBar::Paint(HDC dc) {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  Bitmap b(r.right, r.bottom);
  // The menu's style and file theme; the frame's without a menu.
  TskUIStyle style = DeepBlue;
  const bool fromFile = menu_ != nullptr ? ResolveFileTheme(menu_->GetFileTheme(), menu_->GetUIStyle(), style)
                                         : ResolveFileTheme(frame_.GetFileTheme(), frame_.GetUIStyle(), style);
  HDC c = b.Canvas();
  DrawMenuBarBackground(c, r, style);
  ::SetBkMode(c, TRANSPARENT);
  HGDIOBJ oldFont = ::SelectObject(c, font_ != nullptr ? font_ : ui::DefaultFont());
  for (size_t i = 0; i < buttons_.size(); ++i)
    DrawMenuBarButton(c, buttons_[i], static_cast<int>(i) == hot_ || static_cast<int>(i) == open_, style, fromFile);
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
    case WM_SIZE:
      Layout();
      break;
    case WM_MOUSEMOVE:
      if (FollowMouse(hwnd_, pt, HitButton(pt), hot_)) Invalidate();
      return 0;
    case WM_MOUSELEAVE:
      if (FollowMouse(hwnd_, POINT{-1, -1}, -1, hot_)) Invalidate();
      return 0;
    case WM_LBUTTONDOWN:
      Open(HitButton(pt));
      return 0;
    case kOpenItem:
      Open(static_cast<int>(w));
      return 0;
    default:
      break;
  }
  return DefaultProc(msg, w, l);
}

}  // namespace skin
