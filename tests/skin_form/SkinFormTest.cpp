// The skinned frame on a real dialog under the test display: region, client
// area, maximised bounds, the close button, dragging and the system menu.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <cstdlib>
#include <vector>

#include "app/options/RegAddRegistry.h"
#include "skin/form/FormMessages.h"
#include "skin/lists/Edit.h"
#include "skin/SkinTestHost.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin_form/TestDialog.h"
#include "support/TestSupport.h"
#include "ui/Application.h"

namespace {

using skin_test::TestDialog;

using skin_test::PumpFor;
using skin_test::PumpUntil;

LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

size_t ButtonIndex(skin::TskTitleBar& bar, skin::TskTitleBarBtnType type) {
  for (size_t i = 0; i < bar.Buttons.size(); ++i)
    if (bar.Buttons[i].ButtonType == type) return i;
  return bar.Buttons.size();
}

class SkinFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Application::Instance().Initialize();
    ASSERT_TRUE(dialog.Build());
    ::ShowWindow(dialog.Handle(), SW_SHOW);
    PumpFor(200);
  }
  skin::TskTitleBar& Bar() { return dialog.Frame.TitleBar(); }
  RECT WindowRect() {
    RECT r{};
    ::GetWindowRect(dialog.Handle(), &r);
    return r;
  }
  TestDialog dialog;
};

