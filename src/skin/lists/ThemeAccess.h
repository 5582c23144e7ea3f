// Pictures and colours of a control's look, from its skin file or from the
// built-in theme, with a plain picture drawn here whenever a theme lacks one.
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"
#include "skin/file/FileTheme.h"
#include "skin/theme/UIStyle.h"

namespace skin {

// File bitmap N, whole (Count 0) or cell Index of Count; false when the skin
// has no such picture.
bool FileThemeBitmap(const TskFileTheme* Theme, int N, Bitmap& Dest, int Count, int Index);
// File colour N; Fallback when the skin lacks it.
COLORREF FileThemeColor(const TskFileTheme* Theme, int N, COLORREF Fallback);

// Where a control's colours come from: its skin file while that is in use,
// else the built-in items of the resolved style.
struct ThemeLook {
  const TskFileTheme* Theme = nullptr;  // nullptr: the built-in items of Style
  TskUIStyle Style = DeepBlue;          // the resolved style
  bool FromFile() const { return Theme != nullptr; }
  // Skin colour FileIndex (system colour SysFallback where the skin lacks it),
  // or built-in item BuiltinItem.
  COLORREF Color(int FileIndex, int SysFallback, int BuiltinItem) const;
  // The one-pixel frame of the edit, combo box, list view and tab control.
  COLORREF FrameColor() const { return Color(22, COLOR_BTNSHADOW, 25); }
};
ThemeLook ResolveLook(const TskFileTheme* Theme, TskUIStyle UIStyle);

// Plain stand-ins for missing theme pictures.
// A tab of three cells (left end, middle, right end) in Face, edged in Edge.
void MakePlainTab(Bitmap& Dest, int Height, COLORREF Face, COLORREF Edge);
// The line under the tabs.
void MakePlainTabLine(Bitmap& Dest, COLORREF Edge);
// Four scroll-button cells: right, right hot, left, left hot.
void MakePlainScrollButtons(Bitmap& Dest, int Cell);

}  // namespace skin
