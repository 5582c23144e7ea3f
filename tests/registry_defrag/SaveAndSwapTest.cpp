// Saving the hives on the worker thread, swapping them at the next start and
// the copies left at the end.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "DefragTestSupport.h"
#include "registry/defrag/DefragSteps.h"
#include "registry/defrag/ScanDefragTaskThread.h"

using namespace registry;
using defrag_test::RecordingPlatform;

namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Contents(const std::wstring& path) {
  std::ifstream in(path.c_str());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::wstring& path, const char* text) { std::ofstream(path.c_str()) << text; }

// A window that only collects what is posted to it.
struct Inbox {
  Inbox() { hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
  ~Inbox() { ::DestroyWindow(hwnd); }
  std::vector<MSG> Take() {
    std::vector<MSG> got;
    MSG m;
    while (::PeekMessageW(&m, hwnd, 0, 0, PM_REMOVE)) got.push_back(m);
    return got;
  }
  HWND hwnd;
};

void Hand(TScanDefragTaskThread& t, const std::vector<THive>& hives, HWND to) {
  t.FFormHandle = to;
  for (const THive& h : hives) {
    t.FHiveNames.push_back(h.Name);
    t.FHiveFiles.push_back(h.File);
  }
}

// Each hive is saved to a new copy made in its own folder, or refused where a
// link of the user's would lead the copy below system32: nothing there changes.
TEST(ScanDefragTaskThread, SavesEachHiveAndFlagsTheOneThatFailed) {
  defrag_test::SeededHives seed(L"VantorelDefragSave");
  defrag_test::SystemProbe system;
  defrag_test::SharedProbe shared;
  const defrag_test::UserFolder sysnative(seed, L"sysnative");
  const auto before = system.Contents();
  ASSERT_EQ(before.size(), 1u) << "the file below system32";
  struct Row {
    const wchar_t* name;
    std::function<void(THive&)> plant;  // after the hive is seeded
    bool saved, refused;
  } rows[] = {
      {L"A", nullptr, true, false},
      {L"Missing", nullptr, false, false},
      {L"B", nullptr, true, false},
      // Only the Windows folder's own "sysnative" names the real system folder.
      {L"InAUsersFolderCalledSysnative",
       [&](THive& h) { h.File = sysnative.Folder() + L"\\InAUsersFolderCalledSysnative"; }, true, false},
      {L"CopyToSystemFile", [&](THive& h) { ASSERT_TRUE(defrag_test::UnixLink(system.UnixFile(), HiveCopyFile(h.File))); },
       false, true},
      {L"CopyToNothing", [&](THive& h) { ASSERT_TRUE(defrag_test::UnixLink(system.UnixMissing(), HiveCopyFile(h.File))); },
       false, true},
      {L"FolderLink",
       [&](THive& h) {
         ASSERT_TRUE(defrag_test::UnixLink(system.UnixFolder(), seed.Folder() + L"\\Linked"));
         h.File = seed.Folder() + L"\\Linked\\system.dat";
       },
       false, true},
      // Below a folder every user may write, any link may be another user's,
      // even one that leads back to the user's own folder.
      {L"LinkBelowShared",
       [&](THive& h) {
         ASSERT_TRUE(defrag_test::UnixLink(testing_support::ToUnixPath(seed.Folder()), shared.Folder() + L"\\Linked"));
         h.File = shared.Folder() + L"\\Linked\\LinkBelowShared";
       },
       false, true},
  };
  std::vector<THive> hives;
  for (const Row& r : rows) {
    hives.push_back(seed.Add(r.name, 8192, std::wstring(r.name) != L"Missing"));
    if (r.plant) r.plant(hives.back());
  }
  WriteText(HiveCopyFile(hives[1].File), "stale copy of an earlier analysis");
  Inbox inbox;
  TScanDefragTaskThread t;
  Hand(t, hives, inbox.hwnd);
  ASSERT_TRUE(t.Start());
  ASSERT_TRUE(t.WaitFor(30000));
  EXPECT_TRUE(t.AllHandled());
  for (size_t i = 0; i < hives.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(t.Saved()[i], rows[i].saved);
    EXPECT_EQ(!t.Refusals()[i].empty(), rows[i].refused) << t.Refusals()[i];
    if (!rows[i].refused) {
      EXPECT_EQ(Exists(HiveCopyFile(hives[i].File)), rows[i].saved);
    }
  }
  EXPECT_EQ(system.Contents(), before) << "nothing below system32 changes";
  std::vector<MSG> got = inbox.Take();
  ASSERT_EQ(got.size(), hives.size() + 1);
  for (size_t i = 0; i < hives.size(); ++i) {
    EXPECT_EQ(got[i].message, static_cast<UINT>(WM_HIVESAVED));
    EXPECT_EQ(got[i].lParam, static_cast<LPARAM>(i + 1));
  }
  EXPECT_EQ(got.back().message, static_cast<UINT>(WM_CLOSE));
  EXPECT_FALSE(Exists(HiveCopyFile(hives.back().File)));
  defrag_test::RemoveLinks(seed.Folder());
  defrag_test::RemoveLinks(shared.Folder());
}

// Holds the second hive until the test has pressed Stop.
class HeldThread : public TScanDefragTaskThread {
 public:
  HANDLE entered = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<size_t> saved;
  ~HeldThread() override {
    ::CloseHandle(entered);
    ::CloseHandle(release);
  }

