// Menu items measured and drawn on a memory device context.
#include <gtest/gtest.h>

#include "ListsTestSupport.h"
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "skin/menus/DressMenu.h"
#include "skin/menus/SkinMenu.h"
#include "skin/menus/PopupMenu.h"
#include "ui/Menu.h"
#include "skin/theme/BuiltinTheme.h"

using namespace skin;

namespace {

using skin_test::TextWidth;

TEST(SkinMenu, ItemsMeasureTheirTextBarAndFortyPixelsAndSeparatorsTheirStylesHeight) {
  skin::Bitmap canvas(10, 10);
  HGDIOBJ old = ::SelectObject(canvas.Canvas(), ui::DefaultFont());
  struct Case {
    TskUIStyle style;
    const wchar_t* caption;
    const wchar_t* shortcut;
    int height;
  };
  const Case cases[] = {
      {DeepBlue, L"Select All", L"Ctrl+A", 21}, {DeepBlue, L"-", L"", 5},  {MacOS, L"Copy", L"", 20},
      {MacOS, L"-", L"", 12},                    {WinXP, L"Help", L"F1", 21},
  };
  for (const Case& c : cases) {
    TskPopupMenu menu;
    menu.SetUIStyle(c.style);
    TskMenuItem item;
    item.Caption = c.caption;
    item.ShortCut = c.shortcut;
    int w = 0, h = 0;
    menu.MeasureItem(item, canvas.Canvas(), w, h);
    EXPECT_EQ(c.height, h) << c.caption;
    EXPECT_EQ(TextWidth(canvas.Canvas(), c.caption) + TextWidth(canvas.Canvas(), c.shortcut) + 26 + 40, w) << c.caption;
  }
  ::SelectObject(canvas.Canvas(), old);
}

// Windows before 6.0 refuse the non-client metrics with the padded-border
// field; the menu font is read with the size the running version takes.
TEST(SkinMenu, TheMenuFontIsAskedWithTheSizeOfTheRunningVersion) {
  const std::pair<DWORD, UINT> sizes[] = {{4, 500}, {5, 500}, {6, 504}, {10, 504}};
  for (const auto& s : sizes) EXPECT_EQ(s.second, NonClientMetricsSize(s.first)) << "version " << s.first;
  LOGFONTW font{};
  ASSERT_TRUE(GetSystemMenuFont(font));
  EXPECT_NE(L'\0', font.lfFaceName[0]);
}

TEST(SkinMenu, TheItemHeightTakesATallerFont) {
  skin::Bitmap canvas(10, 10);
  HFONT big = ::CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  HGDIOBJ old = ::SelectObject(canvas.Canvas(), big);
  TskPopupMenu menu;
  TskMenuItem item{L"Tall"};
  int w = 0, h = 0;
  menu.MeasureItem(item, canvas.Canvas(), w, h);
  EXPECT_GT(h, 21);
  ::SelectObject(canvas.Canvas(), old);
  ::DeleteObject(big);
}

TEST(SkinMenu, MacOSKeepsItsHeightsAgainstWrites) {
  TskPopupMenu popup;
  popup.SetUIStyle(MacOS);
  popup.SetMenuItemHeight(30);
  popup.SetSeparatorHeight(9);
  EXPECT_EQ(20, popup.GetMenuItemHeight());
  EXPECT_EQ(12, popup.GetSeparatorHeight());
  TskMainMenu main;
  main.SetUIStyle(MacOS);
  main.SetMenuItemHeight(30);
  EXPECT_EQ(30, main.GetMenuItemHeight());
  popup.SetUIStyle(DeepBlue);
  popup.SetMenuItemHeight(30);
  EXPECT_EQ(30, popup.GetMenuItemHeight());
}

TEST(SkinMenu, ItemsAreDrawnInTheThemesColours) {
  TskPopupMenu menu;  // DeepBlue
  const RECT r{0, 0, 120, 21};
  struct Case {
    const wchar_t* caption;
    bool enabled, selected;
    COLORREF bar, face;  // at x 2 and at the far right, mid-height
  };
  const COLORREF bar = GetBuiltinThemeColor(DeepBlue, 23), face = GetBuiltinThemeColor(DeepBlue, 21),
                 selected = GetBuiltinThemeColor(DeepBlue, 19), border = GetBuiltinThemeColor(DeepBlue, 18);
  const Case cases[] = {
      {L"Open", true, false, bar, face},
      {L"Open", true, true, selected, selected},
      {L"Open", false, true, bar, face},  // a disabled item is never drawn selected
      {L"-", true, false, bar, face},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "enabled " << c.enabled << ", selected " << c.selected);
    skin::Bitmap canvas(120, 21);
    canvas.Fill(RGB(1, 2, 3));
    TskMenuItem item{c.caption};
    item.Enabled = c.enabled;
    menu.DrawItem(item, canvas.Canvas(), r, c.selected);
    EXPECT_EQ(c.bar, canvas.Pixel(2, 10)) << c.caption << c.selected;
    EXPECT_EQ(c.face, canvas.Pixel(118, 10)) << c.caption << c.selected;
    if (c.selected && c.enabled) {
      EXPECT_EQ(border, canvas.Pixel(0, 0));
    }
  }
  skin::Bitmap canvas(120, 5);
  TskMenuItem separator{L"-"};
  menu.DrawItem(separator, canvas.Canvas(), RECT{0, 0, 120, 5}, false);
  EXPECT_EQ(COLORREF(8684164), canvas.Pixel(60, 2));
  EXPECT_EQ(face, canvas.Pixel(60, 3));
  EXPECT_EQ(face, canvas.Pixel(27, 2));  // the line starts clear of the bar
}

