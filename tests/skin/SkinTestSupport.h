// Pictures whose every pixel tells where it came from, for the drawing tests.
#pragma once
#include <windows.h>

#include "skin/draw/Bitmap.h"

namespace skin_test {

// A pixel's colour from its position; never magenta, never the background.
inline COLORREF Coded(int x, int y) { return RGB(x * 3 + 1, y * 3 + 1, 7); }

inline skin::Bitmap CodedBitmap(int w, int h) {
  skin::Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, Coded(x, y));
  return b;
}

constexpr COLORREF kBackground = RGB(0, 0, 100);

inline skin::Bitmap Canvas(int w, int h) {
  skin::Bitmap b(w, h);
  b.Fill(kBackground);
  return b;
}

}  // namespace skin_test
