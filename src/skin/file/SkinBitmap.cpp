#include "skin/file/SkinBitmap.h"

#include <algorithm>
#include <utility>

#include "skin/file/ByteStream.h"

namespace skin {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
enum Compression : std::uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3 };

struct BmpHeader {
  std::uint32_t pixelOffset = 0;
  std::uint32_t infoSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t masks[3] = {};  // red, green, blue, for 16, 24 and 32 bits per pixel
};

struct Decoding {
  const std::uint8_t* data;
  std::size_t size;
  const BmpHeader& h;
  std::vector<std::uint32_t> palette;
  SkinImage& image;
  std::string& error;
};

bool Fail(std::string& error, const char* text) {
  error = text;
  return false;
}

// Header forms a bitmap loader takes that we do not decode: the picture is
// passed over rather than taken for broken.
bool IsOtherForm(const BmpHeader& h) {
  static const std::uint32_t kOtherInfoSizes[] = {12, 16, 52, 56, 64};
  for (std::uint32_t size : kOtherInfoSizes) {
    if (h.infoSize == size) return true;
  }
  return h.infoSize >= 40 && h.compression >= 4 && h.compression <= 6;  // JPEG, PNG, alpha bit fields
}

bool ReadHeader(const std::uint8_t* data, std::size_t size, BmpHeader& h, std::string& error) {
  if (size < kFileHeaderSize + 16) return Fail(error, "bitmap shorter than its headers");
  if (data[0] != 'B' || data[1] != 'M') return Fail(error, "bitmap without its BM mark");
  h.pixelOffset = GetU32(data + 10);
  const std::uint8_t* info = data + kFileHeaderSize;
  h.infoSize = GetU32(info);
  if (size >= kFileHeaderSize + 20) h.compression = GetU32(info + 16);
  if (IsOtherForm(h)) return Fail(error, "bitmap form not supported");
  if (size < kFileHeaderSize + 40) return Fail(error, "bitmap shorter than its headers");
  h.width = static_cast<std::int32_t>(GetU32(info + 4));
  h.height = static_cast<std::int32_t>(GetU32(info + 8));
  h.planes = GetU16(info + 12);
  h.bits = GetU16(info + 14);
  h.colorsUsed = GetU32(info + 32);
  // The plain info header and its two later extensions share the first 40 bytes.
  if (h.infoSize != 40 && h.infoSize != 108 && h.infoSize != 124) return Fail(error, "unknown bitmap header size");
  if (kFileHeaderSize + h.infoSize > size) return Fail(error, "bitmap header past the end");
  if (h.planes != 1) return Fail(error, "bitmap plane count is not 1");
  return true;
}

// Bit-field masks follow the plain info header and sit inside the longer ones.
bool ReadMasks(const std::uint8_t* data, std::size_t size, BmpHeader& h, std::string& error) {
  static const std::uint32_t kDefault[2][3] = {{0x7C00, 0x03E0, 0x001F}, {0xFF0000, 0x00FF00, 0x0000FF}};
  for (int c = 0; c < 3; ++c) h.masks[c] = kDefault[h.bits == 16 ? 0 : 1][c];
  if (h.compression != kBiBitfields) return true;
  const std::size_t at = kFileHeaderSize + 40;
  if (at + 12 > size || (h.infoSize == 40 && at + 12 > h.pixelOffset))
    return Fail(error, "bitmap colour masks past the end");
  const std::uint32_t most = h.bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  for (int c = 0; c < 3; ++c) {
    const std::uint32_t m = GetU32(data + at + 4 * c);
    const std::uint32_t low = m & (~m + 1);  // lowest set bit
    if (m > most || (m != 0 && ((m + low) & m) != 0)) return Fail(error, "bitmap colour mask not one run of bits");
    h.masks[c] = m;
  }
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

bool ReadPalette(Decoding& d) {
  const BmpHeader& h = d.h;
  if (h.bits > 8) return true;
  const std::uint32_t most = 1u << h.bits;
  if (h.colorsUsed > most) return Fail(d.error, "bitmap palette larger than its pixel depth allows");
  const std::uint32_t count = h.colorsUsed == 0 ? most : h.colorsUsed;
  const std::size_t start = kFileHeaderSize + h.infoSize;
  if (start + std::size_t{count} * 4 > h.pixelOffset || h.pixelOffset > d.size)
    return Fail(d.error, "bitmap palette overlaps the pixels or the end");
  d.palette.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) d.palette[i] = GetU32(d.data + start + i * 4) & 0x00FFFFFFu;
  return true;
}

