#include <algorithm>

#include "skin/draw/Fills.h"
#include "skin/draw/PixelOps.h"
#include "skin/draw/Strips.h"
#include "skin/lists/TabControl.h"
#include "skin/lists/ThemeAccess.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

namespace {
constexpr COLORREF kFuchsia = RGB(255, 0, 255);
constexpr int kPlainTabHeight = 20;
constexpr int kPlainButtonCell = 16;

bool InRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
}  // namespace

TskTabControlTopPanel::TskTabControlTopPanel(TskTab& Tab) : Tab_(Tab) {}

bool TskTabControlTopPanel::Create(HWND Parent) {
  if (!CreateCustom(Parent, L"VantorelSkinTabStrip", L" ", WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 10, 10)) return false;
  LoadPictures();
  return true;
}

int TskTabControlTopPanel::Width_() const {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  return r.right;
}

void TskTabControlTopPanel::SetTabs(std::vector<std::wstring> Tabs) {
  Tabs_ = std::move(Tabs);
  if (Tabs_.empty()) TabIndex_ = -1;
  else if (TabIndex_ >= static_cast<int>(Tabs_.size())) TabIndex_ = static_cast<int>(Tabs_.size()) - 1;
  Repaint();
}

void TskTabControlTopPanel::SetTabIndex(int Value) {
  if (Value == TabIndex_) return;
  const int count = static_cast<int>(Tabs_.size());
  if (count == 0) {
    TabIndex_ = -1;
    Repaint();
    return;
  }
  if (Value < -1 || Value >= count) {
    Repaint();
    return;
  }
  if (InTabClick_ && !Tab_.AllowChange()) return;
  TabIndex_ = Value;
  ScrollIntoView_ = true;
  Repaint();
  Tab_.TabChanged(Value);
  Repaint();
}

void TskTabControlTopPanel::SetLeftMargin(int Value) {
  LeftMargin_ = Value;
  Repaint();
}

void TskTabControlTopPanel::SetTabPosition(TskTabPosition Value) {
  if (Value == TabPosition_) return;
  TabPosition_ = Value;
  RotateBitmapHalfTurn(ActiveTabImage_);
  RotateBitmapHalfTurn(InactiveTabImage_);
  RotateBitmapHalfTurn(LineImage_);
  Repaint();
}

void TskTabControlTopPanel::SetUIStyle(TskUIStyle Value) {
  UIStyle_ = Value;
  LoadPictures();
}

void TskTabControlTopPanel::SetFileTheme(TskFileTheme* Value) {
  FileTheme_ = Value;
  LoadPictures();
}

void TskTabControlTopPanel::SetStripColor(COLORREF Value) {
  StripColor_ = Value;
  Repaint();
}

bool TskTabControlTopPanel::GetTabVisible(int Index) const {
  return Index < 0 || Index >= static_cast<int>(TabVisible_.size()) || TabVisible_[Index];
}

void TskTabControlTopPanel::SetTabVisible(int Index, bool Visible) {
  if (Index < 0) return;
  if (Index >= static_cast<int>(TabVisible_.size())) TabVisible_.resize(Index + 1, true);
  TabVisible_[Index] = Visible;
  Repaint();
}

int TskTabControlTopPanel::TabWidth(int Index) const {
  return Index >= 0 && Index < static_cast<int>(TabWidths_.size()) ? TabWidths_[Index] : -1;
}

