// The skinned controls from the keyboard, through the program's loop step:
// a flat button, a radio group, a check box, a push button and two bare
// radio buttons on one form; and a themed menu picking an item by letter.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/FlatButton.h"
#include "skin/controls/Panels.h"
#include "skin/menus/PopupMenu.h"
#include "ui/DialogKeys.h"

namespace {

using namespace skin;

void Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ui::DispatchWithDialogKeys(msg);
    ::Sleep(5);
  }
}

// A key pressed and released in the focused window, as a keyboard does it.
void Press(WPARAM key) {
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
  Pump();
  ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
  Pump();
}

void PressAlt(wchar_t letter) {
  ::PostMessageW(::GetFocus(), WM_SYSCHAR, letter, 0x20000001);
  Pump();
}

class SkinKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND f = form.Handle();
    flat.Create(f, L"Page", 5, 5, 75, 53);
    group.Create(f, L"Time Intervals", 90, 5, 300, 100, {L"a", L"b", L"c", L"d", L"e"}, 2);
    check.Create(f, L"&Tick", 10, 120);
    button.Create(f, L"&Go", 10, 150);
    first.Create(f, L"One", 10, 190, 100, 18, true);
    second.Create(f, L"Two", 10, 210, 100, 18, false);
    group.SetItemIndex(2);
    group.SetItemEnabled(3, false);
    second.SetChecked(true);
    flat.OnClick = [this] { clicks.push_back(L"flat"); };
    button.OnClick = [this] { clicks.push_back(L"go"); };
    ::SetActiveWindow(f);
    ::SetFocus(flat.Handle());
    Pump();
  }

  controls_test::HostForm form;
  TFlatButton flat;
  TskRadioGroup group;
  TskCheckBox check;
  TskButton button;
  TskRadioButton first, second;
  std::vector<std::wstring> clicks;
};

TEST_F(SkinKeyboard, EveryControlIsReachedAndWorkedFromTheKeyboard) {
  struct Step {
    WPARAM key;
    HWND focus;
    int groupIndex;
  };
  const Step steps[] = {
      {VK_TAB, group.Button(2).Handle(), 2},   // the group is entered at its checked item
      {VK_DOWN, group.Button(4).Handle(), 4},  // the disabled item is passed over
      {VK_RIGHT, group.Button(0).Handle(), 0},
      {VK_UP, group.Button(4).Handle(), 4},
      {VK_TAB, check.Handle(), 4},
      {VK_SPACE, check.Handle(), 4},
      {VK_TAB, button.Handle(), 4},
      {VK_RETURN, button.Handle(), 4},
      {VK_TAB, second.Handle(), 4},  // two radio buttons are one stop, entered at the checked one
      {VK_UP, first.Handle(), 4},
      {VK_TAB, flat.Handle(), 4},
      {VK_RETURN, flat.Handle(), 4},
      {VK_SPACE, flat.Handle(), 4},
  };
  for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
    Press(steps[i].key);
    EXPECT_EQ(::GetFocus(), steps[i].focus) << "step " << i;
    EXPECT_EQ(group.ItemIndex(), steps[i].groupIndex) << "step " << i;
  }
  EXPECT_TRUE(check.Checked());
  EXPECT_TRUE(first.Checked());
  EXPECT_FALSE(second.Checked());
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"go", L"flat", L"flat"}));
  // Shift+Tab out of the group goes back to the flat button.
  ::SetFocus(group.Button(4).Handle());
  BYTE state[256] = {};
  state[VK_SHIFT] = 0x80;
  ::SetKeyboardState(state);
  Press(VK_TAB);
  BYTE none[256] = {};
  ::SetKeyboardState(none);
  EXPECT_EQ(::GetFocus(), flat.Handle());
}

TEST_F(SkinKeyboard, AltLetterClicksTheButtonAndTicksTheBox) {
  PressAlt(L'g');
  PressAlt(L'T');
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"go"});
  EXPECT_TRUE(check.Checked());
  EXPECT_EQ(::GetFocus(), check.Handle());
}

TEST_F(SkinKeyboard, TheFocusedFlatButtonShowsItsFocus) {
  auto drawn = [this] {
    Bitmap b;
    flat.PaintTo(b);
    return b;
  };
  Bitmap focused = drawn();
  ::SetFocus(button.Handle());
  Bitmap plain = drawn();
  int changed = 0;
  for (int x = 3; x < plain.Width() - 3; ++x) changed += focused.Pixel(x, 3) != plain.Pixel(x, 3);
  EXPECT_GT(changed, (plain.Width() - 6) / 3) << "a dotted line inside the border";
}

TEST(SkinMenuKeys, AnUnderlinedLetterExecutesItsEnabledItem) {
  TskMainMenu menu;
  const struct {
    const wchar_t* caption;
    bool enabled;
  } items[] = {{L"&File", true}, {L"-", true}, {L"E&xit", false}, {L"&Edit", true}, {L"Fi&nd", true},
               {L"Save && &quit", true}};
  for (const auto& i : items) {
    TskMenuItem item{i.caption};
    item.Enabled = i.enabled;
    menu.Items.push_back(item);
  }
  HMENU bar = menu.BuildMenuBar();
  const struct {
    wchar_t key;
    int index;  // -1: the key is ignored
  } cases[] = {{L'f', 0}, {L'E', 3}, {L'e', 3}, {L'N', 4}, {L'x', -1}, {L'q', 5}, {L'&', -1}, {L'z', -1}};
  for (const auto& c : cases) {
    LRESULT r = AnswerMenuChar(bar, c.key);
    if (c.index < 0) {
      EXPECT_EQ(HIWORD(r), MNC_IGNORE) << char(c.key);
    } else {
      EXPECT_EQ(HIWORD(r), MNC_EXECUTE) << char(c.key);
      EXPECT_EQ(LOWORD(r), c.index) << char(c.key);
    }
  }
  ::DestroyMenu(bar);
}

}  // namespace
