// One finding of the registry scan, as the registry page lists, filters and
// fixes it.
#pragma once
#include <string>

namespace registry {

// What the fix deletes for a row; stored with the row, never shown.
enum TFixKind {
  fkDeleteKey = 0,              // the key in Registry key, with its subkeys
  fkDeleteValue = 1,            // the value named by the last part of Registry key
  fkDeleteNamedValue = 2,       // the value named in Data, in the key Registry key
  fkDeleteSubKey = 3,           // the subkey named in Data, below Registry key
  fkDeleteFile = 4,             // the shortcut file in Registry key
  fkDeleteDefaultValue = 5,     // the default value of Registry key
  fkDeleteUserAssistValue = 6,  // the UserAssist value whose decoded name is Data
};

struct TProblemRow {
  std::wstring Problem;      // the section's problem text
  std::wstring Data;         // the bad path, or the value or subkey concerned
  std::wstring RegistryKey;  // full key path ("HKEY_..."), or a shortcut file
  TFixKind FixKind = fkDeleteKey;

  bool operator==(const TProblemRow& o) const {
    return Problem == o.Problem && Data == o.Data && RegistryKey == o.RegistryKey && FixKind == o.FixKind;
  }
  bool operator<(const TProblemRow& o) const;
};

// A bad registry value as most sections report it. A value name holding a
// backslash cannot be the last part of a key path, so such a value is named
// in Data instead.
TProblemRow MakeValueProblemRow(const std::wstring& problem, const std::wstring& keyPath,
                                const std::wstring& valueName, const std::wstring& data);

}  // namespace registry
