// Where a guarded file delete spends its time: the guarded delete of one
// listed file against a bare DeleteFileW, and the guarded delete's own steps
// (open, name query, disposition, close) timed one by one, in microseconds a
// file. Run it inside a throw-away Wine prefix only (step.sh does): it fills
// and empties a folder of the prefix's temporary folder.
// With "tree", a generated tree emptied three ways instead: the bare loop,
// the same walk through the guarded delete by path (each file's folder
// pinned at its delete), and a clean run.
//   step_bench.exe [files]        (default 5000)
//   step_bench.exe tree [files]
#include <windows.h>

#include "../BenchClock.h"
#include "BenchTree.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/guard/FileDelete.h"

namespace {

using namespace bench;

std::wstring Folder() {
  wchar_t buf[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"vantorel-step-bench\\";
}

std::vector<std::wstring> Generate(const std::wstring& folder, int count) {
  ::CreateDirectoryW(folder.c_str(), nullptr);
  std::vector<std::wstring> names;
  const std::string content(100, 'x');
  for (int i = 0; i < count; ++i) {
    names.push_back(L"file" + std::to_wstring(i) + L".tmp");
    HANDLE h = ::CreateFileW((folder + names.back()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
  }
  return names;
}

struct IoStatus {
  union {
    LONG Status;
    PVOID Pointer;
  };
  ULONG_PTR Information;
};
using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
using NtSetInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);

FARPROC Nt(const char* name) { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name); }

void Report(const char* what, double seconds, int count) {
  std::printf("%-28s %8.1f us a file\n", what, seconds * 1e6 / count);
}

void Bare(const std::wstring& folder, int count) {
  auto names = Generate(folder, count);
  double start = Now();
  for (const auto& n : names) ::DeleteFileW((folder + n).c_str());
  Report("bare DeleteFileW", Now() - start, count);
}

void Guarded(const std::wstring& folder, int count) {
  auto names = Generate(folder, count);
  double start = Now();
  int refused = 0;
  core::guard::FolderPin pin(folder);
  for (const auto& n : names) {
    if (core::guard::DeleteListedFile(pin, n, FILE_ATTRIBUTE_ARCHIVE) != core::guard::FileDeleteResult::Deleted) {
      ++refused;
    }
  }
  Report("guarded DeleteListedFile", Now() - start, count);
  if (refused > 0) std::printf("  %d not deleted\n", refused);
}

// The bare delete's own two steps: an open that deletes on close, and the close.
void BareSteps(const std::wstring& folder, int count) {
  auto names = Generate(folder, count);
  double open = 0, close = 0;
  for (const auto& n : names) {
    double t0 = Now();
    HANDLE h = ::CreateFileW((folder + n).c_str(), DELETE | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    double t1 = Now();
    ::CloseHandle(h);
    double t2 = Now();
    open += t1 - t0;
    close += t2 - t1;
  }
  Report("  bare open", open, count);
  Report("  bare close (the unlink)", close, count);
}

// Opens alone with the given access and flags, each closed again.
void OpenOnly(const std::wstring& folder, int count, DWORD access, DWORD flags, const char* what) {
  auto names = Generate(folder, count);
  double open = 0;
  for (const auto& n : names) {
    double t0 = Now();
    HANDLE h = ::CreateFileW((folder + n).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, flags, nullptr);
    open += Now() - t0;
    ::CloseHandle(h);
    ::DeleteFileW((folder + n).c_str());
  }
  Report(what, open, count);
}

void Steps(const std::wstring& folder, int count) {
  static auto query = reinterpret_cast<NtQueryObjectFn>(Nt("NtQueryObject"));
  static auto set = reinterpret_cast<NtSetInformationFileFn>(Nt("NtSetInformationFile"));
  auto names = Generate(folder, count);
  double open = 0, name = 0, dispose = 0, close = 0;
  alignas(8) BYTE buf[4096];
  for (const auto& n : names) {
    double t0 = Now();
    HANDLE h = ::CreateFileW((folder + n).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    double t1 = Now();
    ULONG needed = 0;
    query(h, 1, buf, sizeof(buf) - 2, &needed);
    double t2 = Now();
    BOOLEAN remove = TRUE;
    IoStatus io{};
    set(h, &io, &remove, sizeof(remove), 13);
    double t3 = Now();
    ::CloseHandle(h);
    double t4 = Now();
    open += t1 - t0;
    name += t2 - t1;
    dispose += t3 - t2;
    close += t4 - t3;
  }
  Report("  open", open, count);
  Report("  name query", name, count);
  Report("  disposition", dispose, count);
  Report("  close (the unlink)", close, count);
  Report("  steps together", open + name + dispose + close, count);
}

void Trees(const std::wstring& folder, int count) {
  auto guarded = [](const std::wstring& in, const WIN32_FIND_DATAW& fd) {
    return core::guard::DeleteListedFile(in, fd.cFileName, fd.dwFileAttributes) ==
           core::guard::FileDeleteResult::Deleted;
  };
  for (int r = 0; r < 3; ++r) {
    Generate(folder, count);
    double start = Now();
    int removed = BareDelete(folder);
    Report("tree: bare", Now() - start, removed);
    Generate(folder, count);
    start = Now();
    removed = WalkAndDelete(folder, guarded);
    Report("tree: guarded, by path", Now() - start, removed);
    Generate(folder, count);
    Report("tree: clean run", TimedRun(cleaner::CleanMode::RealClean, true, folder, &removed), removed);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool tree = argc > 1 && std::wstring(argv[1]) == L"tree";
  int at = tree ? 2 : 1;
  int count = argc > at ? _wtoi(argv[at]) : 5000;
  std::wstring folder = Folder();
  if (tree) {
    Trees(folder, count);
    ::RemoveDirectoryW(folder.c_str());
    return 0;
  }
  for (int r = 0; r < 2; ++r) {
    Bare(folder, count);
    Guarded(folder, count);
    Steps(folder, count);
    BareSteps(folder, count);
    OpenOnly(folder, count, DELETE, 0, "  open DELETE");
    OpenOnly(folder, count, DELETE | FILE_READ_ATTRIBUTES, 0, "  open DELETE|READ_ATTR");
    OpenOnly(folder, count, DELETE, FILE_FLAG_OPEN_REPARSE_POINT, "  open DELETE reparse");
    OpenOnly(folder, count, DELETE | FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT, "  open DELETE|READ_ATTR reparse");
  }
  ::RemoveDirectoryW(folder.c_str());
  return 0;
}
