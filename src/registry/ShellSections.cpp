// The shell's own lists: shortcuts whose target is gone, sound events naming
// missing sound files, and the file dialogs' and Explorer's history lists.
#include <shlobj.h>

#include <cstring>

#include "core/Files.h"
#include "core/Text.h"
#include "registry/RegKey.h"
#include "sys/RegistryKey.h"
#include "registry/ScanFiles.h"
#include "registry/ScanTaskThread.h"
#include "sys/TextCompare.h"

namespace registry {
namespace {

// Walked in this order; the user's Recent and Start Menu folders only when
// they lie outside the application-data folder, which covers them.
const int kShortcutFolders[] = {CSIDL_COMMON_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_APPDATA, CSIDL_RECENT,
                                CSIDL_STARTMENU,        CSIDL_DESKTOPDIRECTORY};
// Targets a 32-bit process sees redirected under WOW64, so cannot judge.
const wchar_t* const kWow64TargetMarkers[] = {L"system32", L"ProgramFiles", L"Program Files"};
// The sound scheme keys that name a sound file.
const wchar_t* const kSoundSchemeNames[] = {L".current", L".default", L"utopia0"};
const wchar_t kOpenSaveMruKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const wchar_t kUserAssistKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}"
    L"\\Count";
const DWORD kLargestUserAssistData = 32767;

bool IsSoundSchemeName(const std::wstring& name) {
  for (const wchar_t* s : kSoundSchemeNames)
    if (sys::SameText(name, s)) return true;
  return false;
}

// Drive-letter paths on a drive the scanner judges at all.
bool IsJudgedDrivePath(const std::wstring& path, const std::wstring& driveLetters) {
  return path.size() >= 3 && path.find(L":\\") == 1 &&
         sys::UpperCase(driveLetters).find(sys::UpperCase(path.substr(0, 1))) != std::wstring::npos;
}

// A shortcut row deletes the file it names, so it may only name a shortcut.
bool IsExistingShortcutFile(const std::wstring& path) {
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY) && HasExtension(path, L".lnk");
}

class TErrorModeScope {
 public:
  explicit TErrorModeScope(UINT mode) : previous_(::SetErrorMode(mode)) {}
  ~TErrorModeScope() { ::SetErrorMode(previous_); }
  TErrorModeScope(const TErrorModeScope&) = delete;
  TErrorModeScope& operator=(const TErrorModeScope&) = delete;

 private:
  UINT previous_;
};

}  // namespace

void TScanTaskThread::ScanShortcuts() {
  const std::wstring appData = SpecialFolderPath(CSIDL_APPDATA);
  for (int csidl : kShortcutFolders) {
    if (Terminated()) return;
    const std::wstring folder = SpecialFolderPath(csidl);
    if (folder.empty()) continue;
    if ((csidl == CSIDL_RECENT || csidl == CSIDL_STARTMENU) && !appData.empty() && sys::Contains(folder, appData)) continue;
    ScanShortcutFolder(folder);
  }
}

void TScanTaskThread::ScanShortcutFolder(const std::wstring& Folder) {
  ForEachFolderEntry(Folder, [&](const WIN32_FIND_DATAW& e) {
    if (Terminated()) return false;
    const std::wstring path = JoinFilePath(Folder, e.cFileName);
    if (IsFolderEntry(e)) {
      if (!IsLinkEntry(e)) ScanShortcutFolder(path);
    } else if (HasExtension(e.cFileName, L".lnk")) {
      ScanShortcut(path);
    }
    return true;
  });
}

void TScanTaskThread::ScanShortcut(const std::wstring& file) {
  ShowCurrentKey(file);
  const std::wstring target = core::GetShortcutTarget(file);
  if (FIsWow64 && sys::ContainsAnyNoCase(target, kWow64TargetMarkers)) return;
  if (!IsJudgedDrivePath(target, FDriveLetters)) return;
  if (!IsOnUnreadyDrive(target) && (!IsInvalidPath(target, L"", FDriveLetters, false) || PathKind(target) == pkFolder))
    return;
  if (IsExistingShortcutFile(file)) AddProblemRow({ProblemText(), target, file, fkDeleteFile});
}

