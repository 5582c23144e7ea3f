#include "core/guard/PinnedOpen.h"

#include "core/guard/FileCreate.h"
#include "core/guard/FileDelete.h"
#include "core/guard/NtFiles.h"

namespace core {
namespace guard {
namespace {

std::function<void(const std::wstring&)>& BeforeOpen() {
  static std::function<void(const std::wstring&)> hook;
  return hook;
}

// CreateFileW's flags as the native open takes them.
const struct {
  DWORD flag;
  ULONG option;
} kFlagOptions[] = {
    {FILE_FLAG_WRITE_THROUGH, FILE_WRITE_THROUGH},
    {FILE_FLAG_NO_BUFFERING, FILE_NO_INTERMEDIATE_BUFFERING},
    {FILE_FLAG_RANDOM_ACCESS, FILE_RANDOM_ACCESS},
    {FILE_FLAG_SEQUENTIAL_SCAN, FILE_SEQUENTIAL_ONLY},
    {FILE_FLAG_DELETE_ON_CLOSE, FILE_DELETE_ON_CLOSE},
};

// A file only, and a link itself, never what it leads to.
ULONG OptionsOf(DWORD flags) {
  ULONG options = nt::kNonDirectoryFile | nt::kOpenReparsePoint;
  for (const auto& f : kFlagOptions) {
    if ((flags & f.flag) != 0) options |= f.option;
  }
  return options;
}

// What CreateFileW asks for besides: the attributes the judgement reads, and
// the right to delete for a file to be removed at its close.
ACCESS_MASK AccessOf(DWORD access, DWORD flags) {
  return access | FILE_READ_ATTRIBUTES | ((flags & FILE_FLAG_DELETE_ON_CLOSE) != 0 ? DELETE : 0);
}

PinnedOpen NotOpened(PinnedOpenResult result, DWORD error) { return {INVALID_HANDLE_VALUE, result, error}; }

PinnedOpen FromStatus(LONG status) {
  if (status == nt::kNameNotFound || status == nt::kPathNotFound) {
    return NotOpened(PinnedOpenResult::Missing, ERROR_FILE_NOT_FOUND);
  }
  return NotOpened(PinnedOpenResult::Failed, nt::ErrorOf(status));
}

// The open file is the pinned folder's own `name`: a plain file on the
// pin's volume, the file the listing gave (`listedId`; null for a file just
// made), with no other name that could make a write land elsewhere too,
// named by the kernel as the pinned folder's `name`, and so again when the
// name is opened afresh.
PinnedOpenResult Judge(HANDLE h, const FolderPin& folder, const std::wstring& name, const ULONGLONG* listedId) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return PinnedOpenResult::Refused;  // cannot tell: not ours
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return PinnedOpenResult::Refused;
  }
  const ULONGLONG id = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  if (info.dwVolumeSerialNumber != folder.Identity().volume || (listedId != nullptr && id != *listedId)) {
    return PinnedOpenResult::Refused;
  }
  if (info.nNumberOfLinks > 1) return PinnedOpenResult::OtherName;
  if (info.nNumberOfLinks == 0 || ReachedThroughLink(h, folder, name) || !StillPinnedAs(h, folder, name)) {
    return PinnedOpenResult::Refused;
  }
  return PinnedOpenResult::Opened;
}

// A file made and found wrong goes again through its handle, unless the
// kernel names it as another file: where a delete removes the name the
// kernel gives (Wine), that would remove the other file. It was made in the
// pinned folder, new and empty, and stays there.
PinnedOpen Judged(HANDLE h, const FolderPin& folder, const std::wstring& name, const ULONGLONG* listedId,
                  bool made) {
  PinnedOpenResult judged = Judge(h, folder, name, listedId);
  if (judged == PinnedOpenResult::Opened) return {h, judged, 0};
  if (made && !ReachedThroughLink(h, folder, name)) RemoveJustMadeFile(h);
  ::CloseHandle(h);
  return NotOpened(judged, ERROR_CANT_ACCESS_FILE);
}

PinnedOpen OpenById(const FolderPin& folder, const std::wstring& name, ULONGLONG id, DWORD access, DWORD share,
                    DWORD flags) {
  if (BeforeOpen()) BeforeOpen()(folder.Path() + name);
  HANDLE h = INVALID_HANDLE_VALUE;
  LONG status = nt::OpenRelative(folder.Handle(), name, AccessOf(access, flags), share, OptionsOf(flags), &h);
  if (status < 0) return FromStatus(status);
  return Judged(h, folder, name, &id, false);
}

// A new name of the pinned folder, made there and nowhere else. Made with the
// right to delete, so that a file made wrong goes again through its handle;
// a file made right is opened again as asked, without that right, which
// would keep every other opener out (unless it is to go at its close anyway).
PinnedOpen Make(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share, DWORD flags) {
  HANDLE h = INVALID_HANDLE_VALUE;
  ULONG attributes = flags & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  LONG status = nt::CreateRelative(folder.Handle(), name, AccessOf(access, flags) | DELETE, share, nt::kFileCreate,
                                   OptionsOf(flags), attributes, &h);
  if (status < 0) return NotOpened(PinnedOpenResult::Failed, nt::ErrorOf(status));
  PinnedOpen made = Judged(h, folder, name, nullptr, true);
  if (made.result != PinnedOpenResult::Opened || (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0) return made;
  ULONGLONG id = 0;
  bool known = nt::FileIndex(made.handle, &id);
  ::CloseHandle(made.handle);
  if (!known) return NotOpened(PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE);
  return OpenById(folder, name, id, access, share, flags);
}

bool IsTaken(const PinnedOpen& made) {
  return made.result == PinnedOpenResult::Failed &&
         (made.error == ERROR_FILE_EXISTS || made.error == ERROR_ALREADY_EXISTS);
}

// The name opened once more relative to the pin is the open file `id`, by
// its id and by the name the system gives the new handle.
bool OpensAgainAs(ULONGLONG id, const FolderPin& folder, const std::wstring& name) {
  HANDLE again = INVALID_HANDLE_VALUE;
  if (nt::OpenRelative(folder.Handle(), name, FILE_READ_ATTRIBUTES, nt::kShareAll,
                       nt::kNonDirectoryFile | nt::kOpenReparsePoint, &again) < 0) {
    return false;
  }
  ULONGLONG opened = 0;
  DWORD attributes = 0;
  const bool same = nt::FileIndex(again, &opened) && opened == id && nt::Attributes(again, &attributes) &&
                    (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && !ReachedThroughLink(again, folder, name);
  ::CloseHandle(again);
  return same;
}

// Each look again is fooled only when the swap wins its race once more.
constexpr int kLooksAgain = 2;

}  // namespace

bool StillPinnedAs(HANDLE h, const FolderPin& folder, const std::wstring& name) {
  ULONGLONG id = 0;
  if (!folder.IsFolder() || !nt::FileIndex(h, &id)) return false;
  for (int look = 0; look < kLooksAgain; ++look) {
    if (!OpensAgainAs(id, folder, name)) return false;
  }
  return true;
}

void SetBeforeContentOpen(std::function<void(const std::wstring& path)> hook) { BeforeOpen() = std::move(hook); }

PinnedOpen OpenListedFile(const ListedEntry& entry, DWORD access, DWORD share, DWORD flags) {
  const FolderPin& folder = entry.Folder();
  if (!folder.IsFolder() || folder.Name().empty() || !IsPlainFileName(entry.Name()) || entry.IsFolder() ||
      entry.IsLink()) {
    return NotOpened(PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE);
  }
  return OpenById(folder, entry.Name(), entry.FileId(), access, share, flags);
}

PinnedOpen OpenPinnedFile(const FolderPin& folder, const std::wstring& name, DWORD access, DWORD share,
                          PinnedCreate create, DWORD flags) {
  if (!folder.IsFolder() || folder.Name().empty() || !IsPlainFileName(name)) {
    return NotOpened(PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE);
  }
  // A name listed and gone before its open, or made by another meanwhile, is
  // looked for again a few times, then refused.
  for (int tries = 0; tries < 3; ++tries) {
    if (create != PinnedCreate::New) {
      PinnedOpen opened = NotOpened(PinnedOpenResult::Missing, ERROR_FILE_NOT_FOUND);
      Lookup found = FindPinned(folder, name, [&](const ListedEntry& entry) {
        opened = OpenListedFile(entry, access, share, flags);
      });
      if (found == Lookup::Failed) return NotOpened(PinnedOpenResult::Failed, ERROR_CANT_ACCESS_FILE);
      if (found == Lookup::Found && opened.result != PinnedOpenResult::Missing) return opened;
      if (create == PinnedCreate::No && found == Lookup::Missing) return opened;
      if (found == Lookup::Found) continue;
    }
    PinnedOpen made = Make(folder, name, access, share, flags);
    if (!IsTaken(made) || create == PinnedCreate::New) return made;
  }
  return NotOpened(PinnedOpenResult::Refused, ERROR_CANT_ACCESS_FILE);
}

}  // namespace guard
}  // namespace core
