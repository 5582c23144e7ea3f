#include "skin/controls/FlatColors.h"

#include <cmath>

#include "skin/draw/Fills.h"

namespace skin {

int HSLScale = 240;

namespace {

int Channel(double m1, double m2, double h) {
  if (h < 0) h += 1;
  else if (h >= 1) h -= 1;
  double v;
  if (6 * h < 1) v = m1 + (m2 - m1) * 6 * h;
  else if (2 * h < 1) v = m2;
  else if (3 * h < 2) v = m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
  else v = m1;
  return static_cast<int>(std::nearbyint(255 * v));
}

}  // namespace

COLORREF HSLToRGB(double H, double S, double L) {
  if (S == 0) {
    int g = static_cast<int>(std::nearbyint(255 * L));
    return RGB(g, g, g);
  }
  double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
  double m1 = 2 * L - m2;
  return RGB(Channel(m1, m2, H + 1.0 / 3), Channel(m1, m2, H), Channel(m1, m2, H - 1.0 / 3));
}

COLORREF ScaledHSLToRGB(int H, int S, int L) {
  return HSLToRGB(static_cast<double>(H) / (HSLScale - 1), static_cast<double>(S) / HSLScale,
                  static_cast<double>(L) / HSLScale);
}

void RGBToHSL(COLORREF colour, double& H, double& S, double& L) {
  double r = GetRValue(colour) / 255.0, g = GetGValue(colour) / 255.0, b = GetBValue(colour) / 255.0;
  double mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  double mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  L = (mx + mn) / 2;
  if (mx == mn) {
    H = S = 0;
    return;
  }
  double d = mx - mn;
  S = L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
  if (r == mx) H = (g - b) / d;
  else if (g == mx) H = 2 + (b - r) / d;
  else H = 4 + (r - g) / d;
  H /= 6;
  if (H < 0) H += 1;
}

void RGBToScaledHSL(COLORREF colour, int& H, int& S, int& L) {
  double h, s, l;
  RGBToHSL(colour, h, s, l);
  H = static_cast<int>(std::nearbyint(h * (HSLScale - 1)));
  S = static_cast<int>(std::nearbyint(s * HSLScale));
  L = static_cast<int>(std::nearbyint(l * HSLScale));
}

COLORREF ShiftColorLightness(COLORREF Base, COLORREF Fallback, BYTE Percent, bool Darker) {
  if (Percent == 0) return Fallback;
  int h, s, l;
  RGBToScaledHSL(ColorToRGB(Base), h, s, l);
  l += 10;
  if (Darker) l = l - Percent < 0 ? 0 : l - Percent;
  else l = l + Percent > 100 ? 100 : l + Percent;
  return ScaledHSLToRGB(h, s, l);
}

void DrawTwoColorFrame(HDC Canvas, RECT Rect, COLORREF TopLeft, int Width, COLORREF BottomRight) {
  HPEN light = ::CreatePen(PS_SOLID, 1, ColorToRGB(TopLeft));
  HPEN dark = ::CreatePen(PS_SOLID, 1, ColorToRGB(BottomRight));
  HGDIOBJ old = ::SelectObject(Canvas, light);
  Rect.right -= 1;
  Rect.bottom -= 1;
  for (int i = 0; i < Width; ++i) {
    ::SelectObject(Canvas, light);
    POINT a[] = {{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}};
    ::Polyline(Canvas, a, 3);
    ::SelectObject(Canvas, dark);
    POINT b[] = {{Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}};
    ::Polyline(Canvas, b, 3);
    ::InflateRect(&Rect, -1, -1);
  }
  ::SelectObject(Canvas, old);
  ::DeleteObject(light);
  ::DeleteObject(dark);
}

void MakeDisabledGlyph(const Bitmap& from, COLORREF transparent, COLORREF background, Bitmap& out) {
  out.SetSize(from.Width(), from.Height());
  out.Fill(ColorToRGB(background));
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
  for (int pass = 0; pass < 2; ++pass)
    for (int y = 0; y < from.Height(); ++y)
      for (int x = 0; x < from.Width(); ++x)
        if (from.Pixel(x, y) != transparent) {
          if (pass == 0) out.SetPixel(x + 1, y + 1, light);
          else out.SetPixel(x, y, shadow);
        }
}

}  // namespace skin
