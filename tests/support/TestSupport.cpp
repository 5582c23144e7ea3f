#include "support/TestSupport.h"

#include "support/Folders.h"

#include <vector>

namespace testing_support {

std::wstring Env(const wchar_t* name) {
  DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring value(n, L'\0');
  n = ::GetEnvironmentVariableW(name, value.data(), n);
  value.resize(n);
  return value;
}

std::wstring FromUnixPath(const std::wstring& unixPath) {
  std::wstring out = L"Z:" + unixPath;
  for (auto& c : out)
    if (c == L'/') c = L'\\';
  return out;
}

std::wstring ToUnixPath(const std::wstring& winPath) {
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
  if (fn == nullptr) return {};
  char* unixName = fn(winPath.c_str());
  if (unixName == nullptr) return {};
  std::string s(unixName);
  ::HeapFree(::GetProcessHeap(), 0, unixName);
  return std::wstring(s.begin(), s.end());
}

bool RunUnix(std::wstring cmd) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  // Wine starts a Unix program without a process handle and may leave a stale
  // value in hThread: closing that closed a handle of this process (its
  // current-user registry key, which broke every later shell-folder look-up).
  // Callers wait on the program's effect instead.
  if (pi.hProcess == nullptr) return true;
  ::WaitForSingleObject(pi.hProcess, 30000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

bool MakeSymlink(const std::wstring& target, const std::wstring& link) {
  auto exists = [](const std::wstring& p) { return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; };
  std::wstring t = ToUnixPath(target);
  // The link does not exist yet: its folder's Unix name + its own name.
  std::wstring trimmed = !link.empty() && link.back() == L'\\' ? link.substr(0, link.size() - 1) : link;
  size_t slash = trimmed.find_last_of(L'\\');
  if (t.empty() || slash == std::wstring::npos) return false;
  std::wstring folder = ToUnixPath(trimmed.substr(0, slash));
  if (folder.empty()) return false;
  if (folder.back() != L'/') folder += L'/';
  if (!RunUnix(L"/bin/ln -s \"" + t + L"\" \"" + folder + trimmed.substr(slash + 1) + L"\"")) return false;
  for (int i = 0; i < 100 && !exists(link); ++i) ::Sleep(50);
  return exists(link);
}

bool SwapForLink(const std::wstring& path, const std::wstring& movedTo, const std::wstring& target) {
  std::wstring from = ToUnixPath(path);
  size_t slash = movedTo.find_last_of(L'\\');
  std::wstring toFolder = slash == std::wstring::npos ? std::wstring() : ToUnixPath(movedTo.substr(0, slash));
  if (from.empty() || toFolder.empty()) return false;
  if (!RunUnix(L"/bin/mv \"" + from + L"\" \"" + toFolder + L"/" + movedTo.substr(slash + 1) + L"\"")) return false;
  for (int i = 0; i < 100 && !Exists(movedTo); ++i) ::Sleep(50);
  return Exists(movedTo) && MakeSymlink(target, path);
}

MappedDrive::MappedDrive(wchar_t letter, const std::wstring& target) {
  const std::wstring prefix = Env(L"WINEPREFIX"), unixTarget = ToUnixPath(target);
  root_ = std::wstring(1, letter) + L":\\";
  if (prefix.empty() || unixTarget.empty() || ::GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  link_ = prefix + L"/dosdevices/" + static_cast<wchar_t>(::towlower(letter)) + L":";
  RunUnix(L"/bin/ln -s \"" + unixTarget + L"\" \"" + link_ + L"\"");
  for (int i = 0; i < 100 && !mapped_; ++i) {
    mapped_ = ::GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!mapped_) ::Sleep(50);
  }
  ::Sleep(1100);
}

MappedDrive::~MappedDrive() {
  if (link_.empty()) return;
  RunUnix(L"/bin/rm -f \"" + link_ + L"\"");
  for (int i = 0; i < 100 && ::GetFileAttributesW(root_.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  ::Sleep(1100);
}

std::wstring BuildDir() { return FromUnixPath(Env(L"VANTOREL_BUILD_DIR")); }
std::wstring ProgramPath() { return FromUnixPath(Env(L"VANTOREL_BIN_DIR")) + L"\\Vantorel.exe"; }

StartedProcess::~StartedProcess() {
  if (pi_.hProcess != nullptr) {
    if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi_.hProcess, 99);
    ::CloseHandle(pi_.hProcess);
    ::CloseHandle(pi_.hThread);
  }
}

bool StartedProcess::Start(const std::wstring& exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!args.empty()) cmd += L" " + args;
  std::vector<wchar_t> buf(cmd.begin(), cmd.end());
  buf.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  return ::CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
}

namespace {
struct FindCtx {
  DWORD pid;
  const wchar_t* cls;
  bool visible;
  HWND found;
};
BOOL CALLBACK FindProc(HWND h, LPARAM l) {
  auto* ctx = reinterpret_cast<FindCtx*>(l);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  wchar_t cls[256] = {};
  ::GetClassNameW(h, cls, 256);
  if (pid == ctx->pid && lstrcmpW(cls, ctx->cls) == 0 && (!ctx->visible || ::IsWindowVisible(h))) {
    ctx->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND StartedProcess::WaitForWindow(const wchar_t* className, DWORD ms, bool visible) const {
  DWORD start = ::GetTickCount();
  do {
    FindCtx ctx{pi_.dwProcessId, className, visible, nullptr};
    ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&ctx));
    if (ctx.found != nullptr) return ctx.found;
    if (::WaitForSingleObject(pi_.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
  } while (::GetTickCount() - start < ms);
  return nullptr;
}

bool StartedProcess::WaitForIdle(DWORD ms) const {
  return pi_.hProcess != nullptr && ::WaitForInputIdle(pi_.hProcess, ms) == 0;
}

bool StartedProcess::WaitForExit(DWORD ms, DWORD* exitCode) {
  if (::WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
  if (exitCode != nullptr) ::GetExitCodeProcess(pi_.hProcess, exitCode);
  return true;
}

}  // namespace testing_support
