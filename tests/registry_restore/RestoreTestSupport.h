// Runs the registry editor's import the way a restore does, and waits for it.
#pragma once
#include <windows.h>

#include <string>

#include "registry/restore/Regedit.h"

namespace restore_test {

inline bool RunImport(const std::wstring& commandLine) {
  std::wstring cmd = commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  bool ended = ::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return ended;
}

inline bool ImportFile(const std::wstring& file) { return RunImport(registry::RegeditImportCommand(file)); }

}  // namespace restore_test
