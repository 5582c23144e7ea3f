#include "registry/ScanSkipKeys.h"

#include <vector>

#include "registry/ScanSections.h"
#include "sys/TextCompare.h"

namespace registry {

const wchar_t* const HklmScanSkipKeys[15] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    L"Software\\Microsoft\\Windows\\Help",
    L"Software\\Microsoft\\Windows\\Html Help",
    L"Software\\Classes\\Applications",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\path1",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\path2",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\path3",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\path4",
    L"SOFTWARE\\Microsoft\\Office\\Delivery\\SourceEngine\\Downloads",
};

const wchar_t* const HkcuScanSkipKeys[4] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    L"AppEvents\\Schemes\\Apps",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU",
};

namespace {

const wchar_t* const kHklmVendorKeys[] = {L"Symantec\\Symantec Endpoint Protection", L"1.0\\0\\win32"};

const wchar_t* const kHklmNewerWindowsKeys[] = {
    L"}\\localserver32",  L"}\\inprocserver32",         L"Software\\Classes\\Windows.DVD.Maker",
    L"\\HoloShell",       L"\\Windows\\SystemIndex",    L"Package\\CortanaListenUIApp",
    L"Package\\EnvironmentsApp", L"Package\\Windows.",
};

const wchar_t* const kHklmWin8Keys[] = {
    L"Software\\Microsoft\\PowerShell\\3",
    L"Software\\Microsoft\\Speech\\Voices\\Tokens",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\ShellCompatibility\\InboxApp",
};

const wchar_t* const kHklmSystemKeys[] = {
    L"software\\microsoft", L"}\\localserver32", L"}\\inprocserver32",
    L"software\\classes\\extensions\\contractid\\windows.", L"software\\classes\\typelib\\",
};

const wchar_t* const kWin8KeysCaseSensitive[] = {L"Software\\Microsoft\\Windows\\CurrentVersion\\ImmersiveShell"};

const wchar_t* const kWin8Keys[] = {
    L"Software\\Microsoft\\Speech\\",
    L"SOFTWARE\\WOW6432Node\\Microsoft\\SPEECH\\",
    L"SOFTWARE\\Microsoft\\ScreenMagnifier",
    L"Software\\mikrov",
    L"SOFTWARE\\ScanSoft\\OmniPage",
    L"SOFTWARE\\IvoSoft\\ClassicShell\\Settings",
    L"Microsoft\\WindowsRuntime\\ActivatableClassId\\NLInternal.",
    L"Microsoft\\WindowsRuntime\\Server\\SpeechRuntime",
};

const wchar_t* const kNestedRedirection[] = {L"Wow6432Node\\Wow6432Node"};

// A table as the tests use it: texts kept upper-cased when case is ignored.
class TKeyList {
 public:
  template <size_t N>
  TKeyList(const wchar_t* const (&texts)[N], bool ignoreCase) : ignoreCase_(ignoreCase) {
    for (const wchar_t* t : texts) texts_.push_back(ignoreCase ? sys::UpperCase(t) : std::wstring(t));
  }
  // `upper` is `key` upper-cased, computed once per key by the caller.
  bool HasPartOf(const std::wstring& key, const std::wstring& upper) const {
    for (const auto& t : texts_)
      if (sys::Contains(ignoreCase_ ? upper : key, t)) return true;
    return false;
  }
  bool HasEqual(const std::wstring& upper) const {
    for (const auto& t : texts_)
      if (upper == t) return true;
    return false;
  }

 private:
  std::vector<std::wstring> texts_;
  bool ignoreCase_;
};

bool IsSkippedInHklm(const std::wstring& key, const std::wstring& upper, const TScanSkipFlags& flags) {
  static const TKeyList skipKeys(HklmScanSkipKeys, true);
  static const TKeyList vendor(kHklmVendorKeys, true);
  static const TKeyList newer(kHklmNewerWindowsKeys, true);
  static const TKeyList win8(kHklmWin8Keys, false);
  static const TKeyList system(kHklmSystemKeys, true);
  return skipKeys.HasEqual(upper) || vendor.HasPartOf(key, upper) ||
         (flags.IsWin7OrLater && newer.HasPartOf(key, upper)) || (flags.IsWin8OrLater && win8.HasPartOf(key, upper)) ||
         system.HasPartOf(key, upper);
}

}  // namespace

bool IsScanSkipped(int section, const std::wstring& subKey, const TScanSkipFlags& flags) {
  static const TKeyList hkcuKeys(HkcuScanSkipKeys, true);
  static const TKeyList win8Sensitive(kWin8KeysCaseSensitive, false);
  static const TKeyList win8(kWin8Keys, true);
  static const TKeyList nested(kNestedRedirection, true);
  std::wstring upper = sys::UpperCase(subKey);
  if (section == sidHklm && IsSkippedInHklm(subKey, upper, flags)) return true;
  if (section == sidHkcu && hkcuKeys.HasEqual(upper)) return true;
  if (flags.IsWin8OrLater && (win8Sensitive.HasPartOf(subKey, upper) || win8.HasPartOf(subKey, upper))) return true;
  return nested.HasPartOf(subKey, upper);
}

}  // namespace registry