TEST_F(SkinFormTest, WinXpRegionRoundsTheTopCornersOnly) {
  RECT wr = WindowRect();
  int W = wr.right - wr.left, H = wr.bottom - wr.top;
  HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(dialog.Handle(), rgn), ERROR);
  struct Case {
    int x, y;
    bool inside;
  } cases[] = {
      {0, 0, false},      {1, 1, false},      {W - 1, 0, false}, {W - 2, 1, false}, {W / 2, 0, true},
      {6, 6, true},       {W - 7, 6, true},   {0, H / 2, true},  {0, H - 1, true},  {W - 1, H - 1, true},
      {W / 2, H - 1, true}, {W, H / 2, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(::PtInRegion(rgn, c.x, c.y) != FALSE, c.inside) << "at " << c.x << "," << c.y;
  // Without a title bar there is nothing to round.
  dialog.Frame.SetTitleBarVisible(false);
  dialog.Frame.UpdateWindowRegion();
  ASSERT_NE(::GetWindowRgn(dialog.Handle(), rgn), ERROR);
  EXPECT_TRUE(::PtInRegion(rgn, 0, 0));
  EXPECT_EQ(dialog.Frame.RoundCorner(), 0);
  ::DeleteObject(rgn);
}

TEST_F(SkinFormTest, ClientAreaLeavesOnlyTheBorderRingAndTheFramesOwnTitleBar) {
  // The caption is gone: the client area starts right inside the dialog frame,
  // and the frame's title bar sits at its top.
  int d = ::GetSystemMetrics(SM_CXDLGFRAME);
  int B = std::max(4, dialog.Frame.FrameBottom()), L = std::max(4, dialog.Frame.FrameSide());
  EXPECT_EQ(::GetWindowLongPtrW(dialog.Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(::SendMessageW(dialog.Handle(), skin::SK_GETBORDERWIDTH, 0, 0), dialog.Frame.FrameBottom() - 1);
  struct Case {
    int borderWidth, bottomGrowth;  // how far the client bottom reaches past the plain inset
  } cases[] = {{3, 0}, {2, 0}, {1, 1}};
  for (const Case& c : cases) {
    dialog.Frame.SetBorderWidth(c.borderWidth);
    ::SetWindowPos(dialog.Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT wr = WindowRect(), cr{};
    ::GetClientRect(dialog.Handle(), &cr);
    POINT tl{0, 0};
    ::ClientToScreen(dialog.Handle(), &tl);
    EXPECT_EQ(tl.x - wr.left, d + 4 - L) << c.borderWidth;
    EXPECT_EQ(tl.y - wr.top, d + 4 - B) << c.borderWidth;
    EXPECT_EQ(cr.right, wr.right - wr.left - 2 * (d + 4 - L)) << c.borderWidth;
    EXPECT_EQ(wr.bottom - (tl.y + cr.bottom), d + 4 - B - c.bottomGrowth) << c.borderWidth;
    RECT bar = Bar().Bounds();
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right - bar.left, cr.right);
  }
}

TEST_F(SkinFormTest, MaximisedDialogCoversTheWorkAreaAndDoubleClickRestores) {
  TestDialog big;
  ASSERT_TRUE(big.Build(true));
  ::ShowWindow(big.Handle(), SW_SHOW);
  PumpFor(100);
  RECT before{};
  ::GetWindowRect(big.Handle(), &before);
  HWND bar = big.Frame.TitleBar().Handle();
  POINT caption{80, 8};
  ::SendMessageW(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, At(caption));
  ::SendMessageW(bar, WM_LBUTTONUP, 0, At(caption));
  PumpFor(100);
  ASSERT_TRUE(::IsZoomed(big.Handle()));
  RECT area{}, now{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ::GetWindowRect(big.Handle(), &now);
  EXPECT_EQ(now.left, area.left - 2);
  EXPECT_EQ(now.top, area.top - 2);
  EXPECT_EQ(now.right, area.right + 2);
  EXPECT_EQ(now.bottom, area.bottom - 1);
  EXPECT_EQ(big.NcDragPresses, 0) << "no drag on a maximised form";
  ::SendMessageW(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, At(caption));
  ::SendMessageW(bar, WM_LBUTTONUP, 0, At(caption));
  PumpFor(100);
  EXPECT_FALSE(::IsZoomed(big.Handle()));
  ::GetWindowRect(big.Handle(), &now);
  EXPECT_TRUE(::EqualRect(&now, &before));
}

TestDialog* g_modal = nullptr;
int g_modalTicks = 0;

void CALLBACK ClickClose(HWND, UINT, UINT_PTR id, DWORD) {
  skin::TskTitleBar& bar = g_modal->Frame.TitleBar();
  if (++g_modalTicks > 50) {
    g_modal->SetModalResult(99);  // the close button did nothing
    ::KillTimer(nullptr, id);
    return;
  }
  RECT r = bar.ButtonRect(ButtonIndex(bar, skin::skClose));
  if (r.right <= r.left) return;
  POINT c = Centre(r);
  ::SendMessageW(bar.Handle(), WM_MOUSEMOVE, 0, At(c));
  ::SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(c));
  ::SendMessageW(bar.Handle(), WM_LBUTTONUP, 0, At(c));
  ::KillTimer(nullptr, id);
}

TEST(SkinFormModal, CloseButtonClosesTheDialog) {
  ui::Application::Instance().Initialize();
  TestDialog dialog;
  ASSERT_TRUE(dialog.Build());
  g_modal = &dialog;
  g_modalTicks = 0;
  ::SetTimer(nullptr, 0, 100, &ClickClose);
  EXPECT_EQ(dialog.ShowModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.NcDragPresses, 0);
  g_modal = nullptr;
}

void CALLBACK ClickAddDialogClose(HWND, UINT, UINT_PTR id, DWORD) {
  HWND h = ::FindWindowW(app::kRegAddRegistryClass, nullptr);
  if (h == nullptr || !::IsWindowVisible(h)) return;
  ::KillTimer(nullptr, id);
  auto* add = static_cast<app::TfrmRegAddRegistry*>(reinterpret_cast<ui::Window*>(::GetWindowLongPtrW(h, GWLP_USERDATA)));
  skin::TskTitleBar& bar = add->skForm.TitleBar();
  add->eRegistryKey.SetText(L"HKEY_CURRENT_USER\\Software\\Typed");
  POINT c = Centre(bar.ButtonRect(ButtonIndex(bar, skin::skClose)));
  ::SendMessageW(bar.Handle(), WM_MOUSEMOVE, 0, At(c));
  ::SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(c));
  ::SendMessageW(bar.Handle(), WM_LBUTTONUP, 0, At(c));
}

TEST(SkinFormModal, AddToIgnoreListCloseButtonCancels) {
  ui::Application::Instance().Initialize();
  std::wstring text = L"keep me";
  UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ClickAddDialogClose);
  EXPECT_FALSE(app::TfrmRegAddRegistry::Execute(nullptr, &text));
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(text, L"keep me");
}

TEST_F(SkinFormTest, DraggingStartsOnlyAwayFromTheButtons) {
  HWND bar = Bar().Handle();
  RECT close = Bar().ButtonRect(ButtonIndex(Bar(), skin::skClose));
  ASSERT_GT(close.right, close.left) << "a close button is drawn even without theme pictures";
  struct Case {
    POINT at;
    int drags;
  } cases[] = {{POINT{80, 8}, 1}, {Centre(close), 0}, {POINT{close.left - 30, close.top + 2}, 1}};
  for (const Case& c : cases) {
    dialog.NcDragPresses = 0;
    ::SendMessageW(bar, WM_MOUSEMOVE, 0, At(c.at));
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(c.at));
    // Let go away from every button, so nothing is clicked.
    ::SendMessageW(bar, WM_LBUTTONUP, 0, At(POINT{-50, -50}));
    EXPECT_EQ(dialog.NcDragPresses, c.drags) << c.at.x << "," << c.at.y;
  }
  PumpFor(100);
  EXPECT_TRUE(dialog.Exists());
}

