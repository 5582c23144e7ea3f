// What the cleaner page asks of the machine and the user before a run, and
// how it makes the run's services; tests replace any of these.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "cleaner/ProgressThread.h"

namespace app {

class ICleanerEnvironment {
 public:
  virtual ~ICleanerEnvironment() = default;
  virtual bool IsProcessRunning(const std::wstring& exeName) = 0;
  virtual bool WindowClassExists(const wchar_t* windowClass) = 0;
  // Shows the "Run Cleaner" confirmation; returns IDYES or another answer.
  virtual int AskBeforeClean(HWND owner) = 0;
  // Fills in services the page does not set itself (tests: routines, deleter...).
  virtual void CompleteServices(cleaner::CleanServices& services) = 0;
  // Chooses the file a log is saved to; empty when cancelled.
  virtual std::wstring ChooseSaveFile(HWND owner) = 0;
};

// The machine and the user as they are.
class SystemCleanerEnvironment : public ICleanerEnvironment {
 public:
  bool IsProcessRunning(const std::wstring& exeName) override;
  bool WindowClassExists(const wchar_t* windowClass) override;
  int AskBeforeClean(HWND owner) override;
  void CompleteServices(cleaner::CleanServices&) override {}
  std::wstring ChooseSaveFile(HWND owner) override;
};

// The file name a log export writes: ".txt" is appended unless the name
// already ends in exactly ".txt".
std::wstring LogExportFileName(const std::wstring& chosen);
// Writes the log export: two header lines, an empty line, then the log.
bool WriteLogExport(const std::wstring& path, const std::vector<std::wstring>& lines, std::wstring* why = nullptr);
// Adds one line at the end of a log file, made when missing.
bool AppendLogLine(const std::wstring& path, const std::wstring& line);

}  // namespace app
