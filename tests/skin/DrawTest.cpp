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

// Where the pixel (x, y) of a w x h picture lands after a turn, by turn.
struct TurnCase {
  const char* name;
  void (*turn)(Bitmap&);
  int width, height;  // of the picture turned
  POINT (*to)(int x, int y, int w, int h);
};

TEST(Turns, MovePixelsAsDescribedAndRoundTrip) {
  auto anticlockwise = [](int x, int y, int w, int) { return POINT{y, w - 1 - x}; };
  auto clockwise = [](int x, int y, int, int h) { return POINT{h - 1 - y, x}; };
  const TurnCase cases[] = {
      {"anticlockwise", skin::RotateBitmap, 3, 2, anticlockwise},
      {"clockwise", skin::RotateBitmapBack, 3, 2, clockwise},
      {"half", skin::RotateBitmapHalfTurn, 3, 2, [](int x, int y, int w, int h) { return POINT{w - 1 - x, h - 1 - y}; }},
      {"two pixels anticlockwise", skin::RotateBitmap, 2, 1, anticlockwise},
      {"two pixels clockwise", skin::RotateBitmapBack, 2, 1, clockwise},
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap b = CodedBitmap(c.width, c.height);
    c.turn(b);
    const bool quarter = c.turn != skin::RotateBitmapHalfTurn;
    ASSERT_EQ(quarter ? c.height : c.width, b.Width());
    ASSERT_EQ(quarter ? c.width : c.height, b.Height());
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        POINT p = c.to(x, y, c.width, c.height);
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

TEST(Gradients, GiveExactLinesAndDrawNothingOutside) {
  const COLORREF black = RGB(0, 0, 0), to = RGB(100, 200, 50);
  const GradientCase cases[] = {
      {"vertical", 5, black, to, {black, black, RGB(20, 40, 10), RGB(40, 80, 20), to}, true},
      {"horizontal", 5, black, to, {black, RGB(20, 40, 10), RGB(40, 80, 20), RGB(60, 120, 30), to}, false},
      {"vertical falling", 4, RGB(200, 0, 0), RGB(0, 0, 0), {RGB(200, 0, 0), RGB(200, 0, 0), RGB(150, 0, 0), 0}, true},
      {"horizontal falling", 3, RGB(200, 0, 0), RGB(0, 0, 0), {RGB(200, 0, 0), RGB(134, 0, 0), 0}, false},
      {"one line high", 1, black, to, {to}, true},
      {"one column wide", 1, black, to, {to}, false},
      {"empty vertical", 0, 0, 0xFFFFFF, {}, true},
      {"empty horizontal", 0, 0, 0xFFFFFF, {}, false},
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
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x)
        if (!::PtInRect(&r, POINT{x, y})) {
          ASSERT_EQ(kBackground, b.Pixel(x, y)) << "outside at " << x << "," << y;
        }
  }
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

// What a three-part drawing leaves in runs of pixels of one row.
struct PixelRun {
  int x0, x1, y;  // x0 <= x < x1
  COLORREF colour;
};

struct ThreePartCase {
  const char* name;
  int canvasWidth, canvasHeight;
  void (*draw)(Bitmap& strip, HDC dc);  // the strip is the three cells, free to change
  std::vector<PixelRun> runs;
};

TEST(ThreePart, EndsUnscaledMiddleStretchedAndMasked) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255), fill = RGB(1, 2, 3);
  const ThreePartCase cases[] = {
      {"over the fill", 40, 2,
       [](Bitmap& s, HDC dc) { skin::DrawThreePartBitmap(s, dc, RECT{10, 0, 30, 2}, false, RGB(1, 2, 3), true); },
       // The hole (one of four columns, stretched to three of twelve) shows the fill.
       {{9, 10, 0, kBackground}, {10, 14, 1, red}, {14, 26, 1, green}, {26, 30, 1, blue}, {30, 31, 0, kBackground},
        {17, 18, 0, fill}}},
      {"narrow rectangle shows the left end cut", 10, 2,
       [](Bitmap& s, HDC dc) { skin::DrawThreePartBitmap(s, dc, RECT{2, 0, 5, 2}, false, 0, true); },
       {{2, 5, 0, red}, {5, 6, 0, kBackground}}},
      {"transparent variant masks the ends", 20, 4,
       [](Bitmap& s, HDC dc) {
         s.SetPixel(0, 0, RGB(9, 9, 9));
         skin::DrawThreePartBitmapTransparent(s, dc, RECT{0, 0, 20, 4}, true, RGB(9, 9, 9));
       },
       // The middle keeps the strip's height.
       {{0, 1, 0, kBackground}, {1, 2, 0, red}, {19, 20, 1, blue}, {10, 11, 1, green}, {10, 11, 2, kBackground}}},
  };
  for (const ThreePartCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap b = Canvas(c.canvasWidth, c.canvasHeight);
    Bitmap strip = ThreeCells();
    c.draw(strip, b.Canvas());
    for (const PixelRun& run : c.runs)
      for (int x = run.x0; x < run.x1; ++x) EXPECT_EQ(run.colour, b.Pixel(x, run.y)) << x << "," << run.y;
  }
}

