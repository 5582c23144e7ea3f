#include "app/Main.h"

#include "app/Strings.h"

namespace app {

bool TfrmMain::CreateMain() {
  if (!Create(nullptr, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)) return false;
  FormCreate();
  return true;
}

void TfrmMain::FormCreate() {
  SetClientSize(697, 456);
  SetText(std::wstring(kProductName) + L" " + kProductVersion);
  // Centred on the desktop.
  RECT wr{};
  ::GetWindowRect(hwnd_, &wr);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace app
