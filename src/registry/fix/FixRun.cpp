#include "registry/fix/FixRun.h"

#include <exception>
#include <memory>

#include "core/Options.h"
#include "core/Paths.h"
#include "core/SystemInfo.h"
#include "core/guard/FileCreate.h"
#include "core/Text.h"
#include "registry/FixEntry.h"
#include "registry/FixErrors.h"
#include "registry/fix/FixRecheck.h"
#include "registry/fix/RegExport.h"
#include "registry/fix/SystemPoint.h"
#include "ui/MessageBox.h"
#include "sys/Text.h"

namespace registry {
namespace {

std::wstring WithBackslash(const std::wstring& folder) {
  return folder.empty() ? L"\\" : core::WithTrailingBackslash(folder);
}

bool DirectoryExists(const std::wstring& path) {
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates `path` and every missing folder above it.
bool CreateFolderWithParents(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 0 && !CreateFolderWithParents(path.substr(0, slash))) return false;
  return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE || DirectoryExists(path);
}

// Writes and removes a scratch file: a folder that takes no file cannot take
// the backup either, and then nothing may be deleted.
bool FolderTakesFiles(const std::wstring& folder, DWORD* error) {
  core::guard::CreatedFile probe = core::guard::CreateScratchFile(WithBackslash(folder));
  if (!probe.Ok()) {
    *error = probe.Error;
    return false;
  }
  DWORD written = 0;
  bool ok = ::WriteFile(probe.Handle, "\r\n", 2, &written, nullptr) && written == 2;
  *error = ok ? ERROR_SUCCESS : ::GetLastError();
  ::CloseHandle(probe.Handle);
  return ok;
}

bool AskCreateFolder(HWND owner, const std::wstring& folder) {
  std::wstring text = folder + L"," + L"can not find the backup folder." + L"\r\n" + L"creates a new directory?";
  return ui::ShowMessage(owner, text, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) == IDYES;
}

void StopWith(TFixRunResult* r, TFixStop stop, const TFixSettings& s, const std::wstring& message) {
  r->Stop = stop;
  r->Message = message;
  if (!message.empty() && !s.Unattended) ui::ShowError(s.Owner, message);
}

bool SameFolder(std::wstring a, std::wstring b) {
  while (!a.empty() && a.back() == L'\\') a.pop_back();
  while (!b.empty() && b.back() == L'\\') b.pop_back();
  return !a.empty() && ::lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// A missing backup folder: a person is asked; an unattended run makes only
// the default folder and stops on any other, before anything is deleted.
bool MakeMissingFolder(const TFixSettings& s, TFixRunResult* r) {
  const std::wstring& folder = s.OutputDirectory;
  if (s.Unattended && !SameFolder(folder, s.DefaultOutputDirectory)) {
    StopWith(r, fsFolderMissing, s,
             L"The backup folder does not exist: " + folder + L". Nothing was deleted.");
    return false;
  }
  if (!s.Unattended && !AskCreateFolder(s.Owner, folder)) {
    r->Stop = fsFolderDeclined;
    return false;
  }
  if (!CreateFolderWithParents(folder)) {
    StopWith(r, fsFolderFailed, s,
             L"The backup folder could not be created:\r\n" + folder + L"\r\n" + SystemErrorText(::GetLastError()) +
                 L"\r\nNothing was deleted.");
    return false;
  }
  if (s.Unattended) r->Notes.push_back(L"The backup folder was created: " + folder);
  return true;
}

// Steps before the rows: the folder, the empty list, the restore point.
bool Prepare(const std::vector<TFixRow>& rows, const TFixSettings& s, TFixRunResult* r) {
  const std::wstring& folder = s.OutputDirectory;
  if (!DirectoryExists(folder) && !MakeMissingFolder(s, r)) return false;
  if (rows.empty()) {
    r->Stop = fsNoRows;
    return false;
  }
  DWORD error = ERROR_SUCCESS;
  if (!FolderTakesFiles(folder, &error)) {
    StopWith(r, fsFolderFailed, s,
             L"The backup folder cannot be written:\r\n" + folder + L"\r\n" + SystemErrorText(error) +
                 L"\r\nNothing was deleted.");
    return false;
  }
  bool systemRestore = core::IsXPTo7(s.WindowsVersion);
  if (s.RestorePoint && systemRestore && s.Unattended) {
    // Its dialog waits for a person when System Restore refuses; the .reg
    // backup still stands before every deletion.
    r->Notes.push_back(L"No restore point is made in an unattended run.");
  } else if (s.RestorePoint && systemRestore && ShowSystemPointDialog(s.Owner) != IDOK) {
    r->Stop = fsRestorePointCancelled;
    return false;
  }
  return true;
}

TFixRowResult OutcomeOf(const TDeleteResult& d) {
  switch (d.Status) {
    case dsDeleted: return {foFixed, {}};
    case dsMissing: return {foAlreadyGone, d.Reason};
    default: return {foFailed, d.Reason};
  }
}

void HandleRows(const std::vector<TFixRow>& rows, const TFixSettings& s, TFixRunResult* r) {
  const TPathCheckContext paths = FixPathContext();
  for (size_t i = rows.size(); i-- > 0;) {
    const TFixRow& row = rows[i];
    if (!row.Ticked) continue;
    if (row.RegistryKey.find(L'\\') == std::wstring::npos) {
      r->Rows[i] = {foKept, L"The registry key holds no backslash."};
      continue;
    }
    TRecheck again = RecheckRow(row, paths);
    if (again.Changed) {
      r->Rows[i] = {foChanged, again.Reason};
      continue;
    }
    TDeleteResult d = FixProblemRow(row, r->BackupFile);
    r->Rows[i] = OutcomeOf(d);
    // Another program (a second run, say) removed it between our backup and our delete.
    if (d.Status == dsDeleteFailed && RowTargetGone(row))
      r->Rows[i] = {foAlreadyGone, L"It was removed by another program meanwhile."};
    if (d.Status == dsBackupIoError) {
      StopWith(r, fsBackupWriteFailed, s, d.Reason + L"\r\nThe entries not yet handled were not deleted.");
      return;
    }
  }
}

void Count(TFixRunResult* r) {
  for (const auto& row : r->Rows) {
    if (row.Outcome == foFixed) ++r->Fixed;
    else if (row.Outcome == foFailed) ++r->Failed;
    else if (row.Outcome == foKept || row.Outcome == foAlreadyGone || row.Outcome == foChanged) ++r->Skipped;
    if (row.Outcome == foChanged) ++r->Changed;
  }
}

}  // namespace

TFixSettings FixSettingsFromOptions(HWND owner, bool unattended) {
  TFixSettings s;
  s.Owner = owner;
  s.Unattended = unattended;
  s.DefaultOutputDirectory = WithBackslash(core::GetProgramFolder()) + L"Backup";
  s.OutputDirectory = core::OptionsSetting.OutputDirectory;
  s.RestorePoint = core::OptionsSetting.RestorePoint;
  s.WindowsVersion = core::GetWindowsVersion();
  ::GetLocalTime(&s.Now);
  return s;
}

std::wstring MakeBackupFileName(const std::wstring& folder, const SYSTEMTIME& now) {
  return WithBackslash(folder) + std::to_wstring(now.wYear) + L"_" + core::TwoDigitStr(now.wMonth) + L"_" +
         core::TwoDigitStr(now.wDay) + L"_" + core::TwoDigitStr(now.wHour) + core::TwoDigitStr(now.wMinute) +
         core::TwoDigitStr(now.wSecond) + L".reg";
}

TFixRunResult RunFix(const std::vector<TFixRow>& rows, const TFixSettings& settings) {
  TFixRunResult r;
  r.Rows.resize(rows.size());
  std::unique_ptr<TRegBackupFile> backup;
  try {
    if (Prepare(rows, settings, &r)) {
      r.BackupFile = MakeBackupFileName(settings.OutputDirectory, settings.Now);
      // The run's own new file: another run never writes into it.
      backup = std::make_unique<TRegBackupFile>(r.BackupFile);
      HandleRows(rows, settings, &r);
    }
  } catch (const std::exception& e) {
    StopWith(&r, fsError, settings, L"The fix stopped: " + sys::FromUtf8(e.what()));
  } catch (...) {
    StopWith(&r, fsError, settings, L"The fix stopped after an unexpected error.");
  }
  if (backup) {
    r.BackupEntries = backup->Entries();
    if (!backup->Name().empty()) r.BackupFile = backup->Name();
  }
  Count(&r);
  return r;
}

TDeleteResult FixProblemRow(const TFixRow& row, const std::wstring& BackupFile) {
  const TFixTarget t = FixTargetOf(row.RegistryKey, row.Data, row.FixKind);
  switch (t.Kind) {
    case TFixTarget::tkKey: return DeleteKeyWithBackup(t.RootName, t.Key, BackupFile);
    case TFixTarget::tkValue: return DeleteValueWithBackup(t.RootName, t.Key, true, t.ValueName, BackupFile);
    case TFixTarget::tkFile: return DeleteShortcutFile(row.RegistryKey);
    default: return {dsRefused, t.Why};
  }
}

}  // namespace registry
