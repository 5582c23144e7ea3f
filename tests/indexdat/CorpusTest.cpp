// Replays the fuzzing corpus kept in the repository through the parser and
// the viewer's rows, with the checks the fuzzing entry makes.
#include <gtest/gtest.h>
#include <windows.h>

#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatFile.h"
#include "fuzz/indexdat/IndexDatChecks.h"
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
    EXPECT_EQ(indexdat_check::CheckAll(bytes.data(), bytes.size()), "") << fd.cFileName;
    ++replayed;
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  EXPECT_GE(replayed, 5);
}
