// Drawing and mouse handling of the title bar.
#include <windowsx.h>

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/Strips.h"
#include "skin/file/FileTheme.h"
#include "skin/form/HotButton.h"
#include "skin/form/SkinForm.h"
#include "skin/form/TitleBar.h"
#include "skin/theme/StyleResolve.h"

namespace skin {
namespace {

// The program's icon at 16 x 16; the system's application icon without one.
HICON SmallAppIcon() {
  static HICON icon = [] {
    HINSTANCE self = ::GetModuleHandleW(nullptr);
    auto h = static_cast<HICON>(::LoadImageW(self, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    if (h == nullptr) h = static_cast<HICON>(::LoadImageW(self, L"MAINICON", IMAGE_ICON, 16, 16, 0));
    return h != nullptr ? h : ::LoadIconW(nullptr, IDI_APPLICATION);
  }();
  return icon;
}

}  // namespace

LRESULT TskTitleBar::OnMessage(UINT msg, WPARAM w, LPARAM l) {
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
      Repaint();
      break;
    case WM_LBUTTONDOWN:
      MouseDown(pt);
      return 0;
    case WM_LBUTTONDBLCLK:
      DoubleClick(pt);
      MouseDown(pt);
      return 0;
    case WM_MOUSEMOVE:
      Track(pt);
      return 0;
    case WM_MOUSELEAVE:
      Track(POINT{-32000, -32000});  // far from any button, edges included
      return 0;
    case WM_LBUTTONUP:
      MouseUp(pt);
      return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
      if (HWND form = ParentForm()) return ::SendMessageW(form, msg, w, l);
      break;
    default:
      break;
  }
  return DefaultProc(msg, w, l);
}

// Every edge of a button counts as inside, and where laid-out buttons
// overlap (a bar narrower than its row) the later one wins.
int TskTitleBar::HitButton(POINT pt) const {
  int hit = -1;
  for (size_t i = 0; i < ButtonRects_.size(); ++i) {
    const RECT& r = ButtonRects_[i];
    if (r.right > r.left && RectContainsPoint(pt, r)) hit = static_cast<int>(i);
  }
  return hit;
}

void TskTitleBar::Track(POINT pt) {
  Mouse_ = pt;
  if (FollowMouse(hwnd_, pt, HitButton(pt), HotIndex_)) Repaint();
}

void TskTitleBar::MouseDown(POINT pt) {
  Track(pt);
  MouseDown_ = true;
  Repaint();
  HWND form = ParentForm();
  if (HotIndex_ >= 0 || form == nullptr || ::IsZoomed(form)) {
    ::SetCapture(hwnd_);
    return;
  }
  // Away from the buttons the press drags the window.
  ::ReleaseCapture();
  POINT screen = pt;
  ::ClientToScreen(hwnd_, &screen);
  MouseDown_ = false;
  ::SendMessageW(form, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

void TskTitleBar::MouseUp(POINT pt) {
  if (::GetCapture() == hwnd_) ::ReleaseCapture();
  bool wasDown = MouseDown_;
  Track(pt);
  MouseDown_ = false;
  int hot = HotIndex_;
  if (wasDown && hot >= 0) {
    const TskTitleBarButton& b = Buttons[hot];
    TskTitleBarBtnType type = b.ButtonType;
    if (type == skControlBox && b.ControlBoxMenu == nullptr) {
      POINT at{0, Height()};
      ::ClientToScreen(hwnd_, &at);
      PopupSystemMenu(at.x, at.y);
    } else {
      ClickButton(static_cast<size_t>(hot));
      if (type == skCustom && OnCustomBtnsClick) OnCustomBtnsClick(hot);
      if (type == skHelp && OnHelpBtnClick) OnHelpBtnClick(hot);
    }
  }
  Repaint();
}

void TskTitleBar::DoubleClick(POINT pt) {
  Track(pt);
  if (HotIndex_ < 0) {
    for (size_t i = 0; i < Buttons.size(); ++i)
      if (Buttons[i].ButtonType == skMax && Buttons[i].Visible) {
        ClickButton(i);
        return;
      }
  } else if (HotIndex_ == ControlBoxIndex_) {
    if (HWND form = ParentForm()) ::PostMessageW(form, WM_CLOSE, 0, 0);
  }
}

void TskTitleBar::Paint(HDC dc) {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  if (r.right <= 0 || r.bottom <= 0) return;
  Bitmap b(r.right, r.bottom);
  b.Fill(ColorToRGB(0x80000000 | COLOR_ACTIVECAPTION));
  ::SetBkMode(b.Canvas(), TRANSPARENT);
  HGDIOBJ oldFont = ::SelectObject(b.Canvas(), Font_);
  PaintSectionsAndCaption(b);
  PaintButtons(b);
  ::SelectObject(b.Canvas(), oldFont);
  DrawWhole(b, dc, 0, 0);
}

void TskTitleBar::PaintSectionsAndCaption(Bitmap& b) {
  if (ParentForm() == nullptr) return;
  int dx = 0, dy = 0;
  if (OnSkinFrame()) {
    int answer = BorderAnswer();
    dx = answer == 0 ? -3 : -answer;
    dy = -3;
  }
  TitleImage_.SetSize(b.Width() - 2 * dx, b.Height() - dy);
  FramedTitleImage_.SetSize(TitleImage_.Width(), TitleImage_.Height());
  FramedTitleImage_.Fill(TitleFillColor_);
  int x = dx, right = b.Width() - dx;
  const TskTitleBarSection* client = nullptr;
  bool hadCaption = false;
  int lastLeftWidth = 0, buttonsWidth = 0;
  for (const TskTitleBarButton& btn : Buttons)
    if (!btn.PicNormal.Empty()) buttonsWidth += btn.PicNormal.Width() + ButtonInterval;
  for (size_t i = 0; i < Sections.size(); ++i) {
    const TskTitleBarSection& s = Sections[i];
    const Bitmap& p = s.Picture;
    if (p.Empty()) continue;
    if (s.CapSec) {
      int nextWidth = i + 1 < Sections.size() ? Sections[i + 1].Width : 0;
      EllipsizeText(b.Canvas(), Caption_, b.Width() - LeftBtnXOffset_ - 21 - buttonsWidth - nextWidth, SectionCaption_);
      int w = TextWidth(b.Canvas(), SectionCaption_) + LeftBtnXOffset_ + 17 - lastLeftWidth;
      StretchWhole(p, b.Canvas(), RECT{x, dy, x + w, dy + p.Height()});
      StretchWhole(p, TitleImage_.Canvas(), RECT{x - dx, 0, x + w - dx, p.Height()});
      x += w;
      hadCaption = true;
    } else if (s.Align == skLeft) {
      DrawWhole(p, b.Canvas(), x, dy);
      DrawWhole(p, TitleImage_.Canvas(), x - dx, 0);
      x += p.Width();
      lastLeftWidth = p.Width();
    } else if (s.Align == skRight) {
      Bitmap over(p.Width(), p.Height());
      over.Fill(TitleFillColor_);
      DrawPart(p, RECT{0, 0, p.Width(), p.Height()}, over.Canvas(), 0, 0, true, TitleTransparentColor_);
      DrawWhole(over, b.Canvas(), right - p.Width(), dy);
      DrawWhole(p, TitleImage_.Canvas(), right - dx - p.Width(), 0);
      right -= p.Width();
    } else {
      client = &s;
    }
  }
  if (client != nullptr) {
    const Bitmap& p = client->Picture;
    StretchWhole(p, b.Canvas(), RECT{x, dy, right, dy + p.Height()});
    StretchWhole(p, TitleImage_.Canvas(), RECT{x - dx, 0, right - dx, p.Height()});
  }
  DrawWhole(TitleImage_, FramedTitleImage_.Canvas(), 0, 0);
  if (!hadCaption) SectionCaption_.clear();
  else if (auto* frame = dynamic_cast<TskForm*>(ComponentOfWindow(::GetParent(hwnd_)))) frame->PaintBorder();
}

void TskTitleBar::LayoutButtons(int width) {
  int border = BorderAnswer() - 1;
  int x = width - RightBtnXOffset_ + border;
  ButtonRects_.assign(Buttons.size(), RECT{});
  ControlBoxIndex_ = -1;
  for (size_t i = 0; i < Buttons.size(); ++i) {
    const TskTitleBarButton& btn = Buttons[i];
    if (!btn.Visible || !btn.HasPictures()) continue;
    if (btn.ButtonType == skControlBox) {
      ControlBoxIndex_ = static_cast<int>(i);
      continue;
    }
    int w = btn.PicNormal.Width(), h = btn.PicNormal.Height();
    // The close button sits flush at the right; the others keep a gap.
    x -= btn.ButtonType == skClose ? w : w + 1 + ButtonInterval;
    if (width < w + x + 1) x = width - w - 1;
    ButtonRects_[i] = RECT{x, ButtonTop_, x + w, ButtonTop_ + h};
  }
  RowLeft_ = x;
  IconX_ = LeftBtnXOffset_ - 4 - border;
  if (IconX_ < 0) IconX_ = 0;
  if (ControlBoxIndex_ >= 0) {
    const Bitmap& p = Buttons[ControlBoxIndex_].PicNormal;
    ButtonRects_[ControlBoxIndex_] = RECT{IconX_, ControlBoxTop_, IconX_ + p.Width(), ControlBoxTop_ + p.Height()};
  }
}

void TskTitleBar::PaintButtons(Bitmap& b) {
  if (ParentForm() == nullptr) return;
  LayoutButtons(b.Width());
  HotIndex_ = HitButton(Mouse_);
  COLORREF mask = FileReady() ? TitleTransparentColor_ : kMaskColour;
  for (size_t i = 0; i < Buttons.size(); ++i) {
    const TskTitleBarButton& btn = Buttons[i];
    const RECT& r = ButtonRects_[i];
    if (r.right <= r.left || static_cast<int>(i) == ControlBoxIndex_) continue;
    const Bitmap& p = btn.Picture(static_cast<int>(i) == HotIndex_, MouseDown_);
    DrawPart(p, RECT{0, 0, p.Width(), p.Height()}, b.Canvas(), r.left, r.top, btn.Transparent, mask);
  }
  int iconX = IconX_;
  if (ControlBoxIndex_ >= 0) {
    const TskTitleBarButton& box = Buttons[ControlBoxIndex_];
    if (DrawAppIcon) {
      ::DrawIconEx(b.Canvas(), iconX + 3, ControlBoxTop_, SmallAppIcon(), 16, 16, 0, nullptr, DI_NORMAL);
      iconX += 21;
    } else {
      const Bitmap& p = box.Picture(ControlBoxIndex_ == HotIndex_, MouseDown_);
      DrawPart(p, RECT{0, 0, p.Width(), p.Height()}, b.Canvas(), iconX, ControlBoxTop_ - 1, box.Transparent, mask);
      iconX += p.Width() + 5;
    }
  }
  if (iconX == 0) iconX = 6;
  DrawCaption(b, iconX, RowLeft_);
}

void TskTitleBar::DrawCaption(Bitmap& b, int iconX, int rowRight) {
  HDC dc = b.Canvas();
  ::SetTextColor(dc, ColorToRGB(FormActive_ ? FontColor : InactiveCaptionColor));
  std::wstring text = SectionCaption_;
  if (text.empty() && !Caption_.empty()) {
    text = Caption_;
    if (TextWidth(dc, text) > rowRight - iconX) {
      while (!text.empty() && TextWidth(dc, text + L"...") > rowRight - iconX) text.pop_back();
      text += L"...";
    }
  }
  int y = FileReady() ? CaptionTop_ - 3 : ButtonTop_ + (UIStyle_ == Protein ? 3 : 0);
  // Right to left, the caption ends 10 pixels before the button row.
  int x = RightToLeft() ? rowRight - TextWidth(dc, text) - 10 : iconX;
  CaptionX_ = x;
  ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace skin
