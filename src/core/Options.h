// The options record: every user setting and what the main window remembers
// between runs, moved to and from options.ini by LoadSaveOptions only.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Shortcut.h"

namespace core {

enum class TWindowState : BYTE { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

struct TOptionsSetting {
  bool IsAskBeforeClear = false;
  bool IsWipeFile = false;
  int WipeNumber = 0;
  bool EnableHotkey = false;
  TShortcut Hotkey;
  bool EnableIE = false;
  bool EnableNetscape = false;
  bool EnableFirefox = false;
  bool EnableOpera = false;
  bool AutoClean = false;
  int CleanInterval = 0;
  bool StartClean = false;
  bool ShutdownClean = false;
  bool FastScan = false;
  int SelectedCount = 0;
  bool FirstNodeExpand[11] = {};     // slots 1..10
  bool ShowLogTempInternetFiles = false;
  bool ShowLogRecycleBin = false;
  std::wstring OutputDirectory;
  bool DeleteBackupFile = false;
  bool IncludeRemoveMedia = false;
  bool IncludeCDdrive = false;
  bool TreeViewNodeCheck[26] = {};   // registry section ids 1..25
  int IgnoreValueCount = 0;
  std::vector<std::wstring>* IgnoreValueList = nullptr;  // owned by the main window
  int IgnoreKeyCount = 0;
  std::vector<std::wstring>* IgnoreKeyList = nullptr;    // owned by the main window
  TWindowState WindowState = TWindowState::wsNormal;
  int Left = 0;
  int Top = 0;
  int Height = 0;
  int Width = 0;
  bool RestorePoint = false;
};

extern TOptionsSetting OptionsSetting;

// What LoadSaveOptions needs of the main window: its two check trees and its
// placement. Tests supply their own.
class IOptionsHost {
 public:
  virtual ~IOptionsHost() = default;
  // Clean tree: untick every node; tick by caption, compared exactly (a group
  // by its own text, a leaf as "group - leaf").
  virtual void UntickAllCleanNodes() = 0;
  // Each caption ticks the first node it names; one call for all of them, so
  // that a long list costs one pass over the tree.
  virtual void TickCleanCaptions(const std::vector<std::wstring>& captions) = 0;
  // Ticked nodes of the clean tree in tree order, as captions (above).
  virtual std::vector<std::wstring> TickedCleanCaptions() = 0;
  // Copies the registry tree's ticks into TreeViewNodeCheck (ids 1..25).
  virtual void StoreRegistryTicks(bool (&check)[26]) = 0;
  // Outer bounds of the main window in its normal (restored) state, in screen
  // coordinates: while minimised, hidden in the tray or maximised, the
  // rectangle it returns to, never the minimised position.
  virtual RECT WindowBounds() = 0;
  // The window placement's show command; false when it cannot be read.
  virtual bool WindowShowCommand(UINT* showCmd) = 0;
};

// Where options.ini lives; tests point these elsewhere.
struct OptionsPaths {
  std::wstring AppDataFolder;  // the user's application-data folder, ending in "\"
  std::wstring ProgramFolder;  // the program's folder, ending in "\"
  SIZE Screen{};               // screen size in pixels
  // Whether a window rectangle shows on some monitor (a saved rectangle that
  // does not is replaced by a centred one).
  std::function<bool(const RECT&)> IsOnSomeMonitor;
};
OptionsPaths DefaultOptionsPaths();

// A count the file gives (SelectedCount, an ignore list's Count) is held to
// the number of lines its section holds, or to this when that is more: every
// entry the file holds loads, and a count it cannot back claims no memory.
constexpr int kMaxOptionsListCount = 10000;

// Loads (true) or saves (false) OptionsSetting. Ini write errors propagate
// as sys::IniWriteError. The ignore lists are saved from their real sizes and
// their count fields follow the lists; a list pointer left null skips that
// list's section in both directions. Counts read from the file are held as
// kMaxOptionsListCount says, and a saved window rectangle that shows on no
// monitor loads as the centred default. The numbered sections are read and
// the list sections written in one pass each, so a long list stays quick.
// The file is read and saved whole through the guard: a load of a file that
// is a link, has more than one name or cannot be read gives the defaults and
// returns false; a save over it raises (and writes nothing).
bool LoadSaveOptions(bool IsLoad, IOptionsHost& host, const OptionsPaths& paths);
bool LoadSaveOptions(bool IsLoad, IOptionsHost& host);

// The options file in use for `paths`, after the seeding copy (step exposed for tests).
std::wstring OptionsFilePath(const OptionsPaths& paths);

}  // namespace core
