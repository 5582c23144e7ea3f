// What a line of kavo.dat or Custom.dat names, before anything runs.
#include <gtest/gtest.h>

#include <fstream>

#include "cleaner/PathGuard.h"
#include "cleaner/items/DataFileEntries.h"
#include "core/guard/RegistryGuard.h"
#include "core/guard/SystemPlaces.h"
#include "support/TestSupport.h"

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
  using F = FileEntryForm;
  const struct {
    const wchar_t* value;
    F form;
    const wchar_t* folder;
    const wchar_t* mask;
  } cases[] = {
      {L"%windir%\\Temp", F::Folder, L"C:\\windows\\Temp", L""},
      {L"%windir%\\Temp,*.*", F::FolderContents, L"C:\\windows\\Temp", L"*.*"},
      {L"%windir%\\Temp,*.tmp", F::Mask, L"C:\\windows\\Temp", L"*.tmp"},
      {L"%windir%\\Temp,", F::Mask, L"C:\\windows\\Temp", L""},  // matches nothing
      {L"%windir%\\,setupact.log", F::Mask, L"C:\\windows\\", L"setupact.log"},
      {L"{Local AppData}\\X", F::Folder, L"C:\\users\\ann\\AppData\\Local\\X", L""},
      {L"{Current AppData}\\X", F::Folder, L"C:\\users\\ann\\AppData\\Roaming\\X", L""},
      {L"%ProgramFiles%\\X", F::Folder, L"C:\\Program Files\\X", L""},
      {L"{C: Drive}\\X", F::Folder, L"C:\\X", L""},
      {L"D:\\Logs,*.log", F::Mask, L"D:\\Logs", L"*.log"},
      // A network path has an empty base and still names its share.
      {L"\\\\server\\share\\x,*.log", F::Mask, L"\\\\server\\share\\x", L"*.log"},
      // A value without "\" gets one: a drive names its root.
      {L"C:", F::Folder, L"C:\\", L""},
  };
  for (const auto& c : cases) {
    Resolved r = Resolve(c.value);
    EXPECT_TRUE(r.ok) << c.value;
    EXPECT_EQ(r.form, c.form) << c.value;
    EXPECT_EQ(r.folder, c.folder) << c.value;
    EXPECT_EQ(r.mask, c.mask) << c.value;
  }
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

// Every line of the shipped kavo.dat stays allowed by the rules for the
// system's own files and keys, with this system's folders.
TEST(DataLine, TheShippedKavoDatPassesTheSystemPlaceRules) {
  wchar_t source[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableW(L"VANTOREL_SOURCE_DIR", source, MAX_PATH), 0u);
  std::wstring path = testing_support::FromUnixPath(source) + L"\\data\\kavo.dat";
  std::ifstream in(path.c_str());
  ASSERT_TRUE(in.good()) << "cannot read kavo.dat";
  PathGuard guard(SystemGuardFolders());
  FolderTokens tokens = ReadFolderTokens();
  int files = 0, keys = 0;
  for (std::string raw; std::getline(in, raw);) {
    std::wstring line(raw.begin(), raw.end());
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    DataLine entry = ClassifyDataLine(line);
    SCOPED_TRACE(raw);
    if (entry.kind == EntryKind::File) {
      FileEntry file;
      if (!ResolveFileEntry(entry.value, tokens, &file)) continue;  // a token this system lacks
      DataFileJudgement judged = guard.JudgeDataFileEntry(file.folder, file.mask);
      EXPECT_TRUE(judged.allowed) << std::string(judged.reason.begin(), judged.reason.end());
      ++files;
    } else if (entry.kind == EntryKind::Registry) {
      RegistryEntry reg;
      ASSERT_TRUE(ParseRegistryEntry(entry.value, &reg));
      HKEY root = core::guard::RootKeyFromName(reg.root);
      ASSERT_NE(root, nullptr);
      EXPECT_EQ(core::guard::DataFileKeyRefusal(root, core::guard::NormalKeyPath(reg.key)), L"");
      ++keys;
    }
  }
  EXPECT_GT(files, 10);
  EXPECT_GT(keys, 10);
}
