// The registry page: starting and cancelling a scan, its end, the filter,
// the count line, the tick commands, the text export and the registry editor.
#include "app/RegistryPage.h"

#include <algorithm>

#include "app/Main.h"
#include "app/RestoreForm.h"
#include "app/UserFiles.h"
#include "app/RegistryRows.h"
#include "sys/TextCompare.h"
#include "registry/RegKey.h"
#include "registry/fix/FixReport.h"
#include "registry/fix/FixRun.h"
#include "ui/MessageBox.h"
#include "sys/RegistryKey.h"
#include "sys/Text.h"

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

TRegistryPage::TRegistryPage(TfrmMain& form)
    : form_(form),
      gbRegistry(form.gbRegistry),
      lScanTitle(form.lScanTitle),
      tvRegistry(form.tvRegistry),
      ProgressBar2(form.ProgressBar2),
      lvRegistryData(form.lvRegistryData),
      Memo1(form.Memo1),
      pRegistryStatus(form.pRegistryStatus),
      lStatusBar(form.lStatusBar),
      bRestoreRegistry(form.bRestoreRegistry),
      bScan(form.bScan),
      bFixErrors(form.bFixErrors),
      PopupMenu1(form.PopupMenu1),
      Timer1(form.Timer1) {}

void TRegistryPage::CreateControls(HWND parent) {
  gbRegistry.Create(parent, L"Progress", 85, 55, 606, 395);
  gbRegistry.Tag = 18;
  HWND p = gbRegistry.Handle();
  lScanTitle.Create(p, L"Select the sections to scan", 10, 18, false, 200, 14);
  tvRegistry.Create(p, 10, 36, 200, 300);
  ProgressBar2.Create(p, 218, 14, 378, 18, 1000);
  ProgressBar2.Show(false);
  lvRegistryData.Create(p, 218, 36, 378, 300, true);
  lvRegistryData.AddColumn(L"Problem", 80);
  lvRegistryData.AddColumn(L"Data", 158);
  lvRegistryData.AddColumn(L"Registry key", 120);
  pRegistryStatus.Create(p, 10, 350, 200, 30, true);
  // Two lines: the count line is wider than the column.
  lStatusBar.Create(pRegistryStatus.Handle(), L"", 4, 2, false, 192, 26);
  Memo1.Create(p, 218, 345, 150, 30, false);
  Memo1.Show(false);
  bRestoreRegistry.Create(p, L"Restore", 220, 348, 75, 25);
  bScan.Create(p, L"Scan", 420, 348, 75, 25);
  bFixErrors.Create(p, L"Fix Errors", 515, 348, 75, 25);
  bRestoreRegistry.OnClick = [this] { bRestoreRegistryClick(form_.Handle()); };
  bScan.OnClick = [this] { bScanClick(); };
  bFixErrors.OnClick = [this] { bFixErrorsClick(); };
  lvRegistryData.OnCheckChanged = [this] { UpdateErrorCounts(); };
}

void TRegistryPage::CreateMenu() {
  auto rowSelected = [this] { return lvRegistryData.Selected() >= 0; };
  PopupMenu1.Add(L"Select &Item", [this] { SetSelectedTick(true); }, rowSelected);
  PopupMenu1.Add(L"&Deselect Item", [this] { SetSelectedTick(false); }, rowSelected);
  PopupMenu1.Add(L"", nullptr);
  PopupMenu1.Add(L"Select All of &Type", [this] { SetTicksOfType(true); }, rowSelected);
  PopupMenu1.Add(L"Deselect A&ll of Type", [this] { SetTicksOfType(false); }, rowSelected);
  PopupMenu1.Add(L"", nullptr);
  PopupMenu1.Add(L"Select &All", [this] { aSelectAllExecute(); });
  PopupMenu1.Add(L"De&select All", [this] { aSelectNoneExecute(); });
  PopupMenu1.Add(L"", nullptr);
  PopupMenu1.Add(L"Save as Text...", [this] { aSaveTextExecute(); }, [this] { return lvRegistryData.Count() > 0; });
  PopupMenu1.Add(L"", nullptr);
  PopupMenu1.Add(L"&RegEdit...", [this] { aOpenRegeditExecute(); }, rowSelected, L"Ctrl+R");
  // From the keyboard the list's menu opens below its current row.
  PopupMenu1.AttachTo(lvRegistryData, form_.Handle(), [this] {
    int row = static_cast<int>(lvRegistryData.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    RECT r{};
    r.left = LVIR_BOUNDS;
    bool onRow = row >= 0 && lvRegistryData.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return ui::KeyboardMenuPoint(lvRegistryData.Handle(), onRow ? &r : nullptr);
  });
}

void TRegistryPage::ShowStatus(const std::wstring& text) {
  lStatusBar.SetCaption(text);
  ArrangeStatus();
}

void TRegistryPage::ArrangeStatus() {
  constexpr int kMinHeight = 30, kMargin = 4;
  const int bottom = bScan.Top() + 1 + kMinHeight;
  const int textWidth = pRegistryStatus.Width() - 2 * kMargin;
  RECT r{0, 0, textWidth, 0};
  const std::wstring text = lStatusBar.Text();
  HDC dc = ::GetDC(lStatusBar.Handle());
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(lStatusBar.Send(WM_GETFONT)));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
  ::SelectObject(dc, old);
  ::ReleaseDC(lStatusBar.Handle(), dc);
  const int height = std::max(kMinHeight, static_cast<int>(r.bottom) + kMargin);
  pRegistryStatus.SetBounds(pRegistryStatus.Left(), bottom - height, pRegistryStatus.Width(), height);
  lStatusBar.SetBounds(kMargin, 2, textWidth, height - kMargin);
  tvRegistry.SetHeight(std::min(lvRegistryData.Height(), pRegistryStatus.Top() - 10 - tvRegistry.Top()));
}

