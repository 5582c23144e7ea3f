// Which routine a clean item caption runs. The item catalogue registers a
// routine per caption into the program's table; a caption without one runs
// a section of an item data file.
#pragma once
#include <functional>
#include <map>
#include <string>

namespace cleaner {

class TClearTaskThread;

using ItemRoutine = std::function<void(TClearTaskThread& thread)>;

enum class DataFile { Kavo, Custom };
// Runs `section` of kavo.dat or Custom.dat as one item.
using DataFileRoutine = std::function<void(TClearTaskThread& thread, DataFile file, const std::wstring& section)>;

// The one section of Custom.dat.
extern const wchar_t kCustomListSection[];

class ItemRoutineTable {
 public:
  // Captions are matched exactly, letter case included. A later registration
  // of the same caption replaces the earlier one.
  void Register(const std::wstring& caption, ItemRoutine routine);
  void SetDataFileRoutine(DataFileRoutine routine) { dataFile_ = std::move(routine); }

  const ItemRoutine* Find(const std::wstring& caption) const;
  // Empty until the data-file item is registered; such items then count 0.
  const DataFileRoutine& DataFileHandler() const { return dataFile_; }

  // The program's table: filled once at start, before any clean runs.
  static ItemRoutineTable& Program();

 private:
  std::map<std::wstring, ItemRoutine> routines_;
  DataFileRoutine dataFile_;
};

// What a caption runs, in the order the rules are tried: a custom list, a
// routine of its own, else the kavo.dat section named by the caption's text
// after its first "-" and the one character after it.
struct ResolvedItem {
  const ItemRoutine* routine = nullptr;  // set: run it
  DataFile file = DataFile::Kavo;        // else: this file's
  std::wstring section;                  // section
};
ResolvedItem ResolveCaption(const ItemRoutineTable& table, const std::wstring& caption);

}  // namespace cleaner
