// SRSetRestorePointA as the tests need it. Each call appends the 80 request
// bytes to the file named by VANTOREL_SR_RECORD, then answers by
// VANTOREL_SR_ANSWER: "fail" fails, "delay:N" succeeds after N ms, anything
// else succeeds at once. The status record is filled as System Restore would.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Env(const char* name) {
  char buf[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA(name, buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
}

void Record(const void* request) {
  std::string file = Env("VANTOREL_SR_RECORD");
  if (file.empty()) return;
  HANDLE h = ::CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(h, request, 80, &written, nullptr);
  ::CloseHandle(h);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI SRSetRestorePointA(void* request, void* status) {
  Record(request);
  std::string answer = Env("VANTOREL_SR_ANSWER");
  if (answer.rfind("delay:", 0) == 0) ::Sleep(static_cast<DWORD>(std::atoi(answer.c_str() + 6)));
  bool ok = answer != "fail";
  DWORD code = ok ? ERROR_SUCCESS : ERROR_SERVICE_DISABLED;
  long long sequence = ok ? 42 : 0;
  std::memcpy(status, &code, sizeof(code));
  std::memcpy(static_cast<char*>(status) + sizeof(code), &sequence, sizeof(sequence));
  return ok ? TRUE : FALSE;
}
