// The ini class: number forms, missing keys, and keys a save leaves alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

#include "support/Folders.h"
#include "support/HeapCount.h"
#include "support/PeakMemory.h"
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

// Every row is read twice: by the ini text and by the system's profile
// functions from the same bytes on disk, and both must give the row's value
// (the names of the sections and the lines of the row's section too). A row
// bound to a code page runs where the harness sets that code page.
struct ReadRow {
  const char* what;
  std::string file;
  const wchar_t *section, *key, *expected;
  UINT codePage = 0;                // 0: any
  const wchar_t* system = nullptr;  // what the system reads where the text reads otherwise on purpose
};

#define BYTES(text) std::string(text, sizeof(text) - 1)

const std::string kMixed = BYTES(
    "top=before any section\r\n[Main]\r\n  Key = spaced value  \r\nquoted=\"a b\"\r\nhalf=\"a\r\n"
    "dup=first\r\ndup=second\r\n;comment=no\r\nbare\r\n[main]\r\nlater=hidden\r\n[ Other ]\n"
    "lf=only\n[broken\nx=1\n");
const std::string kLoneCr = BYTES("[Options]\rIsWipeFile=1\r[IgnoreValue]\rCount=1\rValue1=x\r");
const std::string kFormFeed =
    BYTES("[Options]\r\nIsWipeFile=1\r\n\x0c[IgnoreValue]\r\nCount=1\r\n\x0b[IgnoreKey]\r\nKey1=k\r\n");
const std::string kNulHeader = BYTES("[IgnoreValue\0]\r\nCount=2\r\n[Ignore\0Key]\r\nCount=3\r\n[S]\r\nk=x\0y\r\n");
const std::string kBigEndian = BYTES("\xFE\xFF\0[\0O\0p\0t\0i\0o\0n\0s\0]\0\r\0\n\0k\0=\x20\xAC\0\n");
const std::string kLeadByte = BYTES("[IgnoreValue]\r\nValue1=a\x83\nValue2=b\r\n");

std::wstring SystemRead(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t buf[4096] = {};
  const DWORD n = ::GetPrivateProfileStringW(section, key, L"<none>", buf, 4096, file.c_str());
  return std::wstring(buf, n);
}

