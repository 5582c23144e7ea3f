#include "app/DefragPage.h"

#include <algorithm>

#include "core/Options.h"
#include "core/SystemInfo.h"
#include "core/Privileges.h"
#include "core/guard/SettingsFile.h"
#include "registry/defrag/DefragSteps.h"
#include "registry/defrag/SizeTable.h"
#include "registry/fix/SystemPoint.h"
#include "sys/IniFile.h"
#include "sys/Text.h"
#include "ui/MessageBox.h"

namespace app {
namespace {

const wchar_t kCopyInUse[] = L"Can not analyze the registry now! Please try again later.";
const wchar_t kAnalysisFailed[] = L"Failed to analyze the registry!";
const wchar_t kDefragFailed[] = L"Failed to defrag the registry";
const wchar_t kRestartQuestion[] =
    L"You must restart your computer for the changes to take effect. Click the YES button to restart your computer "
    L"now.";
const wchar_t kScanSection[] = L"Scan Result";
const wchar_t kNoHiveList[] = L"No registry hive list was found, so there is nothing to analyze.";
const wchar_t kUnsupported[] = L"The software does not support the current Windows system!";
const wchar_t kUnfinished[] = L"The analysis did not finish.";
const wchar_t kNoHiveFile[] = L"No file of a listed hive can be found, so there is nothing to analyze.";

// How the page, the logs and the result file name a hive left out of the
// analysis. Only one whose file cannot be found holds back the others' swaps:
// a file on a volume with no drive letter is there, just not compacted.
struct TLeftOutTexts {
  registry::TLeftOutReason why;
  const wchar_t* row;      // in the hive's row
  const wchar_t* fileIs;   // after "<hive>: its file <path> "
  const wchar_t* logLead;  // before that, in an unattended run's log
  const wchar_t* iniKey;   // the result file's key, numbered from 1
  bool holdsSwaps;
};
const TLeftOutTexts kLeftOutTexts[] = {
    {registry::TLeftOutReason::NotFound, L"cannot be found", L"cannot be found", L"Left out the hive ", L"Left Out ",
     true},
    {registry::TLeftOutReason::NoDriveLetter, L"not compacted (on a volume with no drive letter)",
     L"is on a volume with no drive letter", L"Not compacted: the hive ", L"Not Compacted ", false},
};

const TLeftOutTexts& TextsOf(registry::TLeftOutReason why) {
  for (const TLeftOutTexts& t : kLeftOutTexts)
    if (t.why == why) return t;
  return kLeftOutTexts[0];
}

std::wstring FullPath(const std::wstring& name) {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = ::GetFullPathNameW(name.c_str(), MAX_PATH, buf, nullptr);
  return n == 0 || n >= MAX_PATH ? name : std::wstring(buf, n);
}

}  // namespace

std::wstring LocalDateTimeText() {
  wchar_t date[64] = {}, time[64] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 64);
  return std::wstring(date) + L" " + time;
}

TDefragPage::TDefragPage(HWND owner, Controls controls)
    : owner_(owner), c_(controls), platform_(registry::RealDefragPlatform()) {}

void TDefragPage::Notice(const std::wstring& text, int code, UINT icon) {
  // An unattended run never waits on a person; its log says what it would have been told.
  if (!FCommandLineRun) {
    ui::ShowMessage(owner_, text, MB_OK | icon);
    return;
  }
  runLog_.push_back(text);
  runCode_ = std::max(runCode_, code);
}

// Every hive was saved, or refused: a refused hive is not compacted and
// holds back no other.
bool TDefragPage::AnalysisComplete() const {
  if (saved_.empty() || saved_.size() != hives_.size()) return false;
  for (size_t i = 0; i < saved_.size(); ++i)
    if (!saved_[i] && RefusalOf(i).empty()) return false;
  return true;
}

const std::wstring& TDefragPage::RefusalOf(size_t i) const {
  static const std::wstring none;
  return i < refused_.size() ? refused_[i] : none;
}

void TDefragPage::NoticeRefused(size_t i, const std::wstring& why) {
  Notice(L"Not compacted: the hive " + hives_[i].Name + L": " + why, 1);
}

void TDefragPage::LoadHiveList() {
  leftOut_.clear();
  hives_ = registry::LoadHiveList(FIsWow64, &leftOut_);
  for (const registry::THive& h : hives_) c_.lvMain.AddRow(h.Name, {L"", L"", L""});
  // Below the hives the analysis fills, so that their rows keep their places.
  for (const registry::TLeftOutHive& h : leftOut_) c_.lvMain.AddRow(h.Hive.Name, {TextsOf(h.Why).row, L"", L""});
}

