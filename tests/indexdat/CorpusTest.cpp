// Replays the fuzzing corpus kept in the repository through the parser, and
// checks what must hold for any input: scrub regions stay inside the file,
// below none of the header, and clear of every table head.
#include <gtest/gtest.h>
#include <windows.h>

#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatFile.h"
#include "support/TestSupport.h"

using namespace indexdat;

TEST(IndexDatCorpus, EveryInputParsesWithinItsBounds) {
  std::wstring folder = testing_support::FromUnixPath(testing_support::Env(L"VANTOREL_SOURCE_DIR")) +
                        L"\\tests\\fuzz\\indexdat\\corpus\\";
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE) << "no corpus";
  int replayed = 0;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(ReadIndexDat(folder + fd.cFileName, &bytes), FileStatus::Done);
    ReadRecords(bytes.data(), bytes.size());
    Layout layout = ReadLayout(bytes.data(), bytes.size());
    EXPECT_LE(layout.limit, bytes.size());
    for (const Region& r : ScrubRegions(bytes.data(), bytes.size())) {
      EXPECT_LT(r.begin, r.end);
      EXPECT_LE(r.end, layout.limit);
      EXPECT_GE(r.begin, uint64_t(layout.tables.front().offset) + 32);
      for (const Table& t : layout.tables) EXPECT_TRUE(r.end <= t.offset || r.begin >= t.offset + 32ULL);
    }
    ++replayed;
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  EXPECT_GE(replayed, 5);
}
