// The record chain of a skin's data entry and the bitmaps it holds.
#include <gtest/gtest.h>

#include <cstring>

#include "SkinTestData.h"
#include "skin/file/SkinRecords.h"

using skintest::Bytes;
using skintest::PutU32;

namespace {

void AddU32(Bytes& b, std::uint32_t v) {
  b.resize(b.size() + 4);
  PutU32(b, b.size() - 4, v);
}

// A .bmp image: `bits` 8 (with palette) or 24, rows given top first.
Bytes Bmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette = {}) {
  const std::uint32_t stride = ((width * bits + 31) / 32) * 4;
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
  Bytes b = {'B', 'M'};
  AddU32(b, offset + stride * height);
  AddU32(b, 0);
  AddU32(b, offset);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) AddU32(b, v);
  b.push_back(1), b.push_back(0), b.push_back(static_cast<std::uint8_t>(bits)), b.push_back(0);
  for (std::uint32_t v : {0u, stride * height, 2835u, 2835u, static_cast<std::uint32_t>(palette.size()), 0u})
    AddU32(b, v);
  for (std::uint32_t c : palette) AddU32(b, c);
  for (std::uint32_t i = 0; i < stride * static_cast<std::uint32_t>(height); ++i)
    b.push_back(static_cast<std::uint8_t>(bits == 8 ? i % palette.size() : i));
  return b;
}

struct Record {
  std::string name;
  std::uint8_t type;
  Bytes data;
};

// SKINDATA.SK2 with the records in a chain and the chain-ending record last.
Bytes Sk2(const std::vector<Record>& records) {
  Bytes b(24, 0);
  PutU32(b, 12, 24);
  PutU32(b, 20, 24);
  const std::size_t count = records.size() + 1;
  std::size_t dataAt = 24 + 77 * count;
  b.resize(dataAt, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const Record r = i < records.size() ? records[i] : Record{"END", 9, {}};
    const std::size_t at = 24 + 77 * i;
    std::memcpy(&b[at], r.name.data(), std::min<std::size_t>(r.name.size(), 64));
    b[at + 64] = r.type;
    PutU32(b, at + 65, static_cast<std::uint32_t>(dataAt));
    PutU32(b, at + 69, static_cast<std::uint32_t>(r.data.size()));
    PutU32(b, at + 73, i + 1 < count ? static_cast<std::uint32_t>(at + 77) : 0);
    b.insert(b.end(), r.data.begin(), r.data.end());
    dataAt += r.data.size();
  }
  return b;
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

TEST(SkinRecords, ManyRecordsSharingOneLargePictureAreRefused) {
  std::vector<Record> records(8, Record{"SKIN2_BUTTON", 0, {}});
  records[0].data = Bmp(2048, 2048, 8, {0, 1});
  Bytes data = Sk2(records);
  const std::uint32_t shared = static_cast<std::uint32_t>(24 + 77 * 9);
  for (std::size_t i = 1; i < records.size(); ++i) {
    PutU32(data, 24 + 77 * i + 65, shared);
    PutU32(data, 24 + 77 * i + 69, static_cast<std::uint32_t>(records[0].data.size()));
  }
  skin::SkinData items;
  std::string error;
  EXPECT_FALSE(Parse(data, items, &error));
  EXPECT_EQ("skin items too large in total", error);
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
      {"16 bits per pixel", 28, 16, 2},
      {"run-length compressed", 30, 1, 4},
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
