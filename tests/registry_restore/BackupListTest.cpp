// The backup folder as the restore dialog lists it, the registry editor's
// command lines and the full-backup file name.
#include <gtest/gtest.h>

#include "core/Text.h"
#include "registry/restore/BackupFiles.h"
#include "registry/restore/Regedit.h"
#include "registry_fix/FixTestSupport.h"

namespace {

using fix_test::TTempFolder;
using registry::ListBackupFiles;

TEST(BackupList, OnlyRegFilesNewestNameFirst) {
  TTempFolder dir(L"VantorelBackupList");
  dir.WriteFile(L"2026_11_30_235959.REG", "REGEDIT4\r\n");
  dir.WriteFile(L"2026_12_06_080509.reg", "REGEDIT4\r\n");
  dir.WriteFile(L"notes.txt", "x");
  ASSERT_TRUE(::CreateDirectoryW(dir.Sub(L"old.reg").c_str(), nullptr));
  auto files = ListBackupFiles(dir.Path());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].Name, L"2026_12_06_080509.reg");
  EXPECT_EQ(files[1].Name, L"2026_11_30_235959.REG");
  EXPECT_FALSE(registry::BackupDateText(files[0].LastWrite).empty());
}

TEST(BackupList, SizesInWholeKilobytes) {
  struct Case {
    size_t bytes;
    const wchar_t* shown;
  };
  const Case cases[] = {{0, L"0 KB"}, {1, L"1 KB"}, {1024, L"1 KB"}, {1025, L"2 KB"}, {1048577, L"1,025 KB"}};
  TTempFolder dir(L"VantorelBackupSizes");
  for (const Case& c : cases) {
    std::wstring name = L"size_" + std::to_wstring(c.bytes) + L".reg";
    dir.WriteFile(name, std::string(c.bytes, 'x'));
  }
  auto files = ListBackupFiles(dir.Path());
  ASSERT_EQ(files.size(), std::size(cases));
  for (const Case& c : cases) {
    std::wstring name = L"size_" + std::to_wstring(c.bytes) + L".reg";
    auto it = std::find_if(files.begin(), files.end(), [&](const registry::TBackupFile& f) { return f.Name == name; });
    ASSERT_NE(it, files.end()) << c.bytes;
    EXPECT_EQ(core::FormatSizeKB(it->Size), c.shown) << c.bytes;
  }
}

TEST(BackupList, MissingFolderListsNothing) {
  EXPECT_FALSE(registry::BackupFolderExists(L"C:\\no\\such\\backup\\folder"));
  EXPECT_TRUE(ListBackupFiles(L"C:\\no\\such\\backup\\folder").empty());
}

TEST(Regedit, StartedByFullPathFromTheWindowsFolder) {
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  for (const std::wstring& cmd : {registry::RegeditImportCommand(L"C:\\b\\x.reg"),
                                  registry::RegeditExportCommand(L"C:\\b\\x.reg")}) {
    ASSERT_EQ(cmd.front(), L'"') << cmd;
    std::wstring exe = cmd.substr(1, cmd.find(L'"', 1) - 1);
    EXPECT_EQ(::CompareStringOrdinal(exe.c_str(), static_cast<int>(wcslen(windows)), windows, -1, TRUE), CSTR_EQUAL)
        << exe;
    EXPECT_NE(::GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << exe;
  }
  EXPECT_NE(registry::RegeditImportCommand(L"C:\\b\\x.reg").find(L" /s \"C:\\b\\x.reg\""), std::wstring::npos);
  EXPECT_NE(registry::RegeditExportCommand(L"C:\\b\\x.reg").find(L" /e \"C:\\b\\x.reg\""), std::wstring::npos);
}

TEST(Regedit, FullBackupGetsOneRegExtension) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\b\\all", L"C:\\b\\all.reg"}, {L"C:\\b\\all.Reg", L"C:\\b\\all.Reg"},
      {L"C:\\b\\all.txt", L"C:\\b\\all.txt.reg"}, {L"C:\\b\\x.REG", L"C:\\b\\x.REG"}};
  for (const auto& c : cases) EXPECT_EQ(registry::FullBackupFileName(c.first), c.second) << c.first;
}

}  // namespace
