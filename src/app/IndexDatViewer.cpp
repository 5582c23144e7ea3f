#include "app/IndexDatViewer.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <new>
#include <vector>

#include "app/WebPages.h"
#include "ui/MessageBox.h"

namespace app {
namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr int kIconSize = 16;

// The rows' picture: a small globe, drawn here so that no file carries it.
// The list view owns the image list and frees it with itself.
HIMAGELIST UrlImages() {
  HIMAGELIST list = ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, 1, 0);
  if (list == nullptr) return nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, kIconSize, kIconSize);
  HGDIOBJ oldBitmap = ::SelectObject(dc, bmp);
  RECT all{0, 0, kIconSize, kIconSize};
  HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
  ::FillRect(dc, &all, magenta);
  ::DeleteObject(magenta);
  HBRUSH sea = ::CreateSolidBrush(RGB(40, 110, 200));
  HPEN rim = ::CreatePen(PS_SOLID, 1, RGB(20, 60, 130));
  HPEN grid = ::CreatePen(PS_SOLID, 1, RGB(200, 225, 250));
  HGDIOBJ oldBrush = ::SelectObject(dc, sea), oldPen = ::SelectObject(dc, rim);
  ::Ellipse(dc, 1, 1, 15, 15);
  ::SelectObject(dc, grid);
  ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
  ::Ellipse(dc, 5, 2, 11, 14);  // a meridian
  ::MoveToEx(dc, 2, 8, nullptr);
  ::LineTo(dc, 14, 8);  // the equator
  ::MoveToEx(dc, 8, 2, nullptr);
  ::LineTo(dc, 8, 14);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(sea);
  ::DeleteObject(rim);
  ::DeleteObject(grid);
  ::SelectObject(dc, oldBitmap);
  ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
  ::DeleteObject(bmp);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return list;
}

// Clears `flag` on every way out of the load, an exception included.
class FlagGuard {
 public:
  explicit FlagGuard(bool* flag) : flag_(flag) { *flag_ = true; }
  ~FlagGuard() { *flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool* flag_;
};

}  // namespace

TfrmIndexDatViewer::TfrmIndexDatViewer() : ui::Form(L"TfrmIndexDatViewer") {
  LoadRows = [](const std::wstring& path, const indexdat::LoadPacer::Report& report, indexdat::ViewerRows* rows) {
    return indexdat::LoadIndexDatRows(path, 0, report, rows);
  };
}

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

// Texts are made when the list asks for a row: the rows keep none.
void TfrmIndexDatViewer::CreateList() {
  lvIndexDat.Create(hwnd_, 8, 8, 660, 364);
  lvIndexDat.AddColumn(L"URL", 380);
  // Wide enough for the longest date this user's formats give.
  std::wstring widest = indexdat::WidestDateText();
  int dateWidth = static_cast<int>(lvIndexDat.Send(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(widest.c_str())));
  lvIndexDat.AddColumn(L"Last Modified", std::max(120, dateWidth + 16));
  lvIndexDat.Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(UrlImages()));
  lvIndexDatHint.Create(hwnd_, lvIndexDat.Handle(), indexdat::kViewerHint);
  lvIndexDat.OnGetCell = [this](int row, int column, std::wstring* text, int* image) {
    if (row < 0 || row >= RowCount()) return;
    size_t at = static_cast<size_t>(row);
    *text = column == 0 ? indexdat::UrlText(rows_.Url(at)) : indexdat::DateText(rows_.FileTime(at));
    *image = rows_.Image(at);
  };
  lvIndexDat.OnDblClick = [this] { lvIndexDatDblClick(); };
}

void TfrmIndexDatViewer::OnCreate() {
  CreateList();
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

// Every pending message, so that the window repaints and answers while a
// large file loads; false once the window is to close.
bool TfrmIndexDatViewer::PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      closeAsked_ = true;
      break;
    }
    if (!::IsDialogMessageW(hwnd_, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return !closeAsked_ && ModalResult() == 0 && Exists();
}

// Idle, as created: no rows, no progress bar, the separator shown.
void TfrmIndexDatViewer::ShowIdle() {
  rows_ = {};
  lvIndexDat.SetRowCount(0);
  Panel1.SetCaption(L"0");
  ProgressBar1.Show(false);
  Panel2.Show(true);
}

void TfrmIndexDatViewer::LoadFile(const std::wstring& path) {
  indexdat::ViewerRows rows;
  indexdat::FileStatus status = indexdat::FileStatus::Done;
  const wchar_t* failure = nullptr;
  {
    FlagGuard loading(&loading_);
    try {
      status = LoadRows(path, [this](int percent) {
        if (percent > ProgressBar1.Position()) ProgressBar1.SetPosition(percent);
        return PumpMessages();
      }, &rows);
    } catch (const std::bad_alloc&) {
      failure = indexdat::kOutOfMemoryMessage;
    } catch (const std::exception&) {
      failure = indexdat::kLoadFailedMessage;
    }
  }
  if (closeAsked_ || ModalResult() != 0) {  // closed while loading: the rows are not shown
    closeAsked_ = false;
    if (ModalResult() == 0) SetModalResult(IDCANCEL);
    return;
  }
  if (status == indexdat::FileStatus::NotCacheFile) failure = indexdat::kNotIndexDatMessage;
  if (failure != nullptr) {
    ShowIdle();
    ui::ShowMessageTitled(hwnd_, failure, indexdat::kViewerCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  ProgressBar1.SetPosition(100);
  rows_ = std::move(rows);
  lvIndexDat.SetRowCount(RowCount());
  Panel1.SetCaption(std::to_wstring(RowCount()));
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
  LoadFile(path);
}

// Only a web address goes to the shell: a record is the file's text, and
// anything else (a program, a path, another scheme) would be started.
void TfrmIndexDatViewer::lvIndexDatDblClick() {
  int row = lvIndexDat.Selected();
  if (row < 0 || row >= RowCount()) return;
  std::wstring url = indexdat::UrlText(rows_.Url(static_cast<size_t>(row)));
  if (!indexdat::IsWebAddress(url)) {
    ui::ShowMessageTitled(hwnd_, indexdat::kNotWebAddressMessage, indexdat::kViewerCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  OpenWebPage(hwnd_, url);
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
