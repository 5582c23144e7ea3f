// The main window, its Help menu, the About box and the Options dialog used
// from the keyboard alone, with the keys posted where the keyboard sends them
// and run through the program's own loop step.
#include <gtest/gtest.h>

#include <cstring>
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
  // The window hidden to the tray and brought back opens on its first control
  // again when none had the focus.
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

// "<New List>" opens the custom list on Enter and on any mouse button.
TEST_F(MainKeyboard, TheCustomListOpensWithEnterAndWithTheMiddleButton) {
  ui::TreeNode newList = nullptr;
  form.tvCleanItems.ForEach([&](ui::TreeNode n) {
    if (form.tvCleanItems.NodeText(n) == L"<New List>") newList = n;
  });
  ASSERT_NE(newList, nullptr);
  form.tvCleanItems.Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(newList));
  const struct {
    const char* how;
    std::function<void()> act;
  } ways[] = {
      {"Enter",
       [&] {
         form.tvCleanItems.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(newList));
         ::SetFocus(form.tvCleanItems.Handle());
         PressFocused(VK_RETURN);
       }},
      {"the middle button",
       [&] {
         RECT r{};
         std::memcpy(&r, &newList, sizeof(newList));
         form.tvCleanItems.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
         const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
         form.tvCleanItems.Post(WM_MBUTTONDOWN, MK_MBUTTON, at);
         form.tvCleanItems.Post(WM_MBUTTONUP, 0, at);
         Pump(50);
       }},
  };
  for (const auto& w : ways) {
    testing_support::KeyPresser inList(L"TfrmNewCustomItem", VK_ESCAPE);
    w.act();
    EXPECT_TRUE(inList.Pressed()) << "opened by " << w.how;
    EXPECT_TRUE(inList.ClosedByKey()) << w.how;
  }
}

// With the window hidden in the tray, the tray menu still answers its
// letters and Escape.
TEST_F(MainKeyboard, TheTrayMenuOfAHiddenWindowAnswersItsLettersAndEscape) {
  form.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_FALSE(form.Visible());
  const struct {
    WPARAM key;
    bool aboutOpens;
  } keys[] = {{'A', true}, {VK_ESCAPE, false}};
  for (const auto& k : keys) {
    testing_support::KeyPresser inMenu(L"#32768", k.key);
    testing_support::KeyPresser inAbout(L"TfrmAbout", VK_ESCAPE);
    form.Send(app::WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    EXPECT_TRUE(inMenu.ClosedByKey()) << "key " << k.key;
    EXPECT_EQ(inAbout.Pressed(), k.aboutOpens) << "key " << k.key;
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

}  // namespace

namespace {

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  return name;
}

// Each dialog opens with the focus on its first control, so that what is
// typed at once goes there.
TEST(DialogKeyboard, EveryDialogOpensOnItsFirstControl) {
  ui::Application::Instance().Initialize();
  struct Silent : ui::IMessageBoxAnswerer {
    int Answer(HWND, const std::wstring&, UINT) override { return IDCANCEL; }
  } silent;
  ui::IMessageBoxAnswerer* previous = ui::SetMessageBoxAnswerer(&silent);
  struct Opened {
    std::unique_ptr<ui::Form> form;
    HWND first = nullptr;
  };
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring customFile = std::wstring(temp) + L"keyboard_custom.dat";
  const struct {
    const wchar_t* cls;
    std::function<Opened()> open;
  } dialogs[] = {
      {L"TVantorelAskDelete",
       [] {
         auto d = std::make_unique<app::TfrmAskDelete>();
         d->CreateAskDialog(nullptr);
         HWND first = d->cbAsk.Handle();
         return Opened{std::move(d), first};
       }},
      {L"TfrmAbout",
       [] {
         auto d = std::make_unique<app::TfrmAbout>();
         d->CreateAbout(nullptr);
         HWND first = d->bOK.Handle();
         return Opened{std::move(d), first};
       }},
      {L"TfrmRestore",
       [] {
         auto d = std::make_unique<app::TfrmRestore>();
         d->CreateRestore(nullptr);
         HWND first = d->eFolder.Handle();
         return Opened{std::move(d), first};
       }},
      {L"TfrmIndexDatViewer",
       [] {
         auto d = std::make_unique<app::TfrmIndexDatViewer>();
         d->CreateDialogWindow(nullptr);
         HWND first = d->lvIndexDat.Handle();
         return Opened{std::move(d), first};
       }},
      {L"TfrmNewCustomItem",
       [&] {
         auto d = std::make_unique<app::TfrmNewCustomItem>();
         d->CreateDialogWindow(nullptr, customFile);
         HWND first = d->lvContent.Handle();
         return Opened{std::move(d), first};
       }},
      {L"TfrmAddRegistry",
       [] {
         auto d = std::make_unique<app::TfrmAddRegistry>();
         d->CreateDialogWindow(nullptr);
         HWND first = d->eRegistryKey.Handle();
         return Opened{std::move(d), first};
       }},
  };
  for (const auto& d : dialogs) {
    Opened o = d.open();
    ASSERT_TRUE(o.form && o.form->Exists()) << d.cls;
    testing_support::KeyPresser press(d.cls, VK_ESCAPE);
    o.form->ShowModal(nullptr);
    EXPECT_TRUE(press.ClosedByKey()) << d.cls;
    EXPECT_EQ(press.Target(), o.first) << d.cls << ": the key went to a " << ClassOf(press.Target()) << " "
                                        << (press.Target() == o.form->Handle() ? "(the form)" : "");
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
