// The picture cell each control draws for each of its states, from strips
// whose cells are solid colours, and the plain look without any picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ControlTestSupport.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"

using namespace skin;
using namespace controls_test;

namespace {

struct ButtonCase {
  const char* state;
  void (*enter)(TskButton&);
  int cell;
};

TEST(ButtonPicture, EachStateDrawsItsCellOfTheStrip) {
  HostForm form;
  const ButtonCase cases[] = {
      {"normal", [](TskButton&) {}, 1},
      {"mouse over", [](TskButton& b) { b.Send(WM_MOUSEMOVE, 0, At(5, 5)); }, 2},
      {"pressed", [](TskButton& b) { b.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5)); }, 3},
      {"disabled", [](TskButton& b) { b.Enable(false); }, 1},
  };
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.state);
    TskButton button;
    ASSERT_TRUE(button.Create(form.Handle(), L"", 10, 10));
    c.enter(button);
    Bitmap shot = Render(button.Handle());
    ASSERT_EQ(80, shot.Width());
    EXPECT_EQ(kCell[c.cell], shot.Pixel(40, 13));
    EXPECT_EQ(kCell[c.cell], shot.Pixel(4, 4));
  }
}

struct CheckCase {
  bool checked, enabled;
  int cell;
};

template <class Box>
void ExpectCheckCells(HWND parent, bool masked) {
  const CheckCase cases[] = {{true, true, 1}, {false, true, 2}, {true, false, 3}, {false, false, 4}};
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "checked " << c.checked << ", enabled " << c.enabled);
    Box box;
    ASSERT_TRUE(box.Create(parent, L"", 10, 10));
    box.SetChecked(c.checked);
    box.Enable(c.enabled);
    Bitmap shot = Render(box.Handle());
    const int top = (shot.Height() - 13) / 2;
    EXPECT_EQ(kCell[c.cell], shot.Pixel(1 + 6, top + 6));
    // A radio button is masked with its picture's corner colour, a check box is not.
    EXPECT_EQ(masked ? RealColor(box.GetColor()) : kCorner, shot.Pixel(1, top));
  }
}

TEST(CheckPicture, CheckBoxAndRadioButtonDrawTheCellOfEachState) {
  HostForm form;
  ExpectCheckCells<TskCheckBox>(form.Handle(), false);
  ExpectCheckCells<TskRadioButton>(form.Handle(), true);
}

// What a progress bar paints over a rectangle of its client area.
enum class BarPaint { Picture, Rest, Border };
struct BarArea {
  int left, top, right, bottom;
  BarPaint paint;
};

TEST(ProgressPicture, ThePictureCoversTheDonePartAndTheColourTheRest) {
  HostForm form;
  struct Case {
    const char* name;
    bool (*make)(TskProgressBar& bar, HWND parent);
    int width;
    std::vector<BarArea> areas;
  };
  const Case cases[] = {
      {"halfway", [](TskProgressBar& bar, HWND parent) {
         if (!bar.Create(parent, 0, 0)) return false;
         bar.SetShowCaption(false);
         return true;
       },
       150, {{1, 2, 74, 10, BarPaint::Picture}, {74, 2, 149, 10, BarPaint::Rest},
             {0, 5, 1, 6, BarPaint::Border}, {149, 5, 150, 6, BarPaint::Border}}},
      {"vertical, the part not yet done", [](TskProgressBar& bar, HWND parent) {
         if (!bar.Create(parent, 0, 0, 12, 100)) return false;
         bar.SetOrientation(skVertical);
         bar.SetPosition(20);
         return true;
       },
       12, {{5, 2, 6, 70, BarPaint::Rest}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TskProgressBar bar;
    ASSERT_TRUE(c.make(bar, form.Handle()));
    Bitmap shot = Render(bar.Handle());
    ASSERT_EQ(c.width, shot.Width());
    const COLORREF colour[] = {kCell[1], RealColor(bar.GetColor()), RealColor(bar.GetBorderColor())};
    for (const BarArea& a : c.areas)
      for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x)
          ASSERT_EQ(colour[static_cast<int>(a.paint)], shot.Pixel(x, y)) << x << "," << y;
  }
}

// Without theme pictures (none is compiled in for WinXP) every control draws
// a plain look of its own and nothing fails.
TEST(PlainLook, ControlsWithoutPicturesStillDraw) {
  HostForm form;
  TskButton button;
  ASSERT_TRUE(button.Create(form.Handle(), L"OK", 0, 0));
  button.SetUIStyle(WinXP);
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), Render(button.Handle()).Pixel(5, 5));
  TskCheckBox box;
  ASSERT_TRUE(box.Create(form.Handle(), L"Box", 0, 40));
  box.SetUIStyle(WinXP);
  EXPECT_GT(Render(box.Handle()).Width(), 13);
  TskProgressBar bar;
  ASSERT_TRUE(bar.Create(form.Handle(), 0, 80));
  bar.SetUIStyle(WinXP);
  bar.SetShowCaption(false);
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), Render(bar.Handle()).Pixel(10, 5));
  TskTrackBar track;
  ASSERT_TRUE(track.Create(form.Handle(), 0, 100, 150, 30));
  track.SetUIStyle(WinXP);
  EXPECT_FALSE(Render(track.Handle()).Empty());
  TskScrollBar scroll;
  ASSERT_TRUE(scroll.Create(form.Handle(), 0, 150, 150, 16));
  scroll.SetUIStyle(WinXP);
  EXPECT_FALSE(Render(scroll.Handle()).Empty());
}

