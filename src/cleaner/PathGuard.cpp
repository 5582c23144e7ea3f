#include "cleaner/PathGuard.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "cleaner/Masks.h"
#include "cleaner/SystemPaths.h"

namespace cleaner {
namespace {

using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// Vista and later; without it (XP) only the lexical form is judged.
GetFinalPathFn FinalPathFunction() {
  static GetFinalPathFn fn = reinterpret_cast<GetFinalPathFn>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW"));
  return fn;
}

std::wstring WithSlash(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "\\?\C:\x" -> "C:\x", "\\?\UNC\s\x" -> "\\s\x".
std::wstring StripExtendedPrefix(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

std::wstring FullPath(const std::wstring& path) {
  DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::wstring();
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
  if (n == 0 || n >= full.size()) return std::wstring();
  full.resize(n);
  return full;
}

// Long form of every component; the path as given when it does not exist.
std::wstring LongPath(const std::wstring& path) {
  DWORD n = ::GetLongPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::wstring longPath(n, L'\0');
  n = ::GetLongPathNameW(path.c_str(), &longPath[0], n);
  if (n == 0 || n >= longPath.size()) return path;
  longPath.resize(n);
  return longPath;
}

PathVerdict Worse(PathVerdict a, PathVerdict b) {
  auto rank = [](PathVerdict v) {
    switch (v) {
      case PathVerdict::Allowed: return 0;
      case PathVerdict::Ask: return 1;
      case PathVerdict::Refused: return 2;
      case PathVerdict::Invalid: return 3;
    }
    return 3;
  };
  return rank(a) >= rank(b) ? a : b;
}

}  // namespace

bool PathGuard::HasAcceptedForm(const std::wstring& typed) {
  std::wstring path = typed;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  // A colon past the drive names a stream ("C:\\Windows::$INDEX_ALLOCATION"
  // is the Windows folder by another name); no item names one.
  if (path.find(L':', 2) != std::wstring::npos) return false;
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  if (path.compare(0, 2, L"\\\\") != 0) return false;
  size_t serverEnd = path.find(L'\\', 2);
  if (serverEnd == std::wstring::npos || serverEnd == 2) return false;
  std::wstring server = path.substr(2, serverEnd - 2);
  if (server == L"." || server == L"?") return false;  // device and extended paths
  size_t shareEnd = path.find(L'\\', serverEnd + 1);
  size_t shareLen = (shareEnd == std::wstring::npos ? path.size() : shareEnd) - serverEnd - 1;
  return shareLen > 0;
}

std::wstring PathGuard::CanonicalPath(const std::wstring& path) {
  if (!HasAcceptedForm(path)) return std::wstring();
  std::wstring full = FullPath(path);
  if (full.empty() || !HasAcceptedForm(full)) return std::wstring();
  return WithSlash(LongPath(full));
}

std::wstring PathGuard::ResolvedPath(const std::wstring& canonical) {
  GetFinalPathFn finalPath = FinalPathFunction();
  if (finalPath == nullptr || canonical.empty()) return canonical;
  HANDLE h = ::CreateFileW(canonical.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return canonical;
  std::wstring buf(1024, L'\0');
  DWORD n = finalPath(h, &buf[0], static_cast<DWORD>(buf.size()), 0);
  if (n >= buf.size()) {
    buf.assign(n + 1, L'\0');
    n = finalPath(h, &buf[0], static_cast<DWORD>(buf.size()), 0);
  }
  ::CloseHandle(h);
  if (n == 0 || n >= buf.size()) return canonical;
  buf.resize(n);
  std::wstring resolved = StripExtendedPrefix(buf);
  return HasAcceptedForm(resolved) ? WithSlash(resolved) : canonical;
}

bool PathGuard::ReachedThroughLink(HANDLE file, const std::wstring& typed) {
  GetFinalPathFn finalPath = FinalPathFunction();
  if (finalPath == nullptr) return false;  // no file links before Vista
  std::wstring path = StripExtendedPrefix(typed);
  size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return true;
  // A walk asks for many files of one folder in a row; resolving the folder
  // (long names, links) is the slow part, so the last answer is kept.
  static thread_local std::wstring lastTyped, lastFolder;
  std::wstring typedFolder = path.substr(0, slash + 1);
  if (typedFolder != lastTyped) {
    lastFolder = ResolvedPath(CanonicalPath(typedFolder));
    lastTyped = typedFolder;
  }
  const std::wstring& folder = lastFolder;
  std::wstring buf(1024, L'\0');
  DWORD n = finalPath(file, &buf[0], static_cast<DWORD>(buf.size()), 0);
  if (n == 0 || n >= buf.size()) return true;
  buf.resize(n);
  std::wstring name = path.substr(slash + 1);
  std::wstring resolved = StripExtendedPrefix(buf);
  if (SameName(resolved, folder + name)) return false;
  // Some systems give a name that ends in dots or spaces without them.
  size_t end = name.find_last_not_of(L". ");
  return end == std::wstring::npos || !SameName(resolved, folder + name.substr(0, end + 1));
}

bool PathGuard::IsFileReachedThroughLink(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;  // nothing to delete through
  bool linked = ReachedThroughLink(h, path);
  ::CloseHandle(h);
  return linked;
}

PathGuard::PathGuard(const GuardFolders& folders) {
  for (const auto& f : folders.refused) Add(&refused_, f);
  for (const auto& f : folders.asked) Add(&asked_, f);
}

void PathGuard::Add(std::vector<std::wstring>* keys, const std::wstring& folder) {
  std::wstring canonical = CanonicalPath(folder);
  if (canonical.empty()) return;
  for (const std::wstring& form : {canonical, ResolvedPath(canonical)}) {
    std::wstring key = UpperName(form);
    if (!Contains(*keys, key)) keys->push_back(key);
  }
}

bool PathGuard::Contains(const std::vector<std::wstring>& keys, const std::wstring& key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool PathGuard::IsRootKey(const std::wstring& key) {
  if (key.size() <= 3) return true;  // "X:\"
  if (key.compare(0, 2, L"\\\\") != 0) return false;
  size_t serverEnd = key.find(L'\\', 2);
  if (serverEnd == std::wstring::npos) return true;
  size_t shareEnd = key.find(L'\\', serverEnd + 1);
  return shareEnd == std::wstring::npos || shareEnd + 1 == key.size();
}

bool PathGuard::IsAncestorOf(const std::vector<std::wstring>& keys, const std::wstring& key) {
  for (const auto& k : keys) {
    if (k.size() > key.size() && k.compare(0, key.size(), key) == 0) return true;
  }
  return false;
}

PathVerdict PathGuard::CheckKey(const std::wstring& key, DeleteReach reach) const {
  if (key.empty()) return PathVerdict::Invalid;
  if (IsRootKey(key)) return reach == DeleteReach::OneName ? PathVerdict::Allowed : PathVerdict::Refused;
  if (reach == DeleteReach::OneName) return Contains(asked_, key) ? PathVerdict::Ask : PathVerdict::Allowed;
  // A narrow mask touches only the top-level files of the folder, so the
  // Windows folder may still lose its *.log files.
  bool narrow = reach == DeleteReach::SomeFiles;
  // An asked folder may hold another (My Pictures in My Documents): a Yes
  // covers both. Every other ancestor of a protected folder is refused.
  bool refused = Contains(refused_, key) || IsAncestorOf(refused_, key) ||
                 (!Contains(asked_, key) && IsAncestorOf(asked_, key));
  if (refused) return narrow ? PathVerdict::Allowed : PathVerdict::Refused;
  if (Contains(asked_, key)) return PathVerdict::Ask;
  return PathVerdict::Allowed;
}

CheckedFolder PathGuard::CheckFolder(const std::wstring& folder, DeleteReach reach) const {
  CheckedFolder checked;
  checked.path = CanonicalPath(folder);
  if (checked.path.empty()) return checked;
  // Without the trailing "\", which makes some systems answer for a link's target.
  std::wstring bare = checked.path.size() > 3 ? checked.path.substr(0, checked.path.size() - 1) : checked.path;
  DWORD attrs = ::GetFileAttributesW(bare.c_str());
  checked.isLink = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  std::wstring resolved = ResolvedPath(checked.path);
  checked.key = UpperName(resolved);
  checked.verdict = Worse(CheckKey(UpperName(checked.path), reach), CheckKey(checked.key, reach));
  if (checked.isLink && reach != DeleteReach::OneName) checked.verdict = Worse(checked.verdict, PathVerdict::Refused);
  return checked;
}

GuardFolders SystemGuardFolders() {
  GuardFolders f;
  wchar_t buf[MAX_PATH + 1];
  UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.refused.emplace_back(buf, n);
  n = ::GetSystemDirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.refused.emplace_back(buf, n);
  n = ::GetSystemWow64DirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.refused.emplace_back(buf, n);
  n = ::GetEnvironmentVariableW(L"ProgramW6432", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) f.refused.emplace_back(buf, n);
  f.refused.push_back(GetProgramFilesDir());
  for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,
                    CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA}) {
    f.refused.push_back(SpecialFolderPath(csidl));
  }
  std::wstring docs = GetMyDocumentsPath();
  f.asked.push_back(docs);
  if (!docs.empty()) f.asked.push_back(docs + L"My Pictures\\");
  f.asked.push_back(SpecialFolderPath(CSIDL_MYPICTURES));
  // Empty entries (a folder the shell did not give) fall out when added.
  return f;
}

}  // namespace cleaner
