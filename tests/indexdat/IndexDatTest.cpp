// The index.dat layout over synthetic files: what is listed, what a scrub
// may touch, and the scrub of a real file in the test prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>

#include "IndexDatBuilder.h"
#include "cleaner/indexdat/IndexDat.h"
#include "cleaner/indexdat/IndexDatFile.h"
#include "core/guard/FolderPin.h"
#include "support/Folders.h"
#include "support/TestSupport.h"

using namespace indexdat;
using indexdat_test::IndexDatBuilder;

namespace {

// "KIND url", or "KIND -" for a record without URL.
std::vector<std::string> Listed(const IndexDatBuilder& b) {
  static const char* kinds[] = {"URL", "LEAK", "REDR"};
  std::vector<std::string> out;
  Listing listing = ReadListing(b.Bytes().data(), b.Bytes().size());
  for (uint32_t index : listing.entries) {
    const Record& r = listing.records[index];
    out.push_back(std::string(kinds[int(r.kind)]) + " " + (r.hasUrl ? std::string(UrlOf(b.Bytes().data(), r)) : "-"));
  }
  return out;
}

// One table of 2 blocks (28 entries from 0x120) in a file of 0x1000 bytes.
IndexDatBuilder OneTable() {
  IndexDatBuilder b(0x1000);
  b.FirstTable(0x100).Table(0x100, 2, 0);
  return b;
}

// A table at 0x100 of `blocks` linking to one of 2 blocks at `second`, which
// links to `link`; each lists one URL.
IndexDatBuilder& TwoTables(IndexDatBuilder& b, int32_t blocks, int32_t second, int32_t link) {
  b.Table(0x100, blocks, second).Table(size_t(second), 2, link);
  return b.Url(0x120, 0x600, "http://one/").Url(size_t(second) + 0x20, 0x700, "http://two/");
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
         b.Url(0x120, 0x400, "http://a/").Entry(0x128, 1, 0x500).UrlRecord(0x500, "URL ", 0x68, "http://free1/");
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
         b.HeaderSize(0x7FFFFFF0).Url(0x120, 0x400, "http://a/");
         b.Url(0x128, 0xF80, "").Text(0xFE8, std::string(24, 'z'));
       },
       {"URL http://a/", "URL " + std::string(24, 'z')}},
      {"records beyond a smaller header size are outside the file",
       [](IndexDatBuilder& b) { b.HeaderSize(0x480).Url(0x120, 0x400, "http://in/").Url(0x128, 0x500, "http://out/"); },
       {"URL http://in/"}},
      {"a table cycle ends after each table once", [](IndexDatBuilder& b) { TwoTables(b, 2, 0x300, 0x100); },
       {"URL http://one/", "URL http://two/"}},
      {"a table without its signature ends the chain",
       [](IndexDatBuilder& b) { TwoTables(b, 2, 0x300, 0).Text(0x300, "HASX"); },
       {"URL http://one/"}},
      {"a block count beyond the file reads entries up to its end only",
       [](IndexDatBuilder& b) { b.Int(0x104, 0x7FFFFFFF).Url(0x120, 0x400, "http://a/"); },
       {"URL http://a/"}},
      {"a negative block count or table offset reads nothing",
       [](IndexDatBuilder& b) { b.Int(0x104, -5).Url(0x120, 0x400, "http://a/"); },
       {}},
      {"entries end where the next table in the file begins",
       [](IndexDatBuilder& b) { TwoTables(b, 8, 0x200, 0); },
       {"URL http://one/", "URL http://two/"}},
      {"overlapping tables read each entry once",
       [](IndexDatBuilder& b) { b.Table(0x100, 8, 0x110).Table(0x110, 8, 0).Url(0x130, 0x600, "http://once/"); },
       {"URL http://once/"}},
      {"entries sharing a record list it each time",
       [](IndexDatBuilder& b) {
         b.Entry(0x120, 0x80, 0x400).Entry(0x128, 0x80, 0x500).Entry(0x130, 0x80, 0x400);
         b.UrlRecord(0x400, "URL ", 0x68, "http://shared/").RedrRecord(0x500, "http://r/");
       },
       {"URL http://shared/", "REDR http://r/", "URL http://shared/"}},
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
  EXPECT_TRUE(ReadListing(negative.Bytes().data(), 0x10).entries.empty()) << "shorter than the header";
}

