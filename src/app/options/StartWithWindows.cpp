#include "app/options/StartWithWindows.h"

#include "app/options/OptionsModel.h"
#include "registry/fix/FixDelete.h"
#include "ui/RegistryKey.h"

namespace app {

bool ReadAutoStart() {
  ui::RegistryKey key;
  std::wstring value;
  return key.Open(HKEY_CURRENT_USER, kRunKey) && key.ReadString(kRunValueName, &value) && IsAutoStartValue(value);
}

bool WriteAutoStart(bool on, const std::wstring& programPath, std::wstring* error) {
  if (!on) {
    // Our own value, removed through the guarded registry delete without a backup.
    registry::TDeleteResult r =
        registry::DeleteValueWithBackup(L"HKEY_CURRENT_USER", kRunKey, false, kRunValueName, L"");
    if (r.Deleted() || r.Status == registry::dsMissing) return true;
    *error = L"Failed to delete the value \"" + std::wstring(kRunValueName) + L"\" of HKEY_CURRENT_USER\\" + kRunKey +
             L": " + r.Reason;
    return false;
  }
  ui::RegistryKey key;
  if (key.Create(HKEY_CURRENT_USER, kRunKey, KEY_SET_VALUE) && key.WriteString(kRunValueName, RunValueText(programPath)))
    return true;
  *error = L"Failed to set the value \"" + std::wstring(kRunValueName) + L"\" of HKEY_CURRENT_USER\\" + kRunKey + L".";
  return false;
}

}  // namespace app
