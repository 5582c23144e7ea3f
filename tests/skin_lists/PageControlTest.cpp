// Pages follow their tabs: a refused change by mouse leaves everything as it
// was, hidden tabs pass the active page on, and the pages take the colours.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ListsTestSupport.h"
#include "skin/lists/ComboBox.h"
#include "skin/lists/Edit.h"
#include "skin/lists/ListView.h"
#include "skin/lists/PageControl.h"
#include "skin/theme/BuiltinTheme.h"

using namespace skin;

namespace {

struct PagesFixture : ::testing::Test {
  // Declared first: the sheets log into it while they are taken down.
  std::vector<std::string> log;
  lists_test::HostForm form;
  TskPageControl pages;
  TskTabSheet sheets[3];
  void SetUp() override {
    ASSERT_TRUE(pages.Create(form.Handle(), 10, 10, 500, 300));
    const wchar_t* captions[] = {L"General", L"Cookies", L"Ignore List"};
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(sheets[i].Create(pages, captions[i]));
      sheets[i].OnShow = [this, i](TskTabSheet&) { log.push_back("show " + std::to_string(i)); };
      sheets[i].OnHide = [this, i](TskTabSheet&) { log.push_back("hide " + std::to_string(i)); };
    }
    pages.OnChange = [this](TskTab&) { log.push_back("change"); };
    log.clear();
  }
  // A point inside tab `index` of the strip.
  POINT TabPoint(int index) {
    TskTabControlTopPanel& strip = pages.TopPanel();
    strip.Repaint(POINT{-1, -1});
    int x = strip.GetLeftMargin();
    for (int i = 0; i < index; ++i) x += std::max(0, strip.TabWidth(i));
    return POINT{x + 4, 5};
  }
};

TEST_F(PagesFixture, TheLastSheetAddedIsActiveAndTheOthersAreDisabled) {
  EXPECT_EQ(3, pages.PageCount());
  EXPECT_EQ(&sheets[2], pages.GetActivePage());
  EXPECT_EQ(2, pages.GetActivePageIndex());
  EXPECT_FALSE(sheets[0].Enabled());
  EXPECT_TRUE(sheets[2].Enabled());
  EXPECT_EQ(nullptr, pages.Page(3));
  EXPECT_EQ((std::vector<std::wstring>{L"General", L"Cookies", L"Ignore List"}), pages.TopPanel().GetTabs());
}

TEST_F(PagesFixture, OnChangingCanRefuseAClickOnATab) {
  int asked = 0;
  bool allow = false;
  pages.OnChanging = [&](TskTab&, bool& a) {
    ++asked;
    a = allow;
  };
  const POINT first = TabPoint(0);
  pages.TopPanel().MouseDown(first.x, first.y);
  EXPECT_EQ(1, asked);
  EXPECT_EQ(2, pages.GetActivePageIndex());
  EXPECT_EQ(2, pages.GetTabIndex());
  EXPECT_TRUE(log.empty());

  allow = true;
  pages.TopPanel().MouseDown(first.x, first.y);
  EXPECT_EQ(2, asked);
  EXPECT_EQ(0, pages.GetActivePageIndex());
  EXPECT_TRUE(sheets[0].Enabled());
  EXPECT_FALSE(sheets[2].Enabled());
  EXPECT_EQ((std::vector<std::string>{"hide 2", "show 0", "change"}), log);

  pages.SetActivePageIndex(1);  // not by mouse: not asked
  EXPECT_EQ(2, asked);
  EXPECT_EQ(1, pages.GetActivePageIndex());
  pages.SetActivePageIndex(7);  // out of range: ignored
  EXPECT_EQ(1, pages.GetActivePageIndex());
}

TEST_F(PagesFixture, HidingTheActiveTabActivatesTheNearestVisiblePage) {
  struct Case {
    int active, hidden, expected;
  };
  for (const Case c : {Case{2, 2, 1}, Case{0, 0, 1}, Case{1, 1, 0}, Case{1, 2, 1}}) {
    for (TskTabSheet& s : sheets) s.SetTabVisible(true);
    pages.SetActivePageIndex(c.active);
    sheets[c.hidden].SetTabVisible(false);
    EXPECT_EQ(c.expected, pages.GetActivePageIndex()) << c.active << " " << c.hidden;
  }
}

