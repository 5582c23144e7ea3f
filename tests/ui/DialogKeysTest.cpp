// The keyboard of a form that is not modal, through the one loop step every
// loop of the program uses: Tab and Shift+Tab, a run of radio buttons as one
// stop moved by the arrows, Enter on the focused button, Alt+letter, and the
// focus kept across another window's activation; and Escape on modal forms.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/KeyPresser.h"
#include "ui/Application.h"
#include "ui/DialogKeys.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/RadioGroup.h"
#include "ui/StdControls.h"

namespace {

void Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ui::DispatchWithDialogKeys(msg);
    ::Sleep(5);
  }
}

// Presses `key` where the keyboard would send it (the focused window), with
// `held` keys down meanwhile.
void Press(WPARAM key, std::initializer_list<BYTE> held = {}) {
  BYTE state[256] = {};
  for (BYTE k : held) state[k] = 0x80;
  ::SetKeyboardState(state);
  // The key goes up only after the character it typed was handled, as from
  // a real keyboard.
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
  Pump();
  ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
  Pump();
  BYTE none[256] = {};
  ::SetKeyboardState(none);
}

// Alt plus a letter, as the keyboard delivers it once translated.
void PressAlt(wchar_t letter) {
  ::PostMessageW(::GetFocus(), WM_SYSCHAR, letter, 0x20000001);
  Pump();
}

// Two buttons, a check box, three radio buttons, an edit and a button inside
// a group box, made in that order.
class Keyboard : public ::testing::Test {
 protected:
  struct Probe : ui::Form {
    Probe() : ui::Form(L"VantorelDialogKeysProbe") {}
    std::vector<UINT> commands;
    bool OnCommand(UINT, UINT id) override {
      commands.push_back(id);
      return true;
    }
  };

  void SetUp() override {
    ui::Application::Instance().Initialize();
    ASSERT_TRUE(form.Create(nullptr, L"keys", WS_OVERLAPPEDWINDOW));
    HWND f = form.Handle();
    first.Create(f, L"&First", 10, 10, 80, 24);
    check.Create(f, L"&Check", 10, 40, 80, 20);
    for (int i = 0; i < 3; ++i) radios[i].Create(f, L"r", 10, 70 + 22 * i, 80, 20, i == 0);
    edit.Create(f, L"text", 10, 140, 80, 22);
    second.Create(f, L"Second", 10, 170, 80, 24);
    group.Create(f, L"group", 100, 10, 150, 80);
    inner.Create(group.Handle(), L"&Inner", 10, 20, 80, 24);
    radios[1].SetChecked(true);
    first.OnClick = [this] { clicks.push_back(L"first"); };
    second.OnClick = [this] { clicks.push_back(L"second"); };
    inner.OnClick = [this] { clicks.push_back(L"inner"); };
    ::ShowWindow(f, SW_SHOW);
    ::SetFocus(f);
    Pump();
  }
  void TearDown() override {
    BYTE none[256] = {};
    ::SetKeyboardState(none);
  }

  Probe form;
  ui::Button first, second, inner;
  ui::CheckBox check;
  ui::RadioButton radios[3];
  ui::Edit edit;
  ui::GroupBox group;
  std::vector<std::wstring> clicks;
};

TEST_F(Keyboard, TabWalksTheStopsInWindowOrderAndShiftTabWalksBack) {
  const std::vector<HWND> forward = {first.Handle(),  check.Handle(),  radios[1].Handle(), edit.Handle(),
                                     second.Handle(), inner.Handle(), first.Handle()};
  for (size_t i = 0; i < forward.size(); ++i) {
    Press(VK_TAB);
    EXPECT_EQ(::GetFocus(), forward[i]) << "Tab " << i + 1;
  }
  for (size_t i = forward.size() - 1; i > 0; --i) {
    Press(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(::GetFocus(), forward[i - 1]) << "Shift+Tab back to stop " << i - 1;
  }
  // An edit reached by Tab has its text selected.
  ::SetFocus(check.Handle());
  Press(VK_TAB);
  Press(VK_TAB);
  DWORD from = 0, to = 0;
  edit.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(to - from, 4u);
}

TEST_F(Keyboard, ArrowsMoveTheChoiceAlongTheRunOfRadioButtons) {
  radios[0].Enable(false);
  ::SetFocus(radios[1].Handle());
  const struct {
    WPARAM key;
    int chosen;
  } steps[] = {{VK_DOWN, 2}, {VK_RIGHT, 1}, {VK_UP, 2}, {VK_LEFT, 1}};  // the disabled first one is skipped
  for (const auto& s : steps) {
    Press(s.key);
    EXPECT_EQ(::GetFocus(), radios[s.chosen].Handle()) << "key " << s.key;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(radios[i].Checked(), i == s.chosen) << "key " << s.key << " button " << i;
  }
  // Elsewhere the arrows move between the stops, unless the control keeps them.
  ::SetFocus(first.Handle());
  Press(VK_DOWN);
  EXPECT_EQ(::GetFocus(), check.Handle());
  ::SetFocus(edit.Handle());
  Press(VK_UP);
  EXPECT_EQ(::GetFocus(), edit.Handle());
}

TEST_F(Keyboard, EnterSpaceAndAltLetterActOnTheRightControl) {
  ::SetFocus(second.Handle());
  Press(VK_RETURN);
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"second"}) << "the focused button takes Enter";
  ::SetFocus(check.Handle());
  Press(VK_RETURN);
  EXPECT_EQ(form.commands, std::vector<UINT>{IDOK}) << "elsewhere Enter is the form's";
  Press(VK_SPACE);
  EXPECT_TRUE(check.Checked());
  PressAlt(L'i');
  PressAlt(L'F');
  PressAlt(L'c');
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"second", L"inner", L"first"}));
  EXPECT_FALSE(check.Checked());
  // A hidden container's controls have no letters.
  group.Show(false);
  PressAlt(L'i');
  EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(Keyboard, TheFocusComesBackAfterAnotherWindowWasActive) {
  ::SetFocus(second.Handle());
  Probe other;
  ASSERT_TRUE(other.Create(nullptr, L"other", WS_OVERLAPPEDWINDOW));
  ::ShowWindow(other.Handle(), SW_SHOW);
  ::SetActiveWindow(other.Handle());
  Pump();
  ASSERT_NE(::GetFocus(), second.Handle());
  ::SetActiveWindow(form.Handle());
  Pump();
  EXPECT_EQ(::GetFocus(), second.Handle());
}

// A modal form with one button that is not a cancel button.
class OneButton : public ui::Form {
 public:
  explicit OneButton(DWORD style) : ui::Form(L"VantorelOneButton") {
    Create(nullptr, L"one", style);
    ok.Create(hwnd_, L"OK", 10, 10, 60, 20);
    ok.SetId(IDOK);
  }
  ui::Button ok;
};

TEST(ModalKeys, EscapeClosesAModalFormWithACloseBoxOnly) {
  ui::Application::Instance().Initialize();
  const struct {
    DWORD style;
    bool closes;
  } cases[] = {{WS_POPUP | WS_CAPTION | WS_SYSMENU, true}, {WS_POPUP | WS_CAPTION, false}};
  for (const auto& c : cases) {
    OneButton dialog(c.style);
    testing_support::KeyPresser press(L"VantorelOneButton", VK_ESCAPE);
    EXPECT_EQ(dialog.ShowModal(nullptr), IDCANCEL);
    EXPECT_EQ(press.ClosedByKey(), c.closes) << "style " << std::hex << c.style;
  }
}

}  // namespace
