// What the clean items need of the world beyond the clean thread's own
// primitives: the shell's recycle bin, the clipboard, the administrator test
// and the folder that holds the item data files. Each has the real
// implementation as default; tests substitute fakes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace cleaner {

class IUrlHistory;
class IUrlCache;

struct RecycleBinContents {
  int64_t items = 0;
  int64_t bytes = 0;
};

class IRecycleBin {
 public:
  virtual ~IRecycleBin() = default;
  // What every recycle bin of the machine holds now; false when the shell
  // cannot tell.
  virtual bool Query(RecycleBinContents* contents) = 0;
  // Empties every recycle bin without any dialog or sound.
  virtual bool Empty(HWND owner) = 0;
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // False when the clipboard could not be opened.
  virtual bool Clear() = 0;
};

class IAccount {
 public:
  virtual ~IAccount() = default;
  // Whether the program runs with an administrator's rights.
  virtual bool IsAdministrator() = 0;
};

class ShellRecycleBin : public IRecycleBin {
 public:
  bool Query(RecycleBinContents* contents) override;
  bool Empty(HWND owner) override;
};

class SystemClipboard : public IClipboard {
 public:
  bool Clear() override;
};

class SystemAccount : public IAccount {
 public:
  bool IsAdministrator() override;
};

struct ItemServices {
  std::shared_ptr<IRecycleBin> recycleBin;
  std::shared_ptr<IClipboard> clipboard;
  std::shared_ptr<IAccount> account;
  std::shared_ptr<IUrlHistory> urlHistory;
  std::shared_ptr<IUrlCache> urlCache;
  // The Windows version code (core::GetWindowsVersion), which picks the
  // history folders and the way of deleting at restart; a test chooses it.
  std::function<BYTE()> windowsVersion;
  // Where kavo.dat and Custom.dat lie, ending in "\".
  std::wstring dataFolder;
};

// Fills whatever was left empty with the real implementation; the data
// folder defaults to the program's folder.
ItemServices WithDefaults(ItemServices services);

// The folder of the running program, ending in "\".
std::wstring ProgramFolder();

}  // namespace cleaner