// Where one colour channel sits in a pixel value.
struct ChannelBits {
  explicit ChannelBits(std::uint32_t mask) : mask(mask) {
    if (mask == 0) return;
    while (!((mask >> shift) & 1)) ++shift;
    while (shift + width < 32 && ((mask >> (shift + width)) & 1)) ++width;
  }
  // The channel scaled to 8 bits; narrower channels repeat their bits, so
  // the brightest value stays 255.
  std::uint32_t Of(std::uint32_t value) const {
    if (mask == 0) return 0;
    const std::uint32_t v = (value & mask) >> shift;
    if (width >= 8) return v >> (width - 8);
    std::uint32_t r = 0;
    int filled = 0;
    for (; filled < 8; filled += width) r = (r << width) | v;
    return r >> (filled - 8);
  }
  std::uint32_t mask;
  int shift = 0, width = 0;
};

bool PaletteColour(Decoding& d, unsigned index, std::uint32_t& colour) {
  if (index >= d.palette.size()) return Fail(d.error, "bitmap pixel outside its palette");
  colour = d.palette[index];
  return true;
}

// Uncompressed rows, bottom-up unless the height is negative.
bool ReadRows(Decoding& d) {
  const BmpHeader& h = d.h;
  const int height = d.image.height;
  const std::size_t stride = ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4;
  if (stride * height > d.size - h.pixelOffset) return Fail(d.error, "bitmap pixels past the end");
  const ChannelBits red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
  for (int y = 0; y < height; ++y) {
    const int row = h.height < 0 ? y : height - 1 - y;
    const std::uint8_t* src = d.data + h.pixelOffset + stride * row;
    std::uint32_t* dest = &d.image.pixels[static_cast<std::size_t>(y) * h.width];
    for (int x = 0; x < h.width; ++x) {
      if (h.bits >= 16) {
        const std::uint8_t* p = src + x * (h.bits / 8);
        std::uint32_t v = 0;
        for (int i = h.bits / 8 - 1; i >= 0; --i) v = (v << 8) | p[i];
        dest[x] = (red.Of(v) << 16) | (green.Of(v) << 8) | blue.Of(v);
        continue;
      }
      const std::size_t bit = static_cast<std::size_t>(x) * h.bits;
      const unsigned index = (src[bit / 8] >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1);
      if (!PaletteColour(d, index, dest[x])) return false;
    }
  }
  return true;
}

