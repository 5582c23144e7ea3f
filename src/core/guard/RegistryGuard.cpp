#include "core/guard/RegistryGuard.h"

#include <vector>

#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace {

struct RootName {
  HKEY root;
  const wchar_t* name;
};

const RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},   {HKEY_USERS, L"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
};

class KeyCloser {
 public:
  explicit KeyCloser(HKEY k) : k_(k) {}
  ~KeyCloser() {
    if (k_ != nullptr) ::RegCloseKey(k_);
  }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  HKEY k_;
};

LONG DeleteTreeBelow(HKEY parent, const std::wstring& path, LinkBelow links) {
  HKEY key = nullptr;
  bool link = false;
  LONG rc = OpenKeyAsItself(parent, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &key, &link);
  if (rc != ERROR_SUCCESS) return rc;
  KeyCloser closer(key);
  if (link) return links == LinkBelow::RemoveLink ? DeleteOpenKey(key) : kLinkMet;
  std::vector<std::wstring> children;
  rc = ListSubKeyNames(key, &children);
  if (rc != ERROR_SUCCESS) return rc;  // a subkey that cannot be listed: delete none of them
  for (const auto& child : children) {
    LONG childRc = DeleteTreeBelow(key, child, links);
    if (childRc != ERROR_SUCCESS && childRc != ERROR_FILE_NOT_FOUND) return childRc;
  }
  return DeleteOpenKey(key);
}

}  // namespace

LONG ListSubKeyNames(HKEY key, std::vector<std::wstring>* names) {
  wchar_t buf[256];  // key names are at most 255 characters
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    LONG rc = ::RegEnumKeyExW(key, i, buf, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    names->emplace_back(buf, len);
  }
}

LONG DeleteOpenKey(HKEY key) {
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  using ToDosErrorFn = ULONG(WINAPI*)(LONG);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  static auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(::GetProcAddress(ntdll, "NtDeleteKey"));
  static auto toDosError = reinterpret_cast<ToDosErrorFn>(::GetProcAddress(ntdll, "RtlNtStatusToDosError"));
  if (ntDeleteKey == nullptr || toDosError == nullptr) return ERROR_PROC_NOT_FOUND;
  LONG status = ntDeleteKey(key);
  return status >= 0 ? ERROR_SUCCESS : static_cast<LONG>(toDosError(status));
}

HKEY RootKeyFromName(const std::wstring& name) {
  std::wstring upper = sys::UpperCase(name);
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

bool IsCleanKeyPath(const std::wstring& path) {
  if (path.empty()) return true;
  for (const auto& part : KeyPathParts(path)) {
    if (part.empty()) return false;
  }
  return true;
}

KeyPlace PlaceOfKey(HKEY root, const std::wstring& path) {
  if (path.empty()) return KeyPlace::Root;
  std::vector<std::wstring> parts = KeyPathParts(sys::UpperCase(path));
  auto is = [&](size_t i, const wchar_t* name) { return i < parts.size() && parts[i] == name; };
  auto skipView = [&](size_t i) {
    if (is(i, L"WOW6432NODE")) parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i));
  };
  const std::wstring suffix = L"_CLASSES";
  size_t at = 0;
  bool classes = false;
  if (root == HKEY_USERS) {
    at = 1;
    const std::wstring& hive = parts[0];
    classes = hive.size() > suffix.size() && hive.compare(hive.size() - suffix.size(), suffix.size(), suffix) == 0;
  }
  if (root == HKEY_CLASSES_ROOT || classes) skipView(at);
  skipView(at + 1);
  if (is(at, L"SOFTWARE") && is(at + 1, L"CLASSES")) {
    at += 2;
    classes = true;
    skipView(at);
  }
  if (parts.size() <= at) return KeyPlace::Root;
  if (parts.size() == at + 1) return classes && root != HKEY_CLASSES_ROOT ? KeyPlace::Class : KeyPlace::FirstLevel;
  return KeyPlace::Deeper;
}

bool IsDeletableKeyPath(HKEY root, const std::wstring& normalKey) {
  return !normalKey.empty() && IsCleanKeyPath(normalKey) && PlaceOfKey(root, normalKey) == KeyPlace::Deeper;
}

LONG OpenKeyAsItself(HKEY parent, const std::wstring& path, REGSAM access, HKEY* key, bool* isLink) {
  return OpenPathAsItself(parent, path, access, kLinkMet, key, isLink);
}

bool IsRegLink(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  bool link = false;
  LONG rc = OpenKeyAsItself(root, path, KEY_QUERY_VALUE, &key, &link);
  if (rc == ERROR_FILE_NOT_FOUND) return false;
  if (rc != ERROR_SUCCESS) return true;  // a walk that could not finish is no proof of "no link"
  ::RegCloseKey(key);
  return link;
}

LONG DeleteKeyTree(HKEY root, const std::wstring& path, LinkBelow links) {
  if (path.empty()) return ERROR_ACCESS_DENIED;  // never a root
  return DeleteTreeBelow(root, path, links);
}

LONG DeleteOneValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  HKEY key = nullptr;
  bool link = false;
  LONG rc = OpenKeyAsItself(root, path, KEY_SET_VALUE, &key, &link);
  if (rc != ERROR_SUCCESS) return rc;
  KeyCloser closer(key);
  if (link) return kLinkMet;
  return ::RegDeleteValueW(key, name.c_str());
}

LONG DeleteAllValues(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  bool link = false;
  LONG rc = OpenKeyAsItself(root, path, KEY_SET_VALUE, &key, &link);
  if (rc != ERROR_SUCCESS) return rc;
  KeyCloser closer(key);
  if (link) return kLinkMet;
  std::vector<std::wstring> names;
  std::vector<wchar_t> buf(16384);
  for (DWORD i = 0;; ++i) {
    DWORD len = static_cast<DWORD>(buf.size());
    rc = ::RegEnumValueW(key, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) return rc;
    names.emplace_back(buf.data(), len);
  }
  LONG result = ERROR_SUCCESS;
  for (const auto& name : names) {
    rc = ::RegDeleteValueW(key, name.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && result == ERROR_SUCCESS) result = rc;
  }
  return result;
}

}  // namespace guard
}  // namespace core
