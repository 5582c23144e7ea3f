// The registry page with a real scan of one small section.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>

#include "AppTestSupport.h"
#include "support/Registry.h"
#include "app/Main.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"
#include "sys/RegistryKey.h"

namespace {

using app_test::Pump;
using app_test::PumpUntil;

// A left click on the check box of `row`, found with the list's own hit test.
void ClickBox(ui::ListView& list, int row) {
  RECT r{LVIR_BOUNDS, 0, 0, 0};
  list.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
  LVHITTESTINFO hit{{r.left, (r.top + r.bottom) / 2}};
  auto onBox = [&] { return list.Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row && (hit.flags & LVHT_ONITEMSTATEICON); };
  while (hit.pt.x < r.right && !onBox()) ++hit.pt.x;
  ASSERT_LT(hit.pt.x, r.right) << "no check box on row " << row;
  list.Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
  list.Post(WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
}

class RegistryPage : public ::testing::Test, public ui::IMessageBoxAnswerer {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_test::OpenMainWindow(form, &form.bRegistry));
    previous = ui::SetMessageBoxAnswerer(this);
  }
  int Answer(HWND, const std::wstring& text, UINT) override {
    boxes.push_back(text);
    return boxAnswer;
  }
  void TearDown() override {
    ui::SetMessageBoxAnswerer(previous);
    app_test::CloseMainWindow(form);
  }
  // Ticks only the section with this id.
  void TickOnly(int id) {
    form.WalkRegistryTree(form.tvRegistry.First(), 1);
    form.tvRegistry.ForEach([&](ui::TreeNode n) {
      if (form.tvRegistry.ImageIndex(n) == id) form.tvRegistry.SetStateIndex(n, 2);
    });
  }
  // Backups go to %TEMP%\<name>, made here when `make`; no restore point is asked for.
  std::wstring BackupTo(const std::wstring& name, bool make = true) {
    core::OptionsSetting.OutputDirectory = app_test::TempPath(name);
    if (make) ::CreateDirectoryW(core::OptionsSetting.OutputDirectory.c_str(), nullptr);
    core::OptionsSetting.RestorePoint = false;
    return core::OptionsSetting.OutputDirectory;
  }
  bool WaitScanEnd() {
    for (int i = 0; i < 600 && form.Scanning(); ++i) Pump(50);
    Pump(100);
    return !form.Scanning();
  }
  app::TfrmMain form;
  std::vector<std::wstring> boxes;
  int boxAnswer = IDOK;
  ui::IMessageBoxAnswerer* previous = nullptr;
};

TEST_F(RegistryPage, NothingTickedShowsTheMessageAndKeepsTheOldRows) {
  form.AddScanRow({L"P", L"D", L"HKEY_CURRENT_USER\\X", registry::fkDeleteKey});
  form.WalkRegistryTree(form.tvRegistry.First(), 1);
  form.bScanClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], L"Please select the sections which you want to scan from the left list.");
  EXPECT_EQ(form.lvRegistryData.Count(), 1);
  EXPECT_FALSE(form.Scanning());
}

TEST_F(RegistryPage, AScanFindsASeededBadAppPathTicksItAndCountsIt) {
  sys::RegistryKey k;
  const std::wstring sub = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vantorel-missing-app.exe";
  ASSERT_TRUE(k.Create(HKEY_LOCAL_MACHINE, sub));
  ASSERT_TRUE(k.WriteString(L"", L"C:\\no\\such\\folder\\vantorel-missing-app.exe"));
  k.Close();
  TickOnly(8);
  form.bScanClick();
  EXPECT_EQ(form.bScan.Text(), L"Cancel");
  EXPECT_FALSE(form.bFixErrors.Enabled()) << "no fix while a scan runs";
  ASSERT_TRUE(WaitScanEnd());
  EXPECT_EQ(form.bScan.Text(), L"Scan");
  EXPECT_TRUE(form.bFixErrors.Enabled());
  bool found = false;
  for (int i = 0; i < form.lvRegistryData.Count(); ++i) {
    EXPECT_TRUE(form.lvRegistryData.Checked(i)) << "every row is ticked after a scan";
    found = found || form.ScanRows()[static_cast<size_t>(i)].RegistryKey.find(L"vantorel-missing-app.exe") != std::wstring::npos;
  }
  EXPECT_TRUE(found);
  int n = form.lvRegistryData.Count();
  EXPECT_EQ(form.lStatusBar.Text(), L" " + std::to_wstring(n) + L" Errors Found,  " + std::to_wstring(n) + L" Errors Selected.");
  EXPECT_EQ(form.ProgressBar2.Caption(), L"Finished!");
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, sub.c_str());
}

