#include "skin/controls/FlatEdit.h"

#include "skin/controls/FlatColors.h"
#include "skin/controls/SkinControl.h"
#include "skin/draw/Fills.h"

namespace skin {

TFlatEdit::~TFlatEdit() {
  if (brush_ != nullptr) ::DeleteObject(brush_);
}

bool TFlatEdit::Create(HWND parent, const std::wstring& text, int x, int y, int w, int h) {
  if (!CreateControl(parent, L"EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, x, y, w, h)) return false;
  if (parentColor_) colors_[2] = ParentFaceColour(hwnd_);
  FitHeight();
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  return true;
}

void TFlatEdit::FitHeight() {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  SetHeight(tm.tmHeight + 6);
}

void TFlatEdit::SetIndexedColor(int index, COLORREF colour) {
  if (index < 0 || index >= 3) return;
  colors_[index] = colour;
  if (index == 2) parentColor_ = false;
  UpdateAdvColors();
  PaintFrame();
}

void TFlatEdit::SetUseAdvColors(bool value) {
  useAdvColors_ = value;
  SetParentColor(value);
  UpdateAdvColors();
  PaintFrame();
}

void TFlatEdit::SetParentColor(bool value) {
  parentColor_ = value;
  if (value) ParentColorChanged();
}

// The parent's colour (or the system's) changed: the idle face follows it
// while it takes the parent's, and the derived colours are made anew.
void TFlatEdit::ParentColorChanged() {
  if (parentColor_ && Exists()) colors_[2] = ParentFaceColour(hwnd_);
  UpdateAdvColors();
  PaintFrame();
}

void TFlatEdit::SetAdvColor(int index, BYTE value) {
  advColors_[index] = value;
  UpdateAdvColors();
  PaintFrame();
}

void TFlatEdit::UpdateAdvColors() {
  if (!useAdvColors_) return;
  colors_[0] = ShiftColorLightness(colors_[2], colors_[0], advColors_[0], false);
  colors_[1] = ShiftColorLightness(colors_[2], colors_[1], advColors_[1], true);
}

bool TFlatEdit::Active() const {
  if (!Exists()) return false;
  if (::GetFocus() == hwnd_) return true;
  HWND focus = ::GetFocus();
  bool focusOnFlatEdit = dynamic_cast<TFlatEdit*>(focus ? ui::Control::FromHandle(focus) : nullptr) != nullptr;
  return mouseIn_ && !focusOnFlatEdit;
}

void TFlatEdit::PaintFrame() {
  if (!Exists()) return;
  HDC dc = ::GetWindowDC(hwnd_);
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  ::OffsetRect(&r, -r.left, -r.top);
  COLORREF face = ColorToRGB(FaceColour());
  HBRUSH border = ::CreateSolidBrush(ColorToRGB(colors_[1]));
  HBRUSH inner = ::CreateSolidBrush(face);
  ::FrameRect(dc, &r, border);
  for (int i = 0; i < 2; ++i) {
    ::InflateRect(&r, -1, -1);
    ::FrameRect(dc, &r, inner);
  }
  ::DeleteObject(border);
  ::DeleteObject(inner);
  ::ReleaseDC(hwnd_, dc);
}

bool TFlatEdit::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  // A read-only edit asks with WM_CTLCOLORSTATIC; it keeps the flat look too.
  if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return false;
  COLORREF face = Enabled() ? ColorToRGB(FaceColour()) : ::GetSysColor(COLOR_BTNFACE);
  if (brush_ != nullptr) ::DeleteObject(brush_);
  brush_ = ::CreateSolidBrush(face);
  ::SetBkColor(reinterpret_cast<HDC>(w), face);
  *result = reinterpret_cast<LRESULT>(brush_);
  return true;
}

LRESULT TFlatEdit::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<RECT*>(l);
      ::InflateRect(r, -3, -3);
      return 0;
    }
    case WM_NCPAINT:
      PaintFrame();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT res = DefaultProc(msg, w, l);
      PaintFrame();
      ::InvalidateRect(hwnd_, nullptr, TRUE);
      return res;
    }
    case WM_MOUSEMOVE:
      if (!mouseIn_ && ::GetActiveWindow() != nullptr) {
        mouseIn_ = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&tme);
        PaintFrame();
        ::InvalidateRect(hwnd_, nullptr, TRUE);
      }
      return DefaultProc(msg, w, l);
    case WM_MOUSELEAVE:
      mouseIn_ = false;
      PaintFrame();
      ::InvalidateRect(hwnd_, nullptr, TRUE);
      return DefaultProc(msg, w, l);
    case WM_SETFONT: {
      LRESULT res = DefaultProc(msg, w, l);
      FitHeight();
      return res;
    }
    case kParentColorChanged:
    case WM_SYSCOLORCHANGE:
      ParentColorChanged();
      return 0;
    default:
      return DefaultProc(msg, w, l);
  }
}

}  // namespace skin
