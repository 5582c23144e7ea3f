// The fix run as the registry page drives it: rows last to first with a
// result each, the backup folder and its question, a backup that cannot be
// written, and the restore-point step by option and version.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "core/Text.h"
#include "registry/fix/FixRun.h"
#include "registry/fix/RegExport.h"
#include "registry/fix/SystemPoint.h"
#include "support/TestSupport.h"
#include "ui/Application.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\Run";
const std::wstring K = L"HKEY_CURRENT_USER\\" + kBase;
const std::wstring kVals = kBase + L"\\Vals";

class FixRun : public TFixTest {
 protected:
  void SetUp() override {
    ui::Application::Instance().Initialize();
    TFixTest::SetUp();
  }
  std::wstring BackupFile() const { return folder_.Sub(L"2026_12_06_080509.reg"); }
  // One ticked value row of kind 2 in kVals.
  static TFixRow ValueRow(const std::wstring& name) { return {L"P", name, K + L"\\Vals", fkDeleteNamedValue, true}; }

  TTempFolder folder_{L"run"};
};

}  // namespace

TEST(FixRunName, BackupFileIsNamedByTheRunsDateAndTime) {
  SYSTEMTIME t{2026, 12, 0, 6, 8, 5, 9, 0};
  EXPECT_EQ(MakeBackupFileName(L"C:\\Backup", t), L"C:\\Backup\\2026_12_06_080509.reg");
  EXPECT_EQ(MakeBackupFileName(L"C:\\Backup\\", t), L"C:\\Backup\\2026_12_06_080509.reg");
  SYSTEMTIME u{2031, 1, 0, 31, 23, 59, 58, 0};
  EXPECT_EQ(MakeBackupFileName(L"D:\\b", u), L"D:\\b\\2031_01_31_235958.reg");
}

