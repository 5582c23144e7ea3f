#include "core/guard/SystemPlaces.h"

#include <vector>

#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace {

// Files nothing needs once written: logs, temporary files, dumps, chkdsk
// fragments, backups left by setups and editors.
const wchar_t* const kJunkExtensions[] = {
    L"LOG", L"LO_", L"ETL", L"TMP", L"TEMP", L"$$$", L"_MP", L"DMP", L"MDMP", L"HDMP", L"CHK", L"OLD", L"BAK",
    L"GID",
};

// Folders that hold junk only, so they may be emptied wherever they are.
const wchar_t* const kJunkFolders[] = {
    L"TEMP",  L"TMP",        L"PREFETCH",    L"LOGS",        L"MINIDUMP", L"LIVEKERNELREPORTS",
    L"CACHE", L"INETCACHE",  L"CRASHDUMPS",  L"REPORTQUEUE", L"REPORTARCHIVE", L"TEMPORARY INTERNET FILES",
};

// Keys below Software\Microsoft\Windows or \Windows NT that hold the system's
// settings although they lie deeper than the tree's upper keys.
const wchar_t* const kDeepSystemKeys[] = {
    L"CURRENTVERSION\\EXPLORER\\SHELL FOLDERS",
    L"CURRENTVERSION\\EXPLORER\\USER SHELL FOLDERS",
    L"CURRENTVERSION\\EXPLORER\\FILEEXTS",
};

// Parts of the Windows trees down to this depth (Software\Microsoft\Windows
// \CurrentVersion\Explorer) are the system's own; a list deeper down may go.
constexpr size_t kUpperWindowsDepth = 5;

bool InTable(const std::wstring& upper, const wchar_t* const* begin, const wchar_t* const* end) {
  for (auto it = begin; it != end; ++it) {
    if (upper == *it) return true;
  }
  return false;
}

std::vector<std::wstring> UpperParts(const std::wstring& path) {
  std::vector<std::wstring> parts;
  for (size_t at = 0; at <= path.size();) {
    size_t end = path.find(L'\\', at);
    if (end == std::wstring::npos) end = path.size();
    std::wstring part = sys::UpperCase(path.substr(at, end - at));
    if (part != L"WOW6432NODE") parts.push_back(part);  // the 32-bit view is the same place
    at = end + 1;
  }
  return parts;
}

std::wstring Joined(const std::vector<std::wstring>& parts, size_t from) {
  std::wstring text;
  for (size_t i = from; i < parts.size(); ++i) text += (i > from ? L"\\" : L"") + parts[i];
  return text;
}

// The rules for the keys of one hive's software and user settings.
std::wstring HiveKeyRefusal(const std::vector<std::wstring>& p, size_t at) {
  auto is = [&](size_t i, const wchar_t* name) { return at + i < p.size() && p[at + i] == name; };
  for (size_t i = at; i < p.size(); ++i) {
    if (p[i] == L"POLICIES") return L"policy keys are the system's settings";
  }
  if (is(0, L"SOFTWARE") && is(1, L"CLASSES")) return L"the classes root is the system's settings";
  if (!is(0, L"SOFTWARE") || !is(1, L"MICROSOFT") || !(is(2, L"WINDOWS") || is(2, L"WINDOWS NT"))) return {};
  if (p.size() - at <= kUpperWindowsDepth) return L"the upper keys of the Windows tree are the system's settings";
  std::wstring below = Joined(p, at + 3);
  for (const wchar_t* key : kDeepSystemKeys) {
    if (below == key || below.compare(0, wcslen(key) + 1, std::wstring(key) + L"\\") == 0) {
      return L"the key holds the system's settings";
    }
  }
  return {};
}

}  // namespace

bool IsJunkFileMask(const std::wstring& mask) {
  size_t dot = mask.find_last_of(L'.');
  if (dot == std::wstring::npos) return false;
  std::wstring ext = sys::UpperCase(mask.substr(dot + 1));
  if (ext.find_first_of(L"*?") != std::wstring::npos) return false;
  return InTable(ext, std::begin(kJunkExtensions), std::end(kJunkExtensions));
}

bool IsJunkFolderName(const std::wstring& folder) {
  size_t end = folder.find_last_not_of(L"\\/");
  if (end == std::wstring::npos) return false;
  size_t start = folder.find_last_of(L"\\/", end);
  std::wstring name = folder.substr(start == std::wstring::npos ? 0 : start + 1, end - (start == std::wstring::npos ? 0 : start + 1) + 1);
  return InTable(sys::UpperCase(name), std::begin(kJunkFolders), std::end(kJunkFolders));
}

std::wstring DataFileKeyRefusal(HKEY root, const std::wstring& normalKey) {
  std::vector<std::wstring> p = UpperParts(normalKey);
  if (root == HKEY_CLASSES_ROOT) return L"the classes root is the system's settings";
  if (root == HKEY_CURRENT_CONFIG) return L"the hardware profile is the system's settings";
  if (root == HKEY_LOCAL_MACHINE) {
    if (p.empty() || p[0] != L"SOFTWARE") return L"the machine's system keys are the system's settings";
    return HiveKeyRefusal(p, 0);
  }
  if (root == HKEY_USERS) {
    const std::wstring suffix = L"_CLASSES";
    const std::wstring& hive = p.empty() ? std::wstring() : p[0];
    if (hive.size() > suffix.size() && hive.compare(hive.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return L"the classes root is the system's settings";
    }
    return HiveKeyRefusal(p, 1);
  }
  if (root == HKEY_CURRENT_USER) return HiveKeyRefusal(p, 0);
  return L"not a registry root";
}

}  // namespace guard
}  // namespace core
