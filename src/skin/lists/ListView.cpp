#include "skin/lists/ListView.h"

#include <algorithm>
#include <cstdlib>

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/SafeCalls.h"
#include "skin/lists/FileThemeLink.h"
#include "skin/lists/ThemeAccess.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

namespace {
const wchar_t kHeaderOwner[] = L"VantorelSkinListHeader";

void VLine(HDC dc, int x, int top, int bottom) {
  ::MoveToEx(dc, x, top, nullptr);
  ::LineTo(dc, x, bottom);
}
}  // namespace

std::wstring FitCaption(HDC Canvas, const std::wstring& Text, int Room) {
  if (TextWidth(Canvas, Text) <= Room) return Text;
  for (size_t n = Text.size(); n > 1; --n) {
    std::wstring cut = Text.substr(0, n - 1) + L"...";
    if (TextWidth(Canvas, cut) < Room) return cut;
  }
  return Text.substr(0, 1) + L"...";
}

TskListView::~TskListView() {
  if (HeaderHandle_ != nullptr && ::IsWindow(HeaderHandle_) && OldHeaderProc_ != nullptr) {
    ::SetWindowLongPtrW(HeaderHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldHeaderProc_));
    ::RemovePropW(HeaderHandle_, kHeaderOwner);
  }
  for (TskScrollBar* bar : {VScrollBar_, HScrollBar_})
    if (bar != nullptr) bar->SetOnChange({}), bar->SetOnFree({});
}

bool TskListView::Create(HWND Parent, int X, int Y, int W, int H, bool CheckBoxes, const ui::Window* Owner) {
  if (!ui::ListView::Create(Parent, X, Y, W, H, CheckBoxes)) return false;
  // Our frame replaces the sunken edge: one pixel of border, one of face.
  ::SetWindowLongW(hwnd_, GWL_EXSTYLE, ::GetWindowLongW(hwnd_, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
  ::SetWindowLongW(hwnd_, GWL_STYLE, ::GetWindowLongW(hwnd_, GWL_STYLE) | WS_BORDER);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  HeaderHandle_ = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  if (HeaderHandle_ != nullptr) {
    ::SetPropW(HeaderHandle_, kHeaderOwner, this);
    OldHeaderProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(HeaderHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TskListView::HeaderProc)));
  }
  UIStyle_ = FindFormUIStyle(Owner);
  SetUIStyle(UIStyle_);
  return true;
}