void TskTabControlTopPanel::LoadPictures() {
  TskUIStyle style = DeepBlue;
  bool fromFile = ResolveFileTheme(FileTheme_, UIStyle_, style);
  bool ok;
  if (fromFile) {
    ok = FileThemeBitmap(FileTheme_, 29, ActiveTabImage_, 2, 1) && FileThemeBitmap(FileTheme_, 29, InactiveTabImage_, 2, 2) &&
         FileThemeBitmap(FileTheme_, 30, LineImage_, 0, 0);
    if (!FileThemeBitmap(FileTheme_, 33, ButtonImage_, 0, 0)) GetBuiltinThemeBitmap(DeepBlue, 38, &ButtonImage_, 0, 0);
    ActiveFontColor_ = FileThemeColor(FileTheme_, 28, 0);
    InactiveFontColor_ = FileThemeColor(FileTheme_, 29, 0);
  } else {
    ok = GetBuiltinThemeBitmap(style, 39, &ActiveTabImage_, 2, 1) && GetBuiltinThemeBitmap(style, 39, &InactiveTabImage_, 2, 2) &&
         GetBuiltinThemeBitmap(style, 40, &LineImage_, 0, 0);
    if (!GetBuiltinThemeBitmap(style, 38, &ButtonImage_, 0, 0)) ButtonImage_.Clear();
    ActiveFontColor_ = InactiveFontColor_ = 0;
  }
  if (!ok) LoadPlainPictures();
  if (ButtonImage_.Empty()) MakePlainScrollButtons(ButtonImage_, kPlainButtonCell);
  if (TabPosition_ == skBottom) {
    RotateBitmapHalfTurn(ActiveTabImage_);
    RotateBitmapHalfTurn(InactiveTabImage_);
    RotateBitmapHalfTurn(LineImage_);
  }
  ButtonWidth_ = ButtonImage_.Width() / 4;
  ButtonHeight_ = ButtonImage_.Height();
  if (hwnd_ != nullptr) ::SetWindowPos(hwnd_, nullptr, 0, 0, Width_(), StripHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Repaint();
}

// A theme without tab pictures (not drawn yet, or a skin lacking them).
void TskTabControlTopPanel::LoadPlainPictures() {
  COLORREF edge = ::GetSysColor(COLOR_BTNSHADOW);
  MakePlainTab(ActiveTabImage_, kPlainTabHeight, ::GetSysColor(COLOR_WINDOW), edge);
  MakePlainTab(InactiveTabImage_, kPlainTabHeight, ::GetSysColor(COLOR_BTNFACE), edge);
  MakePlainTabLine(LineImage_, edge);
}

RECT TskTabControlTopPanel::TabRect(int X, int Width, bool Active) const {
  const int h = InactiveTabImage_.Height();
  if (TabPosition_ == skTop) return Active ? RECT{X, 1, X + Width, h + 1} : RECT{X, 0, X + Width, h};
  const int H = StripHeight();
  return Active ? RECT{X, H - h - 1, X + Width, H - 1} : RECT{X, H - h, X + Width, H};
}

void TskTabControlTopPanel::DrawLine(HDC Canvas, int W) {
  const int h = InactiveTabImage_.Height();
  const int lineH = LineImage_.Height();
  const int top = TabPosition_ == skTop ? h : 0;
  RECT line{1, top, W - 1, top + lineH};
  if (!LineImage_.Empty()) StretchDrawBitmap(LineImage_, Canvas, line);
  HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(Tab_.GetBorderColor()));
  HGDIOBJ old = ::SelectObject(Canvas, pen);
  for (int x : {0, W - 1}) {
    ::MoveToEx(Canvas, x, top, nullptr);
    ::LineTo(Canvas, x, top + lineH);
  }
  ::SelectObject(Canvas, old);
  ::DeleteObject(pen);
}

void TskTabControlTopPanel::DrawOneTab(HDC Canvas, int Index, const RECT& Rect, bool Cut) {
  const bool active = Index == TabIndex_;
  const Bitmap& picture = active ? ActiveTabImage_ : InactiveTabImage_;
  const bool topLeft = picture.Pixel(0, 0) == kFuchsia;
  const bool bottomLeft = picture.Pixel(0, picture.Height() - 1) == kFuchsia;
  DrawThreePartBitmap(picture, Canvas, Rect, topLeft || bottomLeft, ColorToRGB(StripColor_), topLeft);
  RECT text = Rect;
  HIMAGELIST images = Tab_.GetImages();
  int image = images != nullptr ? Tab_.GetTabImageIndex(Index) : -1;
  if (image >= 0 && image < ImageList_GetImageCount(images)) {
    int iw = 0, ih = 0;
    ImageList_GetIconSize(images, &iw, &ih);
    ImageList_Draw(images, image, Canvas, Rect.left + 8, Rect.top + (Rect.bottom - Rect.top - ih) / 2, ILD_TRANSPARENT);
    text.left = Rect.left + 8 + iw + 4;
  }
  ::SetBkMode(Canvas, TRANSPARENT);
  ::SetTextColor(Canvas, ColorToRGB(active ? ActiveFontColor_ : InactiveFontColor_));
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (Cut) {
    text.left += 10;
    text.right -= 4;
    flags |= DT_LEFT;
  } else {
    flags |= DT_CENTER;
  }
  ::DrawTextW(Canvas, Tabs_[Index].c_str(), -1, &text, flags);
  if (active && hwnd_ != nullptr && ::GetFocus() == hwnd_ && Tab_.GetPageDrawFocused()) {
    RECT focus{Rect.left + 8, Rect.top + 1, Rect.right - 8, Rect.bottom - 1};
    ::DrawFocusRect(Canvas, &focus);
  }
}

