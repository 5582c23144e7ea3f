// The orphan and empty-key sections end to end, and the emptiness test they
// share.
#include <shlobj.h>

#include "SectionTest.h"
#include "registry/EmptyKeyRules.h"
#include "registry/ScanFiles.h"

using namespace registry;
using namespace registry_test;

namespace {

const wchar_t kMenuOrder2[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const wchar_t kMenuOrder[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs";
const wchar_t kClasses[] = L"Software\\Classes";
const wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kUninstallUpper[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kCountTest[] = L"Software\\VantorelCount";

std::wstring Sub(const std::wstring& key, const std::wstring& name) { return key + L"\\" + name; }

class OrphanSections : public SectionTest {
 protected:
  std::vector<std::pair<HKEY, std::wstring>> Places() const override {
    return {{HKEY_CURRENT_USER, kMenuOrder2}, {HKEY_CURRENT_USER, kMenuOrder},    {HKEY_CURRENT_USER, L"Software"},
            {HKEY_LOCAL_MACHINE, L"Software"}, {HKEY_LOCAL_MACHINE, kClasses},    {HKEY_CURRENT_USER, kFileExts},
            {HKEY_LOCAL_MACHINE, kUninstall}, {HKEY_CURRENT_USER, L""},           {HKEY_CURRENT_USER, L"Printers"}};
  }
};

// CountTreeValues and the exclusions, reachable from a test.
class TEmptyProbe : public TScanTaskThread {
 public:
  TEmptyProbe() : TScanTaskThread(ScanSettingsFromSystem()) {}
  using TScanTaskThread::CountTreeValues;

 protected:
  void Execute() override {}
};

TEST_F(OrphanSections, EmptinessCountsValuesAndSingleChains) {
  TEmptyProbe probe;
  auto count = [&](const std::wstring& key) { return probe.CountTreeValues(HKEY_CURRENT_USER, Sub(kCountTest, key)); };
  CreateKey(HKEY_CURRENT_USER, Sub(kCountTest, L"Chain\\A\\B\\C"));
  CreateKey(HKEY_CURRENT_USER, Sub(kCountTest, L"Two\\A"));
  CreateKey(HKEY_CURRENT_USER, Sub(kCountTest, L"Two\\B"));
  SetText(HKEY_CURRENT_USER, Sub(kCountTest, L"EmptyDefault"), L"", L"");
  SetText(HKEY_CURRENT_USER, Sub(kCountTest, L"DeepValue\\A\\B"), L"x", L"1");
  CreateKey(HKEY_CURRENT_USER, Sub(kCountTest, L"Broken"));
  EXPECT_EQ(count(L"Chain"), 0);
  EXPECT_NE(count(L"Two"), 0);           // two empty subkeys: not empty
  EXPECT_NE(count(L"EmptyDefault"), 0);  // an empty default string is a value
  EXPECT_NE(count(L"DeepValue"), 0);
  EXPECT_NE(count(L"NoSuchKey"), 0);  // cannot be opened: never empty
  if (CreateBrokenLink(HKEY_CURRENT_USER, Sub(kCountTest, L"Broken\\Link"))) {
    EXPECT_NE(count(L"Broken"), 0);
    DeleteLink(HKEY_CURRENT_USER, Sub(kCountTest, L"Broken\\Link"));
  }
}

TEST_F(OrphanSections, StartMenuOrderKeysWithoutTheirFolder) {
  const std::wstring programs = SpecialFolderPath(CSIDL_PROGRAMS);
  ASSERT_FALSE(programs.empty());
  const std::wstring here = programs + L"\\VantorelMenuHere";
  ::CreateDirectoryW(here.c_str(), nullptr);
  const TRows before = Scan({L"9"});
  CreateKey(HKEY_CURRENT_USER, Sub(kMenuOrder2, L"vantorelmenuhere"));  // its folder, in another case
  CreateKey(HKEY_CURRENT_USER, Sub(kMenuOrder, L"VantorelMenuGone"));
  const TRows after = Scan({L"9"});
  ::RemoveDirectoryW(here.c_str());
  EXPECT_TRUE(AddsExactly(before, after,
                          {{Problem(sidStartMenu), L"VantorelMenuGone", L"HKEY_CURRENT_USER\\" + std::wstring(kMenuOrder),
                            fkDeleteSubKey}}));
}

TEST_F(OrphanSections, ObsoleteSoftwareLooksAtTheDirectChildrenOnly) {
  const TRows before = Scan({L"10"});
  CreateKey(HKEY_CURRENT_USER, L"Software\\VantorelObsolete\\Sub\\Empty");
  SetText(HKEY_CURRENT_USER, L"Software\\VantorelKept\\Sub", L"x", L"1");
  CreateKey(HKEY_CURRENT_USER, L"Software\\VantorelTwo\\A");
  CreateKey(HKEY_CURRENT_USER, L"Software\\VantorelTwo\\B");
  SetText(HKEY_CURRENT_USER, L"Software\\VantorelDefault", L"", L"");
  CreateKey(HKEY_LOCAL_MACHINE, L"Software\\VantorelObsolete");
  const std::wstring p = Problem(sidObsoleteSoftware);
  EXPECT_TRUE(AddsExactly(before, Scan({L"10"}),
                          {{p, L"VantorelObsolete", L"HKEY_CURRENT_USER\\Software", fkDeleteSubKey},
                           {p, L"VantorelObsolete", L"HKEY_LOCAL_MACHINE\\Software", fkDeleteSubKey}}));
}

TEST_F(OrphanSections, UselessFileExtensions) {
  const TRows before = Scan({L"11"});
  CreateKey(HKEY_LOCAL_MACHINE, Sub(kClasses, L".vantorelempty"));
  SetText(HKEY_LOCAL_MACHINE, Sub(kClasses, L".vantorelfull"), L"", L"vantorelfile");
  SetText(HKEY_LOCAL_MACHINE, Sub(kClasses, L".vantoreldefault"), L"", L"");
  SetDword(HKEY_LOCAL_MACHINE, Sub(kClasses, L".vantoreldword"), L"", 0);
  CreateKey(HKEY_CURRENT_USER, Sub(kFileExts, L".vantorelext"));
  CreateKey(HKEY_CURRENT_USER, Sub(kFileExts, L".vantorelchain\\OpenWithList"));
  CreateKey(HKEY_CURRENT_USER, Sub(kFileExts, L".vantorel.svg"));  // kept by Windows
  SetText(HKEY_CURRENT_USER, Sub(kFileExts, L".vantorelused\\OpenWithList"), L"a", L"x.exe");

  // Newer and 64-bit systems report only keys with nothing at all in them.
  const bool bareOnly = (IsWin7OrLater() && IsWow64()) || IsWin8OrLater();
  const std::wstring p = Problem(sidFileExtensions), classes = L"HKEY_LOCAL_MACHINE\\Software\\Classes",
                     exts = L"HKEY_CURRENT_USER\\" + std::wstring(kFileExts);
  TRows expected = {{p, L".vantorelempty", classes, fkDeleteSubKey}, {p, L".vantorelext", exts, fkDeleteSubKey}};
  if (!bareOnly) expected.push_back({p, L".vantoreldefault", classes, fkDeleteSubKey});
  if (!(IsWin7OrLater() && IsWow64())) expected.push_back({p, L".vantorelchain", exts, fkDeleteSubKey});
  EXPECT_TRUE(AddsExactly(before, Scan({L"11"}), expected));
}

TEST_F(OrphanSections, UninstallEntriesWithoutACommand) {
  const TRows before = Scan({L"15"});
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstall, L"VantorelNoCommand"), L"DisplayName", L"Vantorel");
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstall, L"VantorelCommand"), L"UninstallString", L"x.exe /u");
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstall, L"VantorelQuiet"), L"QuietUninstallString", L"x.exe /q");
  SetDword(HKEY_LOCAL_MACHINE, Sub(kUninstall, L"VantorelSystem"), L"SystemComponent", 1);
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstall, TestGuid(1)), L"DisplayName", L"Vantorel");
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstall, L"VantorelIE40"), L"DisplayName", L"Vantorel");
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstall, L"VantorelZLast"), L"DisplayName", L"Vantorel");

  const std::wstring p = Problem(sidUninstall), key = L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstall);
  TRows expected = {{p, L"VantorelNoCommand", key, fkDeleteSubKey}, {p, L"VantorelZLast", key, fkDeleteSubKey}};
  // Windows 8 ships such an entry without a command; the ones after it are still judged.
  if (!IsWin8OrLater()) expected.push_back({p, L"VantorelIE40", key, fkDeleteSubKey});
  EXPECT_TRUE(AddsExactly(before, Scan({L"15"}), expected));
}

