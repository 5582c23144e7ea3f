// Sections that look at registry places naming files or programs and report
// entries whose file is missing: Shared DLLs, Fonts, Help files, Startup
// programs, Windows services, Installer and Applications.
#include <shlobj.h>

#include <cstring>
#include <unordered_set>

#include "registry/RegKey.h"
#include "sys/RegistryKey.h"
#include "registry/ScanFiles.h"
#include "registry/ScanTaskThread.h"
#include "sys/TextCompare.h"

namespace registry {
namespace {

const wchar_t kHklm[] = L"HKEY_LOCAL_MACHINE";
const wchar_t kSharedDllsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const wchar_t kNtFontsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const wchar_t k9xFontsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
const wchar_t* const kHelpKeys[] = {L"Software\\Microsoft\\Windows\\Help", L"Software\\Microsoft\\Windows\\Html Help"};
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kStartupRegKey[] = L"Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
const wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\Services";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kInstallerFoldersKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
const wchar_t kArpCacheKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";
const wchar_t kApplicationsKey[] = L"Software\\Classes\\Applications";

std::wstring HklmPath(const std::wstring& key) { return JoinKeyPath(kHklm, key); }

// Windows 95, 98 and Me keep their fonts under the 9x key.
bool IsWin9xFamily(int versionCode) { return versionCode == 1 || versionCode == 3 || versionCode == 8; }

// The names of the files (not folders) directly in a folder, upper-cased.
std::unordered_set<std::wstring> FileNamesIn(const std::wstring& folder, const sys::Thread& thread) {
  std::unordered_set<std::wstring> names;
  ForEachFolderEntry(folder, [&](const WIN32_FIND_DATAW& e) {
    if (!IsFolderEntry(e)) names.insert(sys::UpperCase(e.cFileName));
    return !thread.Terminated();
  });
  return names;
}

std::unordered_set<std::wstring> UpperSubKeyNames(const sys::RegistryKey& key) {
  std::unordered_set<std::wstring> names;
  for (const auto& n : key.SubKeyNames()) names.insert(sys::UpperCase(n));
  return names;
}

}  // namespace

// A shared library is reported when its file is missing or its usage count is 0.
void TScanTaskThread::ScanSharedDlls() {
  sys::RegistryKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey)) return;
  ShowCurrentKey(kSharedDllsKey);
  const std::wstring keyPath = HklmPath(kSharedDllsKey);
  key.ForEachValue([&](const sys::RegistryValue& v) {
    if (Terminated()) return false;
    if (v.Type != REG_DWORD || v.Size < sizeof(DWORD)) return true;
    DWORD count = 0;
    std::memcpy(&count, v.Data, sizeof(count));
    if (!IsOnUnreadyDrive(v.Name) && count != 0 && !IsInvalidPath(v.Name, L"", FDriveLetters, false)) return true;
    if (FIsWin8OrLater && sys::Contains(v.Name, L"Windows\\Microsoft.NET\\Framework")) return true;
    AddProblemRow({ProblemText(), v.Name, keyPath, fkDeleteNamedValue});
    return true;
  });
}

void TScanTaskThread::ScanFonts() {
  const wchar_t* fontsKey = IsWin9xFamily(FWindowsVersion) ? k9xFontsKey : kNtFontsKey;
  const auto installed = FileNamesIn(SpecialFolderPath(CSIDL_FONTS), *this);
  sys::RegistryKey key;
  if (Terminated() || !key.Open(HKEY_LOCAL_MACHINE, fontsKey)) return;
  ShowCurrentKey(fontsKey);
  const std::wstring keyPath = HklmPath(fontsKey);
  key.ForEachValue([&](const sys::RegistryValue& v) {
    if (Terminated()) return false;
    if (!v.IsText()) return true;
    std::wstring text = v.Text();
    if (!IsOnUnreadyDrive(text) &&
        (installed.count(sys::UpperCase(text)) != 0 || !IsInvalidPath(text, L"", FDriveLetters, false)))
      return true;
    AddValueProblemRow(ProblemText(), keyPath, v.Name, text);
    return true;
  });
}

// The value name is a help file's name, the data its folder.
void TScanTaskThread::ScanHelpFiles() {
  for (const wchar_t* helpKey : kHelpKeys) {
    sys::RegistryKey key;
    if (Terminated()) return;
    if (!key.Open(HKEY_LOCAL_MACHINE, helpKey)) continue;
    ShowCurrentKey(helpKey);
    const std::wstring keyPath = HklmPath(helpKey);
    key.ForEachValue([&](const sys::RegistryValue& v) {
      if (Terminated()) return false;
      if (!v.IsText()) return true;
      std::wstring folder = v.Text();
      std::wstring path = folder.empty() ? v.Name : JoinFilePath(folder, v.Name);
      if (IsOnUnreadyDrive(path) || IsInvalidPath(path, L"", FDriveLetters, false))
        AddValueProblemRow(ProblemText(), keyPath, v.Name, path);
      return true;
    });
  }
}

void TScanTaskThread::ScanStartup() {
  for (const wchar_t* root : {L"HKEY_CURRENT_USER", kHklm})
    for (const wchar_t* key : {kRunKey, kRunOnceKey}) ScanRunKey(root, key);
  ScanStartupReg();
}

