#include "core/guard/RegistryLinks.h"

#include <vector>

#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace {

std::vector<std::wstring> PathParts(const std::wstring& path) {
  std::vector<std::wstring> parts;
  for (size_t at = 0;;) {
    size_t end = path.find(L'\\', at);
    parts.push_back(path.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
    if (end == std::wstring::npos) return parts;
    at = end + 1;
  }
}

bool IsControlSetName(const std::wstring& upper) {
  const std::wstring prefix = L"\\REGISTRY\\MACHINE\\SYSTEM\\CONTROLSET";
  if (upper.size() != prefix.size() + 3 || upper.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < upper.size(); ++i)
    if (upper[i] < L'0' || upper[i] > L'9') return false;
  return true;
}

// "\REGISTRY\USER\<hive>\SOFTWARE\CLASSES" gives "<hive>"; anything else empty.
std::wstring UserHiveOfClasses(const std::wstring& upper) {
  const std::wstring prefix = L"\\REGISTRY\\USER\\", suffix = L"\\SOFTWARE\\CLASSES";
  if (upper.size() <= prefix.size() + suffix.size() || upper.compare(0, prefix.size(), prefix) != 0 ||
      upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) != 0)
    return {};
  std::wstring hive = upper.substr(prefix.size(), upper.size() - prefix.size() - suffix.size());
  return hive.find(L'\\') == std::wstring::npos ? hive : std::wstring();
}

// The 32-bit view keeps the keys it shares with the native view as links
// to the same key there: "...\WOW6432NODE\X" leads to "...\X".
bool IsSharedViewLink(const std::wstring& upperLink, const std::wstring& upperTarget) {
  const std::wstring view = L"\\WOW6432NODE";
  size_t at = upperLink.find(view + L"\\");
  if (at == std::wstring::npos) return false;
  return upperTarget == upperLink.substr(0, at) + upperLink.substr(at + view.size());
}

LONG OpenPart(HKEY parent, const std::wstring& part, REGSAM access, HKEY* key, bool* isLink) {
  *key = nullptr;
  *isLink = false;
  LONG rc = ::RegOpenKeyExW(parent, part.c_str(), REG_OPTION_OPEN_LINK, access | KEY_QUERY_VALUE, key);
  if (rc != ERROR_SUCCESS) return rc;
  *isLink = IsLinkKey(*key);
  return ERROR_SUCCESS;
}

// The key the link `part` (open as itself in `link`) leads to, when it is a
// system link; else nullptr. The target is judged by the handle that is
// kept, not by the link's text.
HKEY FollowSystemLink(HKEY parent, const std::wstring& part, HKEY link, REGSAM view) {
  const std::wstring linkName = KeyNativeName(link);
  HKEY target = nullptr;
  if (::RegOpenKeyExW(parent, part.c_str(), 0, view | KEY_QUERY_VALUE, &target) != ERROR_SUCCESS) return nullptr;
  if (IsSystemLink(linkName, KeyNativeName(target))) return target;
  ::RegCloseKey(target);
  return nullptr;
}

}  // namespace

bool IsLinkKey(HKEY key) {
  DWORD type = REG_NONE;
  return ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
         type == REG_LINK;
}

std::wstring KeyNativeName(HKEY key) {
  using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static auto ntQueryKey =
      reinterpret_cast<NtQueryKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey"));
  const int kKeyNameInformation = 3;
  std::vector<BYTE> buf(4096);
  ULONG size = 0;
  if (ntQueryKey == nullptr || ntQueryKey(key, kKeyNameInformation, buf.data(), static_cast<ULONG>(buf.size()), &size) < 0)
    return {};
  ULONG bytes = *reinterpret_cast<const ULONG*>(buf.data());
  if (bytes > buf.size() - sizeof(ULONG)) return {};
  return std::wstring(reinterpret_cast<const wchar_t*>(buf.data() + sizeof(ULONG)), bytes / sizeof(wchar_t));
}

bool IsSystemLink(const std::wstring& linkName, const std::wstring& targetName) {
  const std::wstring link = sys::UpperCase(linkName), target = sys::UpperCase(targetName);
  if (link.empty() || target.empty()) return false;
  if (IsSharedViewLink(link, target)) return true;
  if (link == L"\\REGISTRY\\MACHINE\\SYSTEM\\CURRENTCONTROLSET") return IsControlSetName(target);
  const std::wstring software = L"\\REGISTRY\\MACHINE\\SOFTWARE", classes = software + L"\\CLASSES";
  if (link == classes || link == software + L"\\WOW6432NODE\\CLASSES")
    return target == classes || target == classes + L"\\WOW6432NODE";
  const std::wstring hive = UserHiveOfClasses(link);
  return !hive.empty() && target == L"\\REGISTRY\\USER\\" + hive + L"_CLASSES";
}

LONG OpenPathAsItself(HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, HKEY* key, bool* isLink) {
  *key = nullptr;
  *isLink = false;
  const REGSAM view = access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
  const std::vector<std::wstring> parts = PathParts(path);
  HKEY owned = nullptr;  // the opened parent below `parent`, closed when passed
  HKEY at = parent;
  LONG rc = ERROR_SUCCESS;
  for (size_t i = 0; i + 1 < parts.size() && rc == ERROR_SUCCESS; ++i) {
    HKEY next = nullptr;
    bool link = false;
    rc = OpenPart(at, parts[i], view, &next, &link);
    if (rc == ERROR_SUCCESS && link) {
      HKEY target = FollowSystemLink(at, parts[i], next, view);
      ::RegCloseKey(next);
      next = target;
      if (next == nullptr) rc = linkMet;
    }
    if (owned != nullptr) ::RegCloseKey(owned);
    owned = next;
    at = next;
  }
  if (rc == ERROR_SUCCESS) rc = OpenPart(at, parts.back(), access, key, isLink);
  if (owned != nullptr) ::RegCloseKey(owned);
  return rc;
}

}  // namespace guard
}  // namespace core
