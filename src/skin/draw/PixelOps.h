// Pixel operations in place on a picture: colour replacement and turns.
// Meant for small skin pictures (a few hundred pixels a side).
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"

namespace skin {

// Every pixel equal to OldColour becomes NewColour.
void ReplaceBitmapColor(Bitmap& Bitmap, COLORREF OldColour, COLORREF NewColour);
// A quarter turn anticlockwise: (x, y) goes to (y, W - 1 - x); the top-right
// corner becomes the top-left. Width and height are exchanged.
void RotateBitmap(Bitmap& Bitmap);
// A quarter turn clockwise: (x, y) goes to (H - 1 - y, x).
void RotateBitmapBack(Bitmap& Bitmap);
// A half turn: (x, y) goes to (W - 1 - x, H - 1 - y).
void RotateBitmapHalfTurn(Bitmap& Bitmap);

}  // namespace skin
