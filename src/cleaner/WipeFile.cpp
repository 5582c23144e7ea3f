#include "cleaner/WipeFile.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "cleaner/Masks.h"
#include "cleaner/PathGuard.h"
#include "core/guard/FileDelete.h"

namespace cleaner {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (ok()) ::CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

HANDLE OpenExclusive(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The file to wipe: its pinned folder, its name there, and its path.
struct WipeTarget {
  const core::guard::FolderPin& folder;
  const std::wstring& name;
  std::wstring path;
};

// The file a handle names: volume and index.
struct FileIdentity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const FileIdentity& o) const { return volume == o.volume && high == o.high && low == o.low; }
};

// Checks the file on every open, since each pass opens it anew and its name
// may have been given to another file meanwhile; false when it must not be
// wiped. The first pass records which file it is, later passes must meet the same.
WipeResult CheckWipeable(HANDLE file, const WipeTarget& target, bool firstPass, FileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) return WipeResult::Failed;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return WipeResult::Refused;
  if (info.nNumberOfLinks > 1) return WipeResult::OtherName;
  FileIdentity opened{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  if (firstPass) *identity = opened;
  else if (!(opened == *identity)) return WipeResult::Refused;
  return core::guard::ReachedThroughLink(file, target.folder, target.name) ? WipeResult::Refused : WipeResult::Wiped;
}

bool WritePass(HANDLE file, LONGLONG size, const std::vector<BYTE>& block) {
  LARGE_INTEGER zero{};
  if (!::SetFilePointerEx(file, zero, nullptr, FILE_BEGIN)) return false;
  for (LONGLONG left = size; left > 0;) {
    DWORD chunk = left < static_cast<LONGLONG>(block.size()) ? static_cast<DWORD>(left) : static_cast<DWORD>(block.size());
    DWORD written = 0;
    if (!::WriteFile(file, block.data(), chunk, &written, nullptr) || written != chunk) return false;
    left -= chunk;
  }
  return ::FlushFileBuffers(file) != FALSE;
}

// The bytes the file holds on disk; -1 when the system does not say.
LONGLONG AllocatedSize(HANDLE file) {
  FILE_STANDARD_INFO info{};
  using Fn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  static auto get = reinterpret_cast<Fn>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFileInformationByHandleEx"));
  if (get == nullptr || !get(file, FileStandardInfo, &info, sizeof(info))) return -1;
  return info.AllocationSize.QuadPart;
}

// A file with holes, or compressed, would grow to its whole size on disk.
WipeResult CheckOccupied(HANDLE file, const std::wstring& path, LONGLONG size) {
  LONGLONG allocated = AllocatedSize(file);
  if (allocated >= 0 && allocated < size) return WipeResult::Sparse;
  ULARGE_INTEGER freeBytes{};
  std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
  if (::GetDiskFreeSpaceExW(folder.c_str(), &freeBytes, nullptr, nullptr) &&
      static_cast<ULONGLONG>(size) > freeBytes.QuadPart) {
    return WipeResult::NoSpace;
  }
  return WipeResult::Wiped;
}

// One pass: open, check, overwrite, flush, close.
WipeResult WipePass(const WipeTarget& target, bool firstPass, FileIdentity* identity, const std::vector<BYTE>& block) {
  Handle file(OpenExclusive(target.path));
  if (!file.ok()) return WipeResult::Failed;
  WipeResult check = CheckWipeable(file.get(), target, firstPass, identity);
  if (check != WipeResult::Wiped) return check;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return WipeResult::Failed;
  if (firstPass) {
    WipeResult occupied = CheckOccupied(file.get(), target.path, size.QuadPart);
    if (occupied != WipeResult::Wiped) return occupied;
  }
  if (!WritePass(file.get(), size.QuadPart, block)) return WipeResult::Failed;
  return WipeResult::Wiped;
}

WipeResult RunPasses(const WipeTarget& target, int passes, const WipePassHook& afterPass) {
  std::minstd_rand random(::GetTickCount() ^ static_cast<unsigned>(reinterpret_cast<uintptr_t>(&target)));
  std::uniform_int_distribution<int> byteValue(0, 254);
  std::vector<BYTE> block(kWipeBlockSize);
  FileIdentity identity;
  for (int pass = 1; pass <= passes; ++pass) {
    BYTE value = static_cast<BYTE>(byteValue(random));
    std::fill(block.begin(), block.end(), value);
    WipeResult result = WipePass(target, pass == 1, &identity, block);
    if (result != WipeResult::Wiped) return result;
    if (afterPass) afterPass(pass, value);
  }
  return WipeResult::Wiped;
}

// Before any attribute is changed: the file must be its folder's own, with
// no other name, since attributes belong to every name of a file.
WipeResult CheckBeforeChange(const WipeTarget& target) {
  Handle file(::CreateFileW(target.path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.ok()) return WipeResult::Failed;
  FileIdentity unused;
  return CheckWipeable(file.get(), target, true, &unused);
}

}  // namespace

WipeResult WipeFile(const std::wstring& path, int passes, const WipePassHook& afterPass) {
  std::wstring plain = core::guard::StripExtendedPrefix(path);
  size_t slash = plain.find_last_of(L'\\');
  if (slash == std::wstring::npos) return WipeResult::Missing;
  core::guard::FolderPin folder(plain.substr(0, slash + 1), core::guard::FollowLink::Yes);
  return WipeFile(folder, plain.substr(slash + 1), passes, afterPass);
}

WipeResult WipeFile(const core::guard::FolderPin& folder, const std::wstring& name, int passes,
                    const WipePassHook& afterPass) {
  WipeTarget target{folder, name, core::guard::LiteralPath(folder.Path() + name)};
  const std::wstring& path = target.path;
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return WipeResult::Missing;
  if ((attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) return WipeResult::Missing;
  if ((attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return WipeResult::Refused;
  if ((attrs & (FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED)) != 0) return WipeResult::Sparse;
  if (passes < 1) passes = 1;
  if (passes > 10) passes = 10;
  bool readOnly = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) {
    WipeResult check = CheckBeforeChange(target);
    if (check != WipeResult::Wiped) return check;
  }
  // Through a checked handle: a path alone may lead out of the pinned folder.
  if (readOnly && !core::guard::SetListedFileAttributes(folder, name, attrs & ~FILE_ATTRIBUTE_READONLY)) {
    return WipeResult::Refused;
  }
  WipeResult result = RunPasses(target, passes, afterPass);
  if (readOnly) core::guard::SetListedFileAttributes(folder, name, attrs);
  return result;
}

}  // namespace cleaner
