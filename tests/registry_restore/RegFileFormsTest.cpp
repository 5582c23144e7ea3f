// The forms a .reg file can take, each imported by the real registry editor
// to learn what it does, and then restored through the program's road: every
// form the editor deletes with is refused by the reader before any import,
// the registry stays as it was, and the refusal names the line. Harmless
// forms must still be restored; where lines may or may not go on, values are
// deleted after the import, and the check must name each of them missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "RestoreTestSupport.h"
#include "registry/restore/RestoreRun.h"
#include "registry_fix/FixTestSupport.h"

namespace {

using namespace fix_test;

const std::wstring kKey = std::wstring(kTestKey) + L"\\Forms";

// How a row's body is written out: its header, encoding and line ends.
enum Wrap { kAnsi, kUtf16, kUtf16v5, kUtf8, kCrOnly, kLfOnly };

struct Form {
  const char* what;
  std::string body;  // after the header; '$' is the seeded key, '\n' the line end; UTF-8 for UTF-16
  int refusedLine;   // 0: the file is accepted
  Wrap wrap = kAnsi;
  // An accepted file: the values deleted after the import ("name" or
  // "sub\\name" below the seeded key), and how many entries the check must
  // then find missing, those among them.
  std::vector<std::wstring> deleted = {};
  int missing = 0;
};

std::string Build(const Form& f) {
  const std::string eol = f.wrap == kCrOnly ? "\r" : f.wrap == kLfOnly ? "\n" : "\r\n";
  std::string text;
  const std::string head = f.wrap == kUtf16v5 ? "Windows Registry Editor Version 5.00\n\n" : "REGEDIT4\n\n";
  for (char c : head + f.body)
    text += c == '$' ? "HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Forms" : c == '\n' ? eol : std::string(1, c);
  if (f.wrap == kUtf8) return "\xEF\xBB\xBF" + text;
  if (f.wrap != kUtf16 && f.wrap != kUtf16v5) return text;
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::string wide(2 + 2 * static_cast<size_t>(units), '\0');
  wide[0] = '\xFF', wide[1] = '\xFE';
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(&wide[2]),
                        units);
  return wide;
}

// A value line longer than the reader converts at once, whose characters
// straddle the point where it is cut: `first` shifts `repeated` off its pairs
// (under code page 932 one single-byte and many double-byte characters).
std::string LongValue(const std::string& first, const std::string& repeated) {
  std::string data = first;
  while (data.size() < (80u << 10)) data += repeated;
  return "[$]\n\"n\"=\"" + data + "\"\n";
}

// Values of one hex type, of each size in bytes, as a section's lines: on
// one line, or wrapped after every 25 bytes as exports are. Text types end
// in a NUL unit, as the editor would make them.
std::string HexValues(int type, std::initializer_list<size_t> sizes, bool wrapped) {
  static const char kDigits[] = "0123456789abcdef";
  std::string lines = "[$]\n";
  for (size_t size : sizes) {
    char head[32];
    std::snprintf(head, sizeof(head), "\"h%u\"=hex(%x):", static_cast<unsigned>(size), static_cast<unsigned>(type));
    lines += head;
    for (size_t i = 0; i < size; ++i) {
      const bool end = type != 0xb && i + 2 >= size;
      const unsigned b = end || (i % 2 == 1) || (type == REG_MULTI_SZ && i % 14 == 12) ? 0 : 'a' + i % 26;
      lines += kDigits[b >> 4];
      lines += kDigits[b & 15];
      if (i + 1 == size) break;
      lines += ',';
      if (wrapped && i % 25 == 24) lines += "\\\n  ";
    }
    lines += "\n";
  }
  return lines;
}

