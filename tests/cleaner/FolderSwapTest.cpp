// A real swap in the middle of a clean: after a folder has been listed and
// before its first delete, a file, the folder itself or the folder above it
// is moved away from the Unix side, where no handle of the clean can stop
// it, and a link to an outside copy put in its place. The outside copy holds
// files of the same names; none may go, and the log must say what was left.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "CleanFakes.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/DataFiles.h"
#include "cleaner/items/IEItems.h"
#include "core/SQLiteWrapper.h"
#include "core/guard/PinnedOpen.h"

using namespace cleaner;
using namespace cleaner_test;

namespace {

const wchar_t* const kSubFiles[] = {L"one.txt", L"two.txt", L"three.txt"};

// target\ is cleaned; outside\ mirrors it with files that must stay. The
// folders `subs` below target\ hold the three files; with `profiles`, two
// profile-like folders p1 and p2 each hold them in Cache\, with a spared file.
std::vector<std::wstring> MakeTree(const Sandbox& box, bool profiles = false) {
  std::vector<std::wstring> subs = profiles ? std::vector<std::wstring>{L"p1\\Cache", L"p2\\Cache"}
                                            : std::vector<std::wstring>{L"sub"};
  for (const wchar_t* top : {L"target", L"outside"}) {
    std::string content = std::wstring(top) == L"target" ? "go" : "keep";
    box.Folder(top);
    if (!profiles) box.File(std::wstring(top) + L"\\a.txt", content);
    for (const std::wstring& sub : subs) {
      if (profiles) box.Folder(std::wstring(top) + L"\\" + sub.substr(0, 2));
      box.Folder(std::wstring(top) + L"\\" + sub);
      for (const wchar_t* name : kSubFiles) box.File(std::wstring(top) + L"\\" + sub + L"\\" + name, content);
      if (profiles) box.File(std::wstring(top) + L"\\" + sub + L"\\chrome-extension_x", content);
    }
  }
  return subs;
}

// A form-data database with one row in p1\Cache of target\ and outside\.
void AddDatabases(const Sandbox& box) {
  for (const wchar_t* top : {L"target", L"outside"}) {
    core::TSQLiteDatabase db(box.Path(std::wstring(top) + L"\\p1\\Cache\\Web Data"));
    db.ExecSQL(L"CREATE TABLE autofill (name TEXT)");
    db.ExecSQL(L"INSERT INTO autofill VALUES ('ann')");
  }
}

// The roads from a listing to a delete, each run over target\ (`dir`).
using Road = void (*)(TClearTaskThread& t, const std::wstring& dir);
void Walk(TClearTaskThread& t, const std::wstring& dir) { t.DeleteFolderFiles(dir, true, true, L"", t.FItemCount); }
void FolderExcept(TClearTaskThread& t, const std::wstring& dir) {
  DeleteFolderExcept(t, dir, true, t.FItemCount, L"chrome-extension_");
}
void EachProfile(TClearTaskThread& t, const std::wstring& dir) { EmptyInEachProfile(t, dir + L"\\", {L"Cache"}, true); }
void CustomEntry(TClearTaskThread& t, const std::wstring& dir) {
  RunFileEntry(t, dir + L"\\p1\\Cache,one.txt", FolderTokens());
}
void OldHistory(TClearTaskThread& t, const std::wstring& dir) { ClearOldHistoryFolders(t, dir + L"\\"); }
// A database step in a folder pinned before a delete there, as a profile's is.
void DatabaseStep(TClearTaskThread& t, const std::wstring& dir) {
  std::unique_ptr<core::guard::FolderPin> pin = t.PinItemFolder(dir + L"\\p1\\Cache");
  if (!pin) return;
  t.DeletePinnedByMask(*pin, L"one.txt", t.FItemCount, false);
  RunDatabaseStep(t, *pin, L"Web Data", ChromeFormDataStatements());
}

std::vector<std::wstring> OutsideFiles(const Sandbox& box, const std::vector<std::wstring>& subs) {
  std::vector<std::wstring> files;
  for (const std::wstring& sub : subs)
    for (const wchar_t* name : kSubFiles) files.push_back(box.Path(L"outside\\" + sub + L"\\" + name));
  return files;
}

// Swaps `relative` (target\...) for a link to its namesake below outside\.
bool SwapForLink(const Sandbox& box, const std::wstring& relative) {
  std::wstring outside = L"outside" + relative.substr(std::wstring(L"target").size());
  return testing_support::SwapForLink(box.Path(relative), box.Path(L"moved-away"), box.Path(outside));
}

}  // namespace

