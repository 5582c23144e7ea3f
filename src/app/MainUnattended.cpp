// The automatic runs over both pages ("/Auto", "/Clear"), and the end of the
// unattended runs ("/Clear", "/Regdefrag", "/Regscan"): nobody saw the window,
// so what each did is kept in a log file beside options.ini, and the exit
// code tells a scheduled task how it went.
#include "app/Main.h"
#include "app/CleanerEnvironment.h"
#include "app/DefragPage.h"
#include "registry/fix/FixReport.h"
#include "sys/Text.h"
#include "ui/MessageBox.h"

namespace app {
namespace {

// The logs of the unattended runs lie beside options.ini.
std::wstring LogBesideOptions(const wchar_t* name) {
  std::wstring options = core::OptionsFilePath(core::DefaultOptionsPaths());
  return options.substr(0, options.find_last_of(L'\\') + 1) + name;
}

}  // namespace

std::wstring TfrmMain::OptionsNotRead(const std::wstring& outcome) const {
  return L"The options file " + core::OptionsFilePath(core::DefaultOptionsPaths()) +
         L" was not read (a link, a folder, a file with more than one name, or unreadable): " + outcome;
}

void TfrmMain::WriteUnattendedLog() {
  Cleaner.FlushLog();
  std::vector<std::wstring> lines = lMain.Items();
  lines.insert(lines.end(), unattendedLog_.begin(), unattendedLog_.end());
  SaveOptionsBeforeLog(&lines);
  lines.push_back(L"Exit code: " + std::to_wstring(exitCode_));
  // Nobody is there to tell when it cannot be written; the exit code still says how the run went.
  WriteLogExport(LogBesideOptions(L"Clear.log"), lines);
}

LRESULT TfrmMain::WMHiveToolRun(UINT msg) {
  const bool defrag = msg == WM_REGDEFRAG;
  if (defrag) defragPage_->WMAutoDefrag();
  else defragPage_->WMAutoDefragScan(args_.size() > 1 ? args_[1] : std::wstring());
  NoteUnattendedOutcome(defragPage_->RunExitCode());
  std::vector<std::wstring> lines = defragPage_->RunLog();
  SaveOptionsBeforeLog(&lines);
  lines.push_back(L"Exit code: " + std::to_wstring(exitCode_));
  WriteLogExport(LogBesideOptions(defrag ? L"Regdefrag.log" : L"Regscan.log"), lines);
  Close();
  return 0;
}

void TfrmMain::SaveOptionsBeforeLog(std::vector<std::wstring>* lines) {
  SyncTreeExpansion(true);
  optionsSaved_ = true;
  try {
    core::LoadSaveOptions(false, *this);
  } catch (const std::exception& e) {
    lines->push_back(sys::FromUtf8(e.what()));
    NoteUnattendedOutcome(1);
  }
}

LRESULT TfrmMain::WMAutoRun() {
  ::ShowWindow(hwnd_, SW_HIDE);
  // Nothing is cleaned or fixed on the strength of options that were not read.
  if (FSilentClear && !optionsRead_) {
    unattendedLog_.push_back(OptionsNotRead(L"nothing was cleaned."));
    NoteUnattendedOutcome(2);
    WriteUnattendedLog();
    Close();
    return 0;
  }
  StartCleaner(crAutoClean);
  bScanClick();
  return 0;
}

void TfrmMain::AfterSilentClean() {
  // "/Clear": clean, and scan and fix the registry; the window closes only
  // once the clean thread has ended and the fix is done.
  if (Cleaner.CleanThreadAlive() || Cleaning() || !Registry.SilentRunDone()) return;
  WriteUnattendedLog();
  Close();
}

void TfrmMain::LogUnattendedAnswer(const std::wstring& line) const {
  // A "/Clear" run writes its whole clean log to Clear.log when it ends; any
  // other unattended clean (the schedule, "/Auto", the end of a session)
  // adds its answers there, dated, so that they are found in one place.
  if (FSilentClear) return;
  AppendLogLine(LogBesideOptions(L"Clear.log"), LocalDateTimeText() + L" " + line);
}

bool TfrmMain::DeclineUnattended(const std::wstring& why) {
  unattendedLog_.push_back(why);
  NoteUnattendedOutcome(1);
  return false;
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
