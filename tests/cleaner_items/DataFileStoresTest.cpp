// Custom.dat and Cookies.dat as their writers leave them and their readers
// take them back.
#include <gtest/gtest.h>

#include "ItemsFakes.h"
#include "cleaner/items/DataFiles.h"

using namespace cleaner;
using namespace items_test;

TEST(CustomDat, WriterNumbersRowsByKindAndReadsBack) {
  Sandbox box(L"custom-dat");
  std::wstring path = box.Path(L"Custom.dat");
  std::vector<std::wstring> refused;
  std::vector<std::wstring> rows = {L"C:\\Data\\Old", L"hkey_current_user\\Software\\X,", L"D:\\Logs,*.log",
                                    L" HKEY_CURRENT_USER\\Software\\Y"};
  ASSERT_TRUE(WriteCustomList(path, rows, &refused));
  // The ini form keeps no leading blank; the row stays a file row, which the
  // cleaner then skips as it names no folder.
  rows.back() = L"HKEY_CURRENT_USER\\Software\\Y";
  EXPECT_EQ(ReadCustomList(path), rows);
  std::string bytes = ReadBytes(path);
  size_t f1 = bytes.find("DelFile1=C:\\Data\\Old");
  size_t r1 = bytes.find("DelRegValue1=hkey_current_user\\Software\\X,");
  size_t f2 = bytes.find("DelFile2=D:\\Logs,*.log");
  size_t f3 = bytes.find("DelFile3=HKEY_CURRENT_USER");
  ASSERT_NE(f1, std::string::npos);
  EXPECT_LT(f1, r1);
  EXPECT_LT(r1, f2);
  EXPECT_LT(f2, f3);
  EXPECT_EQ(bytes.find('\0'), std::string::npos) << "not a UTF-16 file";

  // A shorter list replaces the whole section.
  ASSERT_TRUE(WriteCustomList(path, {L"HKEY_CURRENT_USER\\Software\\Z"}, &refused));
  EXPECT_EQ(ReadCustomList(path), (std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\Z"}));
  EXPECT_EQ(ReadBytes(path).find("DelFile"), std::string::npos);
}

TEST(CustomDat, RowsTheFileCannotHoldChangeNothing) {
  Sandbox box(L"custom-dat-refused");
  std::wstring path = box.Path(L"Custom.dat");
  std::vector<std::wstring> refused;
  ASSERT_TRUE(WriteCustomList(path, {L"C:\\Keep"}, &refused));
  // A name the ANSI code page cannot spell would come back as another path.
  std::wstring unicode = L"C:\\\x0416\x4E2D";
  EXPECT_FALSE(WriteCustomList(path, {L"C:\\Other", unicode, L"C:\\a\r\nDelFile9=C:\\"}, &refused));
  EXPECT_EQ(refused.size(), 2u);
  EXPECT_EQ(ReadCustomList(path), (std::vector<std::wstring>{L"C:\\Keep"}));
  EXPECT_TRUE(ReadCustomList(box.Path(L"missing.dat")).empty());
}

TEST(CookiesDat, CountDecidesAndStaleKeysStay) {
  Sandbox box(L"cookies-dat");
  std::wstring path = box.Path(L"Cookies.dat");
  EXPECT_TRUE(ReadCookiesToKeep(path).empty()) << "a missing file is an empty list";
  EXPECT_FALSE(Exists(path));

  std::vector<std::wstring> refused;
  ASSERT_TRUE(WriteCookiesToKeep(path, {L"ann@example.com", L"ann@mail.example.org", L"cookie.txt"}, &refused));
  ASSERT_TRUE(WriteCookiesToKeep(path, {L"ann@example.net"}, &refused));
  EXPECT_EQ(ReadCookiesToKeep(path), (std::vector<std::wstring>{L"ann@example.net"}));
  std::string bytes = ReadBytes(path);
  EXPECT_NE(bytes.find("Count=1"), std::string::npos);
  EXPECT_NE(bytes.find("2=cookie.txt"), std::string::npos) << "keys from Count upward are left as they were";

  // A hand-edited file: a Count larger than the keys, holes, empty entries,
  // keys that only look like numbers, and the section name in another case.
  WriteText(path,
            L"[cookies to keep]\r\nCount=1000000000\r\n0=a.example\r\n1=\r\n3=b.example\r\n03=c.example\r\n"
            L"x=d.example\r\n-1=e.example\r\n");
  EXPECT_EQ(ReadCookiesToKeep(path), (std::vector<std::wstring>{L"a.example", L"b.example"}));
  WriteText(path, L"[Cookies to Keep]\r\nCount=oops\r\n0=a.example\r\n");
  EXPECT_TRUE(ReadCookiesToKeep(path).empty());
}
