// The skinned controls from the keyboard, through the program's loop step:
// a flat button, a radio group, a check box, a push button and two bare
// radio buttons on one form; and a themed menu picking an item by letter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/FlatButton.h"
#include "skin/controls/Panels.h"
#include "skin/menus/PopupMenu.h"
#include "ui/DialogKeys.h"

namespace {

using namespace skin;

void Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round, ::Sleep(5))
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ui::DispatchWithDialogKeys(msg);
}

// Marks a key whose press went elsewhere: only its release comes here.
constexpr WPARAM kReleaseOnly = 0x10000;

// A key as the keyboard sends it to the focused window: down, its
// character handled, up. A small letter comes as Alt+letter, a capital as
// the small letter typed alone.
void Press(WPARAM key) {
  if (key & kReleaseOnly) {
    ::PostMessageW(::GetFocus(), WM_KEYUP, key & ~kReleaseOnly, 0xC0000001);
    return Pump();
  }
  if ((key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z')) {
    const bool alt = key >= 'a';
    ::PostMessageW(::GetFocus(), alt ? WM_SYSCHAR : WM_CHAR, alt ? key : key + 32, alt ? 0x20000001 : 1);
    return Pump();
  }
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
  Pump();
  ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
  Pump();
}

TEST(SkinKeyboard, EveryControlIsReachedAndWorkedFromTheKeyboard) {
  controls_test::HostForm form;
  HWND f = form.Handle();
  TFlatButton flat;
  TskRadioGroup group;
  TskCheckBox check;
  TskButton button;
  TskRadioButton first, second;
  flat.Create(f, L"Page", 5, 5, 75, 53);
  group.Create(f, L"Time Intervals", 90, 5, 300, 100, {L"a", L"b", L"c", L"d", L"e"}, 2);
  check.Create(f, L"&Tick", 10, 120);
  button.Create(f, L"&Go", 10, 150);
  first.Create(f, L"One", 10, 190, 100, 18, true);
  second.Create(f, L"Two", 10, 210, 100, 18, false);
  group.SetItemIndex(2);
  group.SetItemEnabled(3, false);
  second.SetChecked(true);
  std::vector<std::wstring> clicks;
  flat.OnClick = [&] { clicks.push_back(L"flat"); };
  button.OnClick = [&] { clicks.push_back(L"go"); };
  ::SetActiveWindow(f);
  ::SetFocus(flat.Handle());
  Bitmap focused, plain;
  flat.PaintTo(focused);

  const struct {
    WPARAM key;
    HWND focus;
    int index;
  } steps[] = {
      {VK_TAB, group.Button(2).Handle(), 2},   // the group is entered at its checked item
      {VK_DOWN, group.Button(4).Handle(), 4},  // the disabled item is passed over
      {VK_RIGHT, group.Button(0).Handle(), 0}, {VK_UP, group.Button(4).Handle(), 4},
      {VK_TAB, check.Handle(), 4},             {VK_SPACE, check.Handle(), 4},
      {kReleaseOnly | VK_RETURN, check.Handle(), 4},  // a release alone changes no tick
      {kReleaseOnly | VK_SPACE, check.Handle(), 4},
      {VK_TAB, button.Handle(), 4},            {VK_RETURN, button.Handle(), 4},
      {'G', button.Handle(), 4},  // a letter alone counts on a skinned button
      {VK_TAB, second.Handle(), 4},  // two radio buttons are one stop, entered at the checked one
      {VK_UP, first.Handle(), 4},              {VK_TAB, flat.Handle(), 4},
      {VK_RETURN, flat.Handle(), 4},           {VK_SPACE, flat.Handle(), 4},
      {'G', flat.Handle(), 4},  // but not elsewhere
      {'g', flat.Handle(), 4},                 {'t', check.Handle(), 4},
  };
  for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
    Press(steps[i].key);
    EXPECT_EQ(::GetFocus(), steps[i].focus) << "step " << i;
    EXPECT_EQ(group.ItemIndex(), steps[i].index) << "step " << i;
  }
  EXPECT_FALSE(check.Checked()) << "Space ticked it, Alt+T unticked it";
  EXPECT_TRUE(first.Checked() && !second.Checked());
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"go", L"go", L"flat", L"flat", L"go"}));
  // The focused flat button draws a dotted line inside its border.
  flat.PaintTo(plain);
  int changed = 0;
  for (int x = 3; x < plain.Width() - 3; ++x) changed += focused.Pixel(x, 3) != plain.Pixel(x, 3);
  EXPECT_GT(changed, (plain.Width() - 6) / 3);
}

TEST(SkinMenuKeys, AnUnderlinedLetterExecutesItsEnabledItem) {
  TskMainMenu menu;
  for (const wchar_t* caption : {L"&File", L"-", L"E&xit", L"&Edit", L"Save && &quit"}) menu.Items.push_back({caption});
  menu.Items[2].Enabled = false;
  HMENU bar = menu.BuildMenuBar();
  const struct {
    wchar_t key;
    int index;  // -1: the key is ignored
  } cases[] = {{L'f', 0}, {L'E', 3}, {L'x', -1}, {L'Q', 4}, {L'&', -1}, {L'z', -1}};
  for (const auto& c : cases) {
    LRESULT r = AnswerMenuChar(bar, c.key);
    EXPECT_EQ(HIWORD(r), c.index < 0 ? MNC_IGNORE : MNC_EXECUTE) << char(c.key);
    if (c.index >= 0) {
      EXPECT_EQ(LOWORD(r), c.index) << char(c.key);
    }
  }
  ::DestroyMenu(bar);
}

}  // namespace
