#include "ui/SelectListBox.h"

namespace ui {

bool SelectListBox::OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  if (msg == WM_COMMAND && HIWORD(w) == LBN_DBLCLK && OnDblClick) {
    OnDblClick();
    *result = 0;
    return true;
  }
  return ListBox::OnReflect(msg, w, l, result);
}

}  // namespace ui
