#include "cleaner/WipeFile.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/guard/FileDelete.h"
#include "core/guard/FileNames.h"
#include "core/guard/NtFiles.h"
#include "core/guard/OwnedHandle.h"
#include "core/guard/PinnedOpen.h"

namespace cleaner {
namespace {

using core::guard::ListedEntry;
using core::guard::OwnedHandle;
using core::guard::PinnedOpen;
using core::guard::PinnedOpenResult;

WipeResult FromOpen(PinnedOpenResult opened) {
  switch (opened) {
    case PinnedOpenResult::Opened: return WipeResult::Wiped;
    case PinnedOpenResult::Missing: return WipeResult::Missing;
    case PinnedOpenResult::Refused: return WipeResult::Refused;
    case PinnedOpenResult::OtherName: return WipeResult::OtherName;
    default: return WipeResult::Failed;
  }
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
WipeResult CheckOccupied(HANDLE file, const std::wstring& folder, LONGLONG size) {
  LONGLONG allocated = AllocatedSize(file);
  if (allocated >= 0 && allocated < size) return WipeResult::Sparse;
  ULARGE_INTEGER freeBytes{};
  if (::GetDiskFreeSpaceExW(folder.c_str(), &freeBytes, nullptr, nullptr) &&
      static_cast<ULONGLONG>(size) > freeBytes.QuadPart) {
    return WipeResult::NoSpace;
  }
  return WipeResult::Wiped;
}

// One pass: open (judged by the guard against the listing), overwrite,
// flush, close. Each pass opens the file anew, since its name may have been
// given to another file meanwhile.
WipeResult WipePass(const ListedEntry& entry, bool firstPass, const std::vector<BYTE>& block) {
  PinnedOpen opened = core::guard::OpenListedFile(entry, GENERIC_READ | GENERIC_WRITE, 0);
  OwnedHandle file(opened.handle);
  if (!file.Valid()) return FromOpen(opened.result);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return WipeResult::Failed;
  if (firstPass) {
    WipeResult occupied = CheckOccupied(file.Get(), entry.Folder().Path(), size.QuadPart);
    if (occupied != WipeResult::Wiped) return occupied;
  }
  if (!WritePass(file.Get(), size.QuadPart, block)) return WipeResult::Failed;
  return WipeResult::Wiped;
}

WipeResult RunPasses(const ListedEntry& entry, int passes, const WipePassHook& afterPass) {
  std::minstd_rand random(::GetTickCount() ^ static_cast<unsigned>(reinterpret_cast<uintptr_t>(&entry)));
  std::uniform_int_distribution<int> byteValue(0, 254);
  std::vector<BYTE> block(kWipeBlockSize);
  for (int pass = 1; pass <= passes; ++pass) {
    BYTE value = static_cast<BYTE>(byteValue(random));
    std::fill(block.begin(), block.end(), value);
    WipeResult result = WipePass(entry, pass == 1, block);
    if (result != WipeResult::Wiped) return result;
    if (afterPass) afterPass(pass, value);
  }
  return WipeResult::Wiped;
}

bool SetAttributes(HANDLE h, DWORD attributes) {
  FILE_BASIC_INFO info{};  // zero times: left as they are
  info.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return ::SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof(info)) != FALSE;
}

}  // namespace

WipeResult WipeFile(const std::wstring& path, int passes, const WipePassHook& afterPass) {
  WipeResult result = WipeResult::Missing;
  core::guard::FindNamedFile(core::guard::StripExtendedPrefix(path), [&](const ListedEntry& entry) {
    result = WipeFile(entry, passes, afterPass);
  });
  return result;
}

WipeResult WipeFile(const ListedEntry& entry, int passes, const WipePassHook& afterPass) {
  const DWORD attrs = entry.Attributes();
  if (entry.IsFolder()) return WipeResult::Missing;
  if (entry.IsLink()) return WipeResult::Refused;
  if ((attrs & (FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED)) != 0) return WipeResult::Sparse;
  passes = std::clamp(passes, 1, 10);
  if ((attrs & FILE_ATTRIBUTE_READONLY) == 0) return RunPasses(entry, passes, afterPass);
  // Attributes belong to every name of a file: changed only on a handle
  // judged as the listed file's own, which the passes' exclusive opens share
  // (it reads and writes no data), and put back on it.
  PinnedOpen attributes =
      core::guard::OpenListedFile(entry, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, core::guard::nt::kShareAll);
  OwnedHandle held(attributes.handle);
  if (!held.Valid()) return FromOpen(attributes.result);
  if (!SetAttributes(held.Get(), attrs & ~FILE_ATTRIBUTE_READONLY)) return WipeResult::Failed;
  WipeResult result = RunPasses(entry, passes, afterPass);
  SetAttributes(held.Get(), attrs);
  return result;
}

}  // namespace cleaner
