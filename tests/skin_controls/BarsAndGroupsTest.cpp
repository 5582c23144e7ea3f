// Track-bar clamping and paging, the scroll bar's thumb, and the layout and
// selection of radio groups.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Panels.h"
#include "skin/theme/BuiltinTheme.h"

using namespace skin;
using namespace controls_test;

namespace {

TEST(TrackBar, SettersClampAndFireOnChangeOncePerChange) {
  HostForm form;
  TskTrackBar track;
  ASSERT_TRUE(track.Create(form.Handle(), 0, 0, 150, 30));
  int changes = 0;
  track.OnChange = [&] { ++changes; };
  track.SetPosition(8);
  EXPECT_EQ(1, changes);
  track.SetMax(5);
  EXPECT_EQ(5, track.GetPosition());
  EXPECT_EQ(2, changes);
  EXPECT_EQ(-3, track.LastChange());

  struct Case {
    const char* what;
    void (*act)(TskTrackBar&);
    int min, max, position;
  };
  const Case cases[] = {
      {"position above max", [](TskTrackBar& t) { t.SetPosition(100); }, 0, 5, 5},
      {"position below min", [](TskTrackBar& t) { t.SetPosition(-100); }, 0, 5, 0},
      {"min above max", [](TskTrackBar& t) { t.SetMin(9); }, 5, 5, 5},
      {"max below min", [](TskTrackBar& t) { t.SetMin(2), t.SetMax(1); }, 2, 2, 2},
      {"end key", [](TskTrackBar& t) { t.SetMax(7), t.Send(WM_KEYDOWN, VK_END, 0); }, 0, 7, 7},
      {"home key", [](TskTrackBar& t) { t.Send(WM_KEYDOWN, VK_HOME, 0); }, 0, 5, 0},
      {"right key", [](TskTrackBar& t) { t.Send(WM_KEYDOWN, VK_RIGHT, 0); }, 0, 5, 1},
  };
  for (const Case& c : cases) {
    TskTrackBar t;
    ASSERT_TRUE(t.Create(form.Handle(), 0, 40, 150, 30));
    t.SetMax(5);
    c.act(t);
    EXPECT_EQ(c.min, t.GetMin()) << c.what;
    EXPECT_EQ(c.max, t.GetMax()) << c.what;
    EXPECT_EQ(c.position, t.GetPosition()) << c.what;
  }

  track.SetPageSize(20);  // above Max: ignored
  EXPECT_EQ(2, track.GetPageSize());
  track.SetLineSize(-1);
  EXPECT_EQ(1, track.GetLineSize());
}

TEST(TrackBar, ClickOnTheTrackPagesTowardsTheClickNeverPastIt) {
  HostForm form;
  TskTrackBar track;
  ASSERT_TRUE(track.Create(form.Handle(), 0, 0, 150, 30));
  track.SetMax(100);
  track.SetPosition(10);
  const int span = track.Width() - track.Slider().Width();
  track.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(span, 5));
  track.Send(WM_LBUTTONUP, 0, At(span, 5));
  EXPECT_EQ(12, track.GetPosition());
  const int nearRight = (track.GetSliderPosition().x + track.Slider().Width() + 1);
  track.SetPageSize(50);
  track.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(nearRight, 5));
  track.Send(WM_LBUTTONUP, 0, At(nearRight, 5));
  EXPECT_LT(track.GetPosition(), 12 + 50) << "stops at the clicked value";
  EXPECT_GT(track.GetPosition(), 12);
}

TEST(TrackBar, TicksAndSliderPositionOverWideRanges) {
  HostForm form;
  TskTrackBar track;
  ASSERT_TRUE(track.Create(form.Handle(), 0, 0, 150, 30));
  struct Case {
    int frequency;
    size_t ticks;
  };
  for (Case c : {Case{1, 11}, Case{3, 5}, Case{0, 2}, Case{-4, 2}}) {
    track.Frequency = c.frequency;
    EXPECT_EQ(c.ticks, track.TickPositions().size()) << c.frequency;
  }
  track.SetMax(2000000000);
  track.SetMin(-2000000000);
  track.SetPosition(2000000000);
  EXPECT_EQ(track.Width() - track.Slider().Width(), track.GetSliderPosition().x);
  track.SetPosition(0);
  EXPECT_EQ((track.Width() - track.Slider().Width()) / 2, track.GetSliderPosition().x);
}

