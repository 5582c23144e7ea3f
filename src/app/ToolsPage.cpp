#include "app/ToolsPage.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "app/About.h"
#include "app/BackupHint.h"
#include "app/IndexDatViewer.h"
#include "app/UserFiles.h"
#include "app/WebPages.h"
#include "core/Options.h"
#include "core/guard/FileCreate.h"
#include "core/guard/FileDelete.h"
#include "registry/fix/FixRun.h"
#include "registry/fix/RegExport.h"
#include "registry/restore/BackupFiles.h"
#include "registry/restore/Regedit.h"
#include "skin/menus/DressMenu.h"
#include "ui/MessageBox.h"

namespace app {
namespace {

bool FileExists(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ChooseWithSaveDialog(HWND owner, std::wstring* name) {
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Registry backup files (*.reg)\0*.REG\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = L"Save full registry";
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetSaveFileNameW(&ofn)) return false;
  *name = file;
  return true;
}

}  // namespace

TToolsPage::TToolsPage(HWND owner, Controls controls)
    : ChooseFullBackupName(&ChooseWithSaveDialog), RunCommand(&RunRegeditCommand), owner_(owner), c_(controls) {
  struct Caption {
    skin::TskButton& button;
    const wchar_t* text;
    std::function<void()> click;
  };
  const Caption captions[] = {
      {c_.bStartup, L"Startup", [this] { bStartupClick(); }},
      {c_.bViewHistory, L"Index.dat Viewer...", [this] { bViewHistoryClick(); }},
      {c_.bBackupFullRegistry, L"Backup Full Registry...", [this] { bBackupFullRegistryClick(); }},
      {c_.bWindowsBackup, L"Windows Backup...", [this] { bWindowsBackupClick(); }},
      {c_.bDeleteEntry, L"&Delete Entry", [this] { bDeleteEntryClick(); }},
      {c_.bSelectAll, L"Select &All", [this] { bSelectAllClick(); }},
      {c_.bSelectNone, L"Select &None", [this] { bSelectNoneClick(); }},
  };
  for (const Caption& c : captions) {
    c.button.SetText(c.text);
    c.button.OnClick = c.click;
  }
  c_.lvStartup.AddColumn(L"Startup Program", 100);
  c_.lvStartup.AddColumn(L"File", 120);
  c_.lvStartup.AddColumn(L"Location", 125);
  CreateHints();
}

void TToolsPage::CreateHints() {
  const std::pair<skin::TskButton*, const wchar_t*> hints[] = {
      {&c_.bStartup, L"Startup manager for Windows to optimize Windows startup configuration"},
      {&c_.bViewHistory, L"Read the contents of your index.dat files"},
      {&c_.bWindowsBackup, L"Use the windows backup tool to backup the system"},
      {&c_.bDeleteEntry, L"Delete the selected entries"},
      {&c_.bSelectAll, L"Select all entries in the list"},
      {&c_.bSelectNone, L"Cancel all entries in the list"},
  };
  for (size_t i = 0; i < hints_.size(); ++i) hints_[i].Create(owner_, hints[i].first->Handle(), hints[i].second);
}

void TToolsPage::bStartupClick() {
  c_.lvStartup.BeginUpdate();
  c_.lvStartup.Clear();
  entries_ = registry::ListStartupEntries(FWindowsVersion);
  for (const registry::TStartupEntry& e : entries_) c_.lvStartup.AddRow(e.Name, {e.File, e.Location});
  if (!entries_.empty()) {
    for (int col = 0; col < 3; ++col) c_.lvStartup.Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(col), LVSCW_AUTOSIZE);
  }
  c_.lvStartup.EndUpdate();
}

void TToolsPage::SetAllTicks(bool ticked) {
  for (int i = 0; i < c_.lvStartup.Count(); ++i) c_.lvStartup.SetChecked(i, ticked);
}

bool TToolsPage::PrepareBackupFolder(const std::wstring& folder) {
  if (registry::BackupFolderExists(folder)) return true;
  if (ui::ShowMessage(owner_, folder + L"," + L"can not find the backup folder." + L"\r\n" + L"creates a new directory?",
                      MB_YESNO | MB_ICONINFORMATION) != IDYES) {
    return false;
  }
  int rc = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  if (rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS) return true;
  ui::ShowNotice(owner_, L"The backup folder cannot be created:\r\n" + folder);
  return false;
}