TEST_F(RegistryPage, CancelEndsTheScanOnceAndLeavesThePageUsable) {
  form.WalkRegistryTree(form.tvRegistry.First(), 2);  // everything, so there is time to cancel
  form.bScanClick();
  ASSERT_TRUE(form.Scanning());
  Pump(200);
  DWORD start = ::GetTickCount();
  form.bScanClick();  // cancel
  ASSERT_TRUE(WaitScanEnd());
  EXPECT_LT(::GetTickCount() - start, 5000u);
  EXPECT_EQ(form.bScan.Text(), L"Scan");
  EXPECT_TRUE(form.bScan.Enabled());
  EXPECT_TRUE(form.tvRegistry.Enabled());
}

TEST_F(RegistryPage, TheEditorOpensTheKeyOrTheValueBelowIt) {
  auto recorder = std::make_shared<app_test::NavigatorRecorder>();
  const std::vector<std::wstring>& opened = recorder->opened;
  form.SetRegeditNavigator(recorder);
  sys::RegistryKey k;
  ASSERT_TRUE(k.Create(HKEY_CURRENT_USER, L"Software\\VantorelEditorTest"));
  ASSERT_TRUE(k.WriteString(L"Val", L"x"));
  form.OpenKeyInRegedit(L"HKCU\\Software\\VantorelEditorTest");
  form.OpenKeyInRegedit(L"HKEY_CURRENT_USER\\Software\\VantorelEditorTest\\Val");
  form.OpenKeyInRegedit(L"HKEY_CURRENT_USER\\Software\\VantorelEditorTest\\Nothing");
  form.OpenKeyInRegedit(L"C:\\file.lnk");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], L"HKEY_CURRENT_USER|Software\\VantorelEditorTest|");
  EXPECT_EQ(opened[1], L"HKEY_CURRENT_USER|Software\\VantorelEditorTest|Val");
  EXPECT_EQ(boxes.size(), 2u);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VantorelEditorTest");
}

}  // namespace

namespace {

TEST_F(RegistryPage, FixErrorsBacksUpThenDeletesTheTickedRowsAndKeepsTheRest) {
  const std::wstring base = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
  for (const wchar_t* name : {L"vantorel-fix-a.exe", L"vantorel-fix-b.exe"}) {
    sys::RegistryKey k;
    ASSERT_TRUE(k.Create(HKEY_LOCAL_MACHINE, base + name));
    ASSERT_TRUE(k.WriteString(L"", std::wstring(L"C:\\no\\such\\folder\\") + name));
  }
  TickOnly(8);
  form.bScanClick();
  ASSERT_TRUE(WaitScanEnd());
  // Untick everything but row a.
  int rowA = -1;
  for (int i = 0; i < form.lvRegistryData.Count(); ++i) {
    bool isA = form.ScanRows()[static_cast<size_t>(i)].RegistryKey.find(L"vantorel-fix-a.exe") != std::wstring::npos;
    form.lvRegistryData.SetChecked(i, isA);
    if (isA) rowA = i;
  }
  ASSERT_GE(rowA, 0);
  int before = form.lvRegistryData.Count();
  BackupTo(L"vantorel-fix-backup", false);
  boxes.clear();
  boxAnswer = IDYES;  // create the missing backup folder
  form.bFixErrorsClick();
  EXPECT_EQ(form.lvRegistryData.Count(), before - 1);
  // The count line says where the backup went.
  const std::wstring status = form.lStatusBar.Text();
  EXPECT_EQ(status.rfind(L"Fix errors finished! Backup file: " + core::OptionsSetting.OutputDirectory + L"\\", 0), 0u)
      << std::string(status.begin(), status.end());
  // The section reports the bad path value; the fix deletes that value.
  sys::RegistryKey k;
  std::wstring value;
  EXPECT_FALSE(k.Open(HKEY_LOCAL_MACHINE, base + L"vantorel-fix-a.exe") && k.ReadString(L"", &value))
      << "the ticked row's value is still there";
  EXPECT_TRUE(k.Open(HKEY_LOCAL_MACHINE, base + L"vantorel-fix-b.exe") && k.ReadString(L"", &value))
      << "an unticked row's value was deleted";
  WIN32_FIND_DATAW fd{};
  HANDLE h = ::FindFirstFileW((core::OptionsSetting.OutputDirectory + L"\\*.reg").c_str(), &fd);
  EXPECT_NE(h, INVALID_HANDLE_VALUE) << "no .reg backup was written";
  if (h != INVALID_HANDLE_VALUE) ::FindClose(h);
  k.Close();
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (base + L"vantorel-fix-a.exe").c_str());
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (base + L"vantorel-fix-b.exe").c_str());
}

}  // namespace

