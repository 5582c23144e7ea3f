#include "core/Privileges.h"

#include <windows.h>

namespace core {
namespace {

bool EnablePrivilege(const wchar_t* name) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = ::LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid) &&
            ::AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) &&
            // The call succeeds even when the token does not hold the privilege.
            ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
  ::CloseHandle(token);
  return ok;
}

}  // namespace

bool EnableBackupPrivilege() { return EnablePrivilege(L"SeBackupPrivilege"); }
bool EnableRestorePrivilege() { return EnablePrivilege(L"SeRestorePrivilege"); }

}  // namespace core
