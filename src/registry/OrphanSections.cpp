// Sections that report keys left behind: Start Menu order keys without their
// folder, empty software keys, useless file extensions, uninstall entries
// without a command, empty uninstall entries and empty keys of the users.
// Every finding is a subkey to delete below its parent.
#include <shlobj.h>

#include <unordered_set>

#include "registry/EmptyKeyRules.h"
#include "registry/RegKey.h"
#include "sys/RegistryKey.h"
#include "registry/ScanFiles.h"
#include "registry/ScanTaskThread.h"
#include "sys/TextCompare.h"

namespace registry {
namespace {

const wchar_t* const kMenuOrderKeys[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\&Programs",
};
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kEmptyUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kClassesKey[] = L"Software\\Classes";
const wchar_t kFileExtsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
// Extensions whose user choices Windows keeps even when they are empty.
const wchar_t* const kKeptFileExts[] = {L".xht", L".svg", L".website", L".xhtml"};
// Entries of Windows 8 and later that carry no uninstall command by design.
const wchar_t* const kWin8InboxEntries[] = {
    L"AddressBook", L"DirectDrawEx",     L"DXM_Runtime", L"Fontcore",        L"IE40", L"IE4Data", L"IE5BAKEX",
    L"IEData",      L"MobileOptionPack", L"MPlayer2",    L"SchedulingAgent", L"WIC",
};

const wchar_t* SectionProblem(int id) {
  const TScanSection* s = FindScanSection(id);
  return s != nullptr ? s->Problem : L"";
}

bool IsDefaultUsersKey(const std::wstring& root, const std::wstring& name) {
  return root == L"HKEY_USERS" && sys::SameText(name, L".DEFAULT");
}

// An uninstall command of any kind, or a component Windows hides from the list.
bool HasUninstallEntry(const sys::RegistryKey& key) {
  bool found = false;
  key.ForEachValue([&](const sys::RegistryValue& v) {
    found = sys::Contains(v.Name, L"UninstallString") || sys::SameText(v.Name, L"SystemComponent");
    return !found;
  });
  return found;
}

// The one value of a key with one value: whether it is the default value
// holding empty text. A default of another type is data, not emptiness.
bool IsOnlyAnEmptyDefault(const sys::RegistryKey& key) {
  bool empty = false;
  key.ForEachValue([&](const sys::RegistryValue& v) {
    empty = v.Name.empty() && v.IsText() && v.Text().empty();
    return false;
  });
  return empty;
}

}  // namespace

int TScanTaskThread::CountTreeValues(HKEY Root, const std::wstring& SubKey) {
  sys::RegistryKey key;
  if (!key.Open(Root, SubKey)) return 1;
  return CountOpenKeyValues(key);
}

// Unknown answers (a key that cannot be read, a cancelled count) are "not
// empty": reporting a key deletes it.
int TScanTaskThread::CountOpenKeyValues(const sys::RegistryKey& key) {
  DWORD subKeys = 0, values = 0;
  if (!key.Counts(&subKeys, &values)) return 1;
  if (values >= 1) return static_cast<int>(values);
  if (subKeys >= 2) return static_cast<int>(subKeys);
  if (subKeys == 0) return 0;
  std::vector<std::wstring> names = key.SubKeyNames();
  sys::RegistryKey only;
  if (names.size() != 1 || Terminated() || !only.Open(key, names[0])) return 1;
  return CountOpenKeyValues(only);
}

void TScanTaskThread::ScanStartMenuOrder() {
  std::unordered_set<std::wstring> folders;
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
    ForEachFolderEntry(SpecialFolderPath(csidl), [&](const WIN32_FIND_DATAW& e) {
      if (IsFolderEntry(e)) folders.insert(sys::UpperCase(e.cFileName));
      return !Terminated();
    });
  for (const wchar_t* menuKey : kMenuOrderKeys) {
    sys::RegistryKey key;
    if (Terminated()) return;
    if (!key.Open(HKEY_CURRENT_USER, menuKey)) continue;
    const std::wstring keyPath = JoinKeyPath(L"HKEY_CURRENT_USER", menuKey);
    for (const auto& name : key.SubKeyNames()) {
      if (Terminated()) return;
      ShowCurrentKey(JoinKeyPath(menuKey, name));
      if (folders.count(sys::UpperCase(name)) == 0) AddProblemRow({ProblemText(), name, keyPath, fkDeleteSubKey});
    }
  }
}

void TScanTaskThread::ScanObsoleteSoftware() {
  ScanEmptyKeys(L"HKEY_CURRENT_USER", L"Software", sidObsoleteSoftware);
  ScanEmptyKeys(L"HKEY_LOCAL_MACHINE", L"Software", sidObsoleteSoftware);
}

void TScanTaskThread::ScanEmptyUninstallEntries() {
  ScanEmptyKeys(L"HKEY_LOCAL_MACHINE", kEmptyUninstallKey, sidEmptyUninstall);
}

void TScanTaskThread::ScanEmptyRegistryKeys() { ScanEmptyUserKeys(L"HKEY_USERS", L""); }

void TScanTaskThread::ScanEmptyKeys(const std::wstring& Root, const std::wstring& SubKey, int Id) {
  const std::wstring root = sys::UpperCase(Root);
  sys::RegistryKey key;
  if (Terminated() || !key.Open(RootFromName(root), SubKey)) return;
  ScanEmptyKeysOf(root, key, SubKey, Id);
}

// Obsolete software is judged by the direct children of Software only; the
// other sections report an empty chain at every level.
void TScanTaskThread::ScanEmptyKeysOf(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& subKey,
                                      int id) {
  const std::wstring keyPath = JoinKeyPath(root, subKey);
  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    if (IsDefaultUsersKey(root, name)) continue;
    const std::wstring child = JoinKeyPath(subKey, name);
    ShowCurrentKey(child);
    sys::RegistryKey sub;
    if (!sub.Open(key, name)) continue;
    if (CountOpenKeyValues(sub) == 0 && IsEmptyKeyReportable(child, id))
      AddProblemRow({SectionProblem(id), name, keyPath, fkDeleteSubKey});
    if (id == sidEmptyUninstall || id == sidEmptyRegistryKeys) ScanEmptyKeysOf(root, sub, child, id);
  }
}

