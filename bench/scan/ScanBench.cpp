// Times the HKEY_CURRENT_USER section over a seeded subtree against a bare
// enumeration of the same keys. Run it inside a throw-away Wine prefix only
// (run.sh does): it writes to HKEY_CURRENT_USER\Software\VantorelBench.
#include <windows.h>

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

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

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

// Key i (1-based) has the children 10i+1 .. 10i+10; 0 is the bench key itself.
void SeedChildren(HKEY parent, int node, int total, const TPaths& paths) {
  for (int c = node * kFanOut + 1; c <= node * kFanOut + kFanOut && c <= total; ++c) {
    HKEY key = nullptr;
    std::wstring name = L"K" + std::to_wstring(c);
    if (::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
      continue;
    DWORD count = static_cast<DWORD>(c);
    ::RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof(count));
    SetText(key, L"Label", L"Bench entry number " + std::to_wstring(c));
    SetText(key, L"Program", paths.present);
    SetText(key, L"Folder", paths.folder + L"\\Missing\\Folder" + std::to_wstring(c) + L"\\");
    SeedChildren(key, c, total, paths);
    ::RegCloseKey(key);
  }
}

void Seed(int total, const TPaths& paths) {
  HKEY root = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
  SeedChildren(root, 0, total, paths);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(_wtoi(argv[i]));
  if (sizes.empty()) sizes = {10000, 100000};
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  TPaths paths = MakeFolder();

  size_t baseRows = 0;
  double base = Best([&] { return TimeSection(&baseRows); });
  std::printf("baseline: HKEY_CURRENT_USER section %.3f s, %u rows\n", base, static_cast<unsigned>(baseRows));
  std::printf("%8s %10s %12s %12s %12s %10s %7s\n", "keys", "scan s", "scan keys/s", "bare s", "bare keys/s",
              "us/key", "ratio");
  double firstPerKey = 0;
  for (int total : sizes) {
    Seed(total, paths);
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
    double perKey = scan / total * 1e6;
    if (firstPerKey == 0) firstPerKey = perKey;
    std::printf("%8d %10.3f %12.0f %12.3f %12.0f %10.1f %7.2f\n", total, scan, total / scan, bare, total / bare,
                perKey, scan / bare);
    std::printf("         rows found %u (expected %d), keys walked %u, time per key %+.0f%% against the first size\n",
                static_cast<unsigned>(rows - baseRows), total, static_cast<unsigned>(visited),
                (perKey / firstPerKey - 1) * 100);
    std::fflush(stdout);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  }
  ::DeleteFileW(paths.present.c_str());
  ::RemoveDirectoryW(paths.folder.c_str());
  return 0;
}
