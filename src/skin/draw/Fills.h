// Gradient fills, colour parts, window frames and parent backgrounds.
#pragma once
#include <windows.h>

namespace skin {

// Colours are 0x00BBGGRR, or a system colour (0x80000000 | COLOR_xxx), which
// is resolved to RGB before use.
COLORREF ColorToRGB(COLORREF Colour);
void ColorToRGBParts(COLORREF Colour, BYTE& R, BYTE& G, BYTE& B);
COLORREF RGBPartsToColor(BYTE R, BYTE G, BYTE B);

// Line by line from FromColour (first line) to ToColour (last line). An empty
// rectangle draws nothing; one line high ends in ToColour.
void FillGradientVertical(HDC Canvas, const RECT& Rect, COLORREF FromColour, COLORREF ToColour);
// Column by column from FromColour to ToColour.
void FillGradientHorizontal(HDC Canvas, const RECT& Rect, COLORREF FromColour, COLORREF ToColour);

// Rect filled, or framed one pixel wide, in Colour; an empty or inverted
// rectangle draws nothing.
void FillRectColor(HDC Canvas, const RECT& Rect, COLORREF Colour);
void FrameRectColor(HDC Canvas, const RECT& Rect, COLORREF Colour);
// The face of a hot or selected item (menu bar button, popup menu item):
// filled in FaceColour and edged one pixel wide in EdgeColour.
void FillFramed(HDC Canvas, const RECT& Rect, COLORREF FaceColour, COLORREF EdgeColour);

// Frames the control's whole window (non-client area included) one pixel
// wide in OuterColour and, when DrawInner, the ring inside it in InnerColour.
void DrawWindowFrame(HWND Control, COLORREF OuterColour, COLORREF InnerColour, bool DrawInner);

// Paints the parent's background and face under the control into Canvas,
// for controls drawn transparent. Nothing without a parent.
void DrawParentBackground(HDC Canvas, HWND Control);

}  // namespace skin