TEST(ScrollBar, ThumbIsTenPercentOfTheTrackAndZeroWidthHides) {
  HostForm form;
  TskScrollBar bar;
  ASSERT_TRUE(bar.Create(form.Handle(), 0, 0, 200, 16));
  const int trackLength = bar.Track().Width();
  EXPECT_EQ(trackLength * 10 / 100, bar.Track().Slider().Width());
  bar.SetLineButton(5);
  EXPECT_EQ(16, bar.Track().Slider().Width());
  bar.SetMax(50);
  bar.StepForward();
  EXPECT_EQ(1, bar.GetPosition());
  bar.SetBounds(0, 0, 0, 16);
  EXPECT_FALSE(bar.Visible());
}

// A click on the track beyond the thumb moves the bar by LargeChange, its
// value's low 16 bits; one above Max is refused. The thumb keeps its length.
TEST(ScrollBar, LargeChangeIsTheStepOfAClickOnTheTrack) {
  HostForm form;
  TskScrollBar bar;
  ASSERT_TRUE(bar.Create(form.Handle(), 0, 0, 200, 16));
  const int thumb = bar.Track().Slider().Width();
  struct Case { int value; short page; };
  for (const Case c : {Case{30, 30}, Case{0x10000 + 40, 40}, Case{500, 40}}) {
    SCOPED_TRACE(c.value);
    bar.SetPosition(0);
    bar.SetLargeChange(c.value);
    EXPECT_EQ(c.page, bar.GetLargeChange());
    const int end = bar.Track().Width() - 2;
    bar.Track().Send(WM_LBUTTONDOWN, MK_LBUTTON, At(end, 5));
    bar.Track().Send(WM_LBUTTONUP, 0, At(end, 5));
    EXPECT_EQ(c.page, bar.GetPosition());
    EXPECT_EQ(thumb, bar.Track().Slider().Width());
  }
}

// The test pictures give MacOS a 10-pixel slider; the other styles fall
// back to the plain 20-pixel one.
TEST(TrackBar, AStyleChangeRebuildsTheBarAtOnce) {
  HostForm form;
  TskTrackBar track;
  ASSERT_TRUE(track.Create(form.Handle(), 0, 0, 150, 30));
  TskFileTheme notReady;
  struct Case {
    TskUIStyle style;
    TskFileTheme* theme;
    int height;
  };
  for (Case c : {Case{MacOS, nullptr, 10}, Case{DeepBlue, nullptr, 20}, Case{MacOS, nullptr, 10},
                 Case{FromThemeFile, &notReady, 20}}) {
    SCOPED_TRACE(int(c.style));
    track.SetUIStyle(c.style);
    track.SetFileTheme(c.theme);
    EXPECT_EQ(c.height, track.Height());
    EXPECT_EQ(c.height, track.Slider().Height());
  }
  track.SetFileTheme(nullptr);
}

TEST(ScrollBar, TheTrackTakesTheBarsColourAndDrawsNoGroove) {
  HostForm form;
  TskScrollBar bar;
  ASSERT_TRUE(bar.Create(form.Handle(), 0, 0, 200, 16));
  auto trackIsPlain = [&](COLORREF want) {
    Bitmap shot = Render(bar.Track().Handle());
    // Right of the thumb, which sits at the left at position 0.
    for (int y = 0; y < shot.Height(); ++y)
      if (shot.Pixel(shot.Width() - 3, y) != want) return false;
    return shot.Height() > 0;
  };
  for (TskUIStyle s : {MacOS, WinXP, DeepBlue, BlueGlass}) {
    SCOPED_TRACE(int(s));
    bar.SetUIStyle(s);
    const COLORREF want = GetBuiltinThemeColor(s, 31);
    EXPECT_EQ(want, bar.GetColor());
    EXPECT_EQ(want, bar.Track().GetColor());
    EXPECT_TRUE(trackIsPlain(want));
  }
  bar.SetColor(RGB(1, 2, 3));
  EXPECT_EQ(RGB(1, 2, 3), bar.Track().GetColor());
  EXPECT_TRUE(trackIsPlain(RGB(1, 2, 3)));
}