TEST_F(FixRun, TickedRowsLastToFirstEachWithItsResult) {
  SetString(HKEY_CURRENT_USER, kBase + L"\\KeyDoomed", L"a", L"1");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\KeyTwin");
  for (const wchar_t* name : {L"Bad1", L"Named\\Bad", L"", L"Twin"}) SetString(HKEY_CURRENT_USER, kVals, name, L"v");
  SetString(HKEY_CURRENT_USER, kVals, core::Rot13(L"UserAssistName"), L"v");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Parent\\Child");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Parent\\ChildTwin");
  const std::wstring link = folder_.WriteFile(L"dead.lnk", "L");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Lasting\\Mid");
  // Keys that last only until Windows restarts, the second below the first,
  // the third below lasting keys.
  for (const wchar_t* volatileKey : {L"\\Volatile", L"\\Volatile\\Inner", L"\\Lasting\\Mid\\Volatile"}) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (kBase + volatileKey).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(k, L"vv", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    ::RegCloseKey(k);
  }
  std::vector<TFixRow> rows = {
      {L"P", L"d", K + L"\\KeyDoomed", fkDeleteKey, true},                  // 0
      {L"P", L"d", K + L"\\Vals\\Bad1", fkDeleteValue, true},               // 1
      {L"P", L"Named\\Bad", K + L"\\Vals", fkDeleteNamedValue, true},       // 2
      {L"P", L"Child", K + L"\\Parent", fkDeleteSubKey, true},              // 3
      {L"P", L"target", link, fkDeleteFile, true},                          // 4
      {L"P", L"d", K + L"\\Vals", fkDeleteDefaultValue, true},              // 5
      {L"P", L"UserAssistName", K + L"\\Vals", fkDeleteUserAssistValue, true},  // 6
      {L"P", L"Twin", K + L"\\Vals", fkDeleteNamedValue, false},            // 7 not ticked
      {L"P", L"S-1-5-21", L"HKEY_USERS", fkDeleteSubKey, true},             // 8 no backslash
      {L"P", L"d", K + L"\\Vals\\Gone", fkDeleteValue, true},               // 9 already gone
      {L"P", L"d", K + L"\\KeyTwin", 9, true},                              // 10 unknown kind
      {L"P", L"d", L"HKEY_CURRENT_USER\\Software", fkDeleteKey, true},      // 11 first-level key
      {L"P", L"d", L"HKEY_NOWHERE\\Software\\X", fkDeleteKey, true},        // 12 unknown root
      {L"P", L"d", K + L"\\Volatile", fkDeleteKey, true},                  // 13 volatile
      {L"P", L"Inner", K + L"\\Volatile", fkDeleteSubKey, true},           // 14 below a volatile key
      {L"P", L"d", K + L"\\Lasting", fkDeleteKey, true},                   // 15 holds a volatile key
      {L"P", L"vv", K + L"\\Volatile\\Inner", fkDeleteNamedValue, true},    // 16 a volatile key's value
  };
  std::vector<TFixOutcome> expected = {foFixed,       foFixed,  foFixed,  foFixed,  foFixed,  foFixed,
                                       foFixed,       foNotHandled, foKept, foAlreadyGone, foFailed, foFailed,
                                       foFailed,      foFailed, foFailed, foFailed, foFailed};
  // A link to another key of the user's, under a part named like the
  // 32-bit view (the key that holds that part shows it alone there).
  const std::wstring linkTarget = std::wstring(kTestKey) + L"\\RunLinkTarget";
  const std::wstring wowLink = kBase + L"\\Wow\\Wow6432Node\\Link";
  SetString(HKEY_CURRENT_USER, linkTarget + L"\\child", L"keep", L"target data");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Wow");
  const bool linked = MakeRegLink(wowLink, testing_support::NativeUserKey(linkTarget));
  if (linked) {
    const std::wstring through = L"HKEY_CURRENT_USER\\" + wowLink + L"\\child";
    rows.push_back({L"P", L"keep", through, fkDeleteNamedValue, true});  // 17 a value through the link
    rows.push_back({L"P", L"d", through, fkDeleteKey, true});            // 18 a key through the link
    expected.insert(expected.end(), {foFailed, foFailed});
  }
  TMessageRecorder messages(IDNO);
  TFixRunResult r = RunFix(rows, Settings(folder_.Path()));
  RemoveRegLink(wowLink);
  EXPECT_EQ(r.Stop, fsFinished);
  EXPECT_TRUE(messages.Messages.empty());
  EXPECT_EQ(r.BackupFile, BackupFile());
  ASSERT_EQ(r.Rows.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(r.Rows[i].Outcome, expected[i]) << "row " << i;
  EXPECT_EQ(r.Fixed, 7);
  EXPECT_EQ(r.Failed, linked ? 9 : 7);
  for (size_t i : {13u, 14u, 15u, 16u})
    EXPECT_NE(r.Rows[i].Reason.find(L"volatile"), std::wstring::npos) << "row " << i;
  for (size_t i = 17; i < rows.size(); ++i)
    EXPECT_NE(r.Rows[i].Reason.find(L"registry link"), std::wstring::npos) << "row " << i;
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, linkTarget + L"\\child", L"keep"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Volatile\\Inner", L"vv"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kBase + L"\\Lasting\\Mid\\Volatile"));
  EXPECT_EQ(r.Skipped, 2);
  EXPECT_FALSE(r.Rows[10].Reason.empty());
  EXPECT_FALSE(r.Rows[11].LeavesList());
  EXPECT_TRUE(r.Rows[9].LeavesList());

  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kBase + L"\\KeyDoomed"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kBase + L"\\Parent\\Child"));
  EXPECT_FALSE(FileExists(link));
  for (const std::wstring& name : {std::wstring(L"Bad1"), std::wstring(L"Named\\Bad"), std::wstring(),
                                   core::Rot13(L"UserAssistName")})
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kVals, name)) << "value " << name.size();
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVals, L"Twin"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kBase + L"\\Parent\\ChildTwin"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kBase + L"\\KeyTwin"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software"));

  // One file, its entries in the order the rows were handled: last row first.
  const std::string file = ReadFileBytes(BackupFile());
  EXPECT_EQ(file.rfind("REGEDIT4\r\n", 0), 0u);
  const size_t userAssist = file.find("\"" + std::string("HfreNffvfgAnzr") + "\"=");
  const size_t subKey = file.find("\\Parent\\Child]");
  const size_t key = file.find("\\KeyDoomed]");
  ASSERT_NE(userAssist, std::string::npos);
  ASSERT_NE(subKey, std::string::npos);
  ASSERT_NE(key, std::string::npos);
  EXPECT_LT(userAssist, subKey);
  EXPECT_LT(subKey, key);
  EXPECT_EQ(file.find("\\Volatile"), std::string::npos) << "nothing of a key that was left is in its backup";
  EXPECT_EQ(file.find("\\Lasting"), std::string::npos);
  EXPECT_EQ(file.find("target data"), std::string::npos) << "a value reached through the link is in the backup";
  if (!linked) GTEST_SKIP() << "this registry makes no links: the rows through one were left out";
}