int TskTabControlTopPanel::DrawTabs(HDC Canvas, int W) {
  const int count = static_cast<int>(Tabs_.size());
  const int roomWith = W - 2 * ButtonWidth_ - 2;
  const int roomWithout = W - 10;
  TabWidths_.assign(count, -1);
  TabHeight_ = ActiveTabImage_.Height();
  DrawLine(Canvas, W);
  HGDIOBJ oldFont = ::SelectObject(Canvas, Tab_.GetFont() != nullptr ? Tab_.GetFont() : ui::DefaultFont());
  HIMAGELIST images = Tab_.GetImages();
  int x = LeftMargin_;
  int shown = 0;
  int lastWhole = -1;
  bool cut = false;
  bool passed = false;
  for (int i = 0; i < count; ++i) {
    if (!GetTabVisible(i)) {
      TabWidths_[i] = 0;
      continue;
    }
    SIZE ext{};
    ::GetTextExtentPoint32W(Canvas, Tabs_[i].c_str(), static_cast<int>(Tabs_[i].size()), &ext);
    int width = Tabs_[i].empty() ? 80 : ext.cx + 20;
    int image = images != nullptr ? Tab_.GetTabImageIndex(i) : -1;
    if (image >= 0 && image < ImageList_GetImageCount(images)) {
      int iw = 0, ih = 0;
      ImageList_GetIconSize(images, &iw, &ih);
      width += iw + 4;
    }
    width = std::max(width, 15);
    TabWidths_[i] = width;
    if (shown++ < FirstVisible_) continue;
    const int room = (i == count - 1 && FirstVisible_ == 0) ? roomWithout : roomWith;
    bool cutHere = x + width > room;
    if (cutHere) {
      passed = true;
      width = std::max(0, roomWith - x);
      if (i != TabIndex_) TabWidths_[i] = width;
    }
    if (width > 0) DrawOneTab(Canvas, i, TabRect(x, width, i == TabIndex_), cutHere);
    x += width;
    if (cutHere) {
      cut = true;
      break;
    }
    lastWhole = i;
  }
  ::SelectObject(Canvas, oldFont);
  ButtonsShown_ = count > 0 && (passed || cut);
  return lastWhole;
}

RECT TskTabControlTopPanel::RightButtonRect() const {
  const int W = Width_();
  const int H = StripHeight();
  int top = H - ButtonHeight_ < 4 ? 0 : (H - ButtonHeight_) / 2 - 2;
  if (TabPosition_ == skBottom) top = H - ButtonHeight_ < 4 ? H - ButtonHeight_ : top + 2;
  const int left = W - 2 - ButtonWidth_;
  return RECT{left, top, left + ButtonWidth_, top + ButtonHeight_};
}

RECT TskTabControlTopPanel::LeftButtonRect() const {
  RECT r = RightButtonRect();
  ::OffsetRect(&r, -ButtonWidth_, 0);
  return r;
}

void TskTabControlTopPanel::DrawScrollButtons(HDC Canvas, int W, POINT Cursor) {
  (void)W;
  if (!ButtonsShown_ && FirstVisible_ < 1) return;
  const RECT right = RightButtonRect();
  const RECT left = LeftButtonRect();
  int rightCell = 1, leftCell = 3;
  if (InRect(right, Cursor)) {
    rightCell = 2;
    ScrollButtonState_ = 1;
  } else if (InRect(left, Cursor)) {
    leftCell = 4;
    ScrollButtonState_ = -1;
  }
  Bitmap cell;
  if (CutBitmapPart(ButtonImage_, cell, 4, rightCell)) DrawPart(cell, RECT{0, 0, cell.Width(), cell.Height()}, Canvas, right.left, right.top, false, 0);
  if (CutBitmapPart(ButtonImage_, cell, 4, leftCell)) DrawPart(cell, RECT{0, 0, cell.Width(), cell.Height()}, Canvas, left.left, left.top, false, 0);
}

void TskTabControlTopPanel::ClampFirstVisible() {
  FirstVisible_ = std::min(FirstVisible_, static_cast<int>(Tabs_.size()) - 1);
  FirstVisible_ = std::max(FirstVisible_, 0);
}

