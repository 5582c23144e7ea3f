// The writer against Wine's registry: whole keys depth first, single values,
// the header once per file, and nothing at all written for an entry that is
// missing, cannot be read whole, or cannot go into the file.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "registry/fix/RegExport.h"
#include "registry/fix/RegFileFormat.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\Export";
const std::string kBaseText = "HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Export";

class RegExport : public TFixTest {
 protected:
  TTempFolder folder_{L"export"};
  std::wstring file_ = folder_.Sub(L"backup.reg");
};

}  // namespace

TEST_F(RegExport, WholeKeyWithValuesAndSubkeysDepthFirst) {
  SetString(HKEY_CURRENT_USER, kBase, L"a", L"one");
  SetDword(HKEY_CURRENT_USER, kBase, L"b", 2);
  SetString(HKEY_CURRENT_USER, kBase + L"\\Sub", L"", L"default");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Sub\\Empty");
  ASSERT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, kBase + L"\\", L"", true).Status, esWritten);
  EXPECT_EQ(ReadFileBytes(file_), "REGEDIT4\r\n"
                                  "\r\n[" + kBaseText + "]\r\n"
                                  "\"a\"=\"one\"\r\n"
                                  "\"b\"=dword:00000002\r\n"
                                  "\r\n[" + kBaseText + "\\Sub]\r\n"
                                  "@=\"default\"\r\n"
                                  "\r\n[" + kBaseText + "\\Sub\\Empty]\r\n");
}

TEST_F(RegExport, EmptyLeftoverFileGetsTheHeader) {
  SetString(HKEY_CURRENT_USER, kBase, L"", L"dflt");
  std::wstring empty = folder_.WriteFile(L"empty.reg", "");
  ASSERT_EQ(ExportRegEntry(empty, HKEY_CURRENT_USER, kBase, L"", false).Status, esWritten);
  EXPECT_EQ(ReadFileBytes(empty), "REGEDIT4\r\n\r\n[" + kBaseText + "]\r\n@=\"dflt\"\r\n");
}

TEST_F(RegExport, NothingWrittenForMissingOrUnwritableEntries) {
  SetString(HKEY_CURRENT_USER, kBase, L"a", L"one");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Deep", L"\u4e2d", L"not in the code page");
  EXPECT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, kBase + L"\\Gone", L"", true).Status, esMissing);
  EXPECT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, kBase, L"gone", false).Status, esMissing);
  // The bad name sits in a subkey: the key's own values must not reach the file either.
  TExportResult r = ExportRegEntry(file_, HKEY_CURRENT_USER, kBase, L"", true);
  EXPECT_EQ(r.Status, esNotWritable);
  EXPECT_FALSE(r.Reason.empty());
  EXPECT_EQ(ExportRegEntry(file_, HKEY_PERFORMANCE_DATA, L"x", L"", true).Status, esNotWritable);
  EXPECT_FALSE(FileExists(file_));

  // A file that cannot be opened, and one whose earlier entries must stay intact.
  EXPECT_EQ(ExportRegEntry(folder_.Sub(L"no\\such\\folder.reg"), HKEY_CURRENT_USER, kBase, L"a", false).Status,
            esFileError);
  ASSERT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, kBase, L"a", false).Status, esWritten);
  const std::string before = ReadFileBytes(file_);
  EXPECT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, kBase, L"", true).Status, esNotWritable);
  EXPECT_EQ(ReadFileBytes(file_), before);

  // A key reached through a registry link is not read, whole or one value:
  // the export opens it as the delete does.
  SetString(HKEY_CURRENT_USER, kBase + L"\\Target", L"t", L"elsewhere");
  const std::wstring link = kBase + L"\\Link";
  if (!MakeRegLink(link, testing_support::NativeUserKey(kBase + L"\\Target")))
    GTEST_SKIP() << "this registry makes no links";
  EXPECT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, link, L"", true).Status, esNotWritable);
  EXPECT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, link, L"t", false).Status, esNotWritable);
  EXPECT_EQ(ReadFileBytes(file_), before);
  RemoveRegLink(link);
}

// A kill or crash while a large entry is appended leaves the file cut
// somewhere inside it. Every such file, imported with the registry editor,
// must leave the registry as it was: the entry is on disk with its headers
// spoiled until it is whole, so no part of it imports.
TEST_F(RegExport, ABackupCutInsideALargeEntryImportsNothingOfIt) {
  std::vector<BYTE> big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>((i * 131) ^ (i >> 7));
  SetString(HKEY_CURRENT_USER, kBase + L"\\Large", L"before", L"kept");
  SetValue(HKEY_CURRENT_USER, kBase + L"\\Large", L"Data", REG_BINARY, big);
  SetValue(HKEY_CURRENT_USER, kBase + L"\\Large\\Sub", L"More", REG_BINARY, std::vector<BYTE>(big.begin(), big.begin() + 5000));
  const std::vector<std::string> original = DumpTree(HKEY_CURRENT_USER, kBase);

  std::string text;
  ASSERT_EQ(FormatRegEntry(HKEY_CURRENT_USER, kBase + L"\\Large", L"", true, &text).Status, esWritten);
  std::string onDisk = std::string(kRegFileHeader) + text;
  const auto spoiled = SpoilRegHeaders(&onDisk);
  ASSERT_EQ(spoiled.size(), 2u);
  for (const auto& [at, c] : spoiled) EXPECT_EQ(c, 'H') << at;

  const size_t first = std::string(kRegFileHeader).size();
  for (int cut = 0; cut < 20; ++cut) {
    size_t length = first + 1 + (onDisk.size() - first - 1) * cut / 19;  // the last one is the whole spoiled entry
    std::wstring copy = folder_.WriteFile(L"cut" + std::to_wstring(cut) + L".reg", onDisk.substr(0, length));
    ImportWithRegedit(copy);  // its exit code may report the spoiled keys
    ASSERT_EQ(DumpTree(HKEY_CURRENT_USER, kBase), original) << "a copy cut at byte " << length << " changed the registry";
  }

  // Written through the writer, the same entry is whole and restores exactly.
  ASSERT_EQ(ExportRegEntry(file_, HKEY_CURRENT_USER, kBase + L"\\Large", L"", true).Status, esWritten);
  EXPECT_EQ(ReadFileBytes(file_), std::string(kRegFileHeader) + text);
  DeleteTree(HKEY_CURRENT_USER, kBase + L"\\Large");
  ASSERT_TRUE(ImportWithRegedit(file_));
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kBase), original);
}

TEST(RegSpoil, EveryKeyHeaderAndNothingElseIsSpoiled) {
  std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"[x\"=\"[HKEY\"\r\n\r\n[HKEY_USERS\\B]\r\n@=hex:01,\\\r\n02\r\n";
  const auto spoiled = SpoilRegHeaders(&text);
  EXPECT_EQ(text, "REGEDIT4\r\n\r\n[~KEY_CURRENT_USER\\A]\r\n\"[x\"=\"[HKEY\"\r\n\r\n[~KEY_USERS\\B]\r\n@=hex:01,\\\r\n02\r\n");
  ASSERT_EQ(spoiled.size(), 2u);
  EXPECT_EQ(text[spoiled[0].first], kSpoiledRootChar);
  EXPECT_EQ(spoiled[1].second, 'H');
}
