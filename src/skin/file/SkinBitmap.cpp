#include "skin/file/SkinBitmap.h"

#include <utility>

#include "skin/file/ByteStream.h"

namespace skin {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;

struct BmpHeader {
  std::uint32_t pixelOffset = 0;
  std::uint32_t infoSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
};

bool Fail(std::string& error, const char* text) {
  error = text;
  return false;
}

bool ReadHeader(const std::uint8_t* data, std::size_t size, BmpHeader& h, std::string& error) {
  if (size < kFileHeaderSize + 40) return Fail(error, "bitmap shorter than its headers");
  if (data[0] != 'B' || data[1] != 'M') return Fail(error, "bitmap without its BM mark");
  h.pixelOffset = GetU32(data + 10);
  const std::uint8_t* info = data + kFileHeaderSize;
  h.infoSize = GetU32(info);
  h.width = static_cast<std::int32_t>(GetU32(info + 4));
  h.height = static_cast<std::int32_t>(GetU32(info + 8));
  h.planes = GetU16(info + 12);
  h.bits = GetU16(info + 14);
  h.compression = GetU32(info + 16);
  h.colorsUsed = GetU32(info + 32);
  // The plain info header and its two later extensions share the first 40 bytes.
  if (h.infoSize != 40 && h.infoSize != 108 && h.infoSize != 124) return Fail(error, "unknown bitmap header size");
  if (kFileHeaderSize + h.infoSize > size) return Fail(error, "bitmap header past the end");
  if (h.planes != 1) return Fail(error, "bitmap plane count is not 1");
  if (h.compression != kBiRgb) return Fail(error, "compressed bitmaps are not supported");
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32)
    return Fail(error, "unsupported bits per pixel");
  return true;
}

bool CheckSize(const BmpHeader& h, std::string& error) {
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return Fail(error, "bitmap has no pixels");
  const std::int64_t height = h.height < 0 ? -std::int64_t{h.height} : h.height;
  if (h.width > kMaxSkinImageSide || height > kMaxSkinImageSide ||
      static_cast<std::uint64_t>(h.width) * height > kMaxSkinImagePixels) {
    return Fail(error, "bitmap too large");
  }
  return true;
}

bool ReadPalette(const std::uint8_t* data, std::size_t size, const BmpHeader& h, std::vector<std::uint32_t>& palette,
                 std::string& error) {
  if (h.bits > 8) return true;
  const std::uint32_t most = 1u << h.bits;
  if (h.colorsUsed > most) return Fail(error, "bitmap palette larger than its pixel depth allows");
  const std::uint32_t count = h.colorsUsed == 0 ? most : h.colorsUsed;
  const std::size_t start = kFileHeaderSize + h.infoSize;
  if (start + std::size_t{count} * 4 > h.pixelOffset || h.pixelOffset > size)
    return Fail(error, "bitmap palette overlaps the pixels or the end");
  palette.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) palette[i] = GetU32(data + start + i * 4) & 0x00FFFFFFu;
  return true;
}

bool ReadPixels(const std::uint8_t* data, std::size_t size, const BmpHeader& h,
                const std::vector<std::uint32_t>& palette, SkinImage& image, std::string& error) {
  const int height = h.height < 0 ? -h.height : h.height;
  const std::size_t stride = ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4;
  if (h.pixelOffset < kFileHeaderSize + h.infoSize || h.pixelOffset > size ||
      stride * height > size - h.pixelOffset) {
    return Fail(error, "bitmap pixels past the end");
  }
  image.width = h.width;
  image.height = height;
  image.pixels.assign(static_cast<std::size_t>(h.width) * height, 0);
  for (int y = 0; y < height; ++y) {
    const int row = h.height < 0 ? y : height - 1 - y;  // positive heights are stored bottom-up
    const std::uint8_t* src = data + h.pixelOffset + stride * row;
    std::uint32_t* dest = &image.pixels[static_cast<std::size_t>(y) * h.width];
    for (int x = 0; x < h.width; ++x) {
      if (h.bits >= 24) {
        const std::uint8_t* p = src + x * (h.bits / 8);
        dest[x] = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
        continue;
      }
      const std::size_t bit = static_cast<std::size_t>(x) * h.bits;
      const unsigned index = (src[bit / 8] >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1);
      if (index >= palette.size()) return Fail(error, "bitmap pixel outside its palette");
      dest[x] = palette[index];
    }
  }
  return true;
}

}  // namespace

bool DecodeSkinBitmap(const std::uint8_t* data, std::size_t size, SkinImage& image, std::string& error) {
  BmpHeader h;
  std::vector<std::uint32_t> palette;
  image = SkinImage();
  if (!ReadHeader(data, size, h, error) || !CheckSize(h, error) || !ReadPalette(data, size, h, palette, error))
    return false;
  if (!ReadPixels(data, size, h, palette, image, error)) {
    image = SkinImage();
    return false;
  }
  return true;
}

bool CutSkinImagePart(const SkinImage& source, SkinImage& dest, int count, int index) {
  if (count < 1 || index < 1 || index > count || source.width < count) return false;
  const int cell = source.width / count;
  const int left = index < count ? cell * (index - 1) : source.width - cell;
  SkinImage part;
  part.width = cell;
  part.height = source.height;
  part.pixels.reserve(static_cast<std::size_t>(cell) * source.height);
  for (int y = 0; y < source.height; ++y) {
    for (int x = 0; x < cell; ++x) part.pixels.push_back(source.At(left + x, y));
  }
  dest = std::move(part);
  return true;
}

}  // namespace skin
