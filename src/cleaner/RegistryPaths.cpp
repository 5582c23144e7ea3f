#include "cleaner/RegistryPaths.h"

#include "sys/RegistryKey.h"

namespace cleaner {

bool RegKeyExists(HKEY root, const std::wstring& key) {
  sys::RegistryKey k;
  return k.Open(root, key, KEY_READ);
}

int CountRegValues(HKEY root, const std::wstring& key) {
  if (IsRegLink(root, key)) return 0;
  sys::RegistryKey k;
  if (!k.Open(root, key, KEY_READ)) return 0;
  DWORD values = 0;
  if (::RegQueryInfoKeyW(k.Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  int count = static_cast<int>(values);
  for (const auto& sub : k.SubKeyNames()) count += CountRegValues(root, key + L"\\" + sub);
  return count;
}

bool DeleteRegKeyTree(HKEY root, const std::wstring& key) {
  LONG rc = core::guard::DeleteKeyTree(root, key, core::guard::LinkBelow::RemoveLink);
  return rc == ERROR_SUCCESS || (rc == ERROR_FILE_NOT_FOUND && !RegKeyExists(root, key));
}

}  // namespace cleaner
