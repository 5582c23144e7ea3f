// The Tools page in the main window: the startup manager over the test
// prefix, the full backup, and the pages the help menu, the header and the
// tray menu open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <map>

#include "AppTestSupport.h"
#include "app/Main.h"
#include "app/WebPages.h"
#include "core/Options.h"
#include "registry/startup/StartupList.h"
#include "registry_fix/FixTestSupport.h"
#include "ui/Application.h"
#include "support/Shortcuts.h"
#include "support/TestSupport.h"

using testing_support::MakeShellLink;

namespace {

using namespace fix_test;
using app_test::Pump;

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RecordingPages : public app::IWebPages {
 public:
  void Open(HWND, const std::wstring& address) override { Opened.push_back(address); }
  std::vector<std::wstring> Opened;
};

class ToolsPage : public ::testing::Test {
 protected:
  void SetUp() override {
    startup = registry::GetSpecialFolder(CSIDL_STARTUP);
    ::SHCreateDirectoryExW(nullptr, startup.c_str(), nullptr);
    Clean();
    ASSERT_TRUE(app_test::OpenMainWindow(form, &form.bTools));
    core::OptionsSetting.OutputDirectory = backups.Path();
    previousPages = app::SetWebPages(pages);
  }
  void TearDown() override {
    app::SetWebPages(previousPages);
    app_test::CloseMainWindow(form);
    Clean();
  }
  void Clean() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      for (const wchar_t* n : {L"VantorelTool", L"VantorelNumber"}) ::RegDeleteValueW(key, n);
      ::RegCloseKey(key);
    }
    ::DeleteFileW((startup + L"VantorelTool.lnk").c_str());
    ::RemoveDirectoryW((startup + L"VantorelTool.lnk").c_str());
  }
  // A click at this point of the window goes to the control a user sees there.
  void ClickWhereShown(int x, int y) {
    POINT pt{x, y};
    HWND at = ::ChildWindowFromPointEx(form.Handle(), pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    ::MapWindowPoints(form.Handle(), at, &pt, 1);
    ::SendMessageW(at, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    ::SendMessageW(at, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  }
  int Row(const std::wstring& name) {
    int found = -1;
    for (int i = 0; i < form.lvStartup.Count(); ++i) {
      if (form.lvStartup.CellText(i, 0) != name) continue;
      EXPECT_EQ(found, -1) << "twice: " << std::string(name.begin(), name.end());
      found = i;
    }
    return found;
  }

  std::wstring startup;
  TTempFolder backups{L"VantorelToolsBackup"};
  TMessageRecorder boxes{IDNO};
  std::shared_ptr<RecordingPages> pages = std::make_shared<RecordingPages>();
  std::shared_ptr<app::IWebPages> previousPages;
  app::TfrmMain form;
};

TEST_F(ToolsPage, StartupListDeletesTickedEntriesWithTheirBackup) {
  SetString(HKEY_CURRENT_USER, kRun, L"VantorelTool", L"C:\\tool.exe /tray");
  SetDword(HKEY_CURRENT_USER, kRun, L"VantorelNumber", 7);
  ASSERT_TRUE(MakeShellLink(startup + L"VantorelTool.lnk", L"C:\\windows\\notepad.exe"));
  form.bStartup.OnClick();
  form.bStartup.OnClick();  // refreshed: still once each
  int value = Row(L"VantorelTool");
  int link = Row(L"VantorelTool.lnk");
  ASSERT_GE(value, 0);
  ASSERT_GE(link, 0);
  EXPECT_EQ(Row(L"VantorelNumber"), -1);
  EXPECT_EQ(form.lvStartup.CellText(value, 1), L"C:\\tool.exe /tray");
  EXPECT_EQ(form.lvStartup.CellText(link, 2), L"Startup");
  const int rows = form.lvStartup.Count();

  form.lvStartup.SetChecked(value, true);
  form.lvStartup.SetChecked(link, true);
  form.bDeleteEntry.OnClick();
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRun, L"VantorelTool"));
  EXPECT_FALSE(FileExists(startup + L"VantorelTool.lnk"));
  EXPECT_EQ(form.lvStartup.Count(), rows - 2);
  EXPECT_EQ(Row(L"VantorelTool"), -1);
  const std::wstring backup = form.ToolsPage().LastBackupFile();
  EXPECT_EQ(backup.compare(0, backups.Path().size(), backups.Path()), 0);
  EXPECT_NE(ReadFileBytes(backup).find("\"VantorelTool\"=\"C:\\\\tool.exe /tray\""), std::string::npos);
  EXPECT_TRUE(boxes.Messages.empty());
}

