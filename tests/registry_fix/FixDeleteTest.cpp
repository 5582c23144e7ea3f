// The three deletions and their guards: backup first, nothing deleted when
// the backup cannot be made, and never a root, a first-level key, a path
// with empty parts, or a file that is not a regular shortcut.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "registry/fix/FixDelete.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\Delete";

class FixDelete : public ::testing::Test {
 protected:
  void SetUp() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  TTempFolder folder_{L"delete"};
  std::wstring file_ = folder_.Sub(L"backup.reg");
};

}  // namespace

TEST_F(FixDelete, GuardsRefuseRootsFirstLevelKeysAndBrokenPaths) {
  SetString(HKEY_CURRENT_USER, kBase + L"\\K", L"v", L"x");
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"\\", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"Software", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"Software\\", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"\\" + kBase, file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", kTestKey + std::wstring(L"\\\\Delete"), file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKCU", kBase + L"\\K", file_).Status, dsBadRoot);
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_DYN_DATA", kBase + L"\\K", true, L"v", file_).Status, dsBadRoot);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\K", L"v"));
  EXPECT_FALSE(FileExists(file_));
}

TEST_F(FixDelete, NothingDeletedWithoutACompleteBackup) {
  SetString(HKEY_CURRENT_USER, kBase + L"\\Doomed", L"ok", L"x");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Doomed\\Inner", L"\u4e2d", L"x");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Odd", L"\u6587", L"x");
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", kBase + L"\\Doomed", file_).Status, dsBackupFailed);
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_CURRENT_USER", kBase + L"\\Odd", true, L"\u6587", file_).Status,
            dsBackupFailed);
  const std::wstring noFolder = folder_.Sub(L"missing\\backup.reg");
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_CURRENT_USER", kBase + L"\\Doomed", true, L"ok", noFolder).Status,
            dsBackupIoError);
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Doomed\\Inner", L"\u4e2d"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Doomed", L"ok"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Odd", L"\u6587"));
  EXPECT_FALSE(FileExists(file_));
}

// The startup-programs manager deletes without a backup.
TEST_F(FixDelete, ValueWithoutBackupWritesNothing) {
  SetString(HKEY_CURRENT_USER, kBase, L"Run", L"x");
  SetString(HKEY_CURRENT_USER, kBase, L"Twin", L"x");
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_CURRENT_USER", kBase, false, L"Run", file_).Status, dsDeleted);
  EXPECT_FALSE(FileExists(file_));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kBase, L"Run"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase, L"Twin"));
}

TEST_F(FixDelete, OnlyExistingRegularShortcutFiles) {
  const std::wstring link = folder_.WriteFile(L"Dead.LNK", "L");
  const std::wstring text = folder_.WriteFile(L"notes.txt", "keep");
  const std::wstring dir = folder_.Sub(L"folder.lnk");
  ::CreateDirectoryW(dir.c_str(), nullptr);
  folder_.WriteFile(L"folder.lnk\\inside.txt", "keep");
  EXPECT_EQ(DeleteShortcutFile(text).Status, dsRefused);
  EXPECT_EQ(DeleteShortcutFile(dir).Status, dsRefused);
  EXPECT_EQ(DeleteShortcutFile(L"Dead.LNK").Status, dsRefused);  // not a full path
  EXPECT_EQ(DeleteShortcutFile(folder_.Sub(L"*.lnk")).Status, dsRefused);
  EXPECT_EQ(DeleteShortcutFile(folder_.Sub(L"gone.lnk")).Status, dsMissing);
  EXPECT_EQ(DeleteShortcutFile(link).Status, dsDeleted);
  EXPECT_FALSE(FileExists(link));
  EXPECT_TRUE(FileExists(text));
  EXPECT_TRUE(FileExists(folder_.Sub(L"folder.lnk\\inside.txt")));
}
