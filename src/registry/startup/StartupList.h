// The programs Windows starts at log-on, from the Run keys and the two
// Startup folders, and their removal: a registry value after its backup, a
// shortcut through the guarded delete. No windows here.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "registry/fix/FixDelete.h"

namespace registry {

// The location labels of the two Startup folders.
extern const wchar_t kStartupLabel[];        // "Startup"
extern const wchar_t kCommonStartupLabel[];  // "Common Startup"

struct TStartupEntry {
  std::wstring Name;      // the value name, or the shortcut's file name
  std::wstring File;      // the value data as stored, or the shortcut's target
  std::wstring Location;  // root name + "\" + key, or a folder label
  // Where it was found, so that a delete takes exactly this entry.
  std::wstring RootName, Key;  // a Run value
  std::wstring ShortcutPath;   // a Startup-folder shortcut (full path as listed)
  bool IsShortcut() const { return !ShortcutPath.empty(); }
};

// Windows 95, 98, Me and their kin (version codes 1 to 4 and 8) also start
// programs from RunServices, and have no Windows Backup program of their own.
bool IsOldWindowsFamily(BYTE windowsVersion);

// The special folder of a CSIDL with a trailing "\"; empty when there is none.
std::wstring GetSpecialFolder(int csidl);
// Text with its environment variables expanded and trimmed; Text itself when
// that fails or does not name an existing folder.
std::wstring ExpandEnvPath(const std::wstring& text);

// The string and expandable-string values of one key (not created, the
// process's default view); other types are skipped.
std::vector<TStartupEntry> ListRunKey(const std::wstring& rootName, const std::wstring& key);
// The shortcuts (".lnk" in any case, files only) of a folder whose target
// can be read.
std::vector<TStartupEntry> ListStartupFolderPath(const std::wstring& folder, const std::wstring& label);
std::vector<TStartupEntry> ListStartupFolder(int csidl, const std::wstring& label);

// Every source in listing order.
std::vector<TStartupEntry> ListStartupEntries(BYTE windowsVersion);

// Removes one entry: a Run value after appending it to `backupFile`, a
// shortcut file through the guarded delete.
TDeleteResult DeleteStartupEntry(const TStartupEntry& entry, const std::wstring& backupFile);

}  // namespace registry
