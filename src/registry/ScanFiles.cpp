#include "registry/ScanFiles.h"

#include <shlobj.h>

#include "core/Paths.h"
#include "sys/TextCompare.h"

namespace registry {

std::wstring SpecialFolderPath(int csidl) {
  wchar_t buf[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE)) return {};
  std::wstring path = buf;
  if (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring JoinFilePath(const std::wstring& folder, const std::wstring& name) {
  return core::JoinPath(folder, name);
}

bool HasExtension(const std::wstring& name, const std::wstring& ext) {
  size_t dot = name.rfind(L'.');
  size_t slash = name.rfind(L'\\');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && slash > dot)) return false;
  return sys::SameText(name.substr(dot), ext);
}

void ForEachFolderEntry(const std::wstring& folder, const std::function<bool(const WIN32_FIND_DATAW&)>& visit) {
  if (folder.empty()) return;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW(JoinFilePath(folder, L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  struct TCloser {
    HANDLE h;
    ~TCloser() { ::FindClose(h); }
  } closer{h};
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (!visit(fd)) return;
  } while (::FindNextFileW(h, &fd));
}

}  // namespace registry