struct PercentCase {
  int min, max, position;
  const wchar_t* caption;
  int done;  // of 100
};

TEST(ProgressCaption, PercentAndDonePartFollowThePositionUnclamped) {
  HostForm form;
  const PercentCase cases[] = {
      {0, 1000, 250, L"25%", 25}, {0, 1000, 1500, L"150%", 100}, {5, 5, 5, L"0%", 0},
      {0, 100, -10, L"-10%", 0},  {-2000000000, 2000000000, 2000000000, L"100%", 100},
  };
  for (const PercentCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.position << " in " << c.min << ".." << c.max);
    TskProgressBar bar;
    ASSERT_TRUE(bar.Create(form.Handle(), 0, 0));
    bar.SetMin(c.min);
    bar.SetMax(c.max);
    bar.SetPosition(c.position);
    EXPECT_EQ(c.caption, bar.GetCaption()) << c.position;
    EXPECT_EQ(c.done, bar.GetDoneExtent(100)) << c.position;
  }
}

}  // namespace

namespace {

TEST(ButtonSize, AutoSizeTakesACellOfTheStripOrTheDefaultWithoutOne) {
  HostForm form;
  struct Case {
    TskUIStyle style;
    int width, height;
  };
  for (Case c : {Case{DeepBlue, 74, 21}, Case{WinXP, 24, 21}}) {
    TskButton button;
    ASSERT_TRUE(button.Create(form.Handle(), L"", 0, 0));
    button.SetUIStyle(c.style);
    button.SetAutoSize(true);
    EXPECT_EQ(c.width, button.Width()) << int(c.style);
    EXPECT_EQ(c.height, button.Height()) << int(c.style);
  }
}

TEST(ImageButton, EachStateFallsBackToTheNormalPicture) {
  HostForm form;
  TskImageButton button;
  ASSERT_TRUE(button.Create(form.Handle(), L"", 0, 0, 8, 8));
  button.PicNormal.SetSize(8, 8);
  button.PicNormal.Fill(RGB(10, 20, 30));
  button.PicNormal.SetPixel(0, 0, kCorner);
  button.PicMouseDown.SetSize(8, 8);
  button.PicMouseDown.Fill(RGB(40, 50, 60));
  button.PicMouseDown.SetPixel(0, 0, kCorner);  // the top-left colour is see-through
  button.PicturesChanged();
  EXPECT_EQ(RGB(10, 20, 30), Render(button.Handle()).Pixel(4, 4));
  button.Send(WM_MOUSEMOVE, 0, At(2, 2));
  EXPECT_EQ(RGB(10, 20, 30), Render(button.Handle()).Pixel(4, 4)) << "no mouse-over picture";
  button.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
  EXPECT_EQ(RGB(40, 50, 60), Render(button.Handle()).Pixel(4, 4));
  button.Send(WM_LBUTTONUP, 0, At(2, 2));
}

// Disabled, a two-image glyph shows its right half and a single image is
// greyed.
TEST(ButtonGlyph, ATwoImageGlyphShowsItsRightHalfWhenDisabled) {
  HostForm form;
  const struct {
    int width;
    COLORREF disabled;
  } cases[] = {{32, RGB(0, 0, 200)}, {16, ::GetSysColor(COLOR_BTNSHADOW)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    TskButton button;
    ASSERT_TRUE(button.Create(form.Handle(), L"", 0, 0));
    Bitmap glyph(c.width, 16);
    glyph.Fill(RGB(0, 0, 200));
    glyph.FillRect(RECT{0, 0, 16, 16}, RGB(0, 200, 0));
    glyph.SetPixel(0, 0, kCorner);
    button.SetGlyph(glyph);
    const int x = (80 - 16) / 2 + 8, y = (27 - 16) / 2 + 8;  // the glyph's middle, no caption
    EXPECT_EQ(RGB(0, 200, 0), Render(button.Handle()).Pixel(x, y));
    button.Enable(false);
    EXPECT_EQ(c.disabled, Render(button.Handle()).Pixel(x, y));
  }
}

// Each layout puts the caption on its side of the glyph, the spacing
// apart, and centres the pair in the button.
TEST(ButtonGlyph, EachLayoutPlacesTheGlyphAndTheCaption) {
  HostForm form;
  const int W = 120, H = 60, gw = 16, S = 4;
  Bitmap glyph(gw, gw);
  glyph.Fill(RGB(0, 200, 0));
  glyph.SetPixel(0, 0, kCorner);
  const struct {
    TButtonLayout layout;
    int dx, dy;  // where the caption lies from the glyph
  } cases[] = {{blGlyphLeft, 1, 0}, {blGlyphRight, -1, 0}, {blGlyphTop, 0, 1}, {blGlyphBottom, 0, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.layout));
    TskButton button;
    ASSERT_TRUE(button.Create(form.Handle(), L"Scan", 0, 0, W, H));
    button.Layout = c.layout;
    button.SetGlyph(glyph);
    Bitmap shot = Render(button.Handle());
    RECT g{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (shot.Pixel(x, y) == RGB(0, 200, 0)) g = RECT{std::min<LONG>(g.left, x), std::min<LONG>(g.top, y),
                                                         std::max<LONG>(g.right, x + 1), std::max<LONG>(g.bottom, y + 1)};
    EXPECT_EQ(gw, g.right - g.left);
    EXPECT_EQ(gw, g.bottom - g.top);
    HDC dc = ::GetDC(button.Handle());
    HGDIOBJ old = ::SelectObject(dc, button.GetFont());
    SIZE text{};
    ::GetTextExtentPoint32W(dc, L"Scan", 4, &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(button.Handle(), dc);
    const POINT at = button.CaptionPosition();
    const RECT t{at.x, at.y, at.x + text.cx, at.y + text.cy};
    if (c.dx) { EXPECT_EQ(c.dx > 0 ? g.right + S : g.left - S, c.dx > 0 ? t.left : t.right); }
    if (c.dy) { EXPECT_EQ(c.dy > 0 ? g.bottom + S : g.top - S, c.dy > 0 ? t.top : t.bottom); }
    RECT pair{};
    ::UnionRect(&pair, &g, &t);
    EXPECT_LE(std::abs(pair.left + pair.right - W), 1) << "centred across";
    EXPECT_LE(std::abs(pair.top + pair.bottom - H), 1) << "centred down";
  }
}

TEST(GroupBoxLook, CaptionGapAndGreyCaptionWhenDisabled) {
  HostForm form;
  TskGroupBox box;
  ASSERT_TRUE(box.Create(form.Handle(), L"Caption", 0, 0, 185, 105));
  box.SetBorderColor(RGB(10, 200, 10));
  const int top = box.FontHeight() / 2 + 1;
  Bitmap shot = Render(box.Handle());
  EXPECT_EQ(RGB(10, 200, 10), shot.Pixel(0, 50)) << "left edge";
  EXPECT_EQ(RGB(10, 200, 10), shot.Pixel(180, top)) << "top edge after the caption";
  EXPECT_NE(RGB(10, 200, 10), shot.Pixel(20, top)) << "gap for the caption";
  box.SetCaption(L"");
  EXPECT_EQ(RGB(10, 200, 10), Render(box.Handle()).Pixel(20, top)) << "closed without a caption";
  box.SetCaption(L"WWWW");
  box.Enable(false);
  Bitmap grey = Render(box.Handle());
  bool greyText = false;
  for (int x = 5; x < 40 && !greyText; ++x)
    for (int y = 0; y < box.FontHeight() && !greyText; ++y) greyText = grey.Pixel(x, y) == RGB(128, 128, 128);
  EXPECT_TRUE(greyText);
}

}  // namespace
