// Times the check that follows a restore against the registry editor's
// import of the same file: a backup of tiny values, a thousand to a key,
// written in sections or with a header before every value, of each size
// given in megabytes (8 and 60 by default). The check (reading the
// file included) should take no longer than the import, and both should
// grow in step with the file.
// Run it inside a throw-away Wine prefix only (run.sh does): it writes below
// HKEY_CURRENT_USER\Software\VantorelBench and into the prefix's temporary
// folder.
//   restore_bench [megabytes...]
#include <windows.h>

#include "../BenchClock.h"

#include <cstdio>
#include <string>
#include <vector>

#include "registry/restore/Regedit.h"
#include "registry/restore/RestoreCheck.h"

using namespace registry;

namespace {

const wchar_t kBenchKey[] = L"Software\\VantorelBench\\Restore";
constexpr int kValuesPerKey = 1000;

// The two layouts: a key section for each thousand values, or a header
// before every value, as the fix writes its backups.
enum class TLayout { Sections, HeaderPerValue };

using bench::Now;

std::wstring FileName(int megabytes) {
  wchar_t temp[MAX_PATH];
  DWORD n = ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp, n) + L"vantorel-restore-bench-" + std::to_wstring(megabytes) + L".reg";
}

// A backup as the fix writes it: REGEDIT4, key sections, one value a line.
// The number of values written.
int WriteBackup(const std::wstring& file, int megabytes, TLayout layout) {
  std::string text = "REGEDIT4\r\n";
  const size_t size = static_cast<size_t>(megabytes) << 20;
  int values = 0;
  char line[96];
  while (text.size() < size) {
    if (values % kValuesPerKey == 0 || layout == TLayout::HeaderPerValue) {
      std::snprintf(line, sizeof(line), "\r\n[HKEY_CURRENT_USER\\Software\\VantorelBench\\Restore\\K%d]\r\n",
                    values / kValuesPerKey);
      text += line;
    }
    std::snprintf(line, sizeof(line), "\"v%d\"=\"x\"\r\n", values++);
    text += line;
  }
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD wrote = 0;
  const bool ok = h != INVALID_HANDLE_VALUE &&
                  ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) && wrote == text.size();
  if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  return ok ? values : 0;
}

bool RunAndWait(std::wstring command) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

// Seconds for the least any check must do: open each key once and read each
// of its values.
double TimeBareReads(int values) {
  const double start = Now();
  HKEY key = nullptr;
  for (int i = 0; i < values; ++i) {
    if (i % kValuesPerKey == 0) {
      if (key != nullptr) ::RegCloseKey(key);
      const std::wstring path = std::wstring(kBenchKey) + L"\\K" + std::to_wstring(i / kValuesPerKey);
      if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) key = nullptr;
    }
    BYTE data[64];
    DWORD size = sizeof(data), type = 0;
    ::RegQueryValueExW(key, (L"v" + std::to_wstring(i)).c_str(), nullptr, &type, data, &size);
  }
  if (key != nullptr) ::RegCloseKey(key);
  return Now() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(_wtoi(argv[i]));
  if (sizes.empty()) sizes = {8, 60};
  bool all = true;
  for (TLayout layout : {TLayout::Sections, TLayout::HeaderPerValue}) {
    std::printf("%s\n", layout == TLayout::Sections ? "a section for each thousand values:"
                                                      : "a header before every value, as the fix writes:");
    for (int megabytes : sizes) {
      ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
      const std::wstring file = FileName(megabytes);
      const int values = WriteBackup(file, megabytes, layout);
      double start = Now();
      const bool ran = RunAndWait(RegeditImportCommand(file));
      const double import = Now() - start;
      start = Now();
      TRegFile read;
      const bool readOk = ReadRegFile(file, &read) == TRegRead::Read;
      const double reading = Now() - start;
      const TRestoreCheck check = CheckRegEntriesRestored(read);
      const double checked = Now() - start;
      const double bare = TimeBareReads(values);
      const bool restored = ran && readOk && check.AllPresent();
      all = all && restored;
      std::printf("%3d MB, %8d values: import %7.2f s, check %7.2f s (reading %.2f s; bare reads %.2f s), "
                  "%.2f times the import%s\n",
                  megabytes, values, import, checked, reading, bare, checked / import,
                  restored ? "" : ", NOT all restored");
      ::DeleteFileW(file.c_str());
    }
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  return all ? 0 : 1;
}