const Form kForms[] = {
    {"plain key delete", "[-$\\K]\n", 3},
    {"indented key delete", "   [-$\\K]\n", 3},
    {"tab before key delete", "\t[-$\\K]\n", 3},
    {"blank inside the bracket", "[ -$\\K]\n", 3},
    {"lower-case root", "[-hkey_current_user\\Software\\VantorelFixTest\\Forms\\K]\n", 3},
    {"short root", "[-HKCU\\Software\\VantorelFixTest\\Forms\\K]\n", 3},
    {"value delete", "[$]\n\"v\"=-\n", 4},
    {"blanks around =", "[$]\n\"v\" = -\n", 4},
    {"default value, blanks", "[$]\n@ = -\n", 4},
    {"tab before the name", "[$]\n\t\"v\"=-\n", 4},
    {"blanks after -", "[$]\n\"v\"=- \t\n", 4},
    {"UTF-16 export", "[$]\n\"v\"=-\n", 4, kUtf16v5},
    {"UTF-16, REGEDIT4", "[$]\n@=-\n", 4, kUtf16},
    {"UTF-8 mark", "[-$\\K]\n", 3, kUtf8},
    {"CR-only line ends", "[$]\n\"v\"=-\n", 4, kCrOnly},
    {"LF-only line ends", "[$]\n\"v\"=-\n", 4, kLfOnly},
    {"delete inside a continued value", "[$]\n\"w\"=hex:01,\\\n  \"v\"=-\n", 5},
    // Only hex data goes on in the next line; an editor that went on here would delete.
    {"a lone backslash before a delete", "[$]\n\"v\"=\\\n  -\n", 4},
    {"second section deletes", "[$]\n\"n\"=\"1\"\n\n[-$\\K]\n", 6},
    // 0x81 is a lead byte of code page 932: converted before the split, it
    // would take the line end with it and join the delete to the comment.
    {"lead byte ends a comment", "[$]\n; note \x81\n\"v\"=-\n", 5},
    {"lead byte ends a comment, LF", "; note \x81\n[-$\\K]\n", 4, kLfOnly},
    {"lead byte ends a comment, CR", "[$]\n; note \x81\n@=-\n", 5, kCrOnly},
    {"lead byte ends a key line, LF", "[$]\x81\n\"v\"=-\n", 4, kLfOnly},
    // Harmless: they put data back and delete nothing.
    {"data that is a dash", "[$]\n\"v\"=\"-\"\n", 0},
    {"data ending in =-", "[$]\n\"v\"=\"a=-\"\n", 0},
    {"comment lines", "; [-$\\K]\n[$]\n# \"v\"=-\n\"n\"=\"1\"\n", 0},
    {"continued hex", "[$]\n\"w\"=hex:01,02,\\\n  03\n", 0},
    // Only hex data goes on, and only from a backslash where a byte could
    // stand; the editor imports the lines after the others.
    {"a comment ending in a backslash", "[$]\n\"a\"=\"x\" ;note\\\n\"b\"=\"y\"\n\"c\"=\"z\"\n", 0, kAnsi, {L"b"}, 1},
    {"a dword's comment ending in a backslash", "[$]\n\"a\"=dword:00000001 ;c\\\n[$\\AB]\n\"v\"=\"1\"\n\"w\"=\"2\"\n", 0,
     kAnsi, {L"AB\\v"}, 1},
    {"text ending in a backslash", "[$]\n\"a\"=\"x\"\\\n\"b\"=\"y\"\n", 0, kAnsi, {L"b"}, 2},
    {"hex ending where the editor stops",
     "[$]\n\"h\"=hex:01,02\\\n\"b\"=\"y\"\n\"i\"=HEX:01,\\\n\"c\"=\"z\"\n\"j\"=hex:01,\\\n#c\n\"d\"=\"w\"\n"
     "\"k\"=hex:01,\\\n\\\n\"e\"=\"u\"\n",
     0, kAnsi, {L"b", L"c", L"d", L"e"}, 8},
    // The editor reads hex data on past comments and blank lines.
    {"hex going on past comments and blank lines",
     "[$]\n\"h\"=hex:01,\\\n; note\n\n  02,\\ ; note\n  \n  03\n\"b\"=\"y\"\n", 0, kAnsi, {L"b"}, 1},
    {"hex going on in the last line, no line end", "[$]\n\"b\"=\"y\"\n\"h\"=hex:01,02,\\", 0, kAnsi, {L"h"}, 1},
    {"key with a dash", "[$\\K-2]\n\"a\"=dword:00000001\n", 0},
    {"UTF-16 values", "[$]\n\"n\" = \"text\"\n\"e\"=hex(2):25,00,41,00,25,00,00,00\n\"m\"=hex(7):61,00,00,00,00,00\n", 0,
     kUtf16v5},
    {"lower-case root, blanks", "  [hkey_current_user\\Software\\VantorelFixTest\\Forms\\New]\n", 0},
    {"double-byte text", "[$]\n; \x82\xa0\n\"n\"=\"\x82\xa0\x82\xa2\"\n", 0},
    {"long double-byte value", LongValue("\xA1", "\x82\xa0"), 0},
    // Characters outside the ANSI code page (1252 or 932): an emoji, CJK,
    // Greek and an accented letter, in key and value names and in data.
    {"UTF-16 names outside the code page",
     "[$\\\xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC]\n"
     "\"\xCE\xA9 \xC3\xA9\"=\"x\"\n\"\xF0\x9F\x98\x80\"=dword:00000002\n",
     0, kUtf16v5},
    // Longer than one line of the backup writer, as exports write them.
    {"UTF-16 hex(2), one line", HexValues(REG_EXPAND_SZ, {28, 100, 10000}, false), 0, kUtf16v5},
    {"UTF-16 hex(2), wrapped", HexValues(REG_EXPAND_SZ, {28, 100, 10000}, true), 0, kUtf16v5},
    {"UTF-16 hex(7), one line", HexValues(REG_MULTI_SZ, {28, 100, 10000}, false), 0, kUtf16},
    {"UTF-16 hex(7), wrapped", HexValues(REG_MULTI_SZ, {28, 100, 10000}, true), 0, kUtf16},
    {"UTF-16 hex(b), one line", HexValues(0xb, {27, 100, 10000}, false), 0, kUtf16v5},
    {"UTF-16 hex(b), wrapped", HexValues(0xb, {27, 100, 10000}, true), 0, kUtf16v5},
    // A tab as it is, line ends escaped as exports write them, or in hex.
    {"UTF-16 text with a tab and CR LF", "[$]\n\"t\"=\"a\tb\"\n\"c\"=\"a\\r\\nb\"\n", 0, kUtf16v5},
    {"UTF-16 text with CR LF in hex", "[$]\n\"c\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\n", 0, kUtf16},
    {"text with a tab", "[$]\n\"t\"=\"a\tb\"\n", 0},
    // Blanks that end a key's or a value's name are part of it.
    {"names ending in a blank", "[$\\trail ]\n\"v \"=\"x\"\n[$\\two  ]\n@=\"y\"\n", 0},
    {"UTF-16 names ending in a blank", "[$\\trail ]\n\"v \"=\"x\"\n\"w\t\"=dword:00000001\n", 0, kUtf16v5},
    {"UTF-16 data outside the code page",
     "[$]\n\"n\"=\"\xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9 \xC3\xA9\"\n"
     "@=\"\xC3\xA9\\\\\\\"\xCE\xA9\"\n",
     0, kUtf16},
};

