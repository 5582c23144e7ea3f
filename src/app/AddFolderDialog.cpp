#include "app/AddFolderDialog.h"

#include "core/FolderDialog.h"

namespace app {
namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}  // namespace

TfrmAddFolder::TfrmAddFolder() : ui::Form(L"TfrmAddFolder") {}

bool TfrmAddFolder::CreateDialogWindow(HWND owner) {
  if (!Create(owner, L"Add File and Folder", kDialogStyle, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(400, 330);
  CenterOn(owner);
  return true;
}

void TfrmAddFolder::OnCreate() {
  gbFolder.Create(hwnd_, L"Select a folder", 8, 8, 384, 56);
  eFolder.Create(gbFolder.Handle(), L"", 10, 22, 328, 22);
  bBrowseFolder.Create(gbFolder.Handle(), L"...", 344, 22, 30, 22);
  rgOptions.Create(hwnd_, L"", 8, 70, 384, 60, {L"Delete single file", L"Delete folders containing multiple files"}, 1);
  rgOptions.SetItemIndex(0);
  gbSelectFile.Create(hwnd_, L"Select file", 8, 136, 384, 150);
  lbFile.Create(gbSelectFile.Handle(), 10, 20, 364, 120);
  gbWashMode.Create(hwnd_, L"Select deleting mode", 8, 292, 384, 150);
  rbDeleteFolder.Create(gbWashMode.Handle(), L"Delete this folder", 10, 22, 360, 20, true);
  rbDeleteFiles.Create(gbWashMode.Handle(), L"Delete files in this folder(use wildcard match)", 10, 48, 360, 20, false);
  eFileMatch.Create(gbWashMode.Handle(), L"*.", 28, 74, 120, 22);
  lExample.Create(gbWashMode.Handle(), L"(For example: *.txt)", 156, 78);
  rbDeleteFolder.SetChecked(true);
  gbWashMode.Show(false);
  bOK.Create(hwnd_, L"&OK", 236, 296, 75, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(hwnd_, L"&Cancel", 317, 296, 75, 25);
  // Enter and Escape reach these two through their IDs.
  bOK.SetId(IDOK);
  bCancel.SetId(IDCANCEL);
  // The two groups take turns in one place.
  gbWashMode.SetBounds(gbSelectFile.Left(), gbSelectFile.Top(), gbWashMode.Width(), gbWashMode.Height());

  auto update = [this] { UpdateActions(); };
  // A folder typed into the box lists its files as one chosen with "..." does.
  eFolder.OnChange = [this] {
    if (rgOptions.ItemIndex() != 1) FillFileList();
    UpdateActions();
  };
  eFileMatch.OnChange = update;
  lbFile.OnSelChange = update;
  rbDeleteFolder.OnClick = update;
  rbDeleteFiles.OnClick = update;
  rgOptions.OnClick = [this] { rgOptionsClick(); };
  bBrowseFolder.OnClick = [this] { bBrowseFolderClick(); };
  bOK.OnClick = [this] { aOKExecute(); };
  bCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  UpdateActions();
}

void TfrmAddFolder::rgOptionsClick() {
  bool fileMode = rgOptions.ItemIndex() != 1;
  gbWashMode.Show(!fileMode);
  gbSelectFile.Show(fileMode);
  if (fileMode) FillFileList();
  UpdateActions();
}

void TfrmAddFolder::FillFileList() {
  lbFile.Clear();
  for (const std::wstring& name : cleaner::custom::FilesInFolder(eFolder.Text())) lbFile.Add(name);
}

void TfrmAddFolder::bBrowseFolderClick() {
  std::wstring folder = eFolder.Text();
  if (!core::SelectDirectory(L"Please select the directory to add", L"", folder)) return;
  eFolder.SetText(folder);
  rgOptionsClick();
}

cleaner::custom::TAddFolderModel TfrmAddFolder::Choices() const {
  cleaner::custom::TAddFolderModel m;
  m.Folder = eFolder.Text();
  m.Option = rgOptions.ItemIndex() == 1 ? m.MultipleFiles : m.SingleFile;
  int selected = lbFile.Selected();
  if (selected >= 0) m.SelectedFile = lbFile.Item(selected);
  m.DeleteFolder = rbDeleteFolder.Checked();
  m.FileMatch = eFileMatch.Text();
  return m;
}

void TfrmAddFolder::UpdateActions() {
  cleaner::custom::TAddFolderModel m = Choices();
  bOK.Enable(m.OKEnabled(cleaner::custom::FolderExists(m.Folder)));
}

void TfrmAddFolder::aOKExecute() {
  cleaner::custom::TAddFolderModel m = Choices();
  if (!m.OKEnabled(cleaner::custom::FolderExists(m.Folder))) return;
  FResultText = m.ResultText();
  SetModalResult(IDOK);
}

}  // namespace app
