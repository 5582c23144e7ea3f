// The viewer's reading of synthetic files: rows, dates, progress, the file
// name check and the scrub behind the hidden Delete.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "IndexDatBuilder.h"
#include "IndexDatShapes.h"
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
  b.Url(0x120, 0x400, "http://a/");
  b.Int(0x400 + 16, int32_t(kNoon2012 & 0xFFFFFFFF)).Int(0x400 + 20, int32_t(kNoon2012 >> 32));
  b.Entry(0x128, 0x80, 0x500).RedrRecord(0x500, "http://moved/");
  b.Entry(0x130, 1, 0x600).UrlRecord(0x600, "URL ", 0x68, "http://free/");
  b.Entry(0x820, 0x80, 0x1000).UrlRecord(0x1000, "LEAK", 0x60, "http://leak/");
  b.Int(0x1000 + 16, -1).Int(0x1000 + 20, -1);  // a date far out of range
  b.Entry(0x828, 0x80, 0x1100).UrlRecord(0x1100, "URL ", 0, "");
  return b;
}

}  // namespace

TEST(IndexDatView, RowsAndDates) {
  ViewerRows rows;
  ASSERT_EQ(RowsFromBytes(TwoTables().Bytes(), 7, nullptr, &rows), FileStatus::Done);
  std::vector<std::wstring> urls;
  for (size_t i = 0; i < rows.Count(); ++i) urls.push_back(UrlText(rows.Url(i)));
  ASSERT_EQ(urls, (std::vector<std::wstring>{L"http://a/", L"http://moved/", L"http://leak/"}));
  EXPECT_EQ(rows.Image(0), 7);
  std::wstring noon = DateText(rows.FileTime(0));
  EXPECT_NE(noon, kNotAvailable);
  EXPECT_NE(noon.find(L"2012"), std::wstring::npos) << noon;
  EXPECT_EQ(DateText(rows.FileTime(1)), kNotAvailable);  // a REDR record's zero time
  EXPECT_EQ(DateText(rows.FileTime(2)), kNotAvailable);
  EXPECT_GE(WidestDateText().size(), noon.size());
}

// Progress comes by the clock, not by the percentage: a fast clock reports
// often, a still one only at the end, and a false answer stops the load.
TEST(IndexDatView, ProgressIsPacedByTime) {
  struct Case {
    const char* name;
    uint64_t step;     // milliseconds the clock moves at each look
    int stopAfter;     // reports answered true before a false; -1 never stops
    bool manyReports;  // more than the final 100
    bool complete;     // every row listed
  };
  const Case cases[] = {
      {"a still clock reports only the end", 0, -1, false, true},
      {"a clock past the interval at every look reports as it goes", kReportInterval, -1, true, true},
      {"a false answer stops the load", kReportInterval, 1, true, false},
  };
  IndexDatBuilder b = indexdat_test::MakeShape(indexdat_test::Shape::Packed, 64 * 1024);
  for (const Case& c : cases) {
    std::vector<int> steps;
    ViewerRows rows;
    RowsFromBytes(b.Bytes(), 0, [&](int p) {
      steps.push_back(p);
      return c.stopAfter < 0 || int(steps.size()) <= c.stopAfter;
    }, &rows, [now = uint64_t(0), step = c.step]() mutable { return now += step; });
    ASSERT_FALSE(steps.empty()) << c.name;
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << c.name;
    EXPECT_EQ(steps.size() > 1, c.manyReports) << c.name;
    EXPECT_EQ(steps.back() == 100, c.complete) << c.name;
    EXPECT_EQ(rows.Count() == (64 * 1024 - 0x100) / 0x100 * 28, c.complete) << c.name;
  }
}

// Each crafted shape lists every used entry once, whatever its tables claim.
TEST(IndexDatView, CraftedShapesListEachEntryOnce) {
  for (const indexdat_test::ShapeInfo& s : indexdat_test::Shapes()) {
    const size_t size = 64 * 1024;
    IndexDatBuilder b = indexdat_test::MakeShape(s.shape, size);
    Listing listing = ReadListing(b.Bytes().data(), size);
    EXPECT_LE(EntryCount(ReadLayout(b.Bytes().data(), size)), size / 8) << s.name;
    EXPECT_EQ(listing.records.size(), 1u) << s.name << ": one record, read once";
    ViewerRows rows;
    ASSERT_EQ(RowsFromBytes(b.Bytes(), 0, nullptr, &rows), FileStatus::Done);
    ASSERT_EQ(rows.Count(), listing.entries.size()) << s.name;
    EXPECT_LE(rows.Url(0).size(), kMaxUrlLength) << s.name;
  }
}

TEST(IndexDatView, OnlyWebAddressesAreOpened) {
  for (const wchar_t* web : {L"http://a.example/", L"HTTPS://a.example/path?q=1", L"ftp://files.example/x"})
    EXPECT_TRUE(IsWebAddress(web)) << std::string(web, web + wcslen(web));
  for (const wchar_t* other :
       {L"C:\\Windows\\System32\\calc.exe", L"calc.exe", L"file:///C:/Windows/notepad.exe", L"javascript:alert(1)",
        L"mailto:a@b", L"http://", L"http://a.example/ \"C:\\x.exe\"", L"http://a.example/\"-x", L"http://a\texample/",
        L" http://a.example/", L""})
    EXPECT_FALSE(IsWebAddress(other)) << std::string(other, other + wcslen(other));
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
  ViewerRows rows;
  EXPECT_EQ(LoadIndexDatRows(good, 0, nullptr, &rows), FileStatus::Done);
  EXPECT_EQ(rows.Count(), 3u);
  std::wstring junk = TempFile(L"viewer_junk.dat", std::string(300, 'x'));
  EXPECT_EQ(LoadIndexDatRows(junk, 0, nullptr, &rows), FileStatus::NotCacheFile);
  EXPECT_EQ(rows.Count(), 0u);
  EXPECT_EQ(LoadIndexDatRows(good + L".missing", 0, nullptr, &rows), FileStatus::Missing);
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
  ViewerRows rows;
  LoadIndexDatRows(index, 0, nullptr, &rows);
  EXPECT_EQ(rows.Count(), 0u);
}
