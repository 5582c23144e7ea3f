// A visible host form for the control tests, the colours of the cell-coded
// pictures, and a control drawn through WM_PRINTCLIENT.
#pragma once
#include <windows.h>

#include "skin/SkinTestHost.h"
#include "skin/draw/Bitmap.h"

namespace controls_test {

// Cells 1 to 4 of the compiled-in strips, and the corner pixel of each cell.
constexpr COLORREF kCell[] = {0, RGB(200, 30, 30), RGB(30, 160, 40), RGB(40, 60, 210), RGB(230, 200, 20)};
constexpr COLORREF kCorner = RGB(1, 2, 3);

// Shown off the display: the controls need a visible parent to paint.
class HostForm : public skin_test::HostForm {
 public:
  HostForm() : skin_test::HostForm(400, 300, kShownOffScreen) {}
};

// The control as it paints itself, at its client size.
inline skin::Bitmap Render(HWND control) {
  RECT rc{};
  ::GetClientRect(control, &rc);
  skin::Bitmap b(rc.right, rc.bottom);
  b.Fill(RGB(9, 9, 9));
  ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(b.Canvas()), PRF_CLIENT);
  return b;
}

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace controls_test
