// The registry page: starting and cancelling a scan, its end, the filter,
// the count line, the tick commands, the text export and the registry editor.
#include <fstream>

#include "app/Main.h"
#include "app/RegistryRows.h"
#include "core/TextCompare.h"
#include "registry/RegKey.h"
#include "registry/fix/FixReport.h"
#include "registry/fix/FixRun.h"
#include "ui/MessageBox.h"
#include "ui/RegistryKey.h"
#include "ui/Text.h"

namespace app {
namespace {

const wchar_t kSelectSections[] = L"Please select the sections which you want to scan from the left list.";
const wchar_t kNotFound[] = L"Please check whether the registry key or value exist.";

// Tags the scan's messages with its run id, so that a message of an earlier
// scan cannot end the current one.
class RunScanPoster : public registry::TScanPoster {
 public:
  RunScanPoster(HWND window, UINT runId) : window_(window), runId_(runId) {}
  void Post(UINT message) override { ::PostMessageW(window_, message, 0, runId_); }

 private:
  HWND window_;
  UINT runId_;
};

}  // namespace

bool TfrmMain::IsDriveReady(const wchar_t* root) {
  UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  wchar_t name[128] = {};
  BOOL ok = ::GetVolumeInformationW(root, name, 128, nullptr, nullptr, nullptr, nullptr, 0);
  ::SetErrorMode(previous);
  return ok != FALSE;
}

void TfrmMain::AddScanRow(const registry::TProblemRow& row) {
  scanRows_.push_back(row);
  lvRegistryData.AddRow(row.Problem, {row.Data, row.RegistryKey}, row.FixKind);
}

void TfrmMain::DeleteScanRow(int index) {
  lvRegistryData.DeleteRow(index);
  scanRows_.erase(scanRows_.begin() + index);
}

void TfrmMain::bScanClick() {
  if (FScanThread) {
    CancelScan();
    return;
  }
  bRestoreRegistry.Show(false);
  Memo1.Show(true);
  ProgressBar2.SetShowCaption(false);
  if (!FSelectedItems) FSelectedItems = std::make_unique<std::vector<std::wstring>>();
  FSelectedItems->clear();
  WalkRegistryTree(tvRegistry.First(), -1);
  if (FSelectedItems->empty()) {
    if (!FSilentClear) ui::ShowNotice(hwnd_, kSelectSections);
    bRestoreRegistry.Show(true);
    Memo1.Show(false);
    SilentRunStepDone();  // a silent run with nothing to scan still ends
    return;
  }
  lvRegistryData.Clear();
  scanRows_.clear();
  FilterScanResults();
  bScan.SetText(L"Cancel");
  // Nothing may be fixed, nor the sections changed, while the scan runs.
  bFixErrors.Enable(false);
  tvRegistry.Enable(false);
  if (!ProgressBar2.Visible()) {
    ProgressBar2.Show(true);
    Memo1.Clear();
    Memo1.Show(true);
  }
  ProgressBar2.SetPosition(0);
  FScanStep = ScanStepFor(*FSelectedItems);
  scanSectionsDone_ = 0;
  scanSectionsTotal_ = static_cast<int>(FSelectedItems->size());

  registry::TScanSettings settings = registry::ScanSettingsFromSystem();
  auto thread = std::make_unique<registry::TScanTaskThread>(settings);
  thread->FMainHandle = hwnd_;
  thread->FSections = *FSelectedItems;
  thread->SetPoster(std::make_shared<RunScanPoster>(hwnd_, ++scanRunId_));
  if (!core::OptionsSetting.IncludeRemoveMedia) {
    ProgressBar2.SetCaption(L"Prepairing...");
    ProgressBar2.SetShowCaption(true);
    thread->FDriveAReady = IsDriveReady(L"a:\\");
    thread->FDriveBReady = IsDriveReady(L"b:\\");
    ProgressBar2.SetShowCaption(false);
  }
  scanShared_ = thread->Shared();
  FScanThread = std::move(thread);
  Timer1.SetEnabled(true);
  if (!FScanThread->Start()) {
    FScanThread.reset();
    Post(registry::WM_SCANFINISHED, 0, scanRunId_);
  }
}

void TfrmMain::CancelScan() {
  // Cooperative: the scanner stops at its next check and posts its one
  // WM_SCANFINISHED; every row it handed over is complete, so none is dropped.
  FScanThread->Terminate();
  bScan.Enable(false);
}

void TfrmMain::DrainScan() {
  if (!scanShared_) return;
  std::vector<registry::TProblemRow> rows = scanShared_->Rows.TakeAll();
  if (!rows.empty()) {
    lvRegistryData.BeginUpdate();
    for (const registry::TProblemRow& r : rows) AddScanRow(r);
    lvRegistryData.EndUpdate();
  }
  if (FScanThread) {
    std::wstring title = scanShared_->Status.Title();
    if (!title.empty() && title != lScanTitle.Text()) lScanTitle.SetCaption(title);
    std::wstring key = scanShared_->Status.CurrentKey();
    if (key != Memo1.Text()) Memo1.SetText(key);
  }
}

LRESULT TfrmMain::WMScanSectionDone(LPARAM l) {
  if (static_cast<UINT>(l) == scanRunId_) {
    DrainScan();
    // The bar never shows less than the share of sections done.
    ++scanSectionsDone_;
    int floor = ScanBarFloor(scanSectionsDone_, scanSectionsTotal_);
    if (FScanThread && ProgressBar2.Position() < floor) ProgressBar2.SetPosition(floor);
  }
  UpdateErrorCounts();
  return 0;
}

LRESULT TfrmMain::WMScanFinished(LPARAM l) {
  if (static_cast<UINT>(l) != scanRunId_) return 0;
  if (FScanThread) {
    DrainScan();
    // Its last message is posted; it is freed once it has really ended.
    registry::FreeScanThreadWhenEnded(std::move(FScanThread), 10000);
  }
  scanShared_.reset();
  // Timer1 also cycles the bar of a visible test still running.
  Timer1.SetEnabled(FCleaning && FCleanMode == 2 && FClearThread != nullptr);
  bScan.SetText(L"Scan");
  bScan.Enable(true);
  bFixErrors.Enable(true);
  tvRegistry.Enable(true);
  lScanTitle.SetCaption(L"Select the sections to scan");
  Memo1.Show(false);
  ProgressBar2.SetPosition(1000);
  ProgressBar2.SetCaption(L"Finished!");
  ProgressBar2.SetShowCaption(true);
  aSelectAllExecute();
  if (lvRegistryData.Count() > 0) FilterScanResults();
  bRestoreRegistry.Show(true);
  Memo1.Show(false);
  UpdateErrorCounts();
  if (FSilentClear) {
    bFixErrorsClick();
    SilentRunStepDone();
  }
  return 0;
}

void TfrmMain::SilentRunStepDone() {
  if (!FSilentClear) return;
  if (!FScanThread) silentRegistryDone_ = true;
  AfterSilentClean();
}

void TfrmMain::FilterScanResults() {
  if (lvRegistryData.Count() == 0) {
    int w = lvRegistryData.Width();
    const int widths[] = {w * 100 / 450, w * 190 / 450, w * 140 / 450};
    for (int c = 0; c < 3; ++c) lvRegistryData.Send(LVM_SETCOLUMNWIDTH, c, widths[c]);
    return;
  }
  for (int c = 0; c < 3; ++c) lvRegistryData.Send(LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
  std::vector<std::wstring> values, keys;
  if (core::OptionsSetting.IgnoreValueList != nullptr) values = *core::OptionsSetting.IgnoreValueList;
  if (core::OptionsSetting.IgnoreKeyList != nullptr) keys = *core::OptionsSetting.IgnoreKeyList;
  std::vector<size_t> keep = FilterScanRows(scanRows_, values, keys, FWindowsVersion);
  std::vector<bool> kept(scanRows_.size(), false);
  for (size_t i : keep) kept[i] = true;
  lvRegistryData.BeginUpdate();
  for (size_t i = scanRows_.size(); i-- > 0;)
    if (!kept[i]) DeleteScanRow(static_cast<int>(i));
  lvRegistryData.EndUpdate();
}

void TfrmMain::UpdateErrorCounts() {
  int ticked = 0;
  for (int i = 0, n = lvRegistryData.Count(); i < n; ++i) ticked += lvRegistryData.Checked(i) ? 1 : 0;
  lStatusBar.SetCaption(ErrorCountLine(lvRegistryData.Count(), ticked));
}

void TfrmMain::SetAllTicks(bool ticked) {
  for (int i = 0, n = lvRegistryData.Count(); i < n; ++i) lvRegistryData.SetChecked(i, ticked);
  UpdateErrorCounts();
}

void TfrmMain::SetSelectedTick(bool ticked) {
  int sel = lvRegistryData.Selected();
  if (sel >= 0) lvRegistryData.SetChecked(sel, ticked);
}

void TfrmMain::SetTicksOfType(bool ticked) {
  int sel = lvRegistryData.Selected();
  if (sel < 0) return;
  const std::wstring problem = scanRows_[static_cast<size_t>(sel)].Problem;
  for (size_t i = 0; i < scanRows_.size(); ++i)
    if (scanRows_[i].Problem == problem) lvRegistryData.SetChecked(static_cast<int>(i), ticked);
  UpdateErrorCounts();
}

void TfrmMain::aSaveTextExecute() {
  if (lvRegistryData.Count() == 0) return;
  std::wstring chosen = env_.chooseSaveFile(hwnd_);
  if (chosen.empty()) return;
  std::wstring path = LogExportFileName(chosen);
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !ui::AskYesNo(hwnd_, path + L" has existed,overite it?"))
    return;
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  for (const registry::TProblemRow& r : scanRows_) out << ui::ToAnsi(ExportLine(r)) << "\r\n";
  out.flush();
  if (!out) ui::ShowError(hwnd_, L"Unable to write to " + path);
}

void TfrmMain::aOpenRegeditExecute() {
  int sel = lvRegistryData.Selected();
  if (sel < 0) return;
  OpenKeyInRegedit(RegeditPathForRow(scanRows_[static_cast<size_t>(sel)]));
}

void TfrmMain::OpenKeyInRegedit(const std::wstring& path) {
  if (core::UpperCase(path).find(L"HK") == std::wstring::npos) {
    ui::ShowNotice(hwnd_, kNotFound);
    return;
  }
  size_t slash = path.find(L'\\');
  if (slash == std::wstring::npos) return;
  std::wstring root = FullRootName(path.substr(0, slash));
  std::wstring subKey = path.substr(slash + 1);
  HKEY rootKey = registry::RootFromName(root);
  ui::RegistryKey key;
  if (rootKey != nullptr && key.Open(rootKey, subKey)) {
    if (regeditNavigator_) regeditNavigator_(root, subKey, L"");
    return;
  }
  // Not a key: its last part may be a value of the key above it.
  size_t last = subKey.rfind(L'\\');
  std::wstring value = last == std::wstring::npos ? subKey : subKey.substr(last + 1);
  std::wstring parent = last == std::wstring::npos ? std::wstring() : subKey.substr(0, last);
  ui::RegistryKey parentKey;
  if (rootKey == nullptr || !parentKey.Open(rootKey, parent) || !parentKey.ValueExists(value)) {
    ui::ShowNotice(hwnd_, kNotFound);
    return;
  }
  if (!parent.empty() && regeditNavigator_) regeditNavigator_(root, parent, value);
}

}  // namespace app

