#include "cleaner/PathGuard.h"

#include <windows.h>
#include <shlobj.h>

#include "cleaner/SystemPaths.h"
#include "core/guard/LockedPlaces.h"

namespace cleaner {
namespace {

void AddFolder(std::vector<std::wstring>* list, UINT (WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buf[MAX_PATH + 1];
  UINT n = get(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) list->emplace_back(buf, n);
}

}  // namespace

GuardFolders SystemGuardFolders() {
  GuardFolders f;
  AddFolder(&f.systemTrees, ::GetWindowsDirectoryW);
  AddFolder(&f.systemTrees, ::GetSystemDirectoryW);
  AddFolder(&f.systemTrees, ::GetSystemWow64DirectoryW);
  wchar_t buf[MAX_PATH + 1];
  DWORD n = ::GetEnvironmentVariableW(L"ProgramW6432", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.systemTrees.emplace_back(buf, n);
  f.systemTrees.push_back(GetProgramFilesDir());
  for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
    f.systemTrees.push_back(SpecialFolderPath(csidl));
  }
  for (int csidl : {CSIDL_PROFILE, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA}) {
    f.systemTops.push_back(SpecialFolderPath(csidl));
  }
  f.refused = f.systemTrees;
  f.refused.insert(f.refused.end(), f.systemTops.begin(), f.systemTops.end());
  f.shared = core::guard::SharedFolderPaths();
  std::wstring docs = GetMyDocumentsPath();
  f.asked.push_back(docs);
  if (!docs.empty()) f.asked.push_back(docs + L"My Pictures\\");
  f.asked.push_back(SpecialFolderPath(CSIDL_MYPICTURES));
  // Empty entries (a folder the shell did not give) fall out when added.
  return f;
}

}  // namespace cleaner
