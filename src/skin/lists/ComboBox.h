// A combo box with a one-pixel frame and a drop-down button in theme colours.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/lists/FileThemeLink.h"
#include "ui/Control.h"

namespace skin {

// What the drop-down button shows.
struct ComboButtonLook {
  TskUIStyle Style = DeepBlue;  // the resolved style
  COLORREF ButtonColor = 0;
  COLORREF BorderColor = 0;
  COLORREF ArrowColor = 0;
  bool Enabled = true;
  bool RightToLeft = false;
};

// The small downward triangle: (X, Y), (X + 6, Y), (X + 3, Y + 3); disabled,
// grey over a white copy one pixel right and down.
void DrawComboArrow(HDC Canvas, int X, int Y, COLORREF ArrowColor, bool Enabled);
// The button face in `Button`: the style's picture for MacOS and WinXP, else
// a fill with an edge line and the arrow. A missing picture gives the plain face.
void DrawComboButtonFace(HDC Canvas, const RECT& Button, const ComboButtonLook& Look, HMODULE Pictures = nullptr);

class TskCustomComboBox : public ui::Control, public ListLookHolder {
 public:
  // Style CBS_DROPDOWNLIST or CBS_DROPDOWN (CBS_SIMPLE draws no button).
  bool Create(HWND Parent, int X, int Y, int W, int H, DWORD ComboStyle = CBS_DROPDOWNLIST,
              const ui::Window* Owner = nullptr);

  int Add(const std::wstring& Item);
  // Replaces the lines.
  void SetItems(const std::vector<std::wstring>& Lines);
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  int ItemIndex() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  void SetItemIndex(int Index) { Send(CB_SETCURSEL, static_cast<WPARAM>(Index)); }
  std::function<void()> OnChange;

  COLORREF GetButtonColor() const { return ButtonColor_; }
  void SetButtonColor(COLORREF Value);
  COLORREF GetArrowColor() const { return ArrowColor_; }
  void SetArrowColor(COLORREF Value);
  PropertyTable PublishedProperties() const override { return StyledProperties<TskCustomComboBox>(); }

  // Frames the control and draws its button on the control's own DC.
  void DrawComboButton();
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void ApplyLook(const ThemeLook& look) override;
  void RedrawBorder() override { Invalidate(); }

 private:
  TskUIStyle ResolvedStyle() const;
  COLORREF ButtonColor_ = 0;
  COLORREF ArrowColor_ = 0;
};

class TskComboBox : public TskCustomComboBox {};

}  // namespace skin
