// The combo box's button in each state, pixel by pixel, and the list view's
// header with its cut captions.
#include <gtest/gtest.h>

#include <vector>

#include "ListsTestSupport.h"
#include "skin/controls/Bars.h"
#include "skin/lists/ComboBox.h"
#include "skin/lists/Edit.h"
#include "skin/lists/ListView.h"
#include "skin/theme/BuiltinTheme.h"
#include "support/TestSupport.h"

using namespace skin;
using lists_test::kCell;

namespace {

constexpr COLORREF kBack = RGB(0, 0, 100);
constexpr COLORREF kButton = RGB(10, 200, 10);
constexpr COLORREF kBorder = RGB(90, 20, 160);
const RECT kButtonRect{80, 2, 97, 22};  // the arrow goes at (85, 10)

// A pixel the window shows; with `frame`, counted from its outer corner.
COLORREF PixelOf(HWND window, int x, int y, bool frame = false) {
  HDC dc = frame ? ::GetWindowDC(window) : ::GetDC(window);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return c;
}

TEST(ComboButton, EachStateDrawsItsFaceEdgeAndArrow) {
  struct Probe {
    int x, y;
    COLORREF colour;
  };
  // (83,18) inside away from the arrow, (80,18) and (96,18) the edge columns,
  // (88,11) inside the arrow, (92,11) the right corner of its white copy.
  auto face = [](COLORREF middle, COLORREF edge, COLORREF rightEdge, COLORREF arrow, COLORREF shadow) {
    return std::vector<Probe>{{83, 18, middle}, {80, 18, edge}, {96, 18, rightEdge}, {88, 11, arrow}, {92, 11, shadow}};
  };
  struct Case {
    const char* name;
    ComboButtonLook look;
    std::vector<Probe> probes;
  };
  const COLORREF grey = RGB(128, 128, 128), white = RGB(255, 255, 255), black = 0;
  const Case cases[] = {
      {"enabled", {DeepBlue, kButton, kBorder, black, true, false}, face(kButton, kBorder, kButton, black, kButton)},
      {"disabled", {DeepBlue, kButton, kBorder, black, false, false}, face(kButton, kBorder, kButton, grey, white)},
      {"right to left", {Protein, kButton, kBorder, black, true, true}, face(kButton, kButton, kBorder, black, kButton)},
      {"WinXP picture", {WinXP, kButton, kBorder, black, true, false}, face(kCell[0], kCell[0], kCell[0], kCell[0], kCell[0])},
      {"MacOS without its picture", {MacOS, kButton, kBorder, black, true, false},
       face(kButton, kBorder, kButton, black, kButton)},
      {"the edge line runs one pixel past the button", {DeepBlue, kButton, kBorder, black, true, false},
       {{80, 1, kBorder}, {80, 22, kBorder}, {80, 23, kBack}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    skin::Bitmap canvas(100, 24);
    canvas.Fill(kBack);
    DrawComboButtonFace(canvas.Canvas(), kButtonRect, c.look);
    for (const Probe& p : c.probes) EXPECT_EQ(p.colour, canvas.Pixel(p.x, p.y)) << p.x << "," << p.y;
  }
}

TEST(SkinComboBox, TakesTheStylesColoursAndPaintsEnabledOrNot) {
  lists_test::HostForm form;
  TskComboBox combo;
  ASSERT_TRUE(combo.Create(form.Handle(), 10, 10, 150, 200));
  combo.Add(L"One");
  combo.SetUIStyle(WinXP);
  EXPECT_EQ(GetBuiltinThemeColor(WinXP, 25), combo.GetBorderColor());
  EXPECT_EQ(GetBuiltinThemeColor(WinXP, 15), combo.GetButtonColor());
  EXPECT_EQ(COLORREF(0), combo.GetArrowColor());
  // DeepBlue draws the arrow itself: black while enabled, grey with a white
  // shadow while disabled, on the button colour.
  combo.SetUIStyle(DeepBlue);
  form.Show(true);
  COMBOBOXINFO info{sizeof(info)};
  ASSERT_TRUE(::GetComboBoxInfo(combo.Handle(), &info));
  const RECT& b = info.rcButton;
  const int x = b.left + (b.right - b.left) / 2 - 3, y = (b.bottom - b.top) / 2;
  const COLORREF button = GetBuiltinThemeColor(DeepBlue, 15), grey = RGB(128, 128, 128), white = RGB(255, 255, 255);
  struct Case { bool enabled; COLORREF arrow, shadow; };  // at (x + 3, y + 1) and (x + 7, y + 1)
  for (const Case& c : {Case{false, grey, white}, Case{true, 0, button}}) {
    SCOPED_TRACE(c.enabled);
    combo.Enable(c.enabled);
    lists_test::Pump();
    combo.DrawComboButton();
    EXPECT_EQ(c.arrow, PixelOf(combo.Handle(), x + 3, y + 1));
    EXPECT_EQ(c.shadow, PixelOf(combo.Handle(), x + 7, y + 1));
    EXPECT_EQ(button, PixelOf(combo.Handle(), b.right - 2, b.bottom - 2));
  }
}

// The framed list controls take one look: a ready skin file's colours (the
// system's where the skin lacks one), else the resolved style's items.
TEST(ListLooks, FileColoursFallBackToTheSystemsAndBuiltInOnesFollowTheStyle) {
  TskFileTheme ready, notReady;
  ready.SetThemeFile(testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_SOURCE_DIR") +
                                                   L"/tests/skin_file/data/plain.skn"));
  ASSERT_TRUE(ready.GetReady());
  lists_test::HostForm form;
  TskComboBox combo;
  TskEdit edit;
  TskListView list;
  ASSERT_TRUE(combo.Create(form.Handle(), 10, 10, 150, 200));
  ASSERT_TRUE(edit.Create(form.Handle(), L"", 10, 40, 150, 20));
  ASSERT_TRUE(list.Create(form.Handle(), 10, 70, 150, 100, false));
  struct Case {
    TskFileTheme* theme;
    TskUIStyle style;
    COLORREF border, button, header;
  };
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), face = ::GetSysColor(COLOR_BTNFACE);
  const Case cases[] = {
      {&ready, FromThemeFile, shadow, face, 0xC0C0C0},  // the skin has colour 2 only
      {&ready, WinXP, GetBuiltinThemeColor(WinXP, 25), GetBuiltinThemeColor(WinXP, 15), GetBuiltinThemeColor(WinXP, 15)},
      {&notReady, FromThemeFile, GetBuiltinThemeColor(DeepBlue, 25), GetBuiltinThemeColor(DeepBlue, 15),
       GetBuiltinThemeColor(DeepBlue, 15)},
      {nullptr, MacOS, GetBuiltinThemeColor(MacOS, 25), GetBuiltinThemeColor(MacOS, 15), GetBuiltinThemeColor(MacOS, 15)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.style));
    combo.SetFileTheme(c.theme);
    combo.SetUIStyle(c.style);
    edit.SetFileTheme(c.theme);
    edit.SetUIStyle(c.style);
    list.SetFileTheme(c.theme);
    list.SetUIStyle(c.style);
    EXPECT_EQ(c.border, combo.GetBorderColor());
    EXPECT_EQ(c.border, edit.GetBorderColor());
    EXPECT_EQ(c.border, list.GetBorderColor());
    EXPECT_EQ(c.button, combo.GetButtonColor());
    EXPECT_EQ(c.header, list.GetHeaderColor());
  }
  combo.SetFileTheme(nullptr);
  edit.SetFileTheme(nullptr);
  list.SetFileTheme(nullptr);
}

