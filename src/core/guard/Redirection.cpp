#include "core/guard/Redirection.h"

#include <windows.h>

namespace core {
namespace guard {
namespace {

using DisableFn = BOOL(WINAPI*)(PVOID*);
using EnableFn = BOOLEAN(WINAPI*)(BOOLEAN);
using RevertFn = BOOL(WINAPI*)(PVOID);

FARPROC Kernel32(const char* name) { return ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name); }

}  // namespace

ThreadRedirection::ThreadRedirection(Mode mode, bool apply) {
  static auto disable = reinterpret_cast<DisableFn>(Kernel32("Wow64DisableWow64FsRedirection"));
  static auto enable = reinterpret_cast<EnableFn>(Kernel32("Wow64EnableWow64FsRedirection"));
  if (!apply || disable == nullptr || (mode == Default && enable == nullptr)) return;
  saved_ = disable(&previous_) != FALSE;
  if (saved_ && mode == Default) enable(TRUE);
}

ThreadRedirection::~ThreadRedirection() {
  static auto revert = reinterpret_cast<RevertFn>(Kernel32("Wow64RevertWow64FsRedirection"));
  if (saved_ && revert != nullptr) revert(previous_);
}

}  // namespace guard
}  // namespace core
