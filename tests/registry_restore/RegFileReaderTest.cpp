// The .reg reader on its own: what it yields from each encoding, line end
// and layout, and what it will not read.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
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

// Tiny values under one long key: once the key was copied into every value.
TEST(RegFileReader, SixtyMegabytesOfTinyValuesFitTheirBound) {
  const std::string key = "HKEY_CURRENT_USER\\Software\\" + std::string(250 - 27, 'k');
  std::string text = "REGEDIT4\r\n\r\n[" + key + "]\r\n";
  const std::string tiny = "\"a\"=\"b\"\r\n";
  text.reserve(60u << 20);
  while (text.size() + tiny.size() + 16 < (60u << 20)) text += tiny;
  text += "\"z\"=-\r\n";  // refused by its last line, so nothing is imported
  fix_test::TTempFolder dir(L"VantorelRegFileSize");
  const std::wstring file = dir.WriteFile(L"tiny.reg", text);
  const size_t lines = std::count(text.begin(), text.end(), '\n');
  std::string().swap(text);
  registry::TRestoreOutcome r;
  const SIZE_T peak = PeakMemoryDuring([&] { r = registry::RestoreRegFile(file, [](const std::wstring&) { return false; }); });
  EXPECT_EQ(r.Status, registry::rsDeletes);
  EXPECT_EQ(r.Line, static_cast<int>(lines));
  EXPECT_LE(peak, SIZE_T(300) << 20) << "peak " << (peak >> 20) << " MB";
  std::printf("reading 60 MB of tiny values took %u MB at its peak\n", static_cast<unsigned>(peak >> 20));
}

}  // namespace
