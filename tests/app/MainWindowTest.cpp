// The main window in this process: pages, ticking, layout thresholds.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "AppTestSupport.h"
#include "registry_fix/FixTestSupport.h"
#include "support/Folders.h"
#include "app/Main.h"
#include "ui/Application.h"

namespace {

using app_test::Pump;
using app_test::PumpUntil;

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_test::OpenMainWindow(form));
    Pump(100);
  }
  void TearDown() override { app_test::CloseMainWindow(form); }
  void SetOuterWidth(int width) {
    RECT r{};
    ::GetWindowRect(form.Handle(), &r);
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
  }
  // Clicks the state icon of a tree node, left of its label.
  void ClickStateIcon(ui::TreeView& tree, ui::TreeNode node) {
    RECT r{};
    ASSERT_TRUE(app_test::TreeItemRect(tree, node, &r));
    LPARAM at = MAKELPARAM(r.left - 8, (r.top + r.bottom) / 2);
    tree.Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
    tree.Send(WM_LBUTTONUP, 0, at);
  }
  ui::TreeNode FindTop(ui::TreeView& tree, const std::wstring& text) {
    for (ui::TreeNode n = tree.First(); n != nullptr; n = tree.NextSibling(n))
      if (tree.NodeText(n) == text) return n;
    return nullptr;
  }
  app::TfrmMain form;
};

TEST_F(MainWindow, OpensWithItsSizeCaptionAndCleanerPage) {
  SIZE c = form.ClientSize();
  EXPECT_EQ(c.cx, 697);
  EXPECT_EQ(c.cy, 456);
  EXPECT_EQ(form.Text(), L"Vantorel 3.1");
  EXPECT_TRUE(form.gbCleaner.Visible());
  EXPECT_FALSE(form.gbRegistry.Visible());
  // Every page takes the cleaner page's bounds; the column starts 5 px below its top.
  RECT rc = form.gbCleaner.Bounds();
  for (ui::GroupBox* gb : {&form.gbRegistry, &form.gbTools, &form.gbDefrag}) {
    RECT r = gb->Bounds();
    EXPECT_TRUE(EqualRect(&r, &rc));
  }
  EXPECT_EQ(rc.left, 2 * form.bCleaner.Left() + form.bCleaner.Width());
  EXPECT_EQ(form.bCleaner.Top(), rc.top + 5);
  EXPECT_EQ(form.bRegistry.Top(), rc.top + 5 + 61);
  EXPECT_EQ(form.bRegistryDefrag.Top(), rc.top + 5 + 122);
  EXPECT_EQ(form.bHelp.Top(), rc.top + 5 + 305);
}

// An options.ini that could not be read (a folder in its place, a file
// another program holds without sharing) is told as the window opens, once,
// and the window starts with the defaults; one that was read is not.
TEST(MainWindowStart, AnOptionsFileThatWasNotReadIsToldAsTheWindowOpens) {
  const std::wstring ini = app_test::OptionsFile();
  enum class Kind { Readable, Folder, Held };
  const struct {
    const char* what;
    Kind kind;
  } rows[] = {{"read", Kind::Readable}, {"a folder in its place", Kind::Folder}, {"held without sharing", Kind::Held}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    app_test::ForgetOptions();
    HANDLE held = INVALID_HANDLE_VALUE;
    if (r.kind == Kind::Folder) {
      ASSERT_TRUE(::CreateDirectoryW(ini.c_str(), nullptr));
    } else {
      ASSERT_TRUE(testing_support::WriteBytes(ini, "[Options]\r\nWipeNumber=7\r\n"));
      if (r.kind == Kind::Held) held = ::CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    {
      fix_test::TMessageRecorder boxes(IDOK);
      ui::Application::Instance().Initialize();
      app::TfrmMain form;
      ASSERT_TRUE(form.CreateMain({}));
      form.ShowMain();
      Pump(200);
      std::vector<std::wstring> told;
      for (const auto& m : boxes.Messages) told.push_back(m.Text);
      if (r.kind == Kind::Readable) {
        EXPECT_TRUE(told.empty()) << (told.empty() ? std::wstring() : told[0]);
        EXPECT_EQ(core::OptionsSetting.WipeNumber, 7);
      } else {
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find(ini + L" was not read"), std::wstring::npos) << told[0];
        EXPECT_NE(told[0].find(L"default settings"), std::wstring::npos) << told[0];
        EXPECT_EQ(core::OptionsSetting.WipeNumber, 1);
      }
      app_test::CloseMainWindow(form);
    }
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    if (r.kind == Kind::Folder) ::RemoveDirectoryW(ini.c_str());
  }
  app_test::ForgetOptions();
}

