#include "BrowserProfiles.h"

#include "support/Folders.h"

#include <windows.h>

#include "ItemsFakes.h"
#include "core/SQLiteWrapper.h"
#include "sys/Text.h"

#include <algorithm>
#include <variant>

namespace items_test {
namespace {

struct CellText {
  std::string operator()(std::monostate) const { return "NULL"; }
  std::string operator()(int64_t v) const { return std::to_string(v); }
  std::string operator()(double v) const { return std::to_string(v); }
  std::string operator()(const std::wstring& v) const { return "'" + sys::ToUtf8(v) + "'"; }
  std::string operator()(const std::vector<uint8_t>& v) const {
    std::string hex = "x";
    for (uint8_t b : v) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
    return hex;
  }
};

void Make(const std::wstring& file, const std::vector<const wchar_t*>& statements) {
  size_t slash = file.find_last_of(L'\\');
  MakeFolders(file.substr(0, slash));
  ::DeleteFileW(file.c_str());
  core::TSQLiteDatabase db(file);
  for (const wchar_t* sql : statements) {
    // A pragma answers with a row, which ExecSQL counts as a failure.
    if (std::wstring(sql).rfind(L"PRAGMA", 0) == 0) db.GetTable(sql);
    else db.ExecSQL(sql);
  }
}

}  // namespace

const char* const kGonePlaceTexts[] = {"gone.example", "elpmaxe.enog", "gone-typed", "gone-download.zip"};
const size_t kGonePlaceTextCount = sizeof(kGonePlaceTexts) / sizeof(kGonePlaceTexts[0]);

namespace {

// Only the columns the clean reads or the checks look for; the indexes
// hold gone text too, so a clean must overwrite their pages as well.
const std::vector<const wchar_t*> kOldPlaces = {
    L"CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR)",
    L"CREATE INDEX moz_places_url_uniqueindex ON moz_places (url)",
};

const std::vector<const wchar_t*> kTodayPlaces = {
    L"PRAGMA journal_mode=WAL",
    L"CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL)",
    L"CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, "
    L"origin_id INTEGER REFERENCES moz_origins(id))",
    L"CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, "
    L"PRIMARY KEY (place_id, input))",
    L"CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, content LONGVARCHAR)",
    L"CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, content LONGVARCHAR)",
    L"CREATE TABLE moz_places_metadata (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, "
    L"referrer_place_id INTEGER)",
    L"CREATE INDEX moz_places_hostindex ON moz_places (rev_host)",
    L"INSERT INTO moz_origins VALUES (1, 'http://', 'kept.example'), (2, 'http://', 'gone.example'), "
    L"(3, 'http://', 'also-kept.example'), (4, 'http://', 'also-gone.example'), "
    L"(5, 'https://', 'unused.gone.example')",
    L"INSERT INTO moz_inputhistory VALUES (1, 'kept-typed'), (2, 'gone-typed'), (4, 'gone-typed-too')",
    L"INSERT INTO moz_annos VALUES (1, 4, 'file:///C:/Users/ann/Downloads/gone-download.zip'), "
    L"(2, 4, '{\"state\":1}'), (3, 1, 'file:///C:/Users/ann/Downloads/kept-download.zip')",
    L"INSERT INTO moz_items_annos VALUES (1, 2, 'bookmark note')",
    L"INSERT INTO moz_places_metadata VALUES (1, 1, NULL), (2, 2, 1), (3, 3, 4), (4, 3, 1)",
};

// Every schema has these, after its own tables.
const std::vector<const wchar_t*> kPlacesRows = {
    L"CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER)",
    L"CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, title LONGVARCHAR)",
    L"INSERT INTO moz_places (id, url, title, rev_host) VALUES (1, 'http://kept.example/', 'Kept', 'elpmaxe.tpek.'), "
    L"(2, 'http://gone.example/page', 'Gone', 'elpmaxe.enog.'), "
    L"(3, 'http://also-kept.example/', 'Also kept', 'elpmaxe.tpek-osla.'), "
    L"(4, 'http://also-gone.example/gone-download.zip', NULL, NULL)",
    L"INSERT INTO moz_historyvisits VALUES (1, 1), (2, 2), (3, 3), (4, 4)",
    L"INSERT INTO moz_bookmarks VALUES (1, 2, NULL, NULL), (2, 1, 1, 'Kept'), (3, 1, 3, 'Also kept')",
};

// What a later version might add or drop.
const std::vector<const wchar_t*> kNewerPlaces = {
    L"ALTER TABLE moz_places ADD COLUMN future_score INTEGER DEFAULT 7",
    L"ALTER TABLE moz_inputhistory ADD COLUMN future_flag INTEGER",
    L"CREATE TABLE moz_future_notes (id INTEGER PRIMARY KEY, place_id INTEGER, note TEXT)",
    L"INSERT INTO moz_future_notes VALUES (1, 1, 'a note')",
    L"DROP TABLE moz_places_metadata",
};

}  // namespace

void MakePlacesDatabase(const std::wstring& file, PlacesSchema schema) {
  std::vector<const wchar_t*> statements = schema == PlacesSchema::Old ? kOldPlaces : kTodayPlaces;
  statements.insert(statements.end(), kPlacesRows.begin(), kPlacesRows.end());
  if (schema != PlacesSchema::Old) statements.push_back(L"UPDATE moz_places SET origin_id = id");
  if (schema == PlacesSchema::Newer) statements.insert(statements.end(), kNewerPlaces.begin(), kNewerPlaces.end());
  Make(file, statements);
}

void MakeWebDataDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE logins (origin_url VARCHAR NOT NULL, username_value VARCHAR, password_value BLOB)",
      L"CREATE TABLE autofill (name VARCHAR, value VARCHAR, pair_id INTEGER PRIMARY KEY)",
      L"CREATE TABLE autofill_dates (pair_id INTEGER DEFAULT 0, date_created INTEGER DEFAULT 0)",
      L"CREATE TABLE autofill_profiles (guid VARCHAR PRIMARY KEY, city VARCHAR)",
      L"CREATE TABLE autofill_profile_names (guid VARCHAR, first_name VARCHAR, last_name VARCHAR)",
      L"CREATE TABLE autofill_profile_emails (guid VARCHAR, email VARCHAR)",
      L"CREATE TABLE autofill_profile_phones (guid VARCHAR, number VARCHAR)",
      L"CREATE TABLE autofill_profiles_trash (guid VARCHAR)",
      L"CREATE TABLE keywords (id INTEGER PRIMARY KEY, short_name VARCHAR NOT NULL, keyword VARCHAR NOT NULL)",
      L"INSERT INTO logins VALUES ('https://a.example/', 'ann', x'00ff')",
      L"INSERT INTO autofill VALUES ('q', 'Secret', 1), ('email', 'a@b', 2)",
      L"INSERT INTO autofill_dates VALUES (1, 100), (2, 200)",
      L"INSERT INTO autofill_profiles VALUES ('g1', 'Town')",
      L"INSERT INTO autofill_profile_names VALUES ('g1', 'Ann', 'Smith')",
      L"INSERT INTO autofill_profile_emails VALUES ('g1', 'ann@example.com')",
      L"INSERT INTO autofill_profile_phones VALUES ('g1', '555')",
      L"INSERT INTO autofill_profiles_trash VALUES ('g0')",
      L"INSERT INTO keywords VALUES (1, 'Search', 'search.example')",
  });
}

