#include "core/guard/PinnedOpen.h"

#include "core/guard/FileCreate.h"
#include "core/guard/FileDelete.h"
#include "core/guard/FileNames.h"

namespace core {
namespace guard {
namespace {

// The open file is the pinned folder's own `name`: no link (some systems
// show one only on the handle's name, so that is compared too), no folder,
// and no other name that could make a write land in another file.
bool IsOwnFile(HANDLE h, const FolderPin& folder, const std::wstring& name) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return false;
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
  return info.nNumberOfLinks <= 1 && !ReachedThroughLink(h, folder, name);
}

PinnedOpen Checked(HANDLE h, const FolderPin& folder, const std::wstring& name, bool made) {
  if (IsOwnFile(h, folder, name)) return {h, PinnedOpenResult::Opened, 0};
  if (made) RemoveJustMadeFile(h);
  ::CloseHandle(h);
  return {INVALID_HANDLE_VALUE, PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE};
}

PinnedOpen NotOpened(PinnedOpenResult result, DWORD error) { return {INVALID_HANDLE_VALUE, result, error}; }

}  // namespace

PinnedOpen OpenPinnedFile(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share,
                          PinnedCreate create, DWORD flags) {
  if (!folder.IsFolder() || folder.Name().empty() || !IsPlainFileName(name)) {
    return NotOpened(PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE);
  }
  std::wstring path = LiteralPath(folder.Path() + name);
  flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  // A made file may have to go again through its handle.
  DWORD makeAccess = access | DELETE;
  // A name that is there but cannot be opened, and cannot be made, is a link
  // to nothing (some systems create a link's target even with the flag) or
  // one planted and removed again meanwhile: tried a few times, then refused.
  for (int tries = 0; tries < 3; ++tries) {
    if (create != PinnedCreate::New) {
      HANDLE h = ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
      if (h != INVALID_HANDLE_VALUE) return Checked(h, folder, name, false);
      DWORD error = ::GetLastError();
      if (error == ERROR_PATH_NOT_FOUND) return NotOpened(PinnedOpenResult::Missing, error);
      if (error != ERROR_FILE_NOT_FOUND) return NotOpened(PinnedOpenResult::Failed, error);
      if (create == PinnedCreate::No) return NotOpened(PinnedOpenResult::Missing, error);
    }
    HANDLE h = ::CreateFileW(path.c_str(), makeAccess, share, nullptr, CREATE_NEW, flags, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      PinnedOpen made = Checked(h, folder, name, true);
      if (made.result != PinnedOpenResult::Opened || (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0) return made;
      // Made in its place: opened again as asked, without the right to
      // delete, which would keep every other opener of the file out.
      ::CloseHandle(made.handle);
      create = PinnedCreate::No;
      continue;
    }
    DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return NotOpened(PinnedOpenResult::Failed, error);
    if (create == PinnedCreate::New) return NotOpened(PinnedOpenResult::Failed, error);
  }
  return NotOpened(PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE);
}

}  // namespace guard
}  // namespace core
