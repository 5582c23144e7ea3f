// The folder primitives on a sandbox tree inside the test prefix: a test
// changes nothing, a clean removes exactly its set, links and protected
// folders are never walked into.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>

#include "CleanFakes.h"
#include "cleaner/SystemPaths.h"

using namespace cleaner;
using namespace cleaner_test;

namespace {

// Every entry below `folder` (links not entered): attributes and content.
void Snapshot(const std::wstring& folder, std::map<std::wstring, std::string>* out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = folder + name;
    std::string value = std::to_string(fd.dwFileAttributes) + ":";
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) value += ReadAll(path);
    (*out)[path] = value;
    if ((fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == FILE_ATTRIBUTE_DIRECTORY) {
      Snapshot(path + L"\\", out);
    }
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
}

std::map<std::wstring, std::string> Snapshot(const std::wstring& folder) {
  std::map<std::wstring, std::string> s;
  Snapshot(folder, &s);
  return s;
}

// target\ holds the files to go; outside\ is reached only through a link
// inside target\; the sentinels lie beside it.
struct Tree {
  explicit Tree(const std::wstring& name) : box(name) {
    box.Folder(L"target");
    box.File(L"target\\a.txt", "aaaa");
    box.File(L"target\\hidden.txt", "hh", FILE_ATTRIBUTE_HIDDEN);
    box.File(L"target\\ro.txt", "rrr", FILE_ATTRIBUTE_READONLY);
    box.Folder(L"target\\sub");
    box.File(L"target\\sub\\b.log", "bbbbb");
    box.File(L"target\\sub\\INDEX.DAT", "i");
    box.Folder(L"target\\sub\\deeper");
    box.File(L"target\\sub\\deeper\\c.log", "cccccc");
    box.Folder(L"target\\emptydir");
    box.Folder(L"outside");
    box.File(L"outside\\behind-link.log", "keep");
    box.File(L"sentinel.log", "keep");
    box.Folder(L"outside-empty");
    linked = MakeSymlink(box.Path(L"outside"), box.Path(L"target\\link")) &&
             MakeSymlink(box.Path(L"outside-empty"), box.Path(L"target\\emptylink"));
  }
  std::wstring Target() const { return box.Path(L"target\\"); }
  Sandbox box;
  bool linked = false;
  static constexpr int64_t kBytes = 4 + 2 + 3 + 5 + 1 + 6;
};

}  // namespace

TEST(FolderPrimitives, ATestCountsEverythingAndChangesNothing) {
  Tree tree(L"tree-test");
  auto before = Snapshot(tree.box.Root());
  CleanRun run(CleanMode::Test);
  int count = 0;
  int64_t bytes = run.Thread().DeleteFolderFiles(tree.Target(), true, true, L"", count);
  EXPECT_EQ(count, 6);
  EXPECT_EQ(bytes, Tree::kBytes);
  EXPECT_TRUE(run.log->Contains(L"Test: deleting " + tree.Target() + L"sub\\deeper\\c.log"));
  EXPECT_EQ(Snapshot(tree.box.Root()), before);
  EXPECT_TRUE(run.asker->questions.empty());
}

TEST(FolderPrimitives, ACleanRemovesExactlyItsSetAndNoSentinel) {
  Tree tree(L"tree-clean");
  auto before = Snapshot(tree.box.Root());
  CleanRun run(CleanMode::RealClean, {}, true);
  int count = 0;
  int64_t bytes = run.Thread().DeleteFolderFiles(tree.Target(), false, true, L"", count);
  EXPECT_EQ(count, 6);
  EXPECT_EQ(bytes, Tree::kBytes);
  // Left as they were: the kept target folder, what lies outside it, and
  // (where the system cannot remove a link) the link itself, never entered.
  std::map<std::wstring, std::string> expected;
  for (const wchar_t* kept : {L"target", L"outside", L"outside\\behind-link.log", L"sentinel.log", L"outside-empty"}) {
    expected[tree.box.Path(kept)] = before[tree.box.Path(kept)];
  }
  auto after = Snapshot(tree.box.Root());
  for (const wchar_t* link : {L"target\\link", L"target\\emptylink"}) {
    if (!after.count(tree.box.Path(link))) continue;
    expected[tree.box.Path(link)] = before[tree.box.Path(link)];
    EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + tree.box.Path(link) + L" (a folder link; its target is kept)"));
  }
  EXPECT_EQ(after, expected);
  if (!tree.linked) GTEST_SKIP() << "no link in this tree: links can only be made under Wine";
}

