// "Add File and Folder": builds one file or folder row of the custom list.
#pragma once
#include <windows.h>

#include <string>

#include "cleaner/custom/CustomRows.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/Panels.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/StdControls.h"

namespace app {

class TfrmAddFolder : public ui::Form {
 public:
  TfrmAddFolder();
  // Creates the dialog hidden and centred on `owner`.
  bool CreateDialogWindow(HWND owner);
  const std::wstring& ResultText() const { return FResultText; }

  void rgOptionsClick();
  void FillFileList();
  void bBrowseFolderClick();
  void aOKExecute();
  // Enables OK by the rules of the row builder.
  void UpdateActions();
  // The dialog's choices as the row builder sees them.
  cleaner::custom::TAddFolderModel Choices() const;

  skin::TskGroupBox gbFolder, gbSelectFile, gbWashMode;
  skin::TskRadioGroup rgOptions;
  ui::Edit eFolder, eFileMatch;
  skin::TskButton bBrowseFolder, bOK, bCancel;
  skin::TskRadioButton rbDeleteFolder, rbDeleteFiles;
  ui::ListBox lbFile;
  ui::Label lExample;

 protected:
  void OnCreate() override;

 private:
  std::wstring FResultText;
};

}  // namespace app
