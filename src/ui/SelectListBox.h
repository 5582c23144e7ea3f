// A list box whose lines the user picks, moves and double-clicks.
#pragma once
#include <functional>

#include "ui/StdControls.h"

namespace ui {

class SelectListBox : public ListBox {
 public:
  // -1 when no line is selected.
  int ItemIndex() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  void SetItemIndex(int index) { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
  void DeleteLine(int index) { Send(LB_DELETESTRING, static_cast<WPARAM>(index)); }

  std::function<void()> OnDblClick;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;
};

}  // namespace ui
