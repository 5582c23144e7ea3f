// The main window in this process: pages, ticking, layout thresholds.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "AppTestSupport.h"
#include "app/Main.h"
#include "ui/Application.h"

namespace {

using app_test::ForgetOptions;
using app_test::Pump;
using app_test::PumpUntil;

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetOptions();
    ui::Application::Instance().Initialize();
    ASSERT_TRUE(form.CreateMain({}));
    form.ShowMain();
    Pump(200);
  }
  void TearDown() override {
    ::DestroyWindow(form.Handle());
    Pump(50);
  }
  void SetOuterWidth(int width) {
    RECT r{};
    ::GetWindowRect(form.Handle(), &r);
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    Pump(50);
  }
  // Clicks the state icon of a tree node, left of its label.
  void ClickStateIcon(ui::TreeView& tree, ui::TreeNode node) {
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    union {
      RECT rect;
      HTREEITEM item;
    } in{};
    in.item = node;
    ASSERT_TRUE(tree.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&in.rect)));
    RECT r = in.rect;
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

TEST_F(MainWindow, PageButtonsSwitchPagesAndPaintTheChosenButtonWhite) {
  struct Case {
    ui::FlatButton* button;
    ui::GroupBox* page;
  } cases[] = {{&form.bRegistry, &form.gbRegistry},
               {&form.bTools, &form.gbTools},
               {&form.bRegistryDefrag, &form.gbDefrag},
               {&form.bCleaner, &form.gbCleaner}};
  for (const Case& c : cases) {
    form.FlatButtonClick(*c.button);
    for (ui::GroupBox* gb : {&form.gbCleaner, &form.gbRegistry, &form.gbTools, &form.gbDefrag})
      EXPECT_EQ(gb->Visible(), gb == c.page) << c.button->Tag;
    EXPECT_EQ(c.button->Color(), RGB(255, 255, 255));
    EXPECT_EQ(c.button->ColorBorder(), RGB(122, 152, 175));
    for (ui::FlatButton* other : {&form.bCleaner, &form.bRegistry, &form.bTools, &form.bRegistryDefrag}) {
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

TEST_F(MainWindow, ScanButtonIsCentredBelow635PixelsWide) {
  form.FlatButtonClick(form.bRegistry);
  SetOuterWidth(634);
  const ui::Button& r = form.bRestoreRegistry;
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
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(form.TrayIconShown());
  form.Send(app::WM_SHOWMAINWINDOW);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.TrayIconShown());
  // lParam 1 ("/Auto") adds no icon of its own.
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 1);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.TrayIconShown());
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
