#include "cleaner/items/ItemSteps.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include "cleaner/ProgressThread.h"
#include "cleaner/SystemPaths.h"
#include "core/Paths.h"
#include "core/RegistryRead.h"

namespace cleaner {
namespace {

const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring WithSlash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

using DirectoryFn = UINT(WINAPI*)(LPWSTR, UINT);

std::wstring SystemFolder(DirectoryFn fn) {
  wchar_t buf[MAX_PATH + 1] = {};
  UINT n = fn(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? WithSlash(std::wstring(buf, n)) : std::wstring();
}

std::wstring TempFolder() {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = ::GetTempPathW(MAX_PATH, buf);
  return n > 0 && n < MAX_PATH ? WithSlash(std::wstring(buf, n)) : std::wstring();
}

}  // namespace

std::wstring StartFolder(StepBase base) {
  switch (base) {
    case StepBase::Registry:
      return std::wstring();
    case StepBase::AppData:
      return core::GetAppDataPath();
    case StepBase::LocalAppData:
      return WithSlash(core::ReadRegString(HKEY_CURRENT_USER, kShellFolders, L"Local AppData"));
    case StepBase::ProgramFiles:
      return WithSlash(GetProgramFilesDir());
    case StepBase::Profile:
      return GetUserProfilePath();
    case StepBase::Recent:
      // The browser session keeps the recent list open; end it first.
      ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
      return SpecialFolderPath(CSIDL_RECENT);
    case StepBase::Temp:
      return TempFolder();
    case StepBase::Windows:
      return SystemFolder(&::GetWindowsDirectoryW);
    case StepBase::System:
      return SystemFolder(&::GetSystemDirectoryW);
  }
  return std::wstring();
}

std::wstring Under(const std::wstring& folder, const std::wstring& rest) {
  return folder.empty() ? std::wstring() : WithSlash(folder) + rest;
}

bool FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

int64_t RunFileStep(TClearTaskThread& t, const ItemStep& step, const std::wstring& folder) {
  switch (step.op) {
    case StepOp::FilesByMask:
      return t.DeleteFilesByMask(folder, step.arg, t.FItemCount, false);
    case StepOp::FilesByMaskRecursive:
      return t.DeleteFilesByMask(folder, step.arg, t.FItemCount, true);
    case StepOp::EmptyFolder:
      return t.DeleteFolderFiles(folder, false, true, std::wstring(), t.FItemCount);
    default:
      return 0;
  }
}

}  // namespace

void RunItemSteps(TClearTaskThread& t, const std::vector<ItemStep>& steps, StepBase gate) {
  if (gate != StepBase::Registry && !FolderExists(StartFolder(gate))) return;
  int64_t bytes = 0;
  for (const ItemStep& step : steps) {
    if (step.op == StepOp::DeleteKey) {
      t.FItemCount += t.DeleteRegKey(HKEY_CURRENT_USER, step.path);
    } else if (step.op == StepOp::DeleteValue) {
      t.FItemCount += t.DeleteRegValues(HKEY_CURRENT_USER, step.path, step.arg);
    } else {
      std::wstring folder = Under(StartFolder(step.base), step.path);
      if (!folder.empty()) bytes += RunFileStep(t, step, folder);
    }
  }
  t.FItemBytes += bytes;
  t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
}

}  // namespace cleaner
