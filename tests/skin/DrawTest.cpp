// Drawing routines on off-screen bitmaps, checked pixel by pixel.
#include <gtest/gtest.h>

#include <vector>

#include "SkinTestSupport.h"
#include "skin/draw/Fills.h"
#include "skin/draw/NinePart.h"
#include "skin/draw/PixelOps.h"
#include "skin/draw/Strips.h"

using skin::Bitmap;
using skin_test::Canvas;
using skin_test::Coded;
using skin_test::CodedBitmap;
using skin_test::kBackground;

namespace {

struct CutCase {
  int width, count, index;
  int firstColumn;  // -1: the cut is refused
  int cellWidth;
};

TEST(CutBitmapPart, TakesTheCellAndTheLastAgainstTheRightEdge) {
  const CutCase cases[] = {
      {74, 3, 1, 0, 24},  {74, 3, 2, 24, 24}, {74, 3, 3, 50, 24}, {96, 6, 4, 48, 16}, {10, 1, 1, 0, 10},
      {74, 0, 1, -1, 0},  {74, 3, 0, -1, 0},  {74, 3, 4, -1, 0},  {74, -2, 1, -1, 0}, {2, 3, 1, -1, 0},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " in " << c.count << ", cell " << c.index);
    Bitmap strip = CodedBitmap(c.width, 5);
    Bitmap cell(3, 3);
    bool ok = skin::CutBitmapPart(strip, cell, c.count, c.index);
    if (c.firstColumn < 0) {
      EXPECT_FALSE(ok);
      EXPECT_TRUE(cell.Empty());
      continue;
    }
    ASSERT_TRUE(ok);
    ASSERT_EQ(c.cellWidth, cell.Width());
    ASSERT_EQ(5, cell.Height());
    for (int x = 0; x < cell.Width(); ++x)
      for (int y = 0; y < 5; ++y) ASSERT_EQ(Coded(c.firstColumn + x, y), cell.Pixel(x, y)) << x << "," << y;
  }
}

TEST(CutBitmapPart, CutsAStripIntoItself) {
  Bitmap strip = CodedBitmap(74, 2);
  ASSERT_TRUE(skin::CutBitmapPart(strip, strip, 3, 3));
  EXPECT_EQ(24, strip.Width());
  EXPECT_EQ(Coded(50, 1), strip.Pixel(0, 1));
}

// Where the pixel (x, y) of a 3 x 2 picture lands after a turn, by turn.
struct TurnCase {
  const char* name;
  void (*turn)(Bitmap&);
  int width, height;
  POINT (*to)(int x, int y);
};

TEST(Turns, MovePixelsAsDescribedAndRoundTrip) {
  const TurnCase cases[] = {
      {"anticlockwise", skin::RotateBitmap, 2, 3, [](int x, int y) { return POINT{y, 3 - 1 - x}; }},
      {"clockwise", skin::RotateBitmapBack, 2, 3, [](int x, int y) { return POINT{2 - 1 - y, x}; }},
      {"half", skin::RotateBitmapHalfTurn, 3, 2, [](int x, int y) { return POINT{3 - 1 - x, 2 - 1 - y}; }},
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap b = CodedBitmap(3, 2);
    c.turn(b);
    ASSERT_EQ(c.width, b.Width());
    ASSERT_EQ(c.height, b.Height());
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        POINT p = c.to(x, y);
        EXPECT_EQ(Coded(x, y), b.Pixel(p.x, p.y)) << x << "," << y;
      }
  }
  Bitmap b = CodedBitmap(5, 3);
  skin::RotateBitmap(b);
  skin::RotateBitmapBack(b);
  skin::RotateBitmapHalfTurn(b);
  skin::RotateBitmapHalfTurn(b);
  for (int i = 0; i < 4; ++i) skin::RotateBitmap(b);
  ASSERT_EQ(5, b.Width());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Coded(x, y), b.Pixel(x, y));
}