// How many pixels of `r` the window shows in colour `c`.
int PixelsIn(HWND window, const RECT& r, COLORREF c) {
  HDC dc = ::GetDC(window);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += ::GetPixel(dc, x, y) == c;
  ::ReleaseDC(window, dc);
  return n;
}

bool g_menuSeen = false;
bool g_menuThemed = false;
// Pixels of the shown menu in the item colour and the left bar's first colour.
COLORREF g_itemColour = 0, g_barColour = 0;
int g_itemPixels = 0, g_barPixels = 0;

void CALLBACK WatchMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  if (menu != nullptr && ::IsWindowVisible(menu)) {
    g_menuSeen = true;
    HMENU shown = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
    MENUITEMINFOW info{sizeof(info), MIIM_FTYPE};
    g_menuThemed = ::GetMenuItemInfoW(shown, 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW) != 0;
    ::KillTimer(nullptr, id);
    ::UpdateWindow(menu);
    RECT r{};
    ::GetClientRect(menu, &r);
    g_itemPixels = PixelsIn(menu, r, g_itemColour);
    g_barPixels = PixelsIn(menu, r, g_barColour);
    ::EndMenu();
  }
}

TEST_F(SkinFormTest, AltSpaceOpensTheSystemMenu) {
  ::SetForegroundWindow(dialog.Handle());
  g_menuSeen = false;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &WatchMenu);
  ::PostMessageW(dialog.Handle(), WM_SYSKEYDOWN, VK_SPACE, 0x20390001);
  EXPECT_TRUE(PumpUntil([] { return g_menuSeen; }));
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(g_menuThemed) << "the system menu is drawn in the frame's look";
  // Only the buttons the bar shows enable their items.
  const auto& items = Bar().PopupMenu().Items();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].caption, L"Mi&nimize");
  EXPECT_FALSE(items[0].enabled());
  EXPECT_FALSE(items[1].enabled());
  EXPECT_TRUE(items[3].enabled());
  EXPECT_TRUE(dialog.Exists());
}