TEST(FolderPrimitives, ExcludedNamesAndMasks) {
  Tree tree(L"tree-masks");
  CleanRun run(CleanMode::RealClean, {}, true);
  int count = 0;
  run.Thread().DeleteFolderFiles(tree.Target(), true, false, L"index.dat", count);
  EXPECT_EQ(count, 5);
  EXPECT_TRUE(Exists(tree.box.Path(L"target\\sub\\INDEX.DAT")));
  EXPECT_FALSE(Exists(tree.box.Path(L"target\\sub\\deeper")));
  EXPECT_TRUE(Exists(tree.box.Path(L"target"))) << "kept: a file below it stays";
  EXPECT_TRUE(run.log->Lines().empty()) << "log flag off";

  Tree masks(L"tree-masks2");
  masks.box.File(L"target\\top.LOG", "t");
  int flat = 0, deep = 0;
  run.Thread().DeleteFilesByMask(masks.Target(), L"*.log", flat, false);
  EXPECT_EQ(flat, 1);
  EXPECT_TRUE(Exists(masks.box.Path(L"target\\sub\\b.log")));
  run.Thread().DeleteFilesByMask(masks.Target(), L"*.log", deep, true);
  EXPECT_EQ(deep, 2);
  EXPECT_TRUE(Exists(masks.box.Path(L"target\\sub\\deeper"))) << "a mask deletion removes no folder";
  EXPECT_TRUE(Exists(masks.box.Path(L"outside\\behind-link.log")));
  EXPECT_TRUE(Exists(masks.box.Path(L"sentinel.log")));
  int none = 0;
  EXPECT_EQ(run.Thread().DeleteFilesByMask(masks.Target(), L"a.txt.bak", none, true), 0);
  EXPECT_EQ(none, 0);
}

TEST(FolderPrimitives, AskedFoldersNeedAYesAndNobodyAnswersForAnUnattendedClean) {
  Sandbox box(L"asked");
  box.Folder(L"docs");
  box.File(L"docs\\letter.txt", "dear");
  auto guard = std::make_shared<PathGuard>(GuardFolders{{}, {box.Path(L"docs")}});
  std::wstring docs = box.Path(L"docs\\");

  CleanRun no(CleanMode::RealClean, {}, true, guard);
  int count = 0;
  EXPECT_EQ(no.Thread().DeleteFolderFiles(docs, false, true, L"", count), 0);
  EXPECT_EQ(no.asker->questions,
            (std::vector<std::wstring>{L"Do you want to delete all files and folders under " + docs + L"?"}));
  no.Thread().DeleteFilesByMask(docs, L"*.txt", count, false);
  EXPECT_EQ(no.asker->questions.back(), L"Do you want to delete the files on " + docs + L"?");
  EXPECT_TRUE(Exists(docs + L"letter.txt"));

  CleanRun unattended(CleanMode::AutoClean, {}, true, guard);
  unattended.asker->answer = true;
  EXPECT_EQ(unattended.Thread().DeleteFolderFiles(docs, false, true, L"", count), 0);
  EXPECT_TRUE(unattended.asker->questions.empty());
  // The question and the answer it took are in the run's log and kept for the user.
  const std::wstring said = L"Not asked (unattended clean): \"Do you want to delete all files and folders under " +
                            docs + L"?\" Answer taken: No";
  ASSERT_EQ(unattended.asker->unasked.size(), 1u);
  EXPECT_NE(unattended.asker->unasked[0].find(said), std::wstring::npos) << unattended.asker->unasked[0];
  const std::vector<std::wstring> logged = unattended.log->Lines();
  EXPECT_NE(std::find(logged.begin(), logged.end(), unattended.asker->unasked[0]), logged.end());
  EXPECT_TRUE(Exists(docs + L"letter.txt"));

  CleanRun test(CleanMode::Test, {}, false, guard);
  count = 0;
  test.Thread().DeleteFolderFiles(docs, false, true, L"", count);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(test.asker->questions.empty());

  CleanRun yes(CleanMode::RealClean, {}, true, guard);
  yes.asker->answer = true;
  count = 0;
  yes.Thread().DeleteFolderFiles(docs, false, true, L"", count);
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(Exists(docs + L"letter.txt"));
}

