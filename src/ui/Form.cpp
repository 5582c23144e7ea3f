#include "ui/Form.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/Application.h"
#include "ui/DialogKeys.h"

namespace ui {

bool Form::RegisterClassOnce() {
  HINSTANCE inst = Application::Instance().Module();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(inst, className_.c_str(), &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Window::StaticWndProc;
  wc.hInstance = inst;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = ::LoadIconW(inst, MAKEINTRESOURCEW(1));
  wc.lpszClassName = className_.c_str();
  return ::RegisterClassExW(&wc) != 0;
}

bool Form::Create(HWND owner, const std::wstring& caption, DWORD style, DWORD exStyle) {
  if (className_.empty() || className_.size() > 63 || !RegisterClassOnce()) return false;
  HWND h = ::CreateWindowExW(exStyle, className_.c_str(), caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                             400, 300, owner, nullptr, Application::Instance().Module(), this);
  return h != nullptr;
}

void Form::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  ::AdjustWindowRectEx(&r, style, ::GetMenu(hwnd_) != nullptr, exStyle);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Form::ClientSize() const {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

namespace {

struct Broadcast {
  UINT msg;
  WPARAM w;
  LPARAM l;
};

BOOL CALLBACK HandOn(HWND window, LPARAM param) {
  const auto* b = reinterpret_cast<const Broadcast*>(param);
  ::SendMessageW(window, b->msg, b->w, b->l);
  return TRUE;
}

}  // namespace

LRESULT Form::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // Windows tells top-level windows only. A top-level form tells every
      // window inside it, each once, so that controls that follow the
      // system's colours and metrics take the new ones.
      if ((::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) == 0) {
        Broadcast b{msg, w, l};
        ::EnumChildWindows(hwnd_, &HandOn, reinterpret_cast<LPARAM>(&b));
      }
      return Window::OnMessage(msg, w, l);
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_CLOSE:
      if (modal_) {
        if (modalResult_ == 0) modalResult_ = IDCANCEL;
      } else if (OnCloseQuery()) {
        ::DestroyWindow(hwnd_);
      }
      return 0;
    case WM_COMMAND:
      // The dialog manager turns Enter and Escape into IDOK and IDCANCEL,
      // sent from the button of that ID when there is one. A plain button
      // took it already through reflection; a skinned one answers the key.
      if (HIWORD(w) == BN_CLICKED && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) &&
          SendDialogKey(hwnd_, LOWORD(w) == IDOK ? VK_RETURN : VK_ESCAPE))
        return 0;
      if (OnCommand(HIWORD(w), LOWORD(w))) return 0;
      // Escape on a modal form with a close box and no cancel button is the
      // close box: the form's own closing rules still apply.
      if (HIWORD(w) == BN_CLICKED && LOWORD(w) == IDCANCEL && modal_ &&
          (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_SYSMENU) != 0)
        Send(WM_CLOSE);
      return 0;
    case WM_NEXTDLGCTL:
      NextDialogControl(w, l);
      return 0;
    case WM_ACTIVATE:
      // Like a dialog, the form gives the focus back to the control that had
      // it when another window (a modal one, say) took the activation.
      if (LOWORD(w) == WA_INACTIVE) RememberFocus();
      return Window::OnMessage(msg, w, l);
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SIZE:
      // Restored while it stayed the active window (from the tray, say), the
      // form gets no activation; its controls take the focus all the same.
      if (w != SIZE_MINIMIZED && ::GetActiveWindow() == hwnd_ && !::IsChild(hwnd_, ::GetFocus())) RestoreFocus();
      return Window::OnMessage(msg, w, l);
    case WM_DESTROY:
      if (isMain_) ::PostQuitMessage(0);
      return 0;
    default:
      return Window::OnMessage(msg, w, l);
  }
}

