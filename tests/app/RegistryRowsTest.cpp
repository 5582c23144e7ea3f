// The registry page's rules over problem rows.
#include <gtest/gtest.h>

#include "app/RegistryRows.h"

using registry::TProblemRow;

namespace {

TProblemRow Row(const std::wstring& key, registry::TFixKind kind, const std::wstring& data = L"C:\\missing.exe") {
  return TProblemRow{L"Non-existent File or Folder", data, key, kind};
}

bool Kept(const TProblemRow& row, const std::vector<std::wstring>& values, const std::vector<std::wstring>& keys) {
  return app::FilterScanRows({row}, values, keys, 12).size() == 1;
}

TEST(RegistryRows, IgnoredKeysAndValuesDropAKeyRowAtOrBelowThem) {
  TProblemRow foo = Row(L"HKEY_CURRENT_USER\\Software\\Foo", registry::fkDeleteKey);
  EXPECT_TRUE(Kept(foo, {}, {}));
  EXPECT_FALSE(Kept(foo, {}, {L"HKEY_CURRENT_USER\\Software"}));
  EXPECT_FALSE(Kept(foo, {}, {L"hkey_current_user\\software\\foo\\bar"}));
  EXPECT_FALSE(Kept(foo, {L"HKEY_CURRENT_USER\\Software\\Foo\\Val"}, {}));
  EXPECT_TRUE(Kept(foo, {}, {L"HKEY_CURRENT_USER\\Software\\Fo"}));
}

TEST(RegistryRows, IgnoredKeysAndValuesDropANamedValueRowByTheRules) {
  TProblemRow val = Row(L"HKEY_CURRENT_USER\\Software\\Foo", registry::fkDeleteNamedValue, L"Val");
  EXPECT_FALSE(Kept(val, {L"HKEY_CURRENT_USER\\SOFTWARE\\FOO\\VAL"}, {}));
  EXPECT_FALSE(Kept(val, {}, {L"HKEY_CURRENT_USER\\Software\\Foo"}));
  EXPECT_TRUE(Kept(val, {}, {L"HKEY_CURRENT_USER\\Software\\Foo\\Bar"}));
}

TEST(RegistryRows, FileRowsIgnoreTheListsAndEmptyEntriesMatchNothing) {
  TProblemRow lnk = Row(L"C:\\Users\\me\\Desktop\\x.lnk", registry::fkDeleteFile, L"C:\\gone.exe");
  EXPECT_TRUE(Kept(lnk, {L"C:\\"}, {L"C:\\Users"}));
  TProblemRow foo = Row(L"HKEY_CURRENT_USER\\Software\\Foo", registry::fkDeleteKey);
  EXPECT_TRUE(Kept(foo, {L""}, {L""}));
}

TEST(RegistryRows, BuiltInExclusionsDropMangledPathsAndKnownKeys) {
  EXPECT_FALSE(Kept(Row(L"HKEY_CURRENT_USER\\Software\\A", registry::fkDeleteNamedValue, L"C:\\??\\x.exe"), {}, {}));
  EXPECT_FALSE(Kept(Row(L"HKEY_CURRENT_USER\\Software\\Lexmark\\X", registry::fkDeleteKey), {}, {}));
  // Whole key names only: Lexmark does not exclude Lexmarkable.
  EXPECT_TRUE(Kept(Row(L"HKEY_CURRENT_USER\\Software\\Lexmarkable", registry::fkDeleteKey), {}, {}));
  EXPECT_FALSE(Kept(Row(L"HKEY_CLASSES_ROOT\\CLSID\\{dfeaf541-f3e1-4c24-acac-99c30715084a}\\X", registry::fkDeleteKey), {}, {}));
  EXPECT_FALSE(Kept(Row(L"HKEY_CURRENT_USER\\Software\\B", registry::fkDeleteNamedValue, L"%USERNAME%_x"), {}, {}));
  // The ten repeated keys apply on Windows 7 and 8 only: an entry 32 key is in both lists anyway.
  EXPECT_EQ(app::LaterWindowsExcludedKeys().size(), 10u);
  EXPECT_EQ(app::BuiltInExcludedKeys().size(), 41u);
}

TEST(RegistryRows, IgnorePairsFollowTheFixKind) {
  app::IgnorePair p = app::MakeIgnorePair(Row(L"HKEY_CURRENT_USER\\Software\\Foo\\Val", registry::fkDeleteValue));
  EXPECT_EQ(p.key, L"HKEY_CURRENT_USER\\Software\\Foo");
  EXPECT_EQ(p.value, L"Val");
  p = app::MakeIgnorePair(Row(L"HKEY_CURRENT_USER\\Software", registry::fkDeleteSubKey, L"Sub"));
  EXPECT_EQ(p.key, L"HKEY_CURRENT_USER\\Software\\Sub");
  EXPECT_FALSE(p.hasValue);
  p = app::MakeIgnorePair(Row(L"HKEY_CLASSES_ROOT\\.xyz", registry::fkDeleteDefaultValue));
  EXPECT_EQ(p.value, L"@");
  p = app::MakeIgnorePair(Row(L"HKEY_CURRENT_USER\\UA\\Count", registry::fkDeleteUserAssistValue, L"UEME_RUN"));
  EXPECT_EQ(p.value, L"HRZR_EHA");
}

TEST(RegistryRows, CountLineStepExportAndEditorPath) {
  EXPECT_EQ(app::ErrorCountLine(3, 1), L" 3 Errors Found,  1 Errors Selected.");
  EXPECT_EQ(app::ScanStepFor({}), 10);
  EXPECT_EQ(app::ScanStepFor({L"1", L"2", L"3", L"4", L"5", L"6"}), 2);
  EXPECT_EQ(app::ScanStepFor({L"3", L"4", L"5", L"6", L"25", L"7"}), 1);
  EXPECT_EQ(app::ScanStepFor({L"x", L"3a"}), 10);
  TProblemRow r{L"P", L"D", L"HKEY_CURRENT_USER\\K", registry::fkDeleteSubKey};
  EXPECT_EQ(app::ExportLine(r), L"P  ^^^  D  ^^^  HKEY_CURRENT_USER\\K");
  EXPECT_EQ(app::RegeditPathForRow(r), L"HKEY_CURRENT_USER\\K\\D");
  r.FixKind = registry::fkDeleteValue;
  EXPECT_EQ(app::RegeditPathForRow(r), L"HKEY_CURRENT_USER");
  r.FixKind = registry::fkDeleteFile;
  EXPECT_EQ(app::RegeditPathForRow(r), L"");
  EXPECT_EQ(app::FullRootName(L"hkcu"), L"HKEY_CURRENT_USER");
}

}  // namespace

namespace {

TEST(RegistryRows, TheScanBarCyclesByItsStepButNeverShowsLessThanTheSectionsDone) {
  struct Case {
    int position, step, done, total, next;
  } cases[] = {
      {0, 10, 0, 6, 10},      // the step rule alone
      {995, 10, 0, 6, 0},     // past 1000: from the start again
      {1000, 1, 0, 6, 0},
      {10, 1, 3, 6, 500},     // half the sections done
      {600, 1, 3, 6, 601},    // already beyond them: the step rule
      {999, 5, 5, 6, 833},    // wraps, but not below five sixths
      {0, 1, 7, 6, 1000},     // more reports than sections: full
      {0, 1, 2, 0, 1},        // nothing to measure by
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::NextScanBarPosition(c.position, c.step, c.done, c.total), c.next)
        << c.position << " " << c.step << " " << c.done << "/" << c.total;
}

}  // namespace
