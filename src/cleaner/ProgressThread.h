// The clean thread: one run of the cleaner over a list of clean item
// captions, as a test (count only) or a real clean. It writes the run's log,
// keeps per-item and run totals, and reports to the main window by posted
// messages. The deletion primitives the item routines share are here too.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cleaner/CleanSeams.h"
#include "cleaner/ItemRoutines.h"
#include "cleaner/PathGuard.h"
#include "core/WindowMessages.h"
#include "sys/Thread.h"

namespace cleaner {

// What the thread posts to the main window (numbers: core/WindowMessages.h).
using core::WM_CLEANFAILED;
using core::WM_CLEANFINISHED;
using core::WM_CLEANPROGRESS;

enum class CleanMode : int {
  RealClean = 0,       // the real clean after the counting pass
  AutoClean = 1,       // schedule, end of session, command line: nobody to ask
  Test = 2,            // analyse only; also the counting pass
  CleanRequested = 3,  // the window's state before its counting pass
};

// The options a run reads; taken when the thread is created.
struct CleanSettings {
  bool FastScan = false;  // no per-entry log lines
  bool IsWipeFile = false;
  int WipeNumber = 1;  // passes, 1 to 10
  bool ShowLogTempInternetFiles = false;
  bool ShowLogRecycleBin = false;
};

// The settings of the options record as they stand now.
CleanSettings CleanSettingsFromOptions();

// The seams of a run; whatever is left empty gets the real implementation.
struct CleanServices {
  std::shared_ptr<ILogSink> log;            // default: no log
  std::shared_ptr<IMessagePoster> poster;   // default: posts to FMainHandle as it stands then
  std::shared_ptr<IClock> clock;
  std::shared_ptr<IQuestionAsker> asker;
  std::shared_ptr<IDeleter> deleter;        // never used by a test run
  std::shared_ptr<const PathGuard> guard;   // default: this system's folders, built at the start of the run
  const ItemRoutineTable* routines = nullptr;  // default: the program's table
};

class TClearTaskThread : public sys::Thread {
 public:
  // The mode is fixed here: nothing done later to the window that started the
  // run can turn a test into a deletion. Any mode but 0 and 1 runs as a test.
  TClearTaskThread(CleanMode mode, const CleanSettings& settings, CleanServices services = {});
  ~TClearTaskThread() override;

  // Set by the creator before Start.
  HWND FMainHandle = nullptr;
  std::vector<std::wstring> FItems;
  // What the counting pass found (0: unknown). The page draws the bar as
  // running count * 1000 / this total; the first posts follow each entry
  // until the bar shows more than 0.
  int FExpectedTotal = 0;

  // The current item, filled by its routine.
  int FItemCount = 0;
  std::wstring FItemSizeText = L"0";
  int64_t FItemBytes = 0;
  std::wstring FWorkPath;
  int FItemFailed = 0;  // entries that could not be removed
  bool FItemUnavailable = false;
  int FItemRefused = 0;  // entries a guard refused

  // The run's totals over the finished items.
  int FTotalItems = 0;
  int64_t FTotalBytes = 0;
  int FTotalFailed = 0;   // failed or refused entries: an unattended run reports them in its exit code

  CleanMode Mode() const { return mode_; }
  bool IsTest() const { return mode_ == CleanMode::Test; }
  const CleanSettings& Settings() const { return settings_; }
  const std::wstring& Prefix() const { return FPrefix; }
  const PathGuard& Guard() const { return *services_.guard; }

  void AddLog(const std::wstring& line);
  // The running item has no routine yet: the log says so, and the item's end
  // gives no count that would pass for "nothing found".
  void ItemNotAvailable(const std::wstring& caption);
  // Scrolls the log to its end now (n = 0) or every n/2-th call in a clean and
  // every n-th call in a test.
  void ScrollLog(int n);
  // After an entry was counted: posts progress when more than 2 seconds have
  // passed since the last post, or at once when no progress above 0 was
  // posted yet in the run.
  void ProgressTick(int runningCount);
  // Where the page draws the bar for a running count (0..1000 with a total).
  long long BarPosition(WPARAM count) const;
  // Yes/No question of a real clean; No when the run is unattended.
  bool AskUser(const std::wstring& text, UINT icon = MB_ICONINFORMATION);
  // A notice for the user, shown by whoever asks the thread's questions.
  void TellUser(const std::wstring& text) { services_.asker->Tell(text); }

  // Bytes to KB, rounded up, digits grouped by ",".
  static std::wstring FormatKB(int64_t bytes);

