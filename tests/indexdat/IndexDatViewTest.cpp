// The viewer's reading of synthetic files: rows, dates, progress, the file
// name check and the scrub behind the hidden Delete.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "IndexDatBuilder.h"
#include "cleaner/indexdat/IndexDatView.h"

using namespace indexdat;
using indexdat_test::IndexDatBuilder;

namespace {

std::wstring TempFile(const wchar_t* name, const std::string& bytes) {
  wchar_t buf[MAX_PATH];
  ::GetTempPathW(MAX_PATH, buf);
  std::wstring path = std::wstring(buf) + name;
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
  return path;
}

// 2012-01-01 12:00 UTC as a FILETIME.
constexpr uint64_t kNoon2012 = 129698928000000000ULL;

// Two chained tables (28 + 60 entries), used entries in both.
IndexDatBuilder TwoTables() {
  IndexDatBuilder b(0x2000);
  b.FirstTable(0x100).Table(0x100, 2, 0x800).Table(0x800, 4, 0);
  b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a/");
  b.Int(0x400 + 16, int32_t(kNoon2012 & 0xFFFFFFFF)).Int(0x400 + 20, int32_t(kNoon2012 >> 32));
  b.Entry(0x128, 0x80, 0x500).RedrRecord(0x500, "http://moved/");
  b.Entry(0x130, 1, 0x600).UrlRecord(0x600, "URL ", 0x68, "http://free/");
  b.Entry(0x820, 0x80, 0x1000).UrlRecord(0x1000, "LEAK", 0x60, "http://leak/");
  b.Int(0x1000 + 16, -1).Int(0x1000 + 20, -1);  // a date far out of range
  b.Entry(0x828, 0x80, 0x1100).UrlRecord(0x1100, "URL ", 0, "");
  return b;
}

}  // namespace

TEST(IndexDatView, RowsDatesAndProgress) {
  std::vector<int> steps;
  ViewerRows rows = RowsFromBytes(TwoTables().Bytes(), 0, [&](int p) {
    steps.push_back(p);
    return true;
  });
  ASSERT_EQ(rows.urls, (std::vector<std::wstring>{L"http://a/", L"http://moved/", L"http://leak/"}));
  ASSERT_EQ(rows.dates.size(), rows.urls.size());
  EXPECT_NE(rows.dates[0], kNotAvailable);
  EXPECT_NE(rows.dates[0].find(L"2012"), std::wstring::npos) << rows.dates[0];
  EXPECT_EQ(rows.dates[1], kNotAvailable);  // a REDR record's zero time
  EXPECT_EQ(rows.dates[2], kNotAvailable);
  ASSERT_FALSE(steps.empty());
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  EXPECT_EQ(steps.back(), 100);
}

TEST(IndexDatView, StoppingTheLoadKeepsWhatWasRead) {
  int calls = 0;
  ViewerRows rows = RowsFromBytes(TwoTables().Bytes(), 0, [&](int) { return ++calls < 2; });
  EXPECT_LT(rows.urls.size(), 3u);
}

TEST(IndexDatView, FileNamesAndBadFiles) {
  std::wstring good = TempFile(L"viewer_good.DaT", TwoTables().String());
  std::wstring other = TempFile(L"viewer_good.txt", TwoTables().String());
  EXPECT_TRUE(IsIndexDatFileName(good));
  EXPECT_FALSE(IsIndexDatFileName(other));
  EXPECT_FALSE(IsIndexDatFileName(good + L"x"));
  wchar_t buf[MAX_PATH];
  ::GetTempPathW(MAX_PATH, buf);
  EXPECT_FALSE(IsIndexDatFileName(buf));
  EXPECT_EQ(LoadIndexDatRows(good, 0, nullptr).urls.size(), 3u);
  std::wstring junk = TempFile(L"viewer_junk.dat", std::string(300, 'x'));
  EXPECT_TRUE(LoadIndexDatRows(junk, 0, nullptr).urls.empty());
  EXPECT_NE(DefaultIndexDatPath().find(L"Content.IE5\\index.dat"), std::wstring::npos);
}

TEST(IndexDatView, DeleteScrubsOnlyACacheIndex) {
  std::string notIndex(0x2000, 'x');
  std::wstring junk = TempFile(L"viewer_scrub_junk.dat", notIndex);
  EXPECT_EQ(ScrubViewerFile(junk).status, FileStatus::NotCacheFile);
  std::ifstream in(junk.c_str(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), notIndex);

  std::wstring index = TempFile(L"viewer_scrub.dat", TwoTables().String());
  EXPECT_EQ(ScrubViewerFile(index).status, FileStatus::Done);
  EXPECT_TRUE(LoadIndexDatRows(index, 0, nullptr).urls.empty());
}
