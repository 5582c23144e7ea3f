// Times the HKEY_CURRENT_USER section over a seeded subtree against a bare
// enumeration of the same keys, for a tree with no problems and for one with
// a row in every key, and the Custom Controls section over seeded interfaces
// and type libraries. Run it inside a throw-away Wine prefix only (run.sh
// does): it writes to HKEY_CURRENT_USER\Software\VantorelBench and below
// HKEY_CLASSES_ROOT\Interface and \TypeLib.
//   scan_bench [key counts...]        the hive section only
//   scan_bench controls               the Custom Controls section only
//   scan_bench                        both
//   scan_bench once <keys> clean|rows one scan of one tree (requests.sh counts its requests)
#include <windows.h>

#include "../BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "registry/ScanTaskThread.h"

using namespace registry;

namespace {

const wchar_t kBenchKey[] = L"Software\\VantorelBench";
const int kFanOut = 10;
const int kRepeats = 3;

using bench::Now;

class TNoPoster : public TScanPoster {
 public:
  void Post(UINT) override {}
};

struct TPaths {
  std::wstring folder;   // the bench's own folder in the prefix's temp folder
  std::wstring present;  // an existing file in it
};

TPaths MakeFolder() {
  wchar_t temp[MAX_PATH];
  DWORD n = ::GetTempPathW(MAX_PATH, temp);
  TPaths p;
  p.folder = std::wstring(temp, n) + L"VantorelBench";
  ::CreateDirectoryW(p.folder.c_str(), nullptr);
  p.present = p.folder + L"\\present.exe";
  HANDLE h = ::CreateFileW(p.present.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  return p;
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The two trees: every key's Folder value names the bench's own folder, or a
// missing folder below it, which makes a row of every key.
struct TTree {
  const char* Name;
  bool RowPerKey;
};
const TTree kTrees[] = {{"no problems", false}, {"a row per key", true}};

// Key i (1-based) has the children 10i+1 .. 10i+10; 0 is the bench key itself.
void SeedChildren(HKEY parent, int node, int total, const TPaths& paths, const TTree& tree) {
  for (int c = node * kFanOut + 1; c <= node * kFanOut + kFanOut && c <= total; ++c) {
    HKEY key = nullptr;
    std::wstring name = L"K" + std::to_wstring(c);
    if (::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
      continue;
    DWORD count = static_cast<DWORD>(c);
    ::RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof(count));
    SetText(key, L"Label", L"Bench entry number " + std::to_wstring(c));
    SetText(key, L"Program", paths.present);
    SetText(key, L"Folder",
            tree.RowPerKey ? paths.folder + L"\\Missing\\Folder" + std::to_wstring(c) + L"\\" : paths.folder + L"\\");
    SeedChildren(key, c, total, paths, tree);
    ::RegCloseKey(key);
  }
}

void Seed(int total, const TPaths& paths, const TTree& tree) {
  HKEY root = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
  SeedChildren(root, 0, total, paths, tree);
  ::RegCloseKey(root);
}

// The HKEY_CURRENT_USER section alone: seconds and rows found.
double TimeSection(size_t* rows) {
  TScanTaskThread thread(ScanSettingsFromSystem());
  thread.FSections = {L"4"};
  thread.SetPoster(std::make_shared<TNoPoster>());
  double start = Now();
  thread.Start();
  thread.WaitFor(INFINITE);
  double elapsed = Now() - start;
  *rows = thread.Shared()->Rows.TakeAll().size();
  return elapsed;
}

// Keys visited by a plain walk: open, every value with its data, every subkey.
size_t BareWalk(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  wchar_t valueName[16384];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD nameLen = 16384, size = sizeof(data), type = 0;
    LONG rc = ::RegEnumValueW(key, i, valueName, &nameLen, nullptr, &type, data, &size);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) break;
  }
  std::vector<std::wstring> subKeys;
  wchar_t sub[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = 256;
    if (::RegEnumKeyExW(key, i, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subKeys.emplace_back(sub, len);
  }
  size_t visited = 1;
  for (const auto& s : subKeys) visited += BareWalk(key, s);
  ::RegCloseKey(key);
  return visited;
}

template <typename F>
double Best(F run) {
  double best = 1e30;
  for (int i = 0; i < kRepeats; ++i) best = std::min(best, run());
  return best;
}

void BenchHiveSection(std::vector<int> sizes) {
  if (sizes.empty()) sizes = {10000, 100000};
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  TPaths paths = MakeFolder();

  size_t baseRows = 0;
  double base = Best([&] { return TimeSection(&baseRows); });
  std::printf("baseline: HKEY_CURRENT_USER section %.3f s, %u rows\n", base, static_cast<unsigned>(baseRows));
  std::printf("%8s %-14s %7s %9s %10s %9s %10s %8s %7s\n", "keys", "tree", "rows", "scan s", "scan keys/s", "bare s",
              "bare keys/s", "us/key", "ratio");
  for (int total : sizes) {
    for (const TTree& tree : kTrees) {
      Seed(total, paths, tree);
      // Interleaved, best of each: the registry server saves its files now
      // and then, which stalls whichever run it meets.
      size_t rows = 0, visited = 0;
      double scan = 1e30, bare = 1e30;
      for (int r = 0; r < kRepeats; ++r) {
        scan = std::min(scan, TimeSection(&rows) - base);
        double start = Now();
        visited = BareWalk(HKEY_CURRENT_USER, kBenchKey) - 1;
        bare = std::min(bare, Now() - start);
      }
      std::printf("%8d %-14s %7u %9.3f %10.0f %9.3f %10.0f %8.1f %7.2f\n", total, tree.Name,
                  static_cast<unsigned>(rows - baseRows), scan, total / scan, bare, total / bare,
                  scan / total * 1e6, scan / bare);
      if (static_cast<int>(visited) != total)
        std::printf("         the bare walk saw %u keys\n", static_cast<unsigned>(visited));
      std::fflush(stdout);
      ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    }
  }
  ::DeleteFileW(paths.present.c_str());
  ::RemoveDirectoryW(paths.folder.c_str());
}

// One scan of one tree, for a count of its server requests.
void ScanOnce(int total, bool rowPerKey) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  TPaths paths = MakeFolder();
  Seed(total, paths, kTrees[rowPerKey ? 1 : 0]);
  size_t rows = 0;
  TimeSection(&rows);
  std::printf("%u rows\n", static_cast<unsigned>(rows));
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  ::DeleteFileW(paths.present.c_str());
  ::RemoveDirectoryW(paths.folder.c_str());
}

// --- Custom Controls: interfaces against the registered type libraries ---

// Every tenth interface names a type library that is not registered.
const int kUnregisteredEvery = 10;

std::wstring BenchGuid(const wchar_t* head, int n) {
  wchar_t buf[64];
  ::wsprintfW(buf, L"{%s-0000-4000-8000-%012d}", head, n);
  return buf;
}
std::wstring TypeLibGuid(int n) { return BenchGuid(L"B0BE0C01", n); }
std::wstring InterfaceGuid(int n) { return BenchGuid(L"B0BE0C02", n); }
std::wstring MissingLibGuid(int n) { return BenchGuid(L"B0BE0C03", n); }

void SetDefault(const std::wstring& key, const std::wstring& text) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return;
  SetText(h, L"", text);
  ::RegCloseKey(h);
}

void SeedControls(int interfaces, int typeLibs) {
  for (int i = 0; i < typeLibs; ++i) SetDefault(L"TypeLib\\" + TypeLibGuid(i), L"Bench library");
  for (int i = 0; i < interfaces; ++i) {
    const std::wstring key = L"Interface\\" + InterfaceGuid(i);
    SetDefault(key, L"IBench" + std::to_wstring(i));
    SetDefault(key + L"\\TypeLib", i % kUnregisteredEvery == 0 ? MissingLibGuid(i) : TypeLibGuid(i % typeLibs));
  }
}

void RemoveControls(int interfaces, int typeLibs) {
  for (int i = 0; i < typeLibs; ++i) ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + TypeLibGuid(i)).c_str());
  for (int i = 0; i < interfaces; ++i) ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"Interface\\" + InterfaceGuid(i)).c_str());
}

