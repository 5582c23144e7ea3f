// The built-in theme table through its look-ups, and the pictures it names.
#include <gtest/gtest.h>

#include <set>

#include "skin/draw/Strips.h"
#include "skin/theme/BuiltinTheme.h"

using namespace skin;

namespace {

// Colours of the cells the test strips are drawn with (make-cell-strip.py).
const COLORREF kCell[] = {RGB(200, 30, 30), RGB(30, 160, 40), RGB(40, 60, 210), RGB(230, 200, 20),
                          RGB(20, 190, 200), RGB(120, 60, 20)};

enum class Getter { Integer, Colour, Bool };

struct LookupCase {
  const char* what;
  Getter getter;
  int style, item;
  long long expected;
};

TEST(BuiltinTheme, LookupsGiveTheEntryOrTheMissingValue) {
  const LookupCase cases[] = {
      {"colour item as integer", Getter::Integer, DeepBlue, 15, -1},
      {"integer item as colour", Getter::Colour, WinXP, 7, 0},
      {"file-theme style", Getter::Integer, FromThemeFile, 7, -1},
      {"round corner", Getter::Integer, WinXP, 14, 13},
      {"negative offset", Getter::Integer, BlueGlass, 8, -3},
      {"minimum width", Getter::Integer, BlueGlass, 13, 270},
      {"frame colour", Getter::Colour, WinXP, 16, 0xC82C00},
      {"menu selection", Getter::Colour, Protein, 19, 0xC4302D},
      {"last item", Getter::Colour, Protein, 48, 0xFBFBFB},
      {"transparent button", Getter::Bool, MacOS, 2, 1},
      {"opaque button", Getter::Bool, WinXP, 2, 0},
      {"flag item as integer", Getter::Integer, Protein, 6, -1},
      {"bitmap item as colour", Getter::Colour, MacOS, 1, 0},
      {"style taken modulo 128", Getter::Integer, 128 + WinXP, 14, 13},
      {"style beyond the five", Getter::Integer, 6, 7, -1},
      {"style beyond the five, colour", Getter::Colour, 6, 15, 0},
      {"item 0", Getter::Integer, WinXP, 0, -1},
      {"item 49", Getter::Colour, WinXP, 49, 0},
      {"negative item", Getter::Bool, MacOS, -1, 0},
  };
  for (const LookupCase& c : cases) {
    long long got = c.getter == Getter::Integer ? GetBuiltinThemeInteger(c.style, c.item)
                    : c.getter == Getter::Colour ? static_cast<long long>(GetBuiltinThemeColor(c.style, c.item))
                                                 : GetBuiltinThemeBool(c.style, c.item);
    EXPECT_EQ(c.expected, got) << c.what;
  }
  std::uint8_t kind = 9;
  EXPECT_EQ(-1, LookupBuiltinThemeItem(DeepBlue, 0, kind));
  EXPECT_EQ(tkInteger, kind);
  EXPECT_EQ(0xE8E8E8, LookupBuiltinThemeItem(DeepBlue, 15, kind));
  EXPECT_EQ(tkColour, kind);
}

TEST(BuiltinTheme, NamesTheBitmapsOfEachStyle) {
  struct Case {
    int style, item;
    const wchar_t* name;
  };
  const Case cases[] = {
      {MacOS, 1, L"MACOS_BUTTON"},
      {WinXP, 10, L"WINXP_TITLE_LEFT"},
      {BlueGlass, 41, L"BLUEGLASS_SIDECHENNEL_HANDLE"},
      {WinXP, 38, L"WINXP_SCROLLBUTTON"},
      {DeepBlue, 38, L"MORE_SCROLLBUTTON"},
      {BlueGlass, 38, L"MORE_SCROLLBUTTON"},
      {Protein, 43, L""},
      {MacOS, 2, L""},
      {FromThemeFile, 1, L""},
      {WinXP, 49, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.name, BuiltinThemeBitmapName(c.style, c.item)) << c.style << "/" << c.item;

  // The program's resources hold 19 pictures for MacOS and WinXP, 18 for the
  // others and one shared; each named picture has a size.
  std::set<std::wstring> all;
  for (int style = MacOS; style <= BlueGlass; ++style) {
    std::set<std::wstring> own;
    for (int item = 1; item <= kBuiltinThemeItemCount; ++item) {
      std::wstring name = BuiltinThemeBitmapName(style, item);
      if (name.empty()) continue;
      all.insert(name);
      if (name != L"MORE_SCROLLBUTTON") own.insert(name);
      SIZE size = BuiltinThemePictureSize(style, item);
      EXPECT_TRUE(size.cx > 0 && size.cy > 0) << style << "/" << item;
    }
    EXPECT_EQ(style <= WinXP ? 19u : 18u, own.size()) << style;
  }
  EXPECT_EQ(19u * 2 + 18u * 3 + 1, all.size());
}

TEST(BuiltinTheme, LoadsPicturesWholeOrByCell) {
  const SIZE size = BuiltinThemePictureSize(WinXP, 32);
  ASSERT_EQ(96, size.cx);
  ASSERT_EQ(17, size.cy);
  Bitmap whole;
  ASSERT_TRUE(GetBuiltinThemeBitmap(WinXP, 32, &whole, 0, 0));
  EXPECT_EQ(size.cx, whole.Width());
  EXPECT_EQ(size.cy, whole.Height());

  struct Case {
    int count, index;
    int width;
    COLORREF colour;
  };
  const Case cases[] = {{6, 4, 16, kCell[3]}, {6, 1, 16, kCell[0]}, {6, 6, 16, kCell[5]}, {6, 2, 16, kCell[1]}};
  for (const Case& c : cases) {
    Bitmap cell;
    ASSERT_TRUE(GetBuiltinThemeBitmap(WinXP, 32, &cell, c.count, c.index)) << c.count << "/" << c.index;
    EXPECT_EQ(c.width, cell.Width());
    EXPECT_EQ(17, cell.Height());
    EXPECT_EQ(c.colour, cell.Pixel(0, 0));
    EXPECT_EQ(c.colour, cell.Pixel(c.width - 1, 16));
  }

  const SIZE button = BuiltinThemePictureSize(WinXP, 1);
  Bitmap face;
  ASSERT_TRUE(LoadBuiltinThemeBitmap(WinXP, 1, &face));
  EXPECT_EQ(button.cx, face.Width());
  EXPECT_EQ(button.cy, face.Height());
}

TEST(BuiltinTheme, LeavesTheBitmapAloneWhenThereIsNothingToLoad) {
  Bitmap b(3, 3);
  b.Fill(RGB(1, 2, 3));
  EXPECT_FALSE(LoadBuiltinThemeBitmap(WinXP, 43, &b));   // no picture
  EXPECT_FALSE(LoadBuiltinThemeBitmap(WinXP, 15, &b));   // a colour item
  EXPECT_FALSE(LoadBuiltinThemeBitmap(FromThemeFile, 1, &b));
  EXPECT_FALSE(LoadBuiltinThemeBitmap(MacOS, 32, &b));   // not among the test program's resources
  EXPECT_FALSE(GetBuiltinThemeBitmap(MacOS, 32, &b, 6, 4));
  EXPECT_EQ(3, b.Width());
  EXPECT_EQ(RGB(1, 2, 3), b.Pixel(2, 2));
  EXPECT_FALSE(LoadBuiltinThemeBitmap(WinXP, 32, nullptr));
  EXPECT_FALSE(GetBuiltinThemeBitmap(WinXP, 32, nullptr, 6, 4));
}

}  // namespace