 protected:
  THiveStep SaveHive(size_t i) override {
    if (i == 1) {
      ::SetEvent(entered);
      ::WaitForSingleObject(release, 10000);
    }
    saved.push_back(i);
    return {THiveStep::Done, L""};
  }
};

TEST(ScanDefragTaskThread, StopFinishesTheHiveBeingSavedAndSavesNoOther) {
  std::vector<THive> hives;
  for (int i = 0; i < 5; ++i) hives.push_back({L"\\REGISTRY\\USER\\X" + std::to_wstring(i), L"c:\\none"});
  Inbox inbox;
  HeldThread t;
  Hand(t, hives, inbox.hwnd);
  ASSERT_TRUE(t.Start());
  ASSERT_EQ(::WaitForSingleObject(t.entered, 10000), WAIT_OBJECT_0);
  t.Terminate();
  ::SetEvent(t.release);
  ASSERT_TRUE(t.WaitFor(10000));
  EXPECT_EQ(t.saved, (std::vector<size_t>{0, 1}));
  EXPECT_FALSE(t.AllHandled());
  std::vector<MSG> got = inbox.Take();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1].lParam, 2);
  EXPECT_EQ(got[2].message, static_cast<UINT>(WM_CLOSE));
}

struct SwapCase {
  const char* what;
  bool copy, backup, failing;
  bool result, called, backupKept, asideExists;
  const wchar_t* link = nullptr;  // this file beside the hive is a link to a file below system32
  bool folderLink = false;        // the hive is reached through a link to a folder below system32
  enum { Seeded, UsersSysnative, BelowSystem32 } folder = Seeded;  // where the hive file is
};

