// A picture drawn into a rectangle in nine pieces: corners unscaled, edges and
// centre stretched.
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"

namespace skin {

// Rect is expected to start at (0, 0). Corners are masked with magenta when
// Transparent; the stretched pieces always are. When a corner would be empty
// (a picture or rectangle under 4 pixels in a direction) nothing is drawn,
// since the edges have no corner to be placed against; the result is false.
bool DrawNinePartBitmap(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect, bool Transparent);

}  // namespace skin
