#include "cleaner/RegistryPaths.h"

#include <vector>

#include "cleaner/Masks.h"
#include "sys/RegistryKey.h"

namespace cleaner {
namespace {

struct RootName {
  HKEY root;
  const wchar_t* name;
};

const RootName kRoots[] = {
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},     {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
    {HKEY_USERS, L"HKEY_USERS"},                   {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
};

}  // namespace

HKEY RootKeyFromName(const std::wstring& name) {
  std::wstring upper = UpperName(name);
  for (const auto& r : kRoots) {
    if (upper == r.name) return r.root;
  }
  return nullptr;
}

std::wstring RootKeyName(HKEY root) {
  for (const auto& r : kRoots) {
    if (root == r.root) return r.name;
  }
  return std::wstring();
}

std::wstring NormalKeyPath(const std::wstring& key) {
  size_t first = key.find_first_not_of(L'\\');
  if (first == std::wstring::npos) return std::wstring();
  size_t last = key.find_last_not_of(L'\\');
  std::wstring path = key.substr(first, last - first + 1);
  if (path.find(L"\\\\") != std::wstring::npos) return std::wstring();
  return path;
}

namespace {

std::vector<std::wstring> UpperParts(const std::wstring& path) {
  std::vector<std::wstring> parts;
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    parts.push_back(UpperName(path.substr(start, end - start)));
    start = end + 1;
  }
  return parts;
}

}  // namespace

// Some keys are a root under another name: every key of HKEY_USERS is a
// user's hive, "Software\Classes" is the classes root of its hive, and
// "Wow6432Node" is the 32-bit view of the key that holds it. Their levels
// count from there.
bool IsDeletableKeyPath(HKEY root, const std::wstring& normalKey) {
  if (normalKey.empty()) return false;
  std::vector<std::wstring> parts = UpperParts(normalKey);
  size_t at = root == HKEY_USERS ? 1 : 0;
  auto is = [&](size_t i, const wchar_t* name) { return i < parts.size() && parts[i] == name; };
  auto skipView = [&](size_t i) {
    if (is(i, L"WOW6432NODE")) parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i));
  };
  if (root == HKEY_CLASSES_ROOT) skipView(at);
  skipView(at + 1);
  if (is(at, L"SOFTWARE") && is(at + 1, L"CLASSES")) {
    at += 2;
    skipView(at);
  }
  return parts.size() >= at + 2;
}

bool RegKeyExists(HKEY root, const std::wstring& key) {
  sys::RegistryKey k;
  return k.Open(root, key, KEY_READ);
}

bool IsRegLink(HKEY root, const std::wstring& key) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
  DWORD type = REG_NONE;
  bool link = ::RegQueryValueExW(h, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
              type == REG_LINK;
  ::RegCloseKey(h);
  return link;
}

namespace {

// The link key itself; RegDeleteKey would open, and delete, its target.
bool DeleteRegLink(HKEY root, const std::wstring& key) {
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  static auto ntDeleteKey =
      reinterpret_cast<NtDeleteKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"));
  HKEY h = nullptr;
  if (ntDeleteKey == nullptr ||
      ::RegOpenKeyExW(root, key.c_str(), REG_OPTION_OPEN_LINK, DELETE, &h) != ERROR_SUCCESS) {
    return false;
  }
  bool deleted = ntDeleteKey(h) >= 0;
  ::RegCloseKey(h);
  return deleted;
}

}  // namespace

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
  if (IsRegLink(root, key)) return DeleteRegLink(root, key);
  {
    sys::RegistryKey k;
    if (!k.Open(root, key, KEY_READ)) return !RegKeyExists(root, key);
    // Names are collected before anything below is deleted.
    for (const auto& sub : k.SubKeyNames()) DeleteRegKeyTree(root, key + L"\\" + sub);
  }
  return ::RegDeleteKeyW(root, key.c_str()) == ERROR_SUCCESS;
}

}  // namespace cleaner