TEST_F(MainWindow, PageButtonsSwitchPagesAndPaintTheChosenButtonWhite) {
  struct Case {
    skin::TFlatButton* button;
    ui::GroupBox* page;
  } cases[] = {{&form.bRegistry, &form.gbRegistry},
               {&form.bTools, &form.gbTools},
               {&form.bRegistryDefrag, &form.gbDefrag},
               {&form.bCleaner, &form.gbCleaner}};
  for (const Case& c : cases) {
    // Clicked as the mouse does it: the flat button's own press and release.
    c.button->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    c.button->Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    for (ui::GroupBox* gb : {&form.gbCleaner, &form.gbRegistry, &form.gbTools, &form.gbDefrag})
      EXPECT_EQ(gb->Visible(), gb == c.page) << c.button->Tag;
    EXPECT_EQ(c.button->Color(), RGB(255, 255, 255));
    EXPECT_EQ(c.button->ColorBorder(), RGB(122, 152, 175));
    for (skin::TFlatButton* other : {&form.bCleaner, &form.bRegistry, &form.bTools, &form.bRegistryDefrag}) {
      if (other != c.button) {
        EXPECT_EQ(other->Color(), ::GetSysColor(COLOR_BTNFACE));
      }
    }
  }
}

TEST_F(MainWindow, TickingAGroupTicksItsLeavesAndTheLastLeafUnticksTheGroup) {
  ui::TreeView& tv = form.tvCleanItems;
  ui::TreeNode windows = FindTop(tv, L"Windows");
  ASSERT_NE(windows, nullptr);
  ClickStateIcon(tv, windows);
  int leaves = 0;
  for (ui::TreeNode c = tv.FirstChild(windows); c != nullptr; c = tv.NextSibling(c), ++leaves)
    EXPECT_EQ(tv.StateIndex(c), 2);
  EXPECT_EQ(leaves, 9);
  EXPECT_EQ(tv.StateIndex(windows), 2);

  // Untick every leaf but the last: the group stays ticked; the last unticks it.
  std::vector<ui::TreeNode> kids;
  for (ui::TreeNode c = tv.FirstChild(windows); c != nullptr; c = tv.NextSibling(c)) kids.push_back(c);
  for (size_t i = 0; i + 1 < kids.size(); ++i) ClickStateIcon(tv, kids[i]);
  EXPECT_EQ(tv.StateIndex(windows), 2);
  ClickStateIcon(tv, kids.back());
  EXPECT_EQ(tv.StateIndex(windows), 1);
}

TEST_F(MainWindow, CleanTreeWalksCollectAndTickCaptions) {
  ui::TreeView& tv = form.tvCleanItems;
  form.TickCleanCaption(L"Windows - Temporary Files");
  form.TickCleanCaption(L"Microsoft Office - Word");
  form.TickCleanCaption(L"Windows - No Such Item");
  std::vector<std::wstring> ticked = form.TickedCleanCaptions();
  EXPECT_EQ(ticked, (std::vector<std::wstring>{L"Windows - Temporary Files", L"Microsoft Office - Word"}));
  form.UntickAllCleanNodes();
  EXPECT_TRUE(form.TickedCleanCaptions().empty());
  (void)tv;
}

