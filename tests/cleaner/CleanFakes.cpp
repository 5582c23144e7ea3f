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

void Sandbox::Folder(const std::wstring& relative) const { ::CreateDirectoryW(Path(relative).c_str(), nullptr); }

void Sandbox::File(const std::wstring& relative, const std::string& content, DWORD attrs) const {
  std::wstring p = Path(relative);
  HANDLE h = ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
  if (attrs != 0) ::SetFileAttributesW(p.c_str(), attrs);
}

// Only ever a sandbox of these tests; a link is removed, never followed.
void RemoveTree(const std::wstring& path) {
  if (path.find(L"\\vantorel-cleaner-tests\\") == std::wstring::npos) return;
  testing_support::RemoveFolder(path, L"vantorel-cleaner-tests");
}

}  // namespace cleaner_test