// With a ready skin file the system menu is drawn in the file's menu colours
// (item face colour 11, left bar from colour 9); after the file goes, in
// DeepBlue's.
TEST_F(SkinFormTest, TheSystemMenuTakesTheSkinFilesMenuColours) {
  auto theme = std::make_unique<skin::TskFileTheme>();
  theme->SetThemeFile(testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_BUILD_DIR") +
                                                    L"/tests/skin_form/menubar.skn"));
  ASSERT_TRUE(theme->GetReady());
  dialog.Frame.SetFileTheme(theme.get());
  dialog.Frame.SetUIStyle(skin::FromThemeFile);
  const struct { bool freeTheTheme; COLORREF item, bar; } cases[] = {
      {false, RGB(0xF0, 0xE0, 0xC0), RGB(0x90, 0x60, 0x30)},
      {true, skin::GetBuiltinThemeColor(skin::DeepBlue, 21), skin::GetBuiltinThemeColor(skin::DeepBlue, 23)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.freeTheTheme ? "skin file freed" : "skin file");
    if (c.freeTheTheme) theme.reset();
    g_itemColour = c.item, g_barColour = c.bar, g_menuSeen = false;
    ::SetForegroundWindow(dialog.Handle());
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &WatchMenu);
    RECT wr = WindowRect();
    Bar().PopupSystemMenu(wr.left + 20, wr.top + 30);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(g_menuSeen);
    EXPECT_GT(g_itemPixels, 100);
    EXPECT_GT(g_barPixels, 5);
  }
}

TEST_F(SkinFormTest, EveryBuiltinStyleDrawsWithoutItsPictures) {
  // The theme pictures may be missing: each style still gets its border,
  // corners and a title bar with a close button.
  struct Case {
    skin::TskUIStyle style;
    int borderWidth, roundCorner, minWidth;
  } cases[] = {{skin::MacOS, 1, 0, 130},   {skin::WinXP, 3, 13, 150}, {skin::DeepBlue, 1, 0, 130},
               {skin::Protein, 1, 0, 130}, {skin::BlueGlass, 1, 11, 270}};
  for (const Case& c : cases) {
    dialog.Frame.SetUIStyle(c.style);
    PumpFor(30);
    EXPECT_EQ(dialog.Frame.BorderWidth(), c.borderWidth) << c.style;
    EXPECT_EQ(dialog.Frame.RoundCorner(), c.roundCorner) << c.style;
    EXPECT_EQ(Bar().MinTrackWidth, c.minWidth) << c.style;
    RECT close = Bar().ButtonRect(ButtonIndex(Bar(), skin::skClose));
    EXPECT_GT(close.right, close.left) << c.style;
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(dialog.Handle(), rgn), ERROR);
    EXPECT_EQ(::PtInRegion(rgn, 0, 0) != FALSE, c.roundCorner == 0) << c.style;
    ::DeleteObject(rgn);
  }
}

// A themed main menu: File drops down, Run has no sub-items and runs at
// once, Help is disabled.
struct ThreeItemMenu {
  ThreeItemMenu() {
    menu.Items.push_back(skin::TskMenuItem{L"&File", L"", false, true, false, -1, {},
                                           {skin::TskMenuItem{L"&Open", L"Ctrl+R", false, true, false, -1,
                                                              [this] { ++opened; }, {}, {}, {}}},
                                           {}, {}});
    menu.Items.push_back(skin::TskMenuItem{L"&Run", L"", false, true, false, -1, [this] { ++ran; }, {}, {}, {}});
    menu.Items.push_back(skin::TskMenuItem{L"&Help", L"F1", false, false, false, -1, [this] { ++helped; }, {}, {}, {}});
  }
  skin::TskMainMenu menu;
  int opened = 0, ran = 0, helped = 0;
};

