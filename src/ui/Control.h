// A child control: a standard window class subclassed so that its messages
// reach this object, with bounds in its parent's coordinates and a Tag.
#pragma once
#include "ui/Window.h"

namespace ui {

// The form font of the program's windows.
HFONT DefaultFont();
HFONT BoldFont(int height);

class Control : public Window {
 public:
  static Control* FromHandle(HWND hwnd);

  int Tag = 0;

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

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  WNDPROC prevProc_ = nullptr;
};

}  // namespace ui
