// The program's application object: title, common controls, the message loop
// and the last line of defence for exceptions.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

namespace ui {

class Form;

class Application {
 public:
  static Application& Instance();

  void Initialize();
  HINSTANCE Module() const { return module_; }

  const std::wstring& Title() const { return title_; }
  void SetTitle(std::wstring title) { title_ = std::move(title); }

  // Shows `mainForm` and runs the message loop until it is destroyed.
  // Returns the process exit code.
  int Run(Form& mainForm);
  void Terminate() { ::PostQuitMessage(0); }

  // Shows an exception that reached a window procedure or the loop.
  void ShowException(const std::exception& e);

 private:
  Application() = default;
  HINSTANCE module_ = nullptr;
  std::wstring title_ = L"Vantorel";
};

}  // namespace ui
