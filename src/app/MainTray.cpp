// The notification-area icon: the window hides into it when minimised.
#include <windows.h>
#include <shellapi.h>

#include "app/Main.h"
#include "ui/Application.h"

namespace app {

void TfrmMain::SetTrayIcon(bool add) {
  if (add == trayIconShown_) return;
  NOTIFYICONDATAW nid{};
  nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
  nid.hWnd = hwnd_;
  nid.uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(hwnd_));
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_TRAYNOTIFY;
  nid.hIcon = ::LoadIconW(ui::Application::Instance().Module(), MAKEINTRESOURCEW(1));
  lstrcpynW(nid.szTip, L"Left Click to activate Vantorel\r\nRight Click to popup menu", 64);
  if (::Shell_NotifyIconW(add ? NIM_ADD : NIM_DELETE, &nid) || !add) trayIconShown_ = add;
}

void TfrmMain::RestoreFromTray() {
  ::ShowWindow(hwnd_, SW_SHOW);
  // A window hidden without being minimised (an automatic run) keeps its icon.
  if (::IsIconic(hwnd_)) {
    ::ShowWindow(hwnd_, SW_RESTORE);
    SetTrayIcon(false);
  }
  ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, FAppExStyle);
  ::SetForegroundWindow(hwnd_);
}

namespace {

// The notification area's top-left corner on the screen; false without a task bar.
bool NotificationAreaCorner(POINT* corner) {
  HWND bar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  HWND area = bar != nullptr ? ::FindWindowExW(bar, nullptr, L"TrayNotifyWnd", nullptr) : nullptr;
  RECT r{};
  if (area == nullptr || !::GetWindowRect(area, &r)) return false;
  *corner = POINT{r.left, r.top};
  return true;
}

}  // namespace

LRESULT TfrmMain::WMSysCommand(WPARAM w, LPARAM l) {
  // The low four bits of the command are the system's own.
  if ((w & 0xFFF0) != SC_MINIMIZE) return DefaultProc(WM_SYSCOMMAND, w, l);
  // A tool window leaves the task bar, and the minimise flies toward the tray.
  ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, FAppExStyle | WS_EX_TOOLWINDOW);
  POINT corner{};
  WINDOWPLACEMENT place{};
  place.length = sizeof(place);
  if (NotificationAreaCorner(&corner) && ::GetWindowPlacement(hwnd_, &place)) {
    place.flags |= WPF_SETMINPOSITION;
    place.ptMinPosition = corner;
    ::SetWindowPlacement(hwnd_, &place);
  }
  DefaultProc(WM_SYSCOMMAND, w, l);
  ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, FAppExStyle);
  ::ShowWindow(hwnd_, SW_HIDE);
  // "/Auto" posts lParam 1: its icon was added at creation.
  if (l != 1) SetTrayIcon(true);
  return 0;
}

LRESULT TfrmMain::WMTrayNotify(WPARAM, LPARAM l) {
  if (l == WM_LBUTTONDOWN) {
    RestoreFromTray();
    if (lMain.Visible() && lMain.Count() > 0) lMain.Send(LB_SETCURSEL, 0);
  } else if (l == WM_RBUTTONDOWN) {
    ::SetForegroundWindow(hwnd_);
    POINT pt{};
    ::GetCursorPos(&pt);
    // Above the point, clear of the icon's hint below the cursor.
    pmSelf.Popup(hwnd_, pt, true);
  }
  return 0;
}

}  // namespace app
