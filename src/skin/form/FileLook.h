// The skin-file side of the frame and title bar: file pictures as drawing
// bitmaps, and the window region scanned from the title and bottom images.
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"
#include "skin/theme/FileThemeRef.h"

namespace skin {

// File bitmap N (with Count and Index non-zero, cell Index of Count) as a
// drawing bitmap; false, and Dest emptied, when the skin lacks it.
bool FileThemeBitmap(const TskFileTheme& Theme, int N, Bitmap& Dest, int Count = 0, int Index = 0);

// The region of a skinned window: the scanned rows of the top and bottom
// images keep only their runs of non-transparent pixels, every other row is
// whole. A first row of -1 means 0; a first row at or past the last scans
// to the image's end. The caller owns the region.
HRGN BuildSkinWindowRegion(const Bitmap* Top, const Bitmap* Bottom, int Width, int Height, COLORREF Transparent,
                           int BottomLast, int BottomFirst, int TopLast, int TopFirst, bool UseBottom, bool UseTop);
// The same region handed to the window, which owns it from then on.
void SetSkinWindowRegion(HWND Window, const Bitmap* Top, const Bitmap* Bottom, int Width, int Height,
                         COLORREF Transparent, int BottomLast, int BottomFirst, int TopLast, int TopFirst,
                         bool UseBottom, bool UseTop);

}  // namespace skin
