// A single-line edit and a radio button.
#pragma once
#include <functional>
#include <string>

#include "ui/StdControls.h"

namespace ui {

class Edit : public Control {
 public:
  bool Create(HWND parent, const std::wstring& text, int x, int y, int w, int h);
  std::function<void()> OnChange;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;
};

// `firstInGroup` starts a new group of buttons that exclude each other.
class RadioButton : public Button {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, bool firstInGroup);
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetChecked(bool v) { Send(BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED); }
};

}  // namespace ui