TEST_F(OrphanSections, EmptyUninstallChainsAreReportedAtEveryLevel) {
  const TRows before = Scan({L"23"});
  const std::wstring chain = Sub(kUninstallUpper, L"VantorelChain");
  CreateKey(HKEY_LOCAL_MACHINE, chain + L"\\Sub\\Leaf");
  SetText(HKEY_LOCAL_MACHINE, Sub(kUninstallUpper, L"VantorelFull\\Sub"), L"x", L"1");
  const std::wstring p = Problem(sidEmptyUninstall), root = L"HKEY_LOCAL_MACHINE\\";
  EXPECT_TRUE(AddsExactly(before, Scan({L"23"}),
                          {{p, L"VantorelChain", root + kUninstallUpper, fkDeleteSubKey},
                           {p, L"Sub", root + chain, fkDeleteSubKey},
                           {p, L"Leaf", root + chain + L"\\Sub", fkDeleteSubKey}}));
}

TEST_F(OrphanSections, EmptyUserKeysAreReportedAtEveryFixableLevelOfEachHive) {
  const TRows before = Scan({L"25"});
  CreateKey(HKEY_CURRENT_USER, L"VantorelEmpty\\A\\B");
  SetText(HKEY_CURRENT_USER, L"VantorelFull\\A", L"x", L"1");
  CreateKey(HKEY_CURRENT_USER, L"Printers\\VantorelEmpty");  // kept empty on purpose
  const std::vector<std::wstring> sids = UserHivesShowing(L"VantorelEmpty");
  ASSERT_FALSE(sids.empty());
  const std::wstring p = Problem(sidEmptyRegistryKeys);
  TRows expected;
  // The first level of a hive is walked but not listed: the fix never
  // deletes a first-level key, and a scan lists only what it would fix.
  for (const auto& sid : sids) {
    const std::wstring hive = L"HKEY_USERS\\" + sid;
    expected.push_back({p, L"A", hive + L"\\VantorelEmpty", fkDeleteSubKey});
    expected.push_back({p, L"B", hive + L"\\VantorelEmpty\\A", fkDeleteSubKey});
  }
  EXPECT_TRUE(AddsExactly(before, Scan({L"25"}), expected));
}