const char* const kDownloadTexts[] = {"dl.example", "gone-file.zip", "dl-page.example", "reroute-gone"};
const size_t kDownloadTextCount = sizeof(kDownloadTexts) / sizeof(kDownloadTexts[0]);

void MakeHistoryDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title LONGVARCHAR)",
      L"CREATE TABLE visits (id INTEGER PRIMARY KEY AUTOINCREMENT, url INTEGER NOT NULL)",
      L"CREATE TABLE downloads (id INTEGER PRIMARY KEY, current_path LONGVARCHAR NOT NULL, "
      L"target_path LONGVARCHAR NOT NULL, referrer VARCHAR NOT NULL, tab_url VARCHAR NOT NULL)",
      L"CREATE TABLE downloads_url_chains (id INTEGER NOT NULL, chain_index INTEGER NOT NULL, "
      L"url LONGVARCHAR NOT NULL, PRIMARY KEY (id, chain_index))",
      L"CREATE TABLE downloads_slices (download_id INTEGER NOT NULL, offset INTEGER NOT NULL, "
      L"received_bytes INTEGER NOT NULL, PRIMARY KEY (download_id, offset))",
      L"CREATE TABLE downloads_reroute_info (download_id INTEGER NOT NULL, "
      L"reroute_info_serialized VARCHAR NOT NULL, PRIMARY KEY (download_id))",
      L"INSERT INTO urls VALUES (1, 'http://a.example/', 'A')",
      L"INSERT INTO visits VALUES (1, 1)",
      L"INSERT INTO downloads VALUES (1, 'C:\\Users\\ann\\Downloads\\gone-file.zip', "
      L"'C:\\Users\\ann\\Downloads\\gone-file.zip', 'http://dl-page.example/', 'http://dl-page.example/list'), "
      L"(2, 'C:\\b.part', 'C:\\b.bin', '', '')",
      L"INSERT INTO downloads_url_chains VALUES (1, 0, 'http://dl.example/redirect'), "
      L"(1, 1, 'http://dl.example/gone-file.zip'), (2, 0, 'http://dl.example/b.bin')",
      L"INSERT INTO downloads_slices VALUES (2, 0, 5)",
      L"INSERT INTO downloads_reroute_info VALUES (2, 'reroute-gone http://dl.example/b.bin')",
  });
}

void MakeShortcutsDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE omni_box_shortcuts (id VARCHAR PRIMARY KEY, text VARCHAR, url VARCHAR)",
      L"INSERT INTO omni_box_shortcuts VALUES ('s1', 'ex', 'http://a.example/')",
  });
}

int RowCount(const std::wstring& file, const std::wstring& table) {
  if (!Exists(file)) return -1;
  try {
    core::TSQLiteDatabase db(file);
    return std::get<int64_t>(db.GetTable(L"SELECT count(*) FROM " + table).Cell(0, 0));
  } catch (const std::exception&) {
    return -1;
  }
}

std::vector<std::string> Rows(const std::wstring& file, const std::wstring& sql) {
  std::vector<std::string> rows;
  core::TSQLiteDatabase db(file);
  core::TSQLiteTable table = db.GetTable(sql);
  for (int r = 0; r < table.Count(); ++r) {
    std::string row;
    for (int c = 0; c < table.ColCount; ++c) {
      row += std::visit(CellText(), table.Cell(r, c));
      row += '|';
    }
    rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::wstring> TableNames(const std::wstring& file) {
  std::vector<std::wstring> names;
  core::TSQLiteDatabase db(file);
  core::TSQLiteTable table = db.GetTable(L"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
  for (int r = 0; r < table.Count(); ++r) names.push_back(std::get<std::wstring>(table.Cell(r, 0)));
  return names;
}

std::wstring IntegrityCheck(const std::wstring& file) {
  core::TSQLiteDatabase db(file);
  core::TSQLiteTable table = db.GetTable(L"PRAGMA integrity_check");
  if (table.Count() != 1) return L"not one line";
  return std::get<std::wstring>(table.Cell(0, 0));
}

bool FileHolds(const std::wstring& file, const std::string& text) {
  for (const wchar_t* suffix : {L"", L"-wal", L"-journal"}) {
    if (Exists(file + suffix) && ReadBytes(file + suffix).find(text) != std::string::npos) return true;
  }
  return false;
}

void RemoveSeededTree(const std::wstring& folder, const std::wstring& mustContain) {
  if (folder.find(mustContain) == std::wstring::npos) return;
  testing_support::RemoveFolder(folder);
}

}  // namespace items_test