TEST(FitCaption, CutsWithDotsInsideTheRoom) {
  skin::Bitmap canvas(10, 10);
  HGDIOBJ old = ::SelectObject(canvas.Canvas(), ui::DefaultFont());
  auto width = [&](const std::wstring& s) { return skin_test::TextWidth(canvas.Canvas(), s); };
  const std::wstring caption = L"Registry key";
  EXPECT_EQ(caption, FitCaption(canvas.Canvas(), caption, width(caption)));
  for (int room : {width(caption) - 1, 40, 25}) {
    std::wstring cut = FitCaption(canvas.Canvas(), caption, room);
    ASSERT_GE(cut.size(), 4u) << room;
    EXPECT_EQ(L"...", cut.substr(cut.size() - 3)) << room;
    EXPECT_LT(width(cut), room) << room;
    EXPECT_GE(width(caption.substr(0, cut.size() - 2) + L"..."), room) << room;  // the longest that fits
  }
  EXPECT_EQ(L"R...", FitCaption(canvas.Canvas(), caption, 1));
  ::SelectObject(canvas.Canvas(), old);
}

TEST(SkinListView, TheHeaderIsDrawnInTheThemesColoursWithSeparators) {
  lists_test::HostForm form;
  TskListView view;
  ASSERT_TRUE(view.Create(form.Handle(), 10, 10, 400, 200, false));
  view.AddColumn(L"Problem", 150);
  view.AddColumn(L"Data", 100);
  ASSERT_NE(nullptr, view.HeaderHandle());
  RECT header{};
  ::GetClientRect(view.HeaderHandle(), &header);
  ASSERT_GT(header.bottom, 4);
  skin::Bitmap canvas(header.right, header.bottom);
  canvas.Fill(kBack);
  view.DrawHeader(canvas.Canvas());
  const COLORREF face = GetBuiltinThemeColor(DeepBlue, 15), line = GetBuiltinThemeColor(DeepBlue, 25);
  EXPECT_EQ(face, canvas.Pixel(140, 2));
  EXPECT_EQ(line, canvas.Pixel(149, 2));
  EXPECT_EQ(line, canvas.Pixel(249, 2));
  EXPECT_EQ(face, canvas.Pixel(300, 2));  // the rest of the header
  EXPECT_EQ(line, canvas.Pixel(300, header.bottom - 1));
}

