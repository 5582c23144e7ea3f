// "Add to Ignore List": enters one registry key or value for an ignore list.
#pragma once
#include <functional>
#include <string>

#include "skin/controls/Buttons.h"
#include "skin/form/SkinForm.h"
#include "skin/lists/Edit.h"
#include "skin/theme/ThemeManager.h"
#include "ui/Form.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"

namespace app {

inline constexpr wchar_t kRegAddRegistryClass[] = L"TfrmRegAddRegistry";

// The skinned edit, telling its owner of every change to its text.
class TKeyEdit : public skin::TskEdit {
 public:
  void SelectAll() { Send(EM_SETSEL, 0, -1); }
  std::function<void()> OnChange;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;
};

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

  // A file theme without a file; it outlives the controls that name it.
  skin::TskFileTheme skFileTheme;
  // Gives the listed parts the WinXP look.
  skin::TskThemeManager skThemeManager{this};
  // The skinned frame with its own title bar; the controls sit on pnlForm,
  // which fills the frame below the title bar.
  skin::TskForm skForm;
  ui::Panel pnlForm;
  ui::Label lRegistryKey, lExample;
  skin::TskButton bLaunchRegedit, bOK, bCancel;
  TKeyEdit eRegistryKey;

 protected:
  // Names the parts the theme manager's list names.
  void NameParts();
  // Makes the area below the title bar `width` x `height`.
  void SetPanelSize(int width, int height);
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
};

}  // namespace app
