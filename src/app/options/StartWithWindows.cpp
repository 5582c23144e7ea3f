#include "app/options/StartWithWindows.h"

#include "app/options/OptionsModel.h"
#include "core/guard/RegistryGuard.h"
#include "ui/RegistryKey.h"

namespace app {

bool ReadAutoStart() {
  ui::RegistryKey key;
  std::wstring value;
  return key.Open(HKEY_CURRENT_USER, kRunKey) && key.ReadString(kRunValueName, &value) && IsAutoStartValue(value);
}

bool WriteAutoStart(bool on, const std::wstring& programPath, std::wstring* error) {
  if (!on) {
    LONG rc = core::guard::DeleteOneValue(HKEY_CURRENT_USER, kRunKey, kRunValueName);
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return true;
    *error = L"Failed to delete the value \"" + std::wstring(kRunValueName) + L"\" of HKEY_CURRENT_USER\\" + kRunKey +
             L" (error " + std::to_wstring(rc) + L").";
    return false;
  }
  ui::RegistryKey key;
  if (key.Create(HKEY_CURRENT_USER, kRunKey, KEY_SET_VALUE) && key.WriteString(kRunValueName, RunValueText(programPath)))
    return true;
  *error = L"Failed to set the value \"" + std::wstring(kRunValueName) + L"\" of HKEY_CURRENT_USER\\" + kRunKey + L".";
  return false;
}

}  // namespace app
