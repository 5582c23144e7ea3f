#include "registry/fix/SystemPointThread.h"

#include <cstring>
#include <mutex>

#include "core/Paths.h"

namespace registry {
namespace {

std::mutex g_pathMutex;
std::wstring g_libraryPath;

constexpr char kDescription[] = "Made by Vantorel";

}  // namespace

TRestorePointInfoA MakeRestorePointRequest() {
  TRestorePointInfoA info;
  std::memset(&info, 0, sizeof(info));
  info.dwEventType = kBeginSystemChange;
  info.dwRestorePtType = kApplicationInstall;
  info.llSequenceNumber = 0;
  std::memcpy(info.szDescription, kDescription, sizeof(kDescription));
  return info;
}

std::wstring SystemRestoreLibraryPath() {
  {
    std::lock_guard<std::mutex> lock(g_pathMutex);
    if (!g_libraryPath.empty()) return g_libraryPath;
  }
  // A full path: a library of that name beside the program is never loaded.
  wchar_t system[MAX_PATH] = {};
  UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return core::JoinPath(std::wstring(system, n), L"SrClient.dll");
}

void SetSystemRestoreLibraryPath(const std::wstring& path) {
  std::lock_guard<std::mutex> lock(g_pathMutex);
  g_libraryPath = path;
}

void TCreateSystemPointThread::Execute() {
  bool made = false;
  try {
    made = CreatePoint();
  } catch (...) {
    made = false;
  }
  ::PostMessageW(FFormHandle, WM_RESTOREPOINTDONE, 0, made ? 0 : 1);
}

bool TCreateSystemPointThread::CreatePoint() {
  if (FLibraryPath.empty()) return false;
  HMODULE library = ::LoadLibraryW(FLibraryPath.c_str());
  if (library == nullptr) return false;
  auto setPoint = reinterpret_cast<TSRSetRestorePointA>(::GetProcAddress(library, "SRSetRestorePointA"));
  bool made = false;
  if (setPoint != nullptr) {
    TRestorePointInfoA info = MakeRestorePointRequest();
    TStateMgrStatus status;
    std::memset(&status, 0, sizeof(status));
    made = setPoint(&info, &status) != FALSE;
  }
  ::FreeLibrary(library);
  return made;
}

}  // namespace registry