// The columns where two drawings of an item differ, on rows from `top` down.
std::pair<int, int> DifferingColumns(const skin::Bitmap& a, const skin::Bitmap& b, int top = 0) {
  int left = a.Width(), right = -1;
  for (int y = top; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return {left, right};
}

std::unique_ptr<skin::Bitmap> DrawCaption(TskPopupMenu& menu, const wchar_t* caption) {
  auto canvas = std::make_unique<skin::Bitmap>(220, 21);
  TskMenuItem item{caption};
  menu.DrawItem(item, canvas->Canvas(), RECT{0, 0, 220, 21}, false);
  return canvas;
}

// The underline lies under the letter after "&", whatever blanks come
// before it: the letter's ink is found by drawing the caption cut after it.
TEST(SkinMenu, TheUnderlineLiesUnderTheLetterAfterTheAmpersand) {
  const struct {
    const wchar_t *caption, *plain, *before, *through;
  } cases[] = {{L"Select &All", L"Select All", L"Select ", L"Select A"},
               {L"Online &Help", L"Online Help", L"Online ", L"Online H"},
               {L"Deselect A&ll of Type", L"Deselect All of Type", L"Deselect A", L"Deselect Al"},
               {L"&Copy", L"Copy", L"", L"C"}};
  for (TskUIStyle style : {WinXP, DeepBlue}) {
    TskPopupMenu menu;
    menu.SetUIStyle(style);
    for (const auto& c : cases) {
      auto underlined = DrawCaption(menu, c.caption), plain = DrawCaption(menu, c.plain);
      auto before = DrawCaption(menu, c.before), through = DrawCaption(menu, c.through);
      std::pair<int, int> line = DifferingColumns(*underlined, *plain);
      std::pair<int, int> letter = DifferingColumns(*before, *through);
      ASSERT_LE(line.first, line.second) << "an underline is drawn for " << testing::PrintToString(c.caption);
      EXPECT_GE(line.first, letter.first - 1) << testing::PrintToString(c.caption);
      EXPECT_LE(line.second, letter.second + 2) << testing::PrintToString(c.caption);
      EXPECT_LE(line.first, letter.second) << testing::PrintToString(c.caption);
    }
  }
}

TEST(SkinMenu, ACheckedItemShowsAMarkEvenWithoutTheCheckPicture) {
  TskPopupMenu menu;
  skin::Bitmap plain(120, 21), checked(120, 21);
  TskMenuItem item{L"Option"};
  menu.DrawItem(item, plain.Canvas(), RECT{0, 0, 120, 21}, false);
  item.Checked = true;
  menu.DrawItem(item, checked.Canvas(), RECT{0, 0, 120, 21}, false);
  int differ = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 24; ++x) differ += plain.Pixel(x, y) != checked.Pixel(x, y);
  EXPECT_GT(differ, 5);
}

