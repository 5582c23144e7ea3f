// Times a Test run and a Clean run (wiping off) of one folder item over a
// generated tree of small files, against a bare FindFirstFile/DeleteFile loop
// over the same tree in the same process, and wiping against a plain write of
// the same bytes. Run it inside a throw-away Wine prefix only (run.sh does):
// it fills and empties a folder of the prefix's temporary folder.
//   clean_bench.exe [file counts...]   (default 10000 100000)
//   clean_bench.exe pool clean|bare|none FOLDER
//     empties the first tree left in FOLDER (made by pool.sh) with a clean
//     run or the bare loop, and exits: one process a delete, so that an
//     outside timer can pair the two; "none" only starts and exits.
#include <windows.h>

#include "../BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleaner/ProgressThread.h"
#include "cleaner/WipeFile.h"

using namespace cleaner;

namespace {

const int kFilesPerFolder = 100;
const int kRepeats = 3;

using bench::Now;

std::wstring BenchRoot() {
  wchar_t buf[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"vantorel-clean-bench\\";
}

// count files of 100 bytes, kFilesPerFolder to a folder, folders two deep.
void Generate(const std::wstring& root, int count) {
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

// The yardstick: what any program must do to empty the tree.
int BareDelete(const std::wstring& folder) {
  int removed = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.cFileName[0] == L'.' && (fd.cFileName[1] == 0 || (fd.cFileName[1] == L'.' && fd.cFileName[2] == 0))) continue;
    std::wstring path = folder + fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      removed += BareDelete(path + L"\\");
      ::RemoveDirectoryW(path.c_str());
    } else if (::DeleteFileW(path.c_str())) {
      ++removed;
    }
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return removed;
}

class NoPoster : public IMessagePoster {
 public:
  void Post(UINT, WPARAM, LPARAM) override {}
};

// One run of the clean thread with one item that empties `root`; returns
// seconds and the count the run reported.
double TimedRun(CleanMode mode, bool fastScan, const std::wstring& root, int* counted) {
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

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void BenchTree(int count) {
  std::wstring root = BenchRoot() + L"tree\\";
  std::vector<double> test, testLogged, clean, bare;
  int counted = 0;
  for (int r = 0; r < kRepeats; ++r) {
    // Clean and bare take turns going first, so neither always meets a cold cache.
    Generate(root, count);
    test.push_back(TimedRun(CleanMode::Test, true, root, &counted));
    if (counted != count) std::printf("test counted %d of %d\n", counted, count);
    testLogged.push_back(TimedRun(CleanMode::Test, false, root, &counted));
    bool cleanFirst = r % 2 == 0;
    for (int turn = 0; turn < 2; ++turn) {
      if (turn > 0) Generate(root, count);
      if ((turn == 0) == cleanFirst) {
        clean.push_back(TimedRun(CleanMode::RealClean, true, root, &counted));
        if (counted != count) std::printf("clean removed %d of %d\n", counted, count);
      } else {
        double start = Now();
        int removed = BareDelete(root);
        bare.push_back(Now() - start);
        if (removed != count) std::printf("bare removed %d of %d\n", removed, count);
      }
    }
  }
  double b = Median(bare);
  std::printf("%7d files: bare %.3f s, test %.3f s (%.2fx), test with entry lines %.3f s (%.2fx), clean %.3f s (%.2fx)\n",
              count, b, Median(test), Median(test) / b, Median(testLogged), Median(testLogged) / b, Median(clean),
              Median(clean) / b);
}

void BenchWipe(int megabytes) {
  std::wstring file = BenchRoot() + L"wipe.bin";
  const LONGLONG size = static_cast<LONGLONG>(megabytes) * 1024 * 1024;
  std::vector<BYTE> block(kWipeBlockSize, 0x5A);
  std::vector<double> plain, wipe;
  for (int r = 0; r < kRepeats; ++r) {
    double start = Now();
    // The same bytes over the same existing file, as a wipe writes them.
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    for (LONGLONG left = size; left > 0; left -= block.size()) {
      DWORD written = 0;
      ::WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    }
    ::FlushFileBuffers(h);
    ::CloseHandle(h);
    plain.push_back(Now() - start);
    start = Now();
    if (WipeFile(file, 1) != WipeResult::Wiped) std::printf("wipe failed\n");
    wipe.push_back(Now() - start);
  }
  ::DeleteFileW(file.c_str());
  double p = Median(plain), w = Median(wipe);
  std::printf("wipe %d MiB, one pass: plain write %.3f s (%.0f MiB/s), wipe %.3f s (%.0f MiB/s), %.2fx\n", megabytes, p,
              megabytes / p, w, megabytes / w, w / p);
}

// The first tree folder left in `pool` ("...\\"), with its trailing "\\"; empty when none is left.
std::wstring FirstTree(const std::wstring& pool) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((pool + L"t*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return std::wstring();
  ::FindClose(h);
  return pool + fd.cFileName + L"\\";
}

int DeleteOnePoolTree(const std::wstring& how, std::wstring pool) {
  if (how == L"none") return 0;
  if (!pool.empty() && pool.back() != L'\\') pool += L'\\';
  std::wstring tree = FirstTree(pool);
  if (tree.empty()) {
    std::printf("no tree left in the pool\n");
    return 2;
  }
  int removed = 0;
  if (how == L"clean") {
    TimedRun(CleanMode::RealClean, true, tree, &removed);
  } else if (how == L"bare") {
    removed = BareDelete(tree);
  } else {
    std::printf("pool: clean, bare or none\n");
    return 2;
  }
  ::RemoveDirectoryW(tree.c_str());
  std::printf("%ls: %d files\n", how.c_str(), removed);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"pool") return DeleteOnePoolTree(argv[2], argv[3]);
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(_wtoi(argv[i]));
  if (counts.empty()) counts = {10000, 100000};
  ::CreateDirectoryW(BenchRoot().c_str(), nullptr);
  for (int count : counts) BenchTree(count);
  BenchWipe(256);
  ::RemoveDirectoryW((BenchRoot() + L"tree\\").c_str());
  ::RemoveDirectoryW(BenchRoot().c_str());
  return 0;
}