TEST(FolderPrimitives, RefusedFoldersNeverReachADeleteCall) {
  Sandbox box(L"refused");
  std::wstring profile = SpecialFolderPath(CSIDL_PROFILE);
  std::wstring docs = GetMyDocumentsPath();
  wchar_t shortProfile[MAX_PATH] = {};
  ::GetShortPathNameW(profile.c_str(), shortProfile, MAX_PATH);
  bool linked = MakeSymlink(profile, box.Path(L"toprofile"));

  CleanRun run(CleanMode::RealClean, {}, false);  // records, deletes nothing
  run.asker->answer = true;
  TClearTaskThread& t = run.Thread();
  int count = 0;
  t.DeleteFolderFiles(L"C:\\", false, true, L"", count);
  t.DeleteFolderFiles(profile, false, true, L"", count);
  t.DeleteFolderFiles(docs + L"..\\", false, true, L"", count);
  t.DeleteSubFolder(shortProfile, count, true, L"");
  t.DeleteFilesByMask(L"C:\\", L"*.*", count, false);
  t.DeleteFilesByMask(profile, L"*.dat", count, true);
  if (linked) {
    t.DeleteFolderFiles(box.Path(L"toprofile"), true, true, L"", count);
    t.DeleteFolderFiles(box.Path(L"toprofile\\AppData"), true, true, L"", count);
  }
  EXPECT_TRUE(run.deleter->calls.empty());
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(run.asker->questions.empty());
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping protected folder C:\\"));
  // Relative, empty and device paths are skipped without a word.
  EXPECT_FALSE(t.DeleteOneFile(L"relative.txt", true));
  EXPECT_FALSE(t.DeleteOneFile(L"", true));
  EXPECT_EQ(t.DeleteFolderFiles(L"\\", false, true, L"", count), 0);
  EXPECT_TRUE(run.deleter->calls.empty());
  if (!linked) GTEST_SKIP() << "a link to the profile was not tried: links can only be made under Wine";
}