// The second name is numbered before the name's own extension, wherever
// other dots stand in the path: in a folder's name among them.
TEST_F(FixRun, TwoRunsInTheSameSecondWriteTwoFilesNeverOne) {
  for (const std::wstring& folder : {folder_.Path(), folder_.Sub(L"backups.v2")}) {
    SCOPED_TRACE(testing::PrintToString(folder));
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    SetString(HKEY_CURRENT_USER, kVals, L"First", L"1");
    SetString(HKEY_CURRENT_USER, kVals, L"Second", L"2");
    TFixRunResult first = RunFix({ValueRow(L"First")}, Settings(folder));
    TFixRunResult second = RunFix({ValueRow(L"Second")}, Settings(folder));
    EXPECT_EQ(first.Fixed, 1);
    EXPECT_EQ(second.Fixed, 1);
    EXPECT_EQ(first.BackupFile, folder + L"\\2026_12_06_080509.reg");
    EXPECT_EQ(second.BackupFile, folder + L"\\2026_12_06_080509_2.reg");
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Run\\Vals]\r\n";
    EXPECT_EQ(ReadFileBytes(first.BackupFile), head + "\"First\"=\"1\"\r\n");
    EXPECT_EQ(ReadFileBytes(second.BackupFile), head + "\"Second\"=\"2\"\r\n");
  }
}

TEST_F(FixRun, ARunWhoseFileAnotherRunHoldsTakesTheNextFreeName) {
  SetString(HKEY_CURRENT_USER, kVals, L"Bad", L"1");
  TRegBackupFile other(BackupFile());  // a second instance in the same second
  std::wstring why;
  ASSERT_TRUE(other.Append("\r\n[HKEY_CURRENT_USER\\X]\r\n", &why)) << why;
  // This process routes its own name to `other`; another process would only
  // meet a file it cannot open: the same outcome is checked end to end.
  TFixRunResult r = RunFix({ValueRow(L"Bad")}, Settings(folder_.Path()));
  EXPECT_EQ(r.Fixed, 1);
  EXPECT_NE(r.BackupFile, other.Name());
  EXPECT_EQ(ReadFileBytes(other.Name()), std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"));
}

TEST_F(FixRun, LinksPlantedUnderTheRunsNamesLeaveTheOutsideFilesAlone) {
  SetString(HKEY_CURRENT_USER, kVals, L"Bad", L"1");
  TTempFolder outside(L"outside");
  const std::wstring victim = outside.WriteFile(L"victim.txt", "keep");
  const std::wstring planted[] = {
      // the scratch file's old fixed name, the run's name, its next free name
      folder_.Sub(L"~vantorel-backup-test-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp"),
      BackupFile(),
      folder_.Sub(L"2026_12_06_080509_2.reg"),
  };
  for (const auto& link : planted)
    if (!testing_support::MakeSymlink(victim, link)) GTEST_SKIP() << "links can only be made under Wine";
  // A dangling link: following it would make a new file outside.
  const std::wstring made = outside.WriteFile(L"made.reg", "");
  ASSERT_TRUE(testing_support::MakeSymlink(made, folder_.Sub(L"2026_12_06_080509_3.reg")));
  ASSERT_TRUE(::DeleteFileW(made.c_str()));
  TMessageRecorder messages(IDYES);
  TFixRunResult r = RunFix({ValueRow(L"Bad")}, Settings(folder_.Path()));
  EXPECT_EQ(r.Stop, fsFinished);
  EXPECT_EQ(r.Fixed, 1);
  EXPECT_EQ(r.BackupFile, folder_.Sub(L"2026_12_06_080509_4.reg"));
  EXPECT_EQ(ReadFileBytes(victim), "keep");
  EXPECT_FALSE(FileExists(outside.Sub(L"made.reg")));
  // The old way of appending by name refuses the link as well.
  std::wstring why;
  EXPECT_FALSE(AppendToRegFile(BackupFile(), "\r\n[HKEY_CURRENT_USER\\X]\r\n", &why));
  EXPECT_NE(why.find(L"link"), std::wstring::npos) << why;
  EXPECT_EQ(ReadFileBytes(victim), "keep");
  // The folder check's scratch file is gone: the planted name is the only one of its kind.
  WIN32_FIND_DATAW found;
  HANDLE find = ::FindFirstFileW(folder_.Sub(L"~vantorel-*").c_str(), &found);
  int scratch = 0;
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found)) ++scratch;
  if (find != INVALID_HANDLE_VALUE) ::FindClose(find);
  EXPECT_EQ(scratch, 1);
}