void Seed() {
  DeleteTree(HKEY_CURRENT_USER, kTestKey);
  SetString(HKEY_CURRENT_USER, kKey, L"v", L"one");
  SetString(HKEY_CURRENT_USER, kKey, L"", L"default");
  SetString(HKEY_CURRENT_USER, kKey + L"\\K", L"x", L"y");
}

// The keys and values present, without their data.
std::set<std::string> Identities() {
  std::set<std::string> ids;
  for (const std::string& line : DumpTree(HKEY_CURRENT_USER, kTestKey)) {
    size_t bar = line.find('|');
    ids.insert(bar == std::string::npos ? line : line.substr(0, line.find('|', bar + 1)));
  }
  return ids;
}

// Whether the editor removed any key or value of the seeded tree.
bool EditorDeletes(const std::wstring& file) {
  Seed();
  const std::set<std::string> before = Identities();
  EXPECT_TRUE(restore_test::ImportFile(file));
  const std::set<std::string> after = Identities();
  return !std::includes(after.begin(), after.end(), before.begin(), before.end());
}

// The harness runs this table a second time under code page 932 and says so.
TEST(RegFileForms, RunUnderTheCodePageTheHarnessSet) {
  wchar_t want[16] = {};
  if (::GetEnvironmentVariableW(L"VANTOREL_CODE_PAGE", want, 16) == 0) GTEST_SKIP() << "the system's own code page";
  EXPECT_EQ(std::to_wstring(::GetACP()), want);
  EXPECT_TRUE(::IsDBCSLeadByte(0x81));
}

TEST(RegFileForms, EveryFormTheEditorDeletesWithIsRefusedAndChangesNothing) {
  TTempFolder dir{L"VantorelRegFileForms"};
  int n = 0, editorDeleting = 0;
  for (const Form& f : kForms) {
    SCOPED_TRACE(f.what);
    const std::wstring file = dir.WriteFile(L"form" + std::to_wstring(++n) + L".reg", Build(f));
    const bool editorDeletes = EditorDeletes(file);
    editorDeleting += editorDeletes;
    EXPECT_TRUE(!editorDeletes || f.refusedLine != 0) << "the editor deletes with this form";
    Seed();
    const std::vector<std::string> seeded = DumpTree(HKEY_CURRENT_USER, kTestKey);
    bool imported = false;
    registry::TRestoreOutcome r = registry::RestoreRegFile(file, [&imported, &f](const std::wstring& cmd) {
      imported = restore_test::RunImport(cmd);
      for (const std::wstring& value : f.deleted) {
        const size_t slash = value.rfind(L'\\');
        const std::wstring sub = slash == std::wstring::npos ? L"" : L"\\" + value.substr(0, slash);
        testing_support::DeleteValue(HKEY_CURRENT_USER, kKey + sub, value.substr(slash + 1));
      }
      return imported;
    });
    const bool refused = f.refusedLine != 0;
    EXPECT_EQ(r.Status, refused ? registry::rsDeletes : f.missing > 0 ? registry::rsIncomplete : registry::rsRestored)
        << (r.Check.FirstMissing.empty() ? L"" : r.Check.FirstMissing.front());
    EXPECT_EQ(imported, !refused);
    EXPECT_EQ(r.Check.Missing, f.missing);
    for (const std::wstring& value : f.deleted) {
      const std::wstring named = L"HKEY_CURRENT_USER\\" + kKey + L"\\" + value;
      const std::vector<std::wstring>& first = r.Check.FirstMissing;
      EXPECT_TRUE(std::find(first.begin(), first.end(), named) != first.end()) << named << L" is not named missing";
    }
    if (refused) {
      EXPECT_EQ(r.Line, f.refusedLine);
      EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kTestKey), seeded);
      EXPECT_TRUE(FileExists(file));
    }
  }
  DeleteTree(HKEY_CURRENT_USER, kTestKey);
  // The probe itself works: most of the deleting forms do delete in the editor.
  EXPECT_GE(editorDeleting, 12);
}

}  // namespace
