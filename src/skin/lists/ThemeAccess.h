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

// Plain stand-ins for missing theme pictures.
// A tab of three cells (left end, middle, right end) in Face, edged in Edge.
void MakePlainTab(Bitmap& Dest, int Height, COLORREF Face, COLORREF Edge);
// The line under the tabs.
void MakePlainTabLine(Bitmap& Dest, COLORREF Edge);
// Four scroll-button cells: right, right hot, left, left hot.
void MakePlainScrollButtons(Bitmap& Dest, int Cell);

}  // namespace skin