// One line per column boundary at the section's right - 1; a second line
// just left of it only for a zero-width section, whose line would fall on
// the previous one.
TEST(SkinListView, HeaderSeparatorsFollowTheColumnBoundaries) {
  struct Case {
    const char* name;
    std::vector<int> widths;
    std::vector<int> lines, spaces;
  };
  const Case cases[] = {
      {"three columns", {150, 100, 50}, {149, 249, 299}, {147, 148, 150, 247, 248, 250, 297, 298, 300}},
      {"a zero-width middle column", {150, 0, 100}, {148, 149, 249}, {147, 150, 247, 248, 250}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lists_test::HostForm form;
    TskListView view;
    ASSERT_TRUE(view.Create(form.Handle(), 10, 10, 400, 200, false));
    for (int w : c.widths) view.AddColumn(L"", w);
    RECT header{};
    ::GetClientRect(view.HeaderHandle(), &header);
    skin::Bitmap canvas(header.right, header.bottom);
    canvas.Fill(kBack);
    view.DrawHeader(canvas.Canvas());
    const COLORREF face = GetBuiltinThemeColor(DeepBlue, 15), line = GetBuiltinThemeColor(DeepBlue, 25);
    for (int x : c.lines) EXPECT_EQ(line, canvas.Pixel(x, 2)) << x;
    for (int x : c.spaces) EXPECT_EQ(face, canvas.Pixel(x, 2)) << x;
  }
}

TEST(SkinListView, AListWithNoSkinnedBarsKeepsItsOwnAndAnEditFramesItself) {
  lists_test::HostForm form;
  TskListView view;
  TskEdit edit;
  ASSERT_TRUE(view.Create(form.Handle(), 10, 10, 200, 100, false));
  ASSERT_TRUE(edit.Create(form.Handle(), L"text", 10, 150, 100, 21));
  view.AddColumn(L"Problem", 150);
  for (int i = 0; i < 40; ++i) view.AddRow(L"row");
  form.Show(true);
  lists_test::Pump();
  view.SyncScrollBars();
  view.PlaceScrollBars();
  lists_test::Pump();
  SCROLLBARINFO own{sizeof(own)};
  ASSERT_TRUE(::GetScrollBarInfo(view.Handle(), OBJID_VSCROLL, &own));
  EXPECT_EQ(0u, own.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) << "the list's own bar stays";
  view.Send(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(1, ::GetScrollPos(view.Handle(), SB_VERT));
  EXPECT_EQ(GetBuiltinThemeColor(DeepBlue, 25), PixelOf(view.Handle(), 0, 0, true));
  edit.SetUIStyle(MacOS);
  EXPECT_EQ(GetBuiltinThemeColor(MacOS, 25), edit.GetBorderColor());
  edit.Invalidate();
  lists_test::Pump();
  EXPECT_EQ(GetBuiltinThemeColor(MacOS, 25), PixelOf(edit.Handle(), 0, 0, true));
}

TEST(SkinListView, KeysReachTheListsHandlerAsOnAPlainList) {
  lists_test::HostForm form;
  TskListView view;
  ASSERT_TRUE(view.Create(form.Handle(), 10, 10, 200, 100, false));
  WPARAM seen = 0;
  view.OnKey = [&](WPARAM key) { return seen = key, true; };
  view.Send(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(static_cast<WPARAM>(VK_DELETE), seen);
}

}  // namespace

namespace {

TEST(SkinListView, AnAssignedSkinnedBarFollowsTheListsOwnAndScrollsIt) {
  lists_test::HostForm form;
  TskListView view;
  TskScrollBar bar, across;
  ASSERT_TRUE(view.Create(form.Handle(), 10, 10, 200, 150, false));
  for (TskScrollBar* b : {&bar, &across}) ASSERT_TRUE(b->Create(form.Handle(), 0, 0, 100, 16));
  view.AddColumn(L"Problem", 400);  // wider than the list: it scrolls sideways too
  for (int i = 0; i < 60; ++i) view.AddRow(L"row " + std::to_wstring(i));
  form.Show(true);
  lists_test::Pump();
  view.SetVScrollBar(&bar);
  view.SetHScrollBar(&across);
  EXPECT_EQ(skVertical, bar.GetOrientation());
  EXPECT_EQ(skHorizontal, across.GetOrientation());
  // Both inside the list's frame, each stopping short of the other's corner.
  auto edges = [](const RECT& r) { return std::vector<LONG>{r.left, r.top, r.right, r.bottom}; };
  const int w = bar.Width(), h = across.Height();
  EXPECT_EQ(edges({10 + 200 - w - 2, 11, 10 + 200 - 2, 11 + 150 - 2 - h}), edges(bar.Bounds()));
  EXPECT_EQ(edges({11, 10 + 150 - h - 2, 11 + 200 - 2 - w, 10 + 150 - 2}), edges(across.Bounds()));
  EXPECT_TRUE(bar.Visible());
  EXPECT_TRUE(bar.Enabled());
  EXPECT_GT(bar.GetLineButton(), 0);
  EXPECT_EQ(0, bar.GetPosition());
  // The bar's end is the list's end: the last row shows at the bottom.
  const int perPage = static_cast<int>(view.Send(LVM_GETCOUNTPERPAGE));
  ASSERT_GT(perPage, 0);
  EXPECT_EQ(60 - perPage, bar.GetMax());

  auto top = [&] { return static_cast<int>(view.Send(LVM_GETTOPINDEX)); };
  bar.SetPosition(5);  // the user drags the thumb five lines down
  EXPECT_EQ(5, top());
  bar.StepForward();  // the down arrow
  EXPECT_EQ(6, top());
  view.Send(WM_VSCROLL, SB_LINEDOWN, 0);  // the list scrolls itself: the bar follows
  EXPECT_EQ(7, bar.GetPosition());

  bar.SetPosition(bar.GetMax());
  EXPECT_EQ(60 - perPage, top());

  view.SetUIStyle(MacOS);
  EXPECT_EQ(MacOS, bar.GetUIStyle()) << "the list passes its style on";

  view.Clear();  // every row fits: the list's bar goes, and the skinned one
  EXPECT_FALSE(bar.Visible());
  EXPECT_FALSE(bar.Enabled());
  EXPECT_EQ(0, bar.GetLineButton());

  view.SetHScrollBar(nullptr);
  view.SetVScrollBar(nullptr);  // released: range back to 0-100, and it scrolls nothing
  EXPECT_EQ(100, bar.GetMax());
  EXPECT_TRUE(bar.Enabled());
  for (int i = 0; i < 60; ++i) view.AddRow(L"row");
  bar.SetPosition(3);
  EXPECT_EQ(0, top());

  {
    TskScrollBar brief;  // destroyed before the list: the list lets go of it
    ASSERT_TRUE(brief.Create(form.Handle(), 0, 0, 100, 16));
    view.SetVScrollBar(&brief);
  }
  EXPECT_EQ(nullptr, view.GetVScrollBar());
  view.Send(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(1, top());
}

}  // namespace