void TskListView::ApplyLook(const ThemeLook& look) {
  HeaderFontColor_ = look.Color(23, COLOR_BTNTEXT, 27);
  HeaderColor_ = look.Color(2, COLOR_BTNFACE, 15);
  for (TskScrollBar* bar : {VScrollBar_, HScrollBar_})
    if (bar != nullptr) bar->SetFileTheme(FileTheme_), bar->SetUIStyle(look.Style);
  if (hwnd_ != nullptr) ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TskListView::RedrawBorder() {
  if (hwnd_ != nullptr) ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool TskListView::RightToLeft() const { return ReadsRightToLeft(hwnd_); }

// ---- header ----

void TskListView::DrawHeader(HDC Canvas) {
  if (HeaderHandle_ == nullptr) return;
  HGDIOBJ oldFont = ::SelectObject(Canvas, reinterpret_cast<HFONT>(::SendMessageW(HeaderHandle_, WM_GETFONT, 0, 0)));
  HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(BorderColor_));
  HGDIOBJ oldPen = ::SelectObject(Canvas, pen);
  ::SetTextColor(Canvas, ColorToRGB(HeaderFontColor_));
  ::SetBkMode(Canvas, TRANSPARENT);
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, LVSIL_SMALL));
  RECT client{};
  ::GetClientRect(HeaderHandle_, &client);
  const int count = static_cast<int>(::SendMessageW(HeaderHandle_, HDM_GETITEMCOUNT, 0, 0));
  int lastSeparator = -100;
  int right = 0;
  for (int i = 0; i < count; ++i) {
    RECT r{};
    ::SendMessageW(HeaderHandle_, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    wchar_t text[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 259;
    ::SendMessageW(HeaderHandle_, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    FillRectColor(Canvas, r, HeaderColor_);
    const bool hasImage = images != nullptr && (item.fmt & HDF_IMAGE) != 0 && item.iImage >= 0;
    int iw = 0, ih = 0;
    if (hasImage) ImageList_GetIconSize(images, &iw, &ih);
    const std::wstring caption = text;
    const int room = (r.right - r.left) - 6;
    const int used = TextWidth(Canvas, caption) + (hasImage ? iw : 0);
    int x;
    switch (item.fmt & HDF_JUSTIFYMASK) {
      case HDF_RIGHT: x = std::max(room - used - 2, 4) + r.left; break;
      case HDF_CENTER: x = std::max((room - used - 2) / 2, 4) + r.left; break;
      default: x = r.left + 4; break;
    }
    if (hasImage) {
      ImageList_Draw(images, item.iImage, Canvas, x, r.top + (r.bottom - r.top - ih) / 2, ILD_TRANSPARENT);
      x += iw + 2;
    }
    RECT textRect{x, r.top, r.right - 2, r.bottom};
    const std::wstring shown = FitCaption(Canvas, caption, r.right - x - 2);
    ::DrawTextW(Canvas, shown.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    VLine(Canvas, r.right - 1, r.top, r.bottom);
    // A zero-width section would hide its line in the previous one: it gets
    // a second line just left of it.
    if (lastSeparator == r.right - 1) VLine(Canvas, r.right - 2, r.top, r.bottom);
    lastSeparator = r.right - 1;
    right = r.right;
  }
  FillRectColor(Canvas, RECT{right, client.top, client.right, client.bottom}, HeaderColor_);
  ::MoveToEx(Canvas, client.left, client.bottom - 1, nullptr);
  ::LineTo(Canvas, client.right, client.bottom - 1);
  ::SelectObject(Canvas, oldPen);
  ::DeleteObject(pen);
  ::SelectObject(Canvas, oldFont);
}

LRESULT CALLBACK TskListView::HeaderProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TskListView*>(::GetPropW(hwnd, kHeaderOwner));
  if (self == nullptr) return ::DefWindowProcW(hwnd, msg, w, l);
  WNDPROC old = self->OldHeaderProc_;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    self->DrawHeader(dc);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    ::RemovePropW(hwnd, kHeaderOwner);
    self->HeaderHandle_ = nullptr;
    return ::CallWindowProcW(old, hwnd, msg, w, l);
  }
  LRESULT result = ::CallWindowProcW(old, hwnd, msg, w, l);
  if (msg == HDM_SETITEMA || msg == HDM_SETITEMW) ::InvalidateRect(hwnd, nullptr, TRUE);
  if (msg == WM_WINDOWPOSCHANGING && !self->ScrollingFromBar_) self->SyncScrollBars();
  return result;
}

// ---- frame ----

void TskListView::DrawFrame() {
  COLORREF face = static_cast<COLORREF>(Send(LVM_GETBKCOLOR));
  DrawWindowFrame(hwnd_, BorderColor_, face == CLR_NONE ? ::GetSysColor(COLOR_WINDOW) : face, true);
}

// ---- skinned scroll bars ----

void TskListView::AssignBar(TskScrollBar*& Slot, TskScrollBar* Bar, bool Vertical) {
  if (Slot == Bar) return;
  if (Slot != nullptr) {
    Slot->SetOnChange({});
    Slot->SetOnFree({});
    Slot->SetLineButton(0);
    Slot->SetMax(100);
    ::EnableWindow(Slot->Handle(), TRUE);
  }
  Slot = Bar;
  if (Bar == nullptr) return;
  Bar->SetOrientation(Vertical ? skVertical : skHorizontal);
  // The bar reports how far it moved; the list scrolls by that much.
  Bar->SetOnChange([this, Bar, Vertical] { ScrollFromBar(Vertical, Bar->GetTrackField()); });
  // A bar destroyed before the list is dropped, never used again.
  TskScrollBar** slot = &Slot;
  Bar->SetOnFree([this, slot] {
    *slot = nullptr;
    PlaceScrollBars();
  });
  ::SetWindowPos(Bar->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  PlaceScrollBars();
}

void TskListView::SetVScrollBar(TskScrollBar* Bar) { AssignBar(VScrollBar_, Bar, true); }
void TskListView::SetHScrollBar(TskScrollBar* Bar) { AssignBar(HScrollBar_, Bar, false); }

void TskListView::PlaceScrollBars() {
  if (hwnd_ == nullptr) return;
  const RECT list = Bounds();
  const int listW = list.right - list.left;
  const int listH = list.bottom - list.top;
  const bool rtl = RightToLeft();
  auto size = [](HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  auto move = [](HWND h, int x, int y, int w, int hh) { ::MoveWindow(h, x, y, w, hh, TRUE); };
  const bool vVisible = VScrollBar_ != nullptr && ::IsWindowVisible(VScrollBar_->Handle());
  const bool hVisible = HScrollBar_ != nullptr && ::IsWindowVisible(HScrollBar_->Handle());
  if (HScrollBar_ != nullptr) {
    HWND h = HScrollBar_->Handle();
    SIZE s = size(h);
    SIZE v = VScrollBar_ != nullptr ? size(VScrollBar_->Handle()) : SIZE{0, 0};
    if (s.cy <= listH) {
      int left = list.left + 1 + (rtl && vVisible ? v.cx : 0);
      move(h, left, list.bottom - s.cy - 2, listW - 2 - (vVisible ? v.cx : 0), s.cy);
    } else {
      move(h, list.left, list.top, s.cx, s.cy);
    }
  }
  if (VScrollBar_ != nullptr) {
    HWND h = VScrollBar_->Handle();
    SIZE s = size(h);
    SIZE hs = HScrollBar_ != nullptr ? size(HScrollBar_->Handle()) : SIZE{0, 0};
    if (s.cx <= listW) {
      int left = rtl ? list.left + 2 : list.right - s.cx - 2;
      move(h, left, list.top + 1, s.cx, listH - 2 - (hVisible ? hs.cy : 0));
    } else {
      move(h, list.left, list.top, s.cx, s.cy);
    }
  }
  SyncScrollBars();
}

void TskListView::SyncBar(TskScrollBar* Bar, LONG ObjectId, int Bar32) {
  HWND h = Bar->Handle();
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  const bool available = SafeGetScrollBarInfo(hwnd_, ObjectId, &info) != 0 &&
                         (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) == 0;
  if (!available) {
    Bar->SetLineButton(0);
    ::EnableWindow(h, FALSE);
    ::ShowWindow(h, SW_HIDE);
    return;
  }
  if (Enabled()) {
    Bar->SetLineButton(std::abs(info.xyThumbBottom - info.xyThumbTop));
    ::EnableWindow(h, TRUE);
    ::ShowWindow(h, SW_SHOWNA);
  } else {
    ::EnableWindow(h, FALSE);
  }
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  if (::GetScrollInfo(hwnd_, Bar32, &si)) {
    Bar->SetMax(si.nMax - static_cast<int>(si.nPage) + 1);
    Bar->SetMin(si.nMin);
    Bar->SetPosition(si.nPos);
  }
}

void TskListView::SyncScrollBars() {
  if (hwnd_ == nullptr || SyncingBars_) return;
  SyncingBars_ = true;
  if (VScrollBar_ != nullptr) SyncBar(VScrollBar_, OBJID_VSCROLL, SB_VERT);
  if (HScrollBar_ != nullptr) SyncBar(HScrollBar_, OBJID_HSCROLL, SB_HORZ);
  SyncingBars_ = false;
}

void TskListView::ScrollFromBar(bool Vertical, int Value) {
  if (SyncingBars_) return;
  if (!Vertical) {
    ScrollingFromBar_ = true;
    Send(LVM_SCROLL, static_cast<WPARAM>(Value), 0);
    ScrollingFromBar_ = false;
    return;
  }
  if ((::GetWindowLongW(hwnd_, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT) {
    const WPARAM step = Value < 0 ? SB_LINEUP : SB_LINEDOWN;
    for (int i = 0; i < std::abs(Value); ++i) Send(WM_VSCROLL, step, 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
  } else {
    Send(LVM_SCROLL, 0, static_cast<LPARAM>(Value));
  }
}

LRESULT TskListView::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SIZE) PlaceScrollBars();
  if (msg == WM_LBUTTONDOWN) LeftButtonDown_ = true;
  if (msg == WM_LBUTTONUP) LeftButtonDown_ = false;
  // Through the class library, so a popup menu and key handlers reach the list too.
  LRESULT result = ui::ListView::OnMessage(msg, w, l);
  switch (msg) {
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_NCPAINT:
      DrawFrame();
      break;
    case WM_ENABLE:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
    case WM_LBUTTONDOWN:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_INSERTITEMW:
      SyncScrollBars();
      break;
    case WM_MOUSEMOVE:
      if (LeftButtonDown_) SyncScrollBars();
      break;
    case WM_MOVE:
    case WM_SIZE:
      PlaceScrollBars();
      break;
    case WM_SHOWWINDOW:
      if (w != 0) {
        PlaceScrollBars();
      } else {
        if (VScrollBar_ != nullptr) ::ShowWindow(VScrollBar_->Handle(), SW_HIDE);
        if (HScrollBar_ != nullptr) ::ShowWindow(HScrollBar_->Handle(), SW_HIDE);
      }
      break;
    default:
      break;
  }
  return result;
}

}  // namespace skin
