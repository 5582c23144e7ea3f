// Fake browser profiles in the test prefix: databases with the browsers'
// own table layouts, a few rows each, and the folders around them.
#pragma once
#include <string>
#include <vector>

namespace items_test {

// Schemas of the places database: an old one (places, visits and bookmarks
// only); today's; and a newer one with a table and a column of its own and
// no page metadata table. Each keeps the columns the clean and the tests use.
enum class PlacesSchema { Old, Today, Newer };

// A places database: four places, two of them bookmarked (one bookmark row
// is a folder without a place), and a visit for each place. From today's
// schema on it is in WAL mode, and the other tables hold rows for removed
// and for kept places: typed input, annotations, page metadata, origins.
void MakePlacesDatabase(const std::wstring& file, PlacesSchema schema = PlacesSchema::Today);
// Text of the removed places and of the rows that hang off them: none of it
// may be left in a cleaned places file, not even in its free pages.
extern const char* const kGonePlaceTexts[];
extern const size_t kGonePlaceTextCount;
// "Web Data": saved logins and every autofill table, a row or two each.
void MakeWebDataDatabase(const std::wstring& file);
// "History": downloads, their URL chains, slices and reroute records beside
// the visited URLs.
void MakeHistoryDatabase(const std::wstring& file);
// Text found only in the download rows.
extern const char* const kDownloadTexts[];
extern const size_t kDownloadTextCount;
// "Shortcuts": the omnibox shortcuts.
void MakeShortcutsDatabase(const std::wstring& file);

// Rows of a table, or -1 when the file or the table cannot be read.
int RowCount(const std::wstring& file, const std::wstring& table);

// The rows a query gives, each row's cells as one text, sorted.
std::vector<std::string> Rows(const std::wstring& file, const std::wstring& sql);
// The names of the database's tables.
std::vector<std::wstring> TableNames(const std::wstring& file);
// "ok" when the database passes SQLite's integrity check.
std::wstring IntegrityCheck(const std::wstring& file);
// Whether the file, or its WAL or journal beside it, holds `text` anywhere.
bool FileHolds(const std::wstring& file, const std::string& text);

// Removes a tree these tests seeded outside their sandbox. Only plain files
// and folders whose path holds `mustContain`; a link is never entered.
void RemoveSeededTree(const std::wstring& folder, const std::wstring& mustContain);

}  // namespace items_test
