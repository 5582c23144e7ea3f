// The built-in theme pictures as the program carries them: every picture the
// theme table names loads at the table's size, and the state cells of each
// strip can be told apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "support/TestSupport.h"
#include "skin/theme/BuiltinTheme.h"

using namespace skin;

namespace {

const wchar_t* const kStyleNames[] = {L"", L"MacOS", L"WinXP", L"DeepBlue", L"Protein", L"BlueGlass"};

// Strips cut into cells by their controls, and how many cells each has.
struct StripCells {
  int item;
  int cells;
};
const StripCells kStrips[] = {{1, 3}, {3, 4}, {4, 4}, {5, 18}, {28, 3}, {32, 6}, {33, 3}, {34, 4}, {38, 4}, {39, 2}};

// The pictures the controls load by name, outside the table.
const wchar_t* const kOtherPictures[] = {L"MACOS_FORM_BACKGROUND", L"PROTEIN_FORM_BACKGROUND", L"MACOS_MENU_BAR",
                                         L"MACOS_MENU_SELECT",     L"MENU_CHECKED",            L"MACOS_COMBOBOX_BUTTON",
                                         L"WINXP_COMBOBOX_BUTTON"};

// Pixels whose colour differs by more than a faint shade, over the common area.
int VisiblyDifferentPixels(const Bitmap& a, const Bitmap& b) {
  int count = 0;
  for (int y = 0; y < std::min(a.Height(), b.Height()); ++y)
    for (int x = 0; x < std::min(a.Width(), b.Width()); ++x) {
      COLORREF p = a.Pixel(x, y), q = b.Pixel(x, y);
      int d = std::abs(GetRValue(p) - GetRValue(q)) + std::abs(GetGValue(p) - GetGValue(q)) +
              std::abs(GetBValue(p) - GetBValue(q));
      if (d > 24) ++count;
    }
  return count;
}

class ThemePictures : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = ::LoadLibraryExW(testing_support::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program_, nullptr) << "cannot open the program's resources";
  }
  void TearDown() override {
    if (program_ != nullptr) ::FreeLibrary(program_);
  }
  HMODULE program_ = nullptr;
};

TEST_F(ThemePictures, EveryTablePictureLoadsAtTheTableSize) {
  int loaded = 0;
  for (int style = 1; style <= 5; ++style)
    for (int item = 1; item <= kBuiltinThemeItemCount; ++item) {
      std::wstring name = BuiltinThemeBitmapName(style, item);
      if (name.empty()) continue;
      SCOPED_TRACE(testing::Message() << kStyleNames[style] << " item " << item);
      SIZE size = BuiltinThemePictureSize(style, item);
      Bitmap picture;
      ASSERT_TRUE(LoadBuiltinThemeBitmap(style, item, &picture, program_));
      EXPECT_EQ(picture.Width(), size.cx);
      EXPECT_EQ(picture.Height(), size.cy);
      ++loaded;
    }
  EXPECT_EQ(loaded, 19 + 19 + 18 * 3 + 3);  // the shared tab-strip picture counted for each of its styles
}

TEST_F(ThemePictures, EveryCellOfAStripDiffersFromTheOthers) {
  for (int style = 1; style <= 5; ++style)
    for (const StripCells& strip : kStrips) {
      Bitmap cells[18];
      for (int i = 0; i < strip.cells; ++i)
        ASSERT_TRUE(GetBuiltinThemeBitmap(style, strip.item, &cells[i], strip.cells, i + 1, program_));
      for (int i = 0; i < strip.cells; ++i)
        for (int j = i + 1; j < strip.cells; ++j)
          EXPECT_GE(VisiblyDifferentPixels(cells[i], cells[j]), 3)
              << kStyleNames[style] << " item " << strip.item << ": cells " << i + 1 << " and " << j + 1;
    }
}

// Mean brightness (R + G + B) of a band of a cell: from 15 % to 40 % along
// its gradient, 25 % to 75 % across, clear of the borders, rings and glyphs.
double BandBrightness(const Bitmap& cell, bool gradientAlongX) {
  double sum = 0;
  int count = 0;
  for (int y = 0; y < cell.Height(); ++y)
    for (int x = 0; x < cell.Width(); ++x) {
      double along = gradientAlongX ? double(x) / cell.Width() : double(y) / cell.Height();
      double across = gradientAlongX ? double(y) / cell.Height() : double(x) / cell.Width();
      if (along < 0.15 || along > 0.4 || across < 0.25 || across > 0.75) continue;
      COLORREF p = cell.Pixel(x, y);
      sum += GetRValue(p) + GetGValue(p) + GetBValue(p);
      ++count;
    }
  return count > 0 ? sum / count : 0;
}

// Each button strip holds normal, mouse-over and pressed cells in that
// order: the pressed face is the dark one, so a swap of the last two shows.
TEST_F(ThemePictures, ButtonCellsRunNormalHotPressed) {
  struct Strip {
    int item, cells;
    bool gradientAlongX;
  };
  const Strip strips[] = {{1, 3, false}, {5, 18, false}, {32, 6, true}};
  for (int style = 1; style <= 5; ++style)
    for (const Strip& strip : strips)
      for (int first = 1; first < strip.cells; first += 3) {
        SCOPED_TRACE(testing::Message() << kStyleNames[style] << " item " << strip.item << " cells from " << first);
        double band[3];
        for (int i = 0; i < 3; ++i) {
          Bitmap cell;
          ASSERT_TRUE(GetBuiltinThemeBitmap(style, strip.item, &cell, strip.cells, first + i, program_));
          band[i] = BandBrightness(cell, strip.gradientAlongX);
        }
        EXPECT_LT(band[2] + 20, band[0]) << "pressed darker than normal";
        EXPECT_LT(band[2] + 20, band[1]) << "pressed darker than mouse-over";
      }
}

// The progress bar stretches its picture over the done part: a picture that
// changed across its width would draw a full bar as partly empty.
TEST_F(ThemePictures, TheProgressPictureStretchesWithoutGaps) {
  constexpr int kProgressPicture = 24;
  for (int style = 1; style <= 5; ++style) {
    Bitmap picture;
    ASSERT_TRUE(GetBuiltinThemeBitmap(style, kProgressPicture, &picture, 0, 0, program_));
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 1; x < picture.Width(); ++x)
        ASSERT_EQ(picture.Pixel(0, y), picture.Pixel(x, y)) << kStyleNames[style] << " at " << x << "," << y;
  }
}

TEST_F(ThemePictures, ThePicturesNamedOutsideTheTableLoad) {
  for (const wchar_t* name : kOtherPictures) {
    Bitmap picture;
    EXPECT_TRUE(picture.LoadFromResource(program_, name)) << std::string(name, name + wcslen(name));
    EXPECT_FALSE(picture.Empty());
  }
}

}  // namespace
