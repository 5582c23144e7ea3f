// What a restore must bring back: a backup written by the fix, the registry
// editor's import of it, and the check that every entry is present again.
#include <gtest/gtest.h>

#include <memory>

#include "registry/fix/FixDelete.h"
#include "registry/restore/Regedit.h"
#include "registry/restore/RestoreCheck.h"
#include "registry/restore/RestoreRun.h"
#include "registry_fix/FixTestSupport.h"
#include "RestoreTestSupport.h"

namespace {

using namespace fix_test;
using registry::CheckRegTextRestored;

const std::wstring kKey = std::wstring(kTestKey) + L"\\Restore";

using restore_test::ImportFile;

class RestoreCheck : public ::testing::Test {
 protected:
  void SetUp() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(RestoreCheck, DeletedValuesComeBackThroughTheRegistryEditor) {
  TTempFolder dir(L"VantorelRestoreCheck");
  const std::wstring backup = dir.Sub(L"2026_12_06_080509.reg");
  SetString(HKEY_CURRENT_USER, kKey, L"Path \"quoted\" C:\\x", L"C:\\Program Files\\a.exe");
  SetDword(HKEY_CURRENT_USER, kKey, L"Count", 255);
  SetValue(HKEY_CURRENT_USER, kKey, L"Blob", REG_BINARY, std::vector<BYTE>(60, 0xAB));
  SetValue(HKEY_CURRENT_USER, kKey, L"Expand", REG_EXPAND_SZ, TextBytes(L"%TEMP%\\x"));
  const std::vector<std::string> seeded = DumpTree(HKEY_CURRENT_USER, kKey);
  for (const wchar_t* name : {L"Path \"quoted\" C:\\x", L"Count", L"Blob", L"Expand"}) {
    ASSERT_TRUE(registry::DeleteValueWithBackup(L"HKEY_CURRENT_USER", kKey, true, name, backup).Deleted()) << name;
  }
  registry::TRestoreCheck before = registry::CheckRegFileRestored(backup);
  EXPECT_TRUE(before.Readable);
  EXPECT_EQ(before.Missing, 4);
  registry::TRestoreOutcome r = registry::RestoreRegFile(backup, &restore_test::RunImport);
  EXPECT_EQ(r.Status, registry::rsRestored) << (r.Check.FirstMissing.empty() ? L"" : r.Check.FirstMissing.front());
  EXPECT_EQ(r.Check.Entries, 5);  // four sections of one key, four values
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kKey), seeded) << "not byte-identical after the restore";
  EXPECT_TRUE(FileExists(backup)) << "only the dialog deletes, and only as DeleteBackupFile says";
}

// Values of every type and name a tree can hold, written as the editor's own
// export writes them (UTF-16, escaped line ends, wrapped lower-case hex).
void SeedTree(const std::wstring& base) {
  std::vector<BYTE> multi = TextBytes(L"one");
  const std::vector<BYTE> two = TextBytes(L"two");
  multi.insert(multi.end(), two.begin(), two.end());
  multi.insert(multi.end(), {0, 0});
  std::vector<BYTE> counted(100);
  for (size_t i = 0; i < counted.size(); ++i) counted[i] = static_cast<BYTE>(i * 7);
  const struct { const wchar_t* name; DWORD type; std::vector<BYTE> data; } values[] = {
      {L"", REG_SZ, TextBytes(L"default")},
      {L"plain", REG_SZ, TextBytes(L"C:\\Program Files\\a.exe \"quoted\"")},
      {L"lines", REG_SZ, TextBytes(L"one\r\ntwo\nthree\r")},
      {L"tab", REG_SZ, TextBytes(L"a\tb")},
      {L"wide \u00e9\u65e5\U0001F600", REG_SZ, TextBytes(L"\u03a9\U0001F600")},
      {L"empty", REG_SZ, TextBytes(L"")},
      {L"ends in a blank ", REG_SZ, TextBytes(L"x")},
      {L"back\\slash \"and\" =", REG_SZ, TextBytes(L"y")},
      {L"expand", REG_EXPAND_SZ, TextBytes(L"%SystemRoot%\\system32\\a long enough path.dll")},
      {L"multi", REG_MULTI_SZ, multi},
      {L"dword", REG_DWORD, Bytes({0xFF, 0, 0, 0x80})},
      {L"qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8})},
      {L"binary", REG_BINARY, counted},
      {L"nothing", REG_BINARY, {}},
      {L"none", REG_NONE, Bytes({1, 2})},
      {L"big endian", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 1})},
      {L"odd type", 0x20, counted},
  };
  for (int k = 0; k < 11; ++k) {
    const std::wstring key = base + (k == 0 ? L"\\trail " : k == 1 ? L"\\\u65e5\u672c" : L"\\K" + std::to_wstring(k));
    for (const auto& v : values) SetValue(HKEY_CURRENT_USER, key, v.name, v.type, v.data);
  }
}

