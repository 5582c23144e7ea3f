#include "app/CustomListDialog.h"

#include "app/AddFolderDialog.h"
#include "app/AddRegistryDialog.h"
#include "cleaner/items/DataFiles.h"
#include "cleaner/items/ItemServices.h"
#include "sys/IniFile.h"
#include "ui/MessageBox.h"

namespace app {
namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}  // namespace

TfrmNewCustomItem::TfrmNewCustomItem() : ui::Form(L"TfrmNewCustomItem") {}

bool TfrmNewCustomItem::CreateDialogWindow(HWND owner, const std::wstring& customFile) {
  customFile_ = customFile;
  if (!Create(owner, L"Custom Lists", kDialogStyle, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(476, 300);
  CenterOn(owner);
  FormShow();
  return true;
}

int TfrmNewCustomItem::Execute(HWND owner, const std::wstring& customFile) {
  if (!CreateDialogWindow(owner, customFile)) return IDCANCEL;
  return ShowModal(owner);
}

void TfrmNewCustomItem::OnCreate() {
  lvContent.Create(hwnd_, 8, 8, 340, 284, false);
  lvContent.AddColumn(L"Content", 320);
  bAddFolder.Create(hwnd_, L"Add &File && Folder", 356, 8, 112, 25);
  bAddRegistry.Create(hwnd_, L"Add &Registry", 356, 40, 112, 25);
  bEdit.Create(hwnd_, L"&Edit", 356, 72, 112, 25);
  bRemove.Create(hwnd_, L"R&emove Selected", 356, 104, 112, 25);
  bOK.Create(hwnd_, L"&OK", 356, 235, 112, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(hwnd_, L"&Cancel", 356, 267, 112, 25);
  bAddFolder.OnClick = [this] { bAddFolderClick(); };
  bAddRegistry.OnClick = [this] { bAddRegistryClick(); };
  bEdit.OnClick = [this] { aEditExecute(); };
  bRemove.OnClick = [this] { aRemoveExecute(); };
  bOK.OnClick = [this] { aOKExecute(); };
  bCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
}

LRESULT TfrmNewCustomItem::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COMMAND && l == 0 && LOWORD(w) == IDCANCEL) {
    SetModalResult(IDCANCEL);
    return 0;
  }
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->hwndFrom == lvContent.Handle()) {
    UINT code = reinterpret_cast<NMHDR*>(l)->code;
    if (code == LVN_ITEMCHANGED) {
      model_.Select(lvContent.Selected());
      UpdateActions();
    } else if (code == static_cast<UINT>(NM_DBLCLK)) {
      aEditExecute();
    }
  }
  return ui::Form::OnMessage(msg, w, l);
}

void TfrmNewCustomItem::FormShow() {
  SetText(L"Edit Custom Item");
  model_.Load(customFile_);
  ShowRows();
}

void TfrmNewCustomItem::ShowRows() {
  int selected = model_.Selected();
  lvContent.Clear();
  for (const std::wstring& row : model_.Rows()) lvContent.AddRow(row);
  lvContent.FitColumnsToContents();  // a long row scrolls instead of being cut
  if (selected >= 0) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    lvContent.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
    lvContent.Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
  }
  model_.Select(selected);
  UpdateActions();
}

void TfrmNewCustomItem::UpdateActions() {
  bEdit.Enable(model_.EditEnabled());
  bRemove.Enable(model_.RemoveEnabled());
  bOK.Enable(model_.OKEnabled());
}

int TfrmNewCustomItem::RunChild(ui::Form& child) {
  return ShowChild ? ShowChild(child) : child.ShowModal(hwnd_);
}

void TfrmNewCustomItem::bAddFolderClick() {
  TfrmAddFolder dialog;
  if (!dialog.CreateDialogWindow(hwnd_) || RunChild(dialog) != IDOK) return;
  model_.Add(dialog.ResultText());
  ShowRows();
}

void TfrmNewCustomItem::bAddRegistryClick() {
  TfrmAddRegistry dialog;
  if (!dialog.CreateDialogWindow(hwnd_) || RunChild(dialog) != IDOK) return;
  model_.Add(dialog.ResultText());
  ShowRows();
}

void TfrmNewCustomItem::aEditExecute() {
  if (!model_.EditEnabled()) return;  // file rows are not edited
  const std::wstring& row = model_.Rows()[static_cast<size_t>(model_.Selected())];
  TfrmAddRegistry dialog;
  if (!dialog.CreateDialogWindow(hwnd_, cleaner::custom::TAddRegistryModel::FromRow(row)) ||
      RunChild(dialog) != IDOK)
    return;
  model_.ReplaceSelected(dialog.ResultText());
  ShowRows();
}

void TfrmNewCustomItem::aRemoveExecute() {
  if (!model_.RemoveEnabled()) return;
  model_.RemoveSelected();
  ShowRows();
  if (model_.Selected() >= 0) ::SetFocus(lvContent.Handle());
}

void TfrmNewCustomItem::aOKExecute() {
  if (!model_.OKEnabled()) return;
  std::vector<std::wstring> refused;
  try {
    if (!model_.Save(customFile_, &refused)) {
      std::wstring text = L"These rows cannot be stored in " + customFile_ + L", nothing was saved:";
      for (const std::wstring& row : refused) text += L"\n" + row;
      ui::ShowError(hwnd_, text);
      return;
    }
  } catch (const sys::IniWriteError& e) {
    std::string what = e.what();
    ui::ShowError(hwnd_, std::wstring(what.begin(), what.end()));
    return;
  }
  SetModalResult(IDOK);
}

void ShowCustomListDialog(HWND owner) {
  TfrmNewCustomItem dialog;
  dialog.Execute(owner, cleaner::ProgramFolder() + cleaner::kCustomFileName);
}

}  // namespace app
