// The file-reference sections end to end: Shared DLLs, Fonts, Help files,
// Startup programs, Windows services, Installer and Applications.
#include "SectionTest.h"
#include "sys/RegistryKey.h"

using namespace registry;
using namespace registry_test;

namespace {

const wchar_t kSharedDlls[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const wchar_t kFonts[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const wchar_t kHelp[] = L"Software\\Microsoft\\Windows\\Help";
const wchar_t kHtmlHelp[] = L"Software\\Microsoft\\Windows\\Html Help";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kStartupReg[] = L"Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
const wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services";
const wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kFolders[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
const wchar_t kArpCache[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";
const wchar_t kApplications[] = L"Software\\Classes\\Applications";

std::wstring Hklm(const std::wstring& key) { return L"HKEY_LOCAL_MACHINE\\" + key; }
std::wstring Sub(const std::wstring& key, const std::wstring& name) { return key + L"\\" + name; }

class FileRefSections : public SectionTest {
 protected:
  std::vector<std::pair<HKEY, std::wstring>> Places() const override {
    return {{HKEY_LOCAL_MACHINE, kSharedDlls}, {HKEY_LOCAL_MACHINE, kFonts},      {HKEY_LOCAL_MACHINE, kHelp},
            {HKEY_LOCAL_MACHINE, kHtmlHelp},   {HKEY_CURRENT_USER, kRun},         {HKEY_LOCAL_MACHINE, kRunOnce},
            {HKEY_LOCAL_MACHINE, kStartupReg}, {HKEY_LOCAL_MACHINE, kServices},   {HKEY_LOCAL_MACHINE, kUninstall},
            {HKEY_LOCAL_MACHINE, kFolders},    {HKEY_LOCAL_MACHINE, kArpCache},   {HKEY_LOCAL_MACHINE, kApplications}};
  }
  std::wstring Present(const std::wstring& name) const { return dir_.File(name); }
  std::wstring Gone(const std::wstring& name) const { return dir_.Missing(name); }
};

TEST_F(FileRefSections, SharedDllsWithAMissingFileOrACountOfZero) {
  const TRows before = Scan({L"7"});
  const std::wstring present = Present(L"present.dll"), zero = Present(L"zero.dll"), gone = Gone(L"gone.dll");
  dir_.Folder(L"Windows");
  const std::wstring framework = Gone(L"Windows\\Microsoft.NET\\Framework\\v9\\gone.dll");
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, present, 3);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, zero, 0);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, gone, 2);
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, framework, 1);
  SetText(HKEY_LOCAL_MACHINE, kSharedDlls, Gone(L"text.dll"), L"1");  // not a count

  const std::wstring key = Hklm(kSharedDlls);
  TRows expected = {{Problem(sidSharedDlls), zero, key, fkDeleteNamedValue},
                    {Problem(sidSharedDlls), gone, key, fkDeleteNamedValue}};
  if (!IsWin8OrLater()) expected.push_back({Problem(sidSharedDlls), framework, key, fkDeleteNamedValue});
  EXPECT_TRUE(AddsExactly(before, Scan({L"7"}), expected));
}

TEST_F(FileRefSections, FontsNamingMissingFiles) {
  const TRows before = Scan({L"12"});
  SetText(HKEY_LOCAL_MACHINE, kFonts, L"Vantorel Gone (TrueType)", Gone(L"gone.ttf"));
  SetText(HKEY_LOCAL_MACHINE, kFonts, L"Vantorel\\Named (TrueType)", Gone(L"named.ttf"));
  SetText(HKEY_LOCAL_MACHINE, kFonts, L"Vantorel Present (TrueType)", Present(L"present.ttf"));
  SetText(HKEY_LOCAL_MACHINE, kFonts, L"Vantorel Bare (TrueType)", L"vantorel-nowhere.ttf");  // not judged

  const std::wstring key = Hklm(kFonts);
  const TRows expected = {
      {Problem(sidFonts), Gone(L"gone.ttf"), Sub(key, L"Vantorel Gone (TrueType)"), fkDeleteValue},
      {Problem(sidFonts), L"Vantorel\\Named (TrueType)", key, fkDeleteNamedValue}};
  EXPECT_TRUE(AddsExactly(before, Scan({L"12"}), expected));
}

TEST_F(FileRefSections, HelpFilesAreJudgedInTheirFolder) {
  const TRows before = Scan({L"13"});
  Present(L"vantorel-present.hlp");
  SetText(HKEY_LOCAL_MACHINE, kHelp, L"vantorel.hlp", dir_.Path());  // no trailing backslash
  SetText(HKEY_LOCAL_MACHINE, kHelp, L"vantorel-present.hlp", dir_.Path() + L"\\");
  SetText(HKEY_LOCAL_MACHINE, kHtmlHelp, L"vantorel.chm", L"");  // a bare name is not judged
  SetText(HKEY_LOCAL_MACHINE, kHtmlHelp, L"vantorel\\deep.chm", dir_.Path());

  const TRows expected = {
      {Problem(sidHelpFiles), Gone(L"vantorel.hlp"), Sub(Hklm(kHelp), L"vantorel.hlp"), fkDeleteValue},
      {Problem(sidHelpFiles), L"vantorel\\deep.chm", Hklm(kHtmlHelp), fkDeleteNamedValue}};
  EXPECT_TRUE(AddsExactly(before, Scan({L"13"}), expected));
}

TEST_F(FileRefSections, StartupProgramsEmptyQuotedBadAndGood) {
  const TRows before = Scan({L"14"});
  const std::wstring good = L"\"" + Present(L"present.exe") + L"\" /min";
  const std::wstring bad = L"\"" + Gone(L"gone app.exe") + L"\" /min";
  SetText(HKEY_CURRENT_USER, kRun, L"VantorelEmpty", L"");
  SetText(HKEY_CURRENT_USER, kRun, L"VantorelQuotes", L"\"\"");
  SetText(HKEY_CURRENT_USER, kRun, L"VantorelBad", bad);
  SetText(HKEY_CURRENT_USER, kRun, L"VantorelGood", good);
  SetDword(HKEY_CURRENT_USER, kRun, L"VantorelDword", 0);
  SetText(HKEY_LOCAL_MACHINE, kRunOnce, L"VantorelBad", Gone(L"once.exe"), REG_EXPAND_SZ);
  SetText(HKEY_LOCAL_MACHINE, Sub(kStartupReg, L"VantorelBad"), L"command", Gone(L"disabled.exe"));
  SetText(HKEY_LOCAL_MACHINE, Sub(kStartupReg, L"VantorelGood"), L"command", good);

  const std::wstring run = L"HKEY_CURRENT_USER\\" + std::wstring(kRun);
  const std::wstring p = Problem(sidStartup);
  const TRows expected = {{p, L"", Sub(run, L"VantorelEmpty"), fkDeleteValue},
                          {p, L"\"\"", Sub(run, L"VantorelQuotes"), fkDeleteValue},
                          {p, bad, Sub(run, L"VantorelBad"), fkDeleteValue},
                          {p, Gone(L"once.exe"), Sub(Hklm(kRunOnce), L"VantorelBad"), fkDeleteValue},
                          {p, Gone(L"disabled.exe"), Sub(Hklm(kStartupReg), L"VantorelBad"), fkDeleteKey}};
  EXPECT_TRUE(AddsExactly(before, Scan({L"14"}), expected));
}

TEST_F(FileRefSections, ServicesWithAMissingImage) {
  const TRows before = Scan({L"17"});
  SetText(HKEY_LOCAL_MACHINE, Sub(kServices, L"VantorelGoneSvc"), L"ImagePath", Gone(L"svc.exe") + L" -k",
          REG_EXPAND_SZ);
  SetText(HKEY_LOCAL_MACHINE, Sub(kServices, L"VantorelSlSvcHost"), L"ImagePath", Gone(L"sl.exe"));
  SetText(HKEY_LOCAL_MACHINE, Sub(kServices, L"VantorelGoodSvc"), L"ImagePath", Present(L"goodsvc.exe"));
  SetText(HKEY_LOCAL_MACHINE, Sub(kServices, L"VantorelFolderSvc"), L"ImagePath", dir_.Path());  // folders count

  const TRows expected = {{Problem(sidServices), Gone(L"svc.exe") + L" -k",
                           Hklm(kServices) + L"\\VantorelGoneSvc\\ImagePath", fkDeleteValue}};
  EXPECT_TRUE(AddsExactly(before, Scan({L"17"}), expected));
}

TEST_F(FileRefSections, InstallerCommandsFoldersAndCachedEntries) {
  const TRows before = Scan({L"21"});
  const std::wstring entry = Sub(kUninstall, L"VantorelApp");
  const std::wstring uninstall = Gone(L"uninst.exe") + L" /x " + dir_.Path();
  SetText(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstall);
  SetText(HKEY_LOCAL_MACHINE, entry, L"DisplayIcon", Present(L"app.exe") + L",0");
  SetText(HKEY_LOCAL_MACHINE, entry, L"Readme", Gone(L"readme.txt"));  // judged up to ".exe" only
  SetText(HKEY_LOCAL_MACHINE, kFolders, Gone(L"GoneFolder\\"), L"");
  SetText(HKEY_LOCAL_MACHINE, kFolders, dir_.Path() + L"\\", L"");
  CreateKey(HKEY_LOCAL_MACHINE, Sub(kArpCache, L"VantorelOrphan"));
  CreateKey(HKEY_LOCAL_MACHINE, Sub(kArpCache, L"VANTORELAPP"));

  const std::wstring p = Problem(sidInstaller);
  const TRows expected = {{p, uninstall, Hklm(entry) + L"\\UninstallString", fkDeleteValue},
                          {p, Gone(L"GoneFolder\\"), Hklm(kFolders), fkDeleteNamedValue},
                          {p, L"VantorelOrphan", Hklm(kArpCache), fkDeleteSubKey}};
  EXPECT_TRUE(AddsExactly(before, Scan({L"21"}), expected));
}

TEST_F(FileRefSections, ApplicationsReportEachBadCommandKeyInDepthFirstOrder) {
  const TRows before = Scan({L"22"});
  const std::wstring app = Sub(kApplications, L"vantorel-test.exe");
  SetText(HKEY_LOCAL_MACHINE, app + L"\\shell\\open\\command", L"", L"\"" + Gone(L"open.exe") + L"\" \"%1\"");
  SetText(HKEY_LOCAL_MACHINE, app + L"\\shell\\edit\\command", L"", L"\"" + Present(L"edit.exe") + L"\" \"%1\"");
  CreateKey(HKEY_LOCAL_MACHINE, app + L"\\shell\\print\\command");  // no command at all
  SetText(HKEY_LOCAL_MACHINE, app + L"\\shell\\deep\\verbs\\command", L"", Gone(L"deep.exe"));
  SetText(HKEY_LOCAL_MACHINE, Sub(kApplications, L"vantorel-good.exe") + L"\\shell\\open\\command", L"",
          Present(L"good.exe"));

  const std::wstring p = Problem(sidOpenWithApps);
  const TRows expected = {
      {p, L"\"" + Gone(L"open.exe") + L"\" \"%1\"", Hklm(app) + L"\\shell\\open\\command", fkDeleteKey},
      {p, L"", Hklm(app) + L"\\shell\\print\\command", fkDeleteKey},
      {p, Gone(L"deep.exe"), Hklm(app) + L"\\shell\\deep\\verbs\\command", fkDeleteKey}};
  const TRows after = Scan({L"22"});
  EXPECT_TRUE(AddsExactly(before, after, expected));
  // In the order of a depth-first walk over the registry's own listing.
  std::vector<std::wstring> order, seen;
  sys::RegistryKey shell;
  ASSERT_TRUE(shell.Open(HKEY_LOCAL_MACHINE, app + L"\\shell"));
  for (const auto& verb : shell.SubKeyNames())
    for (const auto& r : expected)
      if (r.RegistryKey.find(L"\\shell\\" + verb + L"\\") != std::wstring::npos) order.push_back(r.RegistryKey);
  for (const auto& r : after)
    if (r.RegistryKey.find(L"vantorel-test.exe") != std::wstring::npos) seen.push_back(r.RegistryKey);
  EXPECT_EQ(seen, order);
}

}  // namespace
