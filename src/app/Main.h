// The program's main window.
#pragma once
#include "ui/Form.h"

namespace app {

// Other programs find the main window by this class name.
inline constexpr wchar_t kMainWindowClass[] = L"TVantorelMainWindow";

class TfrmMain : public ui::Form {
 public:
  TfrmMain() : ui::Form(kMainWindowClass) {}
  bool CreateMain();

 protected:
  void FormCreate();
};

}  // namespace app
