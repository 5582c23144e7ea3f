#include "ui/Application.h"

#include <commctrl.h>

#include "ui/DialogKeys.h"
#include "ui/Form.h"
#include "ui/MessageBox.h"
#include "sys/Text.h"
#include "sys/Thread.h"

namespace ui {

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::Initialize() {
  module_ = ::GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&icc);
  sys::sync::Init();
}

int Application::Run(Form& mainForm) {
  mainForm.SetMainForm(true);
  if (!::IsWindowVisible(mainForm.Handle())) {
    ::ShowWindow(mainForm.Handle(), SW_SHOW);
    ::UpdateWindow(mainForm.Handle());
  }
  MSG msg{};
  for (;;) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    try {
      DispatchWithDialogKeys(msg);
    } catch (const std::exception& e) {
      ShowException(e);
    }
  }
  sys::sync::Shutdown();
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void Application::ShowException(const std::exception& e) {
  ShowMessage(nullptr, sys::FromUtf8(e.what()), MB_OK | MB_ICONERROR);
}

}  // namespace ui
