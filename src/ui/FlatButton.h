// A flat button drawn by us: a filled face, a one-pixel border and a centred
// caption; the face takes ColorFocused while the mouse is over it.
#pragma once
#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

class FlatButton : public Control {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h);
  COLORREF Color() const { return color_; }
  void SetColors(COLORREF color, COLORREF focused, COLORREF border);
  COLORREF ColorFocused() const { return focused_; }
  COLORREF ColorBorder() const { return border_; }
  std::function<void()> OnClick;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Paint(HDC dc);
  COLORREF color_ = ::GetSysColor(COLOR_BTNFACE);
  COLORREF focused_ = RGB(235, 234, 225);
  COLORREF border_ = ::GetSysColor(COLOR_BTNFACE);
  bool hot_ = false;
  bool pressed_ = false;
};

}  // namespace ui
