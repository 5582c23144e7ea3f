// Base of every window we own: one HWND, not copyable, a per-instance table of
// message handlers and a single window procedure that dispatches to it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>

namespace ui {

class Window {
 public:
  using Handler = std::function<LRESULT(WPARAM, LPARAM)>;

  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  bool Exists() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }

  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(hwnd_, msg, w, l); }
  bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(hwnd_, msg, w, l) != FALSE; }

  std::wstring Text() const;
  void SetText(const std::wstring& text) { ::SetWindowTextW(hwnd_, text.c_str()); }
  void Show(bool visible) { ::ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
  bool Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
  void Enable(bool enabled) { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  bool Enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

  // Registers a handler for one message; it runs before the class's own handling.
  void OnMsg(UINT msg, Handler handler) { handlers_[msg] = std::move(handler); }

 protected:
  // Window procedure for window classes we register: `this` travels in the
  // creation parameters and is kept in GWLP_USERDATA.
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

  virtual LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l);
  // Runs one message through the handler table, the child-notification
  // reflection and OnMessage, catching every exception.
  LRESULT SafeDispatch(UINT msg, WPARAM w, LPARAM l);
  virtual LRESULT DefaultProc(UINT msg, WPARAM w, LPARAM l);
  // Called once the handle is gone; the object may still be alive.
  virtual void OnDestroyed() {}

  HWND hwnd_ = nullptr;

 private:
  LRESULT Dispatch(UINT msg, WPARAM w, LPARAM l);
  // Hands WM_COMMAND, WM_NOTIFY, WM_DRAWITEM and WM_CTLCOLOR* to the child
  // control they concern; true when the control handled it.
  static bool Reflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result);
  std::unordered_map<UINT, Handler> handlers_;
};

}  // namespace ui
