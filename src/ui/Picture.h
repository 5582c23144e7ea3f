// A picture: one bitmap drawn as it is or stretched to the control.
#pragma once
#include <functional>

#include "ui/Control.h"

namespace ui {

class Picture : public Control {
 public:
  ~Picture() override;
  bool Create(HWND parent, int x, int y, int w, int h, bool stretch);
  // Takes ownership of the bitmap.
  void SetBitmap(HBITMAP bitmap);
  std::function<void()> OnClick;
  // Draws the part `part` (in this control's client coordinates) of what the
  // picture shows into `dc` at (0, 0); for controls laid over the picture.
  void PaintPart(HDC dc, const RECT& part) const;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  HBITMAP bitmap_ = nullptr;
  bool stretch_ = false;
};

}  // namespace ui
