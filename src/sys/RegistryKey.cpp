#include "sys/RegistryKey.h"

#include <algorithm>

namespace sys {

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

std::wstring RegistryValue::Text() const {
  const auto* p = reinterpret_cast<const wchar_t*>(Data);
  size_t chars = Data == nullptr ? 0 : Size / sizeof(wchar_t);
  size_t len = 0;
  while (len < chars && p[len] != L'\0') ++len;
  return std::wstring(p, len);
}

bool RegistryKey::Open(HKEY root, const std::wstring& path, REGSAM access) {
  Close();
  if (root == nullptr) return false;
  const wchar_t* sub = path.c_str();
  if (*sub == L'\\') ++sub;
  return ::RegOpenKeyExW(root, sub, 0, access, &key_) == ERROR_SUCCESS || (key_ = nullptr, false);
}

bool RegistryKey::Create(HKEY root, const std::wstring& path, REGSAM access) {
  Close();
  LONG rc = ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_, nullptr);
  if (rc != ERROR_SUCCESS) key_ = nullptr;
  return rc == ERROR_SUCCESS;
}

void RegistryKey::Close() {
  if (key_ != nullptr) ::RegCloseKey(key_);
  key_ = nullptr;
}

bool RegistryKey::ReadRaw(const std::wstring& name, DWORD* type, std::vector<BYTE>* data) const {
  if (key_ == nullptr) return false;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (::RegQueryValueExW(key_, name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
    data->resize(size);
    LONG rc = ::RegQueryValueExW(key_, name.c_str(), nullptr, type, size ? data->data() : nullptr, &size);
    if (rc == ERROR_SUCCESS) {
      data->resize(size);
      return true;
    }
    if (rc != ERROR_MORE_DATA) return false;  // the value grew meanwhile: ask again
  }
  return false;
}

bool RegistryKey::ReadString(const std::wstring& name, std::wstring* value) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRaw(name, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  size_t chars = data.size() / sizeof(wchar_t);
  const auto* p = reinterpret_cast<const wchar_t*>(data.data());
  size_t len = 0;
  while (len < chars && p[len] != L'\0') ++len;
  value->assign(p, len);
  return true;
}

bool RegistryKey::ReadDword(const std::wstring& name, DWORD* value) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRaw(name, &type, &data) || type != REG_DWORD || data.size() < sizeof(DWORD)) return false;
  *value = *reinterpret_cast<const DWORD*>(data.data());
  return true;
}

bool RegistryKey::ValueExists(const std::wstring& name) const {
  return key_ != nullptr && ::RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegistryKey::WriteString(const std::wstring& name, const std::wstring& value, DWORD type) {
  const auto* bytes = reinterpret_cast<const BYTE*>(value.c_str());
  return key_ != nullptr && ::RegSetValueExW(key_, name.c_str(), 0, type, bytes,
                                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryKey::WriteDword(const std::wstring& name, DWORD value) {
  return key_ != nullptr &&
         ::RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
             ERROR_SUCCESS;
}

bool RegistryKey::WriteRaw(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  return key_ != nullptr && ::RegSetValueExW(key_, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                                             static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::wstring& name) {
  return key_ != nullptr && ::RegDeleteValueW(key_, name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::wstring> RegistryKey::SubKeyNames() const {
  std::vector<std::wstring> names;
  if (key_ == nullptr) return names;
  wchar_t buf[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    LONG rc = ::RegEnumKeyExW(key_, i, buf, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) names.emplace_back(buf, len);
    else if (rc != ERROR_MORE_DATA) break;
  }
  return names;
}

std::vector<std::wstring> RegistryKey::ValueNames() const {
  std::vector<std::wstring> names;
  if (key_ == nullptr) return names;
  DWORD maxLen = 0;
  ::RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLen, nullptr, nullptr,
                     nullptr);
  std::wstring buf(maxLen + 2, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD len = static_cast<DWORD>(buf.size());
    LONG rc = ::RegEnumValueW(key_, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA) {  // a longer name appeared meanwhile
      buf.resize(buf.size() * 2 + 256);
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(buf.data(), len);
  }
  return names;
}

bool RegistryKey::Counts(DWORD* subKeys, DWORD* values) const {
  return key_ != nullptr && ::RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values,
                                               nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void RegistryKey::ForEachValue(const std::function<bool(const RegistryValue&)>& visit) const {
  if (key_ == nullptr) return;
  // Most values fit these; a larger one makes us ask the key for its sizes.
  std::wstring name(256, L'\0');
  std::vector<BYTE> data(2048);
  int retries = 0;
  for (DWORD i = 0;;) {
    DWORD nameLen = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    LONG rc = ::RegEnumValueW(key_, i, &name[0], &nameLen, nullptr, &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA && ++retries < 4) {
      DWORD maxName = 0, maxData = 0;
      ::RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                         nullptr, nullptr);
      name.resize(std::max<size_t>(name.size() * 2, maxName + 1));
      data.resize(std::max<size_t>(data.size() * 2, std::max<size_t>(maxData, size) + sizeof(wchar_t)));
      continue;
    }
    if (rc != ERROR_SUCCESS) return;
    retries = 0;
    std::wstring valueName(name.data(), nameLen);
    if (!visit(RegistryValue{valueName, type, data.data(), size})) return;
    ++i;
  }
}

}  // namespace sys
