#include "skin/file/SkinBitmapWin.h"

#include <cstring>

namespace skin {

HBITMAP CreateSkinHBitmap(const SkinImage& image) {
  if (image.width <= 0 || image.height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(image.pixels[0]));
  return bitmap;
}

}  // namespace skin
