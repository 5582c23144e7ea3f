#include "app/SystemPointForms.h"

#include "registry/fix/SystemPoint.h"

namespace app {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;

HFONT TitleFont() {
  static HFONT font = ui::BoldFont(11);
  return font;
}

const wchar_t* const kHintLines[8] = {
    L"Restore Point creation Failed! ",
    L"Please check wether you turn on System Protection:",
    L"1. Run the command sysdm.cpl",
    L"2. Select the Tab System Protection.",
    L"3. Click on the drive you want to modify, typically C.",
    L"4. Click on Configure.",
    L"5. Click on Turn on system protection.",
    L"6. Click the Apply and OK button.",
};

}  // namespace

bool TIconPicture::Create(HWND parent, int x, int y, HICON icon) {
  if (!CreateControl(parent, L"STATIC", L"", WS_VISIBLE | SS_ICON, 0, x, y, 32, 32)) return false;
  Send(STM_SETICON, reinterpret_cast<WPARAM>(icon));
  return true;
}

void TfrmSystemPointFailHint::OnCreate() {
  Panel1.Create(hwnd_, 8, 8, 330, 176, true);
  for (int i = 0; i < 8; ++i) Lines[i].Create(Panel1.Handle(), kHintLines[i], 12, 10 + i * 20);
  Lines[0].SetLabelFont(TitleFont());
  // Beside the short closing lines: at the top it hid the end of the second.
  Image1.Create(Panel1.Handle(), 286, 104, ::LoadIconW(nullptr, IDI_WARNING));
  bContinue.Create(hwnd_, L"&Continue to Repair", 346, 8, 120, 25, BS_DEFPUSHBUTTON);
  bOk.Create(hwnd_, L"&Cancel", 346, 40, 120, 25);
  bContinue.SetId(IDOK);
  bOk.SetId(IDCANCEL);
  bContinue.OnClick = [this] { SetModalResult(IDOK); };
  bOk.OnClick = [this] { SetModalResult(IDCANCEL); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
}

int TfrmSystemPointFailHint::Execute(HWND owner) {
  if (!Create(owner, L"Restore Point creation failed", kDialogStyle | WS_SYSMENU, WS_EX_DLGMODALFRAME))
    return IDCANCEL;
  SetClientSize(474, 192);
  CenterOn(owner);
  return ShowModal(owner);
}

void TfrmSystemPoint::OnCreate() {
  GroupBox1.Create(hwnd_, L"", 8, 4, 364, 136);
  const HWND g = GroupBox1.Handle();
  Label1.Create(g, L"Creating Restore Point", 16, 18);
  Label1.SetLabelFont(TitleFont());
  Label2.Create(g, L"The softwae is creating a restore point which will enable", 16, 42);
  Label3.Create(g, L"you to safely return your system back to its former state.", 16, 58);
  Label4.Create(g, L"Please wait...", 16, 82);
  ProgressBar1.Create(g, 16, 104, 332, 18, 100);
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  Timer1.SetOwner(hwnd_, 1);
  Timer1.SetInterval(1000);
  Timer1.OnTimer = [this] { Timer1Timer(); };
}

int TfrmSystemPoint::Execute(HWND owner) {
  // Without the dialog there is no way to ask: the caller stops.
  if (!Create(owner, L"Create System Point", kDialogStyle, WS_EX_DLGMODALFRAME)) return IDCANCEL;
  SetClientSize(380, 148);
  CenterOn(owner);
  FormShow();
  return ShowModal(owner);
}

void TfrmSystemPoint::FormShow() {
  FDone = false;
  Timer1.SetEnabled(true);
  auto* thread = new registry::TCreateSystemPointThread(registry::SystemRestoreLibraryPath());
  thread->FFormHandle = hwnd_;
  thread->SetFreeOnTerminate(true);
  FThreadStarted = thread->Start();
  if (!FThreadStarted) {  // it never ran, so it frees nothing itself
    delete thread;
    Post(registry::WM_RESTOREPOINTDONE, 0, 1);
  }
}

LRESULT TfrmSystemPoint::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == registry::WM_RESTOREPOINTDONE) {
    WMRestorePointDone(l);
    return 0;
  }
  if (msg == WM_CLOSE) FormClose();
  return ui::Form::OnMessage(msg, w, l);
}

void TfrmSystemPoint::WMRestorePointDone(LPARAM l) {
  if (FDone) return;
  int result = IDOK;
  if (l == 1) {
    TfrmSystemPointFailHint hint;
    if (hint.Execute(hwnd_) != IDOK) result = IDCANCEL;
  }
  FDone = true;
  Timer1.SetEnabled(false);
  SetModalResult(result);
}

void TfrmSystemPoint::Timer1Timer() {
  ProgressBar1.SetPosition(registry::NextSystemPointPosition(ProgressBar1.Position()));
}

void TfrmSystemPoint::FormClose() {
  Timer1.SetEnabled(false);
  if (FDone) return;
  // Closed before the answer: the caller stops. The request is left to end
  // on its own thread; killing it could leave a lock inside System Restore
  // held for the rest of the program's life.
  FDone = true;
  SetModalResult(IDCANCEL);
}

int ShowSystemPointDialog(HWND owner) {
  TfrmSystemPoint dialog;
  return dialog.Execute(owner);
}

}  // namespace app
