// The Options dialog's decisions that need no window.
#include <gtest/gtest.h>

#include "app/options/CookieLists.h"
#include "app/options/OptionsModel.h"
#include "support/TestSupport.h"

namespace {

TEST(OptionsModel, KeyCaptureShowsModifiersAndTheKeyName) {
  struct Case {
    UINT key;
    bool ctrl, shift, alt;
    const wchar_t* text;
    const wchar_t* name;
    int code;
  } cases[] = {
      {VK_F5, true, true, false, L"Ctrl  Shift  F5", L"F5", 116},
      {VK_DELETE, false, false, false, L"Del", L"Del", 46},
      {VK_DELETE, true, false, false, L"Ctrl  Del", L"Del", 46},
      {VK_MENU, false, false, true, L"Alt  ", L"", 0},
      {VK_CONTROL, true, false, false, L"Ctrl  ", L"", 0},
      {'A', false, true, true, L"Shift  Alt  A", L"A", 65},
      {'7', false, false, false, L"7", L"7", 55},
      {VK_NUMPAD3, false, false, false, L"Num 3", L"Num 3", 99},
      {VK_F24, false, false, false, L"F24", L"F24", 135},
      {VK_MULTIPLY, false, false, false, L"*", L"*", 106},
      {VK_RETURN, false, false, false, L"Enter", L"Enter", 13},
      {VK_SCROLL, false, false, false, L"Scroll", L"Scroll", 145},
      // Keys outside the table (a media key, the Windows key) empty everything.
      {VK_MEDIA_PLAY_PAUSE, true, false, false, L"", L"", 0},
      {VK_LWIN, false, false, false, L"", L"", 0},
  };
  for (const Case& c : cases) {
    app::TKeyCapture k = app::CaptureKey(c.key, c.ctrl, c.shift, c.alt);
    EXPECT_EQ(k.Text, c.text) << c.key;
    EXPECT_EQ(k.Name, c.name) << c.key;
    EXPECT_EQ(k.Code, c.code) << c.key;
  }
}

TEST(OptionsModel, ModifiersComeFromTheShownTextAndBackAgain) {
  core::TShortcut k;
  app::ModifiersFromText(L"Shift  Alt  F9", &k);
  EXPECT_FALSE(k.IsCtrl);
  EXPECT_TRUE(k.IsShift);
  EXPECT_TRUE(k.IsAlt);
  app::ModifiersFromText(L"ctrl  F9", &k);  // case counts
  EXPECT_FALSE(k.IsCtrl);
  k = core::TShortcut{};
  EXPECT_EQ(app::HotkeyText(k), L"Ctrl  F5");
}

TEST(OptionsModel, TheCopyOwnsItsListsAndCopiesBackIntoTheLiveOnes) {
  std::vector<std::wstring> liveValues{L"HKEY_A\\v"}, liveKeys{L"HKEY_B", L"HKEY_C"};
  core::TOptionsSetting live;
  live.IgnoreValueList = &liveValues;
  live.IgnoreKeyList = &liveKeys;
  live.IgnoreValueCount = 1;
  live.IgnoreKeyCount = 2;
  live.WipeNumber = 4;
  app::TOptionsCopy copy;
  copy.CopyFrom(live);
  EXPECT_NE(copy.Record().IgnoreValueList, &liveValues);
  copy.IgnoreValues().push_back(L"HKEY_NEW");
  copy.IgnoreKeys().clear();
  copy.Record().WipeNumber = 9;
  EXPECT_EQ(liveValues.size(), 1u);
  EXPECT_EQ(liveKeys.size(), 2u);
  EXPECT_EQ(live.WipeNumber, 4);

  copy.SetIgnoreLists({L"HKEY_X", L"HKEY_Y"}, {});
  copy.CopyTo(live);
  EXPECT_EQ(live.IgnoreValueList, &liveValues);
  EXPECT_EQ(live.IgnoreKeyList, &liveKeys);
  EXPECT_EQ(liveValues, (std::vector<std::wstring>{L"HKEY_X", L"HKEY_Y"}));
  EXPECT_TRUE(liveKeys.empty());
  EXPECT_EQ(live.IgnoreValueCount, 2);
  EXPECT_EQ(live.IgnoreKeyCount, 0);
  EXPECT_EQ(live.WipeNumber, 9);
}

TEST(OptionsModel, SmallRules) {
  EXPECT_EQ(app::RunValueText(L"C:\\Program Files\\Vantorel\\Vantorel.exe"),
            L"\"C:\\Program Files\\Vantorel\\Vantorel.exe\" /Auto");
  EXPECT_TRUE(app::IsAutoStartValue(L"\"C:\\x.exe\" /Auto"));
  EXPECT_FALSE(app::IsAutoStartValue(L"C:\\x.exe"));
  struct {
    const wchar_t* text;
    bool accepted;
  } entries[] = {{L"", false}, {L"Software\\Microsoft", false}, {L"HKEY", false},
                 {L"HKEY_CURRENT_USER\\Software", true}, {L"hkey_local_machine", true}, {L"x HkEy_y", true}};
  for (const auto& e : entries) EXPECT_EQ(app::IsIgnoreEntryAcceptable(e.text), e.accepted) << e.text;
  EXPECT_TRUE(app::SameFolder(L"C:\\Prog\\Backup\\", L"c:\\prog\\backup"));
  EXPECT_FALSE(app::SameFolder(L"", L""));
  EXPECT_EQ(app::ScheduleCaptions().at(3), L"Every 4 hours");
}

class CookieFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"vantorel-cookies\\";
    Clear();
    ::CreateDirectoryW(root.c_str(), nullptr);
  }
  void TearDown() override { Clear(); }
  void Clear() {
    for (const wchar_t* f : {L"a.txt", L"b.txt", L"c.txt", L"locked.txt", L"notes.dat", L"Low\\d.txt"})
      ::DeleteFileW((root + f).c_str());
    ::RemoveDirectoryW((root + L"Low").c_str());
    ::RemoveDirectoryW(root.c_str());
  }
  void Write(const std::wstring& name, const char* text) {
    HANDLE h = ::CreateFileW((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ::WriteFile(h, text, static_cast<DWORD>(strlen(text)), &n, nullptr);
    ::CloseHandle(h);
  }
  std::wstring root;
};

TEST_F(CookieFolder, HostsNotKeptByNameOrHostAreOfferedAndUnreadableFilesSkipped) {
  Write(L"a.txt", "id\n1\nexample.com/\n");
  Write(L"b.txt", "id\n1\nkept.net/\n");
  Write(L"c.txt", "id\n1\nother.org/\n");
  Write(L"notes.dat", "id\n1\nnot-a-cookie.org/\n");
  Write(L"locked.txt", "id\n1\nlocked.org/\n");
  HANDLE lock = ::CreateFileW((root + L"locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::vector<app::TCookieFile> offered = app::CookiesToDelete(root, {L"kept.net", L"c.txt"});
  ::CloseHandle(lock);
  std::vector<std::wstring> hosts;
  for (const app::TCookieFile& c : offered) hosts.push_back(c.Host);
  EXPECT_EQ(hosts, std::vector<std::wstring>{L"example.com"});
  EXPECT_EQ(offered.at(0).File, L"a.txt");
  EXPECT_TRUE(app::CookiesToDelete(L"", {}).empty());
}

TEST_F(CookieFolder, TheLowFolderIsUsedOnlyWhenItAloneHoldsCookies) {
  ::CreateDirectoryW((root + L"Low").c_str(), nullptr);
  EXPECT_EQ(app::ResolveCookieFolder(root, L""), root);  // no cookie files anywhere
  Write(L"Low\\d.txt", "id\n1\nlow.org/\n");
  EXPECT_EQ(app::ResolveCookieFolder(root, L""), root + L"Low\\");
  Write(L"a.txt", "id\n1\nexample.com/\n");
  EXPECT_EQ(app::ResolveCookieFolder(root.substr(0, root.size() - 1), L""), root);
  EXPECT_EQ(app::ResolveCookieFolder(root + L"missing", L""), L"");
}

}  // namespace
