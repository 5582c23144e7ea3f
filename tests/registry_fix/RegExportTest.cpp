// The writer against Wine's registry: whole keys depth first, single values,
// the header once per file, and nothing at all written for an entry that is
// missing, cannot be read whole, or cannot go into the file.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "registry/fix/RegExport.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\Export";
const std::string kBaseText = "HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Export";

class RegExport : public ::testing::Test {
 protected:
  void SetUp() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
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
}
