// The record chain of a skin's data entry and the bitmaps it holds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "SkinTestData.h"
#include "skin/file/SkinRecords.h"

using skintest::Bytes;
using skintest::AddU32;
using skintest::BmpOf;
using skintest::PutU32;
using Record = skintest::SkinRecordSpec;

namespace {

// An uncompressed .bmp image: `bits` 8 (with palette) or 24, made-up pixels.
Bytes Bmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette = {}) {
  const std::uint32_t stride = ((width * bits + 31) / 32) * 4;
  Bytes pixels;
  for (std::uint32_t i = 0; i < stride * static_cast<std::uint32_t>(height); ++i)
    pixels.push_back(static_cast<std::uint8_t>(bits == 8 ? i % palette.size() : i));
  return BmpOf(width, height, bits, 0, palette, {}, pixels);
}

// SKINDATA.SK2 with the records in a chain and an empty record of an
// unknown type ending it.
Bytes Sk2(std::vector<Record> records) {
  records.push_back({"END", 9, {}});
  return skintest::SkinData(records);
}

Bytes Int(std::int32_t v) {
  Bytes b;
  AddU32(b, static_cast<std::uint32_t>(v));
  return b;
}

bool Parse(const Bytes& data, skin::SkinData& items, std::string* error = nullptr) {
  std::string why;
  const bool ok = skin::ParseSkinData(data.data(), data.size(), items, why);
  if (error) *error = why;
  return ok;
}

TEST(SkinRecords, ReadsEveryKindInChainOrderAndFirstOfTwoWins) {
  const std::string longName(64, 'N');
  const Bytes data = Sk2({{"SKIN2_FORMCOLOR", 1, Int(0xC0C0C0)},
                          {"SKIN2_FORMCOLOR", 1, Int(0x111111)},
                          {longName, 1, Int(64)},
                          {"SKIN2_BUTTONTRANS", 2, {2}},
                          {"SKIN2_TITLEBTNTRANS", 2, {0}},
                          {"SKIN2_BUTTON", 0, Bmp(3, 2, 24)},
                          {"ABOUT", 3, {'h', 'i'}}});
  skin::SkinData items;
  ASSERT_TRUE(Parse(data, items));
  EXPECT_EQ(0xC0C0C0, items.FindInteger("skin2_formcolor"));
  EXPECT_EQ(64, items.FindInteger(longName));
  EXPECT_EQ(2, items.FindByte("SKIN2_BUTTONTRANS"));
  EXPECT_EQ(0, items.FindByte("SKIN2_TITLEBTNTRANS"));
  EXPECT_EQ(0, items.FindByte("SKIN2_MISSING"));
  EXPECT_EQ(-1, items.FindInteger("SKIN2_MISSING"));
  ASSERT_NE(nullptr, items.FindBitmap("SKIN2_BUTTON"));
  EXPECT_EQ(3, items.FindBitmap("SKIN2_BUTTON")->width);
  ASSERT_EQ(1u, items.Strings.size());
  EXPECT_EQ("hi", items.Strings[0].second);
}

TEST(SkinRecords, OnlyTheChainEndingRecordLoadsNothingButParses) {
  skin::SkinData items;
  ASSERT_TRUE(Parse(Sk2({}), items));
  EXPECT_TRUE(items.Integers.empty() && items.Bitmaps.empty() && items.Bytes.empty());
}

TEST(SkinRecords, MisSizedAndUnknownRecordsArePassedOver) {
  const Bytes data = Sk2({{"I0", 1, {}},
                          {"I2", 1, {1, 2}},
                          {"I8", 1, Int(5)},
                          {"B0", 2, {}},
                          {"B2", 2, {1, 1}},
                          {"U", 7, {1, 2, 3, 4}},
                          {"OK", 1, Int(9)}});
  Bytes fixed = data;
  // Make I8's data eight bytes by pointing its size past the four it owns into the next.
  PutU32(fixed, 24 + 77 * 2 + 69, 8);
  skin::SkinData items;
  ASSERT_TRUE(Parse(fixed, items));
  ASSERT_EQ(1u, items.Integers.size());
  EXPECT_EQ(9, items.FindInteger("OK"));
  EXPECT_TRUE(items.Bytes.empty());
}

