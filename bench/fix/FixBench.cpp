// Times the fix of single values (backup entry, then the delete) against a
// plain open of the same key and a read of the value, and the fix of whole
// keys. Run it inside a throw-away Wine prefix only (run.sh does): it writes
// below HKEY_CURRENT_USER\Software\VantorelBench and into the prefix's
// temporary folder.
//   fix_bench [values]
#include <windows.h>

#include "../BenchClock.h"

#include <cstdio>
#include <string>

#include "registry/fix/FixRun.h"
#include "registry/fix/RegExport.h"

using namespace registry;

namespace {

// Four parts below the root, as most rows of the scan are.
const wchar_t kBenchKey[] = L"Software\\VantorelBench\\Fix\\Deep";
const std::wstring kRootName = L"HKEY_CURRENT_USER";

using bench::Now;

std::wstring KeyOf(int i) { return std::wstring(kBenchKey) + L"\\K" + std::to_wstring(i); }

void Seed(int count) {
  for (int i = 0; i < count; ++i) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, KeyOf(i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
      continue;
    const std::wstring text = L"C:\\Missing\\Program" + std::to_wstring(i) + L".exe";
    ::RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegSetValueExW(key, L"Other", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"kept"), 10);
    ::RegCloseKey(key);
  }
}

std::wstring BackupName(const wchar_t* what) {
  wchar_t temp[MAX_PATH];
  DWORD n = ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp, n) + L"vantorel-fix-bench-" + what + L".reg";
}

// Seconds per row: one fix row of `kind` for each key, into one run's backup
// file (a value row names `valueName`, a key row goes with its remaining value).
double TimeFixes(const wchar_t* what, const wchar_t* valueName, TFixKind kind, int count, int* fixed) {
  const std::wstring file = BackupName(what);
  ::DeleteFileW(file.c_str());
  *fixed = 0;
  double start = Now();
  {
    TRegBackupFile backup(file);
    for (int i = 0; i < count; ++i) {
      TFixRow row(L"bench", valueName, kRootName + L"\\" + KeyOf(i), kind, true);
      if (FixProblemRow(row, file).Deleted()) ++*fixed;
    }
  }
  double elapsed = Now() - start;
  ::DeleteFileW(file.c_str());
  return elapsed / count;
}

// Seconds per value for a plain open of the whole path and a read of the value.
double TimePlainOpens(int count) {
  double start = Now();
  for (int i = 0; i < count; ++i) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, KeyOf(i).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
    BYTE data[512];
    DWORD size = sizeof(data), type = 0;
    ::RegQueryValueExW(key, L"Path", nullptr, &type, data, &size);
    ::RegCloseKey(key);
  }
  return (Now() - start) / count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? _wtoi(argv[1]) : 1000;
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VantorelBench\\Fix");
  Seed(count);
  double plain = TimePlainOpens(count);
  int values = 0, keys = 0;
  double value = TimeFixes(L"values", L"Path", fkDeleteNamedValue, count, &values);
  double key = TimeFixes(L"keys", L"", fkDeleteKey, count, &keys);
  std::printf("%d entries, four parts below HKEY_CURRENT_USER\n", count);
  std::printf("plain open and read   %8.3f ms per value\n", plain * 1e3);
  std::printf("value fix             %8.3f ms per value (%d fixed), %.1f times a plain open\n", value * 1e3, values,
              value / plain);
  std::printf("key fix               %8.3f ms per key (%d fixed)\n", key * 1e3, keys);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VantorelBench\\Fix");
  return values == count && keys == count ? 0 : 1;
}
