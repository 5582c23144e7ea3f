#include "skin/controls/URLLabel.h"

#include <shellapi.h>
#include <windowsx.h>

namespace skin {

TskURLLabel::~TskURLLabel() {
  if (Exists()) ::DestroyWindow(hwnd_);
  if (underlined_ != nullptr) ::DeleteObject(underlined_);
}

bool TskURLLabel::Create(HWND parent, const std::wstring& caption, int x, int y) {
  if (!CreateCustom(parent, L"TskURLLabel", caption, WS_VISIBLE, 0, x, y, 10, 13)) return false;
  ::SetClassLongPtrW(hwnd_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(::LoadCursorW(nullptr, IDC_HAND)));
  FitSize();
  return true;
}

HFONT TskURLLabel::Underlined() {
  if (underlined_ == nullptr) {
    LOGFONTW lf{};
    ::GetObjectW(font_, sizeof(lf), &lf);
    lf.lfUnderline = TRUE;
    underlined_ = ::CreateFontIndirectW(&lf);
  }
  return underlined_;
}

void TskURLLabel::FitSize() {
  if (!Exists()) return;
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ old = ::SelectObject(dc, Underlined());
  std::wstring text = Text();
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd_, dc);
  SetBounds(Left(), Top(), text.empty() ? 0 : r.right, r.bottom);
}

void TskURLLabel::SetFontLinkColor(COLORREF colour) {
  linkColour_ = fontColour_ = colour;
  Invalidate();
}

void TskURLLabel::SetCaption(const std::wstring& text) {
  SetText(text);
  FitSize();
  Invalidate();
}

void TskURLLabel::Click() {
  size_t first = URL.find_first_not_of(L" \t");
  if (first != std::wstring::npos) {
    size_t last = URL.find_last_not_of(L" \t");
    std::wstring url = URL.substr(first, last - first + 1);
    ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
  }
  if (OnClick) OnClick();
}

LRESULT TskURLLabel::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      RECT rc{};
      ::GetClientRect(hwnd_, &rc);
      ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
      HGDIOBJ old = ::SelectObject(dc, Underlined());
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, fontColour_);
      std::wstring text = Text();
      ::DrawTextW(dc, text.c_str(), -1, &rc, DT_SINGLELINE | DT_LEFT);
      ::SelectObject(dc, old);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SETFONT:
      font_ = w != 0 ? reinterpret_cast<HFONT>(w) : ui::DefaultFont();
      if (underlined_ != nullptr) ::DeleteObject(underlined_), underlined_ = nullptr;
      FitSize();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_MOUSEMOVE:
      if (!mouseIn_) {
        mouseIn_ = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&tme);
        fontColour_ = FontHoverColor;
        Invalidate();
      }
      return 0;
    case WM_MOUSELEAVE:
      mouseIn_ = false;
      fontColour_ = linkColour_;
      Invalidate();
      return 0;
    case WM_LBUTTONUP:
      Click();
      return 0;
    default:
      return DefaultProc(msg, w, l);
  }
}

}  // namespace skin
