#include "skin/draw/PixelOps.h"

namespace skin {

namespace {

// Builds the turned picture pixel by pixel and puts it in place of the source.
template <class Move>
void Turn(Bitmap& source, int newWidth, int newHeight, Move move) {
  if (source.Empty()) return;
  Bitmap result(newWidth, newHeight);
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x) {
      POINT to = move(x, y);
      result.SetPixel(to.x, to.y, source.Pixel(x, y));
    }
  source.Swap(result);
}

}  // namespace

void ReplaceBitmapColor(Bitmap& Bitmap, COLORREF OldColour, COLORREF NewColour) {
  for (int x = 0; x < Bitmap.Width(); ++x)
    for (int y = 0; y < Bitmap.Height(); ++y)
      if (Bitmap.Pixel(x, y) == OldColour) Bitmap.SetPixel(x, y, NewColour);
}

void RotateBitmap(Bitmap& Bitmap) {
  const int w = Bitmap.Width();
  Turn(Bitmap, Bitmap.Height(), w, [w](int x, int y) { return POINT{y, w - 1 - x}; });
}

void RotateBitmapBack(Bitmap& Bitmap) {
  const int h = Bitmap.Height();
  Turn(Bitmap, h, Bitmap.Width(), [h](int x, int y) { return POINT{h - 1 - y, x}; });
}

void RotateBitmapHalfTurn(Bitmap& Bitmap) {
  const int w = Bitmap.Width(), h = Bitmap.Height();
  Turn(Bitmap, w, h, [w, h](int x, int y) { return POINT{w - 1 - x, h - 1 - y}; });
}

}  // namespace skin
