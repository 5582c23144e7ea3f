// Fake browser profiles in the test prefix: databases with the browsers'
// own table layouts, a few rows each, and the folders around them.
#pragma once
#include <string>
#include <vector>

namespace items_test {

// A places database: four places, two of them bookmarked (one bookmark row
// is a folder without a place), and a visit for each place.
void MakePlacesDatabase(const std::wstring& file);
// "Web Data": saved logins and every autofill table, a row or two each.
void MakeWebDataDatabase(const std::wstring& file);
// "History": downloads beside the visited URLs.
void MakeHistoryDatabase(const std::wstring& file);
// "Shortcuts": the omnibox shortcuts.
void MakeShortcutsDatabase(const std::wstring& file);

// Rows of a table, or -1 when the file or the table cannot be read.
int RowCount(const std::wstring& file, const std::wstring& table);
// The ids of a table's rows in order.
std::vector<long long> Ids(const std::wstring& file, const std::wstring& table);

// Removes a tree these tests seeded outside their sandbox. Only plain files
// and folders whose path holds `mustContain`; a link is never entered.
void RemoveSeededTree(const std::wstring& folder, const std::wstring& mustContain);

}  // namespace items_test