  // Deletion primitives. Each counts in a test and deletes in a clean, writes
  // its per-entry lines, and returns the bytes (or registry entries) removed.
  int64_t DeleteFolderFiles(const std::wstring& folder, bool removeFolder, bool logFlag, const std::wstring& excluded,
                            int& count);
  int64_t DeleteSubFolder(const std::wstring& folder, int& count, bool logFlag, const std::wstring& excluded);
  int64_t DeleteFilesByMask(const std::wstring& folder, const std::wstring& mask, int& count, bool recursive);
  // A data-file entry's folder with its mask (empty or "*.*": the whole
  // folder), judged by the data-file rule on the folder as pinned.
  int64_t DeleteDataFileEntry(const std::wstring& folder, const std::wstring& mask, bool removeFolder, int& count);
  // Empties a folder tree but keeps every file whose name holds `spared`
  // (letter case ignored); folders go only with `removeFolder`, once empty.
  int64_t EmptyFolderExcept(const std::wstring& folder, bool removeFolder, int& count, const std::wstring& spared);
  // One file named by the user or a data file. Whatever an item lists
  // itself goes through the entries of its pinned listing below.
  bool DeleteOneFile(const std::wstring& path, bool logFlag);

  // An item that lists a folder itself: the folder it names, pinned and
  // judged (null when refused or missing, the log says why); then each entry
  // of core::guard::ListPinned goes through these, never through its path.
  std::unique_ptr<core::guard::FolderPin> PinItemFolder(const std::wstring& folder);
  bool DeletePinnedFile(const core::guard::ListedEntry& entry, bool logFlag);
  // A listed sub-folder, emptied and removed.
  int64_t DeleteListedFolder(const core::guard::ListedEntry& entry, bool logFlag, int& count);
  // "skipping <folder> (the folder was replaced after it was listed)".
  void LogReplacedFolder(const std::wstring& folder);
  // The files `mask` selects in a pinned folder (and below it with `recursive`).
  int64_t DeletePinnedByMask(core::guard::FolderPin& folder, const std::wstring& mask, int& count, bool recursive);
  // A folder pinned from a listing (core::guard::PinBelow), emptied and kept.
  int64_t EmptyPinnedFolder(core::guard::FolderPin& folder, bool logFlag, int& count);
  int DeleteRegKeyByName(const std::wstring& rootName, const std::wstring& key);
  int DeleteRegKey(HKEY root, const std::wstring& key);
  int DeleteRegValuesByName(const std::wstring& rootName, const std::wstring& key, const std::wstring& value);
  int DeleteRegValues(HKEY root, const std::wstring& key, const std::wstring& value);

 protected:
  void Execute() override;

 private:
  struct Walk;  // one folder walk's settings

  void PrepareServices();
  void RunItems();
  void RunItem(const std::wstring& caption);
  void BeginItem();
  void EndItem();
  void Post(UINT msg, WPARAM wParam);

  bool Live() const { return !IsTest(); }
  // What became of one file a primitive asked to delete.
  enum class FileOutcome { Deleted, Left, FolderReplaced };
  int64_t EmptyFolder(const std::wstring& folder, DeleteReach reach, const Walk& walk, int& count);
  std::unique_ptr<core::guard::FolderPin> PinFolder(const std::wstring& folder, DeleteReach reach, const Walk& walk,
                                                    CheckedFolder* checked);
  bool PassesDataFileRule(const core::guard::FolderPin& pin, const std::wstring& mask, CheckedFolder* checked);
  void RemoveFolderLink(const core::guard::ListedEntry& entry, const Walk& walk);
  FileOutcome DeleteListedFile(const core::guard::ListedEntry& entry, bool logFlag);
  FileOutcome DeleteListedFile(const std::wstring& folder, const std::wstring& name,
                               const core::guard::ListedEntry* entry, bool logFlag);
  int64_t EmptyPinned(core::guard::FolderPin& folder, const std::wstring& key, const Walk& walk, int& count,
                      bool removeIt);
  int64_t EmptyJudgedPin(core::guard::FolderPin& folder, const Walk& walk, int& count);
  int64_t WalkFolder(const core::guard::FolderPin& folder, const std::wstring& key, const Walk& walk, int& count,
                     bool* replaced);
  int64_t WalkSubFolder(const core::guard::ListedEntry& entry, const std::wstring& key, const Walk& walk, int& count);
  static std::wstring Question(const Walk& walk, const std::wstring& folder);
  bool PassesGuard(const CheckedFolder& checked, const std::wstring& question, UINT icon);
  bool PassesGuard(PathVerdict verdict, const std::wstring& path, const std::wstring& question, UINT icon);
  void RefuseRegLink(const std::wstring& shown);
  int DeleteKey(HKEY root, const std::wstring& rootName, const std::wstring& key);
  int DeleteValues(HKEY root, const std::wstring& rootName, const std::wstring& key, const std::wstring& value);

  const CleanMode mode_;
  const CleanSettings settings_;
  CleanServices services_;
  std::wstring FPrefix;
  std::wstring FVerbText;
  DWORD FLastPost = 0;
  bool FBarMoved = false;  // a post in this run moved the bar above 0
  int FScrollCounter = 0;
  std::set<std::wstring> FFollowedLinks;  // links on the way to a folder, logged once a run
};

}  // namespace cleaner