void TRegistryPage::Timer1Step() {
  DrainScan();
  if (gbRegistry.Visible() && FScanThread)
    ProgressBar2.SetPosition(
        NextScanBarPosition(ProgressBar2.Position(), FScanStep, scanSectionsDone_, scanSectionsTotal_));
}

void TRegistryPage::FormClose() {
  if (!FScanThread) return;
  FScanThread->Terminate();
  registry::FreeScanThreadWhenEnded(std::move(FScanThread), 15000);  // a thread still running is never freed
}

bool TRegistryPage::IsDriveReady(const wchar_t* root) {
  UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  wchar_t name[128] = {};
  BOOL ok = ::GetVolumeInformationW(root, name, 128, nullptr, nullptr, nullptr, nullptr, 0);
  ::SetErrorMode(previous);
  return ok != FALSE;
}

void TRegistryPage::AddScanRow(const registry::TProblemRow& row) {
  scanRows_.push_back(row);
  lvRegistryData.AddRow(row.Problem, {row.Data, row.RegistryKey}, row.FixKind);
}

void TRegistryPage::DeleteScanRow(int index) {
  lvRegistryData.DeleteRow(index);
  scanRows_.erase(scanRows_.begin() + index);
}

void TRegistryPage::bScanClick() {
  if (FScanThread) {
    CancelScan();
    return;
  }
  bRestoreRegistry.Show(false);
  Memo1.Show(true);
  ProgressBar2.SetShowCaption(false);
  if (!form_.FSelectedItems) form_.FSelectedItems = std::make_unique<std::vector<std::wstring>>();
  form_.FSelectedItems->clear();
  form_.WalkRegistryTree(tvRegistry.First(), -1);
  if (form_.FSelectedItems->empty()) {
    if (!form_.FSilentClear) ui::ShowNotice(form_.Handle(), kSelectSections);
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
  FScanStep = ScanStepFor(*form_.FSelectedItems);
  scanSectionsDone_ = 0;
  scanSectionsTotal_ = static_cast<int>(form_.FSelectedItems->size());

  registry::TScanSettings settings = registry::ScanSettingsFromSystem();
  auto thread = std::make_unique<registry::TScanTaskThread>(settings);
  thread->FMainHandle = form_.Handle();
  thread->FSections = *form_.FSelectedItems;
  thread->SetPoster(std::make_shared<RunScanPoster>(form_.Handle(), ++scanRunId_));
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
    form_.Post(registry::WM_SCANFINISHED, 0, scanRunId_);
  }
}

void TRegistryPage::CancelScan() {
  // Cooperative: the scanner stops at its next check and posts its one
  // WM_SCANFINISHED; every row it handed over is complete, so none is dropped.
  FScanThread->Terminate();
  bScan.Enable(false);
}

