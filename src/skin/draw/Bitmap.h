// An off-screen 24-bit picture: a top-down DIB section with its own memory
// device context, so it can be both drawn on and read pixel by pixel.
#pragma once
#include <windows.h>

#include <string>

namespace skin {

class Bitmap {
 public:
  Bitmap();
  Bitmap(int width, int height);
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // The drawing surface; valid for the bitmap's life, also while empty.
  HDC Canvas() const { return dc_; }
  HBITMAP Handle() const { return bitmap_; }

  // Changes the size keeping the pixels that still fit; new area is white.
  // A zero or negative side empties the picture.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  // Empties the picture.
  void Clear() { SetSize(0, 0); }
  // A copy of `other`'s size and pixels.
  void Assign(const Bitmap& other);
  // Takes over `other`'s pixels, leaving it empty.
  void Swap(Bitmap& other) noexcept;

  // Pixels as colour values 0x00BBGGRR; outside the picture Pixel gives
  // CLR_INVALID and SetPixel does nothing.
  COLORREF Pixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF colour);
  void Fill(COLORREF colour);
  void FillRect(const RECT& r, COLORREF colour);

  // Loads a bitmap resource of `module` by name, as 24 bits. False (and the
  // picture unchanged) when the module has no such bitmap.
  bool LoadFromResource(HMODULE module, const std::wstring& name);
  // Makes the picture a 24-bit copy of a device-dependent or DIB bitmap.
  bool CopyFrom(HBITMAP source);

 private:
  bool Allocate(int width, int height);
  void Release();
  unsigned char* PixelAddress(int x, int y) const;

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  unsigned char* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
};

}  // namespace skin