namespace {

struct DialogKey {
  WPARAM key;
  bool taken;
};

BOOL CALLBACK OfferDialogKey(HWND window, LPARAM param) {
  auto* k = reinterpret_cast<DialogKey*>(param);
  if (::SendMessageW(window, kDialogKeyMessage, k->key, 0) == 1) {
    k->taken = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

Form* Form::FromHandle(HWND hwnd) {
  if (hwnd == nullptr ||
      ::GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&Window::StaticWndProc))
    return nullptr;
  return dynamic_cast<Form*>(reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
}

void Form::RememberFocus() {
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
}

// A read-only box shows no caret and an empty list no row (a list view only
// its focus mark): a form opening there would show nothing to act on.
bool Form::CanShowFocus(HWND window) {
  wchar_t cls[32] = {};
  ::GetClassNameW(window, cls, 32);
  if (::lstrcmpiW(cls, WC_LISTVIEWW) == 0) return ::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0) > 0;
  if (::lstrcmpiW(cls, L"ListBox") == 0) return ::SendMessageW(window, LB_GETCOUNT, 0, 0) > 0;
  if (::lstrcmpiW(cls, L"Edit") == 0) return (::GetWindowLongPtrW(window, GWL_STYLE) & ES_READONLY) == 0;
  return true;
}

HWND Form::FirstFocusStop() {
  HWND first = NextTabStop(hwnd_, nullptr, false);
  HWND f = first;
  for (int guard = 0; f != nullptr && guard < 256; ++guard) {
    if (CanShowFocus(f)) return f;
    f = NextTabStop(hwnd_, f, false);
    if (f == first) break;
  }
  return first;
}

void Form::RestoreFocus() {
  HWND f = lastFocus_;
  // A form opened for the first time (or whose control went away) starts at
  // its first tab stop that can show the focus, so that keys typed at once
  // reach a control the user sees.
  if (f == nullptr || !::IsChild(hwnd_, f) || !::IsWindowVisible(f) || !::IsWindowEnabled(f)) f = FirstFocusStop();
  if (f != nullptr) ::SetFocus(f);
}

void Form::NextDialogControl(WPARAM w, LPARAM l) {
  HWND target = l != 0 ? reinterpret_cast<HWND>(w) : NextTabStop(hwnd_, ::GetFocus(), w != 0);
  if (target != nullptr && ::IsChild(hwnd_, target)) ::SetFocus(target);
}

bool SendDialogKey(HWND root, WPARAM key) {
  DialogKey k{key, false};
  if (root != nullptr) ::EnumChildWindows(root, &OfferDialogKey, reinterpret_cast<LPARAM>(&k));
  return k.taken;
}

}  // namespace ui

namespace ui {

void Form::CenterOn(HWND owner) {
  RECT area{};
  if (owner != nullptr && ::IsWindowVisible(owner)) ::GetWindowRect(owner, &area);
  else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  r.left = area.left + (area.right - area.left - w) / 2;
  r.top = area.top + (area.bottom - area.top - h) / 2;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  HMONITOR m = ::MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTONEAREST);
  if (m != nullptr && ::GetMonitorInfoW(m, &monitor))
    r = KeepInside(RECT{r.left, r.top, r.left + w, r.top + h}, monitor.rcWork);
  ::SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Form::KeepInside(const RECT& window, const RECT& area) {
  const int w = window.right - window.left, h = window.bottom - window.top;
  const int x = std::max(area.left, std::min(window.left, area.right - w));
  const int y = std::max(area.top, std::min(window.top, area.bottom - h));
  return RECT{x, y, x + w, y + h};
}

int Form::ShowModal(HWND owner) {
  modal_ = true;
  modalResult_ = 0;
  bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  MSG msg{};
  bool quit = false;
  while (modalResult_ == 0 && Exists()) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      quit = true;
      break;
    }
    DispatchWithDialogKeys(msg);
  }
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (Exists()) ::ShowWindow(hwnd_, SW_HIDE);
  if (owner != nullptr) ::SetActiveWindow(owner);
  if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
  modal_ = false;
  return modalResult_ == 0 ? IDCANCEL : modalResult_;
}

}  // namespace ui
