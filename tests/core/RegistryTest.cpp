#include <gtest/gtest.h>
#include <windows.h>

#include "Scratch.h"
#include "core/Privileges.h"
#include "core/RegistryRead.h"
#include "core/SystemInfo.h"
#include "support/Registry.h"

using namespace core;
using core_test::Exists;
using core_test::ReadFileBytes;
using core_test::ScratchFolder;
using core_test::WriteFileBytes;
using testing_support::CurrentUserSid;

namespace {

const wchar_t kTestKey[] = L"Software\\VantorelCoreTest";

// A key of this test under `root`, deleted with its tree afterwards.
class TestKey {
 public:
  TestKey(HKEY root, const std::wstring& path, REGSAM view = 0) : root_(root), path_(path), view_(view) {
    Delete();
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key_, nullptr);
  }
  ~TestKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
    Delete();
  }
  HKEY Handle() const { return key_; }
  void SetString(const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
    ::RegSetValueExW(key_, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  void SetDword(const wchar_t* name, DWORD value) {
    ::RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  }

 private:
  void Delete() {
    HKEY parent = nullptr;
    size_t slash = path_.find_last_of(L'\\');
    if (::RegOpenKeyExW(root_, path_.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view_, &parent) != ERROR_SUCCESS)
      return;
    ::RegDeleteTreeW(parent, path_.substr(slash + 1).c_str());
    ::RegCloseKey(parent);
  }
  HKEY root_;
  std::wstring path_;
  REGSAM view_;
  HKEY key_ = nullptr;
};

}  // namespace

TEST(ParseHivePath, NamesRootSubkeyAndView) {
  HiveTarget t = ParseHivePath(L"\\REGISTRY\\MACHINE\\SYSTEM", true);
  EXPECT_EQ(t.root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(t.subKey, L"SYSTEM");
  EXPECT_FALSE(t.view64);

  t = ParseHivePath(L"\\Registry\\Machine\\Software", true);
  EXPECT_EQ(t.root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(t.subKey, L"Software");  // in the letter case given
  EXPECT_TRUE(t.view64);
  EXPECT_FALSE(ParseHivePath(L"\\REGISTRY\\MACHINE\\SOFTWARE", false).view64);

  t = ParseHivePath(L"\\REGISTRY\\USER\\.DEFAULT", true);
  EXPECT_EQ(t.root, HKEY_USERS);
  EXPECT_EQ(t.subKey, L".DEFAULT");
  EXPECT_FALSE(t.view64);

  EXPECT_EQ(ParseHivePath(L"\\REGISTRY\\A\\SOFTWARE", true).root, nullptr);
  EXPECT_EQ(ParseHivePath(L"", false).root, nullptr);
}

TEST(ReadRegString, ReadsStringsAsStoredAndGivesEmptyOnAnyFailure) {
  TestKey key(HKEY_CURRENT_USER, kTestKey);
  key.SetString(L"Plain", L"C:\\Program Files\\App");
  key.SetString(L"Expand", L"%SystemRoot%\\app.exe", REG_EXPAND_SZ);
  key.SetString(L"", L"default text");
  key.SetDword(L"Number", 42);

  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, L"Plain"), L"C:\\Program Files\\App");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, L"Expand"), L"%SystemRoot%\\app.exe");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, L""), L"default text");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, std::wstring(L"\\") + kTestKey, L"Plain"), L"C:\\Program Files\\App");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, L"Number"), L"");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, L"Missing"), L"");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, std::wstring(kTestKey) + L"\\Missing", L"Plain"), L"");
}

TEST(SaveHiveToFile, SavesAUserKeyAndReplacesAnExistingFile) {
  ASSERT_TRUE(EnableBackupPrivilege());
  const std::wstring sid = CurrentUserSid();
  ASSERT_FALSE(sid.empty());
  TestKey key(HKEY_CURRENT_USER, kTestKey);
  key.SetString(L"SavedValueMarker", L"x");

  ScratchFolder dir;
  const std::wstring file = dir / L"user.fdc";
  ASSERT_TRUE(WriteFileBytes(file, "stale copy"));
  EXPECT_TRUE(SaveHiveToFile(L"\\REGISTRY\\USER\\" + sid + L"\\" + kTestKey, file, IsWow64()));
  std::string saved = ReadFileBytes(file);
  EXPECT_EQ(saved.find("stale copy"), std::string::npos);
  EXPECT_NE(saved.find("SavedValueMarker"), std::string::npos);
}

TEST(SaveHiveToFile, RefusesUnknownOrMissingKeysAndLeavesNoStaleCopy) {
  ScratchFolder dir;
  const std::wstring file = dir / L"none.fdc";
  ASSERT_TRUE(WriteFileBytes(file, "stale copy"));
  EXPECT_FALSE(SaveHiveToFile(L"\\REGISTRY\\ELSEWHERE\\SOFTWARE", file, false));
  EXPECT_FALSE(Exists(file));

  ASSERT_TRUE(WriteFileBytes(file, "stale copy"));
  EXPECT_FALSE(SaveHiveToFile(L"\\REGISTRY\\USER\\.DEFAULT\\NoSuchKeyForVantorel", file, false));
  EXPECT_FALSE(Exists(file));
}

TEST(SaveHiveToFile, SavesTheSixtyFourBitSoftwareViewUnderWow64) {
  if (!IsWow64()) GTEST_SKIP() << "not a 64-bit prefix";
  ASSERT_TRUE(EnableBackupPrivilege());
  TestKey wide(HKEY_LOCAL_MACHINE, L"Software\\VantorelCoreTest64", KEY_WOW64_64KEY);
  TestKey narrow(HKEY_LOCAL_MACHINE, L"Software\\VantorelCoreTest32", KEY_WOW64_32KEY);
  ASSERT_NE(wide.Handle(), nullptr);
  ASSERT_NE(narrow.Handle(), nullptr);

  ScratchFolder dir;
  const std::wstring file = dir / L"software.fdc";
  EXPECT_TRUE(SaveHiveToFile(L"\\REGISTRY\\MACHINE\\SOFTWARE\\VantorelCoreTest64", file, true));
  // The 32-bit view's key is not in the 64-bit view, and the other way round.
  EXPECT_FALSE(SaveHiveToFile(L"\\REGISTRY\\MACHINE\\SOFTWARE\\VantorelCoreTest32", file, true));
  EXPECT_TRUE(SaveHiveToFile(L"\\REGISTRY\\MACHINE\\SOFTWARE\\VantorelCoreTest32", file, false));
  EXPECT_FALSE(SaveHiveToFile(L"\\REGISTRY\\MACHINE\\SOFTWARE\\VantorelCoreTest64", file, false));
}
