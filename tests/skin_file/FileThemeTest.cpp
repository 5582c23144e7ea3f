// A skin file used as a theme, end to end: find, load (with and without its
// password), look items up by file-theme index, refresh the controls using
// it, and leave no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include "SkinFileFuzz.h"
#include "SkinTestData.h"
#include "skin/file/FileTheme.h"
#include "skin/file/SkinTempFile.h"
#include "skin/file/Tsk2SkinFileReader.h"

namespace {

int CountTempGuidFiles() {
  WIN32_FIND_DATAW found{};
  HANDLE h = ::FindFirstFileW((skin::GetTempDirectory() + L"{*}").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (::FindNextFileW(h, &found));
  ::FindClose(h);
  return count;
}

class CountingUser : public skin::TskFileThemeUser {
 public:
  skin::TskFileTheme* GetFileTheme() const override { return theme; }
  void SetFileTheme(skin::TskFileTheme* value) override {
    theme = value;
    ++sets;
  }
  skin::TskFileTheme* theme = nullptr;
  int sets = 0;
};

TEST(FileTheme, EncryptedSkinLoadsOnceItsPasswordIsSetAndAnswersByIndex) {
  const int tempBefore = CountTempGuidFiles();
  skin::TskFileTheme theme;
  CountingUser user, other;
  user.theme = &theme;
  theme.AddUser(&user);
  theme.AddUser(&other);

  theme.SetThemeFile(skintest::DataPath("encrypted.skn"));
  EXPECT_FALSE(theme.GetReady());
  EXPECT_EQ(0, theme.GetColor(2));
  EXPECT_EQ(0, user.sets);

  theme.SetPassword(L"secret");
  ASSERT_TRUE(theme.GetReady());
  EXPECT_EQ(2, user.sets);  // set to nothing and back, so it reads the new skin
  EXPECT_EQ(&theme, user.theme);
  EXPECT_EQ(0, other.sets);

  EXPECT_EQ(0xFF00FF, theme.GetColor(0));
  EXPECT_EQ(0xC0C0C0, theme.GetColor(2));  // the first of two records
  EXPECT_EQ(-1, theme.GetColor(1));
  EXPECT_EQ(7, theme.GetInteger(0));
  EXPECT_EQ(-1, theme.GetInteger(4));
  EXPECT_TRUE(theme.GetBool(5));
  EXPECT_FALSE(theme.GetBool(4));
  EXPECT_FALSE(theme.GetBool(0));
  EXPECT_EQ(-1, theme.GetColor(100));  // beyond the colours: no key, no overrun
  EXPECT_EQ(nullptr, theme.GetBitmap(127));

  const skin::SkinImage* button = theme.GetBitmap(15);
  ASSERT_NE(nullptr, button);
  EXPECT_EQ(6, button->width);
  EXPECT_EQ(0xFF00FFu, button->At(0, 0));
  skin::SkinImage cell;
  theme.AssignBitmap(15, cell, 3, 2);
  EXPECT_EQ(2, cell.width);
  EXPECT_EQ(0x2050A0u, cell.At(0, 0));
  theme.AssignBitmap(16, cell, 0, 0);
  EXPECT_EQ(4, cell.width);
  theme.AssignBitmap(20, cell, 3, 1);
  EXPECT_EQ(0, cell.width);

  EXPECT_EQ(tempBefore, CountTempGuidFiles());
}

TEST(FileTheme, UnreadableOrMissingFilesLeaveTheThemeAsItWas) {
  const int tempBefore = CountTempGuidFiles();
  skin::TskFileTheme theme;
  theme.SetThemeFile(skintest::DataPath("plain.skn"));
  ASSERT_TRUE(theme.GetReady());
  const std::wstring loaded = theme.GetThemeFile();

  theme.SetThemeFile(skintest::DataPath("no-such-skin.skn"));
  EXPECT_TRUE(theme.GetReady());
  EXPECT_EQ(loaded, theme.GetThemeFile());

  for (const char* bad : {"pk.skn", "comment.skn", "bomb.skn", "hugesize.skn", "SKINDATA.SK2"}) {
    theme.SetThemeFile(skintest::DataPath(bad));
    EXPECT_FALSE(theme.GetReady()) << bad;
    EXPECT_EQ(0, theme.GetColor(0)) << bad;
    EXPECT_EQ(nullptr, theme.GetBitmap(15)) << bad;
  }
  EXPECT_EQ(tempBefore, CountTempGuidFiles());
}

TEST(FileTheme, ReaderRaisesForAnUnreadableSkinAndStaysUnloadedForAWrongPassword) {
  EXPECT_THROW(skin::Tsk2SkinFileReader(skintest::DataPath("pk.skn"), L""), skin::SkinFileError);
  skin::Tsk2SkinFileReader wrong(skintest::DataPath("encrypted.skn"), L"guess");
  EXPECT_FALSE(wrong.Loaded);
  skin::Tsk2SkinFileReader right(skintest::DataPath("descriptor.skn"), L"secret");
  EXPECT_TRUE(right.Loaded);
  EXPECT_EQ(7, right.GetInteger("SKIN2_TITLEBARICONPOSX"));
}

TEST(FileTheme, BareFileNameIsFoundInTheProgramFolder) {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring copy = exe;
  copy = copy.substr(0, copy.find_last_of(L'\\') + 1) + L"skin-file-test-bare.skn";
  ASSERT_TRUE(::CopyFileW(skintest::DataPath("lower.skn").c_str(), copy.c_str(), FALSE));
  skin::TskFileTheme theme;
  theme.SetThemeFile(L"skin-file-test-bare.skn");
  EXPECT_TRUE(theme.GetReady());
  EXPECT_EQ(copy, theme.GetThemeFile());
  ::DeleteFileW(copy.c_str());
}

// Every input the fuzzer kept, and every crash it ever found, stays harmless
// and passes the fuzzer's checks of what the parsers give.
TEST(SkinFileFuzzCorpus, EveryKeptInputReplaysWithoutHarm) {
  int replayed = 0;
  for (const char* folder : {"corpus", "crashes"}) {
    const std::wstring dir = skintest::FuzzPath(folder);
    WIN32_FIND_DATAW found{};
    HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const skintest::Bytes input = skintest::ReadFileBytes(dir + L"\\" + found.cFileName);
      EXPECT_EQ("", FuzzSkinFile(input.data(), input.size())) << folder << "/" << found.cFileName;
      ++replayed;
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