TEST(EmptyKeyRules, KeptKeysFollowCaseAndVersion) {
  TEmptyKeyFlags old, win7, win8;
  win7.IsWin7OrLater = true;
  win8.IsWin7OrLater = win8.IsWin8OrLater = true;
  EXPECT_TRUE(IsEmptyUserKeyReportable(L"S-1-5-21\\Software\\Vendor\\Empty", old));
  EXPECT_FALSE(IsEmptyUserKeyReportable(L"S-1-5-21\\Software\\kasperskylab\\PROTECTED\\x", old));
  // Case-sensitive groups hold only as written.
  EXPECT_FALSE(IsEmptyUserKeyReportable(L"S-1-5-21\\Printers\\x", old));
  EXPECT_TRUE(IsEmptyUserKeyReportable(L"S-1-5-21\\PRINTERS\\x", old));
  EXPECT_FALSE(IsEmptyUserKeyReportable(L"S-1-5-21\\Software\\Vendor\\Microsoft.Thing", old));
  // Version groups.
  const std::wstring mediaPlayer = L"S-1-5-21\\Software\\Microsoft\\MediaPlayer\\x";
  const std::wstring tabletTip = L"S-1-5-21\\Software\\Microsoft\\TabletTip\\x";
  EXPECT_TRUE(IsEmptyUserKeyReportable(mediaPlayer, old));
  EXPECT_FALSE(IsEmptyUserKeyReportable(mediaPlayer, win7));
  EXPECT_TRUE(IsEmptyUserKeyReportable(tabletTip, win7));
  EXPECT_FALSE(IsEmptyUserKeyReportable(tabletTip, win8));

  EXPECT_TRUE(IsUserKeyPassedOver(L"\\S-1-5-21\\SOFTWARE\\MICROSOFT"));
  EXPECT_FALSE(IsUserKeyPassedOver(L"\\S-1-5-21\\Software\\Vendor"));
}

}  // namespace
