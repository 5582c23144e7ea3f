// The startup entries of the test prefix: Run values and Startup-folder
// shortcuts as listed, and their removal with a backup.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "registry/startup/StartupList.h"
#include "registry/restore/RestoreCheck.h"
#include "registry_fix/FixTestSupport.h"

namespace {

using namespace fix_test;
using registry::TStartupEntry;

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool MakeShellLink(const std::wstring& link, const std::wstring& target) {
  ::CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = SUCCEEDED(shell->SetPath(target.c_str())) &&
            SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file != nullptr) file->Release();
  shell->Release();
  return ok;
}

std::vector<TStartupEntry> Ours(const std::vector<TStartupEntry>& all) {
  std::vector<TStartupEntry> ours;
  for (const TStartupEntry& e : all) {
    if (e.Name.compare(0, 8, L"Vantorel") == 0) ours.push_back(e);
  }
  return ours;
}

class StartupList : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = registry::GetSpecialFolder(CSIDL_STARTUP);
    ASSERT_FALSE(folder.empty());
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    Clean();
  }
  void TearDown() override { Clean(); }
  void Clean() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      for (const wchar_t* n : {L"VantorelA", L"VantorelB", L"VantorelDword", L"VantorelBinary"}) ::RegDeleteValueW(key, n);
      ::RegCloseKey(key);
    }
    for (const wchar_t* n : {L"VantorelLink.lnk", L"VantorelCaps.LNK", L"VantorelBroken.lnk", L"VantorelNote.txt"}) {
      ::DeleteFileW((folder + n).c_str());
      ::RemoveDirectoryW((folder + n).c_str());
    }
  }
  std::wstring folder;
};

TEST_F(StartupList, RunValuesAndShortcutsOnceEachStringsOnly) {
  SetString(HKEY_CURRENT_USER, kRun, L"VantorelA", L"C:\\a.exe /min");
  SetString(HKEY_CURRENT_USER, kRun, L"VantorelB", L"%SystemRoot%\\b.exe", REG_EXPAND_SZ);
  SetDword(HKEY_CURRENT_USER, kRun, L"VantorelDword", 1);
  SetValue(HKEY_CURRENT_USER, kRun, L"VantorelBinary", REG_BINARY, Bytes({1, 2}));
  ASSERT_TRUE(MakeShellLink(folder + L"VantorelLink.lnk", L"C:\\windows\\notepad.exe"));
  ASSERT_TRUE(MakeShellLink(folder + L"VantorelCaps.LNK", L"C:\\windows\\regedit.exe"));
  TTempFolder scratch(L"VantorelStartupScratch");
  ASSERT_TRUE(::CopyFileW(scratch.WriteFile(L"x", "not a shortcut").c_str(), (folder + L"VantorelBroken.lnk").c_str(),
                          FALSE));
  scratch.WriteFile(L"y", "");
  ASSERT_TRUE(::CopyFileW(scratch.Sub(L"y").c_str(), (folder + L"VantorelNote.txt").c_str(), FALSE));

  for (int pass = 0; pass < 2; ++pass) {  // a second listing gives the same rows
    auto ours = Ours(registry::ListStartupEntries(9));
    ASSERT_EQ(ours.size(), 4u) << pass;
    EXPECT_EQ(ours[0].Name, L"VantorelA");
    EXPECT_EQ(ours[0].File, L"C:\\a.exe /min");
    EXPECT_EQ(ours[0].Location, std::wstring(L"HKEY_CURRENT_USER\\") + kRun);
    EXPECT_EQ(ours[1].File, L"%SystemRoot%\\b.exe");  // as stored, not expanded
    std::vector<std::wstring> links = {ours[2].Name, ours[3].Name};
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (std::vector<std::wstring>{L"VantorelCaps.LNK", L"VantorelLink.lnk"}));
    EXPECT_EQ(ours[2].Location, L"Startup");
    EXPECT_FALSE(ours[2].File.empty());
  }
}

TEST_F(StartupList, DeletionBacksUpValuesAndRefusesWhatIsNoShortcut) {
  TTempFolder dir(L"VantorelStartupBackup");
  const std::wstring backup = dir.Sub(L"2026_12_06_080509.reg");
  SetString(HKEY_CURRENT_USER, kRun, L"VantorelA", L"C:\\a.exe");
  ASSERT_TRUE(MakeShellLink(folder + L"VantorelLink.lnk", L"C:\\windows\\notepad.exe"));
  auto ours = Ours(registry::ListStartupEntries(9));
  ASSERT_EQ(ours.size(), 2u);

  EXPECT_TRUE(registry::DeleteStartupEntry(ours[0], backup).Deleted());
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRun, L"VantorelA"));
  EXPECT_NE(ReadFileBytes(backup).find("\"VantorelA\"=\"C:\\\\a.exe\""), std::string::npos);

  // The shortcut was replaced by a folder after the listing: refused, kept.
  ASSERT_TRUE(::DeleteFileW((folder + L"VantorelLink.lnk").c_str()));
  ASSERT_TRUE(::CreateDirectoryW((folder + L"VantorelLink.lnk").c_str(), nullptr));
  EXPECT_FALSE(registry::DeleteStartupEntry(ours[1], backup).Deleted());
  EXPECT_NE(::GetFileAttributesW((folder + L"VantorelLink.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(::RemoveDirectoryW((folder + L"VantorelLink.lnk").c_str()));
  ASSERT_TRUE(MakeShellLink(folder + L"VantorelLink.lnk", L"C:\\windows\\notepad.exe"));
  EXPECT_TRUE(registry::DeleteStartupEntry(ours[1], backup).Deleted());
  EXPECT_EQ(::GetFileAttributesW((folder + L"VantorelLink.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(StartupSources, RunServicesOnlyOnTheOldFamily) {
  const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
  SetString(HKEY_CURRENT_USER, key, L"VantorelService", L"C:\\s.exe");
  EXPECT_TRUE(Ours(registry::ListStartupEntries(9)).empty());   // XP
  EXPECT_EQ(Ours(registry::ListStartupEntries(3)).size(), 1u);  // 98
  DeleteTree(HKEY_CURRENT_USER, key);
  EXPECT_EQ(registry::ExpandEnvPath(L"%NoSuchVariableHere%"), L"%NoSuchVariableHere%");
  EXPECT_NE(registry::ExpandEnvPath(L"%SystemRoot%"), L"%SystemRoot%");
}

}  // namespace
