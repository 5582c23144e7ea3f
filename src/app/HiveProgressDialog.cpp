#include "app/HiveProgressDialog.h"

#include <algorithm>

#include "core/Files.h"

namespace app {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

std::unique_ptr<registry::TScanDefragTaskThread> RealThread() {
  return std::make_unique<registry::TScanDefragTaskThread>();
}

}  // namespace

TfrmGetNewHiveProgess::TfrmGetNewHiveProgess() : ui::Form(L"TfrmGetNewHiveProgess"), factory_(&RealThread) {}

TfrmGetNewHiveProgess::~TfrmGetNewHiveProgess() {
  Timer1.SetEnabled(false);
  if (FThread) {
    FThread->Terminate();
    if (!FThread->WaitFor(INFINITE)) FThread.release();  // never freed under its feet
  }
}

void TfrmGetNewHiveProgess::OnCreate() {
  Label1.Create(hwnd_, L"Analyzing registry. Please wait.", 12, 12);
  Label2.Create(hwnd_, L"Checking: ", 12, 38);
  Memo1.Create(hwnd_, 80, 38, 300, 30, false);  // two lines: hive names are long
  Memo1.Show(true);
  ProgressBar1.Create(hwnd_, 12, 74, 368, 20, 1000);
  ProgressBar1.SetShowCaption(true);
  bStop.Create(hwnd_, L"Stop", 158, 106, 75, 25);
  bStop.SetId(IDCANCEL);  // Escape stops, as the button does
  bStop.OnClick = [this] { bStopClick(); };
  Timer1.SetOwner(hwnd_, 1);
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  Timer1.SetInterval(1000);
  Timer1.OnTimer = [this] { Timer1Timer(); };
}

THiveSaveOutcome TfrmGetNewHiveProgess::Execute(HWND owner, const std::vector<registry::THive>& hives, bool isWow64,
                                                bool slowSystem, bool hidden) {
  hives_ = hives;
  isWow64_ = isWow64;
  slowSystem_ = slowSystem;
  hidden_ = hidden;
  if (!Create(owner, L"Defrag Registry", kDialogStyle, WS_EX_DLGMODALFRAME)) return {};
  SetClientSize(392, 142);
  CenterOn(owner);
  FormShow();
  // Activation may not arrive (no window manager, a hidden run): start anyway.
  Post(registry::WM_STARTSAVE);
  ShowModal(owner);
  return outcome_;
}

void TfrmGetNewHiveProgess::FormShow() {
  ProgressBar1.SetPosition(0);
  FStopped = false;
  std::vector<std::int64_t> sizes;
  for (const registry::THive& h : hives_) sizes.push_back(core::GetFileSize64(h.File));
  progress_ = std::make_unique<registry::THiveSaveProgress>(sizes, slowSystem_);
}

LRESULT TfrmGetNewHiveProgess::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE) Post(registry::WM_STARTSAVE);
      break;
    case registry::WM_STARTSAVE:
      WMStartSave();
      return 0;
    case registry::WM_HIVESAVED:
      WMHiveSaved(w, l);
      return 0;
    case WM_CLOSE:
      if (!FormClose()) return 0;
      break;
    default:
      break;
  }
  return ui::Form::OnMessage(msg, w, l);
}

void TfrmGetNewHiveProgess::WMStartSave() {
  if (started_) return;
  started_ = true;
  if (hidden_) Show(false);
  FThread = factory_();
  FThread->FFormHandle = hwnd_;
  for (const registry::THive& h : hives_) {
    FThread->FHiveNames.push_back(h.Name);
    FThread->FHiveFiles.push_back(h.File);
  }
  FThread->FIsWow64 = isWow64_;
  ShowCurrentHive(0);
  if (!FThread->Start()) {
    FThread.reset();
    Close();
    return;
  }
  Timer1.SetEnabled(true);
  if (OnStarted) OnStarted(*this);
}

void TfrmGetNewHiveProgess::ShowCurrentHive(int index) {
  if (index >= 0 && index < static_cast<int>(hives_.size())) Memo1.SetText(hives_[static_cast<size_t>(index)].Name);
}

void TfrmGetNewHiveProgess::Timer1Timer() {
  if (!progress_->Running()) return;
  const std::wstring copy = registry::HiveCopyFile(hives_[static_cast<size_t>(progress_->CurrentIndex())].File);
  bool more = progress_->Tick(std::max<std::int64_t>(0, core::GetFileSize64(copy)));
  ProgressBar1.SetPosition(progress_->Position());
  if (!more) Timer1.SetEnabled(false);
}

void TfrmGetNewHiveProgess::WMHiveSaved(WPARAM w, LPARAM l) {
  if (!progress_->Running() || hives_.empty()) return;
  std::int64_t firstCopy = core::GetFileSize64(registry::HiveCopyFile(hives_[0].File));
  progress_->HiveSaved(static_cast<unsigned>(w), static_cast<int>(l), firstCopy);
  ProgressBar1.SetPosition(progress_->Position());
  if (!FStopped) ShowCurrentHive(progress_->CurrentIndex());
}

void TfrmGetNewHiveProgess::bStopClick() {
  FStopped = true;
  Label1.SetCaption(L"Stop Process...");
  Timer1.SetEnabled(false);
  if (FThread) FThread->Terminate();
  bStop.Enable(false);
}

bool TfrmGetNewHiveProgess::FormClose() {
  // Killing the thread could leave a half-written copy and a lock held; it
  // is asked to stop after the hive it is saving, whose end closes us.
  if (FThread && !FThread->Done()) {
    if (!FStopped) bStopClick();
    return false;
  }
  Timer1.SetEnabled(false);
  if (FThread) {
    if (!FThread->WaitFor(30000)) {
      FThread.release();  // still running: never freed under its feet
      return true;
    }
    outcome_.Saved = FThread->Saved();
    outcome_.Refused = FThread->Refusals();
    outcome_.Finished = FThread->AllHandled() && !FStopped;
    FThread.reset();
  }
  if (outcome_.Finished) Memo1.SetText(L"Finish");
  return true;
}

}  // namespace app
