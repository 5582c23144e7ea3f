#include "registry/RegKey.h"

#include <algorithm>

#include "registry/ScanText.h"

namespace registry {
namespace {

struct TRootEntry {
  const wchar_t* Name;
  HKEY Root;
};

const TRootEntry kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

std::wstring WithoutLeadingBackslash(const std::wstring& path) {
  return !path.empty() && path[0] == L'\\' ? path.substr(1) : path;
}

}  // namespace

HKEY RootFromName(const std::wstring& name) {
  std::wstring upper = UpperCase(name);
  for (const auto& r : kRoots)
    if (upper == r.Name) return r.Root;
  return nullptr;
}

std::wstring RootName(HKEY root) {
  for (const auto& r : kRoots)
    if (r.Root == root) return r.Name;
  return {};
}

std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child) {
  std::wstring c = WithoutLeadingBackslash(child);
  if (parent.empty()) return c;
  if (c.empty()) return parent;
  return parent.back() == L'\\' ? parent + c : parent + L"\\" + c;
}

std::wstring TRegValue::Text() const {
  const auto* p = reinterpret_cast<const wchar_t*>(Data);
  size_t chars = Data == nullptr ? 0 : Size / sizeof(wchar_t);
  size_t len = 0;
  while (len < chars && p[len] != L'\0') ++len;
  return std::wstring(p, len);
}

bool TRegKey::Open(HKEY root, const std::wstring& path) {
  if (root == nullptr) {
    Close();
    return false;
  }
  return key_.Open(root, WithoutLeadingBackslash(path), KEY_READ);
}

bool TRegKey::Open(const std::wstring& rootName, const std::wstring& path) {
  return Open(RootFromName(rootName), path);
}

bool TRegKey::Open(const TRegKey& parent, const std::wstring& name) {
  return Open(parent.Handle(), name);
}

bool TRegKey::ReadText(const std::wstring& name, std::wstring* text) const { return key_.ReadString(name, text); }

bool TRegKey::ReadDword(const std::wstring& name, DWORD* value) const { return key_.ReadDword(name, value); }

bool TRegKey::Counts(DWORD* subKeys, DWORD* values) const {
  return IsOpen() && ::RegQueryInfoKeyW(key_.Handle(), nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void TRegKey::ForEachValue(const std::function<bool(const TRegValue&)>& visit) const {
  if (!IsOpen()) return;
  // Most values fit these; a larger one makes us ask the key for its sizes.
  std::wstring name(256, L'\0');
  std::vector<BYTE> data(2048);
  int retries = 0;
  for (DWORD i = 0;;) {
    DWORD nameLen = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    LONG rc = ::RegEnumValueW(key_.Handle(), i, &name[0], &nameLen, nullptr, &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA && ++retries < 4) {
      DWORD maxName = 0, maxData = 0;
      ::RegQueryInfoKeyW(key_.Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                         &maxData, nullptr, nullptr);
      name.resize(std::max<size_t>(name.size() * 2, maxName + 1));
      data.resize(std::max<size_t>(data.size() * 2, std::max<size_t>(maxData, size) + sizeof(wchar_t)));
      continue;
    }
    if (rc != ERROR_SUCCESS) return;
    retries = 0;
    std::wstring valueName(name.data(), nameLen);
    if (!visit(TRegValue{valueName, type, data.data(), size})) return;
    ++i;
  }
}

}  // namespace registry