void TScanTaskThread::ScanSoundEvents() { ScanSoundKey(L"HKEY_Current_User", L"AppEvents\\Schemes\\Apps", L""); }

void TScanTaskThread::ScanSoundKey(const std::wstring& Root, const std::wstring& Base, const std::wstring& Name) {
  const std::wstring root = sys::UpperCase(Root);
  const std::wstring path = Base + Name;
  sys::RegistryKey key;
  if (Terminated() || !key.Open(RootFromName(root), path)) return;
  ScanSoundKeyOf(root, key, path, Name);
}

// Only the scheme keys of an event name a sound file, in their default value.
void TScanTaskThread::ScanSoundKeyOf(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& path,
                                     const std::wstring& name) {
  std::wstring sound;
  if (IsSoundSchemeName(name) && key.ReadString(L"", &sound)) {
    ShowCurrentKey(path);
    if (IsInvalidPath(sound, L"", FDriveLetters, false))
      AddProblemRow({ProblemText(), sound, JoinKeyPath(root, path), fkDeleteDefaultValue});
  }
  for (const auto& sub : key.SubKeyNames()) {
    if (Terminated()) return;
    sys::RegistryKey child;
    if (child.Open(key, sub)) ScanSoundKeyOf(root, child, path + L"\\" + sub, sub);
  }
}

void TScanTaskThread::ScanMruLists() {
  {
    // No "insert a disk" box for an entry on a removable drive.
    TErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    ScanOpenSaveMru();
  }
  ScanUserAssist();
}

// The key's own values name files without their extension; its subkeys are
// the extensions (and "*"), each with a list of full names.
void TScanTaskThread::ScanOpenSaveMru() {
  sys::RegistryKey key;
  if (Terminated() || !key.Open(HKEY_CURRENT_USER, kOpenSaveMruKey)) return;
  ShowCurrentKey(kOpenSaveMruKey);
  const std::vector<std::wstring> subKeys = key.SubKeyNames();
  const std::wstring keyPath = JoinKeyPath(L"HKEY_CURRENT_USER", kOpenSaveMruKey);
  key.ForEachValue([&](const sys::RegistryValue& v) {
    if (Terminated()) return false;
    if (!v.IsText()) return true;
    const std::wstring text = v.Text();
    if (!IsJudgedDrivePath(text, FDriveLetters) || PathKind(text) != pkMissing) return true;
    for (const auto& ext : subKeys) {
      if (Terminated()) return false;
      if (ext != L"*" && PathKind(text + L"." + ext) == pkFile) return true;
    }
    AddValueProblemRow(ProblemText(), keyPath, v.Name, text);
    return true;
  });
  for (const auto& ext : subKeys) {
    if (Terminated()) return;
    ScanRegistryTree(L"HKEY_CURRENT_USER", JoinKeyPath(kOpenSaveMruKey, ext), ProblemText(), L"", FDriveLetters);
  }
}

// Explorer's run counters: value names are program paths in ROT13, the data
// holds the run count in its second 32-bit word.
void TScanTaskThread::ScanUserAssist() {
  sys::RegistryKey key;
  if (Terminated() || !key.Open(HKEY_CURRENT_USER, kUserAssistKey)) return;
  ShowCurrentKey(kUserAssistKey);
  const std::wstring keyPath = JoinKeyPath(L"HKEY_CURRENT_USER", kUserAssistKey);
  key.ForEachValue([&](const sys::RegistryValue& v) {
    if (Terminated()) return false;
    if (v.Size > kLargestUserAssistData) return true;
    const std::wstring name = core::Rot13(v.Name);
    bool bad = false;
    size_t colon = name.find(L':');
    if (!sys::Contains(name, L".lnk") && colon != std::wstring::npos)
      bad = IsInvalidPath(name.substr(colon + 1), L"", FDriveLetters, true);
    // Data too short to hold a count says nothing about how often it ran.
    DWORD count = 1;
    if (v.Size >= 2 * sizeof(DWORD)) std::memcpy(&count, v.Data + sizeof(DWORD), sizeof(count));
    if (count == 0 || bad) AddProblemRow({ProblemText(), name, keyPath, fkDeleteUserAssistValue});
    return true;
  });
}

}  // namespace registry
