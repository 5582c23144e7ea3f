// The custom list without its windows: the rows the two builders make, their
// enable rules, editing and removing rows, and what saving writes.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

#include "cleaner/custom/CustomList.h"
#include "cleaner/custom/CustomRows.h"
#include "support/TestSupport.h"
#include "sys/IniFile.h"

using namespace cleaner::custom;

namespace {

std::wstring TempFolder() {
  wchar_t buf[MAX_PATH];
  ::GetTempPathW(MAX_PATH, buf);
  std::wstring folder = std::wstring(buf) + L"custom_tests";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::wstring& path, const std::string& text) { std::ofstream(path.c_str(), std::ios::binary) << text; }

}  // namespace

TEST(CustomRows, TheSixEntryForms) {
  std::wstring folder = TempFolder();
  struct Case {
    const char* name;
    TAddFolderModel files;
    bool registry;
    TAddRegistryModel keys;
    std::wstring expected;
  };
  TAddFolderModel single;
  single.Folder = folder;
  single.SelectedFile = L"a.log";
  TAddFolderModel whole = single;
  whole.Option = TAddFolderModel::MultipleFiles;
  TAddFolderModel masked = whole;
  masked.DeleteFolder = false;
  masked.FileMatch = L"*.tmp";
  auto key = [](TAddRegistryModel::Mode mode, std::wstring value) {
    TAddRegistryModel m;
    m.Key = L"HKEY_CURRENT_USER\\Software\\Junk";
    m.Wash = mode;
    m.Value = std::move(value);
    return m;
  };
  const Case cases[] = {
      {"folder + file", single, false, {}, folder + L",a.log"},
      {"folder", whole, false, {}, folder},
      {"folder + mask", masked, false, {}, folder + L",*.tmp"},
      {"key", {}, true, key(TAddRegistryModel::WashKey, L"x"), L"HKEY_CURRENT_USER\\Software\\Junk"},
      {"key + comma", {}, true, key(TAddRegistryModel::WashAllValues, L""), L"HKEY_CURRENT_USER\\Software\\Junk,"},
      {"key + value", {}, true, key(TAddRegistryModel::WashValue, L"Last"), L"HKEY_CURRENT_USER\\Software\\Junk,Last"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.registry) {
      EXPECT_TRUE(c.keys.OKEnabled());
      EXPECT_EQ(c.keys.ResultText(), c.expected);
      // Editing the row opens the builder as it was made.
      TAddRegistryModel back = TAddRegistryModel::FromRow(c.expected);
      EXPECT_EQ(back.Wash, c.keys.Wash);
      EXPECT_EQ(back.ResultText(), c.expected);
      EXPECT_EQ(back.ValueEnabled(), c.keys.Wash == TAddRegistryModel::WashValue);
    } else {
      EXPECT_TRUE(c.files.OKEnabled(FolderExists(c.files.Folder)));
      EXPECT_EQ(c.files.ResultText(), c.expected);
    }
  }
}

