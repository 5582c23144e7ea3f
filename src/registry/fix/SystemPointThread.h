// Asking System Restore for a restore point, on a worker thread, through
// SRSetRestorePointA of SrClient.dll looked up at run time.
#pragma once
#include <windows.h>

#include <string>

#include "core/WindowMessages.h"
#include "sys/Thread.h"

namespace registry {

// Posted to the restore-point dialog (number: core/WindowMessages.h).
using core::WM_RESTOREPOINTDONE;

constexpr DWORD kBeginSystemChange = 100;  // the request's event type
constexpr DWORD kApplicationInstall = 0;   // the restore point's type
constexpr size_t kRestorePointDescriptionSize = 64;

// System Restore's request and status records, packed as it publishes them.
#pragma pack(push, 1)
struct TRestorePointInfoA {
  DWORD dwEventType;
  DWORD dwRestorePtType;
  INT64 llSequenceNumber;
  CHAR szDescription[kRestorePointDescriptionSize];
};
struct TStateMgrStatus {
  DWORD nStatus;
  INT64 llSequenceNumber;
};
#pragma pack(pop)
static_assert(sizeof(TRestorePointInfoA) == 80, "System Restore reads an 80-byte request");
static_assert(sizeof(TStateMgrStatus) == 12, "System Restore writes a 12-byte status");

using TSRSetRestorePointA = BOOL(WINAPI*)(TRestorePointInfoA*, TStateMgrStatus*);

// The program's one request: begin a system change, an application install,
// sequence 0, described as "Made by Vantorel".
TRestorePointInfoA MakeRestorePointRequest();

// SrClient.dll in the system folder, unless tests named another library.
std::wstring SystemRestoreLibraryPath();
// An empty path restores the system's library.
void SetSystemRestoreLibraryPath(const std::wstring& path);

class TCreateSystemPointThread : public sys::Thread {
 public:
  explicit TCreateSystemPointThread(std::wstring libraryPath) : FLibraryPath(std::move(libraryPath)) {}
  HWND FFormHandle = nullptr;  // receives WM_RESTOREPOINTDONE

 protected:
  // Exactly one WM_RESTOREPOINTDONE: a library or entry point that is
  // missing fails at once rather than leaving the dialog waiting.
  void Execute() override;

 private:
  bool CreatePoint();
  std::wstring FLibraryPath;
};

}  // namespace registry