TEST(IndexDatList, AUrlIsCutAtItsBound) {
  IndexDatBuilder b(0x3000);
  b.FirstTable(0x100).Table(0x100, 2, 0).Entry(0x120, 0x80, 0x400);
  b.UrlRecord(0x400, "URL ", 0x68, std::string(0x2000, 'u'));
  Listing listing = ReadListing(b.Bytes().data(), b.Bytes().size());
  ASSERT_EQ(listing.records.size(), 1u);
  EXPECT_EQ(UrlOf(b.Bytes().data(), listing.records[0]), std::string(kMaxUrlLength, 'u'));
}

TEST(IndexDatList, UrlTimeAndTableFields) {
  IndexDatBuilder b = OneTable();
  b.Url(0x120, 0x400, "http://a/", 0x12345678);
  b.Entry(0x128, 0x80, 0x400);
  Listing listing = ReadListing(b.Bytes().data(), b.Bytes().size());
  ASSERT_EQ(listing.records.size(), 1u) << "a record shared by two entries is read once";
  EXPECT_EQ(listing.entries, (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(listing.records[0].fileTime, 0x12345678u);
  EXPECT_EQ(listing.records[0].offset, 0x400u);
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
      {"a chain going down: the header ends at the lowest table",
       [](IndexDatBuilder& b) { b.FirstTable(0x600).Table(0x600, 2, 0x100).Table(0x100, 2, 0); },
       {{0x120, 0x600}, {0x620, 0x1000}}},
      {"a link to bytes without the mark ends the region at that link",
       [](IndexDatBuilder& b) { b.Table(0x100, 2, 0x700).Text(0x700, "HASX"); },
       {{0x120, 0x700}}},
      {"a broken link below its table leaves the region at the table's blocks",
       [](IndexDatBuilder& b) { b.Table(0x600, 2, 0x200).FirstTable(0x600); },
       {{0x620, 0x700}}},
      {"a link past the file leaves the region at the table's blocks",
       [](IndexDatBuilder& b) { b.Table(0x100, 4, 0x7FFFFFF0); },
       {{0x120, 0x300}}},
      {"a negative link is a broken one", [](IndexDatBuilder& b) { b.Table(0x100, 2, -0x100); }, {{0x120, 0x200}}},
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
  b.Url(0x120, 0x400, "http://secret/");
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
    EXPECT_TRUE(ReadListing(after.data(), after.size()).entries.empty());
    EXPECT_EQ(ReadLayout(after.data(), after.size()).tables.size(), 2u);
  }
  ::DeleteFileW(path.c_str());
}

namespace {

// Tables of 2 blocks at `chain`'s offsets, linked in that order, each with a
// URL record in its region. With a broken link, the last table links to bytes
// without the mark, and a record beyond that link is outside every region.
struct ChainCase {
  const char* name;
  std::vector<int32_t> chain;
  int32_t brokenLink;
};

IndexDatBuilder ChainFile(const ChainCase& c) {
  IndexDatBuilder b(0x2000);
  b.FirstTable(c.chain.front());
  for (size_t i = 0; i < c.chain.size(); ++i) {
    int32_t t = c.chain[i];
    b.Table(size_t(t), 2, i + 1 < c.chain.size() ? c.chain[i + 1] : c.brokenLink).Url(t + 0x20, t + 0x80, "http://in/");
  }
  if (c.brokenLink != 0) {
    b.Text(size_t(c.brokenLink), "XXXX").UrlRecord(size_t(c.brokenLink) + 0x100, "URL ", 0x68, "http://out/");
  }
  return b;
}

}  // namespace

TEST(IndexDatScrubFile, NoUrlStaysReadableOnAnyChainOrderAndNothingOutsideIsWritten) {
  const ChainCase cases[] = {
      {"upwards", {0x100, 0x600, 0xB00}, 0},
      {"downwards", {0xB00, 0x600, 0x100}, 0},
      {"mixed", {0x600, 0x100, 0xB00}, 0},
      {"broken link above the last table", {0x100, 0x600}, 0xB00},
      {"broken link going down", {0xB00, 0x600}, 0x100},
  };
  std::wstring path = TempFile(L"chain-index.dat");
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    IndexDatBuilder b = ChainFile(c);
    Write(path, b.Bytes());
    ASSERT_EQ(ScrubIndexDat(path, 1).status, FileStatus::Done);
    std::vector<uint8_t> after = Read(path);
    std::string text(after.begin(), after.end());
    EXPECT_EQ(text.find("http://in/"), std::string::npos);
    EXPECT_EQ(text.find("http://out/") != std::string::npos, c.brokenLink != 0);
    int32_t lowest = *std::min_element(c.chain.begin(), c.chain.end());
    EXPECT_TRUE(Same(after, b.Bytes(), 0, size_t(lowest) + 32)) << "header";
    for (int32_t t : c.chain) EXPECT_TRUE(Same(after, b.Bytes(), size_t(t), size_t(t) + 32)) << "head " << t;
    EXPECT_TRUE(c.brokenLink <= c.chain.back() || Same(after, b.Bytes(), size_t(c.brokenLink), after.size()))
        << "past the broken link";
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
  b.Url(0x120, 0x400, "http://kept/");
  std::wstring target = TempFile(L"link-target-index.dat"), link = TempFile(L"link-index.dat");
  Write(target, b.Bytes());
  if (!testing_support::MakeSymlink(target, link)) GTEST_SKIP() << "links cannot be made here";
  EXPECT_EQ(ScrubIndexDat(link, 1).status, FileStatus::Linked);
  EXPECT_EQ(Read(target), b.Bytes());
  // The folder's Unix name + the link's own, so that nothing resolves the link.
  std::wstring folder = testing_support::ToUnixPath(TempFile(L""));
  if (!folder.empty() && folder.back() != L'/') folder += L'/';
  testing_support::RunUnix(L"/usr/bin/unlink \"" + folder + L"link-index.dat\"");
  for (int i = 0; i < 100 && ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  ::DeleteFileW(target.c_str());
}

// A folder pinned, then swapped for a link to one with a valid index file:
// the scrub opens the file relative to the pin and refuses what it reaches.
TEST(IndexDatScrubFile, AFolderSwappedForALinkAfterItsPinIsNotWrittenThrough) {
  testing_support::ScratchFolder box(L"vantorel-indexdat", L"swap");
  IndexDatBuilder b = OneTable();
  b.Url(0x120, 0x400, "http://kept/");
  for (const wchar_t* folder : {L"Content.IE5", L"outside"}) {
    ASSERT_TRUE(::CreateDirectoryW(box.Path(folder).c_str(), nullptr));
    Write(box.Path(folder) + L"\\index.dat", b.Bytes());
  }
  core::guard::FolderPin pin(box.Path(L"Content.IE5"));
  ASSERT_TRUE(pin.IsFolder());
  if (!testing_support::SwapForLink(box.Path(L"Content.IE5"), box.Path(L"moved"), box.Path(L"outside"))) {
    GTEST_SKIP() << "links cannot be made here";
  }
  EXPECT_EQ(ScrubIndexDat(pin, L"index.dat", 1).status, FileStatus::Linked);
  EXPECT_EQ(Read(box.Path(L"outside\\index.dat")), b.Bytes());
  std::wstring unixFolder = testing_support::ToUnixPath(box.Dir());
  testing_support::RunUnix(L"/usr/bin/unlink \"" + unixFolder + L"/Content.IE5\"");
  for (int i = 0; i < 100 && ::GetFileAttributesW(box.Path(L"Content.IE5").c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
    ::Sleep(50);
  }
}
