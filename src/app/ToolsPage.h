// The Tools page: the startup-programs manager, the launchers of the
// index.dat viewer, the full registry backup and Windows Backup, and the help
// menu with the web pages and the About box. The main window owns the
// controls and hands them in.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "registry/startup/StartupList.h"
#include "skin/controls/Buttons.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/StdControls.h"
#include "ui/ToolTip.h"

namespace app {

class TToolsPage {
 public:
  struct Controls {
    skin::TskButton& bStartup;
    skin::TskButton& bViewHistory;
    skin::TskButton& bBackupFullRegistry;
    skin::TskButton& bWindowsBackup;
    ui::ListView& lvStartup;
    skin::TskButton& bDeleteEntry;
    skin::TskButton& bSelectAll;
    skin::TskButton& bSelectNone;
  };

  TToolsPage(HWND owner, Controls controls);

  BYTE FWindowsVersion = 0;

  // Startup manager.
  void bStartupClick();
  void bSelectAllClick() { SetAllTicks(true); }
  void bSelectNoneClick() { SetAllTicks(false); }
  // Deletes the ticked entries, registry values after their backup; an entry
  // that could not be deleted keeps its row and is reported.
  void bDeleteEntryClick();
  const std::vector<registry::TStartupEntry>& Entries() const { return entries_; }
  // The backup file of the last deletion (empty before one).
  const std::wstring& LastBackupFile() const { return backupFile_; }

  // Launchers.
  void bViewHistoryClick();
  void bBackupFullRegistryClick();
  void bWindowsBackupClick();

  // Help menu, header links and the tray menu's items.
  void BuildHelpMenu(ui::PopupMenu& pmHelp);
  // Opens the help menu at the mouse, or beside `button` when the mouse is elsewhere.
  void bHelpClick(const ui::PopupMenu& pmHelp, HWND button = nullptr);
  void aHelpExecute();
  void aAboutExecute();
  void Homepage1Click();
  void CheckforUpdate1Click();
  void Donate1Click();
  void Image1Click() { Homepage1Click(); }

  // Seams: the save dialog of the full backup and how the editor runs.
  std::function<bool(HWND owner, std::wstring* name)> ChooseFullBackupName;
  std::function<bool(HWND owner, const std::wstring& commandLine, const std::wstring& hint)> RunCommand;

 private:
  void SetAllTicks(bool ticked);
  bool PrepareBackupFolder(const std::wstring& folder);
  void CreateHints();

  HWND owner_;
  Controls c_;
  std::vector<registry::TStartupEntry> entries_;  // parallel to the rows of lvStartup
  std::wstring backupFile_;
  std::array<ui::ToolTip, 6> hints_;
};

}  // namespace app