// Sets Ctrl's state in this thread's key state.
void HoldCtrl(bool down) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST_F(SkinFormTest, MenuBarSitsBelowTheTitleAndRunsTheThemedMenu) {
  ThreeItemMenu m;
  dialog.Frame.SetMenu(&m.menu);
  ASSERT_NE(dialog.Frame.MenuBar(), nullptr);
  EXPECT_EQ(m.menu.GetHost(), &dialog.Frame);
  EXPECT_EQ(m.menu.GetUIStyle(), dialog.Frame.GetUIStyle()) << "the menu takes the frame's style";
  skin::TskMenuBar& bar = *dialog.Frame.MenuBar();
  ASSERT_EQ(bar.ButtonCount(), 3u);
  EXPECT_EQ(bar.Top(), Bar().Height());
  for (int height : {22, 30}) {  // 22 unless set: the bar and each button, the panel below them
    SCOPED_TRACE(height);
    if (height != 22) dialog.Frame.SetMenuBarHeight(height);
    EXPECT_EQ(dialog.Frame.MenuBarHeight(), height);
    EXPECT_EQ(bar.Height(), height);
    EXPECT_EQ(bar.ButtonBounds(1).bottom - bar.ButtonBounds(1).top, height);
    EXPECT_EQ(dialog.Frame.FormPanel()->Top(), Bar().Height() + height);
  }
  dialog.Frame.SetMenuBarHeight(22);
  // A click on an item without sub-items runs it; a disabled one does nothing.
  for (size_t i = 1; i < 3; ++i)
    ::SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(Centre(bar.ButtonBounds(i))));
  EXPECT_EQ(m.ran, 1);
  EXPECT_EQ(m.helped, 0);
  ::SetForegroundWindow(dialog.Handle());
  PumpFor(50);
  const bool active = ::GetActiveWindow() == dialog.Handle();
  HoldCtrl(true);
  EXPECT_EQ(dialog.Frame.HandleKeyDown('R', 0), active) << "Ctrl+R is the shortcut of File, Open";
  EXPECT_FALSE(dialog.Frame.HandleKeyDown('Q', 0));
  HoldCtrl(false);
  EXPECT_EQ(m.opened, active ? 1 : 0);
  EXPECT_FALSE(dialog.Frame.HandleKeyDown('R', 0)) << "R alone is no shortcut";
  // The menu's own font: a bigger one widens the buttons.
  const int narrow = bar.ButtonBounds(0).right - bar.ButtonBounds(0).left;
  m.menu.FontSize = 20;
  m.menu.SetUseSystemFont(false);
  EXPECT_GT(bar.ButtonBounds(0).right - bar.ButtonBounds(0).left, narrow);
  m.menu.Items.pop_back();
  m.menu.MenuChanged();
  EXPECT_EQ(bar.ButtonCount(), 2u);
  dialog.Frame.SetMenu(nullptr);
  EXPECT_EQ(m.menu.GetHost(), nullptr);
  EXPECT_EQ(dialog.Frame.MenuBar(), nullptr);
  EXPECT_EQ(dialog.Frame.FormPanel()->Top(), Bar().Height());
}

TEST_F(SkinFormTest, AltAndAnItemsLetterOpensIt) {
  ThreeItemMenu m;
  dialog.Frame.SetMenu(&m.menu);
  ::SetForegroundWindow(dialog.Handle());
  PumpFor(50);
  if (::GetActiveWindow() != dialog.Handle()) GTEST_SKIP() << "the dialog could not take the foreground";
  struct Case {
    UINT message;
    wchar_t ch;
    bool overTheBar;
    int ran;  // Help never runs: it is disabled
  } cases[] = {
      {WM_SYSCHAR, L'r', false, 1},  // Alt+R runs Run
      {WM_SYSCHAR, L'R', false, 1},  // any case
      {WM_SYSCHAR, L'h', false, 0},
      {WM_SYSCHAR, L'x', false, 0},  // no item has X
      {WM_CHAR, L'r', false, 0},     // a plain letter only while a button is hot
      {WM_CHAR, L'r', true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.message << " " << char(c.ch) << " " << c.overTheBar);
    m.ran = m.helped = 0;
    skin::TskMenuBar& bar = *dialog.Frame.MenuBar();
    POINT at = c.overTheBar ? Centre(bar.ButtonBounds(2)) : POINT{-1, -1};
    ::SendMessageW(bar.Handle(), c.overTheBar ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, At(at));
    ::PostMessageW(dialog.Handle(), c.message, c.ch, 0x20000001);
    PumpFor(50);
    EXPECT_EQ(m.ran, c.ran);
    EXPECT_EQ(m.helped, 0);
  }
  // Alt+F drops File's themed sub-menu down.
  g_menuSeen = g_menuThemed = false;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &WatchMenu);
  ::PostMessageW(dialog.Handle(), WM_SYSCHAR, L'f', 0x20000001);
  EXPECT_TRUE(PumpUntil([] { return g_menuSeen; }));
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(g_menuThemed);
  dialog.Frame.SetMenu(nullptr);
}

