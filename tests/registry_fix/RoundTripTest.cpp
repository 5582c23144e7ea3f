// End to end in the test prefix: bad entries beside good twins, found by the
// scanner or named by rows of every registry fix kind, fixed through the run;
// the bad ones are gone, the twins untouched, and Wine's own registry editor
// importing the run's .reg file brings back exactly what was deleted.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "core/Text.h"
#include "registry/ScanTaskThread.h"
#include "registry/fix/FixRun.h"
#include "sys/Text.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\RoundTrip";
const std::wstring K = L"HKEY_CURRENT_USER\\" + kBase;
const std::string kBaseText = sys::ToUtf8(kBase);

class TFinishWaiter : public TScanPoster {
 public:
  TFinishWaiter() : done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~TFinishWaiter() override { ::CloseHandle(done_); }
  void Post(UINT message) override {
    if (message == WM_SCANFINISHED) ::SetEvent(done_);
  }
  bool Wait(DWORD ms) const { return ::WaitForSingleObject(done_, ms) == WAIT_OBJECT_0; }

 private:
  HANDLE done_;
};

// The rows the scan of HKEY_CURRENT_USER finds below kBase.
std::vector<TProblemRow> ScanCurrentUser() {
  auto waiter = std::make_shared<TFinishWaiter>();
  TScanTaskThread thread(ScanSettingsFromSystem());
  thread.FSections = {L"4"};
  thread.SetPoster(waiter);
  EXPECT_TRUE(thread.Start());
  EXPECT_TRUE(thread.WaitFor(300000));
  EXPECT_TRUE(waiter->Wait(0));
  std::vector<TProblemRow> ours;
  const std::wstring prefix = K + L"\\";
  for (auto& row : thread.Shared()->Rows.TakeAll())
    if (row.RegistryKey.compare(0, prefix.size(), prefix) == 0) ours.push_back(row);
  return ours;
}

// Values of every type and shape, in a key with subkeys: the whole-key case.
void SeedDoomedKey(const std::wstring& key) {
  std::vector<BYTE> sixty(60);
  for (size_t i = 0; i < sixty.size(); ++i) sixty[i] = static_cast<BYTE>(i * 7);
  SetString(HKEY_CURRENT_USER, key, L"", L"default text");
  SetString(HKEY_CURRENT_USER, key, L"quote\"back\\slash", L"x \"y\" \\z");
  SetString(HKEY_CURRENT_USER, key, L"Expand", L"%SystemRoot%\\notes", REG_EXPAND_SZ);
  SetValue(HKEY_CURRENT_USER, key, L"Multi", REG_MULTI_SZ, TextBytes(std::wstring(L"one\0two\0", 8)));
  SetValue(HKEY_CURRENT_USER, key, L"Qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 0x88}));
  SetValue(HKEY_CURRENT_USER, key, L"Binary60", REG_BINARY, sixty);
  SetValue(HKEY_CURRENT_USER, key, L"Binary0", REG_BINARY, {});
  SetDword(HKEY_CURRENT_USER, key, L"Dword255", 255);
  SetDword(HKEY_CURRENT_USER, key, L"DwordMinus1", 0xFFFFFFFF);
  SetValue(HKEY_CURRENT_USER, key, L"Dword8", REG_DWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  SetValue(HKEY_CURRENT_USER, key, L"None", REG_NONE, Bytes({0, 9}));
  SetValue(HKEY_CURRENT_USER, key, L"Custom", 0x20, Bytes({0xCA, 0xFE}));
  SetString(HKEY_CURRENT_USER, key, L"Lines", L"first\r\nsecond");
  SetValue(HKEY_CURRENT_USER, key, L"EmptyText", REG_SZ, {});
  SetString(HKEY_CURRENT_USER, key + L"\\Sub", L"inner", L"v");
  CreateKey(HKEY_CURRENT_USER, key + L"\\Sub\\EmptyDeeper");
  SetDword(HKEY_CURRENT_USER, key + L"\\Sub\\Deeper", L"n", 7);
}

bool Removed(const std::string& line, const std::vector<std::string>& keys,
             const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& key : keys) {
    if (line.compare(0, key.size(), key) != 0) continue;
    if (line.size() == key.size() || line[key.size()] == '|' || line[key.size()] == '\\') return true;
  }
  for (const auto& [key, name] : values)
    if (line.compare(0, key.size() + name.size() + 2, key + "|" + name + "|") == 0) return true;
  return false;
}

class RoundTrip : public TFixTest {
 protected:
  TTempFolder folder_{L"roundtrip"};
};

}  // namespace

