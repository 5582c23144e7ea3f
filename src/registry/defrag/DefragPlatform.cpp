#include "registry/defrag/DefragPlatform.h"

namespace registry {
namespace {

class RealPlatform : public IDefragPlatform {
 public:
  LONG ReplaceKey(const core::HiveTarget& hive, const std::wstring& newFile, const std::wstring& oldFile) override {
    if (hive.root == nullptr) return ERROR_INVALID_PARAMETER;
    // The hive's own key, so that a 32-bit process reaches the 64-bit
    // SOFTWARE hive rather than its redirected view.
    HKEY key = nullptr;
    REGSAM access = MAXIMUM_ALLOWED | (hive.view64 ? KEY_WOW64_64KEY : 0);
    LONG rc = ::RegOpenKeyExW(hive.root, hive.subKey.c_str(), 0, access, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = ::RegReplaceKeyW(key, nullptr, newFile.c_str(), oldFile.c_str());
    ::RegCloseKey(key);
    return rc;
  }

  bool RestartWindows() override {
    EnableShutdownPrivilege();
    return ::ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MINOR_MAINTENANCE) != FALSE;
  }
};

}  // namespace

bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = ::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid) &&
            ::AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) && ::GetLastError() == ERROR_SUCCESS;
  ::CloseHandle(token);
  return ok;
}

std::shared_ptr<IDefragPlatform> RealDefragPlatform() { return std::make_shared<RealPlatform>(); }

}  // namespace registry