namespace {

TEST_F(RegistryPage, RowsThatCannotBeFixedAreListedWithTheirReasonsAndStay) {
  // A key path with an empty part is never deleted: the row fails, with its reason.
  form.AddScanRow({L"ActiveX Issue", L"d", L"HKEY_CURRENT_USER\\Software\\\\VantorelReasons", registry::fkDeleteKey});
  form.lvRegistryData.SetChecked(0, true);
  BackupTo(L"vantorel-fix-reasons");
  boxes.clear();
  form.bFixErrorsClick();
  EXPECT_EQ(form.lvRegistryData.Count(), 1) << "a row that was not fixed left the list";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(L"Not fixed: HKEY_CURRENT_USER\\Software\\\\VantorelReasons (d) - "), std::wstring::npos);
  EXPECT_NE(boxes[0].find(L"No backup file was written."), std::wstring::npos);
  EXPECT_EQ(form.lStatusBar.Text(), L"Fix errors finished! 0 fixed, 1 could not be fixed. No backup file was written.");
  ::RemoveDirectoryW(core::OptionsSetting.OutputDirectory.c_str());
}

// With nothing in the list, a missing backup folder is still asked about
// first; the run stops after the answer.
TEST_F(RegistryPage, FixErrorsOnAnEmptyListAsksAboutTheMissingBackupFolderFirst) {
  const std::wstring folder = BackupTo(L"vantorel-fix-empty", false);
  ::RemoveDirectoryW(folder.c_str());
  const std::wstring line = form.lStatusBar.Text();
  for (int answer : {IDNO, IDYES}) {
    boxes.clear();
    boxAnswer = answer;
    form.bFixErrorsClick();
    EXPECT_EQ(boxes, std::vector<std::wstring>{folder + L",can not find the backup folder.\r\ncreates a new directory?"});
    DWORD a = ::GetFileAttributesW(folder.c_str());
    EXPECT_EQ(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY), answer == IDYES) << answer;
    EXPECT_EQ(form.lStatusBar.Text(), line) << "no count line for an empty list";
  }
  EXPECT_EQ(form.lvRegistryData.Count(), 0);
  ::RemoveDirectoryW(folder.c_str());
}

