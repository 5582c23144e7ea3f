// Tab widths, cut tabs and scroll buttons of the tab strip, for a few tabs
// and for far more than fit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ListsTestSupport.h"
#include "skin/lists/TabControl.h"

using namespace skin;
using lists_test::kCell;

namespace {

class PlainTab : public TskTab {
 public:
  int GetTabImageIndex(int) const override { return -1; }

 protected:
  std::unique_ptr<TskTabControlTopPanel> CreateTopPanel() override {
    return std::make_unique<TskTabControlTopPanel>(*this);
  }
};

std::vector<std::wstring> Captions(int count) {
  std::vector<std::wstring> out;
  for (int i = 0; i < count; ++i) out.push_back(L"Tab " + std::to_wstring(i));
  return out;
}

struct StripFixture : ::testing::Test {
  lists_test::HostForm form;
  PlainTab tab;
  TskTabControlTopPanel& Strip() { return tab.TopPanel(); }
  void Make(int width, int count, TskUIStyle style = DeepBlue) {
    ASSERT_TRUE(tab.Create(form.Handle(), 0, 0, width, 200));
    tab.SetUIStyle(style);
    Strip().SetTabs(Captions(count));
    Strip().Repaint(POINT{-1, -1});
  }
  // Start of tab `index` as last laid out.
  int TabStart(int index) {
    int x = Strip().GetLeftMargin(), shown = 0;
    for (int i = 0; i < index; ++i) {
      if (Strip().TabWidth(i) <= 0) continue;
      if (shown++ >= Strip().GetFirstVisible()) x += Strip().TabWidth(i);
    }
    return x;
  }
};

TEST_F(StripFixture, TabsAreTheirCaptionPlusTwentyAndButtonsOnlyWhenTheRowOverflows) {
  struct Case {
    int width, count;
    bool buttons;
  };
  for (const Case c : {Case{600, 3, false}, Case{400, 100, true}, Case{300, 1, false}}) {
    PlainTab t;
    ASSERT_TRUE(t.Create(form.Handle(), 0, 0, c.width, 200));
    t.TopPanel().SetTabs(Captions(c.count));
    t.TopPanel().Repaint(POINT{-1, -1});
    EXPECT_EQ(c.buttons, t.TopPanel().GetButtonsShown()) << c.count;
    EXPECT_EQ(lists_test::DefaultTextWidth(L"Tab 0") + 20, t.TopPanel().TabWidth(0)) << c.count;
  }
}

TEST_F(StripFixture, AnOverflowingRowCutsOneTabAtTheButtonsAndLaysOutNoMore) {
  Make(400, 100);
  const int roomWithButtons = 400 - 2 * Strip().GetButtonWidth() - 2;
  ASSERT_EQ(18, Strip().GetButtonWidth());  // one cell of the four-cell picture
  int x = Strip().GetLeftMargin(), cut = -1;
  for (int i = 0; i < 100 && cut < 0; ++i) {
    if (x + lists_test::DefaultTextWidth(Captions(100)[i]) + 20 > roomWithButtons) cut = i;
    else x += Strip().TabWidth(i);
  }
  ASSERT_GT(cut, 0);
  EXPECT_EQ(roomWithButtons - x, Strip().TabWidth(cut));
  EXPECT_EQ(-1, Strip().TabWidth(cut + 1));
  EXPECT_EQ(-1, Strip().TabAt(roomWithButtons + 5, 5));
}

TEST_F(StripFixture, ScrollButtonsShowTheirCellsAndTheRightOneScrollsByOneTab) {
  Make(400, 100);
  const RECT right = Strip().RightButtonRect(), left = Strip().LeftButtonRect();
  const POINT rc{(right.left + right.right) / 2, (right.top + right.bottom) / 2};
  const POINT lc{(left.left + left.right) / 2, (left.top + left.bottom) / 2};
  EXPECT_EQ(kCell[0], Strip().Picture().Pixel(rc.x, rc.y));
  EXPECT_EQ(kCell[2], Strip().Picture().Pixel(lc.x, lc.y));
  Strip().Repaint(rc);  // the cursor over the right button
  EXPECT_EQ(kCell[1], Strip().Picture().Pixel(rc.x, rc.y));
  EXPECT_EQ(1, Strip().GetScrollButtonState());
  Strip().Repaint(lc);
  EXPECT_EQ(kCell[3], Strip().Picture().Pixel(lc.x, lc.y));
  EXPECT_EQ(-1, Strip().GetScrollButtonState());

  Strip().MouseDown(rc.x, rc.y);
  EXPECT_EQ(1, Strip().GetFirstVisible());
  EXPECT_EQ(1, Strip().TabAt(Strip().GetLeftMargin() + 3, 5));
  EXPECT_EQ(0, Strip().GetTabIndex());  // scrolling picks no tab
  Strip().MouseDown(lc.x, lc.y);
  Strip().MouseDown(lc.x, lc.y);
  EXPECT_EQ(0, Strip().GetFirstVisible());
}

TEST_F(StripFixture, TabsFarPastTheSixtyFourthAreLaidOutAndClickable) {
  Make(400, 100);
  Strip().SetTabIndex(80);
  EXPECT_GT(Strip().GetFirstVisible(), 0);
  ASSERT_GT(Strip().TabWidth(80), 0);
  EXPECT_EQ(80, Strip().TabAt(TabStart(80) + 3, 5));
  const int x79 = TabStart(79) + 3;
  Strip().MouseDown(x79, 5);
  EXPECT_EQ(79, Strip().GetTabIndex());
}

TEST_F(StripFixture, HiddenTabsTakeNoRoomAndTheKeysPassThemOver) {
  Make(600, 4);
  Strip().SetTabVisible(1, false);
  EXPECT_EQ(0, Strip().TabWidth(1));
  EXPECT_EQ(2, Strip().TabAt(Strip().GetLeftMargin() + Strip().TabWidth(0) + 3, 5));
  // Tab stops at the last tab (the dialog's next control takes it from there);
  // Ctrl+Tab goes round; Left and Right stop at the ends. `to` -1: the strip
  // lets the key go.
  const struct { int from; WPARAM key; std::vector<BYTE> held; int to; } keys[] = {
      {0, VK_TAB, {}, 2}, {2, VK_TAB, {}, 3}, {3, VK_TAB, {}, -1}, {3, VK_TAB, {VK_SHIFT}, -1},
      {3, VK_TAB, {VK_CONTROL}, 0}, {0, VK_TAB, {VK_CONTROL, VK_SHIFT}, 3}, {2, VK_TAB, {VK_CONTROL, VK_SHIFT}, 0},
      {0, VK_RIGHT, {}, 2}, {2, VK_LEFT, {}, 0}, {0, VK_LEFT, {}, -1}, {3, VK_RIGHT, {}, -1}};
  for (const auto& k : keys) {
    Strip().SetTabIndex(k.from);
    BYTE state[256] = {};
    for (BYTE h : k.held) state[h] = 0x80;
    ::SetKeyboardState(state);
    EXPECT_EQ(k.to, Strip().TabForKey(k.key)) << "key " << k.key << " from " << k.from;
    const bool wantsTab = (Strip().Send(WM_GETDLGCODE) & DLGC_WANTTAB) != 0;
    if (k.key == VK_TAB) {
      EXPECT_EQ(k.to >= 0, wantsTab) << "from " << k.from;
    }
    Strip().Send(WM_KEYDOWN, k.key, 1);
    EXPECT_EQ(k.to >= 0 ? k.to : k.from, Strip().GetTabIndex()) << "key " << k.key << " from " << k.from;
  }
  BYTE none[256] = {};
  ::SetKeyboardState(none);
}

TEST_F(StripFixture, TheLineLiesUnderTheTabsAtTheTopAndAboveThemAtTheBottom) {
  Make(600, 2);
  const int h = 17;  // the tab cell's height
  const int pastTabs = 500;
  EXPECT_EQ(22, Strip().StripHeight());
  EXPECT_EQ(kCell[0], Strip().Picture().Pixel(pastTabs, h + 2));
  const int inactiveMiddle = Strip().GetLeftMargin() + Strip().TabWidth(0) + 3;
  EXPECT_EQ(kCell[1], Strip().Picture().Pixel(inactiveMiddle, 8));
  tab.SetTabPosition(skBottom);
  Strip().Repaint(POINT{-1, -1});
  EXPECT_EQ(kCell[0], Strip().Picture().Pixel(pastTabs, 2));
  EXPECT_EQ(kCell[1], Strip().Picture().Pixel(inactiveMiddle, 22 - 8));
  const RECT strip = Strip().Bounds();
  EXPECT_EQ(200 - 22, strip.top);  // the strip sits at the bottom edge
}

TEST_F(StripFixture, AStyleWithoutTabPicturesDrawsPlainTabs) {
  Make(600, 5, WinXP);  // no WinXP tab pictures in this program
  EXPECT_GT(Strip().StripHeight(), 0);
  EXPECT_EQ(lists_test::DefaultTextWidth(L"Tab 0") + 20, Strip().TabWidth(0));
  EXPECT_EQ(1, Strip().TabAt(Strip().GetLeftMargin() + Strip().TabWidth(0) + 3, 5));
}

}  // namespace