// The section as it runs beside HKEY_LOCAL_MACHINE (whose own walk is left
// out here): the interfaces against the type libraries only.
class TControlsThread : public TScanTaskThread {
 public:
  using TScanTaskThread::TScanTaskThread;

 protected:
  void RunSection(int id) override {
    if (id != sidHklm) TScanTaskThread::RunSection(id);
  }
};

double TimeControls(size_t* rows) {
  TControlsThread thread(ScanSettingsFromSystem());
  thread.FSections = {L"5", L"16"};
  thread.SetPoster(std::make_shared<TNoPoster>());
  double start = Now();
  thread.Start();
  thread.WaitFor(INFINITE);
  double elapsed = Now() - start;
  *rows = thread.Shared()->Rows.TakeAll().size();
  return elapsed;
}

void BenchCustomControls() {
  struct TSize {
    int Interfaces, TypeLibs;
  };
  const TSize sizes[] = {{5000, 1000}, {20000, 4000}};
  for (const auto& size : sizes) RemoveControls(size.Interfaces, size.TypeLibs);
  size_t baseRows = 0;
  double base = Best([&] { return TimeControls(&baseRows); });
  std::printf("\nCustom Controls section (interfaces against type libraries)\n");
  std::printf("baseline: %.3f s, %u rows\n", base, static_cast<unsigned>(baseRows));
  std::printf("%10s %9s %10s %10s %10s\n", "interfaces", "typelibs", "scan s", "us/itf", "rows");
  double first = 0, firstWork = 0;
  for (const auto& size : sizes) {
    SeedControls(size.Interfaces, size.TypeLibs);
    size_t rows = 0;
    double scan = Best([&] { return TimeControls(&rows) - base; });
    std::printf("%10d %9d %10.3f %10.1f %10u (expected %d)\n", size.Interfaces, size.TypeLibs, scan,
                scan / size.Interfaces * 1e6, static_cast<unsigned>(rows - baseRows),
                (size.Interfaces + kUnregisteredEvery - 1) / kUnregisteredEvery);
    std::fflush(stdout);
    RemoveControls(size.Interfaces, size.TypeLibs);
    double work = static_cast<double>(size.Interfaces);
    if (first == 0) {
      first = scan;
      firstWork = work;
    } else {
      std::printf("ratio %.2f for %.0fx the interfaces and type libraries (linear: %.0f, quadratic: %.0f)\n",
                  scan / first, work / firstWork, work / firstWork, (work / firstWork) * (work / firstWork));
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"once") {
    ScanOnce(_wtoi(argv[2]), std::wstring(argv[3]) == L"rows");
    return 0;
  }
  const bool controlsOnly = argc > 1 && std::wstring(argv[1]) == L"controls";
  std::vector<int> sizes;
  for (int i = 1; i < argc && !controlsOnly; ++i) sizes.push_back(_wtoi(argv[i]));
  if (!controlsOnly) BenchHiveSection(sizes);
  if (controlsOnly || argc == 1) BenchCustomControls();
  return 0;
}
