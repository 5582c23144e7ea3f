// A child control: a standard window class subclassed so that its messages
// reach this object, with bounds in its parent's coordinates and a Tag.
#pragma once
#include <functional>

#include "ui/Window.h"

namespace ui {

class PopupMenu;

// The form font of the program's windows.
HFONT DefaultFont();
HFONT BoldFont(int height);

class Control : public Window {
 public:
  static Control* FromHandle(HWND hwnd);

  int Tag = 0;

  // Every control gets an ID of its own when it is made; dialog buttons take
  // IDOK and IDCANCEL so that Enter and Escape reach them.
  int Id() const { return ::GetDlgCtrlID(hwnd_); }
  void SetId(int id) { ::SetWindowLongPtrW(hwnd_, GWLP_ID, id); }

  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const;
  int Height() const;
  RECT Bounds() const;  // in the parent's client coordinates
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  int Right() const { return Left() + Width(); }
  int Bottom() const { return Top() + Height(); }
  void SetFont(HFONT font) { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
  void Invalidate() { ::InvalidateRect(hwnd_, nullptr, TRUE); }

  // The control's own handling of a message, for handlers that add to it.
  LRESULT CallDefault(UINT msg, WPARAM w, LPARAM l) { return DefaultProc(msg, w, l); }
  // Sees the control's WM_KEYDOWN first; true when it handled the key.
  std::function<bool(WPARAM key)> OnKey;
  // The pop-up menu that opens over this control (PopupMenu::AttachTo).
  void AttachMenu(const PopupMenu* menu) { menu_ = menu; }

  // Notifications the parent received about this control. Returns true when handled.
  virtual bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) { return false; }

 protected:
  // Creates a window of a standard class and subclasses it.
  bool CreateControl(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y,
                     int w, int h);
  // Creates a window of a class of our own (registered once) that uses `this`.
  bool CreateCustom(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y,
                    int w, int h, UINT classStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
  LRESULT DefaultProc(UINT msg, WPARAM w, LPARAM l) override;
  // An attached menu sees the control's messages first.
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  const PopupMenu* menu_ = nullptr;
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  WNDPROC prevProc_ = nullptr;
};

}  // namespace ui
