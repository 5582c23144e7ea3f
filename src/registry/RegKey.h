// The registry as the scanner reads it: keys opened for reading only, closed
// by their owner, values read as text only when they are REG_SZ or
// REG_EXPAND_SZ, roots named by their full upper-case names.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/RegistryKey.h"

namespace registry {

// The root of a full root name ("HKEY_LOCAL_MACHINE", any case); nullptr for
// any other text, short forms included.
HKEY RootFromName(const std::wstring& name);
// "HKEY_CURRENT_USER" and so on; empty for a handle that is not a root.
std::wstring RootName(HKEY root);
// parent + "\" + child, without doubling a backslash or leading with one.
std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child);

// One value as enumeration hands it over; valid during the callback only.
struct TRegValue {
  const std::wstring& Name;
  DWORD Type;
  const BYTE* Data;
  DWORD Size;

  bool IsText() const { return Type == REG_SZ || Type == REG_EXPAND_SZ; }
  // The text up to its first NUL; an odd last byte is ignored.
  std::wstring Text() const;
};

class TRegKey {
 public:
  // KEY_READ only. A leading backslash of `path` is ignored.
  bool Open(HKEY root, const std::wstring& path);
  bool Open(const std::wstring& rootName, const std::wstring& path);
  // A subkey of an open key: one step, where a path from the root costs a
  // lookup per level.
  bool Open(const TRegKey& parent, const std::wstring& name);
  void Close() { key_.Close(); }
  bool IsOpen() const { return key_.IsOpen(); }
  HKEY Handle() const { return key_.Handle(); }

  // False when the value is missing or not REG_SZ / REG_EXPAND_SZ.
  bool ReadText(const std::wstring& name, std::wstring* text) const;
  // False when the value is missing or not REG_DWORD.
  bool ReadDword(const std::wstring& name, DWORD* value) const;
  bool Counts(DWORD* subKeys, DWORD* values) const;
  std::vector<std::wstring> SubKeyNames() const { return key_.SubKeyNames(); }

  // Visits the values in the registry's order, name, type and data in one
  // call each; stops early when `visit` returns false.
  void ForEachValue(const std::function<bool(const TRegValue&)>& visit) const;

 private:
  ui::RegistryKey key_;
};

}  // namespace registry
