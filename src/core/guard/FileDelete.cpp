#include "core/guard/FileDelete.h"

#include "core/guard/FileNames.h"
#include "core/guard/NtFiles.h"

#include <string_view>

namespace core {
namespace guard {
namespace {

constexpr int kFileBasicInformation = 4;

using nt::MarkForDeletion;
using nt::SetInformation;

HANDLE OpenAttributes(const std::wstring& path, DWORD flags) {
  return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
}

// `path` is exactly `folder` followed by `name`, with no string built.
bool IsFolderAndName(std::wstring_view path, std::wstring_view folder, std::wstring_view name) {
  return path.size() == folder.size() + name.size() && path.substr(0, folder.size()) == folder &&
         path.substr(folder.size()) == name;
}

// Two names of one folder: the same volume, so the index tells.
bool SameFile(HANDLE a, HANDLE b) {
  ULONGLONG ia = 0, ib = 0;
  return nt::FileIndex(a, &ia) && nt::FileIndex(b, &ib) && ia == ib;
}

// Some systems give a name that ends in dots or spaces without them. Then
// the file is itself only when it is not the file the trimmed name holds
// (for a name of dots alone, the folder itself).
bool IsTrimmedNameOfItself(HANDLE file, const std::wstring& folder, const std::wstring& name) {
  std::wstring trimmed = TrimmedName(name);
  HANDLE other = OpenAttributes(folder + trimmed, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  if (other == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  bool same = SameFile(file, other);
  ::CloseHandle(other);
  return !same;
}

// The name the system gives a file `name` of `folderName` once it has
// trimmed its dots and spaces: for a name of dots alone, the folder's.
bool IsTrimmedKernelName(std::wstring_view fileName, std::wstring_view folderName, const std::wstring& name) {
  std::wstring trimmed = TrimmedName(name);
  if (!trimmed.empty()) return IsFolderAndName(fileName, folderName, trimmed);
  return fileName == folderName || fileName == folderName.substr(0, folderName.size() - 1);
}

struct BasicInfo {
  LARGE_INTEGER creation, access, write, change;
  ULONG attributes;
};

bool SetAttributes(HANDLE h, DWORD attributes) {
  BasicInfo info{};  // zero times: left as they are
  info.attributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return SetInformation(h, &info, sizeof(info), kFileBasicInformation) >= 0;
}

// A name with a colon would name a stream of another file, one with a
// separator a file elsewhere.
bool MayDelete(const std::wstring& folder, const std::wstring& name, DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsPlainFileName(name) && HasAcceptedForm(folder);
}

// The name goes; a read-only file loses the attribute for it on the same
// handle. Attributes belong to the file, not the name: one with another name
// gets them back before the close, or keeps this name too.
FileDeleteResult DeleteReadOnlyAware(HANDLE h, DWORD attributes, bool readOnly) {
  BY_HANDLE_FILE_INFORMATION info{};
  bool shared = readOnly && ::GetFileInformationByHandle(h, &info) && info.nNumberOfLinks > 1;
  bool cleared = readOnly && SetAttributes(h, attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!MarkForDeletion(h)) {
    if (cleared) SetAttributes(h, attributes);
    return FileDeleteResult::Failed;
  }
  if (!cleared || !shared || SetAttributes(h, attributes)) return FileDeleteResult::Deleted;
  MarkForDeletion(h, FALSE);
  SetAttributes(h, attributes);
  return FileDeleteResult::Failed;
}

FileDeleteResult FromOpenStatus(LONG status) {
  // No such name, or no such path.
  if (status == static_cast<LONG>(0xC0000034) || status == static_cast<LONG>(0xC000003A)) {
    return FileDeleteResult::Missing;
  }
  return FileDeleteResult::Failed;
}

// The file `name` of the pinned folder, opened from the pin's handle: one
// look-up, within that folder, never a link's target where the system
// honours that (and where it does not, ReachedThroughLink sees it).
HANDLE OpenListed(const FolderPin& folder, const std::wstring& name, DWORD access, LONG* status = nullptr) {
  HANDLE h = INVALID_HANDLE_VALUE;
  LONG got = -1;
  if (folder.Handle() != INVALID_HANDLE_VALUE && IsPlainFileName(name)) {
    got = nt::OpenRelative(folder.Handle(), name, access, nt::kShareAll, nt::kNonDirectoryFile | nt::kOpenReparsePoint,
                           &h);
  }
  if (status != nullptr) *status = got;
  return got >= 0 ? h : INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReachedThroughLink(HANDLE file, const FolderPin& folder, const std::wstring& name) {
  const std::wstring& folderName = folder.Name();
  KernelNameBuffer buf;
  std::wstring_view fileName = KernelName(file, &buf);
  if (folderName.empty() || fileName.empty()) return true;
  if (IsFolderAndName(fileName, folderName, name)) return false;
  if (!EndsInDotOrSpace(name) || !IsTrimmedKernelName(fileName, folderName, name)) return true;
  return !IsTrimmedNameOfItself(file, folder.Path(), name);
}

bool ReachedThroughLink(HANDLE file, const std::wstring& folder, const std::wstring& name) {
  return ReachedThroughLink(file, FolderPin(folder, FollowLink::Yes), name);
}

bool ReachedThroughLink(HANDLE file, const std::wstring& path) {
  std::wstring plain = StripExtendedPrefix(path);
  size_t slash = plain.find_last_of(L'\\');
  if (slash == std::wstring::npos) return true;
  return ReachedThroughLink(file, plain.substr(0, slash + 1), plain.substr(slash + 1));
}

bool IsFileReachedThroughLink(const std::wstring& path) {
  HANDLE h = OpenAttributes(LiteralPath(path), FILE_FLAG_OPEN_REPARSE_POINT);
  if (h == INVALID_HANDLE_VALUE) return false;  // nothing to delete through
  bool linked = ReachedThroughLink(h, path);
  ::CloseHandle(h);
  return linked;
}

bool IsPlainFileName(const std::wstring& name) {
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos;
}

FileDeleteResult DeleteListedFile(const std::wstring& folder, const std::wstring& name, DWORD attributes) {
  if (!MayDelete(folder, name, attributes)) return FileDeleteResult::Refused;
  return DeleteListedFile(FolderPin(folder, FollowLink::Yes), name, attributes);
}

FileDeleteResult DeleteListedFile(const FolderPin& folder, const std::wstring& name, DWORD attributes) {
  if (!MayDelete(folder.Path(), name, attributes)) return FileDeleteResult::Refused;
  bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  DWORD access = DELETE | FILE_READ_ATTRIBUTES | (readOnly ? FILE_WRITE_ATTRIBUTES : 0);
  LONG status = 0;
  HANDLE h = OpenListed(folder, name, access, &status);
  if (h == INVALID_HANDLE_VALUE) return FromOpenStatus(status);
  FileDeleteResult result = ReachedThroughLink(h, folder, name) ? FileDeleteResult::Refused
                                                                 : DeleteReadOnlyAware(h, attributes, readOnly);
  ::CloseHandle(h);
  return result;
}

// A folder, or a folder link, removed through a handle on the name itself.
// Where the system opens a link's target instead (the handle and the name
// disagree on the link), nothing is removed: a remove through that handle
// would take the target.
bool RemoveFolder(const std::wstring& path) {
  std::wstring bare = path.size() > 3 && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
  if (!HasAcceptedForm(bare) || bare.size() <= 3) return false;  // never a drive root
  std::wstring literal = LiteralPath(bare);
  HANDLE h = ::CreateFileW(literal.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD attrs = 0;
  DWORD named = ::GetFileAttributesW(literal.c_str());
  bool removed = false;
  if (nt::Attributes(h, &attrs) && named != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      ((attrs ^ named) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    removed = MarkForDeletion(h);
  }
  ::CloseHandle(h);
  // Marked is not gone where the system decides at the close: ask the name.
  return removed && ::GetFileAttributesW(literal.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemovePinnedFolder(FolderPin& folder) {
  bool marked = folder.MayRemove() && folder.IsFolder() && !folder.IsLink() && MarkForDeletion(folder.Handle());
  folder.Close();
  return marked;
}

bool IsNamedFilePath(const std::wstring& path) {
  if (!HasAcceptedForm(path) || path.find_first_of(L"*?") != std::wstring::npos) return false;
  size_t slash = path.find_last_of(L"\\/");
  return slash != std::wstring::npos && slash + 1 < path.size();
}

Lookup FindNamedFile(const std::wstring& path, const std::function<void(const ListedEntry&)>& use,
                     std::wstring* linkIntoPlace) {
  if (!IsNamedFilePath(path)) return Lookup::Missing;
  size_t slash = path.find_last_of(L"\\/");
  FolderPin folder(path.substr(0, slash + 1), FollowLink::Yes);
  if (!folder.LinkIntoPlace().empty()) {
    if (linkIntoPlace != nullptr) *linkIntoPlace = folder.LinkIntoPlace();
    return Lookup::Failed;
  }
  if (!folder.IsFolder()) return Lookup::Missing;
  return FindPinned(folder, path.substr(slash + 1), use);
}

FileDeleteResult DeleteNamedFile(const std::wstring& path) {
  if (!IsNamedFilePath(path)) return FileDeleteResult::Refused;
  FileDeleteResult result = FileDeleteResult::Missing;
  std::wstring place;
  Lookup found = FindNamedFile(
      path, [&](const ListedEntry& entry) { result = DeleteListedFile(entry.Folder(), entry.Name(), entry.Attributes()); },
      &place);
  if (!place.empty()) return FileDeleteResult::Refused;
  return found == Lookup::Failed ? FileDeleteResult::Failed : result;
}

}  // namespace guard
}  // namespace core
