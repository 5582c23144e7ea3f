// Radio buttons, and a framed group of them laid out in columns with one
// chosen line.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Panels.h"
#include "ui/StdControls.h"

namespace ui {

class RadioButton : public Button {
 public:
  // `firstOfGroup` starts a new group of buttons that exclude each other.
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, bool firstOfGroup);
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetChecked(bool v) { Send(BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED); }
};

class RadioGroup : public GroupBox {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h,
              const std::vector<std::wstring>& lines, int columns);
  int Count() const { return static_cast<int>(items_.size()); }
  // -1 when no line is chosen.
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SetItemEnabled(int index, bool enabled);
  bool ItemEnabled(int index) const;
  RadioButton& Item(int index) { return *items_.at(static_cast<size_t>(index)); }
  std::function<void()> OnClick;

 private:
  std::vector<std::unique_ptr<RadioButton>> items_;
};

}  // namespace ui
