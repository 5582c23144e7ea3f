// The window region scanned from a skin file's title and bottom pictures.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "skin/draw/Bitmap.h"
#include "skin/form/FileLook.h"

namespace {

constexpr COLORREF kClear = RGB(255, 0, 255);
constexpr COLORREF kSolid = RGB(10, 80, 160);

// A picture with its two top corner pixels of every row in `clearRows` clear.
skin::Bitmap Picture(int w, int h, std::initializer_list<int> clearRows) {
  skin::Bitmap b(w, h);
  b.Fill(kSolid);
  for (int y : clearRows) {
    b.SetPixel(0, y, kClear);
    b.SetPixel(w - 1, y, kClear);
  }
  return b;
}

TEST(SkinRegion, ScannedRowsKeepOnlyTheirSolidRuns) {
  skin::Bitmap top = Picture(10, 4, {0, 1, 2, 3});
  skin::Bitmap bottom = Picture(10, 3, {0, 1, 2});
  skin::Bitmap clearLeft(6, 1);  // a solid run reaching the last column
  clearLeft.Fill(kSolid);
  clearLeft.SetPixel(0, 0, kClear);
  struct Point {
    int x, y;
    bool inside;
  };
  struct Case {
    const char* name;
    const skin::Bitmap* top;
    const skin::Bitmap* bottom;
    int width, height;
    int topFirst, topLast, bottomFirst, bottomLast;
    bool useTop, useBottom;
    std::vector<Point> points;
  } cases[] = {
      {"top rows 0-1 scanned", &top, &bottom, 10, 20, 0, 1, 0, 0, true, false,
       {{0, 0, false}, {9, 1, false}, {1, 0, true}, {8, 1, true}, {0, 2, true}, {9, 3, true}, {0, 19, true}}},
      {"first -1 at or past last scans the whole picture", &top, &bottom, 10, 20, -1, -1, 0, 0, true, false,
       {{0, 0, false}, {0, 3, false}, {9, 3, false}, {5, 3, true}, {0, 4, true}}},
      {"rows before the first are whole", &top, &bottom, 10, 20, 2, 3, 0, 0, true, false,
       {{0, 0, true}, {9, 1, true}, {0, 2, false}, {9, 3, false}}},
      {"bottom row 2 scanned below whole rows", &top, &bottom, 10, 20, 0, 0, 2, 2, false, true,
       {{0, 0, true}, {0, 17, true}, {9, 18, true}, {0, 19, false}, {9, 19, false}, {5, 19, true}}},
      {"neither picture: a plain rectangle", &top, &bottom, 10, 20, 0, 1, 0, 1, false, false,
       {{0, 0, true}, {9, 19, true}, {10, 10, false}, {5, 20, false}}},
      {"a solid run reaching the last column keeps it", &clearLeft, nullptr, 6, 5, 0, 0, 0, 0, true, false,
       {{0, 0, false}, {5, 0, true}, {6, 0, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HRGN rgn = skin::BuildSkinWindowRegion(c.top, c.bottom, c.width, c.height, kClear, c.bottomLast, c.bottomFirst,
                                           c.topLast, c.topFirst, c.useBottom, c.useTop);
    for (const Point& p : c.points)
      EXPECT_EQ(::PtInRegion(rgn, p.x, p.y) != FALSE, p.inside) << "at " << p.x << "," << p.y;
    ::DeleteObject(rgn);
  }
}

}  // namespace