COLORREF BarPixel(skin::TskMenuBar& bar, int x, int y) {
  ::InvalidateRect(bar.Handle(), nullptr, FALSE);
  ::UpdateWindow(bar.Handle());
  HDC dc = ::GetDC(bar.Handle());
  COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(bar.Handle(), dc);
  return c;
}

// The button under the mouse is drawn as the popup menu's selected item
// (face and edge in the style's selection colours); a disabled one turns hot
// but keeps the bar's face; leaving the bar clears it.
TEST_F(SkinFormTest, MenuBarButtonUnderTheMouseIsHot) {
  ThreeItemMenu m;
  dialog.Frame.SetMenu(&m.menu);
  ASSERT_NE(dialog.Frame.MenuBar(), nullptr);
  skin::TskMenuBar& bar = *dialog.Frame.MenuBar();
  const COLORREF edge = skin::GetBuiltinThemeColor(dialog.Frame.GetUIStyle(), 18);
  const COLORREF face = skin::GetBuiltinThemeColor(dialog.Frame.GetUIStyle(), 19);
  for (size_t i : {size_t{0}, size_t{2}}) {
    SCOPED_TRACE(i);
    RECT r = bar.ButtonBounds(i);
    ::SendMessageW(bar.Handle(), WM_MOUSEMOVE, 0, At(POINT{r.left + 1, r.top + 1}));
    const bool enabled = i == 0;
    EXPECT_EQ(BarPixel(bar, r.left, r.top) == edge, enabled);
    EXPECT_EQ(BarPixel(bar, r.left + 1, r.top + 1) == face, enabled);
    EXPECT_EQ(bar.ButtonTag(i), 888);
    EXPECT_EQ(bar.ButtonTag(2 - i), 0);
  }
  ::SendMessageW(bar.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_NE(BarPixel(bar, bar.ButtonBounds(0).left, bar.ButtonBounds(0).top), edge);
  EXPECT_EQ(bar.ButtonTag(2), 0);
  dialog.Frame.SetMenu(nullptr);
}

// MacOS draws the bar and a hot button from its two menu pictures when the
// program carries them, else in the style's colours. With a skin file the
// bar runs from file colour 3 to 4, and a hot button takes file colours 5
// (face) and 6 (edge).
TEST_F(SkinFormTest, MenuBarTakesMacOsPicturesAndTheSkinFilesColours) {
  ThreeItemMenu m;
  dialog.Frame.SetMenu(&m.menu);
  skin::TskMenuBar& bar = *dialog.Frame.MenuBar();
  RECT r{};
  int spare = 0;
  auto hover = [&] {
    r = bar.ButtonBounds(0);
    spare = bar.ButtonBounds(2).right + 5;
    ::SendMessageW(bar.Handle(), WM_MOUSEMOVE, 0, At(POINT{r.left + 1, r.top + 1}));
  };
  dialog.Frame.SetUIStyle(skin::MacOS);
  skin::Bitmap select, back;
  const bool pictures = select.LoadFromResource(::GetModuleHandleW(nullptr), L"MACOS_MENU_SELECT") &&
                        back.LoadFromResource(::GetModuleHandleW(nullptr), L"MACOS_MENU_BAR");
  hover();
  if (pictures) {
    EXPECT_EQ(BarPixel(bar, spare, 0), back.Pixel(0, 0));
    EXPECT_EQ(BarPixel(bar, r.left + 1, 0), select.Pixel(0, 0));
  } else {
    EXPECT_EQ(BarPixel(bar, r.left + 1, r.top + 1), skin::GetBuiltinThemeColor(skin::MacOS, 19));
  }
  ::SendMessageW(bar.Handle(), WM_MOUSELEAVE, 0, 0);

  skin::TskFileTheme theme;
  theme.SetThemeFile(testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_BUILD_DIR") +
                                                   L"/tests/skin_form/menubar.skn"));
  ASSERT_TRUE(theme.GetReady());
  dialog.Frame.SetFileTheme(&theme);
  dialog.Frame.SetUIStyle(skin::FromThemeFile);
  EXPECT_EQ(m.menu.GetFileTheme(), &theme);
  EXPECT_EQ(m.menu.GetUIStyle(), skin::FromThemeFile);
  hover();
  EXPECT_EQ(BarPixel(bar, spare, 0), RGB(0x30, 0x20, 0x10));
  EXPECT_EQ(BarPixel(bar, spare, bar.Height() - 1), RGB(0x60, 0x50, 0x40));
  EXPECT_EQ(BarPixel(bar, r.left + 1, r.top + 1), RGB(0x10, 0x10, 0xA0));
  EXPECT_EQ(BarPixel(bar, r.left, r.top), RGB(0x10, 0xA0, 0x10));
  // Captions: the hot one in file colour 7, the idle ones in colour 8.
  const COLORREF hotText = RGB(0xA0, 0x10, 0x10), idleText = RGB(0x10, 0xA0, 0xA0);
  ::InvalidateRect(bar.Handle(), nullptr, FALSE);
  ::UpdateWindow(bar.Handle());
  for (size_t i : {0u, 1u}) {
    const RECT r = bar.ButtonBounds(i);
    EXPECT_GT(PixelsIn(bar.Handle(), r, i == 0 ? hotText : idleText), 5) << "button " << i;
    EXPECT_LE(PixelsIn(bar.Handle(), r, i == 0 ? idleText : hotText), 5) << "button " << i;
  }
  ::SendMessageW(bar.Handle(), WM_MOUSELEAVE, 0, 0);
  dialog.Frame.SetMenu(nullptr);
  dialog.Frame.SetFileTheme(nullptr);
}

