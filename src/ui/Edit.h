// A single-line edit. OnKeyDown sees every key press first (also the ones the
// dialog would take, such as Enter and Escape) and may swallow it; Enter and
// Escape it leaves go on to the dialog.
#pragma once
#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

class Edit : public Control {
 public:
  bool Create(HWND parent, const std::wstring& text, int x, int y, int w, int h);
  void SelectAll() { Send(EM_SETSEL, 0, -1); }
  void MoveCaretToEnd();

  // Receives the virtual-key code; true swallows the key and the characters
  // it would type.
  std::function<bool(UINT key)> OnKeyDown;
  std::function<void()> OnChange;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  bool PassDialogKey(WPARAM key);
  bool swallowChars_ = false;
};

}  // namespace ui