TEST_F(MainWindow, RegistryTreeTicksPropagateUpAndDown) {
  ui::TreeView& tv = form.tvRegistry;
  ui::TreeNode top = tv.First();
  ASSERT_EQ(tv.NodeText(top), L"My Computers");
  form.FlatButtonClick(form.bRegistry);
  Pump(50);
  form.WalkRegistryTree(top, 1);  // untick everything
  ui::TreeNode files = tv.FirstChild(top);
  ASSERT_EQ(tv.NodeText(files), L"Files and Folders");
  ClickStateIcon(tv, files);
  EXPECT_EQ(tv.StateIndex(top), 2);
  for (ui::TreeNode c = tv.FirstChild(files); c != nullptr; c = tv.NextSibling(c)) {
    EXPECT_EQ(tv.StateIndex(c), 2);
  }
  // Unticking the four hives one by one unticks their group and then the top.
  for (ui::TreeNode c = tv.FirstChild(files); c != nullptr; c = tv.NextSibling(c)) ClickStateIcon(tv, c);
  EXPECT_EQ(tv.StateIndex(files), 1);
  EXPECT_EQ(tv.StateIndex(top), 1);
}

// What a user does to close a group: none of it closes one of the section tree.
TEST_F(MainWindow, NoInputCollapsesTheSectionTree) {
  ui::TreeView& tv = form.tvRegistry;
  form.FlatButtonClick(form.bRegistry);
  ::SetForegroundWindow(form.Handle());
  Pump(50);
  const ui::TreeNode top = tv.First(), files = tv.FirstChild(top);
  auto clickAt = [&](ui::TreeNode n, UINT where, int clicks) {
    RECT r{};
    ASSERT_TRUE(app_test::TreeItemRect(tv, n, &r));
    TVHITTESTINFO hit{{r.left + 2, (r.top + r.bottom) / 2}};
    while (hit.pt.x > 0 && !(tv.Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) != 0 && (hit.flags & where))) --hit.pt.x;
    ASSERT_GT(hit.pt.x, 0) << "no such part on the row";
    app_test::ClickThroughInput(tv.Handle(), hit.pt, clicks);
    Pump(300);
  };
  const struct {
    const char* name;
    UINT part;  // a click on this part of the row, or else
    int clicks;
    WPARAM key;  // this key with the row selected
  } inputs[] = {{"double click", TVHT_ONITEMLABEL, 2, 0}, {"button", TVHT_ONITEMBUTTON, 1, 0},
                {"minus", 0, 0, VK_SUBTRACT}, {"Left", 0, 0, VK_LEFT}};
  for (const auto& input : inputs) {
    for (ui::TreeNode group : {files, top}) {
      if (input.key == 0) {
        clickAt(group, input.part, input.clicks);
      } else {
        tv.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(group));
        ::SetFocus(tv.Handle());
        app_test::PressFocused(input.key);
      }
      EXPECT_TRUE(tv.Expanded(top) && tv.Expanded(files)) << input.name << " on " << tv.NodeText(group);
    }
  }
}

TEST_F(MainWindow, ScanButtonIsCentredBelow635PixelsWide) {
  form.FlatButtonClick(form.bRegistry);
  SetOuterWidth(634);
  const skin::TskButton& r = form.bRestoreRegistry;
  int expected = r.Left() + r.Width() + (form.bFixErrors.Left() - r.Left() - 2 * r.Width()) / 2;
  EXPECT_EQ(form.bScan.Left(), expected);
  SetOuterWidth(635);
  EXPECT_EQ(form.bScan.Left(), form.bFixErrors.Left() - form.bScan.Width() - 20);
}

TEST_F(MainWindow, SizeLabelsMoveAt695PixelsWide) {
  SetOuterWidth(694);
  EXPECT_EQ(form.lSizeReduction_Title.Left(), form.lCurrentRegistrySize.Right() + 5);
  EXPECT_EQ(form.lCompactPercent_Title.Left(), form.lSizeReduction_Title.Left());
  SetOuterWidth(695);
  EXPECT_EQ(form.lSizeReduction_Title.Left(), 397);
  EXPECT_EQ(form.lSizeReduction.Left(), 492);
  EXPECT_EQ(form.lCompactPercent.Left(), 492);
}

