#include "cleaner/PathGuard.h"

#include <windows.h>
#include <shlobj.h>

#include "cleaner/SystemPaths.h"

namespace cleaner {
namespace {

void AddFolder(std::vector<std::wstring>* list, UINT (WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buf[MAX_PATH + 1];
  UINT n = get(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) list->emplace_back(buf, n);
}

// The Public profile: its variable, or the folder above the shared documents.
std::wstring PublicProfilePath() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = ::GetEnvironmentVariableW(L"PUBLIC", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return std::wstring(buf, n);
  std::wstring docs = SpecialFolderPath(CSIDL_COMMON_DOCUMENTS);
  if (docs.size() < 2) return std::wstring();
  return docs.substr(0, docs.find_last_of(L'\\', docs.size() - 2) + 1);
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
  std::wstring windows = SpecialFolderPath(CSIDL_WINDOWS);
  if (!windows.empty()) f.shared.push_back(windows + L"Temp\\");
  f.shared.push_back(SpecialFolderPath(CSIDL_COMMON_APPDATA));
  f.shared.push_back(PublicProfilePath());
  std::wstring docs = GetMyDocumentsPath();
  f.asked.push_back(docs);
  if (!docs.empty()) f.asked.push_back(docs + L"My Pictures\\");
  f.asked.push_back(SpecialFolderPath(CSIDL_MYPICTURES));
  // Empty entries (a folder the shell did not give) fall out when added.
  return f;
}

}  // namespace cleaner
