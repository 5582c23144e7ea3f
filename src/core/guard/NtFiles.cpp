#include "core/guard/NtFiles.h"

#include "core/guard/Redirection.h"
#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace nt {
namespace {

struct CountedString {
  USHORT Length;
  USHORT MaximumLength;
  PWSTR Buffer;
};

struct ObjectAttributes {
  ULONG Length;
  HANDLE RootDirectory;
  CountedString* ObjectName;
  ULONG Attributes;
  PVOID SecurityDescriptor;
  PVOID SecurityQualityOfService;
};

struct IoStatus {
  union {
    LONG Status;
    PVOID Pointer;
  };
  ULONG_PTR Information;
};

constexpr ULONG kCaseInsensitive = 0x40;
constexpr ULONG kSynchronousIo = 0x20;
constexpr int kFileInternalInformation = 6;
constexpr int kFileDispositionInformation = 13;
constexpr int kFileAttributeTagInformation = 35;
constexpr int kFileIdFullDirectoryInformation = 38;
constexpr int kFileFsVolumeInformation = 1;

using CreateFn = LONG(WINAPI*)(HANDLE*, ACCESS_MASK, ObjectAttributes*, IoStatus*, LARGE_INTEGER*, ULONG, ULONG,
                               ULONG, ULONG, PVOID, ULONG);
using QueryFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
using SetFn = QueryFn;
using QueryDirFn = LONG(WINAPI*)(HANDLE, HANDLE, PVOID, PVOID, IoStatus*, PVOID, ULONG, int, BOOLEAN,
                                 CountedString*, BOOLEAN);

FARPROC Ntdll(const char* name) { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name); }

LONG Query(HANDLE h, void* info, ULONG size, int infoClass) {
  static auto query = reinterpret_cast<QueryFn>(Ntdll("NtQueryInformationFile"));
  if (query == nullptr) return -1;
  IoStatus io{};
  return query(h, &io, info, size, infoClass);
}

// A 32-bit program's names are redirected by the system (system32 to its
// 32-bit view), and some systems redirect a name relative to a handle too,
// by the handle's own name: below the real system folder, reached by its
// name "sysnative", every name would then land in the 32-bit view. A name
// relative to a handle is what it is on disk.
// `name` may be empty only for a second handle on `root` itself.
LONG Create(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG disposition, ULONG options,
            ULONG attributes, HANDLE* out) {
  static auto create = reinterpret_cast<CreateFn>(Ntdll("NtCreateFile"));
  if (create == nullptr || name.size() > 32767) return -1;
  CountedString text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                     static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<PWSTR>(name.c_str())};
  ObjectAttributes attrs{sizeof(ObjectAttributes), root, &text, kCaseInsensitive, nullptr, nullptr};
  IoStatus io{};
  HANDLE h = nullptr;
  const ThreadRedirection literal(ThreadRedirection::Off);
  LONG status = create(&h, access | SYNCHRONIZE, &attrs, &io, nullptr, attributes, share, disposition,
                       options | kSynchronousIo | kOpenForBackup, nullptr, 0);
  if (status >= 0) *out = h;
  return status;
}

}  // namespace

LONG OpenRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options,
                  HANDLE* out) {
  return CreateRelative(root, name, access, share, kFileOpen, options, 0, out);
}

LONG CreateRelative(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG disposition,
                    ULONG options, ULONG attributes, HANDLE* out) {
  if (name.empty()) return -1;
  return Create(root, name, access, share, disposition, options, attributes, out);
}

LONG Reopen(HANDLE h, ACCESS_MASK access, ULONG share, ULONG options, HANDLE* out) {
  return Create(h, std::wstring(), access, share, kFileOpen, options, 0, out);
}

DWORD ErrorOf(LONG status) {
  using ToErrorFn = ULONG(WINAPI*)(LONG);
  static auto toError = reinterpret_cast<ToErrorFn>(Ntdll("RtlNtStatusToDosError"));
  return toError != nullptr ? toError(status) : ERROR_GEN_FAILURE;
}

bool FileIndex(HANDLE h, ULONGLONG* index) {
  LARGE_INTEGER value{};
  if (Query(h, &value, sizeof(value), kFileInternalInformation) < 0) return false;
  *index = static_cast<ULONGLONG>(value.QuadPart);
  return true;
}

bool Attributes(HANDLE h, DWORD* attributes) {
  struct {
    ULONG attributes, tag;
  } info{};
  if (Query(h, &info, sizeof(info), kFileAttributeTagInformation) < 0) return false;
  *attributes = info.attributes;
  return true;
}

