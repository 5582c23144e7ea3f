// HSL colour arithmetic and the two-colour frame the flat controls draw.
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"

namespace skin {

// The scale of the integer HSL values: hue 0..HSLScale-1, the others 0..HSLScale.
extern int HSLScale;

COLORREF HSLToRGB(double H, double S, double L);
COLORREF ScaledHSLToRGB(int H, int S, int L);
void RGBToHSL(COLORREF colour, double& H, double& S, double& L);
void RGBToScaledHSL(COLORREF colour, int& H, int& S, int& L);
// The base colour made lighter (or darker) by Percent of lightness; the
// fallback unchanged for 0 percent.
COLORREF ShiftColorLightness(COLORREF Base, COLORREF Fallback, BYTE Percent, bool Darker);
void DrawTwoColorFrame(HDC Canvas, RECT Rect, COLORREF TopLeft, int Width, COLORREF BottomRight);
// A disabled single-image glyph: the picture's pixels other than
// `transparent` embossed in the button-shadow and button-highlight colours
// over `background`.
void MakeDisabledGlyph(const Bitmap& from, COLORREF transparent, COLORREF background, Bitmap& out);

}  // namespace skin