void TRegistryPage::DrainScan() {
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

LRESULT TRegistryPage::WMScanSectionDone(LPARAM l) {
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

LRESULT TRegistryPage::WMScanFinished(LPARAM l) {
  if (static_cast<UINT>(l) != scanRunId_) return 0;
  if (FScanThread) {
    DrainScan();
    // Its last message is posted; it is freed once it has really ended.
    registry::FreeScanThreadWhenEnded(std::move(FScanThread), 10000);
  }
  scanShared_.reset();
  // Timer1 also cycles the bar of a visible test still running.
  Timer1.SetEnabled(form_.Cleaner.CyclesBar());
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
  if (form_.FSilentClear) {
    bFixErrorsClick();
    SilentRunStepDone();
  }
  return 0;
}

void TRegistryPage::SilentRunStepDone() {
  if (!form_.FSilentClear) return;
  if (!FScanThread) silentRegistryDone_ = true;
  form_.AfterSilentClean();
}

void TRegistryPage::FilterScanResults() {
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
  std::vector<size_t> keep = FilterScanRows(scanRows_, values, keys, form_.FWindowsVersion);
  std::vector<bool> kept(scanRows_.size(), false);
  for (size_t i : keep) kept[i] = true;
  lvRegistryData.BeginUpdate();
  for (size_t i = scanRows_.size(); i-- > 0;)
    if (!kept[i]) DeleteScanRow(static_cast<int>(i));
  lvRegistryData.EndUpdate();
}

void TRegistryPage::UpdateErrorCounts() {
  int ticked = 0;
  for (int i = 0, n = lvRegistryData.Count(); i < n; ++i) ticked += lvRegistryData.Checked(i) ? 1 : 0;
  ShowStatus(ErrorCountLine(lvRegistryData.Count(), ticked));
}

void TRegistryPage::SetAllTicks(bool ticked) {
  lvRegistryData.BeginUpdate();
  for (int i = 0, n = lvRegistryData.Count(); i < n; ++i) lvRegistryData.SetChecked(i, ticked);
  lvRegistryData.EndUpdate();
}

void TRegistryPage::SetSelectedTick(bool ticked) {
  int sel = lvRegistryData.Selected();
  if (sel >= 0) lvRegistryData.SetChecked(sel, ticked);
}

void TRegistryPage::SetTicksOfType(bool ticked) {
  int sel = lvRegistryData.Selected();
  if (sel < 0) return;
  const std::wstring problem = scanRows_[static_cast<size_t>(sel)].Problem;
  lvRegistryData.BeginUpdate();
  for (size_t i = 0; i < scanRows_.size(); ++i)
    if (scanRows_[i].Problem == problem) lvRegistryData.SetChecked(static_cast<int>(i), ticked);
  lvRegistryData.EndUpdate();
}

void TRegistryPage::aSaveTextExecute() {
  if (lvRegistryData.Count() == 0) return;
  std::wstring chosen = form_.Cleaner.Environment().ChooseSaveFile(form_.Handle());
  if (chosen.empty()) return;
  std::wstring path = LogExportFileName(chosen);
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
      ui::ShowMessage(form_.Handle(), path + L" has existed,overite it?", MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) !=
          IDYES)
    return;
  std::string text;
  for (const registry::TProblemRow& r : scanRows_) text += sys::ToAnsi(ExportLine(r)) + "\r\n";
  std::wstring why;
  if (!WriteUserFile(path, text, &why)) ui::ShowError(form_.Handle(), why);
}

void TRegistryPage::aOpenRegeditExecute() {
  int sel = lvRegistryData.Selected();
  if (sel < 0) return;
  OpenKeyInRegedit(RegeditPathForRow(scanRows_[static_cast<size_t>(sel)]));
}

void TRegistryPage::OpenKeyInRegedit(const std::wstring& path) {
  if (sys::UpperCase(path).find(L"HK") == std::wstring::npos) {
    ui::ShowNotice(form_.Handle(), kNotFound);
    return;
  }
  size_t slash = path.find(L'\\');
  if (slash == std::wstring::npos) return;
  std::wstring root = FullRootName(path.substr(0, slash));
  std::wstring subKey = path.substr(slash + 1);
  HKEY rootKey = registry::RootFromName(root);
  sys::RegistryKey key;
  if (rootKey != nullptr && key.Open(rootKey, subKey)) {
    if (regeditNavigator_) regeditNavigator_->Navigate(root, subKey, L"");
    return;
  }
  // Not a key: its last part may be a value of the key above it.
  size_t last = subKey.rfind(L'\\');
  std::wstring value = last == std::wstring::npos ? subKey : subKey.substr(last + 1);
  std::wstring parent = last == std::wstring::npos ? std::wstring() : subKey.substr(0, last);
  sys::RegistryKey parentKey;
  if (rootKey == nullptr || !parentKey.Open(rootKey, parent) || !parentKey.ValueExists(value)) {
    ui::ShowNotice(form_.Handle(), kNotFound);
    return;
  }
  if (!parent.empty() && regeditNavigator_) regeditNavigator_->Navigate(root, parent, value);
}

void TRegistryPage::bFixErrorsClick() {
  // An empty list still asks about a missing backup folder first; the run stops after it.
  if (FScanThread) return;
  std::vector<registry::TFixRow> rows;
  rows.reserve(scanRows_.size());
  for (size_t i = 0; i < scanRows_.size(); ++i)
    rows.emplace_back(scanRows_[i], lvRegistryData.Checked(static_cast<int>(i)));
  registry::TFixRunResult r = registry::RunFix(rows, registry::FixSettingsFromOptions(form_.Handle(), form_.FSilentClear));
  // Fixed rows leave the list; failed and untouched ones stay with their ticks.
  lvRegistryData.BeginUpdate();
  for (size_t i = r.Rows.size(); i-- > 0;)
    if (r.Rows[i].LeavesList()) DeleteScanRow(static_cast<int>(i));
  lvRegistryData.EndUpdate();
  // With no rows the fix changed no count: the line stays as it was.
  if (!rows.empty()) UpdateErrorCounts();
  form_.ReportFix(rows, r);
  if (r.Stop != registry::fsFinished) return;
  ShowStatus(registry::FixCountLine(r) + L" " + registry::FixBackupLine(r));
  FilterScanResults();
}

}  // namespace app
