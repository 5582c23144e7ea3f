// The forms a .reg file can take, each imported by the real registry editor
// to learn what it does, and then restored through the program's road: every
// form the editor deletes with is refused by the reader before any import,
// the registry stays as it was, and the refusal names the line. Harmless
// forms must still be restored.
#include <gtest/gtest.h>

#include <set>

#include "RestoreTestSupport.h"
#include "registry/restore/RestoreRun.h"
#include "registry_fix/FixTestSupport.h"

namespace {

using namespace fix_test;

const std::wstring kKey = std::wstring(kTestKey) + L"\\Forms";
const std::string kPath = "HKEY_CURRENT_USER\\Software\\VantorelFixTest\\Forms";
const std::string kHead = "REGEDIT4\r\n\r\n";
const std::string kSection = "[" + kPath + "]\r\n";

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

std::string CrOnly(std::string text) {
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at + 1, 1);
  return text;
}

void Seed() {
  DeleteTree(HKEY_CURRENT_USER, kTestKey);
  SetString(HKEY_CURRENT_USER, kKey, L"v", L"one");
  SetString(HKEY_CURRENT_USER, kKey, L"", L"default");
  SetString(HKEY_CURRENT_USER, kKey + L"\\K", L"x", L"y");
}

// The keys and values present, without their data.
std::set<std::string> Identities(const std::vector<std::string>& dump) {
  std::set<std::string> ids;
  for (const std::string& line : dump) {
    size_t bar = line.find('|');
    ids.insert(bar == std::string::npos ? line : line.substr(0, line.find('|', bar + 1)));
  }
  return ids;
}

// Whether the editor removed any key or value of the seeded tree.
bool EditorDeletes(const std::wstring& file) {
  Seed();
  const std::set<std::string> before = Identities(DumpTree(HKEY_CURRENT_USER, kTestKey));
  EXPECT_TRUE(restore_test::ImportFile(file));
  const std::set<std::string> after = Identities(DumpTree(HKEY_CURRENT_USER, kTestKey));
  for (const std::string& id : before)
    if (!after.count(id)) return true;
  return false;
}

struct Form {
  const char* what;
  std::string text;
  int refusedLine;  // 0: the file is accepted
};

const Form kForms[] = {
    {"plain key delete", kHead + "[-" + kPath + "\\K]\r\n", 3},
    {"indented key delete", kHead + "   [-" + kPath + "\\K]\r\n", 3},
    {"tab before key delete", kHead + "\t[-" + kPath + "\\K]\r\n", 3},
    {"blank inside the bracket", kHead + "[ -" + kPath + "\\K]\r\n", 3},
    {"lower-case root", kHead + "[-hkey_current_user\\Software\\VantorelFixTest\\Forms\\K]\r\n", 3},
    {"short root", kHead + "[-HKCU\\Software\\VantorelFixTest\\Forms\\K]\r\n", 3},
    {"value delete", kHead + kSection + "\"v\"=-\r\n", 4},
    {"blanks around =", kHead + kSection + "\"v\" = -\r\n", 4},
    {"default value, blanks", kHead + kSection + "@ = -\r\n", 4},
    {"tab before the name", kHead + kSection + "\t\"v\"=-\r\n", 4},
    {"blanks after -", kHead + kSection + "\"v\"=- \t\r\n", 4},
    {"UTF-16 export", Utf16("Windows Registry Editor Version 5.00\r\n\r\n" + kSection + "\"v\"=-\r\n"), 4},
    {"UTF-16, REGEDIT4", Utf16(kHead + kSection + "@=-\r\n"), 4},
    {"UTF-8 mark", "\xEF\xBB\xBF" + kHead + "[-" + kPath + "\\K]\r\n", 3},
    {"CR-only line ends", CrOnly(kHead + kSection + "\"v\"=-\r\n"), 4},
    {"LF-only line ends", "REGEDIT4\n\n" + kSection.substr(0, kSection.size() - 2) + "\n\"v\"=-\n", 4},
    {"delete inside a continued value", kHead + kSection + "\"w\"=hex:01,\\\r\n  \"v\"=-\r\n", 5},
    {"continued into a delete", kHead + kSection + "\"v\"=\\\r\n  -\r\n", 4},
    {"second section deletes", kHead + kSection + "\"n\"=\"1\"\r\n\r\n[-" + kPath + "\\K]\r\n", 6},
    // Harmless: they put data back and delete nothing.
    {"data that is a dash", kHead + kSection + "\"v\"=\"-\"\r\n", 0},
    {"data ending in =-", kHead + kSection + "\"v\"=\"a=-\"\r\n", 0},
    {"comment lines", kHead + "; [-" + kPath + "\\K]\r\n" + kSection + "# \"v\"=-\r\n\"n\"=\"1\"\r\n", 0},
    {"continued hex", kHead + kSection + "\"w\"=hex:01,02,\\\r\n  03\r\n", 0},
    {"key with a dash", kHead + "[" + kPath + "\\K-2]\r\n\"a\"=dword:00000001\r\n", 0},
    {"UTF-16 values", Utf16("Windows Registry Editor Version 5.00\r\n\r\n" + kSection + "\"n\" = \"text\"\r\n" +
                            "\"e\"=hex(2):25,00,41,00,25,00,00,00\r\n\"m\"=hex(7):61,00,00,00,00,00\r\n"), 0},
    {"lower-case root, blanks", kHead + "  [hkey_current_user\\Software\\VantorelFixTest\\Forms\\New]\r\n", 0},
};

class RegFileForms : public ::testing::Test {
 protected:
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  TTempFolder dir{L"VantorelRegFileForms"};
};

TEST_F(RegFileForms, EveryFormTheEditorDeletesWithIsRefusedAndChangesNothing) {
  int n = 0, editorDeleting = 0;
  for (const Form& f : kForms) {
    SCOPED_TRACE(f.what);
    const std::wstring file = dir.WriteFile(L"form" + std::to_wstring(++n) + L".reg", f.text);
    const bool editorDeletes = EditorDeletes(file);
    editorDeleting += editorDeletes;
    if (editorDeletes) {
      EXPECT_NE(f.refusedLine, 0) << "the editor deletes with this form";
    }
    Seed();
    const std::vector<std::string> seeded = DumpTree(HKEY_CURRENT_USER, kTestKey);
    bool imported = false;
    registry::TRestoreOutcome r = registry::RestoreRegFile(file, [&imported](const std::wstring& cmd) {
      imported = true;
      return restore_test::RunImport(cmd);
    });
    if (f.refusedLine != 0) {
      EXPECT_EQ(r.Status, registry::rsDeletes);
      EXPECT_EQ(r.Line, f.refusedLine);
      EXPECT_FALSE(imported);
      EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, kTestKey), seeded);
      EXPECT_TRUE(FileExists(file));
    } else {
      EXPECT_FALSE(editorDeletes);
      EXPECT_EQ(r.Status, registry::rsRestored) << (r.Check.Missing.empty() ? L"" : r.Check.Missing.front());
      EXPECT_TRUE(imported);
    }
  }
  // The probe itself works: most of the deleting forms do delete in the editor.
  EXPECT_GE(editorDeleting, 12);
}

}  // namespace