TEST(SkinMenu, OwnerDrawReachesItemsAddedLaterAndSubItems) {
  TskPopupMenu menu;
  TskMenuItem parent{L"More"};
  parent.Items.push_back(TskMenuItem{L"Sub"});
  menu.Add(parent);
  EXPECT_TRUE(menu.Items[0].OnDrawItem != nullptr);
  EXPECT_TRUE(menu.Items[0].Items[0].OnMeasureItem != nullptr);
  EXPECT_TRUE(menu.GetOwnerDraw());
  menu.SetOwnerDraw(false);
  EXPECT_TRUE(menu.GetOwnerDraw());
}

}  // namespace

namespace {

bool g_menuShot = false;
const wchar_t* g_shotName = L"skin_lists_menu";
// Type and state of each entry of the menu on the screen.
std::vector<std::pair<UINT, UINT>> g_entries;

void CALLBACK ShootMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  if (menu != nullptr && ::IsWindowVisible(menu)) {
    ::UpdateWindow(menu);
    g_menuShot = lists_test::SaveWindowShot(menu, g_shotName);
    HMENU handle = reinterpret_cast<HMENU>(::SendMessageW(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
    g_entries.clear();
    for (int i = 0; handle != nullptr && i < ::GetMenuItemCount(handle); ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_STATE;
      ::GetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &info);
      g_entries.emplace_back(info.fType, info.fState);
    }
  }
  ::KillTimer(nullptr, id);
  ::EndMenu();
}

// The log's popup menu drawn in the theme, saved for a person to look at.
TEST(SkinMenuScreenshot, APopupMenuIsDrawnOwnerDrawn) {
  lists_test::HostForm form;
  form.Show(true);
  lists_test::Pump();
  TskPopupMenu menu;
  bool ran = false;
  TskMenuItem copy{L"&Copy"};
  copy.ShortCut = L"Ctrl+C";
  copy.OnClick = [&] { ran = true; };
  menu.Add(copy);
  menu.Add(TskMenuItem{L"-"});
  TskMenuItem all{L"Select &All"};
  all.ShortCut = L"Ctrl+A";
  all.Checked = true;
  menu.Add(all);
  TskMenuItem off{L"Save to file..."};
  off.Enabled = false;
  menu.Add(off);
  ::SetTimer(nullptr, 0, 400, &ShootMenu);
  RECT r{};
  ::GetWindowRect(form.Handle(), &r);
  menu.Popup(form.Handle(), POINT{r.left + 40, r.top + 40});
  EXPECT_FALSE(ran);  // closed without a choice
  EXPECT_TRUE(g_menuShot);
}

// A window's plain menu (the log's) shown themed: owner-drawn entries with
// the plain menu's enabled states.
TEST(SkinMenuScreenshot, APlainMenuDressedPopsUpOwnerDrawn) {
  lists_test::HostForm form;
  form.Show(true);
  lists_test::Pump();
  ui::PopupMenu log;
  bool hasLines = false;
  log.Add(L"S&ave to text file", [] {}, [&] { return hasLines; });
  log.Add(L"", nullptr);
  log.Add(L"&Clear", [] {});
  DressPopupMenu(log, WinXP);
  g_menuShot = false;
  g_shotName = L"skin_lists_logmenu";
  ::SetTimer(nullptr, 0, 400, &ShootMenu);
  RECT r{};
  ::GetWindowRect(form.Handle(), &r);
  log.Popup(form.Handle(), POINT{r.left + 40, r.top + 40});
  EXPECT_TRUE(g_menuShot);
  ASSERT_EQ(3u, g_entries.size());
  for (const auto& entry : g_entries) EXPECT_NE(0u, entry.first & MFT_OWNERDRAW);
  EXPECT_NE(0u, g_entries[0].second & MFS_DISABLED);
  EXPECT_EQ(0u, g_entries[2].second & MFS_DISABLED);
}

}  // namespace
