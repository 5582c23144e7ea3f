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

// The tables of many years ago: places, visits and bookmarks.
const std::vector<const wchar_t*> kOldPlaces = {
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
};

// Today's public layout, in the browser's own words.
const std::vector<const wchar_t*> kTodayPlaces = {
    L"PRAGMA journal_mode=WAL",
    L"CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL, "
    L"frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, "
    L"recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host))",
    L"CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, "
    L"visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, "
    L"frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT, "
    L"foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, "
    L"preview_image_url TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id), "
    L"recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, "
    L"recalc_alt_frecency INTEGER NOT NULL DEFAULT 0)",
    L"CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, "
    L"visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL, "
    L"triggeringPlaceId INTEGER)",
    L"CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER, "
    L"PRIMARY KEY (place_id, input))",
    L"CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER, "
    L"position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, "
    L"lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, "
    L"syncChangeCounter INTEGER NOT NULL DEFAULT 1)",
    L"CREATE TABLE moz_bookmarks_deleted (guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0)",
    L"CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER, "
    L"post_data TEXT)",
    L"CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL)",
    L"CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER, "
    L"content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, "
    L"dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0)",
    L"CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, "
    L"anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, "
    L"type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0)",
    L"CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID",
    L"CREATE TABLE moz_places_metadata (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, "
    L"referrer_place_id INTEGER, created_at INTEGER NOT NULL DEFAULT 0, updated_at INTEGER NOT NULL DEFAULT 0, "
    L"total_view_time INTEGER NOT NULL DEFAULT 0, typing_time INTEGER NOT NULL DEFAULT 0, "
    L"key_presses INTEGER NOT NULL DEFAULT 0, scrolling_time INTEGER NOT NULL DEFAULT 0, "
    L"scrolling_distance INTEGER NOT NULL DEFAULT 0, document_type INTEGER NOT NULL DEFAULT 0, "
    L"search_query_id INTEGER, FOREIGN KEY (place_id) REFERENCES moz_places(id) ON DELETE CASCADE, "
    L"FOREIGN KEY (referrer_place_id) REFERENCES moz_places(id) ON DELETE CASCADE, "
    L"FOREIGN KEY (search_query_id) REFERENCES moz_places_metadata_search_queries(id) ON DELETE CASCADE "
    L"CHECK (place_id != referrer_place_id))",
    L"CREATE TABLE moz_places_metadata_search_queries (id INTEGER PRIMARY KEY, terms TEXT NOT NULL UNIQUE)",
    L"CREATE TABLE moz_previews_tombstones (hash TEXT PRIMARY KEY) WITHOUT ROWID",
    L"CREATE TABLE moz_places_extra (place_id INTEGER PRIMARY KEY NOT NULL, sync_json TEXT, "
    L"FOREIGN KEY (place_id) REFERENCES moz_places(id) ON DELETE CASCADE)",
    L"CREATE TABLE moz_historyvisits_extra (visit_id INTEGER PRIMARY KEY NOT NULL, sync_json TEXT, "
    L"FOREIGN KEY (visit_id) REFERENCES moz_historyvisits(id) ON DELETE CASCADE)",
    L"CREATE INDEX moz_places_hostindex ON moz_places (rev_host)",
    L"CREATE INDEX moz_places_visitcount ON moz_places (visit_count)",
    L"CREATE INDEX moz_places_frecencyindex ON moz_places (frecency)",
    L"CREATE INDEX moz_places_lastvisitdateindex ON moz_places (last_visit_date)",
    L"CREATE UNIQUE INDEX moz_places_guid_uniqueindex ON moz_places (guid)",
    L"CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash)",
    L"CREATE INDEX moz_places_originidindex ON moz_places (origin_id)",
    L"CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date)",
    L"CREATE INDEX moz_historyvisits_fromindex ON moz_historyvisits (from_visit)",
    L"CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date)",
    L"CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type)",
    L"CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position)",
    L"CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid)",
    L"CREATE UNIQUE INDEX moz_keywords_placepostdata_uniqueindex ON moz_keywords (place_id, post_data)",
    L"CREATE UNIQUE INDEX moz_annos_placeattributeindex ON moz_annos (place_id, anno_attribute_id)",
    L"CREATE UNIQUE INDEX moz_items_annos_itemattributeindex ON moz_items_annos (item_id, anno_attribute_id)",
    L"CREATE UNIQUE INDEX moz_places_metadata_placecreated_uniqueindex ON moz_places_metadata (place_id, "
    L"created_at)",
    L"CREATE INDEX moz_places_metadata_referrerindex ON moz_places_metadata (referrer_place_id)",
    L"INSERT INTO moz_origins (id, prefix, host, frecency) VALUES (1, 'http://', 'kept.example', 10), "
    L"(2, 'http://', 'gone.example', 30), (3, 'http://', 'also-kept.example', 10), "
    L"(4, 'http://', 'also-gone.example', 20), (5, 'https://', 'unused.gone.example', 1)",
    L"INSERT INTO moz_places (id, url, title, rev_host, visit_count, guid, foreign_count, url_hash, origin_id) "
    L"VALUES (1, 'http://kept.example/', 'Kept', 'elpmaxe.tpek.', 1, 'guid-place-1', 1, 11, 1), "
    L"(2, 'http://gone.example/page', 'Gone', 'elpmaxe.enog.', 3, 'guid-place-2', 0, 12, 2), "
    L"(3, 'http://also-kept.example/', 'Also kept', 'elpmaxe.tpek-osla.', 1, 'guid-place-3', 2, 13, 3), "
    L"(4, 'http://also-gone.example/gone-download.zip', NULL, 'elpmaxe.enog-osla.', 2, 'guid-place-4', 0, "
    L"14, 4)",
    L"INSERT INTO moz_historyvisits (id, from_visit, place_id, visit_date, visit_type, session) VALUES "
    L"(1, 0, 1, 1, 1, 0), (2, 0, 2, 2, 1, 0), (3, 2, 3, 3, 1, 0), (4, 0, 4, 4, 7, 0)",
    L"INSERT INTO moz_inputhistory VALUES (1, 'kept-typed', 1), (2, 'gone-typed', 3), (4, 'gone-typed-too', 1)",
    L"INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES "
    L"(1, 2, NULL, 0, 0, NULL, 'root________'), (2, 1, 1, 1, 0, 'Kept', 'guid-bookmark-2'), "
    L"(3, 1, 3, 1, 1, 'Also kept', 'guid-bookmark-3')",
    L"INSERT INTO moz_bookmarks_deleted VALUES ('guid-bookmark-9', 5)",
    L"INSERT INTO moz_keywords (keyword, place_id, post_data) VALUES ('k', 3, NULL)",
    L"INSERT INTO moz_anno_attributes VALUES (1, 'downloads/destinationFileURI'), (2, 'downloads/metaData')",
    L"INSERT INTO moz_annos (id, place_id, anno_attribute_id, content) VALUES "
    L"(1, 4, 1, 'file:///C:/Users/ann/Downloads/gone-download.zip'), (2, 4, 2, '{\"state\":1}'), "
    L"(3, 1, 1, 'file:///C:/Users/ann/Downloads/kept-download.zip')",
    L"INSERT INTO moz_items_annos (id, item_id, anno_attribute_id, content) VALUES (1, 2, 2, 'bookmark note')",
    L"INSERT INTO moz_meta VALUES ('origin_frecency_count', 4)",
    L"INSERT INTO moz_places_metadata_search_queries VALUES (1, 'search words')",
    L"INSERT INTO moz_places_metadata (id, place_id, referrer_place_id, created_at, search_query_id) VALUES "
    L"(1, 1, NULL, 100, NULL), (2, 2, 1, 200, 1), (3, 3, 4, 300, NULL), (4, 3, 1, 400, NULL)",
    L"INSERT INTO moz_places_extra VALUES (1, '{\"kept\":1}')",
    L"INSERT INTO moz_previews_tombstones VALUES ('hash1')",
};

