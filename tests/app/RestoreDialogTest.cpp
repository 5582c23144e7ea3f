// The backup dialog over a folder of backups: its list, a restore through the
// registry editor and the wait dialog, and the file deleted only once every
// entry is back.
#include <gtest/gtest.h>

#include <algorithm>

#include "AppTestSupport.h"
#include "app/BackupHint.h"
#include "app/RestoreForm.h"
#include "core/Options.h"
#include "registry/fix/FixDelete.h"
#include "registry/restore/RestoreRun.h"
#include "registry_fix/FixTestSupport.h"
#include "ui/Application.h"

namespace {

using namespace fix_test;

const std::wstring kKey = std::wstring(kTestKey) + L"\\RestoreDialog";

class RestoreDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Application::Instance().Initialize();
    DeleteTree(HKEY_CURRENT_USER, kTestKey);
    saved = core::OptionsSetting;
    core::OptionsSetting.OutputDirectory = dir.Path();
    dir.WriteFile(L"2026_11_30_235959.REG", "REGEDIT4\r\n");
    dir.WriteFile(L"notes.txt", "x");
    SetString(HKEY_CURRENT_USER, kKey, L"Kept", L"C:\\kept.exe");
    EXPECT_TRUE(registry::DeleteValueWithBackup(L"HKEY_CURRENT_USER", kKey, true, L"Kept", newest).Deleted());
  }
  void TearDown() override {
    core::OptionsSetting = saved;
    DeleteTree(HKEY_CURRENT_USER, kTestKey);
  }
  std::vector<std::wstring> Names(const app::TfrmRestore& f) {
    std::vector<std::wstring> names;
    for (int i = 0; i < f.ListView1.Count(); ++i) names.push_back(f.ListView1.CellText(i, 0));
    return names;
  }

  TTempFolder dir{L"VantorelRestoreDialog"};
  std::wstring newest = dir.Sub(L"2026_12_06_080509.reg");
  core::TOptionsSetting saved;
  TMessageRecorder boxes{IDOK};
};

TEST_F(RestoreDialog, ListsBackupsNewestFirstWithTheirSizes) {
  app::TfrmRestore f;
  ASSERT_TRUE(f.CreateRestore(nullptr));
  EXPECT_EQ(Names(f), (std::vector<std::wstring>{L"2026_12_06_080509.reg", L"2026_11_30_235959.REG"}));
  EXPECT_EQ(f.ListView1.CellText(1, 2), L"1 KB");
  EXPECT_EQ(f.eFolder.Text(), dir.Path());
  EXPECT_FALSE(f.bRestore.Enabled());  // nothing selected yet
  f.ListView1.SelectRow(1);
  EXPECT_TRUE(f.bRestore.Enabled() && f.bDelete.Enabled());
}

TEST_F(RestoreDialog, TheFolderBoxIsAFlatReadOnlyEditAndTheDatesFitTheirColumn) {
  app::TfrmRestore f;
  ASSERT_TRUE(f.CreateRestore(nullptr));
  EXPECT_NE(0, ::GetWindowLongW(f.eFolder.Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(0, ::GetWindowLongW(f.eFolder.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "no sunken border";
  const std::wstring date = f.ListView1.CellText(0, 1);
  const int need = static_cast<int>(f.ListView1.Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(date.c_str())));
  const int width = static_cast<int>(f.ListView1.Send(LVM_GETCOLUMNWIDTH, 1));
  EXPECT_GT(need + 12, 110) << "a date wider than the column's first width";
  EXPECT_GE(width, need + 12);
  EXPECT_GE(static_cast<int>(f.ListView1.Send(LVM_GETCOLUMNWIDTH, 2)), 92) << "never narrower than at first";
}

TEST_F(RestoreDialog, RestoreBringsTheValueBackAndThenDeletesTheFile) {
  core::OptionsSetting.DeleteBackupFile = true;
  ASSERT_FALSE(ValueExists(HKEY_CURRENT_USER, kKey, L"Kept"));
  app::TfrmRestore f;
  ASSERT_TRUE(f.CreateRestore(nullptr));
  f.ListView1.SelectRow(0);
  f.aRestoreExecute();  // the real editor, under the wait dialog
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kKey, L"Kept"));
  EXPECT_FALSE(FileExists(newest));
  EXPECT_EQ(Names(f), (std::vector<std::wstring>{L"2026_11_30_235959.REG"}));
  EXPECT_EQ(f.ListView1.Selected(), 0);
  EXPECT_TRUE(boxes.Messages.empty());
}

// The pairs of a cut name stay whole.
bool NoLoneSurrogate(const std::wstring& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (IS_LOW_SURROGATE(s[i])) return false;
    if (IS_HIGH_SURROGATE(s[i]) && (++i == s.size() || !IS_LOW_SURROGATE(s[i]))) return false;
  }
  return true;
}

