// The .reg reader on its own: what it yields from each encoding, line end
// and layout, and what it will not read.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <deque>

#include "registry/restore/RegData.h"
#include "registry/restore/RegFileReader.h"
#include "registry/restore/RestoreRun.h"
#include "registry_fix/FixTestSupport.h"
#include "RestoreTestSupport.h"
#include "support/PeakMemory.h"

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

// Hex data goes on in the next line exactly where the editor goes on with
// it, and no other data does (each row as Wine's editor reads it). Rows give
// the lines after a header, '\n' for CR LF, and the values read: their
// names, "=", and their data joined, "|" between values.
TEST(RegFileReader, HexDataGoesOnWhereTheEditorGoesOn) {
  const struct { const char* what; std::string body; const wchar_t* values; } rows[] = {
      {"after a comma", "\"h\"=hex:01, \\\n  02\n", L"h=hex:01, 02"},
      {"past comments, blank lines and a comment after the backslash",
       "\"h\"=hex:\\\n; c\n\n01,\\ ;c\n\t\n02\n@=\"x\"\n", L"h=hex:01,02|=\"x\""},
      {"hex(N) data", "\"h\"=hex(2):41,\\\n42\n", L"h=hex(2):41,42"},
      {"into the next value's line", "\"h\"=hex:01,\\\n\"b\"=\"y\"\n", L"h=hex:01,\"b\"=\"y\""},
      {"into a \"#\" line, and no further", "\"h\"=hex:01,\\\n#c\n\"b\"=\"y\"\n", L"h=hex:01,#c|b=\"y\""},
      {"not from a backslash first in a line that goes on", "\"h\"=hex:01,\\\n\\\n\"b\"=\"y\"\n",
       L"h=hex:01,\\|b=\"y\""},
      {"not without a comma", "\"h\"=hex:01\\\n\"b\"=\"y\"\n", L"h=hex:01\\|b=\"y\""},
      {"not after a fault", "\"h\"=hex:01,zz,\\\n\"b\"=\"y\"\n", L"h=hex:01,zz,\\|b=\"y\""},
      {"not with more after the backslash", "\"h\"=hex:01,\\ 02\n\"b\"=\"y\"\n", L"h=hex:01,\\ 02|b=\"y\""},
      {"not in upper case", "\"h\"=HEX:01,\\\n\"b\"=\"y\"\n", L"h=HEX:01,\\|b=\"y\""},
      {"not text", "\"a\"=\"x\" ;c\\\n\"b\"=\"y\"\n", L"a=\"x\" ;c\\|b=\"y\""},
      {"not a dword", "\"a\"=dword:00000001\\\n\"b\"=\"y\"\n", L"a=dword:00000001\\|b=\"y\""},
      {"the file's last line, no line end", "\"b\"=\"y\"\n\"h\"=hex:01,\\", L"b=\"y\"|h=hex:01,"},
      {"the file's end after a comment", "\"h\"=hex:01,\\\n;c\n", L"h=hex:01,"},
  };
  for (const auto& row : rows) {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n";
    for (char c : row.body) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const TRegFile f = ParseRegBytes(text);
    std::wstring values;
    for (size_t i = 1; i < f.Entries.size(); ++i)
      values += (i > 1 ? L"|" : L"") + f.Entries[i].Name + L"=" + f.Entries[i].Data;
    EXPECT_EQ(values, row.values) << row.what;
    EXPECT_EQ(f.FirstDeletingLine(), 0) << row.what;
  }
}