TEST(Turns, TwoPixelsEndUpOneAboveTheOther) {
  const COLORREF A = RGB(10, 0, 0), B = RGB(0, 10, 0);
  Bitmap b(2, 1);
  b.SetPixel(0, 0, A);
  b.SetPixel(1, 0, B);
  skin::RotateBitmap(b);
  EXPECT_EQ(B, b.Pixel(0, 0));
  EXPECT_EQ(A, b.Pixel(0, 1));
  Bitmap c(2, 1);
  c.SetPixel(0, 0, A);
  c.SetPixel(1, 0, B);
  skin::RotateBitmapBack(c);
  EXPECT_EQ(A, c.Pixel(0, 0));
  EXPECT_EQ(B, c.Pixel(0, 1));
}

TEST(ReplaceBitmapColor, ChangesOnlyThatColour) {
  Bitmap b = CodedBitmap(4, 4);
  b.SetPixel(1, 2, RGB(9, 9, 9));
  b.SetPixel(3, 0, RGB(9, 9, 9));
  skin::ReplaceBitmapColor(b, RGB(9, 9, 9), RGB(200, 0, 0));
  EXPECT_EQ(RGB(200, 0, 0), b.Pixel(1, 2));
  EXPECT_EQ(RGB(200, 0, 0), b.Pixel(3, 0));
  EXPECT_EQ(Coded(0, 0), b.Pixel(0, 0));
}

// Gradients: the colour of each line, first line From and last line To.
struct GradientCase {
  const char* name;
  int lines;
  COLORREF from, to;
  std::vector<COLORREF> expected;  // vertical: rows; horizontal: columns
  bool vertical;
};

TEST(Gradients, GiveExactLines) {
  const COLORREF black = RGB(0, 0, 0), to = RGB(100, 200, 50);
  const GradientCase cases[] = {
      {"vertical", 5, black, to, {black, black, RGB(20, 40, 10), RGB(40, 80, 20), to}, true},
      {"horizontal", 5, black, to, {black, RGB(20, 40, 10), RGB(40, 80, 20), RGB(60, 120, 30), to}, false},
      {"vertical falling", 4, RGB(200, 0, 0), RGB(0, 0, 0), {RGB(200, 0, 0), RGB(200, 0, 0), RGB(150, 0, 0), 0}, true},
      {"horizontal falling", 3, RGB(200, 0, 0), RGB(0, 0, 0), {RGB(200, 0, 0), RGB(134, 0, 0), 0}, false},
      {"one line high", 1, black, to, {to}, true},
      {"one column wide", 1, black, to, {to}, false},
  };
  for (const GradientCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap b = Canvas(12, 12);
    RECT r = c.vertical ? RECT{2, 3, 8, 3 + c.lines} : RECT{3, 2, 3 + c.lines, 8};
    if (c.vertical)
      skin::FillGradientVertical(b.Canvas(), r, c.from, c.to);
    else
      skin::FillGradientHorizontal(b.Canvas(), r, c.from, c.to);
    for (int i = 0; i < c.lines; ++i) {
      int x = c.vertical ? 2 : 3 + i, y = c.vertical ? 3 + i : 2;
      EXPECT_EQ(c.expected[i], b.Pixel(x, y)) << "line " << i;
      EXPECT_EQ(c.expected[i], b.Pixel(c.vertical ? 7 : x, c.vertical ? y : 7)) << "line end " << i;
    }
    EXPECT_EQ(kBackground, b.Pixel(c.vertical ? 8 : 3 + c.lines, c.vertical ? 3 : 2)) << "beyond the rectangle";
  }
}

TEST(Gradients, EmptyRectangleDrawsNothing) {
  Bitmap b = Canvas(4, 4);
  skin::FillGradientVertical(b.Canvas(), RECT{0, 2, 4, 2}, 0, 0xFFFFFF);
  skin::FillGradientHorizontal(b.Canvas(), RECT{2, 0, 2, 4}, 0, 0xFFFFFF);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(kBackground, b.Pixel(x, y));
}

