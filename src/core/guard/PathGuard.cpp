#include "core/guard/PathGuard.h"

#include <windows.h>

#include <algorithm>

#include "sys/TextCompare.h"
#include "core/guard/LockedPlaces.h"
#include "core/guard/SystemPlaces.h"

namespace core {
namespace guard {
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

// The first part of `canonical` (ending in "\\") at or after `from` that is
// a junction or symbolic link, without its "\\"; empty when none is.
std::wstring FirstLinkOnPath(const std::wstring& canonical, size_t from) {
  for (size_t end = canonical.find(L'\\', from); end != std::wstring::npos; end = canonical.find(L'\\', end + 1)) {
    std::wstring part = canonical.substr(0, end);
    if (part.size() <= 2) continue;  // "C:"
    DWORD attrs = ::GetFileAttributesW(LiteralPath(part).c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return part;
  }
  return std::wstring();
}

}  // namespace

bool PathGuard::HasAcceptedForm(const std::wstring& typed) { return guard::HasAcceptedForm(typed); }

std::wstring PathGuard::CanonicalPath(const std::wstring& path) {
  if (!HasAcceptedForm(path)) return std::wstring();
  std::wstring full = FullPath(path);
  if (full.empty() || !HasAcceptedForm(full)) return std::wstring();
  return WithSlash(LongPath(full));
}

std::wstring PathGuard::ResolvedPath(const std::wstring& canonical) {
  if (FinalPathFunction() == nullptr || canonical.empty()) return canonical;
  HANDLE h = ::CreateFileW(canonical.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return canonical;
  std::wstring resolved = FinalPathOf(h, canonical);
  ::CloseHandle(h);
  return resolved;
}

// The folder's path as the system names the open handle; `otherwise` when
// it does not say.
std::wstring PathGuard::FinalPathOf(HANDLE h, const std::wstring& otherwise) {
  GetFinalPathFn finalPath = FinalPathFunction();
  if (finalPath == nullptr || h == INVALID_HANDLE_VALUE) return otherwise;
  std::wstring buf(1024, L'\0');
  DWORD n = finalPath(h, &buf[0], static_cast<DWORD>(buf.size()), 0);
  if (n >= buf.size()) {
    buf.assign(n + 1, L'\0');
    n = finalPath(h, &buf[0], static_cast<DWORD>(buf.size()), 0);
  }
  if (n == 0 || n >= buf.size()) return otherwise;
  buf.resize(n);
  std::wstring resolved = StripExtendedPrefix(buf);
  return HasAcceptedForm(resolved) ? WithSlash(resolved) : otherwise;
}

PathGuard::PathGuard(const GuardFolders& folders) {
  for (const auto& f : folders.refused) Add(&refused_, f);
  for (const auto& f : folders.asked) Add(&asked_, f);
  for (const auto& f : folders.systemTrees) Add(&systemTrees_, f);
  for (const auto& f : folders.systemTops) Add(&systemTops_, f);
  for (const auto& f : folders.shared) {
    std::wstring canonical = CanonicalPath(f);
    if (!canonical.empty()) shared_.push_back(sys::UpperCase(canonical));
    sharedIds_.Add(canonical);
  }
}

std::wstring PathGuard::SharedFolderAbove(const std::wstring& upper) const {
  for (const auto& shared : shared_) {
    if (upper.size() > shared.size() && upper.compare(0, shared.size(), shared) == 0) return shared;
  }
  return std::wstring();
}

bool PathGuard::InSystemPlace(const std::wstring& key) const {
  if (Contains(systemTops_, key)) return true;
  for (const auto& tree : systemTrees_) {
    if (key.size() >= tree.size() && key.compare(0, tree.size(), tree) == 0) return true;
  }
  return false;
}

DataFileJudgement PathGuard::JudgeDataFileEntry(const std::wstring& folder, const std::wstring& mask) const {
  std::wstring canonical = CanonicalPath(folder);
  if (canonical.empty()) return DataFileJudgement();  // the walk's own guard says no
  return JudgeInSystemPlace(canonical, ResolvedPath(canonical), mask);
}

DataFileJudgement PathGuard::JudgeDataFileEntry(const FolderPin& pin, const std::wstring& mask) const {
  std::wstring canonical = CanonicalPath(pin.Path());
  if (canonical.empty()) return DataFileJudgement();
  if (!pin.LinkIntoPlace().empty()) return DataFileJudgement{false, false, LinkIntoPlaceReason(pin.LinkIntoPlace())};
  return JudgeInSystemPlace(canonical, FinalPathOf(pin.Handle(), std::wstring()), mask);
}

// A folder that is, or resolves into, a system place may lose junk only. The
// folder judged is the one the entry resolves to: a link named like a junk
// folder does not make its target one.
DataFileJudgement PathGuard::JudgeInSystemPlace(const std::wstring& canonical, const std::wstring& resolved,
                                                const std::wstring& mask) const {
  DataFileJudgement judged;
  if (!InSystemPlace(sys::UpperCase(canonical)) && !InSystemPlace(sys::UpperCase(resolved))) return judged;
  bool wholeFolder = mask.empty() || mask == L"*.*" || mask == L"*";
  if (!wholeFolder) {
    judged.allowed = IsJunkFileMask(mask);
    if (!judged.allowed) judged.reason = L"only junk files may be removed from a system folder";
    return judged;
  }
  judged.allowed = !resolved.empty() && IsJunkFolderName(resolved);
  judged.keepFolder = true;
  if (!judged.allowed) judged.reason = L"only a junk folder may be emptied in a system folder";
  return judged;
}

void PathGuard::Add(std::vector<std::wstring>* keys, const std::wstring& folder) {
  std::wstring canonical = CanonicalPath(folder);
  if (canonical.empty()) return;
  for (const std::wstring& form : {canonical, ResolvedPath(canonical)}) {
    std::wstring key = sys::UpperCase(form);
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
  DWORD attrs = ::GetFileAttributesW(LiteralPath(bare).c_str());
  checked.isLink = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  std::wstring resolved = ResolvedPath(checked.path);
  checked.key = sys::UpperCase(resolved);
  checked.verdict = Worse(CheckKey(sys::UpperCase(checked.path), reach), CheckKey(checked.key, reach));
  checked.linkOnPath = FirstLinkOnPath(checked.path, 0);
  if (checked.linkOnPath.empty()) return checked;
  // Below a folder every user may write, any link may be another user's.
  std::wstring shared = SharedFolderAbove(sys::UpperCase(checked.path));
  if (!shared.empty() && !FirstLinkOnPath(checked.path, shared.size()).empty()) {
    checked.verdict = Worse(checked.verdict, PathVerdict::Refused);
    checked.reason = L"a link below a folder every user may write";
  }
  return checked;
}

std::unique_ptr<FolderPin> PathGuard::Pin(const std::wstring& folder) const {
  return std::make_unique<FolderPin>(folder, FollowLink::Yes, &sharedIds_);
}

CheckedFolder PathGuard::CheckFolder(const FolderPin& pin, DeleteReach reach) const {
  CheckedFolder checked;
  checked.path = CanonicalPath(pin.Path());
  if (checked.path.empty()) return checked;
  checked.linkOnPath = pin.FirstLink();
  if (pin.LinkBelowShared()) {
    checked.verdict = PathVerdict::Refused;
    checked.reason = L"a link below a folder every user may write";
    return checked;
  }
  if (!pin.LinkIntoPlace().empty()) {
    checked.verdict = PathVerdict::Refused;
    checked.reason = LinkIntoPlaceReason(pin.LinkIntoPlace());
    checked.userLink = true;
    return checked;
  }
  if (!pin.IsFolder()) return checked;
  checked.isLink = pin.IsLink();
  checked.key = sys::UpperCase(FinalPathOf(pin.Handle(), checked.path));
  checked.verdict = Worse(CheckKey(sys::UpperCase(checked.path), reach), CheckKey(checked.key, reach));
  return checked;
}

}  // namespace guard
}  // namespace core
