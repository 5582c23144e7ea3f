// A drop-down list: the user picks one of fixed lines.
#pragma once
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class ComboBox : public Control {
 public:
  // `h` is the height of the opened list.
  bool Create(HWND parent, int x, int y, int w, int h);
  void SetItems(const std::vector<std::wstring>& lines);
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  int ItemIndex() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  void SetItemIndex(int index) { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
};

}  // namespace ui