TEST(ColourParts, SplitAndJoin) {
  BYTE r = 0, g = 0, b = 0;
  skin::ColorToRGBParts(RGB(1, 2, 3), r, g, b);
  EXPECT_EQ(1, r);
  EXPECT_EQ(2, g);
  EXPECT_EQ(3, b);
  EXPECT_EQ(RGB(1, 2, 3), skin::RGBPartsToColor(1, 2, 3));
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), skin::ColorToRGB(0x80000000u | COLOR_BTNFACE));
}

// A three-cell strip of 4-pixel cells: red, green and blue, with a magenta
// hole in the middle of the green one.
Bitmap ThreeCells() {
  Bitmap b(12, 2);
  b.FillRect(RECT{0, 0, 4, 2}, RGB(255, 0, 0));
  b.FillRect(RECT{4, 0, 8, 2}, RGB(0, 255, 0));
  b.FillRect(RECT{8, 0, 12, 2}, RGB(0, 0, 255));
  b.SetPixel(5, 0, skin::kMaskColour);
  return b;
}

TEST(ThreePart, EndsUnscaledMiddleStretchedOverTheFill) {
  Bitmap strip = ThreeCells();
  Bitmap b = Canvas(40, 2);
  const COLORREF fill = RGB(1, 2, 3);
  skin::DrawThreePartBitmap(strip, b.Canvas(), RECT{10, 0, 30, 2}, false, fill, true);
  EXPECT_EQ(kBackground, b.Pixel(9, 0));
  for (int x = 10; x < 14; ++x) EXPECT_EQ(RGB(255, 0, 0), b.Pixel(x, 1)) << x;
  for (int x = 14; x < 26; ++x) EXPECT_EQ(RGB(0, 255, 0), b.Pixel(x, 1)) << x;
  for (int x = 26; x < 30; ++x) EXPECT_EQ(RGB(0, 0, 255), b.Pixel(x, 1)) << x;
  EXPECT_EQ(kBackground, b.Pixel(30, 0));
  // The hole (one of four columns, stretched to three of twelve) shows the fill.
  EXPECT_EQ(fill, b.Pixel(17, 0));
  EXPECT_EQ(RGB(0, 255, 0), b.Pixel(17, 1));
}

TEST(ThreePart, NarrowRectangleShowsTheLeftEndCut) {
  Bitmap strip = ThreeCells();
  Bitmap b = Canvas(10, 2);
  skin::DrawThreePartBitmap(strip, b.Canvas(), RECT{2, 0, 5, 2}, false, 0, true);
  for (int x = 2; x < 5; ++x) EXPECT_EQ(RGB(255, 0, 0), b.Pixel(x, 0)) << x;
  EXPECT_EQ(kBackground, b.Pixel(5, 0));
}

TEST(ThreePart, TransparentVariantMasksTheEnds) {
  Bitmap strip = ThreeCells();
  strip.SetPixel(0, 0, RGB(9, 9, 9));
  Bitmap b = Canvas(20, 4);
  skin::DrawThreePartBitmapTransparent(strip, b.Canvas(), RECT{0, 0, 20, 4}, true, RGB(9, 9, 9));
  EXPECT_EQ(kBackground, b.Pixel(0, 0));  // masked
  EXPECT_EQ(RGB(255, 0, 0), b.Pixel(1, 0));
  EXPECT_EQ(RGB(0, 0, 255), b.Pixel(19, 1));
  EXPECT_EQ(RGB(0, 255, 0), b.Pixel(10, 1));
  EXPECT_EQ(kBackground, b.Pixel(10, 2));  // the middle keeps the strip's height
}

