#include "skin/controls/URLLabel.h"

#include <shellapi.h>

namespace skin {

TskURLLabel::~TskURLLabel() {
  // The window goes first: it must not paint with a freed font.
  if (Exists()) ::DestroyWindow(hwnd_);
  if (underlined_ != nullptr) ::DeleteObject(underlined_);
}

bool TskURLLabel::Create(HWND parent, const std::wstring& caption, int x, int y) {
  if (!ui::Label::Create(parent, caption, x, y)) return false;
  LOGFONTW lf{};
  ::GetObjectW(ui::DefaultFont(), sizeof(lf), &lf);
  lf.lfUnderline = TRUE;
  underlined_ = ::CreateFontIndirectW(&lf);
  SetLabelFont(underlined_);
  UseColour(linkColour_);
  return true;
}

void TskURLLabel::UseColour(COLORREF colour) {
  fontColour_ = colour;
  SetTextColor(colour);
}

void TskURLLabel::SetFontLinkColor(COLORREF colour) {
  linkColour_ = colour;
  UseColour(colour);
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

bool TskURLLabel::OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  // The click comes from our own button-up, not from the static's notice.
  if (msg == WM_COMMAND && HIWORD(w) == STN_CLICKED) {
    *result = 0;
    return true;
  }
  return ui::Label::OnReflect(msg, w, l, result);
}

LRESULT TskURLLabel::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_MOUSEMOVE:
      if (!mouseIn_) {
        mouseIn_ = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&tme);
        UseColour(FontHoverColor);
      }
      break;
    case WM_MOUSELEAVE:
      mouseIn_ = false;
      UseColour(linkColour_);
      break;
    case WM_LBUTTONUP:
      Click();
      return 0;
    default:
      break;
  }
  return ui::Label::OnMessage(msg, w, l);
}

}  // namespace skin
