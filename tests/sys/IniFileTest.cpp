// The ini class: number forms, missing keys, and keys a save leaves alone.
#include <gtest/gtest.h>

#include "sys/IniFile.h"

namespace {

TEST(IniFile, IntegersAreDecimalOrHexAfter0xAndAnythingElseGivesTheDefault) {
  struct Case {
    const wchar_t* text;
    bool ok;
    long value;
  } cases[] = {{L"10", true, 10},          {L"-2", true, -2},          {L"0x3", true, 3},
               {L"0XfF", true, 255},       {L" 7 ", true, 7},          {L"0xFFFFFFFF", true, -1},
               {L"2147483647", true, 2147483647L},                      {L"2147483648", false, 0},
               {L"word", false, 0},        {L"", false, 0},            {L"0x", false, 0},
               {L"12abc", false, 0},       {L"$10", false, 0}};
  for (const Case& c : cases) {
    long v = 0;
    EXPECT_EQ(sys::IniFile::ParseInteger(c.text, &v), c.ok) << std::wstring(c.text).size();
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(IniFile, ReadsWritesAndKeepsWhatItDidNotWrite) {
  wchar_t dir[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + L"ini_test.ini";
  ::DeleteFileW(path.c_str());
  {
    sys::IniFile ini(path);
    ini.WriteString(L"Foreign", L"Keep", L"me");
    ini.WriteBool(L"Options", L"Flag", true);
    ini.WriteInteger(L"Options", L"Number", -5);
    ini.Flush();
  }
  sys::IniFile ini(path);
  EXPECT_TRUE(ini.ReadBool(L"Options", L"Flag", false));
  EXPECT_EQ(ini.ReadInteger(L"Options", L"Number", 0), -5);
  EXPECT_EQ(ini.ReadInteger(L"Options", L"Missing", 42), 42);
  EXPECT_FALSE(ini.ValueExists(L"Options", L"Missing"));
  ini.WriteString(L"Options", L"Empty", L"");
  EXPECT_TRUE(ini.ValueExists(L"Options", L"Empty"));
  ini.WriteInteger(L"Options", L"Number", 7);
  EXPECT_EQ(ini.ReadString(L"Foreign", L"Keep", L""), L"me");
  EXPECT_EQ((ini.SectionLines(L"Options")), (std::vector<std::wstring>{L"Flag=1", L"Number=7", L"Empty="}));
  ::DeleteFileW(path.c_str());
}

}  // namespace