TEST(FolderSwap, AFolderReplacedAfterItsListingLeavesEveryOutsideFile) {
  // What is swapped when the first file below target\ is about to go; with
  // AtOpen, the file Given for a copy of its outside namesake after its
  // listing, just before it is opened to be read or written.
  enum class Swap { TheFile, Given, TheOtherProfile, AtOpen };
  struct Row {
    const char* what;
    Road road;
    bool profiles;           // the p1/p2 tree
    Swap swap;
    const wchar_t* swapped;  // with Given, relative to the sandbox
    const wchar_t* logged;   // the log line's path, relative; null: the swapped one
    int mostDeleted;
    bool wipe = false;
    const wchar_t* why = nullptr;  // the log line's reason; null: a file's or a folder's as swapped
    bool database = false;         // p1\Cache holds a database, which outside\ must keep whole
    bool inProgramData = false;    // the tree below a folder every user may write
  };
  const Row rows[] = {
      {"a file swapped for a file link", Walk, false, Swap::TheFile, nullptr, nullptr, 3},
      {"the same, with wiping", Walk, false, Swap::TheFile, nullptr, nullptr, 3, true},
      {"the folder swapped for a folder link", Walk, false, Swap::Given, L"target\\sub", L"target\\sub\\", 1},
      {"the same, with wiping", Walk, false, Swap::Given, L"target\\sub", L"target\\sub\\", 1, true},
      {"the folder above swapped for a junction-like link", Walk, false, Swap::Given, L"target", L"target\\sub\\", 1},
      {"the walk, a folder swapped after its parent's listing", Walk, true, Swap::TheOtherProfile, nullptr, nullptr, 4},
      {"a folder tree with spared files", FolderExcept, true, Swap::TheOtherProfile, nullptr, nullptr, 3},
      {"the cache of each profile", EachProfile, true, Swap::TheOtherProfile, nullptr, nullptr, 4},
      {"the old history folders", OldHistory, true, Swap::TheOtherProfile, nullptr, nullptr, 4},
      {"a custom folder,file entry", CustomEntry, true, Swap::Given, L"target\\p1\\Cache", L"target\\p1\\Cache\\", 0},
      {"below ProgramData, a folder flipped after its parent's listing", Walk, true, Swap::TheOtherProfile, nullptr,
       nullptr, 4, false, nullptr, false, true},
      {"below ProgramData, the folder flipped after its listing", Walk, false, Swap::Given, L"target\\sub",
       L"target\\sub\\", 1, false, nullptr, false, true},
      {"a database whose folder is swapped after its pin", DatabaseStep, true, Swap::Given, L"target\\p1\\Cache",
       L"target\\p1\\Cache\\Web Data", 0, false, L" (a link to another file)", true},
      {"a database swapped for a link after its folder's pin", DatabaseStep, true, Swap::Given,
       L"target\\p1\\Cache\\Web Data", L"target\\p1\\Cache\\Web Data", 1, false, L" (a link to another file)", true},
      {"a database swapped for another file after its listing", DatabaseStep, true, Swap::AtOpen,
       L"target\\p1\\Cache\\Web Data", L"target\\p1\\Cache\\Web Data", 1, false, L" (a link to another file)", true},
  };
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Sandbox box(L"swap" + std::to_wstring(n++), r.inProgramData ? SpecialFolderPath(CSIDL_COMMON_APPDATA) : L"");
    std::vector<std::wstring> subs = MakeTree(box, r.profiles);
    if (r.database) AddDatabases(box);
    const std::string outsideDatabase = r.database ? ReadAll(box.Path(L"outside\\p1\\Cache\\Web Data")) : "";
    CleanSettings settings;
    settings.IsWipeFile = r.wipe;
    settings.WipeNumber = 1;
    CleanRun run(CleanMode::RealClean, settings, true);
    std::wstring swapped;
    if (r.swap == Swap::AtOpen) {
      core::guard::SetBeforeContentOpen([&](const std::wstring& path) {
        if (!swapped.empty() || path != box.Path(r.swapped)) return;
        std::wstring outside = box.Path(L"outside" + std::wstring(r.swapped).substr(6));
        bool moved = ::MoveFileW(path.c_str(), box.Path(L"moved-away").c_str()) &&
                     ::CopyFileW(outside.c_str(), path.c_str(), TRUE);
        swapped = moved ? r.swapped : L"failed";
      });
    }
    run.deleter->onFile = [&](const std::wstring& path) {
      if (r.swap == Swap::AtOpen) return;
      if (!swapped.empty() || path.find(box.Path(r.profiles ? L"target\\" : L"target\\sub\\")) != 0) return;
      std::wstring relative = path.substr(box.Root().size());
      if (r.swap == Swap::TheFile) swapped = relative;
      if (r.swap == Swap::Given) swapped = r.swapped;
      if (r.swap == Swap::TheOtherProfile) swapped = relative.find(L"\\p1\\") != std::wstring::npos ? L"target\\p2" : L"target\\p1";
      if (!SwapForLink(box, swapped)) swapped = L"failed";
    };
    r.road(run.Thread(), box.Path(L"target"));
    core::guard::SetBeforeContentOpen(nullptr);
    if (swapped == L"failed") GTEST_SKIP() << "links can only be made under Wine";
    ASSERT_FALSE(swapped.empty());
    if (!r.profiles) { EXPECT_EQ(ReadAll(box.Path(L"outside\\a.txt")), "keep"); }
    for (const std::wstring& file : OutsideFiles(box, subs)) EXPECT_EQ(ReadAll(file), "keep") << testing::PrintToString(file);
    const bool aFile = r.swap == Swap::TheFile;
    std::wstring logged = box.Path(r.logged != nullptr ? r.logged : swapped + (aFile ? L"" : L"\\"));
    const wchar_t* why = r.why != nullptr ? r.why
                         : aFile     ? L" (a link to another file)"
                                     : L" (the folder was replaced after it was listed)";
    if (r.database) {
      EXPECT_TRUE(ReadAll(box.Path(L"outside\\p1\\Cache\\Web Data")) == outsideDatabase) << "the outside database changed";
    }
    if (r.swap == Swap::AtOpen) {
      EXPECT_TRUE(ReadAll(box.Path(swapped)) == outsideDatabase) << "the file swapped in changed";
    }
    EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + logged + why)) << testing::PrintToString(logged);
    // Nothing that stayed is said to be deleted.
    for (const std::wstring& file : OutsideFiles(box, subs)) {
      std::wstring inside = box.Path(L"target") + file.substr(box.Path(L"outside").size());
      if (Exists(inside) || inside.find(box.Path(swapped + L"\\")) == 0) {
        EXPECT_FALSE(run.log->Contains(L"Clean: deleting " + inside)) << testing::PrintToString(inside);
      }
    }
    EXPECT_LE(run.Thread().FItemCount, r.mostDeleted);
    EXPECT_GT(run.Thread().FItemRefused + run.Thread().FItemFailed, 0) << "a refusal counts against the exit code";
  }
}

// An item that lists a folder itself pins it first; its files are then
// deleted against that pin like a walk's.
TEST(FolderSwap, AnItemsOwnListingIsDeletedAgainstItsPin) {
  Sandbox box(L"swap-item");
  MakeTree(box);
  CleanRun run(CleanMode::RealClean, {}, true);
  core::guard::FolderPin pin(box.Path(L"target\\sub"));
  int deleted = 0;
  bool swapped = false, linked = true;
  core::guard::ListPinned(pin, [&](const core::guard::ListedEntry& entry) {
    if (!swapped) linked = SwapForLink(box, L"target\\sub");
    swapped = true;
    if (linked && !entry.IsFolder()) deleted += run.Thread().DeletePinnedFile(entry, true);
    return linked;
  });
  ASSERT_TRUE(swapped);
  if (!linked) GTEST_SKIP() << "links can only be made under Wine";
  EXPECT_EQ(deleted, 0);
  for (const wchar_t* name : kSubFiles) EXPECT_EQ(ReadAll(box.Path(L"outside\\sub\\") + name), "keep");
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping " + box.Path(L"target\\sub\\") +
                                L" (the folder was replaced after it was listed)"));
}