TEST_F(ToolsPage, AnEntryThatCouldNotBeDeletedKeepsItsRow) {
  ASSERT_TRUE(MakeShellLink(startup + L"VantorelTool.lnk", L"C:\\windows\\notepad.exe"));
  form.bStartup.OnClick();
  int link = Row(L"VantorelTool.lnk");
  ASSERT_GE(link, 0);
  // Replaced by a folder after the listing: the guarded delete refuses it.
  ASSERT_TRUE(::DeleteFileW((startup + L"VantorelTool.lnk").c_str()));
  ASSERT_TRUE(::CreateDirectoryW((startup + L"VantorelTool.lnk").c_str(), nullptr));
  form.bSelectNone.OnClick();
  form.lvStartup.SetChecked(link, true);
  form.bDeleteEntry.OnClick();
  EXPECT_EQ(Row(L"VantorelTool.lnk"), link);
  EXPECT_TRUE(form.lvStartup.Checked(link));
  ASSERT_EQ(boxes.Messages.size(), 1u);
  EXPECT_NE(boxes.Messages[0].Text.find(L"VantorelTool.lnk"), std::wstring::npos);
}

TEST_F(ToolsPage, FullBackupAddsTheExtensionAndAsksBeforeOverwriting) {
  std::vector<std::wstring> ran;
  form.ToolsPage().ChooseFullBackupName = [this](HWND, std::wstring* name) {
    *name = backups.Sub(L"all");
    return true;
  };
  form.ToolsPage().RunCommand = [&ran](HWND, const std::wstring& cmd, const std::wstring& hint) {
    ran.push_back(cmd);
    EXPECT_EQ(hint, L"Backup registry...");
    return true;
  };
  form.bBackupFullRegistry.OnClick();
  ASSERT_EQ(ran.size(), 1u);
  EXPECT_NE(ran[0].find(L"regedit.exe\" /e \"" + backups.Sub(L"all.reg") + L"\""), std::wstring::npos);
  EXPECT_FALSE(FileExists(backups.Sub(L"all.reg"))) << "the empty file made for the editor stayed";
  backups.WriteFile(L"all.reg", "old");
  form.bBackupFullRegistry.OnClick();  // answered No
  EXPECT_EQ(ran.size(), 1u);
  ASSERT_FALSE(boxes.Messages.empty());
  EXPECT_EQ(boxes.Messages.back().Text, backups.Sub(L"all.reg") + L" has existed,overite it?");
}

TEST_F(ToolsPage, FullBackupThroughTheRegistryEditorWritesTheFile) {
  form.ToolsPage().ChooseFullBackupName = [this](HWND, std::wstring* name) {
    *name = backups.Sub(L"full.Reg");
    return true;
  };
  form.bBackupFullRegistry.OnClick();
  EXPECT_NE(ReadFileBytes(backups.Sub(L"full.Reg")).size(), 0u);
  EXPECT_FALSE(FileExists(backups.Sub(L"full.Reg.reg")));
}

TEST_F(ToolsPage, FullBackupNeverWritesThroughALink) {
  TTempFolder outside(L"VantorelToolsOutside");
  const std::wstring victim = outside.WriteFile(L"victim.txt", "keep");
  const std::wstring made = outside.WriteFile(L"made.reg", "");
  if (!testing_support::MakeSymlink(victim, backups.Sub(L"live.reg"))) GTEST_SKIP() << "links can only be made under Wine";
  ASSERT_TRUE(testing_support::MakeSymlink(made, backups.Sub(L"dangling.reg")));
  ASSERT_TRUE(::DeleteFileW(made.c_str()));
  int ran = 0;
  form.ToolsPage().RunCommand = [&ran](HWND, const std::wstring&, const std::wstring&) { return ++ran, true; };
  TMessageRecorder yes(IDYES);
  for (const wchar_t* name : {L"live.reg", L"dangling.reg"}) {
    form.ToolsPage().ChooseFullBackupName = [&](HWND, std::wstring* chosen) { return *chosen = backups.Sub(name), true; };
    form.bBackupFullRegistry.OnClick();
    ASSERT_FALSE(yes.Messages.empty());
    EXPECT_NE(yes.Messages.back().Text.find(L"is a link"), std::wstring::npos);
  }
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(ReadFileBytes(victim), "keep");
  EXPECT_FALSE(FileExists(made));
  // A plain file named in another case is no link.
  backups.WriteFile(L"plain.reg", "old");
  form.ToolsPage().ChooseFullBackupName = [&](HWND, std::wstring* chosen) { return *chosen = backups.Sub(L"PLAIN"), true; };
  form.bBackupFullRegistry.OnClick();
  EXPECT_EQ(ran, 1) << yes.Messages.back().Text;
}

