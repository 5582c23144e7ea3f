#include "core/guard/SettingsFile.h"

#include <algorithm>

#include "core/guard/FileCreate.h"
#include "core/guard/FolderPin.h"
#include "core/guard/NtFiles.h"
#include "core/guard/OwnedHandle.h"
#include "core/guard/PinnedMove.h"
#include "core/guard/PinnedOpen.h"

namespace core {
namespace guard {
namespace {

// A file named by a full path: its folder pinned as it is reached now, links
// above it taken as the user's own layout, as any file the user names is.
struct NamedFile {
  explicit NamedFile(const std::wstring& path)
      : slash(path.find_last_of(L'\\')),
        folder(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1), FollowLink::Yes),
        name(slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1)) {}
  size_t slash;
  FolderPin folder;
  std::wstring name;
};

FileOutcome OutcomeOf(PinnedOpenResult result) {
  switch (result) {
    case PinnedOpenResult::Opened:
      return FileOutcome::Done;
    case PinnedOpenResult::Missing:
      return FileOutcome::Missing;
    case PinnedOpenResult::Refused:
    case PinnedOpenResult::OtherName:
      return FileOutcome::Refused;
    default:
      return FileOutcome::Failed;
  }
}

// A folder that cannot be pinned: missing, or not to be entered.
FileOutcome Unpinned(const NamedFile& file, const std::wstring& path) {
  if (file.folder.LinkBelowShared() || !file.folder.LinkIntoPlace().empty()) return FileOutcome::Refused;
  const DWORD attributes = ::GetFileAttributesW(path.substr(0, file.slash + 1).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? FileOutcome::Missing : FileOutcome::Failed;
}

bool ReadAll(HANDLE h, std::string* bytes) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(h, &size) || size.QuadPart > static_cast<LONGLONG>(kMaxWholeFileBytes)) return false;
  bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    if (!::ReadFile(h, &(*bytes)[done], static_cast<DWORD>(bytes->size() - done), &got, nullptr)) return false;
    if (got == 0) break;  // shorter than it said: what is there
    done += got;
  }
  bytes->resize(done);
  return true;
}

bool WriteAll(HANDLE h, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!::WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return ::FlushFileBuffers(h) != FALSE;
}

// Renames the new file over `name`. Another instance of the program may hold
// the old file for a moment (reading it, or judging it for its own save), and
// the system refuses to replace a file that is open: a little later it is free.
DWORD RenameOverWhenFree(HANDLE h, const FolderPin& folder, const std::wstring& name) {
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 20; ++attempt) {
    error = RenameInPin(h, folder, name, RenameOver::Name);
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) break;
    ::Sleep(50);
  }
  return error;
}

// ERROR_FILE_READ_ONLY for a read-only file; the system's error when that
// cannot be told; else ERROR_SUCCESS.
DWORD ReadOnlyOrWhyNot(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_ACCESS_DENIED;
  return (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? ERROR_FILE_READ_ONLY : ERROR_SUCCESS;
}

FileOutcome ReadOnce(const std::wstring& path, std::string* bytes) {
  bytes->clear();
  const NamedFile file(path);
  if (file.slash == std::wstring::npos) return FileOutcome::Failed;
  if (!file.folder.IsFolder()) return Unpinned(file, path);
  const PinnedOpen opened = OpenPinnedFile(file.folder, file.name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, PinnedCreate::No);
  if (opened.result != PinnedOpenResult::Opened) return OutcomeOf(opened.result);
  const OwnedHandle h(opened.handle);
  if (!ReadAll(h.Get(), bytes)) {
    bytes->clear();
    return FileOutcome::Failed;
  }
  // What was read is taken as this folder's file only if it still is.
  if (StillPinnedAs(h.Get(), file.folder, file.name)) return FileOutcome::Done;
  bytes->clear();
  return FileOutcome::Refused;
}

FileOutcome ReplaceOnce(const std::wstring& path, const std::string& bytes, DWORD* error) {
  *error = ERROR_SUCCESS;
  const NamedFile file(path);
  if (file.slash == std::wstring::npos || !file.folder.IsFolder()) {
    *error = ERROR_PATH_NOT_FOUND;
    return file.folder.LinkBelowShared() ? FileOutcome::Refused : FileOutcome::Failed;
  }
  // The old name judged first: a link or a second name stays as it is, and
  // so does a read-only file, which the profile functions do not write either.
  const PinnedOpen old =
      OpenPinnedFile(file.folder, file.name, FILE_READ_ATTRIBUTES, nt::kShareAll, PinnedCreate::No);
  if (old.result == PinnedOpenResult::Opened) {
    const OwnedHandle oldFile(old.handle);
    if ((*error = ReadOnlyOrWhyNot(oldFile.Get())) != ERROR_SUCCESS) return FileOutcome::Failed;
  } else if (old.result != PinnedOpenResult::Missing) {
    *error = old.error;
    return OutcomeOf(old.result);
  }
  const CreatedFile made = CreateScratchIn(file.folder, GENERIC_WRITE);
  if (!made.Ok()) {
    *error = made.Error;
    return made.Result == CreateResult::Link ? FileOutcome::Refused : FileOutcome::Failed;
  }
  const OwnedHandle h(made.Handle);
  if (!WriteAll(h.Get(), bytes)) *error = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_WRITE_FAULT;
  else if ((*error = RenameOverWhenFree(h.Get(), file.folder, file.name)) == ERROR_SUCCESS) return FileOutcome::Done;
  if (*error != kRenamedElsewhere) nt::MarkForDeletion(h.Get());  // the old file stays whole
  return FileOutcome::Failed;
}

// Another instance of the program saving the same file replaces it under
// our look: the name then briefly leads to another file than the one listed,
// which is refused as a link would be. Asked again a little later, a file that
// is no link is read or saved; a link is refused every time.
template <class Once>
FileOutcome UnlessReplacedMeanwhile(Once once) {
  FileOutcome outcome = once();
  for (int attempt = 0; attempt < 3 && outcome == FileOutcome::Refused; ++attempt) {
    ::Sleep(50);
    outcome = once();
  }
  return outcome;
}

}  // namespace

FileOutcome ReadWholeFile(const std::wstring& path, std::string* bytes) {
  return UnlessReplacedMeanwhile([&] { return ReadOnce(path, bytes); });
}

FileOutcome ReplaceWholeFile(const std::wstring& path, const std::string& bytes, DWORD* error) {
  return UnlessReplacedMeanwhile([&] { return ReplaceOnce(path, bytes, error); });
}

namespace {

class GuardedStore : public sys::IniStore {
 public:
  Result Load(const std::wstring& path, std::string* bytes) override { return ReadWholeFile(path, bytes); }
  Result Save(const std::wstring& path, const std::string& bytes, DWORD* error) override {
    return ReplaceWholeFile(path, bytes, error);
  }
};

}  // namespace

sys::IniStore& SettingsStore() {
  static GuardedStore store;
  return store;
}

}  // namespace guard
}  // namespace core