TEST_F(MainWindow, MinimisingHidesToTheTrayWithOneIconAndRestoreBringsItBack) {
  const RECT where{70, 50, 70 + 700, 50 + 480};
  form.ApplyWindowBounds(where);
  Pump(50);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE);
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(::IsIconic(form.Handle()));
  EXPECT_TRUE(form.TrayIconShown());
  EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE), exStyle) << "the tool-window style is put back";
  form.Send(app::WM_SHOWMAINWINDOW);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(::IsIconic(form.Handle()));
  EXPECT_FALSE(form.TrayIconShown());
  RECT now{};
  ::GetWindowRect(form.Handle(), &now);
  EXPECT_TRUE(::EqualRect(&now, &where)) << "back at " << now.left << "," << now.top;
  // Shown again while not minimised (an automatic run only hid it), the
  // window keeps the icon it had.
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ::ShowWindow(form.Handle(), SW_RESTORE);
  ::ShowWindow(form.Handle(), SW_HIDE);
  form.Send(app::WM_SHOWMAINWINDOW);
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(form.TrayIconShown());
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  form.Send(app::WM_SHOWMAINWINDOW);
  EXPECT_FALSE(form.TrayIconShown());
}

// Where the window's own minimise button is, on the screen.
bool MinimiseButtonCentre(HWND window, POINT* at) {
  RECT r{};
  ::GetWindowRect(window, &r);
  for (int y = r.top; y < r.top + 40; y += 2) {
    for (int x = r.right - 1; x > r.right - 200; --x) {
      if (::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTMINBUTTON) continue;
      int left = x;
      while (::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(left - 1, y)) == HTMINBUTTON) --left;
      *at = POINT{(left + x) / 2, y + 4};
      return ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(at->x, at->y)) == HTMINBUTTON;
    }
  }
  return false;
}

// A minimise chosen with the mouse carries the cursor's position; only the
// automatic run's own lParam 1 leaves the icon to the one made at start.
TEST_F(MainWindow, EveryWayOfMinimisingHidesToTheTrayWithAnIconSaveTheAutomaticRuns) {
  enum How { Sent, ClickOnTheButton };
  const struct {
    const char* name;
    How how;
    LPARAM lParam;
    bool icon;
  } rows[] = {
      {"a real click on the minimise button", ClickOnTheButton, 0, true},
      {"lParam 0 (the keyboard, the program itself)", Sent, 0, true},
      {"the cursor's position from the title bar's menu", Sent, MAKELPARAM(412, 7), true},
      {"a position with x 0", Sent, MAKELPARAM(0, 300), true},
      {"lParam 1 (\"/Auto\")", Sent, 1, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(form.Visible());
    if (row.how == Sent) {
      form.Send(WM_SYSCOMMAND, SC_MINIMIZE, row.lParam);
    } else {
      ::SetForegroundWindow(form.Handle());
      Pump(50);
      POINT at{};
      ASSERT_TRUE(MinimiseButtonCentre(form.Handle(), &at));
      ::ScreenToClient(form.Handle(), &at);
      app_test::ClickThroughInput(form.Handle(), at);
      EXPECT_TRUE(PumpUntil([&] { return !form.Visible(); }, 5000)) << "the click did not minimise";
    }
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(::IsIconic(form.Handle()));
    EXPECT_EQ(form.TrayIconShown(), row.icon);
    form.Send(app::WM_SHOWMAINWINDOW);
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.TrayIconShown());
  }
}