// After an editor that imports nothing, the file is kept and its missing
// entry counted and named: a name of any length cut to a readable one (a
// message naming millions of characters once held the program for minutes).
TEST_F(RestoreDialog, AFileWhoseEntriesAreNotBackIsKept) {
  core::OptionsSetting.DeleteBackupFile = true;
  const std::string section = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VantorelFixTest\\RestoreDialog]\r\n";
  const std::wstring key = L"HKEY_CURRENT_USER\\" + kKey + L"\\";
  std::string emoji;
  for (int i = 0; i < 250000; ++i) emoji += "\xF0\x9F\x98\x80";
  const std::wstring one = L"1 entry of the backup is not in the registry";
  // Sixty megabytes of headers naming no key: one key, missing, named once.
  // The check once kept each as a string until memory ran out and the
  // program ended.
  const size_t headers = (60u << 20) / 3;
  std::string empties = "REGEDIT4\r\n";
  for (size_t i = 0; i < headers; ++i) empties += "[\r\n";
  const struct {
    const wchar_t* file;
    std::string text;              // empty: the fix's backup made at set-up
    std::wstring starts, ends;     // of the entry the message names
    std::wstring says;             // the message's start
  } rows[] = {
      {L"2026_12_06_080509.reg", "", key + L"Kept", key + L"Kept", one},
      {L"2026_12_07_000000.reg", section + "\"a" + std::string(1 << 20, 'n') + "z\"=\"x\"\r\n", key + L"annn", L"nnz",
       one},
      {L"2026_12_08_000000.reg", "\xEF\xBB\xBF" + section + "\"" + emoji + "\"=\"x\"\r\n", key + L"\U0001F600",
       L"\U0001F600", one},
      {L"2026_12_09_000000.reg", std::move(empties), L"", L"", one},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::wstring file = row.text.empty() ? newest : dir.WriteFile(row.file, row.text);
    boxes.Messages.clear();
    app::TfrmRestore f;
    ASSERT_TRUE(f.CreateRestore(nullptr));
    const int count = f.ListView1.Count();
    std::wstring ran;
    DWORD editorEnded = 0;
    // An editor that ends at once and imports nothing.
    f.RunCommand = [&ran, &editorEnded](HWND, const std::wstring& cmd, const std::wstring&) {
      ran = cmd;
      editorEnded = ::GetTickCount();
      return true;
    };
    const std::vector<std::wstring> names = Names(f);
    f.ListView1.SelectRow(static_cast<int>(std::find(names.begin(), names.end(), row.file) - names.begin()));
    f.aRestoreExecute();
    EXPECT_LT(::GetTickCount() - editorEnded, 10000u) << "the message came late";
    EXPECT_NE(ran.find(L"regedit.exe\" /s \"" + file + L"\""), std::wstring::npos) << ran;
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(f.ListView1.Count(), count);
    ASSERT_EQ(boxes.Messages.size(), 1u);
    const std::wstring& text = boxes.Messages[0].Text;
    EXPECT_NE(text.find(L"kept"), std::wstring::npos);
    EXPECT_EQ(text.rfind(row.says, 0), 0u) << text.substr(0, 100);
    const std::wstring named = text.substr(text.rfind(L'\n') + 1);
    EXPECT_LE(named.size(), registry::kMessageNameChars);
    EXPECT_EQ(named.rfind(row.starts, 0), 0u) << named.substr(0, 100);
    EXPECT_EQ(named.substr(named.size() - std::min(named.size(), row.ends.size())), row.ends);
    EXPECT_TRUE(NoLoneSurrogate(named));
  }
}

