// The browsers' profile folders and the statements a clean runs on their
// databases.
#include <windows.h>

#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Paths.h"
#include "core/SQLiteWrapper.h"

namespace cleaner {
namespace {

std::wstring IfFolder(const std::wstring& path) { return FolderExists(path) ? path : std::wstring(); }

std::wstring LocalAppData() { return StartFolder(StepBase::LocalAppData); }

bool IsFile(const std::wstring& path) {
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The wrapper's messages break lines with carriage returns; a log line has none.
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return text;
}

std::vector<DatabaseStatement> EachTable(const std::vector<std::wstring>& tables) {
  std::vector<DatabaseStatement> statements;
  for (const auto& table : tables) statements.push_back({{table}, L"DELETE FROM " + table});
  return statements;
}

}  // namespace

std::wstring GetFirefoxProfilesPath() {
  return IfFolder(Under(core::GetAppDataPath(), L"Mozilla\\Firefox\\Profiles\\"));
}
std::wstring GetFirefoxLocalProfilesPath() { return IfFolder(Under(LocalAppData(), L"Mozilla\\Firefox\\Profiles\\")); }
std::wstring GetOperaPath() { return IfFolder(Under(core::GetAppDataPath(), L"Opera\\")); }
std::wstring GetOperaLocalPath() { return IfFolder(Under(LocalAppData(), L"Opera\\")); }
std::wstring GetChromeProfilePath() { return IfFolder(Under(LocalAppData(), L"Google\\Chrome\\User Data\\Default\\")); }

const std::vector<DatabaseStatement>& FirefoxHistoryStatements() {
  // The places statement reads moz_bookmarks too: both must be there.
  static const std::vector<DatabaseStatement> statements = {
      {{L"moz_places", L"moz_bookmarks"},
       L"DELETE FROM moz_places WHERE id NOT IN (SELECT fk FROM moz_bookmarks where fk is not null)"},
      {{L"moz_historyvisits"}, L"DELETE FROM moz_historyvisits"},
  };
  return statements;
}

const std::vector<DatabaseStatement>& ChromeShortcutsStatements() {
  static const std::vector<DatabaseStatement> statements = EachTable({L"omni_box_shortcuts"});
  return statements;
}

const std::vector<DatabaseStatement>& ChromeLoginsStatements() {
  static const std::vector<DatabaseStatement> statements = EachTable({L"logins"});
  return statements;
}

const std::vector<DatabaseStatement>& ChromeFormDataStatements() {
  static const std::vector<DatabaseStatement> statements =
      EachTable({L"autofill", L"autofill_dates", L"autofill_profile_emails", L"autofill_profile_names",
                 L"autofill_profile_phones", L"autofill_profiles", L"autofill_profiles_trash"});
  return statements;
}

const std::vector<DatabaseStatement>& ChromeDownloadsStatements() {
  static const std::vector<DatabaseStatement> statements = EachTable({L"downloads"});
  return statements;
}

int64_t DeleteMasks(TClearTaskThread& t, const std::wstring& folder, const std::vector<const wchar_t*>& masks,
                    bool recursive) {
  int64_t bytes = 0;
  if (folder.empty()) return 0;
  for (const wchar_t* mask : masks) bytes += t.DeleteFilesByMask(folder, mask, t.FItemCount, recursive);
  return bytes;
}

std::vector<std::wstring> SubFolderNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return names;
}

void SetItemBytes(TClearTaskThread& t, int64_t bytes) {
  t.FItemBytes = bytes;
  t.FItemSizeText = TClearTaskThread::FormatKB(bytes);
}

void RunDatabaseStep(TClearTaskThread& t, const std::wstring& file, const std::vector<DatabaseStatement>& statements) {
  if (t.IsTest() || t.Terminated() || file.empty() || !IsFile(file)) return;
  try {
    core::TSQLiteDatabase db(file);
    for (const DatabaseStatement& statement : statements) {
      bool present = true;
      for (const auto& table : statement.tables) present = present && db.TableExists(table);
      if (present) db.ExecSQL(statement.sql);
    }
  } catch (const core::ESQLiteException& e) {
    // A locked or damaged database costs this one file, not the run.
    ++t.FItemFailed;
    t.AddLog(t.Prefix() + L"could not clean database" + L" " + file + L": " + OneLine(e.Message()));
  }
}

}  // namespace cleaner