// A tree exported by the registry editor, removed, and imported back from
// that export: every one of its entries is restored.
TEST_F(RestoreCheck, AnExportOfTheEditorComesBackWhole) {
  TTempFolder dir(L"VantorelRestoreExport");
  const std::wstring tree = kKey + L"\\Tree", file = dir.Sub(L"export.reg");
  SeedTree(tree);
  const std::vector<std::string> seeded = DumpTree(HKEY_CURRENT_USER, tree);
  ASSERT_TRUE(restore_test::RunImport(L"\"" + registry::RegeditPathForProgramView() + L"\" /e \"" + file +
                                      L"\" \"HKEY_CURRENT_USER\\" + tree + L"\""));
  ASSERT_EQ(ReadFileBytes(file).compare(0, 2, "\xFF\xFE"), 0) << "not the editor's UTF-16 export";
  DeleteTree(HKEY_CURRENT_USER, tree);
  registry::TRestoreOutcome r = registry::RestoreRegFile(file, &restore_test::RunImport);
  EXPECT_EQ(r.Status, registry::rsRestored)
      << r.Check.Missing << " missing, first " << (r.Check.FirstMissing.empty() ? L"" : r.Check.FirstMissing.front());
  EXPECT_EQ(r.Check.Entries, 12 + 11 * 17);  // the tree's key, eleven keys, their values
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, tree), seeded);
}

// Takes every piece of address space it can while it lives, so that any
// large allocation of the process fails.
class TAddressSpaceTaken {
 public:
  TAddressSpaceTaken() {
    for (SIZE_T size = SIZE_T(1) << 30; size >= (SIZE_T(1) << 20); size /= 2)
      while (void* p = ::VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) taken_[count_++ % kMost] = p;
  }
  ~TAddressSpaceTaken() {
    for (size_t i = 0; i < count_ && i < kMost; ++i) ::VirtualFree(taken_[i], 0, MEM_RELEASE);
  }

 private:
  static constexpr size_t kMost = 8192;
  void* taken_[kMost] = {};
  size_t count_ = 0;
};

// Memory that runs out after the import is reported as such, not as a
// restore, and never ends the program.
TEST_F(RestoreCheck, MemoryRunningOutDuringTheCheckIsReported) {
  TTempFolder dir(L"VantorelRestoreMemory");
  const std::vector<BYTE> big(4u << 20, 0x5A);
  std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Restore]\r\n\"big\"=hex:";
  for (size_t i = 0; i < big.size(); ++i) text += i + 1 < big.size() ? "5a," : "5a\r\n";
  const std::wstring file = dir.WriteFile(L"big.reg", text);
  std::unique_ptr<TAddressSpaceTaken> taken;
  registry::TRestoreOutcome r = registry::RestoreRegFile(file, [&](const std::wstring&) {
    SetValue(HKEY_CURRENT_USER, kKey, L"big", REG_BINARY, big);  // imported
    taken = std::make_unique<TAddressSpaceTaken>();
    return true;
  });
  taken.reset();
  EXPECT_EQ(r.Status, registry::rsNoMemory);
  EXPECT_TRUE(r.Imported);
  EXPECT_FALSE(r.Check.AllPresent());
  // With memory to spare, the same file is restored.
  EXPECT_EQ(registry::RestoreRegFile(file, [](const std::wstring&) { return true; }).Status, registry::rsRestored);
}

// HKLM\Software is redirected for a 32-bit program on a 64-bit system: the
// editor that imports must see the same view as the one the backup came from.
TEST(RestoreView, AMachineValueComesBackIntoTheViewItWasTakenFrom) {
  const std::wstring key = L"Software\\VantorelRestoreView";
  TTempFolder dir(L"VantorelRestoreView");
  const std::wstring backup = dir.Sub(L"view.reg");
  SetString(HKEY_LOCAL_MACHINE, key, L"Here", L"C:\\here.exe");
  ASSERT_TRUE(registry::DeleteValueWithBackup(L"HKEY_LOCAL_MACHINE", key, true, L"Here", backup).Deleted());
  ASSERT_TRUE(ImportFile(backup));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, key, L"Here"));
  EXPECT_TRUE(registry::CheckRegFileRestored(backup).AllPresent());
  DeleteTree(HKEY_LOCAL_MACHINE, key);
  HKEY other = nullptr;  // nothing landed in the other view
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &other) == ERROR_SUCCESS) {
    ::RegCloseKey(other);
    ADD_FAILURE() << "the key exists in the 64-bit view";
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
  }
}

