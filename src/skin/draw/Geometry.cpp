#include "skin/draw/Geometry.h"

#include "ui/Control.h"

namespace skin {

namespace {

HWND MdiClient(HWND mainForm) { return ::FindWindowExW(mainForm, nullptr, L"MDICLIENT", nullptr); }

bool OwnActiveState(HWND form) { return form != nullptr && ::GetActiveWindow() == form; }

bool ApplicationActive() {
  DWORD process = 0;
  HWND foreground = ::GetForegroundWindow();
  if (foreground == nullptr) return false;
  ::GetWindowThreadProcessId(foreground, &process);
  return process == ::GetCurrentProcessId();
}

}  // namespace

int TextWidth(HDC Canvas, const std::wstring& Text) {
  SIZE size{};
  ::GetTextExtentPoint32W(Canvas, Text.c_str(), static_cast<int>(Text.size()), &size);
  return size.cx;
}

void EllipsizeText(HDC Canvas, const std::wstring& Text, int MaxWidth, std::wstring& Result) {
  Result = Text;
  if (TextWidth(Canvas, Text) <= MaxWidth) return;
  for (size_t i = 1; i < Text.size(); ++i) {
    std::wstring shortened = Text.substr(0, i) + L"...";
    if (TextWidth(Canvas, shortened) >= MaxWidth) {
      Result = shortened;
      return;
    }
  }
}

bool PointInRect(int X, int Y, const RECT& Rect) {
  return Rect.left <= X && X <= Rect.right && Rect.top <= Y && Y <= Rect.bottom;
}

bool RectContainsPoint(const POINT& Point, const RECT& Rect) { return PointInRect(Point.x, Point.y, Rect); }

void PlaceControlAt(ui::Control& Control, const POINT& Point) {
  Control.SetLeft(Point.x);
  Control.SetTop(Point.y);
}

void PlaceControlInRect(ui::Control& Control, const RECT& Rect) {
  Control.SetLeft(Rect.left);
  Control.SetTop(Rect.top);
  Control.SetWidth(Rect.right - Rect.left);
  Control.SetHeight(Rect.bottom - Rect.top);
}

void GetDesktopWorkArea(HWND MainForm, RECT& Rect) {
  if (MainForm != nullptr) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromWindow(MainForm, MONITOR_DEFAULTTONEAREST), &info)) {
      Rect = info.rcWork;
      return;
    }
  }
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &Rect, 0);
}

bool IsFormActive(HWND Form, HWND MainForm) {
  if (MainForm == nullptr) return OwnActiveState(Form);
  HWND client = MdiClient(MainForm);
  if (client != nullptr && Form == MainForm) return true;
  if (!ApplicationActive()) return false;
  if (Form == nullptr || Form == MainForm) return true;
  if (client != nullptr) {
    HWND active = reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
    if (active == Form) return true;
  }
  return OwnActiveState(Form);
}

void StringFromPChar(const wchar_t* Text, std::wstring& Result) {
  Result = Text != nullptr ? std::wstring(Text) : std::wstring();
}

namespace {
int g_rightToLeftAnswer = -1;
}  // namespace

bool SystemReadsRightToLeft() {
  return g_rightToLeftAnswer >= 0 ? g_rightToLeftAnswer != 0 : ::GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}

void SetSystemReadsRightToLeft(int Answer) { g_rightToLeftAnswer = Answer; }

bool ReadsRightToLeft(HWND Window) {
  return Window != nullptr && (::GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0 &&
         SystemReadsRightToLeft();
}

}  // namespace skin