TEST_F(RoundTrip, FixedEntriesAreGoneTwinsStayAndTheBackupRestoresThemExactly) {
  const std::wstring present = folder_.WriteFile(L"present.exe", "MZ");
  const std::wstring missing = folder_.Sub(L"gone\\missing.exe");
  const std::wstring values = kBase + L"\\Values";
  SetString(HKEY_CURRENT_USER, values, L"BadFile", missing);
  SetString(HKEY_CURRENT_USER, values, L"Named\\Bad", missing);
  SetString(HKEY_CURRENT_USER, values, L"GoodFile", present);
  SetString(HKEY_CURRENT_USER, values, L"Named\\Good", present);

  std::vector<TProblemRow> found = ScanCurrentUser();
  std::vector<TProblemRow> expectedFound = {
      {L"Non-existent File or Folder", missing, K + L"\\Values\\BadFile", fkDeleteValue},
      {L"Non-existent File or Folder", L"Named\\Bad", K + L"\\Values", fkDeleteNamedValue}};
  std::sort(found.begin(), found.end());
  std::sort(expectedFound.begin(), expectedFound.end());
  ASSERT_EQ(found, expectedFound);

  // Entries the other fix kinds name, seeded after the scan so that it does not judge them.
  SeedDoomedKey(kBase + L"\\Doomed");
  SetString(HKEY_CURRENT_USER, kBase + L"\\DoomedTwin", L"same", L"kept");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Parent\\Child", L"c", L"gone");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Parent\\Sibling", L"c", L"kept");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Sound", L"", L"C:\\missing.wav");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Sound", L"Keep", L"kept");
  SetValue(HKEY_CURRENT_USER, kBase + L"\\UserAssist", core::Rot13(L"C:\\Old\\tool.exe"), REG_BINARY, Bytes({1, 2}));
  SetValue(HKEY_CURRENT_USER, kBase + L"\\UserAssist", core::Rot13(L"C:\\New\\tool.exe"), REG_BINARY, Bytes({3, 4}));

  std::vector<TFixRow> rows;
  for (const auto& row : found) rows.emplace_back(row, true);
  rows.push_back({L"P", L"d", K + L"\\Doomed", fkDeleteKey, true});
  rows.push_back({L"P", L"Child", K + L"\\Parent", fkDeleteSubKey, true});
  rows.push_back({L"P", L"C:\\missing.wav", K + L"\\Sound", fkDeleteDefaultValue, true});
  rows.push_back({L"P", L"C:\\Old\\tool.exe", K + L"\\UserAssist", fkDeleteUserAssistValue, true});

  const std::vector<std::string> before = DumpTree(HKEY_CURRENT_USER, kBase);
  ASSERT_EQ(before.size(), 39u);  // 12 keys, 27 values
  TFixSettings settings;
  settings.OutputDirectory = folder_.Sub(L"Backup");
  ::CreateDirectoryW(settings.OutputDirectory.c_str(), nullptr);
  ::GetLocalTime(&settings.Now);
  settings.WindowsVersion = 13;
  TFixRunResult r = RunFix(rows, settings);
  ASSERT_EQ(r.Stop, fsFinished) << sys::ToUtf8(r.Message);
  EXPECT_EQ(r.Fixed, static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(r.Rows[i].Outcome, foFixed) << sys::ToUtf8(r.Rows[i].Reason);

  std::vector<std::string> expectedAfter;
  const std::vector<std::string> goneKeys = {kBaseText + "\\Doomed", kBaseText + "\\Parent\\Child"};
  const std::vector<std::pair<std::string, std::string>> goneValues = {
      {kBaseText + "\\Values", "BadFile"},
      {kBaseText + "\\Values", "Named\\Bad"},
      {kBaseText + "\\Sound", ""},
      {kBaseText + "\\UserAssist", sys::ToUtf8(core::Rot13(L"C:\\Old\\tool.exe"))}};
  for (const auto& line : before)
    if (!Removed(line, goneKeys, goneValues)) expectedAfter.push_back(line);
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kBase), expectedAfter);

  ASSERT_TRUE(ImportWithRegedit(r.BackupFile));
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kBase), before);
}

// Names the file's syntax gives a meaning to, and values far beyond one line:
// each deleted key comes back from the backup with the same names, types and
// bytes.
TEST_F(RoundTrip, OddNamesAndLargeValuesComeBackExactly) {
  const std::wstring doomed = kBase + L"\\Odd";
  for (const wchar_t* key : {L"a]b", L"[x]", L" lead", L"trail ", L"-dash", L"semi;colon", L"eq=ual", L"qu\"ote",
                             L"caf\u00e9", L"@"}) {
    for (const wchar_t* name : {L"=", L"]", L"@", L";x", L"-", L"trail ", L" ", L"a\"b\\", L"\\", L"\"", L"[x]",
                                L"\"=\""})
      SetString(HKEY_CURRENT_USER, doomed + L"\\" + key, name, std::wstring(L"v\\\"") + name + L"\"");
  }
  std::vector<BYTE> big(1 << 20);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 31 + (i >> 8));
  SetValue(HKEY_CURRENT_USER, doomed, L"BigBinary", REG_BINARY, big);
  std::wstring text;
  for (int i = 0; i < 20000; ++i) text += L"line \"" + std::to_wstring(i) + L"\" \\ ";
  SetString(HKEY_CURRENT_USER, doomed, L"BigText", text);
  SetString(HKEY_CURRENT_USER, doomed, L"BigExpand", L"%TEMP%\\" + text, REG_EXPAND_SZ);
  std::wstring multi;
  for (int i = 0; i < 5000; ++i) multi += L"entry " + std::to_wstring(i) + L'\0';
  SetValue(HKEY_CURRENT_USER, doomed, L"BigMulti", REG_MULTI_SZ, TextBytes(multi));

  const std::vector<std::string> before = DumpTree(HKEY_CURRENT_USER, doomed);
  ASSERT_EQ(before.size(), 1u + 4 + 10 * 13);
  const std::wstring file = folder_.Sub(L"odd.reg");
  TDeleteResult r = DeleteKeyWithBackup(L"HKEY_CURRENT_USER", doomed, file);
  ASSERT_EQ(r.Status, dsDeleted) << sys::ToUtf8(r.Reason);
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, doomed));
  ASSERT_TRUE(ImportWithRegedit(file));
  const std::vector<std::string> after = DumpTree(HKEY_CURRENT_USER, doomed);
  EXPECT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size() && i < after.size(); ++i)
    EXPECT_EQ(after[i].substr(0, 200), before[i].substr(0, 200)) << "line " << i;
  EXPECT_TRUE(after == before);
}
