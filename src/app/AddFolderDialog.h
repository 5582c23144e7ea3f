// "Add File and Folder": builds one file or folder row of the custom list.
#pragma once
#include <windows.h>

#include <string>

#include "cleaner/custom/CustomRows.h"
#include "ui/Edit.h"
#include "ui/RadioGroup.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"

namespace app {

class TfrmAddFolder : public ui::Form {
 public:
  TfrmAddFolder();
  // Creates the dialog hidden and centred on `owner`.
  bool CreateDialogWindow(HWND owner);
  const std::wstring& ResultText() const { return FResultText; }

  void rgOptionsClick();
  void bBrowseFolderClick();
  void aOKExecute();
  // Enables OK by the rules of the row builder.
  void UpdateActions();
  // The dialog's choices as the row builder sees them.
  cleaner::custom::TAddFolderModel Choices() const;

  ui::GroupBox gbFolder, rgOptions, gbSelectFile, gbWashMode;
  ui::Edit eFolder, eFileMatch;
  ui::Button bBrowseFolder, bOK, bCancel;
  ui::RadioButton rbSingleFile, rbMultipleFiles, rbDeleteFolder, rbDeleteFiles;
  ui::ListBox lbFile;
  ui::Label lExample;

 protected:
  void OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  std::wstring FResultText;
};

}  // namespace app
