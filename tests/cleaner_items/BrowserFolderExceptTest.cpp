// Emptying a folder tree while sparing files by a part of their names.
#include <gtest/gtest.h>

#include "ItemsFakes.h"
#include "cleaner/items/BrowserItems.h"

using namespace cleaner;
using namespace items_test;

namespace {

const wchar_t kCaption[] = L"Sandbox - Except";

class FolderExcept : public testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* f : {L"tree\\a.txt", L"tree\\keep-ME.txt", L"tree\\sub\\b.txt", L"tree\\sub\\xmex",
                             L"tree\\doomed\\c.txt", L"tree\\doomed\\deeper\\d.txt", L"target\\t.txt"}) {
      box_.File(f);
    }
    linked_ = MakeSymlink(box_.Path(L"target"), box_.Path(L"tree\\link")) &&
              MakeSymlink(box_.Path(L"target"), box_.Path(L"toplink"));
  }
  void TearDown() override {
    RemoveLink(box_.Path(L"tree\\link"));
    RemoveLink(box_.Path(L"toplink"));
  }
  int Run(CleanMode mode, const std::wstring& folder, bool removeFolder) {
    ItemRun run(mode);
    int count = 0;
    run.table.Register(kCaption, [&](TClearTaskThread& t) {
      DeleteFolderExcept(t, folder, removeFolder, count, L"me");
    });
    run.Run({kCaption});
    EXPECT_TRUE(run.asker->questions.empty());
    return count;
  }
  Sandbox box_{L"folder-except"};
  bool linked_ = false;
};

TEST_F(FolderExcept, SparesNamedFilesNeverEntersLinksAndKeepsFoldersThatHoldSomething) {
  ASSERT_TRUE(linked_);
  EXPECT_EQ(Run(CleanMode::Test, box_.Path(L"tree"), true), 4);
  EXPECT_TRUE(Exists(box_.Path(L"tree\\doomed\\deeper\\d.txt")));

  EXPECT_EQ(Run(CleanMode::RealClean, box_.Path(L"tree"), true), 4);
  struct Case {
    const wchar_t* path;
    bool stays;
  } cases[] = {
      {L"tree\\a.txt", false},     {L"tree\\sub\\b.txt", false}, {L"tree\\doomed", false},
      {L"tree\\keep-ME.txt", true}, {L"tree\\sub\\xmex", true},  {L"tree", true},
      {L"target\\t.txt", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Exists(box_.Path(c.path)), c.stays) << testing::PrintToString(c.path);
}

TEST_F(FolderExcept, ALinkedFolderIsNotEmptied) {
  ASSERT_TRUE(linked_);
  box_.File(L"target\\keep-me-too");  // a spared file: each other file would go by its own name
  EXPECT_EQ(Run(CleanMode::RealClean, box_.Path(L"toplink"), false), 0);
  EXPECT_TRUE(Exists(box_.Path(L"target\\t.txt")));
}

TEST_F(FolderExcept, MissingFolderOrBareSeparatorDoesNothing) {
  EXPECT_EQ(Run(CleanMode::RealClean, box_.Path(L"missing"), true), 0);
  EXPECT_EQ(Run(CleanMode::RealClean, L"\\", true), 0);
  EXPECT_TRUE(Exists(box_.Path(L"tree\\a.txt")));
}

}  // namespace
