// A label that looks like a link and opens its URL when clicked.
#pragma once
#include "skin/controls/SkinControl.h"

namespace skin {

class TskURLLabel : public ui::Control {
 public:
  ~TskURLLabel() override;
  bool Create(HWND parent, const std::wstring& caption, int x, int y);
  std::wstring URL;
  COLORREF FontHoverColor = RGB(255, 0, 0);
  COLORREF GetFontLinkColor() const { return linkColour_; }
  void SetFontLinkColor(COLORREF colour);
  COLORREF FontColor() const { return fontColour_; }
  void SetCaption(const std::wstring& text);
  void Click();
  NotifyEvent OnClick;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FitSize();
  HFONT Underlined();
  COLORREF linkColour_ = RGB(0, 0, 255);
  COLORREF fontColour_ = RGB(0, 0, 255);
  bool mouseIn_ = false;
  HFONT font_ = ui::DefaultFont();
  HFONT underlined_ = nullptr;
};

}  // namespace skin
