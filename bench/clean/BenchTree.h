// The clean benchmarks' trees: generated, emptied by a bare delete loop, and
// emptied by a run of the clean thread.
#pragma once
#include <windows.h>

#include "../BenchClock.h"

#include <memory>
#include <string>

#include "cleaner/ProgressThread.h"

namespace bench {

const int kFilesPerFolder = 100;

// count files of 100 bytes, kFilesPerFolder to a folder, folders two deep.
inline void Generate(const std::wstring& root, int count) {
  ::CreateDirectoryW(root.c_str(), nullptr);
  const std::string content(100, 'x');
  int folders = (count + kFilesPerFolder - 1) / kFilesPerFolder;
  for (int f = 0; f < folders; ++f) {
    std::wstring group = root + L"g" + std::to_wstring(f / 10) + L"\\";
    ::CreateDirectoryW(group.c_str(), nullptr);
    std::wstring folder = group + L"d" + std::to_wstring(f) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFilesPerFolder && f * kFilesPerFolder + i < count; ++i) {
      std::wstring name = folder + L"file" + std::to_wstring(i) + L".tmp";
      HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      DWORD written = 0;
      ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
      ::CloseHandle(h);
    }
  }
}

// Empties `folder` ("...\") below its top with `deleteFile(folder, name)`
// for each file, removing the sub-folders; returns the files deleted.
template <typename DeleteFn>
int WalkAndDelete(const std::wstring& folder, DeleteFn deleteFile) {
  int removed = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.cFileName[0] == L'.' && (fd.cFileName[1] == 0 || (fd.cFileName[1] == L'.' && fd.cFileName[2] == 0))) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      std::wstring path = folder + fd.cFileName;
      removed += WalkAndDelete(path + L"\\", deleteFile);
      ::RemoveDirectoryW(path.c_str());
    } else if (deleteFile(folder, fd)) {
      ++removed;
    }
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return removed;
}

// The yardstick: what any program must do to empty the tree.
inline int BareDelete(const std::wstring& folder) {
  return WalkAndDelete(folder, [](const std::wstring& in, const WIN32_FIND_DATAW& fd) {
    return ::DeleteFileW((in + fd.cFileName).c_str()) != FALSE;
  });
}

class NoPoster : public cleaner::IMessagePoster {
 public:
  void Post(UINT, WPARAM, LPARAM) override {}
};

// One run of the clean thread with one item that empties `root`; returns
// seconds and the count the run reported.
inline double TimedRun(cleaner::CleanMode mode, bool fastScan, const std::wstring& root, int* counted) {
  using namespace cleaner;
  ItemRoutineTable table;
  table.Register(L"Bench - Tree", [&root](TClearTaskThread& t) {
    t.FItemBytes = t.DeleteFolderFiles(root, false, true, L"", t.FItemCount);
    t.FItemSizeText = TClearTaskThread::FormatKB(t.FItemBytes);
  });
  CleanServices services;
  services.poster = std::make_shared<NoPoster>();
  services.log = std::make_shared<NullLog>();
  services.routines = &table;
  CleanSettings settings;
  settings.FastScan = fastScan;
  double start = Now();
  TClearTaskThread thread(mode, settings, services);
  thread.FItems = {L"Bench - Tree"};
  thread.Start();
  thread.WaitFor();
  double seconds = Now() - start;
  *counted = thread.FTotalItems;
  return seconds;
}

}  // namespace bench