TEST_F(MainWindow, EveryButtonOfEveryPageIsWholeAtTheSmallestSize) {
  const struct {
    ui::GroupBox* page;
    std::vector<skin::TskButton*> buttons;
  } pages[] = {
      {&form.gbCleaner, {&form.bTest, &form.bClean}},
      {&form.gbRegistry, {&form.bRestoreRegistry, &form.bScan, &form.bFixErrors}},
      {&form.gbDefrag, {&form.bAnalyzeRegistry, &form.bDefragRegistry}},
      {&form.gbTools,
       {&form.bStartup, &form.bViewHistory, &form.bBackupFullRegistry, &form.bWindowsBackup, &form.bDeleteEntry,
        &form.bSelectAll, &form.bSelectNone}},
  };
  for (SIZE size : {SIZE{626, 455}, SIZE{713, 494}}) {
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
    for (const auto& p : pages) {
      RECT inside{};
      ::GetClientRect(p.page->Handle(), &inside);
      for (skin::TskButton* b : p.buttons) {
        if ((::GetWindowLongPtrW(b->Handle(), GWL_STYLE) & WS_VISIBLE) == 0) continue;
        const RECT r = b->Bounds();
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= inside.right && r.bottom <= inside.bottom)
            << b->Text() << " at width " << size.cx << ": right " << r.right << " of " << inside.right;
      }
    }
  }
}

}  // namespace

