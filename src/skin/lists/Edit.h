// A single-line edit framed in a theme colour.
#pragma once
#include <string>

#include "skin/lists/FileThemeLink.h"
#include "ui/Control.h"

namespace skin {

class TskEdit : public ui::Control, public ListLookHolder {
 public:
  bool Create(HWND Parent, const std::wstring& Text, int X, int Y, int W, int H, const ui::Window* Owner = nullptr);

  PropertyTable PublishedProperties() const override { return StyledProperties<TskEdit>(); }

 protected:
  virtual void UIStyleChanged() {}
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void ApplyLook(const ThemeLook& look) override;
  void RedrawBorder() override { DrawFrame(); }

 private:
  void DrawFrame();
};

}  // namespace skin
