// The registry scanner's worker thread. The registry page creates it, hands
// it the ids of the ticked sections and starts it; it runs one routine per id
// and reports through the shared rows and status and two posted messages:
// WM_SCANSECTIONDONE after every section, WM_SCANFINISHED exactly once at the
// end, also when it was cancelled or a section failed.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/guard/RegistryLinks.h"
#include "registry/PathCheck.h"
#include "registry/RegKey.h"
#include "sys/RegistryKey.h"
#include "registry/ScanSections.h"
#include "registry/ScanShared.h"
#include "sys/Thread.h"

namespace registry {

// What the scanner reads of the system and the options, taken at creation.
struct TScanSettings {
  bool IncludeRemoveMedia = false;
  int WindowsVersion = 0;  // the version code
  bool IsWow64 = false;
  std::shared_ptr<const TPathFileSystem> FileSystem;  // null: the real one
};

// The settings of this machine and of the options record.
TScanSettings ScanSettingsFromSystem();

class TScanTaskThread;

// Frees a scan thread once it has ended. One still running after `waitMs` is
// never freed under its feet: it is kept and freed by a later call, after it
// has ended. Returns true when `thread` itself was freed now.
bool FreeScanThreadWhenEnded(std::unique_ptr<TScanTaskThread> thread, DWORD waitMs);
// How many such threads are kept now.
size_t LingeringScanThreads();

class TScanTaskThread : public sys::Thread {
 public:
  explicit TScanTaskThread(const TScanSettings& settings);
  ~TScanTaskThread() override;

  // Set by the creator before Start().
  HWND FMainHandle = nullptr;              // receives the messages unless a poster is set
  std::vector<std::wstring> FSections;     // section ids as decimal text, in run order
  bool FDriveAReady = false;               // drive A: answered a volume query
  bool FDriveBReady = false;
  void SetPoster(std::shared_ptr<TScanPoster> poster) { FPoster = std::move(poster); }

  // Rows and status outlive the thread (it may free itself on termination).
  std::shared_ptr<TScanShared> Shared() const { return FShared; }
  const std::wstring& DriveLetters() const { return FDriveLetters; }

  bool IsInvalidPath(const std::wstring& Path, const std::wstring& CutText, const std::wstring& DriveLetters,
                     bool AcceptDirs) const;
  std::wstring ExpandEnvPath(const std::wstring& Src) const;

 protected:
  void Execute() override;
  // Runs the routine of one section; a failure ends that section only.
  virtual void RunSection(int id);

  void ShowTitle(const std::wstring& title);
  // Virtual so that a test can watch (and cancel) a section key by key.
  virtual void ShowCurrentKey(const std::wstring& key);
  void AddProblemRow(TProblemRow row);
  void AddValueProblemRow(const std::wstring& problem, const std::wstring& keyPath, const std::wstring& valueName,
                          const std::wstring& data);
  const std::wstring& ProblemText() const;  // of the section in progress

  // Sections (the routines of the section table).
  void ScanHkcr();
  void ScanHkcu();
  void ScanHklm();
  void ScanHku();
  void ScanAppPaths();
  void ScanRegistryTree(const std::wstring& Root, const std::wstring& SubKey, const std::wstring& Problem,
                        const std::wstring& CutText, const std::wstring& DriveLetters);

  // File-reference sections.
  void ScanSharedDlls();
  void ScanFonts();
  void ScanHelpFiles();
  void ScanStartup();
  void ScanRunKey(const std::wstring& Root, const std::wstring& Key);
  void ScanServices();
  void ScanInstaller();
  void ScanOpenWithApps();

  // Orphan and empty-key sections.
  void ScanStartMenuOrder();
  void ScanObsoleteSoftware();
  void ScanFileExtensions();
  void ScanUninstall();
  void ScanEmptyUninstallEntries();
  void ScanEmptyRegistryKeys();
  // 0 when the key is empty: no value, and no subkey or one empty subkey. A
  // key that cannot be read counts as not empty.
  int CountTreeValues(HKEY Root, const std::wstring& SubKey);
  void ScanEmptyKeys(const std::wstring& Root, const std::wstring& SubKey, int Id);
  void ScanEmptyUserKeys(const std::wstring& Root, const std::wstring& SubKey);
  bool IsEmptyKeyReportable(const std::wstring& Path, int Id) const;

  // COM sections.
  void ScanCustomControls();
  void ScanActiveX();
  bool IsHklmScanSelected() const;
  void ScanClsidTree(const std::wstring& Root, const std::wstring& Base, const std::wstring& Name);
  void ScanInterfaceTypeLibs();
  void ScanClsidAppIds();

  // Shortcut, sound and history sections.
  void ScanShortcuts();
  void ScanShortcutFolder(const std::wstring& Folder);
  void ScanSoundEvents();
  void ScanSoundKey(const std::wstring& Root, const std::wstring& Base, const std::wstring& Name);
  void ScanMruLists();

  // The removable-drive test: a path on A: or B: while that drive is not
  // ready counts as missing (only when removable media are not judged).
  bool IsOnUnreadyDrive(const std::wstring& Path) const;
  TPathKind PathKind(const std::wstring& Path) const { return FFileSystem->Kind(Path); }

  std::wstring FDriveLetters;  // lower-case letters of the drives judged at all
  bool FIsWow64 = false;
  bool FIsWin7OrLater = false;
  bool FIsWin8OrLater = false;
  bool FIncludeRemoveMedia = false;
  int FWindowsVersion = 0;  // the version code
  int FCurrentSection = 0;

 private:
  friend const TScanSection* FindScanSection(int id);
  static const TScanSection Sections[];

  struct TTreeWalk;
  void ScanTreeKey(const TTreeWalk& walk, const sys::RegistryKey& key, const std::wstring& subKey);

  void ScanStartupReg();
  void ScanOpenWithCommands(const sys::RegistryKey& key, const std::wstring& path);
  int CountOpenKeyValues(const sys::RegistryKey& key);
  void ScanEmptyKeysOf(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& subKey, int id);
  void ScanEmptyUserKeysOf(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& subKey);
  void ScanMachineClasses();
  void ScanUserFileExts();
  void ScanClsidKey(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& path);
  void ScanShortcut(const std::wstring& file);
  void ScanSoundKeyOf(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& path,
                      const std::wstring& name);
  void ScanOpenSaveMru();
  void ScanUserAssist();

  void SyncNop() {}
  void NotifySectionDone();
  void RunSections();
  void Post(UINT message);

  std::shared_ptr<const TPathFileSystem> FFileSystem;
  std::shared_ptr<TScanShared> FShared;
  std::shared_ptr<TScanPoster> FPoster;
  std::wstring FProblem;
  // The keys the filter of the rows opened last, for the next row of the
  // same branch; emptied after every section.
  core::guard::KeyChain FFixChain;
};

// "3" -> 3; anything that is not a whole decimal number -> 0.
int SectionIdFromText(const std::wstring& text);

}  // namespace registry
