// The main window, its Help menu, the About box and the Options dialog used
// from the keyboard alone, with the keys posted where the keyboard sends them
// and run through the program's own loop step.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/About.h"
#include "app/AddRegistryDialog.h"
#include "app/AskDelete.h"
#include "app/CustomListDialog.h"
#include "app/IndexDatViewer.h"
#include "app/RestoreForm.h"
#include "support/KeyPresser.h"
#include "ui/MessageBox.h"

namespace {

using app_test::Pump;
using app_test::PressFocused;

class MainKeyboard : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(app_test::OpenMainWindow(form)); }
  void TearDown() override { app_test::CloseMainWindow(form); }
  app::TfrmMain form;
};

TEST_F(MainKeyboard, TabVisitsTheColumnAndThePageInReadingOrderAndShiftTabGoesBack) {
  EXPECT_EQ(::GetFocus(), form.bCleaner.Handle()) << "the window opens on its first control";
  const std::vector<HWND> expected = {form.bRegistry.Handle(), form.bRegistryDefrag.Handle(),
                                      form.bTools.Handle(),   form.bOptions.Handle(),  form.bHelp.Handle(),
                                      form.tvCleanItems.Handle(), form.lMain.Handle(), form.cbFastMode.Handle(),
                                      form.bTest.Handle(),    form.bClean.Handle()};
  for (size_t i = 0; i < expected.size(); ++i) {
    PressFocused(VK_TAB);
    EXPECT_EQ(::GetFocus(), expected[i]) << "Tab to stop " << i;
  }
  for (size_t i = expected.size() - 1; i > 0; --i) {
    PressFocused(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(::GetFocus(), expected[i - 1]) << "Shift+Tab to stop " << i - 1;
  }
  PressFocused(VK_TAB, {VK_SHIFT});
  EXPECT_EQ(::GetFocus(), form.bCleaner.Handle());
  // A page button pressed from the keyboard shows its page, and Tab goes on into it.
  ::SetFocus(form.bRegistry.Handle());
  PressFocused(VK_SPACE);
  EXPECT_TRUE(form.gbRegistry.Visible());
  ::SetFocus(form.bTools.Handle());
  PressFocused(VK_RETURN);
  EXPECT_TRUE(form.gbTools.Visible());
  EXPECT_FALSE(form.gbRegistry.Visible());
  ::SetFocus(form.bHelp.Handle());
  PressFocused(VK_TAB);
  EXPECT_EQ(::GetFocus(), form.bStartup.Handle());
  // A list entered with Tab shows its focus on the first row, and Space ticks it.
  for (const wchar_t* name : {L"one", L"two"}) form.lvStartup.AddRow(name, {L"f", L"l"});
  for (int i = 0; i < 4 && ::GetFocus() != form.lvStartup.Handle(); ++i) PressFocused(VK_TAB);
  ASSERT_EQ(::GetFocus(), form.lvStartup.Handle());
  EXPECT_EQ(form.lvStartup.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
  const bool was = form.lvStartup.Checked(0);
  PressFocused(VK_SPACE);
  EXPECT_NE(form.lvStartup.Checked(0), was);
  // Back from the tray with no control focused, the window focuses one.
  ::SetFocus(nullptr);
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  form.Send(app::WM_SHOWMAINWINDOW);
  Pump(50);
  EXPECT_TRUE(::GetFocus() == form.bCleaner.Handle() || ::IsChild(form.Handle(), ::GetFocus()))
      << "a control has the focus after the restore";
}

TEST_F(MainKeyboard, SpaceTicksATreeItemAndAltLetterOnTheToolsPageClicksItsButton) {
  // Space on a group of the clean tree ticks it and its items, as a click on its box.
  ui::TreeNode group = form.tvCleanItems.First();
  ASSERT_NE(group, nullptr);
  form.tvCleanItems.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(group));
  ::SetFocus(form.tvCleanItems.Handle());
  const int before = form.tvCleanItems.StateIndex(group);
  for (int ticked : {3 - before, before}) {
    PressFocused(VK_SPACE);
    EXPECT_EQ(form.tvCleanItems.StateIndex(group), ticked);
    EXPECT_EQ(form.tvCleanItems.StateIndex(form.tvCleanItems.FirstChild(group)), ticked);
  }
  EXPECT_EQ(::GetFocus(), form.tvCleanItems.Handle());

  form.FlatButtonClick(form.bTools);
  for (const wchar_t* name : {L"one", L"two", L"three"}) form.lvStartup.AddRow(name, {L"f", L"l"});
  ::SetFocus(form.lvStartup.Handle());
  const struct {
    wchar_t letter;
    bool ticked;
  } steps[] = {{L'a', true}, {L'N', false}, {L'A', true}};  // "Select &All", "Select &None"
  for (const auto& s : steps) {
    ::PostMessageW(::GetFocus(), WM_SYSCHAR, s.letter, 0x20000001);  // Alt held
    Pump(30);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(form.lvStartup.Checked(row), s.ticked) << "Alt+" << char(s.letter);
  }
}

TEST_F(MainKeyboard, TheCustomListOpensWithEnterAndWithTheMiddleButton) {
  ui::TreeNode newList = nullptr;
  form.tvCleanItems.ForEach([&](ui::TreeNode n) {
    if (form.tvCleanItems.NodeText(n) == L"<New List>") newList = n;
  });
  ASSERT_NE(newList, nullptr);
  form.tvCleanItems.Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(newList));
  RECT r{};
  app_test::TreeItemRect(form.tvCleanItems, newList, &r);
  const LPARAM middle = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (const char* how : {"Enter", "the middle button"}) {
    testing_support::KeyPresser inList(L"TfrmNewCustomItem", VK_ESCAPE);
    if (how[0] == 'E') {
      form.tvCleanItems.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(newList));
      ::SetFocus(form.tvCleanItems.Handle());
      PressFocused(VK_RETURN);
    } else {
      form.tvCleanItems.Post(WM_MBUTTONDOWN, MK_MBUTTON, middle);
      form.tvCleanItems.Post(WM_MBUTTONUP, 0, middle);
      Pump(50);
    }
    EXPECT_TRUE(inList.Pressed()) << "opened by " << how;
    EXPECT_TRUE(inList.ClosedByKey()) << how;
  }
}

