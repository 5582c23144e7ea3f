#include "ui/StdControls.h"

namespace ui {

bool Button::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, DWORD extraStyle) {
  return CreateControl(parent, L"BUTTON", caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | extraStyle, 0, x, y, w, h);
}

bool Button::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  if (msg != WM_COMMAND || HIWORD(w) != BN_CLICKED) return false;
  if (OnClick) OnClick();
  *result = 0;
  return true;
}

bool CheckBox::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  return CreateControl(parent, L"BUTTON", caption, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, x, y, w, h);
}

bool Label::Create(HWND parent, const std::wstring& caption, int x, int y, bool autoSize, int w, int h) {
  autoSize_ = autoSize;
  if (!CreateControl(parent, L"STATIC", caption, WS_VISIBLE | SS_NOTIFY | SS_LEFT, 0, x, y, w, h)) return false;
  if (autoSize_) FitToText();
  return true;
}

void Label::SetCaption(const std::wstring& text) {
  SetText(text);
  if (autoSize_) FitToText();
  Invalidate();
}

void Label::SetLabelFont(HFONT f) {
  font_ = f;
  SetFont(f);
  if (autoSize_) FitToText();
}

void Label::FitToText() {
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ old = ::SelectObject(dc, font_ != nullptr ? font_ : DefaultFont());
  std::wstring text = Text();
  SIZE sz{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd_, dc);
  SetBounds(Left(), Top(), sz.cx, tm.tmHeight);
}

bool Label::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  if (msg == WM_COMMAND && HIWORD(w) == STN_CLICKED) {
    if (OnClick) OnClick();
    *result = 0;
    return true;
  }
  if (msg != WM_CTLCOLORSTATIC) return false;
  HDC dc = reinterpret_cast<HDC>(w);
  if (color_ != CLR_INVALID) ::SetTextColor(dc, color_);
  if (transparent_) {
    ::SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  } else {
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    *result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
  }
  return true;
}

LRESULT Label::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (!background_) return DefaultProc(msg, w, l);
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return DefaultProc(msg, w, l);
  PaintOverBackground();
  return 0;
}

void Label::PaintOverBackground() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  background_(dc, Bounds());
  HGDIOBJ old = ::SelectObject(dc, font_ != nullptr ? font_ : DefaultFont());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, color_ != CLR_INVALID ? color_ : ::GetSysColor(COLOR_BTNTEXT));
  std::wstring text = Text();
  ::DrawTextW(dc, text.c_str(), -1, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::EndPaint(hwnd_, &ps);
}

bool Memo::Create(HWND parent, int x, int y, int w, int h, bool border) {
  return CreateControl(parent, L"EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | (border ? WS_BORDER : 0),
                       0, x, y, w, h);
}

bool ListBox::Create(HWND parent, int x, int y, int w, int h) {
  return CreateControl(parent, L"LISTBOX", L"",
                       WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                       WS_EX_CLIENTEDGE, x, y, w, h);
}

int ListBox::Add(const std::wstring& line) { return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()))); }

std::wstring ListBox::Item(int i) const {
  LRESULT len = Send(LB_GETTEXTLEN, static_cast<WPARAM>(i));
  if (len == LB_ERR) return {};
  std::wstring s(static_cast<size_t>(len) + 1, L'\0');
  Send(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(len));
  return s;
}

std::vector<std::wstring> ListBox::Items() const {
  std::vector<std::wstring> out;
  for (int i = 0, n = Count(); i < n; ++i) out.push_back(Item(i));
  return out;
}

bool ListBox::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  if (msg == WM_COMMAND && HIWORD(w) == LBN_SELCHANGE && OnSelChange) {
    OnSelChange();
    *result = 0;
    return true;
  }
  if (msg != WM_CTLCOLORLISTBOX) return false;
  HDC dc = reinterpret_cast<HDC>(w);
  ::SetTextColor(dc, color_);
  ::SetBkColor(dc, BackColor());
  *result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
  return true;
}

}  // namespace ui
