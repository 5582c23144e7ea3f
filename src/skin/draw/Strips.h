// Picture strips cut into cells and drawn in three pieces, stretched or tiled.
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"

namespace skin {

// The colour the drawing routines mask by default (magenta).
constexpr COLORREF kMaskColour = RGB(255, 0, 255);

// Copies cell `Index` (1-based) of `Count` equal cells laid side by side into
// `Dest`. The last cell is taken against the right edge, so any remainder of
// the division lies before it. A count or index out of range, or a strip
// narrower than its cells, empties Dest and gives false. Source and Dest may
// be the same bitmap.
bool CutBitmapPart(const Bitmap& Source, Bitmap& Dest, int Count, int Index);

// A three-cell strip (left end, middle, right end) across `Rect`: the ends
// unscaled, the middle stretched over FillColour. Masked with the strip's
// corner pixel (top-left or bottom-left) when UseCornerColour, else magenta.
// A rectangle narrower than one cell shows the left end cut to its width.
void DrawThreePartBitmap(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect, bool UseCornerColour,
                         COLORREF FillColour, bool TopLeftCorner);

// The same layout with the ends masked by MaskColour when Masked and the
// middle stretched opaque to the strip's height.
void DrawThreePartBitmapTransparent(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect, bool Masked,
                                    COLORREF MaskColour);

// Copies the whole picture with its top-left corner at (X, Y); an empty
// picture draws nothing.
void DrawWhole(const Bitmap& Picture, HDC Canvas, int X, int Y);
// Stretches the whole picture over Rect in the canvas's own stretch mode; an
// empty picture or rectangle draws nothing.
void StretchWhole(const Bitmap& Picture, HDC Canvas, const RECT& Rect);

// Stretches the whole picture into Rect in half-tone mode; the system's result.
bool StretchDrawBitmap(const Bitmap& Bitmap, HDC Canvas, const RECT& Rect);

// Repeats the picture from the canvas origin over Rect's size (only the size
// counts). An empty picture draws nothing.
void TileGraphic(HDC Canvas, const Bitmap& Picture, const RECT& Rect);

// Copies `source` part of `from` to (x, y), leaving `mask`-coloured pixels
// of the source out when `masked`.
void DrawPart(const Bitmap& from, const RECT& source, HDC to, int x, int y, bool masked, COLORREF mask);

}  // namespace skin
