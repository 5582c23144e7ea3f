// An open registry key that closes itself. Keys are opened for reading unless
// the caller asks for more.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace sys {

// One value as enumeration hands it over; valid during the callback only.
struct RegistryValue {
  const std::wstring& Name;
  DWORD Type;
  const BYTE* Data;
  DWORD Size;

  bool IsText() const { return Type == REG_SZ || Type == REG_EXPAND_SZ; }
  // The text up to its first NUL; an odd last byte is ignored.
  std::wstring Text() const;
};

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { Close(); }
  RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // A leading backslash of `path` is ignored: callers write absolute paths so.
  bool Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ);
  // A subkey of an open key: one step, where a path from the root costs a
  // lookup per level.
  bool Open(const RegistryKey& parent, const std::wstring& name, REGSAM access = KEY_READ) {
    return Open(parent.Handle(), name, access);
  }
  // Opens the key, creating it (and its parents) when missing.
  bool Create(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE);
  void Close();
  bool IsOpen() const { return key_ != nullptr; }
  HKEY Handle() const { return key_; }

  // Text of a REG_SZ or REG_EXPAND_SZ value (unexpanded); false for any other type.
  bool ReadString(const std::wstring& name, std::wstring* value) const;
  bool ReadDword(const std::wstring& name, DWORD* value) const;
  // Raw bytes and type of any value.
  bool ReadRaw(const std::wstring& name, DWORD* type, std::vector<BYTE>* data) const;
  bool ValueExists(const std::wstring& name) const;
  bool Counts(DWORD* subKeys, DWORD* values) const;

  bool WriteString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ);
  bool WriteDword(const std::wstring& name, DWORD value);
  bool WriteRaw(const std::wstring& name, DWORD type, const std::vector<BYTE>& data);
  bool DeleteValue(const std::wstring& name);

  // Names are collected first so that callers may delete while they walk.
  std::vector<std::wstring> SubKeyNames() const;
  std::vector<std::wstring> ValueNames() const;
  // Visits the values in the registry's order, name, type and data in one
  // call each; stops early when `visit` returns false.
  void ForEachValue(const std::function<bool(const RegistryValue&)>& visit) const;

 private:
  HKEY key_ = nullptr;
};

}  // namespace sys
