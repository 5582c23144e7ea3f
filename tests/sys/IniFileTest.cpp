// The ini class: number forms, missing keys, and keys a save leaves alone.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "sys/IniFile.h"

namespace {

// Files as bytes in memory; a name may answer a load with any result.
class MemoryStore : public sys::IniStore {
 public:
  std::map<std::wstring, std::string> files;
  std::map<std::wstring, Result> loads;  // answers other than Done/Missing
  int saves = 0;
  Result Load(const std::wstring& path, std::string* bytes) override {
    auto answer = loads.find(path);
    if (answer != loads.end()) return answer->second;
    auto it = files.find(path);
    if (it == files.end()) return Result::Missing;
    *bytes = it->second;
    return Result::Done;
  }
  Result Save(const std::wstring& path, const std::string& bytes, DWORD*) override {
    ++saves;
    files[path] = bytes;
    return Result::Done;
  }
};

TEST(IniFile, IntegersAreDecimalOrHexAfter0xAndAnythingElseGivesTheDefault) {
  struct Case {
    const wchar_t* text;
    bool ok;
    long value;
  } cases[] = {{L"10", true, 10},          {L"-2", true, -2},          {L"0x3", true, 3},
               {L"0XfF", true, 255},       {L" 7 ", true, 7},          {L"0xFFFFFFFF", true, -1},
               {L"2147483647", true, 2147483647L},                      {L"2147483648", false, 0},
               {L"word", false, 0},        {L"", false, 0},            {L"0x", false, 0},
               {L"12abc", false, 0},       {L"$10", false, 0}};
  for (const Case& c : cases) {
    long v = 0;
    EXPECT_EQ(sys::IniFile::ParseInteger(c.text, &v), c.ok) << std::wstring(c.text).size();
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(IniFile, ReadsWritesAndKeepsWhatItDidNotWrite) {
  MemoryStore store;
  const std::wstring path = L"C:\\ini_test.ini";
  {
    sys::IniFile ini(path, store);
    ini.WriteString(L"Foreign", L"Keep", L"me");
    ini.WriteBool(L"Options", L"Flag", true);
    ini.WriteInteger(L"Options", L"Number", -5);
    ini.Flush();
  }
  sys::IniFile ini(path, store);
  EXPECT_TRUE(ini.ReadBool(L"Options", L"Flag", false));
  EXPECT_EQ(ini.ReadInteger(L"Options", L"Number", 0), -5);
  EXPECT_EQ(ini.ReadInteger(L"Options", L"Missing", 42), 42);
  EXPECT_FALSE(ini.ValueExists(L"Options", L"Missing"));
  ini.WriteString(L"Options", L"Empty", L"");
  EXPECT_TRUE(ini.ValueExists(L"Options", L"Empty"));
  ini.WriteInteger(L"Options", L"Number", 7);
  EXPECT_EQ(ini.ReadString(L"Foreign", L"Keep", L""), L"me");
  EXPECT_EQ((ini.SectionLines(L"Options")), (std::vector<std::wstring>{L"Flag=1", L"Number=7", L"Empty="}));
}

}  // namespace

namespace {

// Lookups as the profile functions answer them: names ignore case and the
// blanks around them, the first section and key win, one pair of quotes goes.
TEST(IniFile, ReadsAsTheProfileFunctionsDo) {
  MemoryStore store;
  store.files[L"C:\\r.ini"] =
      "top=before any section\r\n[Main]\r\n  Key = spaced value  \r\nquoted=\"a b\"\r\nhalf=\"a\r\n"
      "dup=first\r\ndup=second\r\n;comment=no\r\nbare\r\n[main]\r\nlater=hidden\r\n[ Other ]\n"
      "lf=only\n[broken\nx=1\n";
  const sys::IniFile ini(L"C:\\r.ini", store);
  struct Row {
    const wchar_t *section, *key, *expected;
  } rows[] = {
      {L"MAIN", L"key", L"spaced value"}, {L"Main", L"quoted", L"a b"},    {L"Main", L"half", L"\"a"},
      {L"Main", L"dup", L"first"},        {L"Main", L"later", L"<none>"},  {L"Main", L"bare", L"<none>"},
      {L"Main", L";comment", L"<none>"},      {L" Other ", L"lf", L"only"},    {L"Other", L"lf", L"<none>"},
      {L" Other ", L"x", L"1"},           {L"", L"top", L"<none>"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ini.ReadString(r.section, r.key, L"<none>"), r.expected) << r.section << L"/" << r.key;
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::wstring>{L"Main", L"main", L" Other "}));
  EXPECT_EQ(ini.SectionLines(L"main"), (std::vector<std::wstring>{L"Key=spaced value", L"quoted=\"a b\"", L"half=\"a",
                                                                  L"dup=first", L"dup=second", L"bare"}));
}

// A save writes the whole text back: lines it did not change stay as they
// were, in the file's own encoding, and every line ends in CR LF.
TEST(IniFile, ASaveRewritesTheWholeTextKeepingWhatItDidNotChange) {
  const std::string kFile =
      "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\n\r\n[B]\nfirst=1\n\n[A]\r\nx=second section\r\n";
  struct Row {
    const char* what;
    std::function<void(sys::IniFile&)> edit;
    std::string expected;
  } rows[] = {
      {"a value replaced in the first section", [](sys::IniFile& i) { i.WriteString(L"a", L"X", L"2"); },
       "; kept comment\r\n[A]\r\nx=2\r\n  other=keep  \r\n\r\n[B]\r\nfirst=1\r\n\r\n[A]\r\nx=second section\r\n"},
      {"a key added before the blank line", [](sys::IniFile& i) { i.WriteInteger(L"A", L"y", -3); },
       "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\ny=-3\r\n\r\n[B]\r\nfirst=1\r\n\r\n[A]\r\nx=second section\r\n"},
      {"a section added at the end", [](sys::IniFile& i) { i.WriteBool(L"C", L"on", true); },
       
       "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\n\r\n[B]\r\nfirst=1\r\n\r\n[A]\r\nx=second section\r\n\r\n[C]\r\non=1\r\n"},
      {"a section replaced whole", [](sys::IniFile& i) { i.WriteSection(L"B", {L"Count=1", L"Value1=z"}); },
       
       "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\n\r\n[B]\r\nCount=1\r\nValue1=z\r\n\r\n[A]\r\nx=second section\r\n"},
      {"a section and a key erased",
       [](sys::IniFile& i) {
         i.EraseSection(L"b");
         i.DeleteKey(L"A", L"other");
       },
       "; kept comment\r\n[A]\r\nx = 1\r\n\r\n[A]\r\nx=second section\r\n"},
  };
  for (const Row& r : rows) {
    MemoryStore store;
    store.files[L"C:\\s.ini"] = kFile;
    sys::IniFile ini(L"C:\\s.ini", store);
    r.edit(ini);
    ini.Flush();
    EXPECT_EQ(store.files[L"C:\\s.ini"], r.expected) << r.what;
  }
  // Text with a byte-order mark keeps it, and its encoding.
  const std::string utf16("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0", 22);
  const std::string utf8 = "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9\r\n";
  for (const std::string& text : {utf16, utf8}) {
    MemoryStore store;
    store.files[L"C:\\u.ini"] = text;
    sys::IniFile ini(L"C:\\u.ini", store);
    EXPECT_EQ(ini.ReadString(L"A", L"k", L""), L"\u00e9");
    ini.WriteString(L"A", L"k", L"\u00e9");
    ini.Flush();
    EXPECT_EQ(store.files[L"C:\\u.ini"], text);
  }
}

// A file the store refused or could not read reads as empty, and is never
// saved over: what little was read would replace it.
TEST(IniFile, ARefusedOrUnreadableFileIsNeverWritten) {
  for (sys::IniStore::Result answer : {sys::IniStore::Result::Refused, sys::IniStore::Result::Failed}) {
    MemoryStore store;
    store.files[L"C:\\x.ini"] = "[A]\r\nk=1\r\n";
    store.loads[L"C:\\x.ini"] = answer;
    sys::IniFile ini(L"C:\\x.ini", store);
    EXPECT_EQ(ini.ReadString(L"A", L"k", L"none"), L"none");
    EXPECT_EQ(ini.ReadResult(), answer);
    EXPECT_THROW(ini.Flush(), sys::IniWriteError) << "said even with nothing changed";
    ini.WriteString(L"A", L"k", L"2");
    try {
      ini.Flush();
      ADD_FAILURE() << "a refused file must raise";
    } catch (const sys::IniWriteError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Unable to write to C:\\x.ini: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(store.saves, 0);
    EXPECT_EQ(store.files[L"C:\\x.ini"], "[A]\r\nk=1\r\n");
  }
}

}  // namespace
