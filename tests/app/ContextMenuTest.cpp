// The pop-up menus of the log and of the problem list, opened as a user does:
// a real right click and Shift+F10 through the input queue, and the menu found
// by the class every pop-up menu window has.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/Main.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace {

using app_test::Pump;
using app_test::PumpUntil;

// What the open menu showed: each item's text and whether it was enabled.
struct SeenMenu {
  bool opened = false;
  std::vector<std::wstring> texts;
  std::vector<bool> enabled;
};
SeenMenu* g_seen = nullptr;

// Runs inside the menu's own message loop: records the menu, then closes it.
void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (g_seen == nullptr || g_seen->opened || popup == nullptr || !::IsWindowVisible(popup)) return;
  g_seen->opened = true;
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0, n = menu != nullptr ? ::GetMenuItemCount(menu) : 0; i < n; ++i) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    if (text[0] == 0) continue;  // a separator
    g_seen->texts.push_back(text);
    g_seen->enabled.push_back((::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) == 0);
  }
  ::EndMenu();
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> in;
  for (const auto& k : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k.first;
    i.ki.dwFlags = k.second ? 0 : KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class ContextMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_test::OpenMainWindow(form));
    ::SetForegroundWindow(form.Handle());
    Pump(100);
    g_seen = &seen;
    timer = ::SetTimer(nullptr, 0, 50, &LookForMenu);
  }
  void TearDown() override {
    ::KillTimer(nullptr, timer);
    g_seen = nullptr;
    app_test::CloseMainWindow(form);
  }
  void RightClick(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    RightClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  void RightClickAt(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    Pump(50);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, in, sizeof(INPUT));
  }
  bool WaitForMenu() { return PumpUntil([&] { return seen.opened; }, 5000); }
  void AddRow(const std::wstring& key) {
    registry::TProblemRow row;
    row.Problem = L"Empty key";
    row.RegistryKey = key;
    row.FixKind = registry::fkDeleteKey;
    form.AddScanRow(row);
  }

  app::TfrmMain form;
  SeenMenu seen;
  UINT_PTR timer = 0;
};

TEST_F(ContextMenu, RightClickAndShiftF10OpenTheLogMenuWithSaveEnabledOnlyForALog) {
  RightClick(form.lMain.Handle());
  ASSERT_TRUE(WaitForMenu()) << "a right click on the log opens its menu";
  ASSERT_EQ(seen.texts.size(), 1u);
  EXPECT_EQ(seen.texts[0], L"S&ave to text file");
  EXPECT_FALSE(seen.enabled[0]) << "nothing to save in an empty log";

  form.lMain.Add(L"Test: a line");
  seen = SeenMenu{};
  ::SetFocus(form.lMain.Handle());
  SendKeys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
  ASSERT_TRUE(WaitForMenu()) << "Shift+F10 on the log opens its menu";
  ASSERT_EQ(seen.texts.size(), 1u);
  EXPECT_TRUE(seen.enabled[0]);
}

TEST_F(ContextMenu, TheProblemListMenuOpensByMouseAndKeyboardAndCtrlRDrivesTheEditor) {
  auto recorder = std::make_shared<app_test::NavigatorRecorder>();
  const std::vector<std::wstring>& opened = recorder->opened;
  form.SetRegeditNavigator(recorder);
  form.FlatButtonClick(form.bRegistry);
  AddRow(L"HKEY_CURRENT_USER\\Software");
  Pump(100);

  RightClick(form.lvRegistryData.Handle());
  ASSERT_TRUE(WaitForMenu()) << "a right click on the problem list opens its menu";
  ASSERT_EQ(seen.texts.size(), 8u);
  EXPECT_EQ(seen.texts.back(), L"&RegEdit...\tCtrl+R");

  // With the row selected, the row commands are enabled too.
  LVITEMW it{};
  it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
  form.lvRegistryData.Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&it));
  seen = SeenMenu{};
  ::SetFocus(form.lvRegistryData.Handle());
  SendKeys({{VK_APPS, true}, {VK_APPS, false}});
  ASSERT_TRUE(WaitForMenu()) << "the menu key on the problem list opens its menu";
  ASSERT_EQ(seen.enabled.size(), 8u);
  for (size_t i = 0; i < seen.enabled.size(); ++i) EXPECT_TRUE(seen.enabled[i]) << seen.texts[i];
  Pump(200);
  EXPECT_EQ(::FindWindowW(L"#32768", nullptr) == nullptr || !::IsWindowVisible(::FindWindowW(L"#32768", nullptr)),
            true) << "one key press opens the menu once";

  seen = SeenMenu{};
  SendKeys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
  ASSERT_TRUE(WaitForMenu()) << "Shift+F10 on the problem list opens its menu";

  ::SetFocus(form.lvRegistryData.Handle());
  SendKeys({{VK_CONTROL, true}, {'R', true}, {'R', false}, {VK_CONTROL, false}});
  ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }, 3000)) << "Ctrl+R opens the selected row's key";
  EXPECT_EQ(opened[0], L"HKEY_CURRENT_USER|Software|");
}

// Where a right click lands on the first row: the middle of its check box or
// a point inside its text.
POINT OnRow(HWND list, bool onCheckBox) {
  RECT row{};
  row.left = LVIR_BOUNDS;
  ::SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const UINT wanted = onCheckBox ? LVHT_ONITEMSTATEICON : LVHT_ONITEMLABEL;
  LONG first = -1, last = -1;
  for (LONG x = row.left; x < row.right; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, (row.top + row.bottom) / 2};
    ::SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem != 0 || hit.iSubItem != 0 || hit.flags != wanted) continue;
    if (first < 0) first = x;
    last = x;
  }
  EXPECT_GE(first, 0) << "no such place on the row";
  POINT pt{(first + last) / 2, (row.top + row.bottom) / 2};
  ::ClientToScreen(list, &pt);
  return pt;
}

TEST_F(ContextMenu, ARightClickOnARowsCheckBoxOrTextOpensTheMenuForThatRow) {
  form.FlatButtonClick(form.bRegistry);
  AddRow(L"HKEY_CURRENT_USER\\Software\\A");
  AddRow(L"HKEY_CURRENT_USER\\Software\\B");
  Pump(100);
  HWND list = form.lvRegistryData.Handle();
  for (bool onCheckBox : {true, false}) {
    SCOPED_TRACE(onCheckBox ? "check box" : "text");
    // Another row is the current one until the click.
    form.lvRegistryData.SetChecked(0, true);
    LVITEMW other{};
    other.stateMask = other.state = LVIS_SELECTED | LVIS_FOCUSED;
    form.lvRegistryData.Send(LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&other));
    seen = SeenMenu{};
    RightClickAt(OnRow(list, onCheckBox));
    ASSERT_TRUE(WaitForMenu());
    ASSERT_EQ(seen.enabled.size(), 8u);
    EXPECT_TRUE(seen.enabled[0]);
    EXPECT_EQ(form.lvRegistryData.Selected(), 0) << "the row clicked is the row the commands act on";
    EXPECT_TRUE(form.lvRegistryData.Checked(0)) << "a right click neither ticks nor unticks";
    Pump(::GetDoubleClickTime() + 100);  // the next click is not a double click
  }
}

}  // namespace
