#include "registry/EmptyKeyRules.h"

#include <vector>

#include "sys/TextCompare.h"

namespace registry {
namespace {

enum TApplies { apAlways, apWin7, apWin8 };

struct TKeyGroup {
  TApplies Applies;
  bool IgnoreCase;
  std::vector<const wchar_t*> Texts;
};

const TKeyGroup kKeptEmptyKeys[] = {
    {apAlways, true, {L"KasperskyLab\\protected"}},
    {apAlways,
     false,
     {L"Microsoft\\Windows\\CurrentVersion\\Explorer\\MountPoints2", L"Microsoft\\Protected Storage System Provider",
      L"Software\\Microsoft\\DirectInput", L"Printers", L"Software\\Microsoft\\Multimedia\\Audio Compression Manager",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache",
      L"Software\\Microsoft\\Windows NT\\CurrentVersion", L"S-1-5-19_Classes", L"S-1-5-20_Classes",
      L"Microsoft\\SystemCertificates", L"Software\\Classes", L"Software\\Microsoft\\EventSystem",
      L"Software\\Microsoft\\Internet Explorer\\Security", L"Software\\Microsoft\\SAPI Layer"}},
    {apAlways, true, {L"Software\\Microsoft\\Speech"}},
    {apAlways,
     false,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Blocked",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SessionInfo",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Telephony\\HandoffPriorities",
      L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Network\\Location Awareness", L"Software\\Citrix\\",
      L"Software\\Avecto", L"Software\\Adobe", L"Software\\Intel\\Display",
      L"Software\\Symantec\\Symantec Endpoint Protection", L"Keyboard Layout\\Toggle", L"Software\\Microsoft\\CTF",
      L"Windows 3.1 Migration Status"}},
    {apWin7,
     false,
     {L"Software\\Microsoft\\MediaPlayer", L"Software\\Microsoft\\MSF",
      L"Software\\Microsoft\\Active Setup\\Installed Components", L"Software\\Microsoft\\RAS AutoDial",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Action Center\\Checks",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Action Center\\Providers\\EventLog",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
      L"Software\\Microsoft\\Cryptography"}},
    {apWin8,
     false,
     {L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
      L"Software\\Microsoft\\Active Setup\\Installed Components", L"Software\\Microsoft\\IME\\15.0\\IMESC",
      L"Software\\Microsoft\\MediaPlayer", L"Software\\Microsoft\\MSF",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Action Center\\Checks",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Action Center\\Providers\\EventLog",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\AppModel",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist", L"Software\\Microsoft\\Cryptography",
      L"Software\\Microsoft\\TabletTip", L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"}},
    {apAlways, true, {L"\\Microsoft."}},
    {apAlways,
     false,
     {L"\\Windows.", L"\\Network", L"S-1-5-19\\System", L"S-1-5-20\\System", L"\\System\\CurrentControlSet\\Policies",
      L"Control Panel\\International", L"System\\GameConfigStore\\Children", L"System\\GameConfigStore\\Parents"}},
    {apAlways,
     true,
     {L"ActivatableClasses", L"SOFTWARE\\WOW6432Node\\Microsoft\\SPEECH", L"SOFTWARE\\Microsoft\\ScreenMagnifier",
      L"Software\\mikrov", L"SOFTWARE\\ScanSoft\\OmniPage", L"SOFTWARE\\IvoSoft\\ClassicShell\\Settings"}},
};

const wchar_t* const kPassedOverUserKeys[] = {
    L"Software\\Microsoft",
    L"Software\\Policies\\Microsoft",
    L"Software\\Policies",
    L"AppEvents\\Schemes\\Apps\\Explorer",
    L"Control Panel\\Appearance",
    L"Control Panel\\Desktop",
    L"Control Panel\\Personalization",
    L"Keyboard Layout",
    L"Software\\Google",
    L"S-1-5-18\\System\\CurrentControlSet",
    L"Control Panel\\Bluetooth",
    L"System\\CurrentControlSet\\Control\\DeviceContainers",
    L"Software\\Chromium",
    L"Software\\Wow6432Node\\Microsoft",
};

bool Applies(TApplies a, const TEmptyKeyFlags& flags) {
  return a == apAlways || (a == apWin7 && flags.IsWin7OrLater) || (a == apWin8 && flags.IsWin8OrLater);
}

}  // namespace

bool IsEmptyUserKeyReportable(const std::wstring& path, const TEmptyKeyFlags& flags) {
  const std::wstring upper = sys::UpperCase(path);
  for (const auto& group : kKeptEmptyKeys) {
    if (!Applies(group.Applies, flags)) continue;
    for (const wchar_t* text : group.Texts)
      if (group.IgnoreCase ? sys::Contains(upper, sys::UpperCase(text)) : sys::Contains(path, text)) return false;
  }
  return true;
}

bool IsUserKeyPassedOver(const std::wstring& path) {
  static const std::vector<std::wstring> upperTexts = [] {
    std::vector<std::wstring> v;
    for (const wchar_t* t : kPassedOverUserKeys) v.push_back(sys::UpperCase(t));
    return v;
  }();
  const std::wstring upper = sys::UpperCase(path);
  for (const auto& t : upperTexts)
    if (sys::Contains(upper, t)) return true;
  return false;
}

}  // namespace registry
