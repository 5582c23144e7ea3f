#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/Main.h"
#include "app/Strings.h"
#include "app/SystemPointForms.h"
#include "cleaner/items/CleanItemCatalogue.h"
#include "core/guard/FileCreate.h"
#include "registry/fix/SystemPoint.h"
#include "skin/file/SkinTempFile.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace {
std::vector<std::wstring> CommandLineParams() {
  std::vector<std::wstring> params;
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  for (int i = 1; argv != nullptr && i < argc; ++i) params.emplace_back(argv[i]);
  if (argv != nullptr) ::LocalFree(argv);
  return params;
}

// The skin reader's temporary file, made relative to the temporary folder's pin.
HANDLE MakeSkinTempFile(const std::wstring& folder, std::wstring* path) {
  core::guard::CreatedFile made = core::guard::CreateScratchFile(folder, GENERIC_READ | GENERIC_WRITE, path);
  return made.Ok() ? made.Handle : INVALID_HANDLE_VALUE;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  auto& app = ui::Application::Instance();
  try {
    app.Initialize();
    app.SetTitle(app::kProductName);
    cleaner::RegisterCleanItems(cleaner::ItemRoutineTable::Program());
    registry::SetSystemPointDialog(&app::ShowSystemPointDialog);
    skin::SetTempFileMaker(&MakeSkinTempFile);
    app::TfrmMain frmMain;
    if (!frmMain.CreateMain(CommandLineParams())) {
      ui::ShowError(nullptr, L"The main window could not be created.");
      return 1;
    }
    frmMain.ShowMain();
    int code = app.Run(frmMain);
    return code != 0 ? code : frmMain.ExitCode();
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
}
