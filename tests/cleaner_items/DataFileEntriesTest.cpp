// What a line of kavo.dat or Custom.dat names, before anything runs.
#include <gtest/gtest.h>

#include "cleaner/items/DataFileEntries.h"

using namespace cleaner;

namespace {

FolderTokens Tokens() {
  FolderTokens t;
  t.programFiles = L"C:\\Program Files";
  t.windows = L"C:\\windows";
  t.localAppData = L"C:\\users\\ann\\AppData\\Local";
  t.currentAppData = L"C:\\users\\ann\\AppData\\Roaming";
  t.commonAppData = L"";  // unknown on this machine
  return t;
}

struct Resolved {
  bool ok;
  FileEntryForm form;
  std::wstring folder;
  std::wstring mask;
};

Resolved Resolve(const std::wstring& value) {
  FileEntry e;
  bool ok = ResolveFileEntry(value, Tokens(), &e);
  return {ok, e.form, e.folder, e.mask};
}

}  // namespace

TEST(DataLine, KeyNameAloneDecidesTheKind) {
  EXPECT_EQ(ClassifyDataLine(L"DelFile1=C:\\x").kind, EntryKind::File);
  EXPECT_EQ(ClassifyDataLine(L"delregvalue12=HKEY_CURRENT_USER\\A\\B").kind, EntryKind::Registry);
  EXPECT_EQ(ClassifyDataLine(L"  DelFile = C:\\x ").value, L"C:\\x");
  // A registry value named like a file key stays a registry entry, and the
  // other way round.
  DataLine reg = ClassifyDataLine(L"DelRegValue1=HKEY_CURRENT_USER\\Software\\A,DelFile1");
  EXPECT_EQ(reg.kind, EntryKind::Registry);
  EXPECT_EQ(reg.value, L"HKEY_CURRENT_USER\\Software\\A,DelFile1");
  EXPECT_EQ(ClassifyDataLine(L"DelFile2=C:\\DelRegValue\\x").kind, EntryKind::File);
  // Keys that merely contain the names, or carry more than a number, are ignored.
  for (const wchar_t* line : {L"MyDelFile1=C:\\x", L"DelFileOld=C:\\x", L"Note=DelFile1=C:\\x", L"DelFile1 C:\\x",
                              L"=DelFile", L"DelRegValues1=HKEY_CURRENT_USER\\A\\B"}) {
    EXPECT_EQ(ClassifyDataLine(line).kind, EntryKind::None) << line;
  }
}

TEST(DataLine, RegistryEntryForms) {
  RegistryEntry e;
  ASSERT_TRUE(ParseRegistryEntry(L"HKEY_CURRENT_USER\\Software\\Foo", &e));
  EXPECT_EQ(e.root, L"HKEY_CURRENT_USER");
  EXPECT_EQ(e.key, L"Software\\Foo");
  EXPECT_FALSE(e.valuesOnly);

  ASSERT_TRUE(ParseRegistryEntry(L"hkey_current_user\\Software\\Foo,", &e));
  EXPECT_TRUE(e.valuesOnly);
  EXPECT_EQ(e.valueName, L"");

  ASSERT_TRUE(ParseRegistryEntry(L"HKEY_CURRENT_USER\\Software\\Foo,Bar,Baz", &e));
  EXPECT_EQ(e.key, L"Software\\Foo");
  EXPECT_EQ(e.valueName, L"Bar,Baz");

  EXPECT_FALSE(ParseRegistryEntry(L"HKEY_CURRENT_USER", &e));
}

TEST(DataLine, FileEntryFormsAndTokens) {
  Resolved r = Resolve(L"%windir%\\Temp");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.form, FileEntryForm::Folder);
  EXPECT_EQ(r.folder, L"C:\\windows\\Temp");

  r = Resolve(L"%windir%\\Temp,*.*");
  EXPECT_EQ(r.form, FileEntryForm::FolderContents);
  EXPECT_EQ(r.folder, L"C:\\windows\\Temp");

  r = Resolve(L"%windir%\\Temp,*.tmp");
  EXPECT_EQ(r.form, FileEntryForm::Mask);
  EXPECT_EQ(r.mask, L"*.tmp");

  r = Resolve(L"%windir%\\,setupact.log");
  EXPECT_EQ(r.folder, L"C:\\windows\\");
  EXPECT_EQ(r.mask, L"setupact.log");

  EXPECT_EQ(Resolve(L"{Local AppData}\\X").folder, L"C:\\users\\ann\\AppData\\Local\\X");
  EXPECT_EQ(Resolve(L"{Current AppData}\\X").folder, L"C:\\users\\ann\\AppData\\Roaming\\X");
  EXPECT_EQ(Resolve(L"%ProgramFiles%\\X").folder, L"C:\\Program Files\\X");
  EXPECT_EQ(Resolve(L"{C: Drive}\\X").folder, L"C:\\X");
  EXPECT_EQ(Resolve(L"D:\\Logs,*.log").folder, L"D:\\Logs");
  // A network path has an empty base and still names its share.
  EXPECT_EQ(Resolve(L"\\\\server\\share\\x,*.log").folder, L"\\\\server\\share\\x");
  // A value without "\" gets one: a drive names its root.
  r = Resolve(L"C:");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.folder, L"C:\\");
  // An empty mask stays an (empty) mask, which matches nothing.
  r = Resolve(L"%windir%\\Temp,");
  EXPECT_EQ(r.form, FileEntryForm::Mask);
  EXPECT_EQ(r.mask, L"");
}

TEST(DataLine, NothingRelativeIsEverNamed) {
  // Tokens are exact, case included: another case is no token and no path.
  EXPECT_FALSE(Resolve(L"%WINDIR%\\Temp").ok);
  // A token whose folder is unknown skips the entry.
  EXPECT_FALSE(Resolve(L"{Common AppData}\\Vendor\\Cache,*.*").ok);
  for (const wchar_t* value : {L"Temp\\x", L"\\Temp", L"\\\\server", L"..\\x", L"", L",*.*"}) {
    EXPECT_FALSE(Resolve(value).ok) << value;
  }
}
