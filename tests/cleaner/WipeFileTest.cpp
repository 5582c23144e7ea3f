// Wiping: every byte overwritten on every pass, sizes and names kept, and the
// files it must not touch.
#include <gtest/gtest.h>

#include <set>

#include "CleanFakes.h"
#include "cleaner/WipeFile.h"

using namespace cleaner;
using namespace cleaner_test;

TEST(WipeFile, OverwritesEveryByteOnEveryPass) {
  Sandbox box(L"wipe");
  const size_t size = kWipeBlockSize * 2 + 123;
  box.File(L"f.bin", std::string(size, '\xFF'), FILE_ATTRIBUTE_READONLY);
  std::vector<BYTE> values;
  bool allPassesWhole = true;
  WipeResult r = WipeFile(box.Path(L"f.bin"), 3, [&](int pass, BYTE value) {
    std::string data = ReadAll(box.Path(L"f.bin"));
    allPassesWhole = allPassesWhole && data.size() == size &&
                     data.find_first_not_of(static_cast<char>(value)) == std::string::npos;
    values.push_back(value);
  });
  EXPECT_EQ(r, WipeResult::Wiped);
  EXPECT_EQ(values.size(), 3u);
  EXPECT_TRUE(allPassesWhole);
  for (BYTE v : values) EXPECT_LT(v, 255);
  EXPECT_EQ(::GetFileAttributesW(box.Path(L"f.bin").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

TEST(WipeFile, LeavesFilesThatAreNotOnlyOursAlone) {
  Sandbox box(L"wipe-refused");
  box.File(L"precious.txt", "precious");
  ASSERT_TRUE(::CreateHardLinkW(box.Path(L"second-name.txt").c_str(), box.Path(L"precious.txt").c_str(), nullptr));
  EXPECT_EQ(WipeFile(box.Path(L"second-name.txt"), 1), WipeResult::OtherName);
  EXPECT_EQ(ReadAll(box.Path(L"precious.txt")), "precious");
  // Wine shows a file link as a plain file; its resolved name gives it away.
  box.File(L"single.txt", "single");
  const bool linked = MakeSymlink(box.Path(L"single.txt"), box.Path(L"to-single.txt"));
  if (linked) {
    EXPECT_EQ(WipeFile(box.Path(L"to-single.txt"), 1), WipeResult::Refused);
    EXPECT_EQ(ReadAll(box.Path(L"single.txt")), "single");
  }
  // The name swapped for another plain file after the listing: the handle's
  // name looks right, the file is not the one listed.
  box.File(L"listed.txt", "listed");
  box.File(L"stranger.txt", "stranger");
  core::guard::FolderPin pin(box.Root());
  bool seen = false;
  core::guard::ListPinned(pin, [&](const core::guard::ListedEntry& entry) {
    if (std::wstring(entry.Name()) != L"listed.txt") return true;
    seen = ::MoveFileW(box.Path(L"listed.txt").c_str(), box.Path(L"moved.txt").c_str()) &&
           ::MoveFileW(box.Path(L"stranger.txt").c_str(), box.Path(L"listed.txt").c_str());
    EXPECT_EQ(WipeFile(entry, 1), WipeResult::Refused);
    return false;
  });
  EXPECT_TRUE(seen);
  EXPECT_EQ(ReadAll(box.Path(L"listed.txt")), "stranger");
  EXPECT_EQ(WipeFile(box.Path(L"missing.txt"), 1), WipeResult::Missing);
  box.File(L"busy.txt", "busy");
  HANDLE busy = ::CreateFileW(box.Path(L"busy.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(WipeFile(box.Path(L"busy.txt"), 1), WipeResult::Failed);
  ::CloseHandle(busy);
  EXPECT_EQ(ReadAll(box.Path(L"busy.txt")), "busy");
  if (!linked) GTEST_SKIP() << "a file link was not tried: links can only be made under Wine";
}

// Each pass opens the file anew: a name swapped for another file's second
// name between passes must not lead a later pass into that file.
TEST(WipeFile, ANameSwappedBetweenPassesIsNotFollowed) {
  Sandbox box(L"wipe-swap");
  box.File(L"precious.txt", "precious");
  box.File(L"junk.bin", std::string(100, 'j'));
  std::wstring junk = box.Path(L"junk.bin");
  WipeResult r = WipeFile(junk, 3, [&](int pass, BYTE) {
    if (pass != 1) return;
    ::DeleteFileW(junk.c_str());
    ::CreateHardLinkW(junk.c_str(), box.Path(L"precious.txt").c_str(), nullptr);
  });
  EXPECT_EQ(ReadAll(box.Path(L"precious.txt")), "precious");
  EXPECT_NE(r, WipeResult::Wiped);
}

// A file with holes occupies far less than its size: overwriting it would
// fill the drive. It is deleted without wiping, and the log says why.
TEST(WipeFile, ASparseFileIsDeletedWithoutWipingAndSaysSo) {
  Sandbox box(L"wipe-sparse");
  box.Folder(L"target");
  box.File(L"target\\sparse.bin", "");
  std::wstring unixPath = testing_support::ToUnixPath(box.Path(L"target\\sparse.bin"));
  if (unixPath.empty()) GTEST_SKIP() << "holes can only be made this way under Wine";
  testing_support::RunUnix(L"/usr/bin/truncate -s 64G " + unixPath);
  for (int i = 0; i < 100; ++i) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(box.Path(L"target\\sparse.bin").c_str(), GetFileExInfoStandard, &data) &&
        data.nFileSizeHigh > 0) {
      break;
    }
    ::Sleep(50);
  }
  EXPECT_EQ(WipeFile(box.Path(L"target\\sparse.bin"), 1), WipeResult::Sparse);
  CleanSettings wipe;
  wipe.IsWipeFile = true;
  wipe.WipeNumber = 1;
  CleanRun run(CleanMode::RealClean, wipe, true);
  int count = 0;
  run.Thread().DeleteFolderFiles(box.Path(L"target"), false, true, L"", count);
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(Exists(box.Path(L"target\\sparse.bin")));
  EXPECT_TRUE(run.log->Contains(L"Clean: deleted without wiping " + box.Path(L"target\\sparse.bin") +
                                L" (it is sparse or compressed)"));
}
