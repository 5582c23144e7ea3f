// The "Run Cleaner" question answers to the dialog keys as to its buttons.
#include <gtest/gtest.h>

#include "app/AskDelete.h"
#include "support/KeyPresser.h"
#include "ui/Application.h"

namespace {

TEST(RunCleanerQuestion, EnterAnswersYesAndEscapeNo) {
  ui::Application::Instance().Initialize();
  const struct {
    WPARAM key;
    int answer;
  } cases[] = {{VK_RETURN, IDYES}, {VK_ESCAPE, IDNO}};
  for (const auto& c : cases) {
    app::TfrmAskDelete dialog;
    ASSERT_TRUE(dialog.CreateAskDialog(nullptr));
    testing_support::KeyPresser press(L"TVantorelAskDelete", c.key);
    EXPECT_EQ(dialog.Execute(nullptr), c.answer) << "key " << c.key;
    EXPECT_TRUE(press.Pressed());
  }
}

}  // namespace
