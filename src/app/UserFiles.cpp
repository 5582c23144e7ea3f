#include "app/UserFiles.h"

namespace app {

std::wstring UserFileRefusal(const core::guard::CreatedFile& f, const std::wstring& path) {
  switch (f.Result) {
    case core::guard::CreateResult::Link:
      return path + L" is a link to another file (or one of its names); nothing was written through it.";
    case core::guard::CreateResult::Taken:
      return path + L" is a folder, or a file made meanwhile; nothing was written to it.";
    default:
      return L"Unable to write to " + path;
  }
}

namespace {

bool WriteThrough(const std::wstring& path, core::guard::UserFileMode mode, const std::string& bytes,
                  std::wstring* why) {
  // Append access alone writes at the end, whatever the file holds.
  const DWORD access = mode == core::guard::UserFileMode::Keep ? FILE_APPEND_DATA : GENERIC_WRITE;
  core::guard::CreatedFile f = core::guard::OpenUserFile(path, mode, access, FILE_SHARE_READ);
  if (!f.Ok()) {
    *why = UserFileRefusal(f, path);
    return false;
  }
  DWORD written = 0;
  bool ok = (bytes.empty() || ::WriteFile(f.Handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) &&
            written == bytes.size();
  ok = ::CloseHandle(f.Handle) && ok;
  if (!ok) *why = L"Unable to write to " + path;
  return ok;
}

}  // namespace

bool WriteUserFile(const std::wstring& path, const std::string& bytes, std::wstring* why) {
  return WriteThrough(path, core::guard::UserFileMode::Replace, bytes, why);
}

bool AppendUserFile(const std::wstring& path, const std::string& bytes, std::wstring* why) {
  return WriteThrough(path, core::guard::UserFileMode::Keep, bytes, why);
}

}  // namespace app
