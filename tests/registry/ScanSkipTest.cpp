// Which subtrees the registry walker leaves out, per section and Windows version.
#include <gtest/gtest.h>

#include "registry/ScanSections.h"
#include "registry/ScanSkipKeys.h"

using namespace registry;

namespace {

struct SkipCase {
  int section;
  const wchar_t* key;
  bool win7, win8;
  bool skipped;
  const char* why;
};

const SkipCase kCases[] = {
    {sidHklm, L"Software", false, false, false, "the start of section 5"},
    {sidHklm, L"Software\\Microsoft", false, false, true, "system keys"},
    {sidHklm, L"Software\\Microsoft Corporation", false, false, true, "system keys are substrings"},
    {sidHklm, L"SOFTWARE\\Classes\\Applications", false, false, true, "skip key, any case"},
    {sidHklm, L"Software\\Classes\\ApplicationsX", false, false, false, "skip keys compare whole paths"},
    {sidHklm, L"Software\\Classes\\TypeLib\\{1}", false, false, true, "type libraries"},
    {sidHklm, L"Software\\Classes\\CLSID\\{1}\\InProcServer32", false, false, true, "COM servers"},
    {sidHklm, L"Software\\Symantec\\Symantec Endpoint Protection\\X", false, false, true, "vendor key"},
    {sidHklm, L"Software\\Vendor\\1.0\\0\\win32", false, false, true, "type library folders"},
    {sidHklm, L"Software\\Classes\\Windows.DVD.Maker", false, false, false, "newer-Windows key before Windows 7"},
    {sidHklm, L"Software\\Classes\\Windows.DVD.Maker", true, false, true, "newer-Windows key on Windows 7"},
    {sidHklm, L"Software\\Classes\\Local Settings\\Package\\Windows.X", true, false, true, "packages"},
    {sidAppPaths, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", true, true, false,
     "HKLM tables only in section 5"},
    {sidHkcu, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", false, false, true, "Run key in section 4"},
    {sidHkcu, L"software\\microsoft\\windows\\currentversion\\runonce", false, false, true, "any case"},
    {sidHkcu, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Sub", false, false, false, "equality only"},
    {sidHkcu, L"AppEvents\\Schemes\\Apps", false, false, true, "sound schemes"},
    {sidHkcr, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", false, false, false, "not in section 3"},
    {sidHku, L"S-1\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", false, false, false, "not in section 6"},
    {sidHkcu, L"Software\\Microsoft\\Windows\\CurrentVersion\\ImmersiveShell", false, true, true, "Windows 8 key"},
    {sidHkcu, L"software\\microsoft\\windows\\currentversion\\immersiveshell", false, true, false,
     "that Windows 8 key compares case"},
    {sidHkcu, L"Software\\Microsoft\\Windows\\CurrentVersion\\ImmersiveShell", true, false, false, "Windows 7"},
    {sidHku, L"S-1\\SOFTWARE\\microsoft\\speech\\Voices", false, true, true, "Windows 8 list ignores case"},
    {sidActiveX, L"TypeLib\\Software\\mikrov\\x", false, true, true, "Windows 8 lists apply to every walk"},
    {sidHkcr, L"Wow6432Node\\wow6432node\\X", false, false, true, "nested redirection"},
    {sidHkcr, L"Wow6432Node\\X", false, false, false, "single redirection"},
};

TEST(ScanSkip, Table) {
  for (const auto& c : kCases) {
    TScanSkipFlags flags;
    flags.IsWin7OrLater = c.win7;
    flags.IsWin8OrLater = c.win8;
    EXPECT_EQ(IsScanSkipped(c.section, c.key, flags), c.skipped) << c.why;
  }
}

}  // namespace