TEST(RegFileReader, EncodingsAndLineEnds) {
  // Marked UTF-8 and UTF-16 files are read in the forms table. Each row is
  // read within a second: a run of UTF-8 continuation bytes once took time
  // that grew with the square of its length.
  const struct { std::string bytes; TRegEncoding encoding; bool readable; } cases[] = {
      {"Windows Registry Editor Version 5.00\r", TRegEncoding::Ansi, true},
      {"  REGEDIT4  \r\n", TRegEncoding::Ansi, true},
      {"REGEDIT5\r\n", TRegEncoding::Ansi, false},
      {std::string("REGEDIT4\r\n\0[-HKEY_USERS\\x]\r\n", 28), TRegEncoding::Ansi, false},  // a NUL inside
      {"\xEF\xBB\xBFREGEDIT4\r\n\xC3\r\n", TRegEncoding::Utf8, false},                  // broken UTF-8
      {"\xEF\xBB\xBFREGEDIT4\r\n@=\"" + std::string(1 << 20, '\x80'), TRegEncoding::Utf8, false},
      {"\xEF\xBB\xBFREGEDIT4\r\n@=\"\xF0" + std::string(1 << 20, '\xBF'), TRegEncoding::Utf8, false},
  };
  for (const auto& c : cases) {
    const std::string shown = c.bytes.substr(0, 40);
    const DWORD start = ::GetTickCount();
    const TRegFile f = ParseRegBytes(c.bytes);
    EXPECT_LT(::GetTickCount() - start, 1000u) << shown;
    EXPECT_EQ(f.Readable(), c.readable) << shown;
    if (f.Decoded) {
      EXPECT_EQ(f.Encoding, c.encoding) << shown;
    }
  }
  const TRegFile mixed = ParseRegBytes("REGEDIT4\r[HKEY_USERS\\a]\n\"x\"=-\r\n@=-\r\r\n[-HKEY_USERS\\b]");
  EXPECT_EQ(mixed.DeletingLines, (std::deque<int>{3, 4, 6}));
  // A line longer than one conversion, its characters straddling the cut.
  std::string utf8 = "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_USERS\\a]\r\n@=\"\xE2\x82\xAC";
  std::wstring want = L"\"\u20AC";
  for (int i = 0; i < 40000; ++i) utf8 += "\xC3\xA9\xF0\x9F\x98\x80", want += L"\u00E9\U0001F600";
  const TRegFile wide = ParseRegBytes(utf8 + "\"\r\n");
  ASSERT_EQ(wide.Entries.size(), 2u);
  EXPECT_TRUE(wide.Entries[1].Data == want + L"\"");
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
}

class TKeptBytes : public registry::TRegDataSink {
 public:
  void Put(const BYTE* bytes, size_t n) override { Bytes.append(reinterpret_cast<const char*>(bytes), n); }
  std::string Bytes;
};

// A value's data is what the editor sets: its type and bytes, whatever the
// spelling (each row as Wine's editor imports it, or refuses it).
TEST(RegFileReader, DataIsTheTypeAndBytesTheEditorSets) {
  using std::string;
  const struct { const char* data; bool unicode; bool read; DWORD type; string bytes; } cases[] = {
      {"\"x\" ;c", false, true, REG_SZ, string("x\0\0\0", 4)},
      {"\"x\" y", false, false},
      {"\"a\\tb\\nc\\rd\\\\e\\\"f\"", true, true, REG_SZ, string("a\0t\0b\0\n\0c\0\r\0d\0\\\0e\0\"\0f\0\0\0", 24)},
      {"\"a\\0\"", false, false},
      {"\"open", false, false},
      {"dword: 0000000a ;c", false, true, REG_DWORD, string("\x0a\0\0\0", 4)},
      {"dword:ffffffff", false, true, REG_DWORD, "\xff\xff\xff\xff"},
      {"DWORD:00000001", false, false},
      {"dword:123456789", false, false},
      {"dword:", false, false},
      {"HEX:01,02", false, false},
      {"hex:01,02,", false, true, REG_BINARY, "\x01\x02"},
      {"hex:", false, true, REG_BINARY, ""},
      {"hex:1, ff ; c", false, true, REG_BINARY, "\x01\xff"},
      {"hex:100", false, false},
      {"hex:01 ,02", false, false},
      {"hex:01,,02", false, false},
      {"hex(2):41,00,42,00", true, true, REG_EXPAND_SZ, string("A\0B\0\0\0", 6)},
      {"hex(7):61,00,00,00,00,00", true, true, REG_MULTI_SZ, string("a\0\0\0\0\0", 6)},
      {"hex( 2):41,00", true, true, REG_EXPAND_SZ, string("A\0\0\0", 4)},
      {"hex(2):", true, true, REG_EXPAND_SZ, ""},
      {"hex(0x2):41", true, false},
      {"hex(b):01,02,03,04,05,06,07,08", true, true, 0xb, "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {"hex():01", false, true, REG_NONE, "\x01"},
      {"hex(100000000):01", false, false},
      // In an 8-bit file the bytes of text are ANSI, converted by the editor.
      {"hex(2):41,42", false, true, REG_EXPAND_SZ, string("A\0B\0\0\0", 6)},
      {"hex(1):41,00", false, true, REG_SZ, string("A\0\0\0", 4)},
  };
  for (const auto& c : cases) {
    const std::string packed = c.data;  // ASCII is its own packed text
    const registry::TLeadBytes leads(registry::kPackedUnits);
    registry::TPackedUnits text(packed, registry::kPackedUnits, leads);
    TKeptBytes kept;
    DWORD type = 0xFFFF;
    EXPECT_EQ(registry::ReadRegData(text, c.unicode, &type, kept), c.read) << c.data;
    if (!c.read) continue;
    EXPECT_EQ(type, c.type) << c.data;
    EXPECT_EQ(kept.Bytes, c.bytes) << c.data;
  }
}

using testing_support::PeakMemoryDuring;

int Utf16Units(const std::string& utf8) {
  return ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
}

std::string Utf16File(const std::string& utf8) {
  std::string bytes(2 + 2 * static_cast<size_t>(Utf16Units(utf8)), '\0');
  bytes[0] = '\xFF', bytes[1] = '\xFE';
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), reinterpret_cast<wchar_t*>(&bytes[2]),
                        static_cast<int>(bytes.size() / 2 - 1));
  return bytes;
}