// The box of the caption's pixels as the title bar shows it: between where
// the caption starts and the first button right of it.
RECT DrawnCaption(skin::TskTitleBar& bar) {
  bar.PaintNow();
  const COLORREF text = bar.FormActive() ? bar.FontColor : ::GetSysColor(COLOR_INACTIVECAPTION);
  RECT client{};
  ::GetClientRect(bar.Handle(), &client);
  LONG right = client.right;
  for (size_t i = 0; i < bar.Buttons.size(); ++i) {
    const RECT b = bar.ButtonRect(i);
    if (bar.Buttons[i].Visible && b.left > bar.CaptionX()) right = std::min(right, b.left);
  }
  RECT box{client.right, client.bottom, 0, 0};
  HDC dc = ::GetDC(bar.Handle());
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = bar.CaptionX(); x < right; ++x) {
      if (::GetPixel(dc, x, y) != text) continue;
      box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
    }
  }
  ::ReleaseDC(bar.Handle(), dc);
  return box;
}

// A font given to the frame is the one its title bar draws the caption in:
// the caption shown grows with it to the width that font gives the text.
TEST_F(SkinFormTest, TheFramesFontIsTheTitleBarsCaptionFont) {
  dialog.Frame.SetCaption(L"Wide caption");
  const RECT before = DrawnCaption(Bar());
  ASSERT_GT(before.right, before.left) << "no caption drawn";
  LOGFONTW asked{-19, 0, 0, 0, FW_NORMAL};
  ::lstrcpyW(asked.lfFaceName, L"Tahoma");
  dialog.Frame.SetFont(asked);
  const RECT after = DrawnCaption(Bar());
  HFONT font = ::CreateFontIndirectW(&asked);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  const int width = skin_test::TextWidth(dc, L"Wide caption");
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(font);
  EXPECT_NEAR(after.right - after.left, width, 3);
  EXPECT_GE(after.bottom - after.top, before.bottom - before.top + 3);
}