TEST_F(ToolsPage, HelpMenuHeaderAndTrayOpenTheirPages) {
  struct Case {
    std::function<void()> click;
    const wchar_t* page;
  };
  const Case cases[] = {
      {[this] { form.pmHelp.Choose(L"Online &Help"); }, app::kHelpPage},
      {[this] { form.pmHelp.Choose(L"H&omepage"); }, app::kHomePage},
      {[this] { form.pmHelp.Choose(L"&Check for Update"); }, app::kUpdatePage},
      {[this] { form.pmHelp.Choose(L"&Donate"); }, app::kDonatePage},
      {[this] { form.lUpdate.OnClick(); }, app::kUpdatePage},
      {[this] { form.lDonate.OnClick(); }, app::kDonatePage},
      {[this] { form.lTitle.OnClick(); }, app::kHomePage},
      {[this] { ClickWhereShown(form.Image1.Left() + 3, form.Image1.Bottom() - 3); }, app::kHomePage},
      {[this] { form.pmSelf.Choose(L"&Help"); }, app::kHelpPage},
  };
  for (const Case& c : cases) {
    pages->Opened.clear();
    c.click();
    ASSERT_EQ(pages->Opened.size(), 1u) << std::wstring(c.page).size();
    EXPECT_EQ(pages->Opened[0], c.page);
  }
}

TEST_F(ToolsPage, AboutBoxOpensFromTheTrayMenuAndCloses) {
  TWindowClicker ok(L"TfrmAbout", L"OK");
  ASSERT_TRUE(form.pmSelf.Choose(L"&About..."));
  EXPECT_TRUE(ok.Seen());
}

// The hint each tool window owned by `owner` gives its tool (a button).
struct HintSearch {
  HWND owner;
  std::map<HWND, std::wstring> texts;
};

BOOL CALLBACK CollectHints(HWND tip, LPARAM param) {
  auto* search = reinterpret_cast<HintSearch*>(param);
  wchar_t text[256] = {};
  TTTOOLINFOW info{sizeof(info)};
  if (::GetWindow(tip, GW_OWNER) != search->owner || !::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info)))
    return TRUE;
  info.lpszText = text;
  ::SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
  search->texts[reinterpret_cast<HWND>(info.uId)] = text;
  return TRUE;
}

TEST_F(ToolsPage, SixButtonsShowTheirHintsOnHover) {
  HintSearch search{form.Handle(), {}};
  ::EnumThreadWindows(::GetCurrentThreadId(), &CollectHints, reinterpret_cast<LPARAM>(&search));
  const std::pair<HWND, const wchar_t*> hints[] = {
      {form.bStartup.Handle(), L"Startup manager for Windows to optimize Windows startup configuration"},
      {form.bViewHistory.Handle(), L"Read the contents of your index.dat files"},
      {form.bWindowsBackup.Handle(), L"Use the windows backup tool to backup the system"},
      {form.bDeleteEntry.Handle(), L"Delete the selected entries"},
      {form.bSelectAll.Handle(), L"Select all entries in the list"},
      {form.bSelectNone.Handle(), L"Cancel all entries in the list"},
  };
  for (const auto& h : hints) EXPECT_EQ(search.texts[h.first], h.second);
  EXPECT_EQ(search.texts.count(form.bBackupFullRegistry.Handle()), 0u) << "this button has no hint";
}

}  // namespace