TEST_F(RestoreCheck, EntriesAreJudgedByWhatTheRegistryHolds) {
  SetString(HKEY_CURRENT_USER, kKey, L"A", L"one");
  SetDword(HKEY_CURRENT_USER, kKey, L"N", 1);
  const std::string head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Restore]\r\n";
  struct Case {
    const char* body;
    bool allPresent;
    int entries;
    int spoiled;
    int missing;
  };
  const Case cases[] = {
      {"\"A\"=\"one\"\r\n\"N\"=dword:00000001\r\n", true, 3, 0, 0},
      {"\"A\"=\"two\"\r\n", false, 2, 0, 1},                 // other data
      {"\"N\"=\"1\"\r\n", false, 2, 0, 1},                   // other type
      {"\"Gone\"=\"x\"\r\n", false, 2, 0, 1},                // no such value
      {"\r\n[~KEY_CURRENT_USER\\Software\\VantorelFixTest\\Nowhere]\r\n\"Z\"=\"z\"\r\n", true, 1, 1, 0},  // spoiled
      {"\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Nowhere]\r\n", false, 2, 0, 1},              // no such key
      // The editor passes over a header with blanks after its "[".
      {"\r\n[ HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Restore]\r\n\"A\"=\"one\"\r\n", false, 3, 0, 2},
      {"\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Restore ]\r\n", false, 2, 0, 1},  // another key
      // Each key counts once, however many sections name it, together or apart.
      {"\"A\"=\"one\"\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Nowhere]\r\n\"x\"=\"1\"\r\n"
       "[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Nowhere]\r\n\"y\"=\"2\"\r\n"
       "[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Restore]\r\n\"N\"=dword:00000001\r\n",
       false, 6, 0, 3},
  };
  for (const Case& c : cases) {
    registry::TRestoreCheck r = CheckRegTextRestored(head + c.body);
    EXPECT_EQ(r.AllPresent(), c.allPresent) << c.body;
    EXPECT_EQ(r.Entries, c.entries) << c.body;
    EXPECT_EQ(r.Spoiled, c.spoiled) << c.body;
    EXPECT_EQ(r.Missing, c.missing) << c.body;
    EXPECT_EQ(r.FirstMissing.size(), static_cast<size_t>(c.missing)) << c.body;
  }
  EXPECT_FALSE(CheckRegTextRestored("not a reg file").Readable);
}

// Nothing checked is nothing restored: such a file is never counted as back,
// and a file that does not read as .reg text is not even imported.
TEST(RestoreText, AFileWithNothingToCheckIsNotRestored) {
  EXPECT_FALSE(CheckRegTextRestored("REGEDIT4\r\n\r\n").AllPresent());
  EXPECT_FALSE(CheckRegTextRestored("REGEDIT4\r\n\r\n[~KEY_CURRENT_USER\\Software]\r\n\"a\"=\"b\"\r\n").AllPresent());
  TTempFolder dir(L"VantorelRestoreNothing");
  // Each file is extended to `size` (0: as written).
  const struct { std::string text; long long size; registry::TRestoreStatus status; } cases[] = {
      {std::string("R\0E\0G\0E\0D\0I\0T\0\x34\0\r\0\n\0", 20), 0, registry::rsUnreadable},  // UTF-16 without its mark
      {"Windows Registry Editor Version 4.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n", 0, registry::rsUnreadable},
      // Larger than the program reads: refused with a reason, never ended on.
      {"REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\X]\r\n", registry::kMaxRegFileBytes + 1, registry::rsTooLarge},
  };
  for (const auto& c : cases) {
    const std::wstring file = dir.WriteFile(L"odd.reg", c.text);
    if (c.size > 0) {
      HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      LARGE_INTEGER at{};
      at.QuadPart = c.size;
      EXPECT_TRUE(::SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(h));
      ::CloseHandle(h);
    }
    bool ran = false;
    registry::TRestoreOutcome r = registry::RestoreRegFile(file, [&ran](const std::wstring&) { return ran = true; });
    EXPECT_EQ(r.Status, c.status);
    EXPECT_FALSE(ran);
  }
}

TEST(RestoreText, FilesThatWouldDeleteAreRecognised) {
  const std::pair<const char*, bool> cases[] = {
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n\"A\"=\"-\"\r\n", false},
      {"REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\X]\r\n", true},
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n\"A\"=-\r\n", true},
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n@=-\r\n", true},
  };
  for (const auto& c : cases) EXPECT_EQ(registry::RegTextDeletes(c.first), c.second) << c.first;
}

}  // namespace