namespace app {

void TfrmMain::bFixErrorsClick() {
  if (FScanThread || lvRegistryData.Count() == 0) return;
  std::vector<registry::TFixRow> rows;
  rows.reserve(scanRows_.size());
  for (size_t i = 0; i < scanRows_.size(); ++i)
    rows.emplace_back(scanRows_[i], lvRegistryData.Checked(static_cast<int>(i)));
  registry::TFixRunResult r = registry::RunFix(rows, registry::FixSettingsFromOptions(hwnd_, FSilentClear));
  FBackupFile = r.BackupFile;
  // Fixed rows leave the list; failed and untouched ones stay with their ticks.
  lvRegistryData.BeginUpdate();
  for (size_t i = r.Rows.size(); i-- > 0;)
    if (r.Rows[i].LeavesList()) DeleteScanRow(static_cast<int>(i));
  lvRegistryData.EndUpdate();
  UpdateErrorCounts();
  ReportFix(rows, r);
  if (r.Stop != registry::fsFinished) return;
  lStatusBar.SetCaption(registry::FixCountLine(r) + L" " + registry::FixBackupLine(r));
  FilterScanResults();
}

void TfrmMain::ReportFix(const std::vector<registry::TFixRow>& rows, const registry::TFixRunResult& r) {
  if (!FSilentClear) {
    // The reasons of the rows that stay, so that the user can act on them.
    if (r.Stop == registry::fsFinished && r.Failed > 0)
      ui::ShowNotice(hwnd_, registry::FixCountLine(r) + L"\r\n\r\n" +
                                registry::JoinReasonLines(registry::FixRowReasonLines(rows, r, false), 10) +
                                L"\r\n\r\n" + registry::FixBackupLine(r));
    return;
  }
  for (const std::wstring& note : r.Notes) unattendedLog_.push_back(note);
  if (!r.Message.empty()) {
    std::wstring message = r.Message;
    for (size_t at; (at = message.find(L"\r\n")) != std::wstring::npos;) message.replace(at, 2, L" ");
    unattendedLog_.push_back(L"Registry fix stopped: " + message);
  }
  if (r.Stop == registry::fsFinished) unattendedLog_.push_back(registry::FixCountLine(r));
  for (const std::wstring& line : registry::FixRowReasonLines(rows, r, true)) unattendedLog_.push_back(line);
  if (r.Stop == registry::fsFinished || r.BackupEntries > 0) unattendedLog_.push_back(registry::FixBackupLine(r));
  if (r.StoppedOnBackup()) NoteUnattendedOutcome(2);
  else if (r.Failed > 0) NoteUnattendedOutcome(1);
}

}  // namespace app
