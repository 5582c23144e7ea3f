// Containers drawn by us: a group box that can hold controls (its children's
// notifications reach their control objects) and a plain panel.
#pragma once
#include <string>

#include "ui/Control.h"

namespace ui {

class GroupBox : public Control {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h);
  void SetCaption(const std::wstring& text) {
    SetText(text);
    Invalidate();
  }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
};

class Panel : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h, bool bevel);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  bool bevel_ = false;
};

}  // namespace ui