// Records that point at one picture each keep a copy, counted toward the
// cap, but the picture is decoded once: 800 records over 60 KB of runs past
// a one-pixel picture's edge load at once. Pictures at other places that
// overlap may not read more than the data holds. A picture's pixels count
// toward the cap before it is decoded or copied: the one past the cap costs
// no memory.
TEST(SkinRecords, RecordsSharingOnePictureDecodeItOnceAndPayForEachCopy) {
  Bytes runs;
  for (int i = 0; i < 15000; ++i) runs.insert(runs.end(), {255, 1, 0, 0});
  runs.insert(runs.end(), {0, 1});
  Bytes padded = Bmp(2, 2, 24);
  padded.resize(4000, 0);
  // 16 MB of pixels from a few bytes: runs that end at once.
  Bytes blank = BmpOf(4096, 1024, 8, 1, {0, 1}, {}, {0, 1});
  blank.resize(blank.size() + 16, 0);
  const struct {
    const char* what;
    Bytes picture;
    std::size_t records;
    const char* error;
    int largeBuffers;           // pictures decoded or copied, each of 16 MB
    std::uint32_t shorter = 0;  // each record's picture this much shorter than the last: other places
  } cases[] = {
      {"a large picture eight times", Bmp(2048, 2048, 8, {0, 1}), 8, "skin items too large in total", 3},
      {"runs past a one-pixel picture 800 times", BmpOf(1, 1, 8, 1, {0x112233, 0x445566}, {}, runs), 800, "", 0},
      {"overlapping pictures read twice the data", padded, 3, "skin items too large in total", 0, 1},
      {"four large pictures at other places", blank, 4, "skin items too large in total", 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Record> records(c.records, Record{"SKIN2_BUTTON", 0, {}});
    records[0].data = c.picture;
    Bytes data = Sk2(records);
    const auto shared = static_cast<std::uint32_t>(24 + 77 * (c.records + 1));
    for (std::size_t i = 1; i < records.size(); ++i) {
      PutU32(data, 24 + 77 * i + 65, shared);
      PutU32(data, 24 + 77 * i + 69, static_cast<std::uint32_t>(c.picture.size() - c.shorter * i));
    }
    skin::SkinData items;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const int buffersBefore = skintest::LargeBuffers();
    EXPECT_EQ(*c.error == 0, Parse(data, items, &error));
    EXPECT_EQ(c.largeBuffers, skintest::LargeBuffers() - buffersBefore);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(c.error, error);
    if (*c.error) continue;
    ASSERT_EQ(c.records, items.Bitmaps.size());
    for (const auto& line : items.Bitmaps) EXPECT_EQ(std::vector<std::uint32_t>{0x445566}, line.second.pixels);
  }
}

// The record whose next offset is 0 ends the chain and carries no item,
// whatever it holds; every record before it is loaded. A picture in a form
// we do not decode costs only that picture.
TEST(SkinRecords, TheChainEndsAtTheRecordWithNextOffsetZeroWithoutLoadingIt) {
  struct Chain {
    const char* what;
    std::vector<Record> records;
    std::vector<std::string> loaded;  // integer, byte and bitmap names, in chain order
  };
  Bytes png = Bmp(2, 2, 24);
  PutU32(png, 30, 5);  // PNG inside
  const Chain chains[] = {
      {"A, B, C", {{"A", 1, Int(1)}, {"B", 1, Int(2)}, {"C", 1, Int(3)}}, {"A", "B"}},
      {"one record", {{"A", 1, Int(1)}}, {}},
      {"ends on a byte", {{"A", 2, {1}}, {"B", 2, {2}}}, {"A"}},
      {"ends on a bitmap", {{"A", 1, Int(1)}, {"B", 0, Bmp(2, 2, 24)}}, {"A"}},
      {"ends on a broken bitmap", {{"A", 1, Int(1)}, {"B", 0, {'B', 'M'}}}, {"A"}},
      {"a PNG among bitmaps", {{"P", 0, png}, {"B", 0, Bmp(2, 2, 24)}, {"A", 1, Int(4)}, {"END", 9, {}}}, {"A", "B"}},
  };
  for (const Chain& c : chains) {
    SCOPED_TRACE(c.what);
    skin::SkinData items;
    ASSERT_TRUE(Parse(skintest::SkinData(c.records), items));
    std::vector<std::string> names;
    for (const auto& line : items.Integers) names.push_back(line.first);
    for (const auto& line : items.Bytes) names.push_back(line.first);
    for (const auto& line : items.Bitmaps) names.push_back(line.first);
    EXPECT_EQ(c.loaded, names);
  }
}

// The cap is checked before any record's data is read.
TEST(SkinRecords, ChainsLongerThanTheRecordCapAreRefused) {
  // `records` counts the ending one.
  const struct { std::size_t records; Record first; const char* error; } chains[] = {
      {4096, {"I", 1, Int(1)}, ""},
      {4097, {"I", 1, Int(1)}, "skin has more than 4096 records"},
      {4097, {"B", 0, {'B', 'M'}}, "skin has more than 4096 records"},
  };
  for (const auto& c : chains) {
    SCOPED_TRACE(c.records);
    std::vector<Record> records(c.records - 1, Record{"I", 1, Int(1)});
    records[0] = c.first;
    skin::SkinData items;
    std::string error;
    EXPECT_EQ(*c.error == 0, Parse(Sk2(records), items, &error));
    EXPECT_EQ(c.error, error);
  }
}

struct BadData {
  const char* what;
  std::size_t at;  // where to write `value`, or SIZE_MAX to cut the data to `value` bytes
  std::uint32_t value;
};

TEST(SkinRecords, BrokenDataIsRefused) {
  const Bytes good = Sk2({{"A", 1, Int(1)}, {"B", 1, Int(2)}, {"C", 0, Bmp(2, 2, 24)}});
  const std::size_t r0 = 24, r1 = 24 + 77, r2 = 24 + 154;
  const BadData cases[] = {
      {"header length 23", 12, 23},
      {"header length 25", 12, 25},
      {"first record past the end", 20, static_cast<std::uint32_t>(good.size() - 10)},
      {"data offset past the end", r0 + 65, 0xFFFFFFF0u},
      {"data size past the end", r0 + 69, 0x7FFFFFFFu},
      {"chain loops back", r1 + 73, static_cast<std::uint32_t>(r0)},
      {"chain points at itself", r0 + 73, static_cast<std::uint32_t>(r0)},
      {"bad bitmap", r2 + 69, 10},
      {"truncated in a record", SIZE_MAX, static_cast<std::uint32_t>(r1 + 30)},
      {"shorter than the header", SIZE_MAX, 20},
  };
  skin::SkinData items;
  ASSERT_TRUE(Parse(good, items));
  for (const BadData& c : cases) {
    Bytes bad = good;
    if (c.at == SIZE_MAX) {
      bad.resize(c.value);
    } else {
      PutU32(bad, c.at, c.value);
    }
    std::string error;
    EXPECT_FALSE(Parse(bad, items, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(SkinBitmap, DecodesPalettedAndTrueColourImagesTopRowFirst) {
  skin::SkinImage image;
  std::string error;
  const Bytes paletted = Bmp(3, 2, 8, {0x000000, 0xFF0000, 0x00FF00});
  ASSERT_TRUE(skin::DecodeSkinBitmap(paletted.data(), paletted.size(), image, error)) << error;
  // Bottom row stored first: indices 0,1,2 (then padding) are the bottom row.
  EXPECT_EQ(0x000000u, image.At(0, 1));
  EXPECT_EQ(0xFF0000u, image.At(1, 1));
  EXPECT_EQ(0x00FF00u, image.At(2, 1));
  const Bytes rgb = Bmp(2, 1, 24);
  ASSERT_TRUE(skin::DecodeSkinBitmap(rgb.data(), rgb.size(), image, error)) << error;
  EXPECT_EQ(0x020100u, image.At(0, 0));
  EXPECT_EQ(0x050403u, image.At(1, 0));
}

// Every pixel form a bitmap loader takes, rows top first in `expected`.
TEST(SkinBitmap, DecodesRunLengthSixteenBitAndBitFieldImages) {
  struct Form {
    const char* what;
    Bytes bmp;
    std::vector<std::uint32_t> expected;
  };
  const std::vector<std::uint32_t> rgb = {0x000000, 0xFF0000, 0x00FF00};
  const Form forms[] = {
      {"RLE8: a run, end of line, absolute pixels cut at the right edge",
       BmpOf(2, 2, 8, 1, rgb, {}, {2, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1}),
       {0x00FF00, 0xFF0000, 0xFF0000, 0xFF0000}},
      {"RLE8: a jump leaves the pixels it skips black", BmpOf(3, 2, 8, 1, rgb, {}, {0, 2, 1, 1, 1, 2, 0, 1}),
       {0, 0x00FF00, 0, 0, 0, 0}},
      {"RLE8: a run, a jump two across and one down, a run",
       BmpOf(4, 3, 8, 1, rgb, {}, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}),
       {0, 0, 0, 0, 0, 0, 0, 0x00FF00, 0xFF0000, 0, 0, 0}},
      {"RLE8: a run far past the right edge stays on its row", BmpOf(2, 2, 8, 1, rgb, {}, {255, 1, 0, 0, 1, 2, 0, 1}),
       {0x00FF00, 0, 0xFF0000, 0xFF0000}},
      {"RLE4: a run of two alternating nibbles, then absolute nibbles",
       BmpOf(3, 2, 4, 2, rgb, {}, {3, 0x12, 0, 0, 0, 3, 0x21, 0x20, 0, 1}),
       {0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000}},
      {"16 bits, 5-5-5 without masks", BmpOf(3, 1, 16, 0, {}, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}),
       {0xFF0000, 0x00FF00, 0x0000FF}},
      {"16 bits, 5-6-5 masks", BmpOf(2, 1, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x10, 0x84}),
       {0x00FF00, 0x848284}},
      {"16 bits, 5-5-5 masks", BmpOf(2, 1, 16, 3, {}, {0x7C00, 0x03E0, 0x001F}, {0x00, 0x7C, 0x01, 0x00}),
       {0xFF0000, 0x000008}},
      {"32 bits, red in the low byte", BmpOf(1, 1, 32, 3, {}, {0xFF, 0xFF00, 0xFF0000}, {0x11, 0x22, 0x33, 0x44}),
       {0x112233}},
      {"32 bits, plain masks", BmpOf(1, 1, 32, 3, {}, {0xFF0000, 0xFF00, 0xFF}, {0x11, 0x22, 0x33, 0x44}),
       {0x332211}},
  };
  for (const Form& f : forms) {
    SCOPED_TRACE(f.what);
    skin::SkinImage image;
    std::string error;
    ASSERT_TRUE(skin::DecodeSkinBitmap(f.bmp.data(), f.bmp.size(), image, error)) << error;
    EXPECT_EQ(f.expected, image.pixels);
  }
}

// Broken pictures fail; forms other loaders take but we do not decode say so.
TEST(SkinBitmap, BrokenPicturesFailAndOtherFormsAreToldApart) {
  const std::vector<std::uint32_t> rgb = {0x000000, 0xFF0000, 0x00FF00};
  Bytes core = Bmp(2, 2, 24), topDown = BmpOf(2, 2, 8, 1, rgb, {}, {2, 1, 0, 1});
  PutU32(core, 14, 12);
  PutU32(topDown, 22, static_cast<std::uint32_t>(-2));
  struct Picture {
    const char* what;
    Bytes bmp;
    bool otherForm;
  };
  const Picture pictures[] = {
      {"RLE8 without its end", BmpOf(2, 1, 8, 1, rgb, {}, {2, 1, 0, 0}), false},
      {"RLE8 cut inside absolute pixels", BmpOf(4, 1, 8, 1, rgb, {}, {0, 4, 1, 1}), false},
      {"RLE8 jump cut short", BmpOf(4, 1, 8, 1, rgb, {}, {0, 2, 1}), false},
      {"RLE8 index outside the palette", BmpOf(2, 1, 8, 1, rgb, {}, {1, 7, 0, 1}), false},
      {"RLE4 index outside the palette", BmpOf(2, 1, 4, 2, rgb, {}, {2, 0x19, 0, 1}), false},
      {"RLE stored top-down", topDown, false},
      {"RLE8 code on a 24-bit image", BmpOf(1, 1, 24, 1, {}, {}, {0, 1}), false},
      {"mask with a gap", BmpOf(1, 1, 16, 3, {}, {0xF00F, 0x07E0, 0x001F}, {0, 0, 0, 0}), false},
      {"16-bit mask wider than the pixel", BmpOf(1, 1, 16, 3, {}, {0x1F0000, 0x07E0, 0x001F}, {0, 0, 0, 0}), false},
      {"masks past the end", BmpOf(1, 1, 16, 3, {}, {}, {}), false},
      {"OS/2 core header", core, true},
      {"PNG inside", BmpOf(1, 1, 0, 5, {}, {}, {1, 2, 3, 4}), true},
      {"JPEG inside", BmpOf(1, 1, 0, 4, {}, {}, {1, 2, 3, 4}), true},
  };
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.what);
    skin::SkinImage image;
    std::string error;
    bool otherForm = !p.otherForm;
    EXPECT_FALSE(skin::DecodeSkinBitmap(p.bmp.data(), p.bmp.size(), image, error, &otherForm));
    EXPECT_EQ(p.otherForm, otherForm);
    EXPECT_TRUE(image.pixels.empty());
  }
}