// A 9 x 9 coded picture into a 20 x 20 rectangle: hw = hh = 4, dw = dh = 10.
TEST(NinePart, PlacesCornersUnscaledAndEdgesBetweenThem) {
  Bitmap picture = CodedBitmap(9, 9);
  Bitmap b = Canvas(20, 20);
  ASSERT_TRUE(skin::DrawNinePartBitmap(picture, b.Canvas(), RECT{0, 0, 20, 20}, false));
  struct Probe {
    int x, y;   // on the canvas
    int sx, sy; // in the picture
  };
  const Probe probes[] = {
      {0, 0, 0, 0},   {3, 3, 3, 3},                    // top-left corner, 4 x 4
      {0, 17, 0, 6},  {2, 19, 2, 8},                   // bottom-left corner, 4 x 3
      {17, 0, 6, 0},  {19, 3, 8, 3},                   // top-right corner, 3 x 4
      {17, 17, 6, 6}, {19, 19, 8, 8},                  // bottom-right corner, 3 x 3
      {2, 4, 2, 4},   {2, 15, 2, 4},                   // left edge: row 4 stretched down
      {18, 4, 7, 5},  {18, 16, 7, 5},                  // right edge: row 5 stretched down
      {4, 4, 4, 4},   {16, 15, 5, 4},                  // centre
      {4, 2, 4, 2},   {16, 2, 5, 2},                   // top edge
      {3, 16, 4, 5},  {16, 19, 5, 8},                  // bottom edge, one pixel over its neighbours
  };
  for (const Probe& p : probes) EXPECT_EQ(Coded(p.sx, p.sy), b.Pixel(p.x, p.y)) << p.x << "," << p.y;
}

TEST(NinePart, WithoutFourCornersDrawsNothing) {
  struct Case {
    int bw, bh, rw, rh;
  };
  const Case cases[] = {{3, 9, 20, 20}, {9, 3, 20, 20}, {9, 9, 3, 20}, {9, 9, 20, 3}, {0, 0, 20, 20}, {9, 9, 0, 0}};
  for (const Case& c : cases) {
    Bitmap picture = CodedBitmap(c.bw, c.bh);
    Bitmap b = Canvas(20, 20);
    EXPECT_FALSE(skin::DrawNinePartBitmap(picture, b.Canvas(), RECT{0, 0, c.rw, c.rh}, true));
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) ASSERT_EQ(kBackground, b.Pixel(x, y)) << c.bw << "x" << c.bh;
  }
}

TEST(NinePart, TransparentCornersLeaveMagentaOut) {
  Bitmap picture = CodedBitmap(9, 9);
  picture.SetPixel(0, 0, skin::kMaskColour);
  Bitmap b = Canvas(20, 20);
  skin::DrawNinePartBitmap(picture, b.Canvas(), RECT{0, 0, 20, 20}, true);
  EXPECT_EQ(kBackground, b.Pixel(0, 0));
  EXPECT_EQ(Coded(1, 0), b.Pixel(1, 0));
}

TEST(Tiling, RepeatsFromTheOriginOverTheSize) {
  Bitmap tile = CodedBitmap(2, 2);
  Bitmap b = Canvas(10, 10);
  skin::TileGraphic(b.Canvas(), tile, RECT{100, 100, 105, 103});
  EXPECT_EQ(Coded(0, 0), b.Pixel(0, 0));
  EXPECT_EQ(Coded(1, 1), b.Pixel(7, 5));
  EXPECT_EQ(Coded(0, 0), b.Pixel(6, 4));
  EXPECT_EQ(kBackground, b.Pixel(8, 0));
  EXPECT_EQ(kBackground, b.Pixel(0, 6));
  Bitmap empty;
  skin::TileGraphic(b.Canvas(), empty, RECT{0, 0, 10, 10});  // returns at once
  EXPECT_EQ(kBackground, b.Pixel(8, 0));
}

TEST(Stretching, FillsTheRectangle) {
  Bitmap dot(1, 1);
  dot.SetPixel(0, 0, RGB(200, 10, 10));
  Bitmap b = Canvas(6, 6);
  EXPECT_TRUE(skin::StretchDrawBitmap(dot, b.Canvas(), RECT{1, 1, 5, 5}));
  EXPECT_EQ(RGB(200, 10, 10), b.Pixel(1, 1));
  EXPECT_EQ(RGB(200, 10, 10), b.Pixel(4, 4));
  EXPECT_EQ(kBackground, b.Pixel(5, 5));
}

}  // namespace