TEST(ReplaceHive, MovesAnOldBackupAsideAndPutsItBackWhenTheSwapFails) {
  const SwapCase cases[] = {
      {"no old backup", true, false, false, true, true, false, false},
      {"old backup, swap scheduled", true, true, false, true, true, false, true},
      {"old backup, swap refused", true, true, true, false, true, true, false},
      {"no copy: nothing to swap in", false, true, false, false, false, true, false},
      {"the copy a link", false, true, false, false, false, true, false, L".fdc"},
      {"the old backup a link", true, false, false, false, false, false, false, L".bak"},
      {"the aside a link", true, true, false, false, false, true, false, L".bak.prev"},
      {"the hive's folder a link", false, false, false, false, false, false, false, nullptr, true},
      {"a folder of the user's called sysnative", true, true, false, true, true, false, true, nullptr, false,
       SwapCase::UsersSysnative},
      // Handed the names of the real folder, which the swap reaches with the
      // redirection off; checked last, as it writes below system32.
      {"below system32, reached through sysnative", true, true, false, true, true, false, true, nullptr, false,
       SwapCase::BelowSystem32},
  };
  defrag_test::SeededHives seed(L"VantorelDefragSwap");
  defrag_test::SystemProbe system;
  const defrag_test::UserFolder sysnative(seed, L"sysnative");
  const auto before = system.Contents();
  ASSERT_EQ(before.size(), 1u) << "the file below system32";
  for (const SwapCase& c : cases) {
    SCOPED_TRACE(c.what);
    THive h = seed.Add(L"Swap", 100);
    std::wstring swapFolder = seed.Folder();
    if (c.folder != SwapCase::Seeded) {
      h.File = (c.folder == SwapCase::UsersSysnative ? sysnative.Folder() : system.Folder()) + L"\\Swap";
      swapFolder = c.folder == SwapCase::UsersSysnative ? sysnative.Folder() : system.RealFolder();
      WriteText(h.File, "hive");
    }
    const std::wstring copy = HiveCopyFile(h.File), bak = HiveBackupFile(h.File), aside = HiveBackupAsideFile(h.File);
    defrag_test::RemoveLinks(seed.Folder());
    for (const std::wstring& f : {copy, bak, aside}) ::DeleteFileW(f.c_str());
    if (c.copy) WriteText(copy, "copy");
    if (c.backup) WriteText(bak, "previous backup");
    if (c.link != nullptr) {
      ASSERT_TRUE(defrag_test::UnixLink(system.UnixFile(), h.File + c.link));
    }
    if (c.folderLink) {
      ASSERT_TRUE(defrag_test::UnixLink(system.UnixFolder(), seed.Folder() + L"\\Linked"));
      h.File = seed.Folder() + L"\\Linked\\system.dat";
    }
    RecordingPlatform platform;
    if (c.failing) platform.failing.insert(copy);
    const THiveStep step = ReplaceHive(platform, h, false);
    EXPECT_EQ(step.Ok(), c.result);
    EXPECT_EQ(step.Result == THiveStep::Refused, c.link != nullptr || c.folderLink) << step.Why;
    ASSERT_EQ(platform.calls.size(), c.called ? 1u : 0u);
    if (c.called) {
      const RecordingPlatform::Call& call = platform.calls[0];
      EXPECT_EQ(call.root, HKEY_USERS);
      EXPECT_EQ(call.subKey, h.Name.substr(std::wstring(L"\\REGISTRY\\USER\\").size()));
      EXPECT_EQ(call.newFile, swapFolder + L"\\Swap.fdc");
      EXPECT_EQ(call.oldFile, swapFolder + L"\\Swap.bak");
      EXPECT_TRUE(call.oldFileFree);
    }
    EXPECT_EQ(Exists(bak) && Contents(bak) == "previous backup", c.backupKept);
    EXPECT_EQ(Exists(aside) && Contents(aside) == "previous backup", c.asideExists);
    if (c.folder != SwapCase::BelowSystem32) {
      EXPECT_EQ(system.Contents(), before) << "nothing below system32 changes";
    }
  }
  defrag_test::RemoveLinks(seed.Folder());
}

TEST(ReplaceHive, TheMachineSoftwareHiveIsSwappedInTheSixtyFourBitView) {
  defrag_test::SeededHives seed(L"VantorelDefragSwap64");
  THive h = seed.Add(L"Soft", 100);
  h.Name = L"\\REGISTRY\\MACHINE\\SOFTWARE";
  WriteText(HiveCopyFile(h.File), "copy");
  RecordingPlatform platform;
  EXPECT_TRUE(ReplaceHive(platform, h, true).Ok());
  ASSERT_EQ(platform.calls.size(), 1u);
  EXPECT_EQ(platform.calls[0].root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(platform.calls[0].subKey, L"SOFTWARE");
  EXPECT_TRUE(platform.calls[0].view64);
}

TEST(DeleteLeftoverCopies, KeepsTheCopiesDueAtTheNextStart) {
  defrag_test::SeededHives seed(L"VantorelDefragLeft");
  std::vector<THive> hives = {seed.Add(L"A", 10), seed.Add(L"B", 10), seed.Add(L"C", 10)};
  WriteText(HiveCopyFile(hives[0].File), "x");
  WriteText(HiveCopyFile(hives[1].File), "x");
  DeleteLeftoverCopies(hives, {HiveCopyFile(hives[1].File)});
  EXPECT_FALSE(Exists(HiveCopyFile(hives[0].File)));
  EXPECT_TRUE(Exists(HiveCopyFile(hives[1].File)));
  EXPECT_TRUE(Exists(hives[0].File)) << "only copies go";
}

}  // namespace
