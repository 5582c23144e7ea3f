// Rows made stale between the scan and the fix: each is judged again just
// before its deletion, left alone, counted as skipped, and nothing of it is
// deleted or backed up; rows still bad are fixed as before.
#include <gtest/gtest.h>

#include "FixTestSupport.h"
#include "registry/fix/FixRecheck.h"
#include "registry/fix/FixReport.h"
#include "registry/fix/FixRun.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\Stale";
const std::wstring K = L"HKEY_CURRENT_USER\\" + kBase;

class FixRecheck : public TFixTest {
 protected:
  TFixRunResult Run(const std::vector<TFixRow>& rows) { return RunFix(rows, Settings(folder_.Path())); }
  TTempFolder folder_{L"stale"};
};

}  // namespace

TEST_F(FixRecheck, AFixOverRowsMadeStaleAfterTheScanLeavesThemAndDeletesNothing) {
  // What the scan saw: missing files and an empty key. Then, before Fix:
  const std::wstring back = folder_.Sub(L"back.exe");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Run", back);                // kind 1
  SetString(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Named\\Path", back);        // kind 2
  SetString(HKEY_CURRENT_USER, kBase + L"\\Sound", L"", L"\"" + back + L"\" /x");  // kind 5
  SetString(HKEY_CURRENT_USER, kBase + L"\\App", L"Path", L"v");                 // kind 0
  SetString(HKEY_CURRENT_USER, kBase + L"\\Empty\\Filled", L"now", L"1");        // kind 3, a value
  SetString(HKEY_CURRENT_USER, kBase + L"\\Empty\\Nested\\Inner", L"n", L"1");   // kind 3, a non-empty subkey
  folder_.WriteFile(L"back.exe", "MZ");                                          // the program came back
  const std::vector<TFixRow> rows = {
      {L"Non-existent File or Folder", back, K + L"\\Vals\\Run", fkDeleteValue, true},
      {L"Non-existent File or Folder", L"Named\\Path", K + L"\\Vals", fkDeleteNamedValue, true},
      {L"Non-existent Sound File", back, K + L"\\Sound", fkDeleteDefaultValue, true},
      {L"ActiveX Issue", back, K + L"\\App", fkDeleteKey, true},
      {L"Empty Registry Keys", L"Filled", K + L"\\Empty", fkDeleteSubKey, true},
      {L"Empty Registry Keys", L"Nested", K + L"\\Empty", fkDeleteSubKey, true},
  };
  const std::vector<std::string> before = DumpTree(HKEY_CURRENT_USER, kBase);
  TFixRunResult r = Run(rows);
  EXPECT_EQ(r.Stop, fsFinished);
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(r.Rows[i].Outcome, foChanged) << "row " << i;
    EXPECT_EQ(r.Rows[i].Reason.rfind(kChangedSinceScan, 0), 0u) << "row " << i;
    EXPECT_TRUE(r.Rows[i].LeavesList());
  }
  EXPECT_EQ(r.Fixed, 0);
  EXPECT_EQ(r.Failed, 0);
  EXPECT_EQ(r.Skipped, 6);
  EXPECT_EQ(r.Changed, 6);
  EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kBase), before) << "a stale row was deleted";
  EXPECT_EQ(r.BackupEntries, 0);
  EXPECT_FALSE(FileExists(r.BackupFile)) << "a backup file was made with nothing in it";
  EXPECT_EQ(FixCountLine(r), L"Fix errors finished! 0 fixed, 6 skipped (6 changed since the scan).");
  EXPECT_EQ(FixBackupLine(r), L"No backup file was written.");
  EXPECT_EQ(FixRowReasonLines(rows, r, true).size(), 6u);
  EXPECT_TRUE(FixRowReasonLines(rows, r, false).empty());
}

TEST_F(FixRecheck, RowsStillBadAreFixedBesideStaleOnes) {
  const std::wstring gone = folder_.Sub(L"gone\\tool.exe");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Bad", gone);
  SetString(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Args", L"\"" + gone + L"\" -x");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Empty\\Hollow\\EmptyChild");  // only an empty subkey: still empty
  SetString(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Back", folder_.Path());  // a folder that exists
  // A command line naming a second, existing path: only the cut reading judges it.
  SetString(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Two", gone + L" " + folder_.Path());
  const std::vector<TFixRow> rows = {
      {L"P", gone, K + L"\\Vals\\Bad", fkDeleteValue, true},
      {L"P", gone, K + L"\\Vals\\Args", fkDeleteValue, true},
      {L"Empty Registry Keys", L"Hollow", K + L"\\Empty", fkDeleteSubKey, true},
      {L"P", folder_.Path(), K + L"\\Vals\\Back", fkDeleteValue, true},
      {L"P", gone, K + L"\\Vals\\Two", fkDeleteValue, true},
  };
  TFixRunResult r = Run(rows);
  const TFixOutcome expected[] = {foFixed, foFixed, foFixed, foChanged, foFixed};
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(r.Rows[i].Outcome, expected[i]) << "row " << i;
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Bad"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kBase + L"\\Empty\\Hollow"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Vals", L"Back"));
  EXPECT_EQ(r.BackupEntries, 4);
  EXPECT_EQ(FixBackupLine(r), L"Backup file: " + r.BackupFile);
  EXPECT_EQ(FixCountLine(r), L"Fix errors finished! 4 fixed, 1 skipped (1 changed since the scan).");
}

TEST(FixReport, FailedRowsCarryTheirReasonsAndTheLineSaysSo) {
  std::vector<TFixRow> rows = {{L"P", L"d", L"HKEY_CURRENT_USER\\A", fkDeleteKey, true},
                               {L"P", L"", L"HKEY_CURRENT_USER\\B", fkDeleteKey, true}};
  TFixRunResult r;
  r.Rows = {{foFailed, L"Access is denied."}, {foFixed, {}}};
  r.Fixed = 1;
  r.Failed = 1;
  EXPECT_EQ(FixCountLine(r), L"Fix errors finished! 1 fixed, 1 could not be fixed.");
  EXPECT_EQ(FixRowReasonLines(rows, r, false),
            std::vector<std::wstring>{L"Not fixed: HKEY_CURRENT_USER\\A (d) - Access is denied."});
  std::vector<std::wstring> many(12, L"x");
  EXPECT_EQ(JoinReasonLines(many, 10), L"x\r\nx\r\nx\r\nx\r\nx\r\nx\r\nx\r\nx\r\nx\r\nx\r\n... and 2 more.");
}
