#include "app/BackupHint.h"

#include "ui/MessageBox.h"

namespace app {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr int kBarMax = 500;

struct TBand {
  int UpTo;
  int Step;
};
const TBand kBands[] = {{300, 10}, {400, 5}, {450, 3}, {490, 2}, {500, 1}};

}  // namespace

TfrmBackupHint::TfrmBackupHint() : ui::Form(L"TfrmBackupHint") {}

TfrmBackupHint::~TfrmBackupHint() { Timer1.SetEnabled(false); }

void TfrmBackupHint::OnCreate() {
  skGroupBox1.Create(hwnd_, L"", 8, 4, 314, 74);
  lHint.Create(skGroupBox1.Handle(), L"", 12, 18, false, 290, 16);
  ProgressBar1.Create(skGroupBox1.Handle(), 12, 42, 290, 18, kBarMax);
  ProgressBar1.SetShowCaption(false);
  ProgressBar1.SetPosition(0);
  bStop.Create(hwnd_, L"Stop", 127, 86, 75, 25);
  bStop.SetId(IDCANCEL);  // Escape stops, as the button does
  bStop.OnClick = [this] { bStopClick(); };
  Timer1.SetOwner(hwnd_, 1);
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  Timer1.SetInterval(500);
  Timer1.OnTimer = [this] { Timer1Timer(); };
}

int TfrmBackupHint::Execute(HWND owner, const PROCESS_INFORMATION& process, const std::wstring& hint) {
  FProcessInfo = process;
  if (!Create(owner, L"Vantorel", kDialogStyle, WS_EX_DLGMODALFRAME)) return IDCANCEL;
  SetClientSize(330, 120);
  CenterOn(owner);
  lHint.SetCaption(hint);
  Timer1.SetEnabled(true);
  int result = ShowModal(owner);
  Timer1.SetEnabled(false);
  return result;
}

int TfrmBackupHint::NextPosition(int p) {
  for (const TBand& b : kBands) {
    if (p <= b.UpTo) return p + b.Step;
  }
  return p;
}

void TfrmBackupHint::Timer1Timer() {
  if (::WaitForSingleObject(FProcessInfo.hProcess, 0) == WAIT_OBJECT_0) {
    Timer1.SetEnabled(false);
    SetModalResult(IDOK);
    return;
  }
  // The bar stops short of its end: the last step would pass the maximum.
  int next = NextPosition(ProgressBar1.Position());
  if (next <= kBarMax) ProgressBar1.SetPosition(next);
}

void TfrmBackupHint::bStopClick() {
  Timer1.SetEnabled(false);
  ::TerminateProcess(FProcessInfo.hProcess, 0);
  // Wait for it to be gone so that nothing of it writes after we return.
  ::WaitForSingleObject(FProcessInfo.hProcess, 5000);
  SetModalResult(IDCANCEL);
}

bool RunRegeditCommand(HWND owner, const std::wstring& commandLine, const std::wstring& hintText) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  std::wstring cmd = commandLine;  // CreateProcessW may write into it
  // No handles are handed to the editor: it needs none of ours.
  if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si,
                        &pi)) {
    ui::ShowNotice(owner, L"Please check if Regedit.exe exists.");
    return false;
  }
  int result = IDCANCEL;
  {
    TfrmBackupHint hint;
    result = hint.Execute(owner, pi, hintText);
  }
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return result == IDOK;
}

}  // namespace app
