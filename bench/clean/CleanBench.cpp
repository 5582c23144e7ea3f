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
#include "BenchTree.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleaner/WipeFile.h"

using namespace cleaner;

namespace {

const int kRepeats = 3;

using namespace bench;

std::wstring BenchRoot() {
  wchar_t buf[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"vantorel-clean-bench\\";
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
