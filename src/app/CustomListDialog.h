// "Custom Lists": shows the custom clean list of Custom.dat and saves it on OK.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "cleaner/custom/CustomList.h"
#include "skin/controls/Bars.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/Panels.h"
#include "ui/Form.h"
#include "ui/ListView.h"
#include "ui/StdControls.h"

namespace app {

class TfrmNewCustomItem : public ui::Form {
 public:
  TfrmNewCustomItem();
  // Creates the dialog hidden over `owner` and reads the list of `customFile`.
  bool CreateDialogWindow(HWND owner, const std::wstring& customFile);
  // Shows the list of `customFile` modally; returns the modal result.
  int Execute(HWND owner, const std::wstring& customFile);

  void bAddFolderClick();
  void bAddRegistryClick();
  void aEditExecute();
  void aRemoveExecute();
  void aOKExecute();
  void UpdateActions();
  const cleaner::custom::TCustomListModel& Model() const { return model_; }

  // Shows a row builder modally and returns its modal result; tests drive
  // the builder here instead.
  std::function<int(ui::Form& child)> ShowChild;

  ui::ListView lvContent;
  skin::TskButton bAddFolder, bAddRegistry, bEdit, bRemove, bOK, bCancel;

 protected:
  void OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FormShow();
  void ShowRows();
  int RunChild(ui::Form& child);

  std::wstring customFile_;
  cleaner::custom::TCustomListModel model_;
};

// The dialog over `owner` for the custom list beside the program.
void ShowCustomListDialog(HWND owner);

}  // namespace app