namespace {

TEST_F(MainWindow, BossKeyHidesVisibleBrowserWindowsAndShowsExactlyThoseAgain) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MozillaWindowClass";
  ::RegisterClassW(&wc);
  HWND shown = ::CreateWindowExW(0, wc.lpszClassName, L"browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
  HWND hiddenByItself = ::CreateWindowExW(0, wc.lpszClassName, L"hidden", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                          nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(shown && hiddenByItself);
  core::OptionsSetting.Hotkey.IsCtrl = true;
  core::OptionsSetting.Hotkey.CharAscII = VK_F11;
  form.RegisterBossKey();
  ATOM atom = ::GlobalFindAtomW(L"MyQRVTHotkey_Hide");
  ASSERT_NE(atom, 0);
  form.Send(WM_HOTKEY, atom, 0);
  EXPECT_FALSE(::IsWindowVisible(shown));
  form.Send(WM_HOTKEY, atom, 0);
  EXPECT_TRUE(::IsWindowVisible(shown));
  EXPECT_FALSE(::IsWindowVisible(hiddenByItself));
  // Hidden when the key goes away: shown again.
  form.Send(WM_HOTKEY, atom, 0);
  EXPECT_FALSE(::IsWindowVisible(shown));
  form.UnregisterBossKey();
  EXPECT_TRUE(::IsWindowVisible(shown));
  EXPECT_EQ(::GlobalFindAtomW(L"MyQRVTHotkey_Hide"), 0);
  ::DestroyWindow(shown);
  ::DestroyWindow(hiddenByItself);
}

}  // namespace

namespace {

// Pixels of `color` now on screen inside `client` (client coordinates of `window`).
int ColourPixelsOnScreen(HWND window, RECT r, COLORREF color) {
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += ::GetPixel(mem, x, y) == color ? 1 : 0;
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return n;
}

int TextPixelsOnScreen(const ui::Label& label, COLORREF color) {
  RECT r{};
  ::GetClientRect(label.Handle(), &r);
  return ColourPixelsOnScreen(label.Handle(), r, color);
}

TEST_F(MainWindow, TheHeaderKeepsItsTextsAtEverySize) {
  struct Case {
    const char* name;
    int width, height;
  };
  // The picture lies below every label, so it cannot paint over them.
  std::vector<HWND> above;
  for (HWND h = ::GetWindow(form.imgTitle.Handle(), GW_HWNDPREV); h != nullptr; h = ::GetWindow(h, GW_HWNDPREV))
    above.push_back(h);
  for (const ui::Label* l : form.HeaderLabels())
    EXPECT_NE(std::find(above.begin(), above.end(), l->Handle()), above.end());
  // Without a window manager a maximised window does not move on the X
  // screen, so the screen cannot show it; the largest size stands in for it.
  const Case cases[] = {{"normal", 713, 494}, {"small", 626, 455}, {"large", 1280, 1000}, {"normal again", 713, 494}};
  for (const Case& c : cases) {
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, c.width, c.height, SWP_NOZORDER);
    Pump(300);
    for (const ui::Label* l : form.HeaderLabels()) {
      EXPECT_GT(TextPixelsOnScreen(*l, RGB(255, 255, 255)), 10) << c.name << ": " << l->Left();
    }
  }
}

TEST_F(MainWindow, TheSavedRectangleComesBackExactlyFromEveryState) {
  const RECT wanted{40, 60, 40 + 720, 60 + 500};
  form.ApplyWindowBounds(wanted);
  Pump(50);
  RECT now{};
  ::GetWindowRect(form.Handle(), &now);
  EXPECT_TRUE(::EqualRect(&now, &wanted));
  // Maximised or minimised, the saved rectangle is the one it returns to.
  for (int cmd : {SW_MAXIMIZE, SW_MINIMIZE}) {
    ::ShowWindow(form.Handle(), cmd);
    Pump(50);
    RECT saved = form.WindowBounds();
    EXPECT_TRUE(::EqualRect(&saved, &wanted)) << cmd << ": " << saved.left << "," << saved.top;
    ::ShowWindow(form.Handle(), SW_RESTORE);
    Pump(50);
  }
  // Applied while maximised: the window stays maximised and returns there.
  const RECT other{100, 80, 100 + 650, 80 + 470};
  ::ShowWindow(form.Handle(), SW_MAXIMIZE);
  Pump(50);
  form.ApplyWindowBounds(other);
  EXPECT_TRUE(::IsZoomed(form.Handle()));
  ::ShowWindow(form.Handle(), SW_RESTORE);
  Pump(50);
  ::GetWindowRect(form.Handle(), &now);
  EXPECT_TRUE(::EqualRect(&now, &other));
}

TEST_F(MainWindow, OnlyOneTreeRowIsSelectedAfterClickingSeveralBoxes) {
  ui::TreeView& tv = form.tvCleanItems;
  ::SetForegroundWindow(form.Handle());
  // Real clicks through the input queue: the tree's own mouse tracking runs.
  for (const wchar_t* group : {L"Internet Explorer", L"Windows", L"Edge"}) {
    ui::TreeNode n = FindTop(tv, group);
    ASSERT_NE(n, nullptr);
    RECT r{};
    ASSERT_TRUE(app_test::TreeItemRect(tv, n, &r));
    app_test::ClickThroughInput(tv.Handle(), {r.left - 8, (r.top + r.bottom) / 2});
    Pump(200);
    EXPECT_EQ(tv.StateIndex(n), 2) << "the click ticked the box";
  }
  // What the eye sees: rows painted in the selection colour.
  Pump(200);
  int highlighted = 0;
  tv.ForEach([&](ui::TreeNode n) {
    RECT r{};
    if (!app_test::TreeItemRect(tv, n, &r)) return;
    highlighted += ColourPixelsOnScreen(tv.Handle(), r, ::GetSysColor(COLOR_HIGHLIGHT)) > 20 ? 1 : 0;
  });
  EXPECT_LE(highlighted, 1);
  ui::TreeNode edge = FindTop(tv, L"Edge");
  EXPECT_EQ(reinterpret_cast<ui::TreeNode>(tv.Send(TVM_GETNEXTITEM, TVGN_CARET, 0)), edge) << "the row last clicked is the selected one";
}

TEST_F(MainWindow, ADialogFromAWindowPastTheScreensEdgeLiesWhollyOnTheScreen) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT& work = monitor.rcWork;
  const struct {
    const char* edge;
    POINT owner;  // where the main window's top-left corner goes
  } cases[] = {{"top", {50, -300}}, {"right", {work.right - 150, 50}}, {"left", {work.left - 600, 50}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edge);
    ::SetWindowPos(form.Handle(), nullptr, c.owner.x, c.owner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(50);
    ui::Form dialog(L"VantorelPlacementProbe");
    ASSERT_TRUE(dialog.Create(form.Handle(), L"Probe", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME));
    dialog.SetClientSize(488, 434);
    dialog.CenterOn(form.Handle());
    RECT r{}, inside{};
    ::GetWindowRect(dialog.Handle(), &r);
    ::IntersectRect(&inside, &r, &work);
    EXPECT_TRUE(::EqualRect(&inside, &r)) << "dialog left " << r.left << ", right " << r.right << ", top " << r.top;
    ::DestroyWindow(dialog.Handle());
  }
}

}  // namespace
