// Golden REGEDIT4 lines: every value type in a form the registry editor
// imports back unchanged, the binary line wrapping, names and escaping, and
// the items that cannot be written at all.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "registry/fix/RegFileFormat.h"
#include "sys/Text.h"

using namespace registry;
using fix_test::Bytes;
using fix_test::TextBytes;

namespace {

std::string Line(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  std::string line;
  std::wstring why;
  EXPECT_TRUE(FormatRegValueLine(name, type, data.data(), data.size(), &line, &why)) << sys::ToUtf8(why);
  return line;
}

// The reason given for an item that cannot be written; empty when it was written.
std::wstring Refusal(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  std::string line;
  std::wstring why;
  if (FormatRegValueLine(name, type, data.data(), data.size(), &line, &why)) return L"";
  return why.empty() ? L"(no reason)" : why;
}

std::vector<BYTE> Counting(size_t n) {
  std::vector<BYTE> data(n);
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<BYTE>(i);
  return data;
}

std::vector<BYTE> Dword(DWORD v) {
  const auto* p = reinterpret_cast<const BYTE*>(&v);
  return std::vector<BYTE>(p, p + 4);
}

}  // namespace

TEST(RegFormat, EscapingDoublesBackslashesBeforeQuotingQuotes) {
  EXPECT_EQ(EscapeRegBackslashes(L"a\\b\\\\c"), L"a\\\\b\\\\\\\\c");
  EXPECT_EQ(EscapeRegQuotes(L"say \"hi\""), L"say \\\"hi\\\"");
  EXPECT_EQ(EscapeRegQuotes(EscapeRegBackslashes(L"a\\\"b")), L"a\\\\\\\"b");
}

TEST(RegFormat, ValueLines) {
  const struct {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
    const char* line;
  } cases[] = {
      // Numbers and plain strings.
      {L"Count", REG_DWORD, Dword(255), "\"Count\"=dword:000000FF\r\n"},
      {L"Count", REG_DWORD, Dword(0xFFFFFFFF), "\"Count\"=dword:FFFFFFFF\r\n"},
      {L"", REG_SZ, TextBytes(L"C:\\Program Files\\x.exe"), "@=\"C:\\\\Program Files\\\\x.exe\"\r\n"},
      {L"", REG_SZ, TextBytes(L""), "@=\"\"\r\n"},
      {L"a\\b\"c", REG_SZ, TextBytes(L"say \"x\\y\""), "\"a\\\\b\\\"c\"=\"say \\\"x\\\\y\\\"\"\r\n"},
      {L"@", REG_SZ, TextBytes(L"at"), "\"@\"=\"at\"\r\n"},
      // A 64-bit number, and a DWORD whose size is not four bytes, keep their bytes.
      {L"q", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80}), "\"q\"=hex(b):01,00,00,00,00,00,00,80\r\n"},
      {L"d8", REG_DWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), "\"d8\"=hex(4):01,02,03,04,05,06,07,08\r\n"},
      {L"d0", REG_DWORD, {}, "\"d0\"=hex(4):\r\n"},
      // Binary wraps after every twenty-fifth byte.
      {L"b", REG_BINARY, {}, "\"b\"=hex:\r\n"},
      {L"b", REG_BINARY, Bytes({0xAB}), "\"b\"=hex:AB\r\n"},
      {L"b", REG_BINARY, Counting(26),
       "\"b\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19\r\n"},
      {L"b", REG_BINARY, Counting(27),
       "\"b\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\\r\n"
       "1A\r\n"},
      {L"b", REG_BINARY, Counting(60),
       "\"b\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\\r\n"
       "1A,1B,1C,1D,1E,1F,20,21,22,23,24,25,26,27,28,29,2A,2B,2C,2D,2E,2F,30,31,32,\\\r\n"
       "33,34,35,36,37,38,39,3A,3B\r\n"},
      // Text types keep their type as ANSI hex.
      {L"Path", REG_EXPAND_SZ, TextBytes(L"%A%"), "\"Path\"=hex(2):25,41,25,00\r\n"},
      {L"List", REG_MULTI_SZ, TextBytes(std::wstring(L"a\0bc\0", 5)), "\"List\"=hex(7):61,00,62,63,00,00\r\n"},
      {L"Lines", REG_SZ, TextBytes(L"a\r\nb"), "\"Lines\"=hex(1):61,0D,0A,62,00\r\n"},
      {L"Tab", REG_SZ, TextBytes(L"a\tb"), "\"Tab\"=hex(1):61,09,62,00\r\n"},
      // Data after the first NUL, or a second NUL, would be lost in quotes.
      {L"Two", REG_SZ, TextBytes(std::wstring(L"ab\0", 3)), "\"Two\"=hex(1):61,62,00,00\r\n"},
      {L"Empty", REG_SZ, {}, "\"Empty\"=hex(1):\r\n"},
      {L"Empty", REG_MULTI_SZ, {}, "\"Empty\"=hex(7):\r\n"},
      // Other types as their number in hex.
      {L"n", REG_NONE, {}, "\"n\"=hex(0):\r\n"},
      {L"n", REG_NONE, Bytes({0, 1}), "\"n\"=hex(0):00,01\r\n"},
      {L"big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 1}), "\"big\"=hex(5):00,00,00,01\r\n"},
      {L"odd", 0x2A, Bytes({0x10}), "\"odd\"=hex(2a):10\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Line(c.name, c.type, c.data), c.line);
}

TEST(RegFormat, RefusesWhatCouldNotComeBackUnchanged) {
  EXPECT_NE(Refusal(L"two\r\nlines", REG_SZ, TextBytes(L"x")), L"");
  EXPECT_NE(Refusal(L"\u4e2d\u6587", REG_SZ, TextBytes(L"x")), L"");      // not in the ANSI code page
  EXPECT_NE(Refusal(L"x", REG_SZ, TextBytes(L"\u4e2d\u6587")), L"");
  EXPECT_NE(Refusal(L"x", REG_SZ, Bytes({'a', 0, 'b'})), L"");            // odd size
  EXPECT_NE(Refusal(L"x", REG_EXPAND_SZ, Bytes({'a', 0, 'b', 0})), L"");  // no NUL at its end
  EXPECT_NE(Refusal(L"x", REG_MULTI_SZ, Bytes({'a', 0})), L"");
}

TEST(RegFormat, KeyHeaders) {
  std::string lines;
  std::wstring why;
  ASSERT_TRUE(FormatRegKeyHeader(L"HKEY_CURRENT_USER", L"Software\\A b", &lines, &why));
  EXPECT_EQ(lines, "\r\n[HKEY_CURRENT_USER\\Software\\A b]\r\n");
  ASSERT_TRUE(FormatRegKeyHeader(L"HKEY_CURRENT_USER", L"", &lines, &why));
  EXPECT_EQ(lines, "\r\n[HKEY_CURRENT_USER]\r\n");
  EXPECT_FALSE(FormatRegKeyHeader(L"HKEY_CURRENT_USER", L"Software\\\u4e2d", &lines, &why));
  EXPECT_FALSE(why.empty());
}