TEST(RadioGroup, FiveItemsInTwoColumns) {
  HostForm form;
  TskRadioGroup group;
  ASSERT_TRUE(group.Create(form.Handle(), L"Interval", 0, 0, 320, 91));
  group.SetTopMargin(5);
  group.SetColumns(2);
  group.SetItems({L"one", L"two", L"three", L"four", L"five"});
  ASSERT_EQ(5, group.ButtonCount());
  const int lefts[] = {8, 8, 8, 163, 163};
  const int tops[] = {16, 40, 64, 16, 40};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(lefts[i], group.Button(i).Left()) << i;
    EXPECT_EQ(tops[i], group.Button(i).Top()) << i;
  }
  group.SetColumns(0);  // no division by zero: one column
  EXPECT_EQ(8, group.Button(4).Left());
  group.SetColumns(-1);  // refused
  EXPECT_EQ(0, group.GetColumns());
}

TEST(RadioGroup, ItemIndexSelectsOneAndFiresTheGroupsClick) {
  HostForm form;
  TskRadioGroup group;
  ASSERT_TRUE(group.Create(form.Handle(), L"Choice", 0, 0));
  group.SetItems({L"a", L"b", L"c", L"d", L"e"});
  int clicks = 0;
  group.OnClick = [&] { ++clicks; };
  EXPECT_EQ(-1, group.GetItemIndex());
  group.SetItemIndex(1);
  group.SetItemIndex(3);
  EXPECT_EQ(3, group.GetItemIndex());
  EXPECT_FALSE(group.Button(1).GetChecked());
  EXPECT_EQ(2, clicks);
  group.SetItemIndex(5);  // out of range: ignored
  EXPECT_EQ(3, group.GetItemIndex());
  group.SetItemIndex(-1);
  EXPECT_EQ(-1, group.GetItemIndex());
  group.SetItems({L"a", L"b"});
  EXPECT_EQ(2, group.ButtonCount());
  group.SetItemEnabled(1, false);
  EXPECT_FALSE(group.Button(1).Enabled());
}


TEST(FileThemeRemoval, ControlsDropTheThemeAndTakeDeepBlue) {
  HostForm form;
  TskGroupBox box;
  ASSERT_TRUE(box.Create(form.Handle(), L"Group", 0, 0));
  TskProgressBar inner;
  ASSERT_TRUE(inner.Create(box.Handle(), 5, 20));
  {
    TskFileTheme theme;
    box.SetFileTheme(&theme);
    box.SetUIStyle(WinXP);
    EXPECT_EQ(&theme, inner.GetFileTheme()) << "the group passes its look on";
    EXPECT_EQ(WinXP, inner.GetUIStyle());
  }
  EXPECT_EQ(nullptr, box.GetFileTheme());
  EXPECT_EQ(DeepBlue, box.GetUIStyle());
  EXPECT_EQ(nullptr, inner.GetFileTheme());
  EXPECT_EQ(DeepBlue, inner.GetUIStyle());
  EXPECT_FALSE(Render(inner.Handle()).Empty());
}

}  // namespace

