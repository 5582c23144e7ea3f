// A single-line edit framed in a theme colour.
#pragma once
#include <string>

#include "skin/file/FileTheme.h"
#include "skin/theme/Published.h"
#include "skin/theme/UIStyle.h"
#include "ui/Control.h"

namespace skin {

class TskEdit : public ui::Control, public Component, public TskFileThemeUser {
 public:
  ~TskEdit() override;
  bool Create(HWND Parent, const std::wstring& Text, int X, int Y, int W, int H, const ui::Window* Owner = nullptr);

  TskUIStyle GetUIStyle() const { return UIStyle_; }
  void SetUIStyle(TskUIStyle Value);
  TskFileTheme* GetFileTheme() const override { return FileTheme_; }
  void SetFileTheme(TskFileTheme* Value) override;
  COLORREF GetBorderColor() const { return BorderColor_; }
  void SetBorderColor(COLORREF Value);
  PropertyTable PublishedProperties() const override { return StyledProperties<TskEdit>(); }

 protected:
  virtual void UIStyleChanged() {}
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void DrawFrame();
  COLORREF BorderColor_ = 0;
  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
};

}  // namespace skin
