// The .reg reader on its own: what it yields from each encoding, line end
// and layout, and what it will not read.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <thread>

#include "registry/restore/RegFileReader.h"
#include "registry/restore/RestoreRun.h"
#include "registry_fix/FixTestSupport.h"

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
  EXPECT_EQ(registry::CanonicalRegData(L"hex(2):6a, 6B"), L"HEX(2):6A,6B");
  EXPECT_EQ(registry::CanonicalRegData(L"\"a b\""), L"\"a b\"");
}

// The most memory the process held while `work` ran, above what it held
// before: the resident peak when this run raised it, sampled otherwise.
template <class Work>
SIZE_T PeakMemoryDuring(Work work) {
  auto counters = [] {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof(c);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &c, sizeof(c));
    return c;
  };
  const PROCESS_MEMORY_COUNTERS before = counters();
  std::atomic<bool> done{false};
  std::atomic<SIZE_T> sampled{before.WorkingSetSize};
  std::thread sampler([&] {
    while (!done) {
      sampled = std::max<SIZE_T>(sampled, counters().WorkingSetSize);
      ::Sleep(2);
    }
  });
  work();
  done = true;
  sampler.join();
  const PROCESS_MEMORY_COUNTERS after = counters();
  SIZE_T peak = std::max<SIZE_T>(sampled, after.PeakWorkingSetSize > before.PeakWorkingSetSize ? after.PeakWorkingSetSize : 0);
  return peak > before.WorkingSetSize ? peak - before.WorkingSetSize : 0;
}

// A file of `lines` repeated up to about 60 MB after its header, ending in
// a line that deletes (so that nothing is imported), in UTF-16 when `wide`.
std::string SizedFile(const std::string& head, const std::string& lines, bool wide) {
  const size_t size = (60u << 20) / (wide ? 2 : 1);
  std::string text = "REGEDIT4\r\n\r\n" + head;
  text.reserve(size + 64);
  while (text.size() + lines.size() + 16 < size) text += lines;
  text += "\r\n\"z\"=-\r\n";
  if (!wide) return text;
  std::string utf16 = "\xFF\xFE";
  utf16.reserve(2 * text.size() + 2);
  for (char c : text) utf16 += std::string{c, '\0'};
  return utf16;
}

// Whatever its shape, a file near the size limit is read in a few times its
// size; tiny values under one long key once took 77 times.
TEST(RegFileReader, SixtyMegabytesOfAnyShapeFitTheirBound) {
  const std::string key = "[HKEY_CURRENT_USER\\Software\\" + std::string(250 - 27, 'k') + "]\r\n";
  const struct {
    const char* what;
    std::string head, lines;
    bool wide;
    int refusedLine = 0;  // 0: the last line
  } shapes[] = {
      {"tiny values under a 250-character key", key, "\"a\"=\"b\"\r\n", false},
      {"the tiniest values, LF", "", "@=\n", false},
      {"headers alone", "", "[k]\r\n", false},
      {"UTF-16 tiny values", key, "\"a\"=\"b\"\r\n", true},
      {"one value continued over every line", key + "\"h\"=hex:", "00,01,02,03,04,05,06,07,\\\r\n  ", false},
      {"one line", key + "\"s\"=\"", "abcdefghijklmnopqrstuvwxyz", false},
      {"deleting values alone", "", "@=-\n", false, 3},
  };
  fix_test::TTempFolder dir(L"VantorelRegFileSize");
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.what);
    std::string text = SizedFile(shape.head, shape.lines, shape.wide);
    const std::wstring file = dir.WriteFile(L"shape.reg", text);
    const size_t size = text.size();
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    std::string().swap(text);
    registry::TRestoreOutcome r;
    const SIZE_T peak =
        PeakMemoryDuring([&] { r = registry::RestoreRegFile(file, [](const std::wstring&) { return false; }); });
    EXPECT_EQ(r.Status, registry::rsDeletes);
    EXPECT_EQ(r.Line, shape.refusedLine != 0 ? shape.refusedLine : lines);
    EXPECT_LE(peak, 4 * size) << "peak " << (peak >> 20) << " MB";
    std::printf("%s: %u MB read at a peak of %u MB\n", shape.what, static_cast<unsigned>(size >> 20),
                static_cast<unsigned>(peak >> 20));
  }
}

}  // namespace
