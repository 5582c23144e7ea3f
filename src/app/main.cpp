#include <windows.h>

#include "app/Main.h"
#include "ui/Application.h"
#include "app/Strings.h"
#include "ui/MessageBox.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  auto& app = ui::Application::Instance();
  try {
    app.Initialize();
    app.SetTitle(app::kProductName);
    app::TfrmMain frmMain;
    if (!frmMain.CreateMain()) {
      ui::ShowError(nullptr, L"The main window could not be created.");
      return 1;
    }
    return app.Run(frmMain);
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
}
