#include "cleaner/indexdat/IndexDatFile.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <random>

#include "core/guard/OwnedHandle.h"
#include "core/guard/PinnedOpen.h"

namespace indexdat {
namespace {

// Real index files stay far below this; a larger one is not read into memory.
constexpr LONGLONG kMaxFileSize = 256LL * 1024 * 1024;
constexpr DWORD kChunk = 4096;

// Shared with the browser, which may hold the file open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opened relative to the pin, never through a link, and judged by the
// guard: a file that is not the one listed is not ours to read or scrub.
FileStatus Opened(const core::guard::PinnedOpen& opened, HANDLE* out) {
  if (opened.Refused()) return FileStatus::Linked;
  switch (opened.result) {
    case core::guard::PinnedOpenResult::Opened:
      *out = opened.handle;
      return FileStatus::Done;
    case core::guard::PinnedOpenResult::Missing:
      return FileStatus::Missing;
    default:
      return FileStatus::CannotOpen;
  }
}

// A file named by a path: its folder as it is reached now, links on the way
// taken as the user's own layout.
struct NamedFile {
  explicit NamedFile(const std::wstring& path)
      : slash(path.find_last_of(L'\\')),
        folder(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1), core::guard::FollowLink::Yes),
        name(slash == std::wstring::npos ? path : path.substr(slash + 1)) {}
  size_t slash;
  core::guard::FolderPin folder;
  std::wstring name;
};

bool At(HANDLE file, uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return ::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

FileStatus ReadAll(HANDLE file, std::vector<uint8_t>* bytes) {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file, &size)) return FileStatus::CannotOpen;
  if (size.QuadPart > kMaxFileSize) return FileStatus::Refused;
  bytes->assign(static_cast<size_t>(size.QuadPart), 0);
  if (!At(file, 0)) return FileStatus::CannotOpen;
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, 1 << 20));
    DWORD got = 0;
    if (!::ReadFile(file, bytes->data() + done, want, &got, nullptr)) return FileStatus::CannotOpen;
    if (got == 0) break;  // the file shrank under us: parse what is there
    done += got;
  }
  bytes->resize(done);
  return FileStatus::Done;
}

bool Fill(HANDLE file, const Region& region, uint8_t value) {
  if (!At(file, region.begin)) return false;
  std::vector<uint8_t> chunk(kChunk, value);
  for (uint64_t left = region.end - region.begin; left > 0;) {
    DWORD n = static_cast<DWORD>(std::min<uint64_t>(left, kChunk));
    DWORD wrote = 0;
    if (!::WriteFile(file, chunk.data(), n, &wrote, nullptr) || wrote != n) return false;
    left -= n;
  }
  return true;
}

// One pass over a file opened for writing; the layout is read afresh, since
// the browser may have grown the file meanwhile.
FileStatus ScrubPass(HANDLE file, uint8_t value, uint64_t* written) {
  std::vector<uint8_t> bytes;
  FileStatus read = ReadAll(file, &bytes);
  if (read != FileStatus::Done) return read;
  if (!HasCacheSignature(bytes.data(), bytes.size())) return FileStatus::NotCacheFile;
  *written = 0;
  for (const Region& region : ScrubRegions(bytes.data(), bytes.size())) {
    if (!Fill(file, region, value)) return FileStatus::CannotOpen;
    *written += region.end - region.begin;
  }
  return FileStatus::Done;
}

}  // namespace

FileStatus ReadIndexDat(const std::wstring& path, std::vector<uint8_t>* bytes) {
  NamedFile named(path);
  if (named.slash == std::wstring::npos) return FileStatus::Missing;
  if (!named.folder.IsFolder()) return FileStatus::Missing;
  HANDLE h = INVALID_HANDLE_VALUE;
  FileStatus opened = Opened(core::guard::OpenPinnedFile(named.folder, named.name, GENERIC_READ, kShareAll,
                                                         core::guard::PinnedCreate::No),
                             &h);
  if (opened != FileStatus::Done) return opened;
  core::guard::OwnedHandle file(h);
  return ReadAll(file.Get(), bytes);
}

ScrubResult ScrubIndexDat(const std::wstring& path, int passes) {
  NamedFile named(path);
  if (named.slash == std::wstring::npos) return ScrubResult();
  return ScrubIndexDat(named.folder, named.name, passes);
}

ScrubResult ScrubIndexDat(const core::guard::FolderPin& folder, const std::wstring& name, int passes) {
  ScrubResult result;
  if (!folder.IsFolder()) return result;
  if (core::guard::FindPinned(folder, name, [&](const core::guard::ListedEntry& entry) {
        result = ScrubIndexDat(entry, passes);
      }) == core::guard::Lookup::Failed) {
    result.status = FileStatus::CannotOpen;
  }
  return result;
}

ScrubResult ScrubIndexDat(const core::guard::ListedEntry& entry, int passes) {
  passes = std::clamp(passes, 1, 3);
  std::minstd_rand random(::GetTickCount() ^ ::GetCurrentThreadId());
  std::uniform_int_distribution<int> anyByte(0, 254);
  ScrubResult result;
  for (int pass = 1; pass <= passes; ++pass) {
    HANDLE h = INVALID_HANDLE_VALUE;
    result.status = Opened(core::guard::OpenListedFile(entry, GENERIC_READ | GENERIC_WRITE, kShareAll), &h);
    if (result.status != FileStatus::Done) break;
    core::guard::OwnedHandle file(h);
    uint8_t value = pass == passes ? 0 : static_cast<uint8_t>(anyByte(random));
    try {
      result.status = ScrubPass(file.Get(), value, &result.written);
    } catch (const std::bad_alloc&) {
      result.status = FileStatus::Refused;  // too large to read here: the scrub of this file ends
    }
    if (result.status != FileStatus::Done) break;
    result.passes = pass;
  }
  return result;
}

}  // namespace indexdat
