// Emptying a folder tree while sparing files by a part of their names.
#include <gtest/gtest.h>

#include <algorithm>

#include "ItemsFakes.h"
#include "cleaner/items/BrowserItems.h"
#include "cleaner/SystemPaths.h"

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
    // Emptied from this side first: under Wine, a folder this process listed
    // through a link and then removed by a Unix tool ends the process silently.
    for (const wchar_t* folder : {L"target", L"tree"}) testing_support::RemoveFolder(box_.Path(folder));
  }
  int Run(CleanMode mode, const std::wstring& folder, bool removeFolder, bool asks = false) {
    ItemRun run(mode);
    int count = 0;
    run.table.Register(kCaption, [&](TClearTaskThread& t) {
      DeleteFolderExcept(t, folder, removeFolder, count, L"me");
    });
    run.Run({kCaption});
    if (!asks) { EXPECT_TRUE(run.asker->questions.empty()); }
    lines_ = run.log->Lines();
    questions_ = run.asker->questions;
    icons_ = run.asker->icons;
    return count;
  }
  bool Logged(const std::wstring& line) const {
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
  }
  Sandbox box_{L"folder-except"};
  bool linked_ = false;
  std::vector<std::wstring> lines_, questions_;
  std::vector<UINT> icons_;
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

// The folder an item names is the user's own layout even when it is a link
// (a profile moved elsewhere): followed, and said so; the link itself stays.
TEST_F(FolderExcept, ALinkedFolderTheItemNamesIsFollowedAndSaidSo) {
  ASSERT_TRUE(linked_);
  box_.File(L"target\\keep-me-too");
  EXPECT_EQ(Run(CleanMode::RealClean, box_.Path(L"toplink"), true), 1);
  EXPECT_FALSE(Exists(box_.Path(L"target\\t.txt")));
  EXPECT_TRUE(Exists(box_.Path(L"target\\keep-me-too")));
  EXPECT_TRUE(Exists(box_.Path(L"toplink")));
  EXPECT_TRUE(Logged(L"Clean: following the link " + box_.Path(L"toplink") + L" (the user's own layout)"));
}

// The documents folder is asked about once, as a question with No the default.
TEST_F(FolderExcept, TheDocumentsFolderIsAskedAboutOnce) {
  std::wstring docs = GetMyDocumentsPath();
  ASSERT_FALSE(docs.empty());
  for (const wchar_t* name : {L"except-one.txt", L"except-two.txt"}) WriteFile(docs + name, "x");
  EXPECT_EQ(Run(CleanMode::RealClean, docs, false, true), 0);
  EXPECT_EQ(questions_, std::vector<std::wstring>{L"Do you want to delete all files and folders under " + docs + L"?"});
  EXPECT_EQ(icons_, std::vector<UINT>{MB_ICONQUESTION});
  for (const wchar_t* name : {L"except-one.txt", L"except-two.txt"}) {
    EXPECT_TRUE(Exists(docs + name));
    ::DeleteFileW((docs + name).c_str());
  }
}

TEST_F(FolderExcept, MissingFolderOrBareSeparatorDoesNothing) {
  EXPECT_EQ(Run(CleanMode::RealClean, box_.Path(L"missing"), true), 0);
  EXPECT_EQ(Run(CleanMode::RealClean, L"\\", true), 0);
  EXPECT_TRUE(Exists(box_.Path(L"tree\\a.txt")));
}

}  // namespace
