// A flat push button or speed button in five colours with a glyph, hot
// tracking shared by all flat buttons, and groups of buttons of which one is
// down.
#pragma once
#include "skin/controls/SkinControl.h"

namespace skin {

// Broadcast among the children of a parent when a group button goes down:
// wParam the group index, lParam the TFlatButton that went down.
constexpr UINT kFlatGroupMessage = 0xB018;

enum TTransparentMode { tmAlways, tmNotFocused, tmNone };
enum TFlatButtonState { fbsUp, fbsDisabled, fbsDown, fbsExclusive };
enum TFlatLayout { flGlyphLeft, flGlyphRight, flGlyphTop, flGlyphBottom };

class TFlatButton : public ui::Control {
 public:
  TFlatButton();
  ~TFlatButton() override;
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w = 25, int h = 25);

  COLORREF Color() const { return color_; }
  // Index 0 focused, 1 down, 2 border, 3 highlight, 4 shadow.
  COLORREF GetIndexedColor(int index) const { return index >= 0 && index < 5 ? colors_[index] : 0; }
  void SetIndexedColor(int index, COLORREF colour);
  void SetColor(COLORREF colour);
  COLORREF ColorFocused() const { return colors_[0]; }
  COLORREF ColorBorder() const { return colors_[2]; }
  // Face, hot face and border at once.
  void SetColors(COLORREF color, COLORREF focused, COLORREF border);
  // Lightness shifts (percent) of the derived colours; writing one
  // recomputes them.
  BYTE GetAdvColorFocused() const { return advColors_[0]; }
  BYTE GetAdvColorDown() const { return advColors_[1]; }
  BYTE GetAdvColorBorder() const { return advColors_[2]; }
  void SetAdvColorFocused(BYTE value) { SetAdvColor(0, value); }
  void SetAdvColorDown(BYTE value) { SetAdvColor(1, value); }
  void SetAdvColorBorder(BYTE value) { SetAdvColor(2, value); }
  // Also makes the button take its parent's colour (or stop taking it).
  void SetUseAdvColors(bool value);
  bool GetUseAdvColors() const { return useAdvColors_; }
  // Follows the parent's colour while set; setting a colour clears it.
  bool GetParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  // The caption's colour (a system colour by default).
  COLORREF GetFontColor() const { return fontColor_; }
  void SetFontColor(COLORREF colour);

  TTransparentMode TransparentMode = tmNone;
  bool Default = false;
  int ModalResult = 0;
  TFlatLayout Layout = flGlyphTop;
  int Spacing = 4;
  int GetMargin() const { return margin_; }
  void SetMargin(int value) { if (value >= -1) margin_ = value, Repaint(); }
  int NumGlyphs = 1;
  void SetGlyph(const Bitmap& glyph);
  const Bitmap& Glyph() const { return glyph_; }

  int GetGroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool GetAllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool GetDown() const { return down_; }
  void SetDown(bool value);

  TFlatButtonState State() const { return state_; }
  bool Hot() const { return mouseIn_; }
  void Click();
  void PaintTo(Bitmap& canvas);
  void Repaint();

  NotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Draw(Bitmap& canvas);
  static void DrawFocusCue(HDC dc, RECT r);
  void UpdateAdvColors();
  void SetAdvColor(int index, BYTE value);
  void ParentColorChanged();
  void BroadcastGroup();
  void BecomeHot();
  void Leave();
  static void HotTick();
  bool Inside(LPARAM l) const;
  COLORREF FaceColour() const;

  COLORREF color_ = 14805739;
  COLORREF colors_[5] = {14805739, 12965593, 8623776, 16777215, 0};
  bool useAdvColors_ = false;
  BYTE advColors_[3] = {10, 10, 50};
  bool parentColor_ = true;
  COLORREF fontColor_ = 0x80000000 | COLOR_BTNTEXT;
  int margin_ = -1;
  Bitmap glyph_;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
  TFlatButtonState state_ = fbsUp;
  bool dragging_ = false;
  bool mouseIn_ = false;
  HFONT font_ = ui::DefaultFont();
};

// The glyph position and caption rectangle of a flat button.
void LayoutGlyphAndCaption(HDC Canvas, const RECT& Client, POINT Offset, const std::wstring& Caption,
                           int NumGlyphs, const Bitmap& Glyph, int Margin, int Spacing, TFlatLayout Layout,
                           POINT& GlyphPos, RECT& TextBounds);

}  // namespace skin
