#include "skin/draw/Bitmap.h"

#include <utility>

namespace skin {

Bitmap::Bitmap() : dc_(::CreateCompatibleDC(nullptr)) {}

Bitmap::Bitmap(int width, int height) : Bitmap() { SetSize(width, height); }

Bitmap::~Bitmap() {
  Release();
  if (dc_ != nullptr) ::DeleteDC(dc_);
}

Bitmap::Bitmap(Bitmap&& other) noexcept : Bitmap() { Swap(other); }

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this != &other) {
    Clear();
    Swap(other);
  }
  return *this;
}

void Bitmap::Swap(Bitmap& other) noexcept {
  std::swap(dc_, other.dc_);
  std::swap(bitmap_, other.bitmap_);
  std::swap(oldBitmap_, other.oldBitmap_);
  std::swap(bits_, other.bits_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(stride_, other.stride_);
}

void Bitmap::Release() {
  if (bitmap_ != nullptr) {
    ::SelectObject(dc_, oldBitmap_);
    ::DeleteObject(bitmap_);
  }
  bitmap_ = nullptr;
  oldBitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = stride_ = 0;
}

bool Bitmap::Allocate(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top row
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return false;
  bitmap_ = bitmap;
  oldBitmap_ = ::SelectObject(dc_, bitmap_);
  bits_ = static_cast<unsigned char*>(bits);
  width_ = width;
  height_ = height;
  stride_ = (width * 3 + 3) & ~3;
  return true;
}

void Bitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  Bitmap old;
  Swap(old);  // this is now empty, with old's device context
  if (width <= 0 || height <= 0 || !Allocate(width, height)) return;
  Fill(RGB(255, 255, 255));
  if (!old.Empty()) ::BitBlt(dc_, 0, 0, old.width_, old.height_, old.dc_, 0, 0, SRCCOPY);
}

void Bitmap::Assign(const Bitmap& other) {
  if (this == &other) return;
  Clear();
  if (other.Empty() || !Allocate(other.width_, other.height_)) return;
  ::GdiFlush();
  for (int y = 0; y < height_; ++y)
    memcpy(bits_ + y * stride_, other.bits_ + y * other.stride_, static_cast<size_t>(width_) * 3);
}

unsigned char* Bitmap::PixelAddress(int x, int y) const {
  if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  return bits_ + y * stride_ + x * 3;
}

COLORREF Bitmap::Pixel(int x, int y) const {
  const unsigned char* p = PixelAddress(x, y);
  if (p == nullptr) return CLR_INVALID;
  ::GdiFlush();  // GDI may still hold drawing for this surface
  return RGB(p[2], p[1], p[0]);
}

void Bitmap::SetPixel(int x, int y, COLORREF colour) {
  unsigned char* p = PixelAddress(x, y);
  if (p == nullptr) return;
  ::GdiFlush();
  p[0] = GetBValue(colour);
  p[1] = GetGValue(colour);
  p[2] = GetRValue(colour);
}

void Bitmap::Fill(COLORREF colour) { FillRect(RECT{0, 0, width_, height_}, colour); }

void Bitmap::FillRect(const RECT& r, COLORREF colour) {
  if (Empty()) return;
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc_, &r, brush);
  ::DeleteObject(brush);
}

bool Bitmap::CopyFrom(HBITMAP source) {
  BITMAP info{};
  if (source == nullptr || ::GetObjectW(source, sizeof(info), &info) == 0) return false;
  int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  Bitmap copy;
  if (!copy.Allocate(info.bmWidth, height)) return false;
  HDC sourceDc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(sourceDc, source);
  bool ok = ::BitBlt(copy.dc_, 0, 0, info.bmWidth, height, sourceDc, 0, 0, SRCCOPY) != FALSE;
  ::SelectObject(sourceDc, old);
  ::DeleteDC(sourceDc);
  if (ok) Swap(copy);
  return ok;
}

bool Bitmap::LoadFromResource(HMODULE module, const std::wstring& name) {
  if (name.empty()) return false;
  auto* loaded = static_cast<HBITMAP>(
      ::LoadImageW(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (loaded == nullptr) return false;
  bool ok = CopyFrom(loaded);
  ::DeleteObject(loaded);
  return ok;
}

}  // namespace skin
