// "Add to Ignore List": enters one registry key or value for an ignore list.
#pragma once
#include <string>

#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/StdControls.h"

namespace app {

inline constexpr wchar_t kRegAddRegistryClass[] = L"TfrmRegAddRegistry";

class TfrmRegAddRegistry : public ui::Form {
 public:
  TfrmRegAddRegistry() : ui::Form(kRegAddRegistryClass) {}

  // Creates the window hidden, centred on `owner`, with `text` in the edit.
  bool CreateForm(HWND owner, const std::wstring& text);
  // Shows it modally; true with the entered text in *text on OK.
  static bool Execute(HWND owner, std::wstring* text);

  void aOKUpdate();
  void aOKExecute() { SetModalResult(IDOK); }
  void bLaunchRegeditClick();

  ui::Label lRegistryKey, lExample;
  ui::Button bLaunchRegedit, bOK, bCancel;
  ui::Edit eRegistryKey;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
};

}  // namespace app
