// The backup dialog: lists the .reg backups of a folder, imports one back
// into the registry through the registry editor, and deletes files.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "registry/restore/RestoreRun.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/FlatEdit.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"

namespace app {

// The backup list: row selection changes and double clicks reach the dialog.
class TBackupListView : public ui::ListView {
 public:
  std::function<void()> OnDblClick, OnSelectionChange;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;
  void SelectRow(int row);
};

class TfrmRestore : public ui::Form {
 public:
  TfrmRestore();

  // Creates the dialog over `owner`, fills it and shows it modally.
  int Execute(HWND owner);
  // Creates and fills it without showing it (tests drive it from here).
  bool CreateRestore(HWND owner);

  void FormShow();
  void FillBackupList(const std::wstring& folder);
  void bBrowseFolderClick();
  void bOpenDirectoryClick();
  void aRestoreExecute();
  void aDeleteExecute();
  void aRestoreUpdate();

  // Seams: how the registry editor runs and how a folder is chosen.
  std::function<bool(HWND owner, const std::wstring& commandLine, const std::wstring& hint)> RunCommand;
  std::function<bool(std::wstring* folder)> ChooseFolder;

  skin::TskGroupBox skGroupBox1;
  skin::TFlatEdit eFolder;
  skin::TskButton bBrowseFolder;
  TBackupListView ListView1;
  skin::TskButton bRestore, bOpenDirectory, bDelete, bClose;

 protected:
  void OnCreate() override;

 private:
  std::wstring SelectedFile() const;
  void ShowRestoreOutcome(const registry::TRestoreOutcome& r, const std::wstring& shown);
  void ShowIncompleteRestore(const registry::TRestoreCheck& check);
};

// "Restore" of the registry page: the dialog over `owner`, shown modally.
void bRestoreRegistryClick(HWND owner);

}  // namespace app
