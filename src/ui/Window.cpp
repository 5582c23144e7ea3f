#include "ui/Window.h"

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/DialogKeys.h"
#include "ui/Timer.h"

namespace ui {

Window::~Window() {
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

std::wstring Window::Text() const {
  int len = ::GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  int got = ::GetWindowTextW(hwnd_, text.data(), len + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
    void* param = cs->lpCreateParams;
    // An MDI child's creation data comes wrapped by its MDI client.
    if ((cs->dwExStyle & WS_EX_MDICHILD) != 0 && param != nullptr)
      param = reinterpret_cast<void*>(static_cast<MDICREATESTRUCTW*>(param)->lParam);
    auto* self = static_cast<Window*>(param);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(hwnd, msg, w, l);
  LRESULT result = self->SafeDispatch(msg, w, l);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

LRESULT Window::SafeDispatch(UINT msg, WPARAM w, LPARAM l) {
  // No exception may cross back into Win32.
  try {
    return Dispatch(msg, w, l);
  } catch (const std::exception& e) {
    Application::Instance().ShowException(e);
  } catch (...) {
    Application::Instance().ShowException(std::runtime_error("Unknown error"));
  }
  return 0;
}

LRESULT Window::Dispatch(UINT msg, WPARAM w, LPARAM l) {
  LRESULT reflected = 0;
  if (Reflect(msg, w, l, &reflected)) return reflected;
  return OnMessage(msg, w, l);
}

bool Window::Reflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(l);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(l)->hwndFrom;
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<DRAWITEMSTRUCT*>(l)->hwndItem;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      child = reinterpret_cast<HWND>(l);
      break;
    default:
      return false;
  }
  Control* control = child != nullptr ? Control::FromHandle(child) : nullptr;
  return control != nullptr && control->OnReflect(msg, w, l, result);
}

void Window::Enable(bool enabled) {
  HWND focus = ::GetFocus();
  const bool handOn = !enabled && focus == hwnd_ && (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) != 0;
  ::EnableWindow(hwnd_, enabled ? TRUE : FALSE);
  if (!handOn) return;
  HWND root = ::GetAncestor(hwnd_, GA_ROOT);
  HWND next = NextTabStop(root, hwnd_, false);
  if (next != nullptr && next != hwnd_) ::SetFocus(next);
}

LRESULT Window::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_COMMAND:
      if (OnCommand(HIWORD(w), LOWORD(w))) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(l), &result)) return result;
      break;
    }
    case WM_TIMER:
      if (OnTimer(static_cast<UINT_PTR>(w))) return 0;
      break;
    default:
      break;
  }
  return DefaultProc(msg, w, l);
}

bool Window::OnTimer(UINT_PTR id) { return Timer::Fire(hwnd_, id); }

LRESULT Window::DefaultProc(UINT msg, WPARAM w, LPARAM l) { return ::DefWindowProcW(hwnd_, msg, w, l); }

}  // namespace ui
