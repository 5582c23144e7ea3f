// "Index.dat file viewer": lists the URLs of a browser cache index with their
// dates, opens one on a double click and, behind Ctrl+Alt+S, scrubs the file.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "cleaner/indexdat/IndexDatView.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/Panels.h"
#include "ui/Edit.h"
#include "ui/RadioGroup.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"
#include "ui/ToolTip.h"
#include "ui/VirtualListView.h"

namespace app {

class TfrmIndexDatViewer : public ui::Form {
 public:
  TfrmIndexDatViewer();
  // Creates the dialog hidden over `owner` with the default file name.
  bool CreateDialogWindow(HWND owner);
  int Execute(HWND owner);

  void bBrowseFolderClick();
  void bShowClick();
  void lvIndexDatDblClick();
  void Show1Click() { bDelete.Show(true); }
  void bDeleteClick();
  bool Loading() const { return loading_; }
  int RowCount() const { return static_cast<int>(rows_.Count()); }

  // Reads the file into rows; tests replace it to make a load fail.
  using RowLoader = std::function<indexdat::FileStatus(const std::wstring& path, const indexdat::LoadPacer::Report&,
                                                       indexdat::ViewerRows* rows)>;
  RowLoader LoadRows;

  ui::VirtualListView lvIndexDat;
  skin::TskGroupBox GroupBox1, GroupBox2;
  ui::Edit eFileName;
  skin::TskButton bBrowseFolder, bShow, skButton3, bDelete;
  skin::TskProgressBar ProgressBar1;
  ui::Label Label1, Panel1;
  ui::Panel Panel2;
  ui::ToolTip lvIndexDatHint;

 protected:
  void OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  bool OnCloseQuery() override;

 private:
  void FormShow();
  void CreateList();
  bool PumpMessages();
  void LoadFile(const std::wstring& path);
  void ShowIdle();
  bool IsShowShortcut(WPARAM key);
  void WatchShortcut(ui::Control& control);

  indexdat::ViewerRows rows_;
  bool loading_ = false;
  bool closeAsked_ = false;
};

// The viewer over `owner`, shown modally.
void ShowIndexDatViewer(HWND owner);

}  // namespace app
