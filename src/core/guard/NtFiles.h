// The few native file calls the guard needs and Win32 does not offer: an
// open relative to a folder handle, and small queries on a handle. Declared
// here, resolved from ntdll at first use.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace core {
namespace guard {
namespace nt {

constexpr ULONG kDirectoryFile = 0x00000001;
constexpr ULONG kNonDirectoryFile = 0x00000040;
constexpr ULONG kOpenReparsePoint = 0x00200000;
constexpr ULONG kOpenForBackup = 0x00004000;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

constexpr ULONG kFileOpen = 1;
constexpr ULONG kFileCreate = 2;  // a new name only: never opens what bears it, a link included

constexpr LONG kNameNotFound = static_cast<LONG>(0xC0000034);
constexpr LONG kPathNotFound = static_cast<LONG>(0xC000003A);

// Opens `name` (one part, no separator) of the folder `root` as it is
// written: no trimming, no lookup by path. The handle is synchronous.
// Returns the status; `out` is set only on success.
LONG OpenRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options,
                  HANDLE* out);
// The same with a disposition (kFileOpen, kFileCreate) and the attributes of
// a file it makes.
LONG CreateRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG disposition,
                    ULONG options, ULONG attributes, HANDLE* out);
// A second handle on the very object `h` holds, not on its name.
LONG Reopen(HANDLE h, ACCESS_MASK access, ULONG share, ULONG options, HANDLE* out);
// The system's error for a status.
DWORD ErrorOf(LONG status);

// The file's index on its volume.
bool FileIndex(HANDLE h, ULONGLONG* index);
// The attributes of the object the handle holds.
bool Attributes(HANDLE h, DWORD* attributes);
// The serial of the volume the handle lies on (a query some systems answer
// from another process: asked once per pinned root).
bool VolumeSerial(HANDLE h, DWORD* serial);

LONG SetInformation(HANDLE h, void* info, ULONG size, int infoClass);
bool MarkForDeletion(HANDLE h, BOOLEAN remove = TRUE);

// One batch of the folder's entries into `buf`, from the start when
// `restart`: Filled, or End when there are no more, or Failed.
enum class Batch { Filled, End, Failed };
Batch ReadFolder(HANDLE folder, void* buf, ULONG size, bool restart);
// Walks a batch ReadFolder filled: each entry as find data (no short name)
// and its file id, which the listing carries at no extra cost.
template <typename Visit>
bool ForEachEntry(const void* buf, Visit visit);

// The listing's class with the file id (Wine gives the id its own index
// query gives).
struct IdFullDirInfo {
  ULONG NextEntryOffset;
  ULONG FileIndex;
  LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime, EndOfFile, AllocationSize;
  ULONG FileAttributes;
  ULONG FileNameLength;
  ULONG EaSize;
  LARGE_INTEGER FileId;
  WCHAR FileName[1];
};
static_assert(offsetof(IdFullDirInfo, FileName) == 80, "the system's layout");

// The entry `name` (one part) of the folder `folder` holds, looked up by
// that name alone through a second handle on the folder, as a listing gives
// it: its attributes and file id. The status; kNameNotFound when the folder
// holds no such name.
LONG ReadEntry(HANDLE folder, const std::wstring& name, DWORD* attributes, ULONGLONG* id);

// An entry as the find functions give it, or false for a name too long to fit.
bool ToFindData(const IdFullDirInfo& e, WIN32_FIND_DATAW* fd);

template <typename Visit>
bool ForEachEntry(const void* buf, Visit visit) {
  const BYTE* at = static_cast<const BYTE*>(buf);
  for (;;) {
    const auto* e = reinterpret_cast<const IdFullDirInfo*>(at);
    WIN32_FIND_DATAW fd;
    if (ToFindData(*e, &fd) && !visit(fd, static_cast<ULONGLONG>(e->FileId.QuadPart))) return false;
    if (e->NextEntryOffset == 0) return true;
    at += e->NextEntryOffset;
  }
}

}  // namespace nt
}  // namespace guard
}  // namespace core
