// The end of an unattended "/Clear" run: nobody saw the window, so what it
// did is kept in a log file beside options.ini, and the exit code tells a
// scheduled task how it went.
#include "app/Main.h"

namespace app {

void TfrmMain::WriteUnattendedLog() {
  if (cleanLog_) cleanLog_->Flush();
  std::vector<std::wstring> lines = lMain.Items();
  lines.insert(lines.end(), unattendedLog_.begin(), unattendedLog_.end());
  lines.push_back(L"Exit code: " + std::to_wstring(exitCode_));
  std::wstring options = core::OptionsFilePath(core::DefaultOptionsPaths());
  std::wstring path = options.substr(0, options.find_last_of(L'\\') + 1) + L"Clear.log";
  // Nobody is there to tell when it cannot be written; the exit code still says how the run went.
  WriteLogExport(path, lines);
}

}  // namespace app
