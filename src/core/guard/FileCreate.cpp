#include "core/guard/FileCreate.h"

#include <ntsecapi.h>

#include "core/guard/FileDelete.h"
#include "core/guard/PinnedOpen.h"

namespace core {
namespace guard {
namespace {

CreatedFile Refused(CreateResult result, DWORD error) {
  CreatedFile f;
  f.Result = result;
  f.Error = error;
  return f;
}

CreatedFile Opened(HANDLE h) {
  CreatedFile f;
  f.Handle = h;
  f.Result = CreateResult::Created;
  return f;
}

bool IsTakenError(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

std::wstring RandomHex() {
  unsigned char raw[12] = {};
  if (!RtlGenRandom(raw, sizeof(raw))) {
    // Still never a fixed name: the clock varies it.
    LARGE_INTEGER t{};
    ::QueryPerformanceCounter(&t);
    ::CopyMemory(raw, &t, sizeof(t));
  }
  static const wchar_t kHex[] = L"0123456789abcdef";
  std::wstring s;
  for (unsigned char b : raw) {
    s += kHex[b >> 4];
    s += kHex[b & 15];
  }
  return s;
}

// The open file is the one `path` names in its folder. The name as typed
// may differ from the one on disk (in case, say): then the listed name is
// judged, which for a link is the link's own.
bool LiesWhereNamed(HANDLE h, const std::wstring& path) {
  if (!ReachedThroughLink(h, path)) return true;
  WIN32_FIND_DATAW found;
  HANDLE find = ::FindFirstFileW(path.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  const std::wstring listed = path.substr(0, path.find_last_of(L"\\/") + 1) + found.cFileName;
  return listed != path && !ReachedThroughLink(h, listed);
}

// An existing file the user named, judged on the handle that will write it.
CreatedFile OpenExisting(const std::wstring& path, UserFileMode mode, DWORD access, DWORD share) {
  HANDLE h = ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Refused(CreateResult::Failed, ::GetLastError());
  BY_HANDLE_FILE_INFORMATION info{};
  CreatedFile f = Opened(h);
  if (!::GetFileInformationByHandle(h, &info)) f = Refused(CreateResult::Failed, ::GetLastError());
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) f = Refused(CreateResult::Taken, ERROR_ALREADY_EXISTS);
  else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1 ||
           !LiesWhereNamed(h, path))
    f = Refused(CreateResult::Link, ERROR_CANT_ACCESS_FILE);
  else if (mode == UserFileMode::Replace && !::SetEndOfFile(h))
    f = Refused(CreateResult::Failed, ::GetLastError());
  if (!f.Ok()) ::CloseHandle(h);
  return f;
}

}  // namespace

CreatedFile CreateNewFile(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
  const size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return Refused(CreateResult::Failed, ERROR_INVALID_NAME);
  // Pinned first; the file is then made relative to the pin, so a folder
  // swapped for a link meanwhile never receives it.
  const FolderPin folder(path.substr(0, slash + 1), FollowLink::Yes);
  return CreateNewFileIn(folder, path.substr(slash + 1), access, share, flags);
}

CreatedFile CreateNewFileIn(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share,
                            DWORD flags) {
  // Nothing is made where a link of the user's leads into the system's places.
  if (!folder.LinkIntoPlace().empty() || folder.LinkBelowShared()) {
    return Refused(CreateResult::Link, ERROR_CANT_ACCESS_FILE);
  }
  if (!folder.IsFolder()) return Refused(CreateResult::Failed, ERROR_PATH_NOT_FOUND);
  PinnedOpen made = OpenPinnedFile(folder, name, access, share, PinnedCreate::New, flags);
  switch (made.result) {
    case PinnedOpenResult::Opened:
      return Opened(made.handle);
    case PinnedOpenResult::Refused:
    case PinnedOpenResult::OtherName:
      return Refused(CreateResult::Link, ERROR_CANT_ACCESS_FILE);
    default:
      return Refused(IsTakenError(made.error) ? CreateResult::Taken : CreateResult::Failed, made.error);
  }
}

CreatedFile CreateScratchFile(const std::wstring& folder, DWORD access, std::wstring* path) {
  const FolderPin pin(folder, FollowLink::Yes);
  CreatedFile f;
  // A taken random name is someone's guess come true: try a few more.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const std::wstring name = L"~vantorel-" + RandomHex() + L".tmp";
    f = CreateNewFileIn(pin, name, access | DELETE, 0, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
    if (f.Ok() && path != nullptr) *path = pin.Path() + name;
    if (f.Result != CreateResult::Taken) return f;
  }
  return f;
}

CreatedFile CreateScratchIn(const FolderPin& folder, DWORD access) {
  CreatedFile f;
  // A taken random name is someone's guess come true: try a few more.
  for (int attempt = 0; attempt < 4; ++attempt) {
    f = CreateNewFileIn(folder, L"~vantorel-" + RandomHex() + L".tmp", access | DELETE, 0);
    if (f.Result != CreateResult::Taken) return f;
  }
  return f;
}

CreatedFile OpenUserFile(const std::wstring& path, UserFileMode mode, DWORD access, DWORD share) {
  CreatedFile f = CreateNewFile(path, access, share);
  if (f.Result != CreateResult::Taken) return f;
  const bool onlyLook = mode == UserFileMode::CreateOnly;
  f = onlyLook ? OpenExisting(path, UserFileMode::Keep, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)
               : OpenExisting(path, mode, access, share);
  // Taken to CREATE_NEW, missing to an open: a link that leads nowhere.
  if (f.Result == CreateResult::Failed && (f.Error == ERROR_FILE_NOT_FOUND || f.Error == ERROR_PATH_NOT_FOUND))
    return Refused(CreateResult::Link, ERROR_CANT_ACCESS_FILE);
  if (onlyLook && f.Ok()) {
    ::CloseHandle(f.Handle);
    return Refused(CreateResult::Taken, ERROR_FILE_EXISTS);
  }
  return f;
}

void RemoveJustMadeFile(HANDLE h) {
  FILE_DISPOSITION_INFO gone{TRUE};
  if (::SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof(gone))) return;
  HANDLE del = ::ReOpenFile(h, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
  if (del == INVALID_HANDLE_VALUE) return;
  ::SetFileInformationByHandle(del, FileDispositionInfo, &gone, sizeof(gone));
  ::CloseHandle(del);
}

}  // namespace guard
}  // namespace core
