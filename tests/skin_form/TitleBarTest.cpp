// The caption-button row of a title bar on a plain form: where each button
// sits, and which one the mouse is on.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/SkinTestHost.h"
#include "skin/form/TitleBar.h"

namespace {

using skin::TskTitleBar;

// A DeepBlue bar (right offset 0) with every caption button shown; off a
// frame the border answer is 0, so the row ends at x = width - 1.
struct Bar {
  explicit Bar(int width) : form(width + 40, 100, skin_test::HostForm::kShownOffScreen) {
    bar.Create(form.Handle());
    bar.SetUIStyle(skin::DeepBlue);
    bar.SetButtonVisible(skin::skMax, true);
    bar.SetButtonVisible(skin::skMin, true);
    bar.SetBounds(0, 0, width, bar.Height());
    bar.PaintNow();
  }
  RECT Rect(skin::TskTitleBarBtnType type) {
    for (size_t i = 0; i < bar.Buttons.size(); ++i)
      if (bar.Buttons[i].ButtonType == type) return bar.ButtonRect(i);
    return RECT{};
  }
  int HotAt(int x, int y) {
    bar.Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    return bar.HotIndex();
  }
  skin_test::HostForm form;
  TskTitleBar bar;
};

// The close button takes its width alone, flush at the row's right end;
// each other button its width, one pixel and the button interval.
TEST(TitleBarButtons, CloseSitsFlushAtTheRightAndTheOthersKeepTheirGap) {
  for (int interval : {0, 3}) {
    SCOPED_TRACE(interval);
    Bar b(300);
    b.bar.ButtonInterval = interval;
    b.bar.PaintNow();
    const RECT close = b.Rect(skin::skClose), max = b.Rect(skin::skMax), min = b.Rect(skin::skMin);
    ASSERT_GT(close.right, close.left);
    EXPECT_EQ(299, close.right);
    EXPECT_EQ(close.left - 1 - interval, max.right);
    EXPECT_EQ(max.left - 1 - interval, min.right);
  }
}

TEST(TitleBarButtons, EveryEdgeIsInsideAndTheLaterOfTwoOverlappingButtonsWins) {
  Bar b(300);
  const RECT close = b.Rect(skin::skClose);
  const int closeIndex = 1;  // the buttons are made in the order control box, close, max, min
  struct Case {
    int x, y, hot;
  } cases[] = {{close.left, close.top, closeIndex},
               {close.right, close.bottom, closeIndex},
               {close.right + 1, close.top, -1},
               {close.left, close.bottom + 1, -1}};
  for (const Case& c : cases) EXPECT_EQ(c.hot, b.HotAt(c.x, c.y)) << c.x << "," << c.y;

  // A bar too narrow for its row: the minimise button overlaps the control box.
  Bar narrow(50);
  const RECT box = narrow.bar.ButtonRect(0), min = narrow.Rect(skin::skMin);
  RECT both{};
  ASSERT_TRUE(::IntersectRect(&both, &box, &min)) << "the row does not overlap the control box";
  EXPECT_EQ(3, narrow.HotAt(both.left, both.top));
}

// Right to left (the form's reading order on a system that reads so) the
// caption ends 10 pixels before the button row and the menus open 176
// pixels further right. A font given to the bar measures the caption.
TEST(TitleBarRightToLeft, CaptionEndsBeforeTheButtonsAndMenusMoveRight) {
  struct Case { bool system; int offset; int fontHeight; };  // fontHeight 0: the bar's own font
  for (Case c : {Case{true, 176, 0}, Case{true, 176, -24}, Case{false, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << c.system << " " << c.fontHeight);
    skin_test::RightToLeftSystem system(c.system);
    Bar b(300);
    skin_test::ReadRightToLeft(b.form.Handle());
    LOGFONTW asked{c.fontHeight, 0, 0, 0, FW_NORMAL};
    ::lstrcpyW(asked.lfFaceName, L"Tahoma");
    HFONT font = c.fontHeight != 0 ? ::CreateFontIndirectW(&asked) : b.bar.GetFont();
    if (c.fontHeight != 0) b.bar.SetFont(asked);
    b.bar.SetCaption(L"Caption");
    b.bar.PaintNow();
    EXPECT_EQ(c.offset, b.bar.MenuOffset());
    HDC dc = ::GetDC(b.bar.Handle());
    HGDIOBJ old = ::SelectObject(dc, font);
    const int width = skin_test::TextWidth(dc, L"Caption");
    ::SelectObject(dc, old);
    ::ReleaseDC(b.bar.Handle(), dc);
    if (c.fontHeight != 0) ::DeleteObject(font);
    const int rowLeft = b.Rect(skin::skMin).left;
    if (c.system) EXPECT_EQ(rowLeft - width - 10, b.bar.CaptionX());
    else EXPECT_LT(b.bar.CaptionX(), 40);
  }
}

}  // namespace