TEST(FolderPrimitives, WipingSkipsFilesWithAnotherNameAndSaysSo) {
  Sandbox box(L"wipe-links");
  box.Folder(L"target");
  box.File(L"target\\plain.txt", std::string(70000, 'p'));
  box.File(L"precious.txt", "precious", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(::CreateHardLinkW(box.Path(L"target\\other-name.txt").c_str(), box.Path(L"precious.txt").c_str(), nullptr));
  CleanSettings wipe;
  wipe.IsWipeFile = true;
  wipe.WipeNumber = 2;
  CleanRun run(CleanMode::RealClean, wipe, true);
  int count = 0;
  run.Thread().DeleteFolderFiles(box.Path(L"target"), true, true, L"", count);
  EXPECT_EQ(count, 2);
  EXPECT_FALSE(Exists(box.Path(L"target")));
  EXPECT_EQ(ReadAll(box.Path(L"precious.txt")), "precious");
  // Attributes belong to the file, not to the name that went.
  EXPECT_NE(::GetFileAttributesW(box.Path(L"precious.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(run.log->Contains(L"Clean: deleted without wiping " + box.Path(L"target\\other-name.txt") +
                                L" (it has another name)"));
  EXPECT_FALSE(run.log->Contains(L"Clean: deleted without wiping " + box.Path(L"target\\plain.txt")));
}

TEST(FolderPrimitives, FailuresAreCountedApartAndLargeFilesCountInFull) {
  Sandbox box(L"failures");
  box.Folder(L"target");
  box.File(L"target\\locked.txt", "l");
  std::wstring big = box.Path(L"target\\big.bin");
  HANDLE h = ::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 3LL * 1024 * 1024 * 1024 + 5;
  ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
  ::SetEndOfFile(h);
  ::CloseHandle(h);

  CleanRun test(CleanMode::Test);
  int count = 0;
  EXPECT_EQ(test.Thread().DeleteFolderFiles(box.Path(L"target"), false, true, L"", count), size.QuadPart + 1);

  HANDLE lock = ::CreateFileW(box.Path(L"target\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  CleanRun clean(CleanMode::RealClean, {}, true);
  clean.table.Register(L"A - a", [&](TClearTaskThread& t) {
    t.FItemBytes = t.DeleteFolderFiles(box.Path(L"target"), false, true, L"", t.FItemCount);
    t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
  });
  clean.Run({L"A - a"});
  ::CloseHandle(lock);
  EXPECT_TRUE(clean.log->Contains(L"Clean: could not delete " + box.Path(L"target\\locked.txt")));
  EXPECT_TRUE(clean.log->Contains(L"1 items to be removed; 3,145,729 KB to be removed."));
  EXPECT_TRUE(clean.log->Contains(L"1 items could not be removed."));
}

// A folder listed as plain may be a link by the time the walk reaches it:
// while the first folder is emptied, the next one is swapped for a link.
TEST(FolderPrimitives, AFolderThatBecomesALinkDuringTheWalkIsNotEntered) {
  Sandbox box(L"swap");
  box.Folder(L"target");
  box.Folder(L"target\\a");
  box.File(L"target\\a\\first.txt", "1");
  box.Folder(L"target\\zz");
  box.File(L"target\\zz\\second.txt", "2");
  box.Folder(L"outside");
  box.File(L"outside\\precious.txt", "keep");
  if (!MakeSymlink(box.Path(L"outside"), box.Path(L"probe"))) GTEST_SKIP() << "links can only be made under Wine";

  CleanRun run(CleanMode::RealClean, {}, true);
  bool swapped = false;
  run.deleter->onFile = [&](const std::wstring&) {
    if (swapped) return;
    swapped = ::MoveFileW(box.Path(L"target\\zz").c_str(), box.Path(L"moved").c_str()) &&
              MakeSymlink(box.Path(L"outside"), box.Path(L"target\\zz"));
  };
  int count = 0;
  run.Thread().DeleteFolderFiles(box.Path(L"target"), false, true, L"", count);
  ASSERT_TRUE(swapped);
  EXPECT_EQ(ReadAll(box.Path(L"outside\\precious.txt")), "keep");
  EXPECT_EQ(count, 1);
}

// A name that ends in a dot or a space is another file's name once the
// system trims it: deleting or wiping "keep.dat." must not reach "keep.dat".
TEST(FolderPrimitives, ANameEndingInADotIsDeletedAsItself) {
  Sandbox box(L"dots");
  box.Folder(L"target");
  box.File(L"target\\keep.dat", "keep");
  // With a namesake the plain path would reach, and without one.
  const wchar_t* const names[] = {L"keep.dat.", L"keep.dat ", L"dl ", L"..."};
  for (const wchar_t* name : names) {
    HANDLE h = ::CreateFileW((L"\\\\?\\" + box.Path(L"target\\") + name).c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
  }
  CleanSettings wipe;
  wipe.IsWipeFile = true;
  wipe.WipeNumber = 2;
  CleanRun run(CleanMode::RealClean, wipe, true);
  int count = 0;
  run.Thread().DeleteFolderFiles(box.Path(L"target"), false, true, L"keep.dat", count);
  EXPECT_EQ(ReadAll(box.Path(L"target\\keep.dat")), "keep");
  EXPECT_EQ(count, 4);
  for (const wchar_t* name : names)
    EXPECT_FALSE(Exists(L"\\\\?\\" + box.Path(L"target\\") + name)) << testing::PrintToString(std::wstring(name));
  EXPECT_EQ(run.Thread().FItemFailed, 0);
}

// Wine shows a Unix link to a file as a plain file, and deleting it deletes
// the file it points at: a clean must leave such a file alone.
TEST(FolderPrimitives, AFileThatIsALinkIsNeverDeletedThroughToItsTarget) {
  Sandbox box(L"file-link");
  box.Folder(L"target");
  box.Folder(L"outside");
  box.File(L"outside\\secret.txt", "keep me");
  box.File(L"target\\plain.tmp", "go");
  if (!MakeSymlink(box.Path(L"outside\\secret.txt"), box.Path(L"target\\to-secret.txt"))) {
    GTEST_SKIP() << "links can only be made under Wine";
  }
  for (bool wipe : {false, true}) {
    CleanSettings settings;
    settings.IsWipeFile = wipe;
    settings.WipeNumber = 1;
    box.File(L"target\\plain.tmp", "go");
    CleanRun run(CleanMode::RealClean, settings, true);
    int count = 0;
    run.Thread().DeleteFolderFiles(box.Path(L"target\\"), false, true, L"", count);
    EXPECT_EQ(ReadAll(box.Path(L"outside\\secret.txt")), "keep me") << (wipe ? "with wiping" : "without wiping");
    EXPECT_FALSE(Exists(box.Path(L"target\\plain.tmp")));
  }
}

// One file named exactly (not a walk): a link whose name differs from its
// target's only in letter case, or only by a trailing dot, is not the target.
TEST(FolderPrimitives, ANamedFileThatIsALinkLeavesItsTarget) {
  Sandbox box(L"named-link");
  box.Folder(L"target");
  box.File(L"target\\caselink.tmp", "keep");
  box.File(L"target\\keep.dat", "keep");
  box.File(L"target\\plain.tmp", "go");
  if (!MakeSymlink(box.Path(L"target\\caselink.tmp"), box.Path(L"target\\CaseLink.tmp")) ||
      !MakeSymlink(box.Path(L"target\\keep.dat"), box.Path(L"target\\keep.dat."))) {
    GTEST_SKIP() << "links can only be made under Wine";
  }
  for (bool wipe : {false, true}) {
    CleanSettings settings;
    settings.IsWipeFile = wipe;
    CleanRun run(CleanMode::RealClean, settings, true);
    EXPECT_FALSE(run.Thread().DeleteOneFile(box.Path(L"target\\CaseLink.tmp"), true));
    EXPECT_FALSE(run.Thread().DeleteOneFile(box.Path(L"target\\keep.dat."), true));
    EXPECT_EQ(ReadAll(box.Path(L"target\\caselink.tmp")), "keep") << (wipe ? "with wiping" : "without wiping");
    EXPECT_EQ(ReadAll(box.Path(L"target\\keep.dat")), "keep") << (wipe ? "with wiping" : "without wiping");
  }
  CleanRun run(CleanMode::RealClean, {}, true);
  EXPECT_TRUE(run.Thread().DeleteOneFile(box.Path(L"target\\plain.tmp"), true));
  EXPECT_FALSE(Exists(box.Path(L"target\\plain.tmp")));
  for (const wchar_t* link : {L"CaseLink.tmp", L"keep.dat."}) {
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(box.Path(L"target\\")) + L"/" + link);
  }
}

// A folder whose name a plain path would trim is walked as itself, through
// literal paths; its namesake is not touched.
TEST(FolderPrimitives, AFolderNameEndingInADotIsCleanedAsItself) {
  Sandbox box(L"dot-folder");
  box.Folder(L"target");
  box.Folder(L"x");
  box.File(L"x\\namesake.txt", "keep");
  ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + box.Path(L"target\\x.")).c_str(), nullptr));
  box.File(L"target\\plain.tmp", "go");
  HANDLE h = ::CreateFileW((L"\\\\?\\" + box.Path(L"target\\x.\\inner.txt")).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ::CloseHandle(h);
  CleanRun run(CleanMode::RealClean, {}, true);
  int count = 0;
  run.Thread().DeleteFolderFiles(box.Path(L"target"), false, true, L"", count);
  EXPECT_EQ(count, 2);
  EXPECT_FALSE(Exists(L"\\\\?\\" + box.Path(L"target\\x.")));
  EXPECT_EQ(ReadAll(box.Path(L"x\\namesake.txt")), "keep");
  EXPECT_TRUE(run.log->Contains(L"Clean: deleting " + box.Path(L"target\\x.\\inner.txt")));
}