bool VolumeSerial(HANDLE h, DWORD* serial) {
  static auto query = reinterpret_cast<QueryFn>(Ntdll("NtQueryVolumeInformationFile"));
  if (query == nullptr) return false;
  struct {
    LARGE_INTEGER created;
    ULONG serial, labelLength;
    BOOLEAN objects;
    WCHAR label[64];
  } info{};
  IoStatus io{};
  LONG status = query(h, &io, &info, sizeof(info), kFileFsVolumeInformation);
  // A label too long for the buffer still brings the serial.
  if (status < 0 && status != static_cast<LONG>(0x80000005)) return false;
  *serial = info.serial;
  return true;
}

LONG SetInformation(HANDLE h, void* info, ULONG size, int infoClass) {
  static auto set = reinterpret_cast<SetFn>(Ntdll("NtSetInformationFile"));
  if (set == nullptr) return -1;
  IoStatus io{};
  const ThreadRedirection literal(ThreadRedirection::Off);  // a new name given relative to a folder's handle, as for an open
  return set(h, &io, info, size, infoClass);
}

bool MarkForDeletion(HANDLE h, BOOLEAN remove) {
  return SetInformation(h, &remove, sizeof(remove), kFileDispositionInformation) >= 0;
}

Batch ReadFolder(HANDLE folder, void* buf, ULONG size, bool restart) {
  static auto read = reinterpret_cast<QueryDirFn>(Ntdll("NtQueryDirectoryFile"));
  if (read == nullptr) return Batch::Failed;
  IoStatus io{};
  LONG status = read(folder, nullptr, nullptr, nullptr, &io, buf, size, kFileIdFullDirectoryInformation, FALSE,
                     nullptr, restart ? TRUE : FALSE);
  if (status == static_cast<LONG>(0x80000006) || status == static_cast<LONG>(0xC000000F)) return Batch::End;
  if (status < 0) return Batch::Failed;
  return io.Information > 0 ? Batch::Filled : Batch::End;
}

LONG ReadEntry(HANDLE folder, const std::wstring& name, DWORD* attributes, ULONGLONG* id) {
  static auto read = reinterpret_cast<QueryDirFn>(Ntdll("NtQueryDirectoryFile"));
  if (read == nullptr || name.empty() || name.size() >= MAX_PATH) return -1;
  // A handle's listing keeps the first name it was asked for: a second handle.
  HANDLE second = INVALID_HANDLE_VALUE;
  LONG status = Reopen(folder, FILE_LIST_DIRECTORY, kShareAll, kDirectoryFile, &second);
  if (status < 0) return status;
  ULONGLONG buf[(sizeof(IdFullDirInfo) + MAX_PATH * sizeof(wchar_t)) / sizeof(ULONGLONG) + 1];
  CountedString mask{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                     static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<PWSTR>(name.c_str())};
  IoStatus io{};
  status = read(second, nullptr, nullptr, nullptr, &io, buf, sizeof(buf), kFileIdFullDirectoryInformation, TRUE,
                &mask, TRUE);
  ::CloseHandle(second);
  if (status == static_cast<LONG>(0x80000006) || status == static_cast<LONG>(0xC000000F)) return kNameNotFound;
  if (status < 0) return status;
  const auto* e = reinterpret_cast<const IdFullDirInfo*>(buf);
  const std::wstring listed(e->FileName, e->FileNameLength / sizeof(wchar_t));
  if (!sys::SameText(listed, name)) return kNameNotFound;
  *attributes = e->FileAttributes;
  *id = static_cast<ULONGLONG>(e->FileId.QuadPart);
  return status;
}

bool ToFindData(const IdFullDirInfo& e, WIN32_FIND_DATAW* fd) {
  size_t chars = e.FileNameLength / sizeof(wchar_t);
  if (chars >= MAX_PATH) return false;
  *fd = WIN32_FIND_DATAW{};
  fd->dwFileAttributes = e.FileAttributes;
  auto time = [](const LARGE_INTEGER& t) { return FILETIME{t.LowPart, static_cast<DWORD>(t.HighPart)}; };
  fd->ftCreationTime = time(e.CreationTime);
  fd->ftLastAccessTime = time(e.LastAccessTime);
  fd->ftLastWriteTime = time(e.LastWriteTime);
  fd->nFileSizeHigh = static_cast<DWORD>(e.EndOfFile.HighPart);
  fd->nFileSizeLow = e.EndOfFile.LowPart;
  // A reparse point carries its tag here, as the find functions give it.
  if ((e.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) fd->dwReserved0 = e.EaSize;
  memcpy(fd->cFileName, e.FileName, chars * sizeof(wchar_t));
  return true;
}

}  // namespace nt
}  // namespace guard
}  // namespace core