void TDefragPage::bAnalyzeRegistryClick() {
  if (hives_.empty()) {
    Notice(leftOut_.empty() ? kNoHiveList : kNoHiveFile, 2, MB_ICONINFORMATION);
    return;
  }
  if (registry::AnyHiveCopyInUse(hives_)) {
    Notice(kCopyInUse, 2);
    return;
  }
  TfrmGetNewHiveProgess dialog;
  if (dialogSetup_) dialogSetup_(dialog);
  bool slow = core::IsVistaOrLater(FWindowsVersion) || FIsWow64;
  THiveSaveOutcome outcome = dialog.Execute(owner_, hives_, FIsWow64, slow, FCommandLineRun);
  saved_.clear();
  refused_ = outcome.Refused;
  c_.bDefragRegistry.Enable(false);
  if (!outcome.Finished) {  // rows and labels keep what they showed
    if (FCommandLineRun) Notice(kUnfinished, 2);
    return;
  }
  if (FCommandLineRun) LogSaveFailures(outcome.Saved);
  if (registry::SoftwareCopyTooSmall(hives_, outcome.Saved)) {
    Notice(kAnalysisFailed, 1);
    return;
  }
  saved_ = outcome.Saved;
  ShowSizeTable();
}

// The page shows a failed save as "Failed" in the hive's row, and a refused
// hive as not compacted, with why; a command-line run names each such hive,
// and says so when not one could be saved.
void TDefragPage::LogSaveFailures(const std::vector<bool>& saved) {
  size_t failed = 0;
  for (size_t i = 0; i < hives_.size(); ++i) {
    if (i < saved.size() && saved[i]) continue;
    if (!RefusalOf(i).empty()) {
      NoticeRefused(i, RefusalOf(i));
      continue;
    }
    ++failed;
    Notice(L"Failed to save the hive " + hives_[i].Name + L" to " + registry::HiveCopyFile(hives_[i].File), 1);
  }
  if (failed > 0 && failed == hives_.size()) Notice(L"No hive could be saved.", 2);
}

// A hive the list names but whose file no drive letter reaches cannot be
// compacted: an unattended run names it, and counts it as failed when its
// file cannot be found.
void TDefragPage::LogLeftOutHives() {
  for (const registry::TLeftOutHive& h : leftOut_) {
    const TLeftOutTexts& t = TextsOf(h.Why);
    Notice(t.logLead + LeftOutText(h), t.holdsSwaps ? 1 : 0);
  }
}

std::wstring TDefragPage::LeftOutText(const registry::TLeftOutHive& h) {
  return h.Hive.Name + L": its file " + h.Hive.File + L" " + TextsOf(h.Why).fileIs;
}

bool TDefragPage::SwapsHeldBack() const {
  for (const registry::TLeftOutHive& h : leftOut_)
    if (TextsOf(h.Why).holdsSwaps) return true;
  return false;
}

// Why an unattended defragmentation scheduled nothing.
std::wstring TDefragPage::NothingScheduledText() const {
  std::wstring why;
  if (SwapsHeldBack()) why = L"the file of a listed hive cannot be found";
  if (!AnalysisComplete()) why += std::wstring(why.empty() ? L"" : L", and ") + L"not every hive could be saved";
  if (why.empty()) why = L"no hive may be compacted";
  return L"Nothing was scheduled: " + why + L".";
}

void TDefragPage::ShowSizeTable() {
  registry::TSizeTable t =
      registry::BuildSizeTable(registry::MeasureHives(hives_, saved_, refused_), registry::LocaleDecimalSeparator());
  for (size_t i = 0; i < t.Rows.size() && static_cast<int>(i) < c_.lvMain.Count(); ++i) {
    int row = static_cast<int>(i);
    c_.lvMain.SetCellText(row, 1, t.Rows[i].CurrentSize);
    c_.lvMain.SetCellText(row, 2, t.Rows[i].NewSize);
    c_.lvMain.SetCellText(row, 3, t.Rows[i].Reduction);
  }
  c_.lCurrentRegistrySize.SetCaption(t.CurrentRegistrySize);
  c_.lNewRegistrySize.SetCaption(t.NewRegistrySize);
  c_.lSizeReduction.SetCaption(t.SizeReduction);
  c_.lCompactPercent.SetCaption(t.CompactPercent);
  if (FCommandLineRun) LogSizeTable(t);
  // A hive whose copy failed is never swapped; the others may be, unless the
  // file of a listed hive cannot be found.
  bool anySaved = false;
  for (bool s : saved_) anySaved = anySaved || s;
  c_.bDefragRegistry.Enable(anySaved && !SwapsHeldBack());
  if (t.LowRate && !FCommandLineRun) Notice(registry::LowRateMessage(t.CompactPercent));
}

