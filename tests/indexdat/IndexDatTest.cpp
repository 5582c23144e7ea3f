// The index.dat layout over synthetic files: what is listed, what a scrub
// may touch, and the scrub of a real file in the test prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "IndexDatBuilder.h"
#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatFile.h"
#include "support/TestSupport.h"

using namespace indexdat;
using indexdat_test::IndexDatBuilder;

namespace {

// "KIND url", or "KIND -" for a record without URL.
std::vector<std::string> Listed(const IndexDatBuilder& b) {
  static const char* kinds[] = {"URL", "LEAK", "REDR"};
  std::vector<std::string> out;
  for (const Record& r : ReadRecords(b.Bytes().data(), b.Bytes().size()))
    out.push_back(std::string(kinds[int(r.kind)]) + " " + (r.hasUrl ? r.url : "-"));
  return out;
}

// One table of 2 blocks (28 entries from 0x120) in a file of 0x1000 bytes.
IndexDatBuilder OneTable() {
  IndexDatBuilder b(0x1000);
  b.FirstTable(0x100).Table(0x100, 2, 0);
  return b;
}

struct ListCase {
  const char* name;
  std::function<void(IndexDatBuilder&)> build;
  std::vector<std::string> expected;
};

const std::vector<ListCase>& ListCases() {
  static const std::vector<ListCase> cases = {
      {"used entries listed, free ones skipped",
       [](IndexDatBuilder& b) {
         b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a/");
         b.Entry(0x128, 1, 0x500).UrlRecord(0x500, "URL ", 0x68, "http://free1/");
         b.Entry(0x130, 3, 0x600).UrlRecord(0x600, "URL ", 0x68, "http://free3/");
         b.Entry(0x138, 0x10, 0x700).UrlRecord(0x700, "LEAK", 0x60, "http://leak/");
       },
       {"URL http://a/", "LEAK http://leak/"}},
      {"a zero URL offset gives a record without URL",
       [](IndexDatBuilder& b) { b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0, ""); },
       {"URL -"}},
      {"REDR records carry their URL at 16",
       [](IndexDatBuilder& b) { b.Entry(0x120, 0x80, 0x400).RedrRecord(0x400, "http://moved/"); },
       {"REDR http://moved/"}},
      {"records past or across the end are skipped",
       [](IndexDatBuilder& b) {
         b.Entry(0x120, 0x80, 0x2000).Entry(0x128, 0x80, 0x0FF0).Text(0xFF0, "URL ");
         b.Entry(0x130, 0x80, -8).Entry(0x138, 0x80, 0x0FFE);
       },
       {}},
      {"an unknown record kind is skipped",
       [](IndexDatBuilder& b) { b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "XYZW", 0x68, "http://x/"); },
       {}},
      {"a header size larger than the file is cut to the file",
       [](IndexDatBuilder& b) {
         b.HeaderSize(0x7FFFFFF0).Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a/");
         b.Entry(0x128, 0x80, 0xF80).UrlRecord(0xF80, "URL ", 0x68, "").Text(0xFE8, std::string(24, 'z'));
       },
       {"URL http://a/", "URL " + std::string(24, 'z')}},
      {"records beyond a smaller header size are outside the file",
       [](IndexDatBuilder& b) {
         b.HeaderSize(0x480).Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://in/");
         b.Entry(0x128, 0x80, 0x500).UrlRecord(0x500, "URL ", 0x68, "http://out/");
       },
       {"URL http://in/"}},
      {"a table cycle ends after each table once",
       [](IndexDatBuilder& b) {
         b.Table(0x100, 2, 0x300).Table(0x300, 2, 0x100);
         b.Entry(0x120, 0x80, 0x600).UrlRecord(0x600, "URL ", 0x68, "http://one/");
         b.Entry(0x320, 0x80, 0x700).UrlRecord(0x700, "URL ", 0x68, "http://two/");
       },
       {"URL http://one/", "URL http://two/"}},
      {"a table without its signature ends the chain",
       [](IndexDatBuilder& b) {
         b.Table(0x100, 2, 0x300).Table(0x300, 2, 0).Text(0x300, "HASX");
         b.Entry(0x320, 0x80, 0x700).UrlRecord(0x700, "URL ", 0x68, "http://two/");
       },
       {}},
      {"a block count beyond the file reads entries up to its end only",
       [](IndexDatBuilder& b) {
         b.Int(0x104, 0x7FFFFFFF).Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a/");
       },
       {"URL http://a/"}},
      {"a negative block count or table offset reads nothing",
       [](IndexDatBuilder& b) {
         b.Int(0x104, -5).Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a/");
       },
       {}},
  };
  return cases;
}

}  // namespace