TEST_F(RegistryPage, TheCountLineFollowsATickChangedByMouseKeyboardMenuOrCode) {
  for (const wchar_t* key : {L"HKEY_CURRENT_USER\\A", L"HKEY_CURRENT_USER\\B", L"HKEY_CURRENT_USER\\C"})
    form.AddScanRow({L"P", L"D", key, registry::fkDeleteKey});
  ui::ListView& list = form.lvRegistryData;
  auto selectRow1 = [&] { ListView_SetItemState(list.Handle(), 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED); };
  const struct {
    const char* way;
    std::function<void()> untickRow1;
  } ways[] = {
      {"a click on the box", [&] { ClickBox(list, 1); }},
      {"Space", [&] { selectRow1(); ::SetFocus(list.Handle()); app_test::PressFocused(VK_SPACE); }},
      {"the menu", [&] { selectRow1(); EXPECT_TRUE(form.PopupMenu1.Choose(L"&Deselect Item")); }},
      {"code", [&] { list.SetChecked(1, false); }},
  };
  for (const auto& w : ways) {
    form.aSelectAllExecute();
    EXPECT_EQ(form.lStatusBar.Text(), L" 3 Errors Found,  3 Errors Selected.") << w.way;
    w.untickRow1();
    Pump(50);
    EXPECT_FALSE(list.Checked(1)) << w.way;
    EXPECT_EQ(form.lStatusBar.Text(), L" 3 Errors Found,  2 Errors Selected.") << w.way;
  }
}

TEST_F(RegistryPage, RowsUntickedWithDownAndSpaceAreCountedAndLeftByTheFix) {
  const std::wstring base = L"Software\\VantorelKeyboardFix\\";
  for (int i = 0; i < 6; ++i) {
    testing_support::CreateKey(HKEY_CURRENT_USER, base + std::to_wstring(i));
    form.AddScanRow({L"P", L"D", L"HKEY_CURRENT_USER\\" + base + std::to_wstring(i), registry::fkDeleteKey});
  }
  form.aSelectAllExecute();
  ::SetFocus(form.tvRegistry.Handle());
  app_test::PressFocused(VK_TAB);
  ASSERT_EQ(::GetFocus(), form.lvRegistryData.Handle());
  for (int row = 0; row < 4; ++row) {
    if (row > 0) app_test::PressFocused(VK_DOWN);
    app_test::PressFocused(VK_SPACE);
  }
  EXPECT_EQ(form.lStatusBar.Text(), L" 6 Errors Found,  2 Errors Selected.");
  BackupTo(L"vantorel-keyboard-fix");
  form.bFixErrorsClick();
  EXPECT_EQ(form.lvRegistryData.Count(), 4);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(testing_support::KeyExists(HKEY_CURRENT_USER, base + std::to_wstring(i)), i < 4) << "key " << i;
  testing_support::DeleteTree(HKEY_CURRENT_USER, L"Software\\VantorelKeyboardFix");
}

// Dark pixels the screen shows inside `window`: the text a person reads there.
int TextPixelsOnScreen(HWND window) {
  return app_test::PixelsShown(window, [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300; });
}

// At the window's smallest size the fix result reads whole: every stroke of
// its text shows, as many as with all the room it could want, and the
// section tree ends above it.
TEST_F(RegistryPage, TheFixResultShowsWholeAtTheSmallestWindowSize) {
  const std::wstring text =
      L"Fix errors finished! 8 fixed, 2 could not be fixed. Backup file: "
      L"C:\\Program Files\\Vantorel\\Backup\\2026_12_07_175401.reg";
  ::SetWindowPos(form.Handle(), HWND_TOP, 0, 0, 626, 455, SWP_NOMOVE);
  Pump(100);
  form.lStatusBar.SetCaption(text);
  form.Registry.ArrangeStatus();
  Pump(100);
  const int shown = TextPixelsOnScreen(form.lStatusBar.Handle());
  EXPECT_LE(form.tvRegistry.Bottom(), form.pRegistryStatus.Top());
  // The same line in a panel far taller than it needs, over everything else.
  ::SetWindowPos(form.pRegistryStatus.Handle(), HWND_TOP, form.pRegistryStatus.Left(), 0, form.pRegistryStatus.Width(),
                 300, 0);
  form.lStatusBar.SetHeight(290);
  Pump(100);
  const int whole = TextPixelsOnScreen(form.lStatusBar.Handle());
  EXPECT_GT(whole, 300) << "the text shows at all";
  EXPECT_EQ(shown, whole);
}

}  // namespace
