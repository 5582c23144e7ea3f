// The .reg reader on its own: what it yields from each encoding, line end
// and layout, and what it will not read.
#include <gtest/gtest.h>

#include "registry/restore/RegFileReader.h"

namespace {

using registry::ParseRegBytes;
using registry::TRegEncoding;
using registry::TRegFile;

TEST(RegFileReader, EntriesCarryTheirLineKeyNameAndData) {
  const TRegFile f = ParseRegBytes(
      "REGEDIT4\r\n\r\n  [HKEY_CURRENT_USER\\Software\\X]\r\n\t\"a \\\"q\\\" \\\\b\" =  \"t\"\r\n"
      "@=dword:00000001\r\n\"h\"=hex:01,\\\r\n   02\r\n; \"c\"=-\r\n");
  ASSERT_TRUE(f.Readable());
  EXPECT_EQ(f.FirstDeletingLine(), 0);
  ASSERT_EQ(f.Entries.size(), 4u);
  EXPECT_TRUE(f.Entries[0].IsKey);
  EXPECT_EQ(f.Entries[0].Key, L"HKEY_CURRENT_USER\\Software\\X");
  EXPECT_EQ(f.Entries[0].Line, 3);
  EXPECT_EQ(f.Entries[1].Name, L"a \"q\" \\b");
  EXPECT_EQ(f.Entries[1].Data, L"\"t\"");
  EXPECT_EQ(f.Entries[1].Key, L"HKEY_CURRENT_USER\\Software\\X");
  EXPECT_EQ(f.Entries[2].Name, L"");
  EXPECT_EQ(f.Entries[3].Data, L"hex:01,02");
  EXPECT_EQ(f.Entries[3].Line, 6);
}

TEST(RegFileReader, EncodingsAndLineEnds) {
  // Marked UTF-8 and UTF-16 files are read in the forms table.
  const struct { std::string bytes; TRegEncoding encoding; bool readable; } cases[] = {
      {"Windows Registry Editor Version 5.00\r", TRegEncoding::Ansi, true},
      {"  REGEDIT4  \r\n", TRegEncoding::Ansi, true},
      {"REGEDIT5\r\n", TRegEncoding::Ansi, false},
      {std::string("REGEDIT4\r\n\0[-HKEY_USERS\\x]\r\n", 28), TRegEncoding::Ansi, false},  // a NUL inside
      {"\xEF\xBB\xBFREGEDIT4\r\n\xC3\r\n", TRegEncoding::Utf8, false},                  // broken UTF-8
  };
  for (const auto& c : cases) {
    const TRegFile f = ParseRegBytes(c.bytes);
    EXPECT_EQ(f.Readable(), c.readable) << c.bytes;
    if (f.Decoded) {
      EXPECT_EQ(f.Encoding, c.encoding) << c.bytes;
    }
  }
  const TRegFile mixed = ParseRegBytes("REGEDIT4\r[HKEY_USERS\\a]\n\"x\"=-\r\n@=-\r\r\n[-HKEY_USERS\\b]");
  EXPECT_EQ(mixed.DeletingLines, (std::vector<int>{3, 4, 6}));
}

TEST(RegFileReader, RootsInAnyCaseShortOrLong) {
  // Long and short HKCU, any case, are in the forms table.
  const struct { const wchar_t* key; HKEY root; const wchar_t* sub; } cases[] = {
      {L"HKEY_LOCAL_MACHINE\\Software", HKEY_LOCAL_MACHINE, L"Software"},
      {L"HKLM\\Software", HKEY_LOCAL_MACHINE, L"Software"},
      {L"hkcr\\.txt", HKEY_CLASSES_ROOT, L".txt"},
      {L"Hku", HKEY_USERS, L""},
      {L"HKCC\\System", HKEY_CURRENT_CONFIG, L"System"},
      {L"HKEY_NOWHERE\\x", nullptr, L"x"},
  };
  for (const auto& c : cases) {
    HKEY root = nullptr;
    std::wstring sub;
    EXPECT_EQ(registry::SplitRegKeyPath(c.key, &root, &sub), c.root != nullptr) << c.key;
    EXPECT_EQ(root, c.root) << c.key;
    EXPECT_EQ(sub, c.sub) << c.key;
  }
  EXPECT_EQ(registry::CanonicalRegData(L"hex(2):6a, 6B"), L"HEX(2):6A,6B");
  EXPECT_EQ(registry::CanonicalRegData(L"\"a b\""), L"\"a b\"");
}

}  // namespace