TEST(IndexDatList, Cases) {
  for (const ListCase& c : ListCases()) {
    IndexDatBuilder b = OneTable();
    c.build(b);
    EXPECT_EQ(Listed(b), c.expected) << c.name;
  }
  IndexDatBuilder negative = OneTable();
  negative.FirstTable(-0x100);
  EXPECT_TRUE(ReadLayout(negative.Bytes().data(), negative.Bytes().size()).tables.empty());
  EXPECT_TRUE(ReadRecords(negative.Bytes().data(), 0x10).empty()) << "shorter than the header";
}

TEST(IndexDatList, UrlTimeAndTableFields) {
  IndexDatBuilder b = OneTable();
  b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://a/", 0x12345678);
  std::vector<Record> records = ReadRecords(b.Bytes().data(), b.Bytes().size());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].fileTime, 0x12345678u);
  EXPECT_EQ(records[0].offset, 0x400u);
  Layout layout = ReadLayout(b.Bytes().data(), b.Bytes().size());
  ASSERT_EQ(layout.tables.size(), 1u);
  EXPECT_EQ(layout.tables[0].blocks, 2);
  EXPECT_EQ(layout.limit, 0x1000u);
}

namespace {

struct RegionCase {
  const char* name;
  std::function<void(IndexDatBuilder&)> build;
  std::vector<std::pair<uint64_t, uint64_t>> expected;
};

std::vector<std::pair<uint64_t, uint64_t>> Regions(const IndexDatBuilder& b) {
  std::vector<std::pair<uint64_t, uint64_t>> out;
  for (const Region& r : ScrubRegions(b.Bytes().data(), b.Bytes().size())) out.emplace_back(r.begin, r.end);
  return out;
}

}  // namespace

TEST(IndexDatScrubRegions, Cases) {
  const std::vector<RegionCase> cases = {
      {"two tables: up to the next table, then to the header size",
       [](IndexDatBuilder& b) { b.HeaderSize(0xC00).Table(0x100, 2, 0x600).Table(0x600, 2, 0); },
       {{0x120, 0x600}, {0x620, 0xC00}}},
      {"a chain going down never writes below its first table",
       [](IndexDatBuilder& b) { b.FirstTable(0x600).Table(0x600, 2, 0x100).Table(0x100, 2, 0); },
       {{0x620, 0x1000}}},
      {"a cycle scrubs each table once",
       [](IndexDatBuilder& b) { b.Table(0x100, 2, 0x600).Table(0x600, 2, 0x100); },
       {{0x120, 0x600}, {0x620, 0x1000}}},
      {"overlapping table heads stay whole",
       [](IndexDatBuilder& b) { b.Table(0x100, 2, 0x110).Table(0x110, 2, 0); },
       {{0x130, 0x1000}}},
      {"a table whose head runs past the header size is not written",
       [](IndexDatBuilder& b) { b.HeaderSize(0x110).Table(0x100, 2, 0); },
       {}},
      {"no table, nothing", [](IndexDatBuilder& b) { b.FirstTable(0); }, {}},
  };
  for (const RegionCase& c : cases) {
    IndexDatBuilder b = OneTable();
    c.build(b);
    EXPECT_EQ(Regions(b), c.expected) << c.name;
  }
  IndexDatBuilder foreign(0x1000, false);
  foreign.FirstTable(0x100).Table(0x100, 2, 0);
  EXPECT_TRUE(Regions(foreign).empty()) << "a file without the cache signature is never written";
}