void TskTabControlTopPanel::Repaint(POINT Cursor) {
  if (hwnd_ == nullptr) return;
  const int W = Width_();
  const int H = StripHeight();
  if (W <= 0 || H <= 0) return;
  Buffer_.SetSize(W, H);
  Buffer_.Fill(ColorToRGB(StripColor_));
  HDC canvas = Buffer_.Canvas();
  HWND tab = ::GetParent(hwnd_);
  if (tab != nullptr && ::GetParent(tab) != nullptr) {
    RECT mine{};
    ::GetWindowRect(hwnd_, &mine);
    ::MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&mine), 2);
    POINT oldOrg{};
    ::SetViewportOrgEx(canvas, -mine.left, -mine.top, &oldOrg);
    DrawParentBackground(canvas, tab);
    ::SetViewportOrgEx(canvas, oldOrg.x, oldOrg.y, nullptr);
  }
  ScrollButtonState_ = 0;
  ClampFirstVisible();
  int lastWhole = DrawTabs(canvas, W);
  const int count = static_cast<int>(Tabs_.size());
  if (ScrollIntoView_) {
    while (lastWhole < TabIndex_ && FirstVisible_ < count - 1) {
      ++FirstVisible_;
      Buffer_.Fill(ColorToRGB(StripColor_));
      lastWhole = DrawTabs(canvas, W);
    }
    ScrollIntoView_ = false;
  }
  DrawScrollButtons(canvas, W, Cursor);
  HDC screen = ::GetDC(hwnd_);
  ::BitBlt(screen, 0, 0, W, H, canvas, 0, 0, SRCCOPY);
  ::ReleaseDC(hwnd_, screen);
}

void TskTabControlTopPanel::Repaint() {
  POINT cursor{-1, -1};
  if (hwnd_ != nullptr && ::GetCursorPos(&cursor)) ::ScreenToClient(hwnd_, &cursor);
  Repaint(cursor);
}

int TskTabControlTopPanel::TabAt(int X, int Y) const {
  if (Y < 1 || Y >= TabHeight_) return -1;
  int start = LeftMargin_;
  int shown = 0;
  for (int i = 0; i < static_cast<int>(TabWidths_.size()); ++i) {
    const int width = TabWidths_[i];
    if (width == -1) break;
    if (width == 0) continue;
    if (shown++ < FirstVisible_) continue;
    if (start < X && X < start + width) return i;
    start += width;
  }
  return -1;
}

void TskTabControlTopPanel::MouseDown(int X, int Y) {
  Repaint(POINT{X, Y});
  if (ScrollButtonState_ != 0) {
    if (ScrollButtonState_ == -1) --FirstVisible_;
    else if (ButtonsShown_) ++FirstVisible_;
    FirstVisible_ = std::clamp(FirstVisible_, 0, static_cast<int>(Tabs_.size()));
    Repaint(POINT{X, Y});
    return;
  }
  int hit = TabAt(X, Y);
  if (hit < 0) return;
  InTabClick_ = true;
  SetTabIndex(hit);
  InTabClick_ = false;
}

int TskTabControlTopPanel::VisibleTabFrom(int Step, bool Wrap) const {
  const int count = static_cast<int>(Tabs_.size());
  // Hidden tabs are passed over: their pages are not meant to be reached.
  for (int k = 1; k <= count; ++k) {
    int next = TabIndex_ + Step * k;
    if (Wrap) next = (next % count + count) % count;
    else if (next < 0 || next >= count) return -1;
    if (GetTabVisible(next)) return next;
  }
  return -1;
}

int TskTabControlTopPanel::TabForKey(WPARAM Key) const {
  struct Rule {
    WPARAM key;
    bool ctrl, shift;
    int step;
    bool wrap;
  };
  // Tab past the last tab leaves the strip, so Tab alone reaches every
  // control; Shift+Tab always leaves it.
  static const Rule rules[] = {{VK_TAB, false, false, 1, false}, {VK_TAB, true, false, 1, true},
                               {VK_TAB, true, true, -1, true},   {VK_RIGHT, false, false, 1, false},
                               {VK_LEFT, false, false, -1, false}};
  const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0, shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
  for (const Rule& r : rules)
    if (r.key == Key && r.ctrl == ctrl && r.shift == shift) return VisibleTabFrom(r.step, r.wrap);
  return -1;
}

LRESULT TskTabControlTopPanel::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(hwnd_, &ps);
      ::EndPaint(hwnd_, &ps);
      Repaint();
      return 0;
    }
    case WM_LBUTTONDOWN:
      MouseDown(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
      if (Tab_.OnClick) Tab_.OnClick();
      return 0;
    case WM_LBUTTONDBLCLK:
      ::SetFocus(hwnd_);
      if (Tab_.OnDblClick) Tab_.OnDblClick();
      return 0;
    case WM_MOUSEMOVE:
      if (ButtonsShown_ || FirstVisible_ >= 1) Repaint(POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))});
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Repaint();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | (TabForKey(VK_TAB) >= 0 ? DLGC_WANTTAB : 0);
    case WM_KEYDOWN:
      if (w == VK_TAB || w == VK_LEFT || w == VK_RIGHT) {
        const int next = TabForKey(w);
        if (next >= 0) SetTabIndex(next);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultProc(msg, w, l);
}

}  // namespace skin
