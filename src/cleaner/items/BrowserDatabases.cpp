// The browsers' profile folders and the statements a clean runs on their
// databases.
#include <windows.h>

#include "cleaner/items/BrowserItems.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Paths.h"
#include "core/guard/FileDelete.h"
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

// The rows of `table` whose `column` names a place that is gone.
DatabaseStatement OffRemovedPlaces(const std::wstring& table, const std::wstring& column) {
  return {{table + L"." + column, L"moz_places.id"},
          L"DELETE FROM " + table + L" WHERE " + column + L" NOT IN (SELECT id FROM moz_places)"};
}

bool Exists(core::TSQLiteDatabase& db, const std::wstring& need) {
  size_t dot = need.find(L'.');
  if (dot == std::wstring::npos) return db.TableExists(need);
  return db.ColumnExists(need.substr(0, dot), need.substr(dot + 1));
}

// One text cell of a query that must give exactly one row.
std::wstring Single(core::TSQLiteDatabase& db, const std::wstring& sql) {
  core::TSQLiteTable result = db.GetTable(sql);
  if (result.Count() != 1 || result.ColCount != 1) return std::wstring();
  const core::SQLiteCell& cell = result.Cell(0, 0);
  if (const auto* text = std::get_if<std::wstring>(&cell)) return *text;
  if (const auto* number = std::get_if<int64_t>(&cell)) return std::to_wstring(*number);
  return std::wstring();
}

// Nothing is deleted on the strength of a file SQLite cannot read whole,
// and removed rows are overwritten, not just unlinked.
void PrepareClean(core::TSQLiteDatabase& db) {
  std::wstring check = Single(db, L"PRAGMA quick_check(1)");
  if (check != L"ok") {
    throw core::ESQLiteException(L"The database disk image is malformed" +
                                 (check.empty() ? std::wstring() : L": " + check));
  }
  if (Single(db, L"PRAGMA secure_delete=ON") != L"1") {
    throw core::ESQLiteException(L"Secure delete could not be turned on");
  }
}

