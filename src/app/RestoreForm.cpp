#include "app/RestoreForm.h"

#include <shellapi.h>

#include <new>

#include "app/BackupHint.h"
#include "core/FolderDialog.h"
#include "core/Options.h"
#include "core/Text.h"
#include "core/guard/FileDelete.h"
#include "registry/restore/BackupFiles.h"
#include "registry/restore/RestoreRun.h"
#include "ui/MessageBox.h"

namespace app {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr wchar_t kOutOfMemoryNotice[] = L"The program ran out of memory; the backup file is kept.";

bool ChooseFolderWithDialog(std::wstring* folder) {
  return core::SelectDirectory(L"Please select the directory to add", L"", *folder);
}

}  // namespace

bool TBackupListView::OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  if (msg == WM_NOTIFY) {
    const NMHDR* h = reinterpret_cast<NMHDR*>(l);
    if (h->code == static_cast<UINT>(NM_DBLCLK) && OnDblClick) OnDblClick();
    if (h->code == LVN_ITEMCHANGED && OnSelectionChange) OnSelectionChange();
  }
  return ui::ListView::OnReflect(msg, w, l, result);
}

void TBackupListView::SelectRow(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

TfrmRestore::TfrmRestore()
    : ui::Form(L"TfrmRestore"), RunCommand(&RunRegeditCommand), ChooseFolder(&ChooseFolderWithDialog) {}

void TfrmRestore::OnCreate() {
  skGroupBox1.Create(hwnd_, L"Backup files are stored in the folder", 8, 6, 424, 52);
  eFolder.Create(skGroupBox1.Handle(), L"", 10, 20, 372);
  eFolder.SetReadOnly(true);
  bBrowseFolder.Create(skGroupBox1.Handle(), L"...", 388, 19, 26, 24);
  ListView1.Create(hwnd_, 8, 66, 424, 222, false);
  ListView1.AddColumn(L"Backup file", 190);
  ListView1.AddColumn(L"Date", 110);
  ListView1.AddColumn(L"Size", 92);
  bRestore.Create(hwnd_, L"&Restore", 8, 298, 85, 25);
  bOpenDirectory.Create(hwnd_, L"&Open Directory", 99, 298, 105, 25);
  bDelete.Create(hwnd_, L"&Delete", 210, 298, 85, 25);
  bClose.Create(hwnd_, L"&Close", 347, 298, 85, 25);
  bBrowseFolder.OnClick = [this] { bBrowseFolderClick(); };
  bRestore.OnClick = [this] { aRestoreExecute(); };
  bOpenDirectory.OnClick = [this] { bOpenDirectoryClick(); };
  bDelete.OnClick = [this] { aDeleteExecute(); };
  bClose.SetId(IDCANCEL);  // Escape closes, as the button does
  bClose.OnClick = [this] { SetModalResult(IDCANCEL); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  ListView1.OnDblClick = [this] { aRestoreExecute(); };
  ListView1.OnSelectionChange = [this] { aRestoreUpdate(); };
}

bool TfrmRestore::CreateRestore(HWND owner) {
  if (!Create(owner, L"Vantorel", kDialogStyle, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(440, 332);
  CenterOn(owner);
  FormShow();
  return true;
}

int TfrmRestore::Execute(HWND owner) {
  if (!Exists() && !CreateRestore(owner)) return IDCANCEL;
  return ShowModal(owner);
}

void TfrmRestore::FormShow() {
  eFolder.SetText(core::OptionsSetting.OutputDirectory);
  FillBackupList(core::OptionsSetting.OutputDirectory);
}

void TfrmRestore::FillBackupList(const std::wstring& folder) {
  ListView1.Clear();
  aRestoreUpdate();
  if (!registry::BackupFolderExists(folder)) {
    ui::ShowNotice(hwnd_, L"can not find the backup folder.");
    return;
  }
  ListView1.BeginUpdate();
  for (const registry::TBackupFile& f : registry::ListBackupFiles(folder)) {
    ListView1.AddRow(f.Name, {registry::BackupDateText(f.LastWrite), core::FormatSizeKB(f.Size)});
  }
  ListView1.FitColumnsToContents();
  ListView1.EndUpdate();
}

void TfrmRestore::aRestoreUpdate() {
  bool selected = ListView1.Selected() >= 0;
  bRestore.Enable(selected);
  bDelete.Enable(selected);
}

void TfrmRestore::bBrowseFolderClick() {
  std::wstring folder;
  if (!ChooseFolder(&folder) || folder.empty()) return;
  eFolder.SetText(folder);
  FillBackupList(folder);
}

void TfrmRestore::bOpenDirectoryClick() {
  ::ShellExecuteW(hwnd_, L"open", eFolder.Text().c_str(), nullptr, nullptr, SW_SHOW);
}

std::wstring TfrmRestore::SelectedFile() const {
  int row = ListView1.Selected();
  if (row < 0) return {};
  return registry::WithTrailingBackslash(eFolder.Text()) + ListView1.CellText(row, 0);
}

void TfrmRestore::aRestoreExecute() {
  const std::wstring file = SelectedFile();
  if (file.empty()) return;
  const registry::TRestoreOutcome r = registry::RestoreRegFile(
      file, [this](const std::wstring& command) { return RunCommand(hwnd_, command, L"Restore registry..."); });
  try {
    ShowRestoreOutcome(r, registry::NameForMessage(file));
  } catch (const std::bad_alloc&) {
    // Even the message may not fit; the backup is kept all the same.
    ui::ShowNotice(hwnd_, kOutOfMemoryNotice);
  }
}

void TfrmRestore::ShowRestoreOutcome(const registry::TRestoreOutcome& r, const std::wstring& shown) {
  switch (r.Status) {
    case registry::rsUnreadable:
      ui::ShowNotice(hwnd_, L"The backup file cannot be read:\r\n" + shown);
      return;
    case registry::rsTooLarge:
      ui::ShowNotice(hwnd_, L"The backup file is too large to be read (the limit is " +
                                std::to_wstring(registry::kMaxRegFileBytes >> 20) + L" MB), so it is not restored:\r\n" +
                                shown);
      return;
    case registry::rsNoMemory:
      ui::ShowNotice(hwnd_, (r.Imported ? L"The program ran out of memory while checking the restored backup file; "
                                          L"the backup file is kept:\r\n"
                                        : L"The program ran out of memory while reading the backup file, so it is not "
                                          L"restored:\r\n") +
                                shown);
      return;
    case registry::rsDeletes:
      // A restore only puts data back; a file that would delete is refused whole.
      ui::ShowNotice(hwnd_, L"This file would delete registry data when imported (line " + std::to_wstring(r.Line) +
                                L"), so it is not restored:\r\n" + shown);
      return;
    case registry::rsNotRun:
      return;
    case registry::rsIncomplete:
      ShowIncompleteRestore(r.Check);
      return;
    case registry::rsRestored:
      if (core::OptionsSetting.DeleteBackupFile) aDeleteExecute();
      return;
  }
}

void TfrmRestore::ShowIncompleteRestore(const registry::TRestoreCheck& check) {
  if (check.Entries == 0) {
    ui::ShowNotice(hwnd_,
                   L"The backup holds no entry that could be checked after the restore; the backup file is kept.");
    return;
  }
  std::wstring first =
      check.FirstMissing.empty() ? std::wstring() : L"\r\n" + registry::NameForMessage(check.FirstMissing.front());
  const int missing = check.Missing;
  const wchar_t* counted = missing == 1 ? L" entry of the backup is" : L" entries of the backup are";
  ui::ShowNotice(hwnd_, std::to_wstring(missing) + counted +
                            L" not in the registry after the restore; the backup file is kept." + first);
}

void TfrmRestore::aDeleteExecute() {
  const int row = ListView1.Selected();
  const std::wstring file = SelectedFile();
  if (file.empty()) return;
  core::guard::FileDeleteResult r = core::guard::DeleteNamedFile(file);
  if (r != core::guard::FileDeleteResult::Deleted && r != core::guard::FileDeleteResult::Missing) {
    ui::ShowNotice(hwnd_, L"The backup file could not be deleted:\r\n" + registry::NameForMessage(file));
    return;
  }
  ListView1.DeleteRow(row);
  if (ListView1.Count() > 0) ListView1.SelectRow(row < ListView1.Count() ? row : ListView1.Count() - 1);
  aRestoreUpdate();
}

void bRestoreRegistryClick(HWND owner) {
  TfrmRestore restore;
  restore.Execute(owner);
}

}  // namespace app