// A list of NUL-ended strings, as the section calls return them.
std::vector<std::wstring> SystemList(const wchar_t* section, const std::wstring& file) {
  std::vector<wchar_t> buf(32768);
  const DWORD n = section != nullptr
                      ? ::GetPrivateProfileSectionW(section, buf.data(), static_cast<DWORD>(buf.size()), file.c_str())
                      : ::GetPrivateProfileSectionNamesW(buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
  std::vector<std::wstring> out;
  for (size_t at = 0; at < n && buf[at] != 0; at += out.back().size() + 1) out.emplace_back(&buf[at]);
  return out;
}

TEST(IniFile, ReadsAsTheProfileFunctionsDo) {
  const ReadRow rows[] = {
      {"names ignore case", kMixed, L"MAIN", L"key", L"spaced value"},
      {"one pair of quotes goes", kMixed, L"Main", L"quoted", L"a b"},
      {"a lone quote stays", kMixed, L"Main", L"half", L"\"a"},
      {"the first key wins", kMixed, L"Main", L"dup", L"first"},
      {"the first section wins", kMixed, L"Main", L"later", L"<none>"},
      {"a key with no = has no value", kMixed, L"Main", L"bare", L"<none>"},
      {"a comment is found by its whole name", kMixed, L"Main", L";comment", L"no"},
      {"blanks inside a header's brackets", kMixed, L"Other", L"lf", L"only"},
      {"blanks around the asked name", kMixed, L" Other ", L"lf", L"only"},
      {"a [ with no ] is a key", kMixed, L"Other", L"x", L"1"},
      {"lines before any header", kMixed, L"", L"top", L"before any section"},
      {"a lone CR ends a line", kLoneCr, L"Options", L"IsWipeFile", L"1"},
      {"a lone CR ends a header", kLoneCr, L"IgnoreValue", L"Value1", L"x"},
      {"tab and VT inside brackets", BYTES("[\tOptions\x0b]\r\nk=1\r\n"), L"Options", L"k", L"1"},
      {"^Z after a value", BYTES("[Options]\r\nIsWipeFile=1\x1a\r\n"), L"Options", L"IsWipeFile", L"1"},
      {"^Z after a header", BYTES("[Options]\x1a\r\nk=1\r\n"), L"Options", L"k", L"1"},
      {"FF before [ is a header", kFormFeed, L"IgnoreValue", L"Count", L"1"},
      {"VT before [ is a header", kFormFeed, L"IgnoreKey", L"Key1", L"k"},
      {"the lines after FF [ are not the section above's", kFormFeed, L"Options", L"Count", L"<none>"},
      {"NUL ends a header's name", kNulHeader, L"IgnoreValue", L"Count", L"2"},
      {"NUL inside a header's name", kNulHeader, L"Ignore", L"Count", L"3"},
      {"NUL ends a value", kNulHeader, L"S", L"k", L"x"},
      {"other controls are no blanks", BYTES("[S]\r\nk=v\x1c\x1f\r\n"), L"S", L"k", L"v\x1c\x1f"},
      {"a no-break space at an end is kept", BYTES("[IgnoreValue]\r\nValue1=HKCU\\Software\\A\xa0\r\n"),
       L"IgnoreValue", L"Value1", L"HKCU\\Software\\A\u00a0", 1252},
      {"a no-break space before a key is kept", BYTES("[S]\r\n\xa0k=1\r\n"), L"S", L"k", L"<none>", 1252},
      {"an ellipsis at an end is kept", BYTES("[S]\r\nk=v\x85\r\n"), L"S", L"k", L"v\u2026", 1252},
      {"an ideographic space at an end is kept", BYTES("[IgnoreValue]\r\nValue1=HKCU\\Software\\A\x81\x40\r\n"),
       L"IgnoreValue", L"Value1", L"HKCU\\Software\\A\u3000", 932},
      {"UTF-16 big-endian", kBigEndian, L"Options", L"k", L"\u20ac"},
      {"UTF-16 no-break space", BYTES("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0\xa0\0"), L"S", L"k", L"v\u00a0"},
      {"UTF-8", BYTES("\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n"), L"S", L"k", L"\u00e9"},
      // The system converts before it splits, and the lead byte takes the LF
      // with it: two entries merge. The text splits first, as the .reg reader does.
      {"a lead byte last in its line", kLeadByte, L"IgnoreValue", L"Value2", L"b", 932, L"<none>"},
  };
  testing_support::ScratchFolder dir(L"IniFileTest", L"read");
  int n = 0;
  for (const ReadRow& r : rows) {
    SCOPED_TRACE(r.what);
    if (r.codePage != 0 && r.codePage != ::GetACP()) {
      std::printf("%s: not run, it needs code page %u (this is %u)\n", r.what, r.codePage, ::GetACP());
      continue;
    }
    const std::wstring path = dir.Path(L"r" + std::to_wstring(++n) + L".ini");
    ASSERT_TRUE(testing_support::WriteBytes(path, r.file));
    MemoryStore store;
    store.files[path] = r.file;
    const sys::IniFile ini(path, store);
    EXPECT_EQ(ini.ReadString(r.section, r.key, L"<none>"), r.expected);
    EXPECT_EQ(SystemRead(path, r.section, r.key), r.system != nullptr ? r.system : r.expected);
    if (r.system != nullptr) continue;
    EXPECT_EQ(ini.SectionNames(), SystemList(nullptr, path));
    EXPECT_EQ(ini.SectionLines(r.section), SystemList(r.section, path));
  }
}

// A save writes the whole text back: lines it did not change stay byte for
// byte, line ends included, and new lines are written in the file's own
// encoding and end in CR LF. No line joins another section.
TEST(IniFile, ASaveRewritesTheWholeTextKeepingWhatItDidNotChange) {
  const std::string kFile =
      "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\n\r\n[B]\nfirst=1\n\n[A]\r\nx=second section\r\n";
  struct Row {
    const char* what;
    std::function<void(sys::IniFile&)> edit;
    std::string expected;
    std::string file = std::string();  // empty: kFile
  } rows[] = {
      {"a value replaced in the first section", [](sys::IniFile& i) { i.WriteString(L"a", L"X", L"2"); },
       "; kept comment\r\n[A]\r\nx=2\r\n  other=keep  \r\n\r\n[B]\nfirst=1\n\n[A]\r\nx=second section\r\n"},
      {"a value written as it stands", [](sys::IniFile& i) { i.WriteString(L"A", L"x", L"1"); }, kFile},
      {"a key added before the blank line", [](sys::IniFile& i) { i.WriteInteger(L"A", L"y", -3); },
       "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\ny=-3\r\n\r\n[B]\nfirst=1\n\n[A]\r\nx=second section\r\n"},
      {"a section added at the end", [](sys::IniFile& i) { i.WriteBool(L"C", L"on", true); },
       kFile + "\r\n[C]\r\non=1\r\n"},
      {"a section replaced whole", [](sys::IniFile& i) { i.WriteSection(L"B", {L"Count=1", L"Value1=z"}); },
       "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\n\r\n[B]\nCount=1\r\nValue1=z\r\n\n[A]\r\nx=second section\r\n"},
      {"a section and a key erased",
       [](sys::IniFile& i) {
         i.EraseSection(L"b");
         i.DeleteKey(L"A", L"other");
       },
       "; kept comment\r\n[A]\r\nx = 1\r\n\r\n[A]\r\nx=second section\r\n"},
      {"the first of two sections erased: the second answers",
       [](sys::IniFile& i) {
         EXPECT_EQ(i.ReadString(L"A", L"x", L""), L"1");
         i.EraseSection(L"A");
         i.WriteString(L"A", L"x", L"3");
       },
       "; kept comment\r\n[B]\nfirst=1\n\n[A]\r\nx=3\r\n"},
      {"a section asked for before it was added",
       [](sys::IniFile& i) {
         EXPECT_EQ(i.ReadString(L"C", L"on", L"none"), L"none");
         i.WriteBool(L"C", L"on", true);
         i.WriteBool(L"C", L"off", false);
         i.WriteString(L"B", L"second", L"2");
       },
       "; kept comment\r\n[A]\r\nx = 1\r\n  other=keep  \r\n\r\n[B]\nfirst=1\nsecond=2\r\n\n[A]\r\nx=second section\r\n"
       "\r\n[C]\r\non=1\r\noff=0\r\n"},
      {"lines ended by a lone CR", [](sys::IniFile& i) { i.WriteString(L"A", L"z", L"3"); },
       "[A]\rx=1\rz=3\r\n[B]\ry=2\r", "[A]\rx=1\r[B]\ry=2\r"},
      {"a last line with no line end", [](sys::IniFile& i) { i.WriteString(L"A", L"y", L"2"); },
       "[A]\r\nx=1\r\ny=2\r\n", "[A]\r\nx=1"},
      {"a header after FF", [](sys::IniFile& i) { i.WriteString(L"A", L"z", L"3"); },
       "[A]\r\nx=1\r\nz=3\r\n\x0c[B]\r\ny=2\r\n", "[A]\r\nx=1\r\n\x0c[B]\r\ny=2\r\n"},
      {"a header with a NUL", [](sys::IniFile& i) { i.WriteString(L"IgnoreValue", L"Count", L"3"); },
       std::string("[IgnoreValue\0]\r\nCount=3\r\n", 25), std::string("[IgnoreValue\0]\r\nCount=2\r\n", 25)},
      {"a lead byte last in its line", [](sys::IniFile& i) { i.WriteString(L"S", L"Value2", L"c"); },
       "[S]\r\nValue1=a\x83\nValue2=c\r\n", "[S]\r\nValue1=a\x83\nValue2=b\r\n"},
  };
  for (const Row& r : rows) {
    MemoryStore store;
    store.files[L"C:\\s.ini"] = r.file.empty() ? kFile : r.file;
    sys::IniFile ini(L"C:\\s.ini", store);
    r.edit(ini);
    ini.Flush();
    EXPECT_EQ(store.files[L"C:\\s.ini"], r.expected) << r.what;
  }
  // Text with a byte-order mark keeps it, and its encoding.
  const struct {
    std::string file, saved;
  } marked[] = {
      {std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\n\0", 20), std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE8\0\n\0", 20)},
      {std::string("\xFE\xFF\0[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\n", 20), std::string("\xFE\xFF\0[\0A\0]\0\r\0\n\0k\0=\0\xE8\0\n", 20)},
      {"\xEF\xBB\xBF[A]\r\nk=\xC3\xA9\n", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA8\n"},
  };
  for (const auto& m : marked) {
    MemoryStore store;
    store.files[L"C:\\u.ini"] = m.file;
    sys::IniFile ini(L"C:\\u.ini", store);
    EXPECT_EQ(ini.ReadString(L"A", L"k", L""), L"\u00e9");
    ini.WriteString(L"A", L"k", L"\u00e8");
    ini.Flush();
    EXPECT_EQ(store.files[L"C:\\u.ini"], m.saved);
  }
}

// Files on disk, read and written whole, as the program's own store does.
class DiskStore : public sys::IniStore {
 public:
  Result Load(const std::wstring& path, std::string* bytes) override {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Result::Missing;
    LARGE_INTEGER size{};
    ::GetFileSizeEx(h, &size);
    bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    const bool ok = ::ReadFile(h, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &got, nullptr) && got == bytes->size();
    ::CloseHandle(h);
    return ok ? Result::Done : Result::Failed;
  }
  Result Save(const std::wstring& path, const std::string& bytes, DWORD* error) override {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    const bool ok = h != INVALID_HANDLE_VALUE &&
                    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
    *error = ok ? ERROR_SUCCESS : ::GetLastError();
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    return ok ? Result::Done : Result::Failed;
  }
};

// A file of about 60 MB: `head`, then `lines` repeated; in UTF-16 when `wide`.
std::string SixtyMegabytes(const std::string& head, const std::string& lines, bool wide) {
  std::string text;
  const size_t count = ((60u << 20) / (wide ? 2 : 1) - head.size()) / lines.size();
  text.reserve(head.size() + count * lines.size());
  text = head;
  for (size_t i = 0; i < count; ++i) text += lines;
  if (!wide) return text;
  std::string utf16(2 + 2 * text.size(), '\0');
  utf16[0] = '\xFF', utf16[1] = '\xFE';
  for (size_t i = 0; i < text.size(); ++i) utf16[2 + 2 * i] = text[i];
  return utf16;
}

// Whatever its shape, a settings file near the size limit is read, changed
// and saved within four times its size (one long line took ten times),
// counted as the system sees it and as the heap was asked for (a block counts
// whole, written or not). A value that grows moves the text once, the old
// and the new side by side, never into a doubled buffer (that took three
// times the text on its own).
TEST(IniFile, SixtyMegabytesOfAnyShapeAreReadAndSavedWithinFourTimesTheirSize) {
  const struct {
    const char* what;
    std::string head, lines;
    bool wide;
    double most = 4;  // times the size
  } shapes[] = {
      {"one line", "[Options]\r\nk=", "abcdefghijklmnopqrstuvwxyz", false},
      {"the tiniest keys", "[Options]\r\n", "a=b\r\n", false},
      {"bare keys, LF", "[Options]\r\n", "a\n", false},
      {"headers alone", "", "[k]\r\n", false},
      {"an ignore list", "[Options]\r\nIsWipeFile=0\r\n[IgnoreValue]\r\nCount=1\r\n",
       "Value1=HKEY_CURRENT_USER\\Software\\Vendor\\Product\\Value\r\n", false},
      {"UTF-16 tiny keys", "[Options]\r\n", "a=b\r\n", true},
      {"a value lengthened before an ignore list",
       "[Options]\r\nIsWipeFile=0\r\n[Window]\r\nLeft=1\r\n[IgnoreValue]\r\nCount=1\r\n",
       "Value1=HKEY_CURRENT_USER\\Software\\Vendor\\Product\\Value\r\n", false, 2.5},
      {"UTF-16, a value lengthened before an ignore list",
       "[Options]\r\nIsWipeFile=0\r\n[Window]\r\nLeft=1\r\n[IgnoreValue]\r\nCount=1\r\n",
       "Value1=HKEY_CURRENT_USER\\Software\\Vendor\\Product\\Value\r\n", true, 2.5},
  };
  testing_support::ScratchFolder dir(L"IniFileTest", L"size");
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.what);
    std::string text = SixtyMegabytes(shape.head, shape.lines, shape.wide);
    const std::wstring path = dir.Path(L"big.ini");
    ASSERT_TRUE(testing_support::WriteBytes(path, text));
    const size_t size = text.size();
    std::string().swap(text);
    DiskStore store;
    std::wstring before;
    size_t heap = 0;
    const DWORD start = ::GetTickCount();
    const SIZE_T peak = testing_support::PeakMemoryDuring([&] {
      heap = testing_support::PeakHeapDuring([&] {
        sys::IniFile ini(path, store);
        before = ini.ReadString(L"Options", L"Missing", L"<none>");
        ini.WriteBool(L"Options", L"IsWipeFile", true);
        ini.WriteString(L"Window", L"Left", L"10");
        ini.Flush();
      });
    });
    const DWORD ms = ::GetTickCount() - start;
    EXPECT_EQ(before, L"<none>");
    EXPECT_LE(peak, shape.most * size) << "peak " << (peak >> 20) << " MB";
    EXPECT_LE(heap, shape.most * size) << "heap " << (heap >> 20) << " MB";
    std::printf("%s: %u MB read and saved in %lu ms at a peak of %u MB, heap %u MB (%.1f times)\n", shape.what,
                static_cast<unsigned>(size >> 20), static_cast<unsigned long>(ms), static_cast<unsigned>(peak >> 20),
                static_cast<unsigned>(heap >> 20), static_cast<double>(std::max<size_t>(peak, heap)) / size);
    const sys::IniFile saved(path, store);
    EXPECT_EQ(saved.ReadString(L"Window", L"Left", L""), L"10");
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
