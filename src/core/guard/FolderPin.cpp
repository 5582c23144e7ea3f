#include "core/guard/FolderPin.h"

#include "core/guard/FileNames.h"

namespace core {
namespace guard {
namespace {

struct NtUnicodeString {
  USHORT Length;
  USHORT MaximumLength;
  PWSTR Buffer;
};

constexpr int kObjectNameInformation = 1;
using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring WithSlash(const std::wstring& folder) {
  return !folder.empty() && folder.back() == L'\\' ? folder : folder + L'\\';
}

// "C:\x\" -> "C:\x"; a drive root keeps its "\".
std::wstring Bare(const std::wstring& folder) {
  return folder.size() > 3 && folder.back() == L'\\' ? folder.substr(0, folder.size() - 1) : folder;
}

// A pin not shared for deletion: where the system honours that, the folder
// cannot be renamed away while it is walked. A look (after a refusal) shares all.
HANDLE OpenFolder(const std::wstring& bare, FollowLink follow, DWORD share) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow == FollowLink::No ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  return ::CreateFileW(LiteralPath(bare).c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING, flags,
                       nullptr);
}

std::wstring FolderName(HANDLE h) {
  KernelNameBuffer buf;
  std::wstring name(KernelName(h, &buf));
  if (!name.empty() && name.back() != L'\\') name += L'\\';
  return name;
}

}  // namespace

std::wstring_view KernelName(HANDLE h, KernelNameBuffer* buf) {
  static auto query = reinterpret_cast<NtQueryObjectFn>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject"));
  if (query == nullptr) return {};
  ULONG needed = 0;
  if (query(h, kObjectNameInformation, buf->bytes, sizeof(buf->bytes) - 2, &needed) < 0) return {};
  const auto* name = reinterpret_cast<const NtUnicodeString*>(buf->bytes);
  if (name->Buffer == nullptr) return {};
  return std::wstring_view(name->Buffer, name->Length / sizeof(wchar_t));
}

FolderPin::FolderPin(const std::wstring& folder, FollowLink follow) : path_(WithSlash(folder)) { Open(follow); }

FolderPin::FolderPin(const FolderPin& parent, const std::wstring& name) : path_(parent.Path() + name + L'\\') {
  Open(FollowLink::No);
  if (!folder_ || link_) return;
  // Opened by path, the sub-folder is the parent's own only when its name is
  // the pinned parent's name and its own.
  if (parent.Name().empty() || (name_ != parent.Name() + name + L'\\' && !IsTrimmedNameOfItself(parent, name))) {
    folder_ = false;
    replaced_ = true;
  }
}

// Some systems name a folder "x." or "x " without its dots and spaces. It is
// itself when so named and not the folder the trimmed name holds.
bool FolderPin::IsTrimmedNameOfItself(const FolderPin& parent, const std::wstring& name) const {
  std::wstring trimmed = TrimmedName(name);
  if (!EndsInDotOrSpace(name) || trimmed.empty() || name_ != parent.Name() + trimmed + L'\\') return false;
  HANDLE other = OpenFolder(parent.Path() + trimmed, FollowLink::No, kShareAll);
  if (other == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  BY_HANDLE_FILE_INFORMATION info{};
  bool same = ::GetFileInformationByHandle(other, &info) &&
              identity_ == Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  ::CloseHandle(other);
  return !same;
}

void FolderPin::Open(FollowLink follow) {
  follow_ = follow;
  std::wstring bare = Bare(path_);
  handle_ = OpenFolder(bare, follow, follow == FollowLink::No ? FILE_SHARE_READ | FILE_SHARE_WRITE : kShareAll);
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle_ == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle_, &info)) return;
  DWORD attrs = info.dwFileAttributes;
  if (follow == FollowLink::No) {
    // The name is asked too: some systems show a link only there.
    DWORD named = ::GetFileAttributesW(LiteralPath(bare).c_str());
    if (named == INVALID_FILE_ATTRIBUTES) return;
    attrs |= named;
    link_ = (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }
  folder_ = (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
  identity_ = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  name_ = FolderName(handle_);
}

bool FolderPin::StillInPlace() const {
  if (handle_ == INVALID_HANDLE_VALUE || name_.empty()) return false;
  std::wstring bare = Bare(path_);
  HANDLE h = OpenFolder(bare, follow_, kShareAll);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  bool same = ::GetFileInformationByHandle(h, &info) &&
              identity_ == Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow} &&
              FolderName(h) == name_;
  ::CloseHandle(h);
  if (!same || follow_ == FollowLink::Yes) return same;
  DWORD named = ::GetFileAttributesW(LiteralPath(bare).c_str());
  return named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

namespace {

HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* fd) {
  // The basic form skips the short names; systems before Windows 7 reject it.
  static bool basic = true;
  if (basic) {
    HANDLE h = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, fd, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_INVALID_PARAMETER) return h;
    basic = false;
  }
  return ::FindFirstFileW(pattern.c_str(), fd);
}

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

bool ListPinned(const FolderPin& folder, const std::function<bool(const ListedEntry&)>& visit) {
  if (!folder.IsFolder()) return false;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirst(LiteralPath(folder.Path() + L"*"), &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    if (!IsDots(fd.cFileName) && !visit(ListedEntry(folder, fd))) break;
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return true;
}

std::unique_ptr<FolderPin> PinBelow(const FolderPin& base, const std::wstring& relative) {
  std::unique_ptr<FolderPin> pin;
  const FolderPin* above = &base;
  for (size_t at = 0; at < relative.size();) {
    size_t end = relative.find(L'\\', at);
    if (end == std::wstring::npos) end = relative.size();
    pin = std::make_unique<FolderPin>(*above, relative.substr(at, end - at));
    if (pin->IsLink() || pin->IsReplaced()) return pin;
    if (!pin->IsFolder()) return nullptr;
    above = pin.get();
    at = end + 1;
  }
  return pin;
}

void FolderPin::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace guard
}  // namespace core