TEST(SkinBitmap, EveryHeaderFieldAndThePixelsAreChecked) {
  struct Field {
    const char* what;
    std::size_t at;  // from the end when `fromEnd`
    std::uint32_t value;
    int width;  // bytes written; 0: cut the image to end before `at`
    bool fromEnd = false;
  };
  const Field cases[] = {
      {"mark", 0, 'X', 1},
      {"info header size 12", 14, 12, 4},
      {"info header size past the end", 14, 124, 4},
      {"width 0", 18, 0, 4},
      {"width negative", 18, 0xFFFFFFFFu, 4},
      {"width too large", 18, 5000, 4},
      {"height 0", 22, 0, 4},
      {"height too large", 22, 0x80000000u, 4},
      {"planes 2", 26, 2, 2},
      {"2 bits per pixel", 28, 2, 2},
      {"4-bit run-length code on an 8-bit image", 30, 2, 4},
      {"palette larger than 256", 46, 300, 4},
      {"palette past the pixels", 46, 200, 4},
      {"pixel offset past the end", 10, 0x7FFFFFF0u, 4},
      {"pixel offset inside the headers", 10, 20, 4},
      {"a pixel index the three-colour palette lacks", 8, 7, 1, true},
      {"pixels cut one byte short", 1, 0, 0, true},
  };
  const Bytes good = Bmp(3, 2, 8, {0x000000, 0xFF0000, 0x00FF00});
  skin::SkinImage image;
  std::string error;
  ASSERT_TRUE(skin::DecodeSkinBitmap(good.data(), good.size(), image, error)) << error;
  for (const Field& f : cases) {
    SCOPED_TRACE(f.what);
    Bytes bad = good;
    const std::size_t at = f.fromEnd ? bad.size() - f.at : f.at;
    if (f.width == 0) bad.resize(at);
    for (int i = 0; i < f.width; ++i) bad[at + i] = static_cast<std::uint8_t>(f.value >> (8 * i));
    EXPECT_FALSE(skin::DecodeSkinBitmap(bad.data(), bad.size(), image, error));
  }
}