// Run-length rows (8 or 4 bits per pixel), always bottom-up. Pixels the
// runs skip stay black; pixels beyond the picture are dropped unwritten, so
// a run past the edge costs no more than its two bytes.
bool ReadRuns(Decoding& d) {
  const bool four = d.h.compression == kBiRle4;
  const std::int64_t width = d.image.width, height = d.image.height;
  const std::uint8_t* p = d.data + d.h.pixelOffset;
  const std::uint8_t* const end = d.data + d.size;
  std::int64_t x = 0, y = 0;
  // `count` pixels whose indices repeat after `period`: each index must be
  // in the palette even where its pixel falls outside the picture.
  auto put = [&](int count, int period, auto indexOf) {
    std::uint32_t colour = 0;
    for (int i = 0; i < std::min(count, period); ++i) {
      if (!PaletteColour(d, indexOf(i), colour)) return false;
    }
    if (y < height && x < width) {
      std::uint32_t* at = &d.image.pixels[static_cast<std::size_t>((height - 1 - y) * width + x)];
      const std::int64_t inside = std::min<std::int64_t>(count, width - x);
      for (std::int64_t i = 0; i < inside; ++i) at[i] = d.palette[indexOf(static_cast<int>(i))];
    }
    x += count;
    return true;
  };
  while (end - p >= 2) {
    const int count = p[0], code = p[1];
    p += 2;
    if (count > 0) {  // `count` pixels of one byte (two alternating nibbles)
      if (!put(count, four ? 2 : 1, [&](int i) { return four ? (i % 2 ? code & 0x0F : code >> 4) : code; }))
        return false;
    } else if (code == 0) {
      x = 0, ++y;
    } else if (code == 1) {
      return true;
    } else if (code == 2) {
      if (end - p < 2) break;
      x += p[0], y += p[1];
      p += 2;
    } else {  // `code` pixels given one by one, padded to a whole word
      const std::size_t bytes = four ? (code + 1) / 2 : code;
      if (static_cast<std::size_t>(end - p) < bytes) break;
      const std::uint8_t* at = p;
      if (!put(code, code, [&](int i) { return four ? (i % 2 ? at[i / 2] & 0x0F : at[i / 2] >> 4) : at[i]; }))
        return false;
      p += std::min<std::size_t>(bytes + bytes % 2, end - p);
    }
  }
  return Fail(d.error, "bitmap pixels past the end");
}

struct PixelForm {
  std::uint32_t compression;
  std::uint16_t bits;
  bool (*read)(Decoding&);
};

const PixelForm kPixelForms[] = {
    {kBiRgb, 1, ReadRows},         {kBiRgb, 4, ReadRows},         {kBiRgb, 8, ReadRows},
    {kBiRgb, 16, ReadRows},        {kBiRgb, 24, ReadRows},        {kBiRgb, 32, ReadRows},
    {kBiBitfields, 16, ReadRows},  {kBiBitfields, 32, ReadRows},  {kBiRle8, 8, ReadRuns},
    {kBiRle4, 4, ReadRuns},
};

const PixelForm* FindForm(const BmpHeader& h, std::string& error) {
  for (const PixelForm& form : kPixelForms) {
    if (form.compression == h.compression && form.bits == h.bits) return &form;
  }
  Fail(error, h.compression > kBiBitfields ? "unknown bitmap compression" : "unsupported bits per pixel");
  return nullptr;
}

bool Decode(const std::uint8_t* data, std::size_t size, SkinImage& image, std::string& error, bool& otherForm) {
  BmpHeader h;
  const bool header = ReadHeader(data, size, h, error);
  otherForm = !header && IsOtherForm(h);
  const PixelForm* form = header ? FindForm(h, error) : nullptr;
  if (!form || !CheckSize(h, error) || !ReadMasks(data, size, h, error)) return false;
  if (h.pixelOffset < kFileHeaderSize + h.infoSize || h.pixelOffset > size)
    return Fail(error, "bitmap pixels past the end");
  if (form->read == ReadRuns && h.height < 0) return Fail(error, "run-length bitmap stored top-down");
  Decoding d{data, size, h, {}, image, error};
  if (!ReadPalette(d)) return false;
  image.width = h.width;
  image.height = h.height < 0 ? -h.height : h.height;
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
  return form->read(d);
}

}  // namespace

bool DecodeSkinBitmap(const std::uint8_t* data, std::size_t size, SkinImage& image, std::string& error,
                      bool* otherForm) {
  image = SkinImage();
  bool other = false;
  const bool ok = Decode(data, size, image, error, other);
  if (otherForm) *otherForm = other;
  if (!ok) image = SkinImage();
  return ok;
}

bool StatedSkinBitmapPixels(const std::uint8_t* data, std::size_t size, std::uint64_t& pixels) {
  BmpHeader h;
  std::string ignored;
  if (!ReadHeader(data, size, h, ignored) || !CheckSize(h, ignored)) return false;
  pixels = static_cast<std::uint64_t>(h.width) * (h.height < 0 ? -std::int64_t{h.height} : h.height);
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
