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
  bool ParentColor = true;
  BYTE AdvColorFocused = 10, AdvColorBorder = 50;
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
  COLORREF colors_[3] = {16777215, 8623776, 14805739};
  bool useAdvColors_ = false;
  bool mouseIn_ = false;
  HBRUSH brush_ = nullptr;
};

}  // namespace skin
