// A label that looks like a link and opens its URL when clicked. It is the
// class library's label (so it can sit on a picture and paint its part of
// it) with an underlined font, a hand cursor and a hover colour.
#pragma once
#include "skin/controls/SkinControl.h"
#include "ui/StdControls.h"

namespace skin {

class TskURLLabel : public ui::Label {
 public:
  ~TskURLLabel() override;
  bool Create(HWND parent, const std::wstring& caption, int x, int y);
  std::wstring URL;
  COLORREF FontHoverColor = RGB(255, 0, 0);
  COLORREF GetFontLinkColor() const { return linkColour_; }
  void SetFontLinkColor(COLORREF colour);
  COLORREF FontColor() const { return fontColour_; }
  // Opens the URL, when it is not blank, then fires OnClick.
  void Click();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 private:
  void UseColour(COLORREF colour);
  COLORREF linkColour_ = RGB(0, 0, 255);
  COLORREF fontColour_ = RGB(0, 0, 255);
  bool mouseIn_ = false;
  HFONT underlined_ = nullptr;
};

}  // namespace skin
