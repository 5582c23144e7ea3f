#include "BrowserProfiles.h"

#include "support/Folders.h"

#include <windows.h>

#include "ItemsFakes.h"
#include "core/SQLiteWrapper.h"

namespace items_test {
namespace {

void Make(const std::wstring& file, const std::vector<const wchar_t*>& statements) {
  size_t slash = file.find_last_of(L'\\');
  MakeFolders(file.substr(0, slash));
  ::DeleteFileW(file.c_str());
  core::TSQLiteDatabase db(file);
  for (const wchar_t* sql : statements) db.ExecSQL(sql);
}

}  // namespace

void MakePlacesDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, "
      L"visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, "
      L"favicon_id INTEGER, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER)",
      L"CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, "
      L"visit_date INTEGER, visit_type INTEGER, session INTEGER)",
      L"CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER, "
      L"position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, "
      L"lastModified INTEGER)",
      L"CREATE INDEX moz_places_url_uniqueindex ON moz_places (url)",
      L"CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date)",
      L"CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type)",
      L"INSERT INTO moz_places (id, url, rev_host, visit_count) VALUES "
      L"(1, 'http://kept.example/', 'elpmaxe.tpek.', 1), (2, 'http://gone.example/', 'elpmaxe.enog.', 3), "
      L"(3, 'http://also-kept.example/', 'elpmaxe.tpek-osla.', 1), (4, 'http://also-gone.example/', NULL, 2)",
      L"INSERT INTO moz_historyvisits (id, from_visit, place_id, visit_date, visit_type, session) VALUES "
      L"(1, 0, 1, 1, 1, 0), (2, 0, 2, 2, 1, 0), (3, 2, 3, 3, 1, 0), (4, 0, 4, 4, 2, 0)",
      L"INSERT INTO moz_bookmarks (id, type, fk, parent, position, title) VALUES "
      L"(1, 2, NULL, 0, 0, NULL), (2, 1, 1, 1, 0, 'Kept'), (3, 1, 3, 1, 1, 'Also kept')",
  });
}

void MakeWebDataDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE logins (origin_url VARCHAR NOT NULL, action_url VARCHAR, username_element VARCHAR, "
      L"username_value VARCHAR, password_element VARCHAR, password_value BLOB, submit_element VARCHAR, "
      L"signon_realm VARCHAR NOT NULL, ssl_valid INTEGER NOT NULL, preferred INTEGER NOT NULL, "
      L"date_created INTEGER NOT NULL, blacklisted_by_user INTEGER NOT NULL, scheme INTEGER NOT NULL, "
      L"UNIQUE (origin_url, username_element, username_value, password_element, submit_element, signon_realm))",
      L"CREATE TABLE autofill (name VARCHAR, value VARCHAR, value_lower VARCHAR, pair_id INTEGER PRIMARY KEY, "
      L"count INTEGER DEFAULT 1)",
      L"CREATE TABLE autofill_dates (pair_id INTEGER DEFAULT 0, date_created INTEGER DEFAULT 0)",
      L"CREATE TABLE autofill_profiles (guid VARCHAR PRIMARY KEY, company_name VARCHAR, address_line_1 VARCHAR, "
      L"address_line_2 VARCHAR, city VARCHAR, state VARCHAR, zipcode VARCHAR, country VARCHAR, "
      L"country_code VARCHAR, date_modified INTEGER NOT NULL DEFAULT 0)",
      L"CREATE TABLE autofill_profile_names (guid VARCHAR, first_name VARCHAR, middle_name VARCHAR, "
      L"last_name VARCHAR)",
      L"CREATE TABLE autofill_profile_emails (guid VARCHAR, email VARCHAR)",
      L"CREATE TABLE autofill_profile_phones (guid VARCHAR, type INTEGER DEFAULT 0, number VARCHAR)",
      L"CREATE TABLE autofill_profiles_trash (guid VARCHAR)",
      L"CREATE TABLE keywords (id INTEGER PRIMARY KEY, short_name VARCHAR NOT NULL, keyword VARCHAR NOT NULL)",
      L"INSERT INTO logins VALUES ('https://a.example/', '', 'user', 'ann', 'pass', x'00ff', '', "
      L"'https://a.example/', 1, 1, 100, 0, 0)",
      L"INSERT INTO autofill VALUES ('q', 'Secret', 'secret', 1, 2), ('email', 'a@b', 'a@b', 2, 1)",
      L"INSERT INTO autofill_dates VALUES (1, 100), (2, 200)",
      L"INSERT INTO autofill_profiles (guid, city, date_modified) VALUES ('g1', 'Town', 1)",
      L"INSERT INTO autofill_profile_names VALUES ('g1', 'Ann', '', 'Smith')",
      L"INSERT INTO autofill_profile_emails VALUES ('g1', 'ann@example.com')",
      L"INSERT INTO autofill_profile_phones VALUES ('g1', 0, '555')",
      L"INSERT INTO autofill_profiles_trash VALUES ('g0')",
      L"INSERT INTO keywords VALUES (1, 'Search', 'search.example')",
  });
}

void MakeHistoryDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE urls (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
      L"visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL, "
      L"last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL, favicon_id INTEGER DEFAULT 0 NOT NULL)",
      L"CREATE TABLE downloads (id INTEGER PRIMARY KEY, full_path LONGVARCHAR NOT NULL, url LONGVARCHAR NOT NULL, "
      L"start_time INTEGER NOT NULL, received_bytes INTEGER NOT NULL, total_bytes INTEGER NOT NULL, "
      L"state INTEGER NOT NULL)",
      L"INSERT INTO urls (id, url, last_visit_time) VALUES (1, 'http://a.example/', 1)",
      L"INSERT INTO downloads VALUES (1, 'C:\\a.zip', 'http://a.example/a.zip', 1, 10, 10, 1), "
      L"(2, 'C:\\b.zip', 'http://a.example/b.zip', 2, 5, 10, 2)",
  });
}

void MakeShortcutsDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE omni_box_shortcuts (id VARCHAR PRIMARY KEY, text VARCHAR, url VARCHAR, contents VARCHAR, "
      L"contents_class VARCHAR, description VARCHAR, description_class VARCHAR, last_access_time INTEGER, "
      L"number_of_hits INTEGER)",
      L"INSERT INTO omni_box_shortcuts VALUES ('s1', 'ex', 'http://a.example/', 'a', '0,0', 'A', '0,0', 1, 3)",
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

std::vector<long long> Ids(const std::wstring& file, const std::wstring& table) {
  std::vector<long long> ids;
  core::TSQLiteDatabase db(file);
  core::TSQLiteTable rows = db.GetTable(L"SELECT id FROM " + table + L" ORDER BY id");
  for (int r = 0; r < rows.Count(); ++r) ids.push_back(std::get<int64_t>(rows.Cell(r, 0)));
  return ids;
}

void RemoveSeededTree(const std::wstring& folder, const std::wstring& mustContain) {
  if (folder.find(mustContain) == std::wstring::npos) return;
  testing_support::RemoveFolder(folder);
}

}  // namespace items_test