void TScanTaskThread::ScanEmptyUserKeys(const std::wstring& Root, const std::wstring& SubKey) {
  const std::wstring root = sys::UpperCase(Root);
  sys::RegistryKey key;
  if (Terminated() || !key.Open(RootFromName(root), SubKey)) return;
  ScanEmptyUserKeysOf(root, key, SubKey);
}

void TScanTaskThread::ScanEmptyUserKeysOf(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& subKey) {
  const std::wstring keyPath = JoinKeyPath(root, subKey);
  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    if (IsDefaultUsersKey(root, name)) continue;
    // The first level keeps its leading backslash, as the exclusions expect.
    const std::wstring path = subKey + L"\\" + name;
    if (IsUserKeyPassedOver(path)) continue;
    if (sys::ContainsNoCase(path, L"Microsoft.MicrosoftEdge_")) return;
    ShowCurrentKey(path);
    sys::RegistryKey sub;
    if (!sub.Open(key, name)) continue;
    if (CountOpenKeyValues(sub) == 0 && IsEmptyKeyReportable(path, sidEmptyRegistryKeys))
      AddProblemRow({SectionProblem(sidEmptyRegistryKeys), name, keyPath, fkDeleteSubKey});
    ScanEmptyUserKeysOf(root, sub, JoinKeyPath(subKey, name));
  }
}

bool TScanTaskThread::IsEmptyKeyReportable(const std::wstring& Path, int Id) const {
  if (Id != sidEmptyRegistryKeys) return true;
  TEmptyKeyFlags flags;
  flags.IsWin7OrLater = FIsWin7OrLater;
  flags.IsWin8OrLater = FIsWin8OrLater;
  return IsEmptyUserKeyReportable(Path, flags);
}

void TScanTaskThread::ScanFileExtensions() {
  ScanMachineClasses();
  ScanUserFileExts();
}

// Classes of the machine with nothing in them. Newer and 64-bit systems
// count an empty default value as content.
void TScanTaskThread::ScanMachineClasses() {
  sys::RegistryKey classes;
  if (Terminated() || !classes.Open(HKEY_LOCAL_MACHINE, kClassesKey)) return;
  const bool bareOnly = (FIsWin7OrLater && FIsWow64) || FIsWin8OrLater;
  const std::wstring keyPath = JoinKeyPath(L"HKEY_LOCAL_MACHINE", kClassesKey);
  for (const auto& name : classes.SubKeyNames()) {
    if (Terminated()) return;
    ShowCurrentKey(JoinKeyPath(kClassesKey, name));
    sys::RegistryKey sub;
    DWORD subKeys = 0, values = 0;
    if (!sub.Open(classes, name) || !sub.Counts(&subKeys, &values) || subKeys != 0) continue;
    if (values == 0 || (!bareOnly && values == 1 && IsOnlyAnEmptyDefault(sub)))
      AddProblemRow({ProblemText(), name, keyPath, fkDeleteSubKey});
  }
}

void TScanTaskThread::ScanUserFileExts() {
  sys::RegistryKey exts;
  if (Terminated() || !exts.Open(HKEY_CURRENT_USER, kFileExtsKey)) return;
  const std::wstring keyPath = JoinKeyPath(L"HKEY_CURRENT_USER", kFileExtsKey);
  for (const auto& name : exts.SubKeyNames()) {
    if (Terminated()) return;
    ShowCurrentKey(JoinKeyPath(kFileExtsKey, name));
    if (sys::ContainsAnyNoCase(name, kKeptFileExts)) continue;
    sys::RegistryKey sub;
    if (!sub.Open(exts, name)) continue;
    bool useless;
    if (FIsWin7OrLater && FIsWow64) {
      DWORD subKeys = 1, values = 1;
      useless = sub.Counts(&subKeys, &values) && subKeys == 0 && values == 0;
    } else {
      useless = CountOpenKeyValues(sub) == 0 && !(FIsWin7OrLater && name == L".");
    }
    if (useless) AddProblemRow({ProblemText(), name, keyPath, fkDeleteSubKey});
  }
}

void TScanTaskThread::ScanUninstall() {
  sys::RegistryKey uninstall;
  if (!uninstall.Open(HKEY_LOCAL_MACHINE, kUninstallKey)) return;
  const std::wstring keyPath = JoinKeyPath(L"HKEY_LOCAL_MACHINE", kUninstallKey);
  for (const auto& name : uninstall.SubKeyNames()) {
    if (Terminated()) return;
    if (sys::StartsWith(name, L"{")) continue;
    ShowCurrentKey(JoinKeyPath(kUninstallKey, name));
    sys::RegistryKey entry;
    if (!entry.Open(uninstall, name) || HasUninstallEntry(entry)) continue;
    if (FIsWin8OrLater && sys::ContainsAny(name, kWin8InboxEntries)) continue;
    AddProblemRow({ProblemText(), name, keyPath, fkDeleteSubKey});
  }
}

}  // namespace registry