// The text of a file of about 60 MB: its header, `head`, `lines` repeated,
// `tail`, and, when `deleting`, a line that deletes (so that nothing is
// imported). The text is given in UTF-8 for a UTF-16 file (`wide`), in the
// file's bytes otherwise. A run of '#' in `lines` is the repeat's number.
std::string SizedText(const std::string& head, const std::string& lines, const std::string& tail, bool wide,
                      bool deleting) {
  const size_t piece = wide ? 2 * static_cast<size_t>(Utf16Units(lines)) : lines.size();
  std::string text = "REGEDIT4\r\n\r\n" + head;
  const size_t count = ((60u << 20) - 2 * (text.size() + tail.size() + 16)) / piece;
  text.reserve(text.size() + count * lines.size() + tail.size() + 16);
  const size_t first = lines.find('#'), last = lines.rfind('#');
  for (size_t i = 0; i < count; ++i) {
    text += lines;
    for (size_t at = last, n = i; first != std::string::npos && at + 1 > first; --at, n /= 36)
      text[text.size() - lines.size() + at] = "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
  }
  return text + tail + (deleting ? "\r\n\"z\"=-\r\n" : "\r\n");
}

// A file of `text` (UTF-8 when `wide`) taken through `work`; its size.
template <class Work>
size_t WithFile(const fix_test::TTempFolder& dir, std::string text, bool wide, Work work) {
  if (wide) text = Utf16File(text);
  const std::wstring file = dir.WriteFile(L"shape.reg", text);
  const size_t size = text.size();
  std::string().swap(text);
  work(file);
  return size;
}