TEST_F(FixRun, UnattendedRunsNeverAskAndStopBeforeDeletingOnAnyFolderProblem) {
  SetString(HKEY_CURRENT_USER, kVals, L"Bad", L"1");
  TMessageRecorder messages(IDYES);
  // Another folder than the default one: not made, nothing deleted.
  TFixSettings s = Settings(folder_.Sub(L"elsewhere\\Backup"));
  s.Unattended = true;
  s.DefaultOutputDirectory = folder_.Sub(L"Default\\Backup");
  TFixRunResult r = RunFix({ValueRow(L"Bad")}, s);
  EXPECT_EQ(r.Stop, fsFolderMissing);
  EXPECT_TRUE(r.StoppedOnBackup());
  EXPECT_NE(r.Message.find(L"elsewhere"), std::wstring::npos);
  EXPECT_FALSE(FileExists(folder_.Sub(L"elsewhere")));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVals, L"Bad"));
  // The default folder is made without a question, and the row is fixed.
  s.OutputDirectory = s.DefaultOutputDirectory + L"\\";
  r = RunFix({ValueRow(L"Bad")}, s);
  EXPECT_EQ(r.Stop, fsFinished);
  EXPECT_EQ(r.Fixed, 1);
  EXPECT_EQ(r.BackupEntries, 1);
  EXPECT_TRUE(FileExists(r.BackupFile));
  EXPECT_FALSE(r.Notes.empty());
  EXPECT_TRUE(messages.Messages.empty()) << "an unattended run asked or showed something";
}

TEST_F(FixRun, MissingBackupFolderIsCreatedOnlyWhenTheUserSaysYes) {
  SetString(HKEY_CURRENT_USER, kVals, L"Bad", L"1");
  const std::wstring folder = folder_.Sub(L"new\\Backup");
  {
    TMessageRecorder no(IDNO);
    TFixRunResult r = RunFix({ValueRow(L"Bad")}, Settings(folder));
    EXPECT_EQ(r.Stop, fsFolderDeclined);
    ASSERT_EQ(no.Messages.size(), 1u);
    EXPECT_EQ(no.Messages[0].Text, folder + L",can not find the backup folder.\r\ncreates a new directory?");
    EXPECT_EQ(no.Messages[0].Flags & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(r.Rows[0].Outcome, foNotHandled);
    EXPECT_FALSE(FileExists(folder));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVals, L"Bad"));
  }
  TMessageRecorder yes(IDYES);
  TFixRunResult r = RunFix({ValueRow(L"Bad")}, Settings(folder));
  EXPECT_EQ(r.Stop, fsFinished);
  EXPECT_EQ(yes.Messages.size(), 1u);
  EXPECT_EQ(r.Rows[0].Outcome, foFixed);
  EXPECT_TRUE(FileExists(folder + L"\\2026_12_06_080509.reg"));
}

TEST_F(FixRun, AnEmptyListEndsTheRun) {
  TMessageRecorder messages(IDYES);
  EXPECT_EQ(RunFix({}, Settings(folder_.Path())).Stop, fsNoRows);
  EXPECT_TRUE(messages.Messages.empty());
}