TEST(SkinBitmap, StripCellsAreCutWithTheRemainderBeforeTheLast) {
  skin::SkinImage strip;
  strip.width = 7;
  strip.height = 1;
  for (std::uint32_t x = 0; x < 7; ++x) strip.pixels.push_back(x);
  skin::SkinImage cell;
  ASSERT_TRUE(skin::CutSkinImagePart(strip, cell, 3, 2));
  EXPECT_EQ((std::vector<std::uint32_t>{2, 3}), cell.pixels);
  ASSERT_TRUE(skin::CutSkinImagePart(strip, cell, 3, 3));
  EXPECT_EQ((std::vector<std::uint32_t>{5, 6}), cell.pixels);
  EXPECT_FALSE(skin::CutSkinImagePart(strip, cell, 3, 4));
  EXPECT_FALSE(skin::CutSkinImagePart(strip, cell, 0, 1));
}

TEST(SkinItemKeys, KindsStartWhereTheFileThemeIndexExpects) {
  EXPECT_STREQ("SKIN2_TRANSCOLOR", skin::SkinItemKeys[skin::kSkinColorKeys]);
  EXPECT_STREQ("SKIN2_TITLEBAR1", skin::SkinItemKeys[skin::kSkinBitmapKeys]);
  EXPECT_STREQ("SKIN2_BUTTON", skin::SkinItemKeys[skin::kSkinBitmapKeys + 15]);
  EXPECT_STREQ("SKIN2_TITLEBARICONPOSX", skin::SkinItemKeys[skin::kSkinIntegerKeys]);
  EXPECT_STREQ("SKIN2_TITLEFIVESECT", skin::SkinItemKeys[skin::kSkinFlagKeys]);
  EXPECT_STREQ("SKIN2_TABCONTROLTRANS", skin::SkinItemKeys[skin::kSkinItemKeyCount - 1]);
}

}  // namespace