// Whatever its shape, a file near the size limit is read in a few times its
// size; tiny values under one long key once took 77 times, a line of 8-bit
// characters that are not ASCII 7 to 11 times. The whole restore road, the
// import and the check after it, stays within the same bound: the check once
// took ten times the file and ended the program when memory ran out. Shapes
// of one long value are imported by the editor, so that the check reads it
// back; the others as by an editor that imports nothing, so that every entry
// is missing. A row bound to a code page runs where the harness sets that
// code page.
TEST(RegFileReader, SixtyMegabytesOfAnyShapeFitTheirBound) {
  const std::string keyName = "Software\\" + std::string(250 - 27, 'k');
  const std::string key = "[HKEY_CURRENT_USER\\" + keyName + "]\r\n";
  using registry::rsIncomplete;
  using registry::rsRestored;
  const struct {
    const char* what;
    std::string head, lines;
    bool wide;
    int refusedLine = 0;  // 0: the last line
    std::string tail;
    UINT codePage = 0;    // 0: any
    bool editor = false;  // the road imports it with the editor
    registry::TRestoreStatus road = rsIncomplete;
  } shapes[] = {
      {"tiny values under a 250-character key", key, "\"a\"=\"b\"\r\n", false},
      {"the tiniest values, LF", "", "@=\n", false},
      {"headers alone", "", "[k]\r\n", false},
      {"headers of keys that all differ", "", "[#####]\r\n", false},
      {"UTF-16 tiny values", key, "\"a\"=\"b\"\r\n", true},
      {"one value continued over every line", key + "\"h\"=hex:", "00,01,02,03,04,05,06,07,\\\r\n  ", false, 0, "08",
       0, true, rsRestored},
      {"one line", key + "\"s\"=\"", "abcdefghijklmnopqrstuvwxyz", false, 0, "\"", 0, true, rsRestored},
      {"deleting values alone", "", "@=-\n", false, 3, "", 0, false, registry::rsDeletes},
      {"two-byte headers", "", "[\n", false},
      {"two-byte headers after a million blank lines", std::string(1 << 20, '\n'), "[\n", false},
      {"a line of Euro signs", key + "\"s\"=\"", "\x80", false, 0, "\"", 1252, true, rsRestored},
      {"a name of Euro signs", key + "\"", "\x80", false, 0, "\"=\"x\"", 1252, true},
      {"a line of half-width kana", key + "\"s\"=\"", "\xB1", false, 0, "\"", 932, true, rsRestored},
      {"a name of half-width kana", key + "\"", "\xB1", false, 0, "\"=\"x\"", 932, true},
      // Their trail byte is a backslash, which the packed form must not show.
      {"a line of double-byte characters", key + "\"s\"=\"", "\x83\x5C", false, 0, "\"", 932, true, rsRestored},
      {"a UTF-16 name of CJK characters", key + "\"", "\xE6\x97\xA5", true, 0, "\"=\"x\"", 0, true},
      {"a UTF-16 line of CJK characters", key + "\"s\"=\"", "\xE8\xA1\xA8", true, 0, "\"", 0, true, rsRestored},
  };
  fix_test::TTempFolder dir(L"VantorelRegFileSize");
  const std::wstring wideKey(keyName.begin(), keyName.end());
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.what);
    if (shape.codePage != 0 && shape.codePage != ::GetACP()) {
      std::printf("%s: not run, it needs code page %u (this is %u)\n", shape.what, shape.codePage, ::GetACP());
      continue;
    }
    std::string text = SizedText(shape.head, shape.lines, shape.tail, shape.wide, true);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    registry::TRestoreOutcome r;
    SIZE_T peak = 0;
    size_t size = WithFile(dir, std::move(text), shape.wide, [&](const std::wstring& file) {
      peak = PeakMemoryDuring([&] { r = registry::RestoreRegFile(file, [](const std::wstring&) { return false; }); });
    });
    EXPECT_EQ(r.Status, registry::rsDeletes);
    EXPECT_EQ(r.Line, shape.refusedLine != 0 ? shape.refusedLine : lines);
    EXPECT_LE(peak, 4 * size) << "peak " << (peak >> 20) << " MB";
    std::printf("%s: %u MB read at a peak of %u MB (%.1f times)\n", shape.what, static_cast<unsigned>(size >> 20),
                static_cast<unsigned>(peak >> 20), static_cast<double>(peak) / static_cast<double>(size));

    // The whole road, without the deleting line.
    size = WithFile(dir, SizedText(shape.head, shape.lines, shape.tail, shape.wide, false), shape.wide,
                    [&](const std::wstring& file) {
                      peak = PeakMemoryDuring([&] {
                        r = registry::RestoreRegFile(file, [&shape](const std::wstring& command) {
                          return !shape.editor || restore_test::RunImport(command);
                        });
                      });
                    });
    testing_support::DeleteTree(HKEY_CURRENT_USER, wideKey);
    EXPECT_EQ(r.Status, shape.road) << r.Check.Missing << " missing";
    EXPECT_LE(r.Check.FirstMissing.size(), registry::kKeptMissing);
    EXPECT_LE(peak, 4 * size) << "peak " << (peak >> 20) << " MB";
    std::printf("%s: %u MB restored at a peak of %u MB (%.1f times), %d of %d entries missing\n", shape.what,
                static_cast<unsigned>(size >> 20), static_cast<unsigned>(peak >> 20),
                static_cast<double>(peak) / static_cast<double>(size), r.Check.Missing, r.Check.Entries);
  }
}

}  // namespace
