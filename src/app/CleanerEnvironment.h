// What the cleaner page asks of the machine and the user before a run, and
// how it makes the run's services; tests replace any of these.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "cleaner/ProgressThread.h"

namespace app {

struct CleanerEnvironment {
  std::function<bool(const std::wstring& exeName)> isProcessRunning;
  std::function<bool(const wchar_t* windowClass)> windowClassExists;
  // Shows the "Run Cleaner" confirmation; returns IDYES or another answer.
  std::function<int(HWND owner)> askBeforeClean;
  // Fills in services the page does not set itself (tests: routines, deleter...).
  std::function<void(cleaner::CleanServices&)> completeServices;
  // Chooses the file a log is saved to; empty when cancelled.
  std::function<std::wstring(HWND owner)> chooseSaveFile;

  static CleanerEnvironment Real();
};

// The file name a log export writes: ".txt" is appended unless the name
// already ends in exactly ".txt".
std::wstring LogExportFileName(const std::wstring& chosen);
// Writes the log export: two header lines, an empty line, then the log.
bool WriteLogExport(const std::wstring& path, const std::vector<std::wstring>& lines);

}  // namespace app
