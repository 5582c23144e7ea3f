#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdint>
#include <utility>

#include "Scratch.h"
#include "core/Files.h"
#include "sys/TextCompare.h"
#include "support/TestSupport.h"
#include "support/Shortcuts.h"

using testing_support::MakeShellLink;

using namespace core;
using core_test::Exists;
using core_test::ScratchFolder;
using core_test::WriteFileBytes;

namespace {

// A file of `size` bytes that occupies (almost) no disk space.
bool MakeSparseFile(const std::wstring& path, std::int64_t size) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  ::DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);  // best effort
  LARGE_INTEGER end;
  end.QuadPart = size;
  bool ok = ::SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
  ::CloseHandle(h);
  return ok;
}

}  // namespace

TEST(FileSizes, MissingFilesAndFoldersSmallFilesAndSizesAboveFourGibibytes) {
  ScratchFolder dir;
  ASSERT_TRUE(WriteFileBytes(dir / L"ten.bin", "0123456789"));
  const std::int64_t huge = 5LL * 1024 * 1024 * 1024 + 12345;
  ASSERT_TRUE(MakeSparseFile(dir / L"sparse.bin", huge));
  const std::pair<const wchar_t*, std::int64_t> cases[] = {{L"ten.bin", 10}, {L"missing.bin", 0}, {L"sparse.bin", huge}};
  for (const auto& [name, size] : cases) {
    EXPECT_EQ(GetFileSize64(dir / name), size) << name;
    EXPECT_EQ(GetFileSizeByFind(dir / name), size) << name;
  }
  EXPECT_EQ(GetFileSize64(dir.Path()), 0);  // a folder counts as missing
}

TEST(IsFileInUse, TellsLockedFreeAndMissingFilesApart) {
  ScratchFolder dir;
  const std::wstring file = dir / L"held.txt";
  ASSERT_TRUE(WriteFileBytes(file, "data"));
  EXPECT_FALSE(IsFileInUse(file));
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(IsFileInUse(file));
  ::CloseHandle(h);
  EXPECT_FALSE(IsFileInUse(file));

  EXPECT_FALSE(IsFileInUse(dir / L"missing.txt"));
}

TEST(IsFileInUse, AReadOnlyFileCountsAsInUse) {
  ScratchFolder dir;
  const std::wstring readOnly = dir / L"readonly.txt";
  ASSERT_TRUE(WriteFileBytes(readOnly, "data"));
  ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine keeps the attribute as Unix permissions, which do not bind root.
  HANDLE h = ::CreateFileW(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    ::CloseHandle(h);
    GTEST_SKIP() << "this system lets the test write read-only files";
  }
  EXPECT_TRUE(IsFileInUse(readOnly));
}

TEST(IsSafeDeletePath, AcceptsOnlyFullPathsBelowARoot) {
  for (const wchar_t* ok : {L"C:\\Temp\\x.lnk", L"c:/Temp/dir", L"C:\\a\\", L"\\\\server\\share\\file.txt",
                            L"C:\\a..b\\.hidden"})
    EXPECT_TRUE(IsSafeDeletePath(ok)) << ok;
  for (const wchar_t* bad : {L"", L"relative\\path", L"x.txt", L"\\rooted\\path", L"C:relative", L"C:\\", L"C:\\\\",
                             L"C:\\a\\..", L"C:\\a\\..\\b", L"C:\\.\\a", L"C:\\Temp\\*.tmp", L"C:\\Temp\\a?.txt",
                             L"\\\\?\\C:\\a", L"\\\\server\\share", L"\\\\server\\share\\", L"\\\\server", L"::\\x"})
    EXPECT_FALSE(IsSafeDeletePath(bad)) << bad;
}

TEST(ShellDeletePath, RemovesAFolderTreeForGoodAndRefusesRelativePaths) {
  ScratchFolder dir;
  const std::wstring tree = dir / L"VantorelDeleteMe";
  ASSERT_TRUE(::CreateDirectoryW(tree.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW((tree + L"\\sub").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(tree + L"\\sub\\a.txt", "a"));
  ASSERT_TRUE(WriteFileBytes(tree + L"\\b.txt", "b"));
  EXPECT_TRUE(ShellDeletePath(tree));
  EXPECT_FALSE(Exists(tree));
  // Not moved to the recycle bin (the run's own trash folder).
  std::wstring trash = testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_TEST_ENV")) +
                       L"\\home\\.local\\share\\Trash\\files\\VantorelDeleteMe";
  EXPECT_FALSE(Exists(trash));

  // A relative name is refused even when the current folder holds it.
  ASSERT_TRUE(::CreateDirectoryW((dir / L"relative").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(dir / L"relative\\path", "keep"));
  wchar_t oldDir[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, oldDir);
  ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));
  EXPECT_FALSE(ShellDeletePath(L""));
  EXPECT_FALSE(ShellDeletePath(L"relative\\path"));
  EXPECT_FALSE(ShellDeletePath(L"relative"));
  ::SetCurrentDirectoryW(oldDir);
  EXPECT_TRUE(Exists(dir / L"relative\\path"));

  EXPECT_FALSE(ShellDeletePath(dir / L"no-such-file.txt"));  // a failure, with no dialog
}

TEST(GetShortPath, GivesTheShortFormOfAnExistingPath) {
  ScratchFolder dir;
  const std::wstring longName = dir / L"A rather long file name.text";
  ASSERT_TRUE(WriteFileBytes(longName, "x"));
  std::wstring shortName = GetShortPath(longName);
  ASSERT_FALSE(shortName.empty());
  EXPECT_LT(shortName.size(), longName.size());
  EXPECT_TRUE(Exists(shortName));
  EXPECT_EQ(GetShortPath(dir / L"missing file name.text"), L"");
}

TEST(GetShortcutTarget, ReadsBackALinkMadeWithTheShellLinkObject) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  ScratchFolder dir;
  const std::wstring target = dir / L"target.exe";
  ASSERT_TRUE(WriteFileBytes(target, "MZ"));
  const std::wstring link = dir / L"Target.lnk";
  ASSERT_TRUE(MakeShellLink(link, target));
  EXPECT_TRUE(sys::SameText(GetShortcutTarget(link), target)) << GetShortcutTarget(link);

  ASSERT_TRUE(WriteFileBytes(dir / L"broken.lnk", "not a link at all"));
  EXPECT_EQ(GetShortcutTarget(dir / L"broken.lnk"), L"");
  EXPECT_EQ(GetShortcutTarget(dir / L"missing.lnk"), L"");
  ::CoUninitialize();
}
