#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "Scratch.h"
#include "core/Errors.h"
#include "core/Text.h"

using namespace core;
using core_test::ScratchFolder;
using core_test::WriteFileBytes;

TEST(FormatSizeKB, CountsAnyRemainderAsAWholeKilobyteAndGroupsDigits) {
  const std::pair<std::int64_t, const wchar_t*> cases[] = {
      {0, L"0 KB"}, {1, L"1 KB"}, {1000, L"1 KB"}, {1024, L"1 KB"}, {1025, L"2 KB"}, {1023999, L"1,000 KB"},
      {1048577, L"1,025 KB"}, {5LL << 30, L"5,242,880 KB"}, {(5LL << 30) + 1, L"5,242,881 KB"},
      {3LL << 40, L"3,221,225,472 KB"}};  // beyond 2 TiB the kilobyte count no longer fits 32 bits
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatSizeKB(bytes), text) << bytes;
}

TEST(TwoDigitStr, PadsOnlySingleDigits) {
  EXPECT_EQ(TwoDigitStr(0), L"00");
  EXPECT_EQ(TwoDigitStr(7), L"07");
  EXPECT_EQ(TwoDigitStr(9), L"09");
  EXPECT_EQ(TwoDigitStr(10), L"10");
  EXPECT_EQ(TwoDigitStr(123), L"123");
}

TEST(ScheduleIntervalToMs, MapsTheIntervalListAndFallsBackToFifteenMinutes) {
  const unsigned int expected[] = {900000, 1800000, 3600000, 14400000, 28800000};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ScheduleIntervalToMs(i), expected[i]) << i;
  EXPECT_EQ(ScheduleIntervalToMs(5), 900000u);
  EXPECT_EQ(ScheduleIntervalToMs(-1), 900000u);
}

TEST(Rot13, ShiftsLettersKeepsEverythingElseAndIsItsOwnInverse) {
  EXPECT_EQ(Rot13(L"AZaz Nn"), L"NMnm Aa");
  const std::wstring name = L"{6D809377-6AF0-444B-8957-A3773F02200E}\\Notepad.exe:x";
  const std::wstring encoded = Rot13(name);
  EXPECT_EQ(encoded, L"{6Q809377-6NS0-444O-8957-N3773S02200R}\\Abgrcnq.rkr:k");
  EXPECT_EQ(Rot13(encoded), name);
  EXPECT_EQ(Rot13(L"\u00e9\u00c4"), L"\u00e9\u00c4");  // only A-Z and a-z move
}

TEST(ShortcutToText, JoinsTheModifiersInOrder) {
  TShortcut key;
  key.IsCtrl = true;
  key.CharString = L"F5";
  EXPECT_EQ(ShortcutToText(key, false), L"Ctrl+F5");
  key.IsAlt = true;
  EXPECT_EQ(ShortcutToText(key, false), L"Ctrl+Alt+F5");
  EXPECT_EQ(ShortcutToText(key, true), L"Ctrl  Alt  F5");
  key.IsShift = true;
  EXPECT_EQ(ShortcutToText(key, false), L"Ctrl+Shift+Alt+F5");
  key = TShortcut{false, false, false, L"Q", 81};
  EXPECT_EQ(ShortcutToText(key, true), L"Q");
}

TEST(CookieHost, TakesTheThirdLineLessOneFinalSlash) {
  EXPECT_EQ(CookieHostFromText("id\nabc\nexample.com/\n1536\n"), L"example.com");
  EXPECT_EQ(CookieHostFromText("id\r\nabc\r\nexample.com/path/\r\n1536\r\n"), L"example.com/path");
  EXPECT_EQ(CookieHostFromText("id\nabc\nexample.com//\n"), L"example.com/");
  EXPECT_EQ(CookieHostFromText("id\nabc\nexample.com"), L"example.com");
  EXPECT_EQ(CookieHostFromText("id\nabc\n"), L"");
  EXPECT_EQ(CookieHostFromText("id\nabc"), L"");
  EXPECT_EQ(CookieHostFromText(""), L"");
}

TEST(CookieHost, ReadsCookieFilesAndRaisesWhenOneCannotBeRead) {
  ScratchFolder dir;
  ASSERT_TRUE(WriteFileBytes(dir / L"lf.txt", "id\nabc\nads.example.com/\n1536\n"));
  ASSERT_TRUE(WriteFileBytes(dir / L"crlf.txt", "id\r\nabc\r\nwww.example.org/shop/\r\n1536\r\n"));
  ASSERT_TRUE(WriteFileBytes(dir / L"short.txt", "id\nabc\n"));
  EXPECT_EQ(GetCookieHost(dir / L"lf.txt"), L"ads.example.com");
  EXPECT_EQ(GetCookieHost(dir / L"crlf.txt"), L"www.example.org/shop");
  EXPECT_EQ(GetCookieHost(dir / L"short.txt"), L"");

  try {
    GetCookieHost(dir / L"missing.txt");
    ADD_FAILURE() << "a missing file must raise";
  } catch (const InOutError& e) {
    EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }

  // Held open without sharing by another writer: it cannot be read.
  const std::wstring locked = dir / L"locked.txt";
  ASSERT_TRUE(WriteFileBytes(locked, "id\nabc\nlocked.example/\n"));
  HANDLE h = ::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_THROW(GetCookieHost(locked), InOutError);
  ::CloseHandle(h);
  EXPECT_EQ(GetCookieHost(locked), L"locked.example");
}