TEST_F(RestoreDialog, AFileThatWouldDeleteIsNotImported) {
  dir.WriteFile(L"2027_01_01_000000.reg", "REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\VantorelFixTest]\r\n");
  app::TfrmRestore f;
  ASSERT_TRUE(f.CreateRestore(nullptr));
  bool ran = false;
  f.RunCommand = [&ran](HWND, const std::wstring&, const std::wstring&) { return ran = true; };
  f.ListView1.SelectRow(0);
  f.aRestoreExecute();
  EXPECT_FALSE(ran);
  ASSERT_EQ(boxes.Messages.size(), 1u);
  EXPECT_NE(boxes.Messages[0].Text.find(L"(line 3)"), std::wstring::npos) << boxes.Messages[0].Text;
  EXPECT_TRUE(FileExists(dir.Sub(L"2027_01_01_000000.reg")));
}

TEST_F(RestoreDialog, WithDeleteBackupFileOffTheRestoredFileStays) {
  core::OptionsSetting.DeleteBackupFile = false;
  app::TfrmRestore f;
  ASSERT_TRUE(f.CreateRestore(nullptr));
  f.ListView1.SelectRow(0);
  f.aRestoreExecute();
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kKey, L"Kept"));
  EXPECT_TRUE(FileExists(newest));
  EXPECT_EQ(f.ListView1.Count(), 2);
  EXPECT_TRUE(boxes.Messages.empty());
}

TEST_F(RestoreDialog, DeleteSelectsTheNextRowOrTheLast) {
  dir.WriteFile(L"2026_10_01_000000.reg", "REGEDIT4\r\n");
  app::TfrmRestore f;
  ASSERT_TRUE(f.CreateRestore(nullptr));
  f.ListView1.SelectRow(1);
  f.aDeleteExecute();
  EXPECT_FALSE(FileExists(dir.Sub(L"2026_11_30_235959.REG")));
  EXPECT_EQ(f.ListView1.Selected(), 1);
  f.aDeleteExecute();
  EXPECT_EQ(f.ListView1.Selected(), 0);
  EXPECT_EQ(Names(f), (std::vector<std::wstring>{L"2026_12_06_080509.reg"}));
}

TEST(BackupHint, TheBarSlowsDownNearItsEnd) {
  const std::pair<int, int> cases[] = {{0, 10}, {300, 310}, {301, 306}, {400, 405}, {450, 453},
                                       {451, 453}, {490, 492}, {499, 500}, {501, 501}};
  for (const auto& c : cases) EXPECT_EQ(app::TfrmBackupHint::NextPosition(c.first), c.second) << c.first;
}

TEST(BackupHint, StopEndsTheProgramAndCountsAsNotDone) {
  ui::Application::Instance().Initialize();
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  // A program that runs until it is killed stands in for a slow editor.
  const std::wstring cmd = L"\"" + std::wstring(windows) + L"\\notepad.exe\"";
  TWindowClicker stop(L"TfrmBackupHint", L"Stop", 1200);
  DWORD start = ::GetTickCount();
  EXPECT_FALSE(app::RunRegeditCommand(nullptr, cmd, L"Restore registry..."));
  EXPECT_TRUE(stop.Seen());
  EXPECT_LT(::GetTickCount() - start, 20000u);
  EXPECT_EQ(::FindWindowW(L"Notepad", nullptr), nullptr);
}

TEST(BackupHint, AMissingProgramIsReportedAndNothingRuns) {
  TMessageRecorder boxes(IDOK);
  EXPECT_FALSE(app::RunRegeditCommand(nullptr, L"\"C:\\no\\such\\regedit.exe\" /s \"x.reg\"", L"Restore registry..."));
  ASSERT_EQ(boxes.Messages.size(), 1u);
  EXPECT_EQ(boxes.Messages[0].Text, L"Please check if Regedit.exe exists.");
}

}  // namespace
