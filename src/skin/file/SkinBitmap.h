// Our own decoder of the .bmp images a skin file holds, with every header
// field checked, and the cutting of picture strips into cells.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skin {

// Pixels top row first, each 0x00RRGGBB (the byte order of a 32-bit DIB).
struct SkinImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Pictures larger than this are refused: skin pictures are a few hundred
// pixels wide, and the cap keeps a forged header from asking for gigabytes.
constexpr int kMaxSkinImageSide = 4096;
constexpr std::uint32_t kMaxSkinImagePixels = 4u * 1024u * 1024u;

// Decodes a complete .bmp file image: uncompressed 1, 4, 8, 16, 24 or 32
// bits per pixel, 16 and 32 with bit-field masks, and 8- and 4-bit
// run-length images. False, with `error` set, for anything else or any
// inconsistent field; `otherForm`, when given, tells a header form other
// loaders take (OS/2 and version 2 and 3 headers, JPEG or PNG inside) from a
// broken picture.
bool DecodeSkinBitmap(const std::uint8_t* data, std::size_t size, SkinImage& image, std::string& error,
                      bool* otherForm = nullptr);

// The pixels a picture's header asks for, read without decoding it; false
// where DecodeSkinBitmap would refuse the header or the size.
bool StatedSkinBitmapPixels(const std::uint8_t* data, std::size_t size, std::uint64_t& pixels);

// Cell `index` (1-based) of `count` equal cells side by side; the last cell is
// taken against the right edge. False for a count or index out of range.
bool CutSkinImagePart(const SkinImage& source, SkinImage& dest, int count, int index);

}  // namespace skin