TEST_F(SkinFormTest, RemovingTheFrameGivesTheCaptionBack) {
  dialog.Frame.Remove();
  EXPECT_NE(::GetWindowLongPtrW(dialog.Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(::SendMessageW(dialog.Handle(), skin::SK_GETBORDERWIDTH, 0, 0), 0);
  PumpFor(50);
  EXPECT_TRUE(dialog.Exists());
}

// The dialog's theme manager gives its parts the WinXP look and its file
// theme (one without a file).
TEST(SkinFormAddDialog, TheThemeManagerDressesTheListedParts) {
  ui::Application::Instance().Initialize();
  app::TfrmRegAddRegistry add;
  ASSERT_TRUE(add.CreateForm(nullptr, L"HKEY_CURRENT_USER\\Software"));
  EXPECT_FALSE(add.skFileTheme.GetReady());
  EXPECT_EQ(add.skThemeManager.GetCompList().size(), 6u);
  auto dressed = [&](auto& part) {
    return part.GetUIStyle() == skin::WinXP && part.GetFileTheme() == &add.skFileTheme;
  };
  EXPECT_TRUE(dressed(add.skThemeManager) && dressed(add.skForm) && dressed(add.eRegistryKey));
  EXPECT_TRUE(dressed(add.bLaunchRegedit) && dressed(add.bOK) && dressed(add.bCancel));
  EXPECT_EQ(add.skForm.TitleBar().GetUIStyle(), skin::WinXP);
  EXPECT_EQ(add.skForm.BorderWidth(), 3);
  EXPECT_EQ(add.skForm.RoundCorner(), 13);
}

// A file theme freed while in use: the frame, its title bar and the lists
// drop it and take DeepBlue.
TEST_F(SkinFormTest, AFreedFileThemeLeavesDeepBlue) {
  skin::TskEdit edit;
  ASSERT_TRUE(edit.Create(dialog.Frame.Handle(), L"", 10, 40, 100, 21));
  auto theme = std::make_unique<skin::TskFileTheme>();
  dialog.Frame.SetFileTheme(theme.get());
  edit.SetFileTheme(theme.get());
  edit.SetUIStyle(skin::WinXP);
  ASSERT_EQ(dialog.Frame.GetUIStyle(), skin::WinXP);
  theme.reset();
  EXPECT_EQ(dialog.Frame.GetFileTheme(), nullptr);
  EXPECT_EQ(dialog.Frame.GetUIStyle(), skin::DeepBlue);
  EXPECT_EQ(Bar().GetUIStyle(), skin::DeepBlue);
  EXPECT_EQ(Bar().GetFileTheme(), nullptr);
  EXPECT_EQ(edit.GetFileTheme(), nullptr);
  EXPECT_EQ(edit.GetUIStyle(), skin::DeepBlue);
  EXPECT_EQ(dialog.Frame.BorderWidth(), skin::GetBuiltinThemeInteger(skin::DeepBlue, 17));
}

// With VANTOREL_SKIN_SCREENSHOT set, saves the program's "Add to Ignore List"
// dialog as the screen shows it.
TEST(SkinFormShot, Screenshot) {
  const char* out = std::getenv("VANTOREL_SKIN_SCREENSHOT");
  if (out == nullptr) GTEST_SKIP() << "no screenshot asked for";
  ui::Application::Instance().Initialize();
  app::TfrmRegAddRegistry add;
  ASSERT_TRUE(add.CreateForm(nullptr, L"HKEY_CURRENT_USER\\Software\\Example"));
  ::ShowWindow(add.Handle(), SW_SHOW);
  ::SetForegroundWindow(add.Handle());
  PumpFor(500);
  RECT wr{};
  ::GetWindowRect(add.Handle(), &wr);
  ::InflateRect(&wr, 10, 10);
  EXPECT_TRUE(skin_test::SaveBmp(skin_test::ScreenPart(wr), out));
}

}  // namespace