// A 9 x 9 coded picture into a 20 x 20 rectangle: hw = hh = 4, dw = dh = 10.
struct NineProbe {
  int x, y;    // on the canvas
  int sx, sy;  // in the picture; -1: the background shows
};

TEST(NinePart, PlacesCornersUnscaledAndEdgesBetweenThemAndMasksMagenta) {
  struct Case {
    const char* name;
    bool magentaCorner, transparent;
    std::vector<NineProbe> probes;
  };
  const Case cases[] = {
      {"opaque", false, false,
       {
           {0, 0, 0, 0},   {3, 3, 3, 3},    // top-left corner, 4 x 4
           {0, 17, 0, 6},  {2, 19, 2, 8},   // bottom-left corner, 4 x 3
           {17, 0, 6, 0},  {19, 3, 8, 3},   // top-right corner, 3 x 4
           {17, 17, 6, 6}, {19, 19, 8, 8},  // bottom-right corner, 3 x 3
           {2, 4, 2, 4},   {2, 15, 2, 4},   // left edge: row 4 stretched down
           {18, 4, 7, 5},  {18, 16, 7, 5},  // right edge: row 5 stretched down
           {4, 4, 4, 4},   {16, 15, 5, 4},  // centre
           {4, 2, 4, 2},   {16, 2, 5, 2},   // top edge
           {3, 16, 4, 5},  {16, 19, 5, 8},  // bottom edge, one pixel over its neighbours
       }},
      {"transparent corners leave magenta out", true, true, {{0, 0, -1, -1}, {1, 0, 1, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap picture = CodedBitmap(9, 9);
    if (c.magentaCorner) picture.SetPixel(0, 0, skin::kMaskColour);
    Bitmap b = Canvas(20, 20);
    ASSERT_TRUE(skin::DrawNinePartBitmap(picture, b.Canvas(), RECT{0, 0, 20, 20}, c.transparent));
    for (const NineProbe& p : c.probes)
      EXPECT_EQ(p.sx < 0 ? kBackground : Coded(p.sx, p.sy), b.Pixel(p.x, p.y)) << p.x << "," << p.y;
  }
}

TEST(NinePart, WithoutFourCornersDrawsNothing) {
  struct Case {
    int bw, bh, rw, rh;
  };
  const Case cases[] = {{3, 9, 20, 20}, {9, 3, 20, 20}, {9, 9, 3, 20}, {9, 9, 20, 3}, {0, 0, 20, 20}, {9, 9, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bw << "x" << c.bh << " into " << c.rw << "x" << c.rh);
    Bitmap picture = CodedBitmap(c.bw, c.bh);
    Bitmap b = Canvas(20, 20);
    EXPECT_FALSE(skin::DrawNinePartBitmap(picture, b.Canvas(), RECT{0, 0, c.rw, c.rh}, true));
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) ASSERT_EQ(kBackground, b.Pixel(x, y)) << x << "," << y;
  }
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