TEST_F(FixRun, BackupFolderThatCannotBeMadeOrWrittenDeletesNothing) {
  SetString(HKEY_CURRENT_USER, kVals, L"Bad", L"1");
  const std::wstring blocked = folder_.WriteFile(L"file.txt", "x") + L"\\Backup";
  std::vector<std::wstring> folders = {blocked};
  // /proc takes no new files, not even from root.
  const DWORD procAttrs = ::GetFileAttributesW(L"Z:\\proc");
  if (procAttrs != INVALID_FILE_ATTRIBUTES && (procAttrs & FILE_ATTRIBUTE_DIRECTORY)) folders.push_back(L"Z:\\proc");
  for (const auto& folder : folders) {
    TMessageRecorder messages(IDYES);
    TFixRunResult r = RunFix({ValueRow(L"Bad")}, Settings(folder));
    EXPECT_EQ(r.Stop, fsFolderFailed);
    ASSERT_FALSE(messages.Messages.empty());
    const auto& shown = messages.Messages.back();
    EXPECT_NE(shown.Text.find(folder), std::wstring::npos);
    EXPECT_NE(shown.Text.find(L"Nothing was deleted."), std::wstring::npos);
    EXPECT_EQ(shown.Flags & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_EQ(r.Message, shown.Text);
    EXPECT_EQ(r.Rows[0].Outcome, foNotHandled);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVals, L"Bad"));
  }
  EXPECT_EQ(folders.size(), 2u) << "Z:\\proc is not there to play an unwritable folder";
}

TEST_F(FixRun, BackupFileFailingMidRunStopsBeforeAnyDeletion) {
  SetString(HKEY_CURRENT_USER, kVals, L"A", L"1");
  SetString(HKEY_CURRENT_USER, kVals, L"B", L"2");
  // Every name the run could take is a folder: the folder takes files, no backup file can be made.
  ::CreateDirectoryW(BackupFile().c_str(), nullptr);
  for (int n = 2; n <= 99; ++n)
    ::CreateDirectoryW(folder_.Sub(L"2026_12_06_080509_" + std::to_wstring(n) + L".reg").c_str(), nullptr);
  TMessageRecorder messages(IDYES);
  TFixRunResult r = RunFix({ValueRow(L"A"), ValueRow(L"B")}, Settings(folder_.Path()));
  EXPECT_EQ(r.Stop, fsBackupWriteFailed);
  EXPECT_EQ(r.Rows[1].Outcome, foFailed);
  EXPECT_EQ(r.Rows[0].Outcome, foNotHandled);
  EXPECT_EQ(r.Failed, 1);
  ASSERT_EQ(messages.Messages.size(), 1u);
  EXPECT_NE(messages.Messages[0].Text.find(BackupFile()), std::wstring::npos);
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVals, L"A"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kVals, L"B"));
}

namespace {

// Stands in for the program's restore-point dialog: counts the questions and
// answers as told.
class TSystemPointStandIn {
 public:
  explicit TSystemPointStandIn(int answer) : previous_(SetSystemPointDialog(answer != 0 ? &Show : nullptr)) {
    answer_ = answer;
    asked_ = 0;
  }
  ~TSystemPointStandIn() { SetSystemPointDialog(previous_); }
  static int Asked() { return asked_; }

 private:
  static int Show(HWND) {
    ++asked_;
    return answer_;
  }
  static inline int answer_ = 0, asked_ = 0;
  TSystemPointDialog previous_;
};

}  // namespace

TEST_F(FixRun, RestorePointComesFirstOnVersionsWithSystemRestore) {
  struct Case {
    bool option;
    int version;
    int answer;  // the dialog's; 0: the program named no dialog
    int asked;
    TFixStop stop;
  };
  const Case cases[] = {
      {true, 13, IDOK, 0, fsFinished},
      {true, 8, IDOK, 0, fsFinished},
      {false, 12, IDOK, 0, fsFinished},
      {true, 12, IDOK, 1, fsFinished},
      {true, 11, IDCANCEL, 1, fsRestorePointCancelled},
      {true, 9, 0, 0, fsRestorePointCancelled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("version " + std::to_string(c.version) + " answer " + std::to_string(c.answer));
    SetString(HKEY_CURRENT_USER, kVals, L"Bad", L"1");
    ::DeleteFileW(BackupFile().c_str());
    TSystemPointStandIn dialog(c.answer);
    TFixSettings s = Settings(folder_.Path(), c.version);
    s.RestorePoint = c.option;
    TFixRunResult r = RunFix({ValueRow(L"Bad")}, s);
    EXPECT_EQ(TSystemPointStandIn::Asked(), c.asked);
    EXPECT_EQ(r.Stop, c.stop);
    const bool fixed = c.stop == fsFinished;
    EXPECT_EQ(r.Rows[0].Outcome, fixed ? foFixed : foNotHandled);
    EXPECT_EQ(ValueExists(HKEY_CURRENT_USER, kVals, L"Bad"), !fixed);
    EXPECT_EQ(FileExists(BackupFile()), fixed);
  }
}