namespace {

// A group box takes its parent's colour, and an item drawn transparent inside
// it stands on that colour: the group paints itself into the picture the item
// hands it, and answers a plain child's colour question with it too.
TEST(GroupBackground, AnItemInAGroupStandsOnTheGroupsColour) {
  HostForm form;
  TskImagePanel panel;
  ASSERT_TRUE(panel.Create(form.Handle(), L"", 0, 0, 380, 280));
  panel.SetColor(RGB(10, 200, 30));
  struct Case {
    const char* parent;
    HWND handle;
    COLORREF colour;
  };
  const Case cases[] = {{"form", form.Handle(), ::GetSysColor(COLOR_BTNFACE)},
                        {"coloured panel", panel.Handle(), RGB(10, 200, 30)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parent);
    TskGroupBox group;
    ASSERT_TRUE(group.Create(c.handle, L"Group", 10, 10, 300, 120));
    EXPECT_EQ(c.colour, RealColor(group.GetColor()));
    TskCheckBox box;
    ASSERT_TRUE(box.Create(group.Handle(), L"On", 10, 30, 150, 17));
    TskRadioGroup choice;
    ASSERT_TRUE(choice.Create(group.Handle(), L"Choice", 170, 20, 120, 90, {L"a", L"b"}, 1));
    SetStyleOfDescendants(c.handle, WinXP);  // as the dialogs do: check marks drawn transparent
    const std::pair<const char*, TskCheckBox*> items[] = {{"check box", &box}, {"radio item", &choice.Button(1)}};
    for (const auto& item : items) {
      Bitmap shot = Render(item.second->Handle());
      EXPECT_EQ(c.colour, shot.Pixel(shot.Width() - 2, shot.Height() / 2)) << "behind the " << item.first;
    }
    HDC dc = ::CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(group.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0));
    ::DeleteDC(dc);
    LOGBRUSH lb{};
    ASSERT_EQ(static_cast<int>(sizeof(lb)), ::GetObjectW(brush, sizeof(lb), &lb));
    EXPECT_EQ(c.colour, lb.lbColor) << "a plain label's background";
  }
}

// The check mark sits at the right and the group's frame leaves its caption
// gap at the right, only when both the control and the system read right to
// left; a radio group's first column is the rightmost whenever it reads so.
TEST(RightToLeft, CheckBoxGroupFrameAndItemColumnsAreMirrored) {
  HostForm form;
  const COLORREF line = RGB(10, 200, 10);
  struct Case {
    bool style, system, mirrored;
  };
  for (Case c : {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << ", system " << c.system);
    skin_test::RightToLeftSystem system(c.system);
    TskCheckBox box;
    ASSERT_TRUE(box.Create(form.Handle(), L"Caption", 0, 0, 120, 17));
    box.SetAutoSize(false);
    if (c.style) skin_test::ReadRightToLeft(box.Handle());
    Bitmap shot = Render(box.Handle());
    const int top = (shot.Height() - 13) / 2;
    EXPECT_EQ(c.mirrored, kCell[2] == shot.Pixel(shot.Width() - 14 + 6, top + 6));
    EXPECT_EQ(!c.mirrored, kCell[2] == shot.Pixel(1 + 6, top + 6));

    TskGroupBox group;
    ASSERT_TRUE(group.Create(form.Handle(), L"Caption", 0, 30, 185, 105));
    group.SetBorderColor(line);
    if (c.style) skin_test::ReadRightToLeft(group.Handle());
    Bitmap frame = Render(group.Handle());
    const int y = group.FontHeight() / 2 + 1;
    EXPECT_EQ(c.mirrored, frame.Pixel(20, y) == line) << "the gap is at the right";
    EXPECT_EQ(!c.mirrored, frame.Pixel(185 - 20, y) == line) << "the gap is at the left";

    TskRadioGroup radios;
    ASSERT_TRUE(radios.Create(form.Handle(), L"Interval", 0, 140, 320, 91));
    if (c.style) skin_test::ReadRightToLeft(radios.Handle());
    radios.SetColumns(2);
    radios.SetItems({L"one", L"two", L"three", L"four", L"five"});
    const int first = radios.Button(0).Left(), fourth = radios.Button(3).Left();
    EXPECT_EQ(c.style ? 320 - 8 - radios.Button(0).Width() : 8, first);
    EXPECT_EQ(c.style ? 320 - 163 - radios.Button(3).Width() : 163, fourth);
  }
}

}  // namespace
