#include "support/Folders.h"

#include "support/TestSupport.h"

namespace testing_support {
namespace {

std::wstring TempFolder() {
  wchar_t buf[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return buf;
}

// Wine cannot remove a Unix link through Win32; the Unix tool removes links
// as links. Only ever a folder named for the tests.
bool RemoveWithUnixTool(const std::wstring& path, const std::wstring& sandboxName) {
  if (sandboxName.empty() || path.find(L"\\" + sandboxName + L"\\") == std::wstring::npos) return false;
  std::wstring unixPath = ToUnixPath(path);
  if (unixPath.find(L"/" + sandboxName + L"/") == std::wstring::npos) return false;
  if (!RunUnix(L"/bin/rm -rf \"" + unixPath + L"\"")) return false;
  // Wine may return before the tool is done.
  for (int i = 0; i < 200 && Exists(path); ++i) ::Sleep(25);
  return !Exists(path);
}

}  // namespace

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::wstring& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\') ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

bool WriteBytes(const std::wstring& path, const std::string& content) {
  size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) MakeFolders(path.substr(0, slash));
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = content.empty() ||
            (::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
             written == content.size());
  ::CloseHandle(h);
  return ok;
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string data;
  char buf[65536];
  DWORD n = 0;
  while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) data.append(buf, n);
  ::CloseHandle(h);
  return data;
}

void RemoveFolder(const std::wstring& path, const std::wstring& sandboxName) {
  if (path.empty() || !Exists(path) || RemoveWithUnixTool(path, sandboxName)) return;
  std::wstring folder = path.back() == L'\\' ? path : path + L'\\';
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring p = folder + name;
      ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (!::RemoveDirectoryW(p.c_str())) ::DeleteFileW(p.c_str());
      } else if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveFolder(p);
      } else {
        ::DeleteFileW(p.c_str());
      }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  ::RemoveDirectoryW(folder.c_str());
}

ScratchFolder::ScratchFolder(const std::wstring& area, const std::wstring& name, const std::wstring& base)
    : area_(area) {
  std::wstring folder = (base.empty() ? TempFolder() : base) + area + L"\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  root_ = folder + name + L"\\";
  RemoveFolder(root_, area_);
  ::CreateDirectoryW(root_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveFolder(root_, area_); }

}  // namespace testing_support