void TDefragPage::LogSizeTable(const registry::TSizeTable& t) {
  for (size_t i = 0; i < t.Rows.size() && i < hives_.size(); ++i)
    runLog_.push_back(hives_[i].Name + L": " + t.Rows[i].CurrentSize + L" -> " + t.Rows[i].NewSize);
  runLog_.push_back(L"Current Size: " + t.CurrentRegistrySize + L", New Size: " + t.NewRegistrySize +
                    L", Size Reduction: " + t.SizeReduction + L", Compact Percent: " + t.CompactPercent);
}

void TDefragPage::bDefragRegistryClick() {
  // A listed hive whose file cannot be found: all hives change or none.
  if (SwapsHeldBack()) return;
  bool systemRestore = core::IsXPTo7(FWindowsVersion);
  if (core::OptionsSetting.RestorePoint && !FCommandLineRun && systemRestore &&
      registry::ShowSystemPointDialog(owner_) != IDOK)
    return;
  core::EnableRestorePrivilege();
  for (size_t i = 0; i < hives_.size() && i < saved_.size(); ++i) {
    if (!saved_[i]) continue;
    const registry::THiveStep step = registry::ReplaceHive(*platform_, hives_[i], FIsWow64);
    if (step.Ok()) {
      scheduled_.insert(registry::HiveCopyFile(hives_[i].File));
      if (FCommandLineRun) runLog_.push_back(L"Scheduled for the next start: " + hives_[i].Name);
    } else if (step.Result == registry::THiveStep::Refused) {
      NoticeRefused(i, step.Why);
    } else {
      Notice(kDefragFailed + hives_[i].Name, 1);
    }
  }
  if (scheduled_.empty()) return;
  // The swaps wait for the restart; a second analysis or swap now would work
  // on files Windows is about to take.
  c_.bDefragRegistry.Enable(false);
  c_.bAnalyzeRegistry.Enable(false);
  if (FCommandLineRun) return;
  if (ui::ShowMessage(owner_, kRestartQuestion, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) != IDNO)
    platform_->RestartWindows();
}

void TDefragPage::HideOwner() const { ::ShowWindow(owner_, SW_HIDE); }

void TDefragPage::RunUnattended(const std::function<void()>& run) {
  HideOwner();
  if (!c_.bAnalyzeRegistry.Enabled()) {
    Notice(kUnsupported, 2);
    return;
  }
  LogLeftOutHives();
  // Nothing may stop the run before the window closes, nor ask anybody why.
  try {
    run();
  } catch (const std::exception& e) {
    Notice(L"The run stopped on an error: " + sys::FromAnsi(e.what()), 2);
  }
}

void TDefragPage::WMAutoDefrag() {
  RunUnattended([this] {
    bAnalyzeRegistryClick();
    // Unattended, only a complete analysis of every listed hive is acted on:
    // a failed hive, or one whose file cannot be found, schedules nothing.
    if (c_.bDefragRegistry.Enabled() && AnalysisComplete() && !SwapsHeldBack()) bDefragRegistryClick();
    else if (runCode_ == 1) runLog_.push_back(NothingScheduledText());
  });
}

void TDefragPage::WMAutoDefragScan(const std::wstring& iniName) {
  RunUnattended([&] {
    const std::wstring file = iniName.empty() ? std::wstring() : FullPath(iniName);
    // The old result goes first, so that a stopped run leaves none; a file
    // that may not be written stops the run here, before the analysis.
    if (!file.empty()) {
      sys::IniFile old = core::guard::SettingsIni(file);
      old.EraseSection(kScanSection);
      old.Flush();
    }
    bAnalyzeRegistryClick();
    if (file.empty()) return;
    sys::IniFile ini = core::guard::SettingsIni(file);
    ini.WriteString(kScanSection, L"Current Size", c_.lCurrentRegistrySize.Text());
    ini.WriteString(kScanSection, L"New Size", c_.lNewRegistrySize.Text());
    ini.WriteString(kScanSection, L"Size Reduction", c_.lSizeReduction.Text());
    ini.WriteString(kScanSection, L"Compact Percent", c_.lCompactPercent.Text());
    ini.WriteString(kScanSection, L"Time", LocalDateTimeText());
    for (const TLeftOutTexts& t : kLeftOutTexts) {
      int n = 0;
      for (const registry::TLeftOutHive& h : leftOut_)
        if (h.Why == t.why) ini.WriteString(kScanSection, t.iniKey + std::to_wstring(++n), LeftOutText(h));
      // A refused hive is there, and not compacted either.
      if (!t.holdsSwaps) {
        for (size_t i = 0; i < hives_.size(); ++i)
          if (!RefusalOf(i).empty())
            ini.WriteString(kScanSection, t.iniKey + std::to_wstring(++n), hives_[i].Name + L": " + RefusalOf(i));
      }
    }
    ini.Flush();
  });
}

void TDefragPage::FormClose() { registry::DeleteLeftoverCopies(hives_, scheduled_); }

}  // namespace app
