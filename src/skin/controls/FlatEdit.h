// An edit box without a 3-D border; its flat frame is painted in the
// non-client area, highlighted while it has the focus or the mouse.
#pragma once
#include "skin/controls/SkinControl.h"

namespace skin {

class TFlatEdit : public ui::Control {
 public:
  ~TFlatEdit() override;
  bool Create(HWND parent, const std::wstring& text, int x, int y, int w = 121, int h = 19);
  void SetReadOnly(bool value) { Send(EM_SETREADONLY, value ? TRUE : FALSE); }
  // Index 0 focused, 1 border, 2 flat (idle face).
  COLORREF GetIndexedColor(int index) const { return index >= 0 && index < 3 ? colors_[index] : 0; }
  void SetIndexedColor(int index, COLORREF colour);
  // Follows the parent's colour (the idle face) while set; setting the
  // idle face clears it.
  bool GetParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  // Lightness shifts (percent) of the derived colours; writing one
  // recomputes them.
  BYTE GetAdvColorFocused() const { return advColors_[0]; }
  BYTE GetAdvColorBorder() const { return advColors_[1]; }
  void SetAdvColorFocused(BYTE value) { SetAdvColor(0, value); }
  void SetAdvColorBorder(BYTE value) { SetAdvColor(1, value); }
  // Also makes the edit take its parent's colour (or stop taking it).
  void SetUseAdvColors(bool value);
  bool Active() const;
  // The face colour the edit shows now.
  COLORREF FaceColour() const { return Active() ? colors_[0] : colors_[2]; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 private:
  void PaintFrame();
  void FitHeight();
  void UpdateAdvColors();
  void SetAdvColor(int index, BYTE value);
  void ParentColorChanged();
  COLORREF colors_[3] = {16777215, 8623776, 14805739};
  bool useAdvColors_ = false;
  bool parentColor_ = true;
  BYTE advColors_[2] = {10, 50};
  bool mouseIn_ = false;
  HBRUSH brush_ = nullptr;
};

}  // namespace skin
