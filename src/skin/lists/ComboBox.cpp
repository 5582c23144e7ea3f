#include "skin/lists/ComboBox.h"

#include "skin/draw/Bitmap.h"
#include "skin/draw/Fills.h"
#include "skin/draw/SafeCalls.h"
#include "skin/draw/Strips.h"
#include "skin/lists/FileThemeLink.h"
#include "skin/lists/ThemeAccess.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

namespace {
constexpr COLORREF kGrey = RGB(128, 128, 128);

void Triangle(HDC dc, int x, int y, COLORREF colour) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
  HBRUSH brush = ::CreateSolidBrush(colour);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  POINT pts[3] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
  ::Polygon(dc, pts, 3);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(pen);
  ::DeleteObject(brush);
}

bool StretchPicture(HDC dc, const RECT& r, const wchar_t* name, HMODULE module) {
  Bitmap picture;
  if (!picture.LoadFromResource(module != nullptr ? module : ::GetModuleHandleW(nullptr), name)) return false;
  return StretchDrawBitmap(picture, dc, r);
}

bool RightToLeftReading(HWND hwnd) {
  return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0 && ::GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}
}  // namespace

void DrawComboArrow(HDC Canvas, int X, int Y, COLORREF ArrowColor, bool Enabled) {
  if (Enabled) {
    Triangle(Canvas, X, Y, ColorToRGB(ArrowColor));
    return;
  }
  Triangle(Canvas, X + 1, Y + 1, RGB(255, 255, 255));
  Triangle(Canvas, X, Y, kGrey);
}

void DrawComboButtonFace(HDC Canvas, const RECT& Button, const ComboButtonLook& Look, HMODULE Pictures) {
  const wchar_t* picture = Look.Style == MacOS ? L"MACOS_COMBOBOX_BUTTON" : Look.Style == WinXP ? L"WINXP_COMBOBOX_BUTTON" : nullptr;
  bool drawn = picture != nullptr && StretchPicture(Canvas, Button, picture, Pictures);
  if (!drawn) {
    FillRectColor(Canvas, Button, Look.ButtonColor);
    HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(Look.BorderColor));
    HGDIOBJ old = ::SelectObject(Canvas, pen);
    const int x = Look.RightToLeft ? Button.right - 1 : Button.left;
    ::MoveToEx(Canvas, x, Button.top - 1, nullptr);
    ::LineTo(Canvas, x, Button.bottom + 1);
    ::SelectObject(Canvas, old);
    ::DeleteObject(pen);
  }
  // The WinXP picture carries its own arrow; a plain face needs one drawn.
  if (Look.Style == WinXP && drawn) return;
  const int width = Button.right - Button.left;
  const int height = Button.bottom - Button.top;
  DrawComboArrow(Canvas, Button.left + width / 2 - 3, height / 2, Look.ArrowColor, Look.Enabled);
}

bool TskCustomComboBox::Create(HWND Parent, int X, int Y, int W, int H, DWORD ComboStyle, const ui::Window* Owner) {
  if (!CreateControl(Parent, L"COMBOBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ComboStyle, 0, X, Y, W, H))
    return false;
  UIStyle_ = FindFormUIStyle(Owner);
  SetUIStyle(UIStyle_);
  return true;
}

int TskCustomComboBox::Add(const std::wstring& Item) {
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Item.c_str())));
}

void TskCustomComboBox::SetItems(const std::vector<std::wstring>& Lines) {
  Send(CB_RESETCONTENT);
  for (const std::wstring& line : Lines) Add(line);
}

TskUIStyle TskCustomComboBox::ResolvedStyle() const { return ResolveLook(FileTheme_, UIStyle_).Style; }

void TskCustomComboBox::ApplyLook(const ThemeLook& look) {
  ButtonColor_ = look.Color(21, COLOR_BTNFACE, 15);
  ArrowColor_ = RGB(0, 0, 0);
  Invalidate();
}

void TskCustomComboBox::SetButtonColor(COLORREF Value) {
  ButtonColor_ = Value;
  Invalidate();
}

void TskCustomComboBox::SetArrowColor(COLORREF Value) {
  ArrowColor_ = Value;
  Invalidate();
}

void TskCustomComboBox::DrawComboButton() {
  if (hwnd_ == nullptr || (::GetWindowLongW(hwnd_, GWL_STYLE) & 3) == CBS_SIMPLE) return;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (SafeGetComboBoxInfo(hwnd_, &info) == 0) return;
  HDC dc = ::GetDC(hwnd_);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  HBRUSH border = ::CreateSolidBrush(ColorToRGB(BorderColor_));
  HBRUSH face = ::CreateSolidBrush(::GetSysColor(Enabled() ? COLOR_WINDOW : COLOR_BTNFACE));
  ::FrameRect(dc, &client, border);
  RECT inner = client;
  ::InflateRect(&inner, -1, -1);
  ::FrameRect(dc, &inner, face);
  if (info.hwndList != nullptr && Send(CB_GETDROPPEDSTATE) != 0) {
    RECT list{};
    ::GetWindowRect(info.hwndList, &list);
    HDC screen = ::GetDC(nullptr);
    ::FrameRect(screen, &list, border);
    ::ReleaseDC(nullptr, screen);
  }
  ComboButtonLook look{ResolvedStyle(), ButtonColor_, BorderColor_, ArrowColor_, Enabled(), RightToLeftReading(hwnd_)};
  DrawComboButtonFace(dc, info.rcButton, look);
  ::DeleteObject(border);
  ::DeleteObject(face);
  ::ReleaseDC(hwnd_, dc);
}

LRESULT TskCustomComboBox::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT:
    case WM_ERASEBKGND: {
      LRESULT result = DefaultProc(msg, w, l);
      DrawComboButton();
      return result;
    }
    case WM_ENABLE: {
      LRESULT result = DefaultProc(msg, w, l);
      Invalidate();
      return result;
    }
    default:
      return DefaultProc(msg, w, l);
  }
}

bool TskCustomComboBox::OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  (void)l;
  if (msg != WM_COMMAND) return false;
  if (HIWORD(w) == CBN_SELCHANGE && OnChange) OnChange();
  if (HIWORD(w) == CBN_CLOSEUP) ::InvalidateRect(::GetParent(hwnd_), nullptr, TRUE);
  *result = 0;
  return false;
}

}  // namespace skin