TEST(CustomRows, FolderBuilderEnableRules) {
  std::wstring folder = TempFolder();
  struct Case {
    const char* name;
    std::wstring folder;
    int option;
    std::wstring file;
    bool deleteFolder;
    std::wstring match;
    bool enabled;
  };
  const Case cases[] = {
      {"file mode without a file", folder, 0, L"", true, L"*.", false},
      {"file mode with a file", folder, 0, L"a.log", true, L"*.", true},
      {"mask of two characters", folder, 1, L"", false, L"*.", false},
      {"mask of three characters", folder, 1, L"", false, L"*.t", true},
      {"whole folder", folder, 1, L"", true, L"*.", true},
      {"missing folder", folder + L"\\nothing", 1, L"", true, L"", false},
      {"drive root", L"C:\\", 1, L"", true, L"", false},
      {"drive root without slash", L"C:", 1, L"", false, L"*.*", false},
      {"drive root, one file", L"C:\\", 0, L"a.log", true, L"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TAddFolderModel m;
    m.Folder = c.folder;
    m.Option = c.option;
    m.SelectedFile = c.file;
    m.DeleteFolder = c.deleteFolder;
    m.FileMatch = c.match;
    EXPECT_EQ(m.OKEnabled(FolderExists(c.folder)), c.enabled);
  }
}

TEST(CustomRows, DriveRootsAndRegistryKeys) {
  const std::pair<const wchar_t*, bool> roots[] = {
      {L"C:", true},          {L"c:\\", true},          {L"D:\\\\", true},           {L"\\", true},
      {L"\\\\srv\\share", true}, {L"\\\\srv\\share\\", true}, {L"\\\\srv\\share\\tmp", false},
      {L"C:\\Temp", false},   {L"", false}};
  for (const auto& r : roots) EXPECT_EQ(IsDriveRoot(r.first), r.second) << r.first;

  struct KeyCase {
    const wchar_t* key;
    TAddRegistryModel::Mode mode;
    const wchar_t* value;
    bool enabled;
  };
  const KeyCase keys[] = {
      {L"HKEY_CURRENT_USER\\Software\\Junk", TAddRegistryModel::WashKey, L"", true},
      {L"hkey_local_machine\\Software\\Junk", TAddRegistryModel::WashAllValues, L"", true},
      {L"HKEY_CURRENT_USER\\Software\\Junk", TAddRegistryModel::WashValue, L"", false},
      {L"HKEY_CURRENT_USER", TAddRegistryModel::WashKey, L"", false},    // a whole hive
      {L"HKEY_CURRENT_USER\\", TAddRegistryModel::WashKey, L"", false},  // no key after the root
      {L"HKCU\\Software\\Junk", TAddRegistryModel::WashKey, L"", false},
      {L" HKEY_CURRENT_USER\\Software", TAddRegistryModel::WashKey, L"", false},  // would be saved as a file row
      {L"Software\\HKEY_Junk", TAddRegistryModel::WashKey, L"", false},
      {L"HKEY_CURRENT_USER\\Software\\A,B", TAddRegistryModel::WashKey, L"", false},
  };
  for (const KeyCase& k : keys) {
    TAddRegistryModel m;
    m.Key = k.key;
    m.Wash = k.mode;
    m.Value = k.value;
    EXPECT_EQ(m.OKEnabled(), k.enabled) << k.key;
  }
}

TEST(CustomList, EditRemoveAndEnableRules) {
  TCustomListModel list;
  list.Load(TempFolder() + L"\\missing.dat");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.OKEnabled());
  list.Add(L"C:\\Temp\\a");
  list.Add(L"HKEY_CURRENT_USER\\Software\\A,");
  list.Add(L"C:\\Temp\\b,*.log");
  EXPECT_FALSE(list.EditEnabled());
  EXPECT_FALSE(list.RemoveEnabled());
  list.Select(1);
  EXPECT_TRUE(list.EditEnabled());
  list.ReplaceSelected(L"HKEY_CURRENT_USER\\Software\\B");
  EXPECT_EQ(list.Rows()[1], L"HKEY_CURRENT_USER\\Software\\B");
  list.Select(0);
  EXPECT_FALSE(list.EditEnabled());  // file rows are not edited
  // Removing the last of three rows selects the new last row.
  list.Select(2);
  list.RemoveSelected();
  EXPECT_EQ(list.Selected(), 1);
  list.Select(0);
  list.RemoveSelected();
  EXPECT_EQ(list.Selected(), 0);
  list.RemoveSelected();
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.RemoveEnabled());
  EXPECT_TRUE(list.OKEnabled());  // the removal itself can be saved
}

TEST(CustomList, SavingWritesTheRowsInOrderAndAnEmptyListErasesTheSection) {
  std::wstring path = TempFolder() + L"\\Custom.dat";
  WriteAll(path, "[Other]\r\nKeep=1\r\n[<New List>]\r\nDelFile1=C:\\Old\r\nDelFile9=C:\\Older\r\n");
  TCustomListModel list;
  list.Load(path);
  ASSERT_EQ(list.Count(), 2);
  list.Select(0);
  list.RemoveSelected();
  list.RemoveSelected();
  list.Add(L"C:\\Temp\\one");
  list.Add(L"HKEY_CURRENT_USER\\Software\\Junk,Value");
  list.Add(L"C:\\Temp\\two,*.tmp");
  std::vector<std::wstring> refused;
  ASSERT_TRUE(list.Save(path, &refused));
  std::string text = ReadAll(path);
  EXPECT_NE(text.find("DelFile1=C:\\Temp\\one"), std::string::npos) << text;
  EXPECT_NE(text.find("DelRegValue1=HKEY_CURRENT_USER\\Software\\Junk,Value"), std::string::npos) << text;
  EXPECT_NE(text.find("DelFile2=C:\\Temp\\two,*.tmp"), std::string::npos) << text;
  EXPECT_EQ(text.find("Older"), std::string::npos) << text;

  TCustomListModel again;
  again.Load(path);
  EXPECT_EQ(again.Rows(), list.Rows());
  for (again.Select(0); again.Count() > 0;) again.RemoveSelected();
  ASSERT_TRUE(again.OKEnabled());
  ASSERT_TRUE(again.Save(path, &refused));
  text = ReadAll(path);
  EXPECT_EQ(text.find("<New List>"), std::string::npos) << text;
  EXPECT_NE(text.find("Keep=1"), std::string::npos) << text;
}