void TToolsPage::bDeleteEntryClick() {
  bool anyValue = false;
  for (int i = 0; i < c_.lvStartup.Count(); ++i) {
    if (c_.lvStartup.Checked(i) && !entries_[static_cast<size_t>(i)].IsShortcut()) anyValue = true;
  }
  std::wstring backup;
  std::unique_ptr<registry::TRegBackupFile> backupFile;
  if (anyValue) {
    // A Run value is deleted only after its backup is in the backup folder.
    const std::wstring folder = core::OptionsSetting.OutputDirectory;
    if (!PrepareBackupFolder(folder)) return;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    backup = backupFile_ = registry::MakeBackupFileName(folder, now);
    // A new file of its own, as a fix run makes, never one found under the name.
    backupFile = std::make_unique<registry::TRegBackupFile>(backup);
  }
  std::wstring failures;
  for (int i = c_.lvStartup.Count() - 1; i >= 0; --i) {
    if (!c_.lvStartup.Checked(i)) continue;
    const registry::TStartupEntry& e = entries_[static_cast<size_t>(i)];
    registry::TDeleteResult r = registry::DeleteStartupEntry(e, backup);
    if (!r.Deleted() && r.Status != registry::dsMissing) {
      failures += L"\r\n" + e.Name + L": " + r.Reason;
      continue;
    }
    c_.lvStartup.DeleteRow(i);
    entries_.erase(entries_.begin() + i);
  }
  if (backupFile && !backupFile->Name().empty()) backupFile_ = backupFile->Name();
  if (!failures.empty()) ui::ShowNotice(owner_, L"These entries were not deleted:" + failures);
}

void TToolsPage::bViewHistoryClick() { ShowIndexDatViewer(owner_); }

void TToolsPage::bBackupFullRegistryClick() {
  std::wstring name;
  if (!ChooseFullBackupName(owner_, &name) || name.empty()) return;
  name = registry::FullBackupFileName(name);
  const bool exists = FileExists(name);
  if (exists &&
      ui::ShowMessage(owner_, name + L" has existed,overite it?", MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) !=
          IDYES) {
    return;
  }
  // The editor writes the file by its name. It is made (or opened) here
  // first, refused when the name is a link, and held without delete sharing
  // while the editor runs, so that nobody can put a link in its place.
  core::guard::CreatedFile held =
      core::guard::OpenUserFile(name, exists ? core::guard::UserFileMode::Keep : core::guard::UserFileMode::CreateOnly,
                                FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!held.Ok()) {
    ui::ShowNotice(owner_, UserFileRefusal(held, name));
    return;
  }
  const bool ran = RunCommand(owner_, registry::RegeditExportCommand(name), L"Backup registry...");
  LARGE_INTEGER size{};
  const bool written = ::GetFileSizeEx(held.Handle, &size) && size.QuadPart > 0;
  ::CloseHandle(held.Handle);
  if (written) return;
  // The empty file made for the editor is not left behind as a backup.
  if (!exists) core::guard::DeleteNamedFile(name);
  if (ran) ui::ShowNotice(owner_, L"The registry editor wrote no backup file:\r\n" + name);
}

void TToolsPage::bWindowsBackupClick() {
  const std::wstring path = registry::ExpandEnvPath(L"%SystemRoot%") + L"\\system32\\ntbackup.exe";
  if (!FileExists(path)) {
    ui::ShowNotice(owner_, L"Windows Backup is not installed on this computer.");
    return;
  }
  ::ShellExecuteW(owner_, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TToolsPage::BuildHelpMenu(ui::PopupMenu& pmHelp) {
  skin::DressPopupMenu(pmHelp, skin::WinXP);
  pmHelp.Add(L"Online &Help", [this] { aHelpExecute(); });
  pmHelp.Add(L"", nullptr);
  pmHelp.Add(L"H&omepage", [this] { Homepage1Click(); });
  pmHelp.Add(L"&Check for Update", [this] { CheckforUpdate1Click(); });
  pmHelp.Add(L"&Donate", [this] { Donate1Click(); });
  pmHelp.Add(L"", nullptr);
  pmHelp.Add(L"&About...", [this] { aAboutExecute(); });
}

void TToolsPage::bHelpClick(const ui::PopupMenu& pmHelp, HWND button) {
  POINT pt{};
  ::GetCursorPos(&pt);
  // Pressed from the keyboard, the mouse may be anywhere: the menu then
  // opens beside the button.
  RECT r{};
  if (button != nullptr && ::GetWindowRect(button, &r) && !::PtInRect(&r, pt)) pt = POINT{r.right, r.top};
  pmHelp.Popup(owner_, pt);
}

void TToolsPage::aHelpExecute() { OpenWebPage(owner_, kHelpPage); }
void TToolsPage::Homepage1Click() { OpenWebPage(owner_, kHomePage); }
void TToolsPage::CheckforUpdate1Click() { OpenWebPage(owner_, kUpdatePage); }
void TToolsPage::Donate1Click() { OpenWebPage(owner_, kDonatePage); }

void TToolsPage::aAboutExecute() {
  TfrmAbout about;
  about.Execute(owner_);
}

}  // namespace app
