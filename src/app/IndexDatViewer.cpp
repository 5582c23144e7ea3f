#include "app/IndexDatViewer.h"

#include <commdlg.h>

#include <vector>

#include "app/WebPages.h"
#include "ui/MessageBox.h"

namespace app {
namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}  // namespace

TfrmIndexDatViewer::TfrmIndexDatViewer() : ui::Form(L"TfrmIndexDatViewer") {}

bool TfrmIndexDatViewer::CreateDialogWindow(HWND owner) {
  if (!Create(owner, indexdat::kViewerCaption, kDialogStyle, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(676, 501);
  CenterOn(owner);
  FormShow();
  return true;
}

int TfrmIndexDatViewer::Execute(HWND owner) {
  if (!CreateDialogWindow(owner)) return IDCANCEL;
  return ShowModal(owner);
}

void TfrmIndexDatViewer::OnCreate() {
  lvIndexDat.Create(hwnd_, 8, 8, 660, 364);
  lvIndexDat.AddColumn(L"URL", 380);
  lvIndexDat.AddColumn(L"Last Modified", 120);
  lvIndexDat.OnGetCell = [this](int row, int column, std::wstring* text, int* image) {
    if (row < 0 || row >= RowCount()) return;
    *text = column == 0 ? rows_.urls[static_cast<size_t>(row)] : rows_.dates[static_cast<size_t>(row)];
    *image = rows_.images[static_cast<size_t>(row)];
  };
  lvIndexDat.OnDblClick = [this] { lvIndexDatDblClick(); };
  GroupBox1.Create(hwnd_, L"Index.dat file location", 8, 380, 500, 56);
  eFileName.Create(GroupBox1.Handle(), L"", 10, 22, 444, 22);
  bBrowseFolder.Create(GroupBox1.Handle(), L"...", 460, 22, 30, 22);
  Panel2.Create(hwnd_, 8, 442, 660, 2, true);
  ProgressBar1.Create(hwnd_, 8, 442, 660, 18, 100);
  ProgressBar1.SetShowCaption(true);
  ProgressBar1.Show(false);
  GroupBox2.Create(hwnd_, L"", 8, 464, 250, 32);
  Label1.Create(GroupBox2.Handle(), L"Total Record:", 10, 10);
  Panel1.Create(GroupBox2.Handle(), L"0", 100, 10, false, 140, 16);
  bShow.Create(hwnd_, L"&Show", 516, 396, 75, 25, BS_DEFPUSHBUTTON);
  skButton3.Create(hwnd_, L"&Close", 593, 396, 75, 25);
  bDelete.Create(hwnd_, L"&Delete", 593, 468, 75, 25);
  bDelete.Show(false);

  bBrowseFolder.OnClick = [this] { bBrowseFolderClick(); };
  bShow.OnClick = [this] { bShowClick(); };
  skButton3.OnClick = [this] { SetModalResult(IDCANCEL); };
  bDelete.OnClick = [this] { bDeleteClick(); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  for (ui::Control* c : std::vector<ui::Control*>{&lvIndexDat, &bBrowseFolder, &bShow, &skButton3, &bDelete})
    WatchShortcut(*c);
  eFileName.OnKeyDown = [this](UINT key) { return IsShowShortcut(key); };
}

// Ctrl+Alt+S reveals Delete, whichever control has the focus.
bool TfrmIndexDatViewer::IsShowShortcut(WPARAM key) {
  bool ctrlAlt = (::GetKeyState(VK_CONTROL) & 0x8000) != 0 && (::GetKeyState(VK_MENU) & 0x8000) != 0;
  if (key != 'S' || !ctrlAlt) return false;
  Show1Click();
  return true;
}

void TfrmIndexDatViewer::WatchShortcut(ui::Control& control) {
  control.OnKey = [this](WPARAM key) { return IsShowShortcut(key); };
}

LRESULT TfrmIndexDatViewer::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COMMAND && l == 0 && LOWORD(w) == IDCANCEL) {
    SetModalResult(IDCANCEL);
    return 0;
  }
  if (msg == WM_COMMAND && l == 0 && LOWORD(w) == IDOK) {
    bShowClick();
    return 0;
  }
  return ui::Form::OnMessage(msg, w, l);
}

bool TfrmIndexDatViewer::OnCloseQuery() {
  // The load stops at its next entry and closes the window then.
  if (!loading_) return true;
  closeAsked_ = true;
  return false;
}

void TfrmIndexDatViewer::FormShow() { eFileName.SetText(indexdat::DefaultIndexDatPath()); }

void TfrmIndexDatViewer::bBrowseFolderClick() {
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = L"Index dat file(*.dat)\0*.DAT\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
  if (::GetOpenFileNameW(&ofn)) eFileName.SetText(file);
}

bool TfrmIndexDatViewer::PumpOneMessage() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      closeAsked_ = true;
    } else if (!::IsDialogMessageW(hwnd_, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return !closeAsked_ && ModalResult() == 0 && Exists();
}

void TfrmIndexDatViewer::bShowClick() {
  if (loading_) return;  // a second Show waits for the first
  std::wstring path = eFileName.Text();
  if (!indexdat::IsIndexDatFileName(path)) {
    ui::ShowMessageTitled(hwnd_, indexdat::kBadFileNameMessage, indexdat::kViewerCaption, MB_OK);
    ::SetFocus(eFileName.Handle());
    return;
  }
  rows_ = {};
  lvIndexDat.SetRowCount(0);
  Panel2.Show(false);
  ProgressBar1.SetPosition(0);
  ProgressBar1.Show(true);
  loading_ = true;
  indexdat::ViewerRows rows = indexdat::LoadIndexDatRows(path, 0, [this](int percent) {
    if (percent > ProgressBar1.Position()) ProgressBar1.SetPosition(percent);
    return PumpOneMessage();
  });
  loading_ = false;
  if (closeAsked_) {
    closeAsked_ = false;
    SetModalResult(IDCANCEL);
    return;
  }
  rows_ = std::move(rows);
  lvIndexDat.SetRowCount(RowCount());
  Panel1.SetCaption(std::to_wstring(RowCount()));
}

void TfrmIndexDatViewer::lvIndexDatDblClick() {
  int row = lvIndexDat.Selected();
  if (row < 0 || row >= RowCount()) return;
  OpenWebPage(hwnd_, rows_.urls[static_cast<size_t>(row)]);
}

void TfrmIndexDatViewer::bDeleteClick() {
  if (loading_) return;
  indexdat::ScrubViewerFile(eFileName.Text());
  SetModalResult(IDCANCEL);
}

void ShowIndexDatViewer(HWND owner) {
  TfrmIndexDatViewer dialog;
  dialog.Execute(owner);
}

}  // namespace app
