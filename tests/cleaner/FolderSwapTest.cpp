// A real swap in the middle of a clean: after a folder has been listed and
// before its first delete, a file, the folder itself or the folder above it
// is moved away from the Unix side, where no handle of the clean can stop
// it, and a link to an outside copy put in its place. The outside copy holds
// files of the same names; none may go, and the log must say what was left.
#include <gtest/gtest.h>

#include "CleanFakes.h"

using namespace cleaner;
using namespace cleaner_test;

namespace {

const wchar_t* const kSubFiles[] = {L"one.txt", L"two.txt", L"three.txt"};

// target\ is cleaned; outside\ mirrors it with files that must stay.
void MakeTree(const Sandbox& box) {
  for (const wchar_t* top : {L"target", L"outside"}) {
    std::string content = std::wstring(top) == L"target" ? "go" : "keep";
    box.Folder(top);
    box.Folder(std::wstring(top) + L"\\sub");
    box.File(std::wstring(top) + L"\\a.txt", content);
    for (const wchar_t* name : kSubFiles) box.File(std::wstring(top) + L"\\sub\\" + name, content);
  }
}

// Swaps `relative` (target\...) for a link to its namesake below outside\.
bool SwapForLink(const Sandbox& box, const std::wstring& relative) {
  std::wstring outside = L"outside" + relative.substr(std::wstring(L"target").size());
  return testing_support::SwapForLink(box.Path(relative), box.Path(L"moved-away"), box.Path(outside));
}

}  // namespace

TEST(FolderSwap, AFolderReplacedAfterItsListingLeavesEveryOutsideFile) {
  struct Row {
    const char* what;
    const wchar_t* swapped;  // relative to the sandbox; null: the file about to be deleted
    bool wipe;
    const wchar_t* logged;   // the log line's path, relative; null: the swapped file
    const wchar_t* why;
    int mostDeleted;         // of the four files in target
  };
  const std::wstring replaced = L" (the folder was replaced after it was listed)";
  const Row rows[] = {
      {"a file swapped for a file link", nullptr, false, nullptr, L" (a link to another file)", 3},
      {"the folder swapped for a folder link", L"target\\sub", false, L"target\\sub\\", replaced.c_str(), 1},
      {"the same, with wiping", L"target\\sub", true, L"target\\sub\\", replaced.c_str(), 1},
      {"the folder above swapped for a junction-like link", L"target", false, L"target\\sub\\", replaced.c_str(), 1},
  };
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Sandbox box(L"swap" + std::to_wstring(n++));
    MakeTree(box);
    CleanSettings settings;
    settings.IsWipeFile = r.wipe;
    settings.WipeNumber = 1;
    CleanRun run(CleanMode::RealClean, settings, true);
    std::wstring swapped;
    run.deleter->onFile = [&](const std::wstring& path) {
      if (!swapped.empty() || path.find(box.Path(L"target\\sub\\")) != 0) return;
      swapped = r.swapped != nullptr ? r.swapped : path.substr(box.Root().size());
      if (!SwapForLink(box, swapped)) swapped = L"failed";
    };
    int count = 0;
    run.Thread().DeleteFolderFiles(box.Path(L"target"), true, true, L"", count);
    if (swapped == L"failed") GTEST_SKIP() << "links can only be made under Wine";
    ASSERT_FALSE(swapped.empty());
    EXPECT_EQ(ReadAll(box.Path(L"outside\\a.txt")), "keep");
    for (const wchar_t* name : kSubFiles) EXPECT_EQ(ReadAll(box.Path(L"outside\\sub\\") + name), "keep");
    EXPECT_TRUE(Exists(box.Path(L"outside\\sub")));
    std::wstring logged = box.Path(r.logged != nullptr ? r.logged : swapped);
    EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + logged + r.why));
    EXPECT_LE(count, r.mostDeleted);
  }
}

// An item that lists a folder itself pins it first; its files are then
// deleted against that pin like a walk's.
TEST(FolderSwap, AnItemsOwnListingIsDeletedAgainstItsPin) {
  Sandbox box(L"swap-item");
  MakeTree(box);
  CleanRun run(CleanMode::RealClean, {}, true);
  core::guard::FolderPin pin(box.Path(L"target\\sub"));
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((pin.Path() + L"*").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  if (!SwapForLink(box, L"target\\sub")) GTEST_SKIP() << "links can only be made under Wine";
  int deleted = 0;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) deleted += run.Thread().DeletePinnedFile(pin, fd, true);
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  EXPECT_EQ(deleted, 0);
  for (const wchar_t* name : kSubFiles) EXPECT_EQ(ReadAll(box.Path(L"outside\\sub\\") + name), "keep");
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + box.Path(L"target\\sub\\") +
                                L" (the folder was replaced after it was listed)"));
}