// All statements or none: a failure half-way leaves the file as it was.
void CleanDatabase(core::TSQLiteDatabase& db, const std::vector<DatabaseStatement>& statements) {
  // Taking the write lock first: a database the browser holds fails here,
  // before anything is read or written.
  db.ExecSQL(L"BEGIN IMMEDIATE");
  try {
    PrepareClean(db);
    for (const DatabaseStatement& statement : statements) {
      bool present = true;
      for (const auto& need : statement.needs) present = present && Exists(db, need);
      if (present) db.ExecSQL(statement.sql);
    }
    db.ExecSQL(L"COMMIT");
  } catch (const core::ESQLiteException&) {
    try {
      db.ExecSQL(L"ROLLBACK");
    } catch (const core::ESQLiteException&) {
      // Closing the connection rolls back what is still open.
    }
    throw;
  }
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
  // The places statement reads moz_bookmarks too: both must be there. The
  // rows that hang off a removed place go after it; so do the origins no
  // remaining place uses (schemas without origin_id have no such rows).
  static const std::vector<DatabaseStatement> statements = {
      {{L"moz_places", L"moz_bookmarks"},
       L"DELETE FROM moz_places WHERE id NOT IN (SELECT fk FROM moz_bookmarks where fk is not null)"},
      {{L"moz_historyvisits"}, L"DELETE FROM moz_historyvisits"},
      OffRemovedPlaces(L"moz_inputhistory", L"place_id"),
      OffRemovedPlaces(L"moz_annos", L"place_id"),
      OffRemovedPlaces(L"moz_places_metadata", L"place_id"),
      OffRemovedPlaces(L"moz_places_metadata", L"referrer_place_id"),
      {{L"moz_origins.id", L"moz_places.origin_id"},
       L"DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)"},
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
  // Every download goes, so do the rows that hang off one: its URL chain
  // (the download's addresses), its slices and its reroute record.
  static const std::vector<DatabaseStatement> statements = [] {
    std::vector<DatabaseStatement> all = EachTable({L"downloads"});
    for (const wchar_t* child : {L"downloads_url_chains", L"downloads_slices", L"downloads_reroute_info"}) {
      all.push_back({{L"downloads", child}, std::wstring(L"DELETE FROM ") + child});
    }
    return all;
  }();
  return statements;
}

int64_t DeleteMasks(TClearTaskThread& t, const std::wstring& folder, const std::vector<const wchar_t*>& masks,
                    bool recursive) {
  int64_t bytes = 0;
  if (folder.empty()) return 0;
  for (const wchar_t* mask : masks) bytes += t.DeleteFilesByMask(folder, mask, t.FItemCount, recursive);
  return bytes;
}

namespace {

using core::guard::FolderPin;

// A profile as its folder's listing gave it, pinned from that folder; a
// profile replaced since (by a link, or moved away) is left, and logged.
std::unique_ptr<FolderPin> PinListedProfile(TClearTaskThread& t, const core::guard::ListedEntry& entry) {
  auto pin = std::make_unique<FolderPin>(entry.Folder(), entry.Name());
  if (pin->IsLink() || pin->IsReplaced()) {
    t.LogReplacedFolder(pin->Path());
    return nullptr;
  }
  return pin->IsFolder() ? std::move(pin) : nullptr;
}

}  // namespace

void ForEachProfile(TClearTaskThread& t, const std::wstring& root, const ProfileVisit& visit) {
  using core::guard::FolderPin;
  if (root.empty()) return;
  std::unique_ptr<FolderPin> pin = t.PinItemFolder(root);
  if (!pin) return;
  core::guard::ListPinned(*pin, [&](const core::guard::ListedEntry& entry) {
    if (t.Terminated()) return false;
    if (!entry.IsFolder()) return true;
    // Listed as a link: a profile the user moved, followed as their layout.
    std::unique_ptr<FolderPin> profile = entry.IsLink() ? t.PinItemFolder(entry.Path()) : PinListedProfile(t, entry);
    if (profile) visit(entry.Name(), *profile);
    return true;
  });
}

void SetItemBytes(TClearTaskThread& t, int64_t bytes) {
  t.FItemBytes = bytes;
  t.FItemSizeText = TClearTaskThread::FormatKB(bytes);
}

void RunDatabaseStep(TClearTaskThread& t, const std::wstring& file, const std::vector<DatabaseStatement>& statements) {
  if (t.IsTest() || t.Terminated() || file.empty() || !IsFile(file)) return;
  size_t slash = file.find_last_of(L'\\');
  std::unique_ptr<core::guard::FolderPin> folder = t.PinItemFolder(file.substr(0, slash + 1));
  if (folder) RunDatabaseStep(t, *folder, file.substr(slash + 1), statements);
}

void RunDatabaseStep(TClearTaskThread& t, const core::guard::FolderPin& folder, const std::wstring& name,
                     const std::vector<DatabaseStatement>& statements) {
  std::wstring file = folder.Path() + name;
  if (t.IsTest() || t.Terminated() || !IsFile(file)) return;
  // Opened relative to the pin, and so are its journal, WAL and shared
  // memory: a database a link leads to belongs to no profile we were asked
  // to clean, whenever the link was put there.
  try {
    core::TSQLiteDatabase db(folder, name);
    CleanDatabase(db, statements);
  } catch (const core::ESQLiteRefused& e) {
    ++t.FItemRefused;
    std::wstring why = e.File() == file ? L"a link to another file" : e.File() + L" is a link to another file";
    t.AddLog(t.Prefix() + L"skipping" + L" " + file + L" (" + why + L")");
  } catch (const core::ESQLiteException& e) {
    // A locked or damaged database costs this one file, not the run.
    ++t.FItemFailed;
    t.AddLog(t.Prefix() + L"could not clean database" + L" " + file + L": " + OneLine(e.Message()));
  }
}

}  // namespace cleaner