// What a later version might add or drop.
const std::vector<const wchar_t*> kNewerPlaces = {
    L"ALTER TABLE moz_places ADD COLUMN future_score INTEGER DEFAULT 7",
    L"ALTER TABLE moz_inputhistory ADD COLUMN future_flag INTEGER",
    L"CREATE TABLE moz_future_notes (id INTEGER PRIMARY KEY, place_id INTEGER, note TEXT)",
    L"INSERT INTO moz_future_notes VALUES (1, 1, 'a note')",
    L"DROP TABLE moz_places_metadata",
    L"DROP TABLE moz_places_metadata_search_queries",
};

}  // namespace

void MakePlacesDatabase(const std::wstring& file, PlacesSchema schema) {
  std::vector<const wchar_t*> statements = schema == PlacesSchema::Old ? kOldPlaces : kTodayPlaces;
  if (schema == PlacesSchema::Newer) statements.insert(statements.end(), kNewerPlaces.begin(), kNewerPlaces.end());
  Make(file, statements);
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

const char* const kDownloadTexts[] = {"dl.example", "gone-file.zip", "dl-page.example", "reroute-gone"};
const size_t kDownloadTextCount = sizeof(kDownloadTexts) / sizeof(kDownloadTexts[0]);

void MakeHistoryDatabase(const std::wstring& file) {
  Make(file, {
      L"CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR)",
      L"CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title LONGVARCHAR, "
      L"visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL, "
      L"last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL)",
      L"CREATE TABLE visits (id INTEGER PRIMARY KEY AUTOINCREMENT, url INTEGER NOT NULL, "
      L"visit_time INTEGER NOT NULL, from_visit INTEGER, external_referrer_url TEXT, "
      L"transition INTEGER DEFAULT 0 NOT NULL, segment_id INTEGER, visit_duration INTEGER DEFAULT 0 NOT NULL, "
      L"incremented_omnibox_typed_score BOOLEAN DEFAULT FALSE NOT NULL, opener_visit INTEGER, "
      L"originator_cache_guid TEXT, originator_visit_id INTEGER, originator_from_visit INTEGER, "
      L"originator_opener_visit INTEGER, is_known_to_sync BOOLEAN DEFAULT FALSE NOT NULL, "
      L"consider_for_ntp_most_visited BOOLEAN DEFAULT FALSE NOT NULL, visited_link_id INTEGER DEFAULT 0 NOT NULL, "
      L"app_id TEXT)",
      L"CREATE TABLE visit_source (id INTEGER PRIMARY KEY, source INTEGER NOT NULL)",
      L"CREATE TABLE keyword_search_terms (keyword_id INTEGER NOT NULL, url_id INTEGER NOT NULL, "
      L"term LONGVARCHAR NOT NULL, normalized_term LONGVARCHAR NOT NULL)",
      L"CREATE TABLE downloads (id INTEGER PRIMARY KEY, guid VARCHAR NOT NULL, current_path LONGVARCHAR NOT NULL, "
      L"target_path LONGVARCHAR NOT NULL, start_time INTEGER NOT NULL, received_bytes INTEGER NOT NULL, "
      L"total_bytes INTEGER NOT NULL, state INTEGER NOT NULL, danger_type INTEGER NOT NULL, "
      L"interrupt_reason INTEGER NOT NULL, hash BLOB NOT NULL, end_time INTEGER NOT NULL, opened INTEGER NOT NULL, "
      L"last_access_time INTEGER NOT NULL, transient INTEGER NOT NULL, referrer VARCHAR NOT NULL, "
      L"site_url VARCHAR NOT NULL, embedder_download_data VARCHAR NOT NULL, tab_url VARCHAR NOT NULL, "
      L"tab_referrer_url VARCHAR NOT NULL, http_method VARCHAR NOT NULL, by_ext_id VARCHAR NOT NULL, "
      L"by_ext_name VARCHAR NOT NULL, by_web_app_id VARCHAR NOT NULL, etag VARCHAR NOT NULL, "
      L"last_modified VARCHAR NOT NULL, mime_type VARCHAR(255) NOT NULL, original_mime_type VARCHAR(255) NOT NULL)",
      L"CREATE TABLE downloads_url_chains (id INTEGER NOT NULL, chain_index INTEGER NOT NULL, "
      L"url LONGVARCHAR NOT NULL, PRIMARY KEY (id, chain_index))",
      L"CREATE TABLE downloads_slices (download_id INTEGER NOT NULL, offset INTEGER NOT NULL, "
      L"received_bytes INTEGER NOT NULL, finished INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (download_id, offset))",
      L"CREATE TABLE downloads_reroute_info (download_id INTEGER NOT NULL, "
      L"reroute_info_serialized VARCHAR NOT NULL, PRIMARY KEY (download_id))",
      L"CREATE TABLE segments (id INTEGER PRIMARY KEY, name VARCHAR, url_id INTEGER NON NULL)",
      L"CREATE TABLE segment_usage (id INTEGER PRIMARY KEY, segment_id INTEGER NOT NULL, "
      L"time_slot INTEGER NOT NULL, visit_count INTEGER DEFAULT 0 NOT NULL)",
      L"CREATE INDEX urls_url_index ON urls (url)",
      L"CREATE INDEX visits_url_index ON visits (url)",
      L"CREATE INDEX visits_time_index ON visits (visit_time)",
      L"CREATE INDEX segments_name ON segments (name)",
      L"CREATE INDEX keyword_search_terms_index1 ON keyword_search_terms (keyword_id, normalized_term)",
      L"INSERT INTO meta VALUES ('version', '67'), ('last_compatible_version', '16')",
      L"INSERT INTO urls (id, url, title, last_visit_time) VALUES (1, 'http://a.example/', 'A', 1)",
      L"INSERT INTO visits (id, url, visit_time) VALUES (1, 1, 1)",
      L"INSERT INTO keyword_search_terms VALUES (2, 1, 'Words', 'words')",
      L"INSERT INTO segments VALUES (1, 'http://a.example/', 1)",
      L"INSERT INTO downloads VALUES "
      L"(1, 'g1', 'C:\\Users\\ann\\Downloads\\gone-file.zip', 'C:\\Users\\ann\\Downloads\\gone-file.zip', 1, 10, "
      L"10, 1, 0, 0, x'00', 2, 0, 0, 0, 'http://dl-page.example/', 'http://dl-page.example/', '', "
      L"'http://dl-page.example/list', '', 'GET', '', '', '', '', '', 'application/zip', 'application/zip'), "
      L"(2, 'g2', 'C:\\b.part', 'C:\\b.bin', 2, 5, 10, 2, 0, 0, x'', 0, 0, 0, 0, '', '', '', '', '', 'GET', '', '', "
      L"'', '', '', '', '')",
      L"INSERT INTO downloads_url_chains VALUES (1, 0, 'http://dl.example/redirect'), "
      L"(1, 1, 'http://dl.example/gone-file.zip'), (2, 0, 'http://dl.example/b.bin')",
      L"INSERT INTO downloads_slices VALUES (2, 0, 5, 0)",
      L"INSERT INTO downloads_reroute_info VALUES (2, 'reroute-gone http://dl.example/b.bin')",
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
