// The fix run of the registry page: the backup folder, the restore point,
// then every ticked problem row from the last to the first, each deleted only
// after its backup entry is safely in the run's .reg file. The page hands in
// its rows and gets back what became of each one; it owns the list itself.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "registry/ProblemRow.h"
#include "registry/fix/FixDelete.h"

namespace registry {

// One row of the problem list as the page holds it.
struct TFixRow {
  std::wstring Problem;
  std::wstring Data;         // D
  std::wstring RegistryKey;  // K
  int FixKind = 0;           // 0..6; anything else is refused
  bool Ticked = false;

  TFixRow() = default;
  TFixRow(const TProblemRow& row, bool ticked)
      : Problem(row.Problem), Data(row.Data), RegistryKey(row.RegistryKey), FixKind(row.FixKind), Ticked(ticked) {}
  TFixRow(std::wstring problem, std::wstring data, std::wstring key, int kind, bool ticked)
      : Problem(std::move(problem)), Data(std::move(data)), RegistryKey(std::move(key)), FixKind(kind),
        Ticked(ticked) {}
};

enum TFixOutcome {
  foNotHandled,   // not ticked, or the run ended before the row: it stays as it was
  foKept,         // its Registry key holds no backslash: it stays, untouched (counted skipped)
  foFixed,        // deleted, after its backup: it leaves the list
  foAlreadyGone,  // nothing was left to delete: it leaves the list (counted skipped)
  foFailed,       // not deleted (or the system refused): it stays, Reason says why
  foChanged,      // judged again before its deletion, it is no longer a problem: left alone,
                  // it leaves the list (counted skipped)
};

struct TFixRowResult {
  TFixOutcome Outcome = foNotHandled;
  std::wstring Reason;
  bool LeavesList() const { return Outcome == foFixed || Outcome == foAlreadyGone || Outcome == foChanged; }
};

enum TFixStop {
  fsFinished,                // every row was handled
  fsNoRows,                  // the list was empty
  fsFolderDeclined,          // the user chose not to create the missing backup folder
  fsFolderMissing,           // unattended: a backup folder other than the default one is missing
  fsFolderFailed,            // the backup folder cannot be created or written; a message said why
  fsRestorePointCancelled,   // the restore-point dialog ended with Cancel
  fsBackupWriteFailed,       // the backup file failed during the run; a message said why
  fsError,                   // an unexpected error; a message said why
};

struct TFixRunResult {
  TFixStop Stop = fsFinished;
  std::wstring Message;      // why the run stopped early (shown to a person, logged when unattended)
  std::wstring BackupFile;   // the run's file (empty when the run ended before naming it)
  int BackupEntries = 0;     // entries written to it; none means no file was made
  std::vector<std::wstring> Notes;  // what an unattended run did instead of asking
  std::vector<TFixRowResult> Rows;  // one per row handed in, in the same order
  int Fixed = 0;
  int Failed = 0;
  int Skipped = 0;           // foKept, foAlreadyGone and foChanged
  int Changed = 0;           // foChanged alone

  // The run could not start or could not back up: nothing more was deleted.
  bool StoppedOnBackup() const {
    return Stop == fsFolderFailed || Stop == fsFolderMissing || Stop == fsBackupWriteFailed || Stop == fsError;
  }
};

struct TFixSettings {
  HWND Owner = nullptr;          // of the question, the messages and the restore-point dialog
  std::wstring OutputDirectory;  // the backup folder
  bool RestorePoint = false;     // the option
  int WindowsVersion = 0;        // the version code
  SYSTEMTIME Now{};              // when the run started; names the backup file
  // Nobody is at the screen: nothing is asked or shown. Only the default
  // backup folder is made; any other folder problem stops the run.
  bool Unattended = false;
  std::wstring DefaultOutputDirectory;  // the program folder + "Backup"
};

// The options record, the version code and the local time now.
TFixSettings FixSettingsFromOptions(HWND owner, bool unattended = false);

// Folder + "YYYY_MM_DD_HHNNSS.reg" (a "\" added to the folder when missing).
std::wstring MakeBackupFileName(const std::wstring& folder, const SYSTEMTIME& now);

// The whole run. Message boxes go through ui::ShowMessage; the restore point
// through the dialog named by SetSystemPointDialog.
TFixRunResult RunFix(const std::vector<TFixRow>& rows, const TFixSettings& settings);

// One row's deletion by its fix kind into BackupFile.
TDeleteResult FixProblemRow(const TFixRow& row, const std::wstring& BackupFile);

}  // namespace registry
