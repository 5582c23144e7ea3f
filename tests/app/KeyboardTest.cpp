// The main window, its Help menu, the About box and the Options dialog used
// from the keyboard alone, with the keys posted where the keyboard sends them
// and run through the program's own loop step.
#include <gtest/gtest.h>

#include <vector>

#include "AppTestSupport.h"
#include "support/KeyPresser.h"

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
  ::SetFocus(form.Handle());
  const std::vector<HWND> expected = {form.bCleaner.Handle(), form.bRegistry.Handle(), form.bRegistryDefrag.Handle(),
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
