// Base of every window we own: one HWND, not copyable, and one way in for
// every message:
//   window procedure -> SafeDispatch, which catches every exception so none
//   crosses into Win32 (it is reported instead) ->
//   1. a notification a child control sent (WM_COMMAND from a control,
//      WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) is reflected to that control's
//      OnReflect, which raises the control's own event (OnClick, ...);
//   2. everything else goes to the virtual OnMessage, whose default hands
//      WM_COMMAND to OnCommand(code, id), WM_NOTIFY to OnNotify and WM_TIMER
//      to OnTimer, and the rest to DefaultProc. A control's OnMessage first
//      lets the pop-up menu attached to it see the message (right click,
//      menu keys, shortcuts).
// Those are the two ways of handling a message: override OnMessage (or the
// three handlers behind it) in the window, or OnReflect in the control.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

class Window {
 public:
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
  // A control disabled while it holds the focus hands it to the next tab
  // stop, so that the focus stays where a mark can show it. (A container
  // leaves that to its owner: a page control moves it to the page shown.)
  void Enable(bool enabled);
  bool Enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

 protected:
  // Window procedure for window classes we register: `this` travels in the
  // creation parameters and is kept in GWLP_USERDATA.
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

  virtual LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l);
  // A command not reflected to a control: a menu item, an accelerator, or
  // IDOK / IDCANCEL from the dialog keys when no such button exists.
  // Return true when handled.
  virtual bool OnCommand(UINT code, UINT id) { return false; }
  // A WM_NOTIFY that no control of ours took. Return true when handled.
  virtual bool OnNotify(const NMHDR& header, LRESULT* result) { return false; }
  // WM_TIMER of a timer owned by this window. Return true when handled.
  virtual bool OnTimer(UINT_PTR id);
  // Runs one message through the child-notification reflection and
  // OnMessage, catching every exception.
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
};

}  // namespace ui