TEST_F(MainKeyboard, TheTrayMenuOfAHiddenWindowAnswersItsLettersAndEscape) {
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_FALSE(form.Visible());
  for (WPARAM key : {WPARAM('A'), WPARAM(VK_ESCAPE)}) {
    testing_support::KeyPresser inMenu(L"#32768", key);
    testing_support::KeyPresser inAbout(L"TfrmAbout", VK_ESCAPE);
    form.Send(app::WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    EXPECT_TRUE(inMenu.ClosedByKey()) << "key " << key;
    EXPECT_EQ(inAbout.Pressed(), key == 'A') << "key " << key;
  }
  EXPECT_FALSE(form.Visible()) << "the window stays in the tray";
}

TEST_F(MainKeyboard, TheLetterAOfTheHelpMenuOpensAboutAndEscapeClosesIt) {
  testing_support::KeyPresser inMenu(L"#32768", 'A');
  testing_support::KeyPresser inAbout(L"TfrmAbout", VK_ESCAPE);
  ::SetFocus(form.bHelp.Handle());
  PressFocused(VK_SPACE);  // opens the menu; its loop and the box's run inside
  EXPECT_TRUE(inMenu.Pressed());
  EXPECT_TRUE(inMenu.ClosedByKey()) << "the menu took the letter";
  EXPECT_TRUE(inAbout.Pressed()) << "About opened";
  EXPECT_TRUE(inAbout.ClosedByKey()) << "Escape closed About";
  EXPECT_EQ(::GetFocus(), form.bHelp.Handle()) << "the focus is back where it was";
}

// Alt+F4 closes the main window whichever control has the focus, as the
// keyboard sends it: Alt down, F4 down and up as system keys, Alt up.
TEST(MainWindowKeyboard, AltF4ClosesTheWindowFromEveryControl) {
  const struct {
    const char* what;
    std::function<HWND(app::TfrmMain&)> control;
  } rows[] = {
      {"the clean tree", [](app::TfrmMain& f) { return f.tvCleanItems.Handle(); }},
      {"the log", [](app::TfrmMain& f) { return f.lMain.Handle(); }},
      {"a button", [](app::TfrmMain& f) { return f.bTest.Handle(); }},
      {"a page button", [](app::TfrmMain& f) { return f.bCleaner.Handle(); }},
      {"the startup list",
       [](app::TfrmMain& f) {
         f.FlatButtonClick(f.bTools);
         f.lvStartup.AddRow(L"one", {L"f", L"l"});
         return f.lvStartup.Handle();
       }},
  };
  for (const auto& r : rows) {
    app::TfrmMain form;
    ASSERT_TRUE(app_test::OpenMainWindow(form)) << r.what;
    const HWND window = form.Handle(), control = r.control(form);
    ::SetFocus(control);
    ASSERT_EQ(::GetFocus(), control) << r.what;
    BYTE state[256] = {};
    state[VK_MENU] = state[VK_LMENU] = 0x80;
    ::SetKeyboardState(state);
    ::PostMessageW(control, WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    ::PostMessageW(control, WM_SYSKEYDOWN, VK_F4, 0x203E0001);
    ::PostMessageW(control, WM_SYSKEYUP, VK_F4, 0xE03E0001);
    Pump(30);
    BYTE none[256] = {};
    ::SetKeyboardState(none);
    ::PostMessageW(control, WM_KEYUP, VK_MENU, 0xC0380001);
    Pump(50);
    EXPECT_FALSE(::IsWindow(window)) << "Alt+F4 from " << r.what << " left the window open";
    app_test::CloseMainWindow(form);
  }
}

struct Opened {
  std::unique_ptr<ui::Form> form;
  HWND first = nullptr;
};

// Makes a dialog of type D lazily; `create` makes its window and names its first control.
template <typename D, typename Create>
std::function<Opened()> Opener(Create create) {
  return [create] {
    auto d = std::make_unique<D>();
    HWND first = create(*d);
    return Opened{std::move(d), first};
  };
}

// What is typed into a dialog at once goes to its first control that can
// show the focus: no read-only box, no empty list.
TEST(DialogKeyboard, EveryDialogOpensOnItsFirstControl) {
  ui::Application::Instance().Initialize();
  struct Silent : ui::IMessageBoxAnswerer {
    int Answer(HWND, const std::wstring&, UINT) override { return IDCANCEL; }
  } silent;
  ui::IMessageBoxAnswerer* previous = ui::SetMessageBoxAnswerer(&silent);
  const std::wstring customFile = app_test::TempPath(L"keyboard_custom.dat");
  const struct {
    const wchar_t* cls;
    std::function<Opened()> open;
  } dialogs[] = {
      {L"TVantorelAskDelete", Opener<app::TfrmAskDelete>([](auto& d) { d.CreateAskDialog(nullptr); return d.cbAsk.Handle(); })},
      {L"TfrmAbout", Opener<app::TfrmAbout>([](auto& d) { d.CreateAbout(nullptr); return d.bOK.Handle(); })},
      {L"TfrmRestore", Opener<app::TfrmRestore>([](auto& d) { d.CreateRestore(nullptr); return d.bBrowseFolder.Handle(); })},  // past the read-only box
      {L"TfrmIndexDatViewer",
       Opener<app::TfrmIndexDatViewer>([](auto& d) { d.CreateDialogWindow(nullptr); return d.eFileName.Handle(); })},
      {L"TfrmNewCustomItem", Opener<app::TfrmNewCustomItem>([&](auto& d) {
         d.CreateDialogWindow(nullptr, customFile);
         return d.bAddFolder.Handle();  // past the empty list
       })},
      {L"TfrmAddRegistry",
       Opener<app::TfrmAddRegistry>([](auto& d) { d.CreateDialogWindow(nullptr); return d.eRegistryKey.Handle(); })},
  };
  for (const auto& d : dialogs) {
    Opened o = d.open();
    ASSERT_TRUE(o.form && o.form->Exists()) << d.cls;
    testing_support::KeyPresser press(d.cls, VK_ESCAPE);
    o.form->ShowModal(nullptr);
    EXPECT_TRUE(press.ClosedByKey()) << d.cls;
    EXPECT_EQ(press.Target(), o.first) << d.cls << (press.Target() == o.form->Handle() ? ": the key went to the form" : "");
  }
  // A letter typed at once lands in Add Registry's key box.
  app::TfrmAddRegistry add;
  ASSERT_TRUE(add.CreateDialogWindow(nullptr));
  {
    testing_support::KeyPresser press(L"TfrmAddRegistry", 'K');
    add.ShowModal(nullptr);
  }
  EXPECT_EQ(add.eRegistryKey.Text(), L"k");
  ui::SetMessageBoxAnswerer(previous);
}

}  // namespace