// Only text values are judged: a Run value of another type is no command line.
void TScanTaskThread::ScanRunKey(const std::wstring& Root, const std::wstring& Key) {
  const std::wstring root = sys::UpperCase(Root);
  sys::RegistryKey key;
  if (Terminated() || !key.Open(RootFromName(root), Key)) return;
  ShowCurrentKey(Key);
  const std::wstring keyPath = JoinKeyPath(root, Key);
  key.ForEachValue([&](const sys::RegistryValue& v) {
    if (Terminated()) return false;
    if (!v.IsText()) return true;
    std::wstring text = v.Text();
    if (text.empty() || text == L"\"\"" || IsInvalidPath(text, L"", FDriveLetters, false))
      AddValueProblemRow(ProblemText(), keyPath, v.Name, text);
    return true;
  });
}

// Entries disabled in the system configuration tool, one subkey each.
void TScanTaskThread::ScanStartupReg() {
  sys::RegistryKey key;
  if (Terminated() || !key.Open(HKEY_LOCAL_MACHINE, kStartupRegKey)) return;
  ShowCurrentKey(kStartupRegKey);
  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    sys::RegistryKey entry;
    std::wstring command;
    if (entry.Open(key, name) && entry.ReadString(L"command", &command) &&
        IsInvalidPath(command, L"", FDriveLetters, false))
      AddProblemRow({ProblemText(), command, HklmPath(JoinKeyPath(kStartupRegKey, name)), fkDeleteKey});
  }
}

void TScanTaskThread::ScanServices() {
  sys::RegistryKey services;
  if (!services.Open(HKEY_LOCAL_MACHINE, kServicesKey)) return;
  for (const auto& name : services.SubKeyNames()) {
    if (Terminated()) return;
    if (sys::Contains(sys::UpperCase(name), L"SLSVC")) continue;
    const std::wstring path = JoinKeyPath(kServicesKey, name);
    ShowCurrentKey(path);
    sys::RegistryKey service;
    std::wstring image;
    if (service.Open(services, name) && service.ReadString(L"ImagePath", &image) &&
        IsInvalidPath(image, L"", FDriveLetters, true))
      AddProblemRow({ProblemText(), image, HklmPath(path) + L"\\ImagePath", fkDeleteValue});
  }
}

void TScanTaskThread::ScanInstaller() {
  // Uninstall commands are judged up to their ".exe" only.
  ScanRegistryTree(kHklm, kUninstallKey, ProblemText(), L".exe", FDriveLetters);

  sys::RegistryKey folders;
  if (Terminated()) return;
  if (folders.Open(HKEY_LOCAL_MACHINE, kInstallerFoldersKey)) {
    ShowCurrentKey(kInstallerFoldersKey);
    const std::wstring keyPath = HklmPath(kInstallerFoldersKey);
    folders.ForEachValue([&](const sys::RegistryValue& v) {
      if (Terminated()) return false;
      if (IsInvalidPath(v.Name, L"", FDriveLetters, true))
        AddProblemRow({ProblemText(), v.Name, keyPath, fkDeleteNamedValue});
      return true;
    });
  }

  // Cached entries of programs that are no longer listed for uninstalling.
  sys::RegistryKey uninstall, cache;
  if (Terminated()) return;
  uninstall.Open(HKEY_LOCAL_MACHINE, kUninstallKey);
  const auto listed = UpperSubKeyNames(uninstall);
  if (!cache.Open(HKEY_LOCAL_MACHINE, kArpCacheKey)) return;
  ShowCurrentKey(kArpCacheKey);
  const std::wstring cachePath = HklmPath(kArpCacheKey);
  for (const auto& name : cache.SubKeyNames()) {
    if (Terminated()) return;
    if (listed.count(sys::UpperCase(name)) == 0) AddProblemRow({ProblemText(), name, cachePath, fkDeleteSubKey});
  }
}

// Programs registered for the Open With list: every "command" key below a
// program's key, in depth-first order.
void TScanTaskThread::ScanOpenWithApps() {
  sys::RegistryKey apps;
  if (!apps.Open(HKEY_LOCAL_MACHINE, kApplicationsKey)) return;
  for (const auto& name : apps.SubKeyNames()) {
    if (Terminated()) return;
    const std::wstring base = JoinKeyPath(kApplicationsKey, name);
    ShowCurrentKey(base);
    sys::RegistryKey app;
    if (app.Open(apps, name)) ScanOpenWithCommands(app, base);
  }
}

// One walk finds the command keys in the order a search restarted after each
// find would: a key's own "command" first, then those below its subkeys.
void TScanTaskThread::ScanOpenWithCommands(const sys::RegistryKey& key, const std::wstring& path) {
  if (Terminated()) return;
  sys::RegistryKey command;
  if (command.Open(key, L"command")) {
    std::wstring text;
    if (!command.ReadString(L"", &text)) text.clear();
    if (text.empty() || IsInvalidPath(text, L"", FDriveLetters, false))
      AddProblemRow({ProblemText(), text, HklmPath(path) + L"\\command", fkDeleteKey});
  }
  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    sys::RegistryKey sub;
    if (sub.Open(key, name)) ScanOpenWithCommands(sub, JoinKeyPath(path, name));
  }
}

}  // namespace registry