namespace {

std::wstring TempFile(const wchar_t* name) {
  wchar_t dir[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + name;
}

void Write(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD wrote = 0;
  ::WriteFile(h, bytes.data(), DWORD(bytes.size()), &wrote, nullptr);
  ::CloseHandle(h);
}

std::vector<uint8_t> Read(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadIndexDat(path, &bytes), FileStatus::Done);
  return bytes;
}

bool AllBytes(const std::vector<uint8_t>& bytes, size_t begin, size_t end, uint8_t value) {
  for (size_t i = begin; i < end; ++i)
    if (bytes[i] != value) return false;
  return true;
}

bool Same(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t begin, size_t end) {
  return std::equal(a.begin() + begin, a.begin() + end, b.begin() + begin);
}

}  // namespace

TEST(IndexDatScrubFile, KeepsHeaderAndHeadsZeroesTheRestInAtMostThreePasses) {
  IndexDatBuilder b = OneTable();
  b.HeaderSize(0xC00).Table(0x100, 2, 0x600).Table(0x600, 2, 0);
  b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://secret/");
  std::wstring path = TempFile(L"scrub-index.dat");
  for (int passes : {0, 1, 7}) {
    Write(path, b.Bytes());
    ScrubResult result = ScrubIndexDat(path, passes);
    EXPECT_EQ(result.status, FileStatus::Done);
    EXPECT_EQ(result.passes, passes >= 3 ? 3 : 1) << passes;
    EXPECT_EQ(result.written, uint64_t(0x600 - 0x120 + 0xC00 - 0x620));
    std::vector<uint8_t> after = Read(path);
    ASSERT_EQ(after.size(), b.Bytes().size());
    EXPECT_TRUE(Same(after, b.Bytes(), 0, 0x120)) << "header and first table head";
    EXPECT_TRUE(AllBytes(after, 0x120, 0x600, 0));
    EXPECT_TRUE(Same(after, b.Bytes(), 0x600, 0x620)) << "second table head";
    EXPECT_TRUE(AllBytes(after, 0x620, 0xC00, 0));
    EXPECT_TRUE(Same(after, b.Bytes(), 0xC00, 0x1000)) << "nothing at or past the header size";
    EXPECT_TRUE(ReadRecords(after.data(), after.size()).empty());
    EXPECT_EQ(ReadLayout(after.data(), after.size()).tables.size(), 2u);
  }
  ::DeleteFileW(path.c_str());
}

TEST(IndexDatScrubFile, ForeignAndMissingFilesAreNotWritten) {
  IndexDatBuilder foreign(0x1000, false);
  foreign.FirstTable(0x100).Table(0x100, 2, 0);
  std::wstring path = TempFile(L"foreign-index.dat");
  Write(path, foreign.Bytes());
  EXPECT_EQ(ScrubIndexDat(path, 3).status, FileStatus::NotCacheFile);
  EXPECT_EQ(Read(path), foreign.Bytes());
  ::DeleteFileW(path.c_str());
  EXPECT_EQ(ScrubIndexDat(path, 1).status, FileStatus::Missing);
}

TEST(IndexDatScrubFile, ALinkIsNotWrittenThrough) {
  IndexDatBuilder b = OneTable();
  b.Entry(0x120, 0x80, 0x400).UrlRecord(0x400, "URL ", 0x68, "http://kept/");
  std::wstring target = TempFile(L"link-target-index.dat"), link = TempFile(L"link-index.dat");
  Write(target, b.Bytes());
  if (!testing_support::MakeSymlink(target, link)) GTEST_SKIP() << "links cannot be made here";
  EXPECT_EQ(ScrubIndexDat(link, 1).status, FileStatus::Refused);
  EXPECT_EQ(Read(target), b.Bytes());
  // The folder's Unix name + the link's own, so that nothing resolves the link.
  std::wstring folder = testing_support::ToUnixPath(TempFile(L""));
  if (!folder.empty() && folder.back() != L'/') folder += L'/';
  testing_support::RunUnix(L"/usr/bin/unlink \"" + folder + L"link-index.dat\"");
  for (int i = 0; i < 100 && ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  ::DeleteFileW(target.c_str());
}
