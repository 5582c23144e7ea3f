#include "CleanFakes.h"

#include <fstream>
#include <iterator>

#include "support/TestSupport.h"

namespace cleaner_test {

CleanRun::CleanRun(CleanMode mode, CleanSettings settings, bool forwardDeletes, std::shared_ptr<const PathGuard> guard)
    : deleter(std::make_shared<RecordingDeleter>(forwardDeletes)) {
  CleanServices services;
  services.guard = std::move(guard);
  services.log = log;
  services.poster = poster;
  services.clock = clock;
  services.asker = asker;
  services.deleter = deleter;
  services.routines = &table;
  thread = std::make_unique<TClearTaskThread>(mode, settings, services);
}

void CleanRun::Run(const std::vector<std::wstring>& captions) {
  thread->FItems = captions;
  thread->Start();
  thread->WaitFor();
}

namespace {

std::wstring TempRoot() {
  wchar_t buf[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"vantorel-cleaner-tests\\";
}

}  // namespace

Sandbox::Sandbox(const std::wstring& name) {
  ::CreateDirectoryW(TempRoot().c_str(), nullptr);
  root_ = TempRoot() + name + L"\\";
  RemoveTree(root_);
  ::CreateDirectoryW(root_.c_str(), nullptr);
}

Sandbox::~Sandbox() { RemoveTree(root_); }

void Sandbox::Folder(const std::wstring& relative) const { ::CreateDirectoryW(Path(relative).c_str(), nullptr); }

void Sandbox::File(const std::wstring& relative, const std::string& content, DWORD attrs) const {
  std::wstring p = Path(relative);
  HANDLE h = ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
  if (attrs != 0) ::SetFileAttributesW(p.c_str(), attrs);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::wstring& path) {
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

// Never follows a link: under Wine the Unix tool removes the tree, links as
// links; elsewhere only plain folders are entered.
void RemoveTree(const std::wstring& path) {
  // Only ever a sandbox of these tests.
  if (path.find(L"\\vantorel-cleaner-tests\\") == std::wstring::npos || !Exists(path)) return;
  std::wstring unixPath = testing_support::ToUnixPath(path);
  if (unixPath.find(L"/vantorel-cleaner-tests/") != std::wstring::npos && testing_support::RunUnix(L"/bin/rm -rf \"" + unixPath + L"\"")) {
    for (int i = 0; i < 200 && Exists(path); ++i) ::Sleep(50);
    if (!Exists(path)) return;
  }
  std::wstring folder = path.back() == L'\\' ? path : path + L"\\";
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring p = folder + name;
      ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) ::RemoveDirectoryW(p.c_str());
      else if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) RemoveTree(p);
      else ::DeleteFileW(p.c_str());
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace cleaner_test