TEST_F(PagesFixture, MovingAPageRenumbersAndActivatesIt) {
  sheets[0].SetPageIndex(2);
  EXPECT_EQ(2, sheets[0].GetPageIndex());
  EXPECT_EQ(0, sheets[1].GetPageIndex());
  EXPECT_EQ(&sheets[0], pages.GetActivePage());
  EXPECT_EQ(L"General", pages.TopPanel().GetTabs()[2]);
  sheets[0].SetPageIndex(5);
  EXPECT_EQ(2, sheets[0].GetPageIndex());
}

TEST_F(PagesFixture, RemovingTheActivePageActivatesTheOneBeforeIt) {
  {
    TskTabSheet extra;
    ASSERT_TRUE(extra.Create(pages, L"Extra"));
    EXPECT_EQ(4, pages.PageCount());
    EXPECT_EQ(&extra, pages.GetActivePage());
  }
  EXPECT_EQ(3, pages.PageCount());
  EXPECT_EQ(&sheets[2], pages.GetActivePage());
}

TEST_F(PagesFixture, ThePagesTakeTheStylesColoursAndWinXPIsWhite) {
  struct Case {
    TskUIStyle style;
    COLORREF page;
  };
  for (const Case c : {Case{WinXP, RGB(255, 255, 255)}, Case{DeepBlue, GetBuiltinThemeColor(DeepBlue, 26)},
                       Case{FromThemeFile, GetBuiltinThemeColor(DeepBlue, 26)}}) {
    pages.SetUIStyle(c.style);
    EXPECT_EQ(c.page, sheets[1].GetColor()) << int(c.style);
    EXPECT_EQ(pages.GetBorderColor(), sheets[1].GetBorderColor());
  }
  const RECT area = pages.PageArea();
  EXPECT_EQ(3, area.left);
  EXPECT_EQ(pages.TopPanel().StripHeight() + 3, area.top);
  EXPECT_EQ(area.right - area.left, sheets[0].Width());
}

// The Options dialog's shape: pages with a combo box, an edit and a list
// view, a page control inside a page, shown and saved for a person to see.
TEST(SkinListsScreenshot, APageControlWithItsControlsIsDrawn) {
  lists_test::HostForm form;
  TskPageControl pages, inner;
  TskTabSheet general, lists, inner1, inner2;
  TskComboBox combo;
  TskEdit edit;
  TskListView view;
  ASSERT_TRUE(pages.Create(form.Handle(), 10, 10, 560, 360));
  ASSERT_TRUE(general.Create(pages, L"General"));
  ASSERT_TRUE(lists.Create(pages, L"Ignore List"));
  ASSERT_TRUE(combo.Create(general.Handle(), 20, 20, 160, 200));
  combo.Add(L"Every day");
  combo.Add(L"Every week");
  combo.SetItemIndex(0);
  ASSERT_TRUE(edit.Create(general.Handle(), L"An edit", 20, 60, 160, 21));
  ASSERT_TRUE(inner.Create(general.Handle(), 220, 20, 300, 200));
  ASSERT_TRUE(inner1.Create(inner, L"Cookies"));
  ASSERT_TRUE(inner2.Create(inner, L"Keep"));
  ASSERT_TRUE(view.Create(lists.Handle(), 10, 10, 500, 250, true));
  view.AddColumn(L"Registry key", 300);
  view.AddColumn(L"A caption far too wide for its column", 60);
  for (int i = 0; i < 30; ++i) view.AddRow(L"HKEY_CURRENT_USER\\Software\\Row " + std::to_wstring(i), {L"x"});
  form.Show(true);
  pages.SetActivePage(&general);
  lists_test::Pump();
  ::UpdateWindow(form.Handle());
  lists_test::Pump();
  EXPECT_TRUE(lists_test::SaveWindowShot(form.Handle(), L"skin_lists_general"));
  pages.SetActivePage(&lists);
  lists_test::Pump();
  ::UpdateWindow(form.Handle());
  lists_test::Pump();
  EXPECT_TRUE(lists_test::SaveWindowShot(form.Handle(), L"skin_lists_list"));
}

}  // namespace
