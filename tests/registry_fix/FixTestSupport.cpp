#include "FixTestSupport.h"

#include <algorithm>
#include <cstdio>

#include "registry/fix/SystemPointThread.h"
#include "support/TestSupport.h"
#include "sys/Text.h"

namespace fix_test {

std::wstring TTempFolder::WriteFile(const std::wstring& name, const std::string& bytes) const {
  std::wstring path = Sub(name);
  testing_support::WriteBytes(path, bytes);
  return path;
}

namespace {

std::string Hex(const BYTE* p, DWORD n) {
  std::string out;
  char buf[4];
  for (DWORD i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof(buf), "%02x", p[i]);
    out += buf;
  }
  return out;
}

void DumpInto(HKEY root, const std::wstring& key, std::vector<std::string>* lines) {
  HKEY k = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
  const std::string path = sys::ToUtf8(key);
  lines->push_back(path);
  std::vector<std::string> values;
  std::vector<std::wstring> subKeys;
  DWORD maxData = 0;
  ::RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxData, nullptr,
                     nullptr);
  std::vector<BYTE> data(maxData + 16);
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD nameLen = 16384, size = static_cast<DWORD>(data.size()), type = 0;
    if (::RegEnumValueW(k, i, name, &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
    values.push_back(path + "|" + sys::ToUtf8(std::wstring(name, nameLen)) + "|" + std::to_string(type) + "|" +
                     Hex(data.data(), size));
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD len = 256;
    if (::RegEnumKeyExW(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subKeys.emplace_back(name, len);
  }
  ::RegCloseKey(k);
  std::sort(values.begin(), values.end());
  lines->insert(lines->end(), values.begin(), values.end());
  std::sort(subKeys.begin(), subKeys.end());
  for (const auto& sub : subKeys) DumpInto(root, key + L"\\" + sub, lines);
}

}  // namespace

std::vector<std::string> DumpTree(HKEY root, const std::wstring& key) {
  std::vector<std::string> lines;
  DumpInto(root, key, &lines);
  return lines;
}

TMessageRecorder::TMessageRecorder(int answer) : answer_(answer) { previous_ = ui::SetMessageBoxAnswerer(this); }

int TMessageRecorder::Answer(HWND, const std::wstring& text, UINT flags) {
  Messages.push_back({text, flags});
  return answer_;
}

TMessageRecorder::~TMessageRecorder() { ui::SetMessageBoxAnswerer(previous_); }

TWindowClicker::TWindowClicker(const wchar_t* className, std::wstring button, DWORD delayMs)
    : className_(className), button_(std::move(button)), delay_(delayMs) {
  thread_ = std::thread([this] { Run(); });
}

TWindowClicker::~TWindowClicker() {
  stop_ = true;
  thread_.join();
}

void TWindowClicker::Run() {
  const DWORD start = ::GetTickCount();
  while (!stop_) {
    HWND w = ::FindWindowW(className_.c_str(), nullptr);
    DWORD pid = 0;
    if (w != nullptr) ::GetWindowThreadProcessId(w, &pid);
    if (w == nullptr || pid != ::GetCurrentProcessId() || !::IsWindowVisible(w)) {
      ::Sleep(20);
      continue;
    }
    seenAfter_ = ::GetTickCount() - start;
    seen_ = true;
    ::Sleep(delay_);
    if (button_.empty()) {
      ::PostMessageW(w, WM_CLOSE, 0, 0);
    } else {
      HWND b = ::FindWindowExW(w, nullptr, L"Button", button_.c_str());
      HWND skinned = b == nullptr ? ::FindWindowExW(w, nullptr, L"TskButton", button_.c_str()) : nullptr;
      if (skinned != nullptr) ::PostMessageW(skinned, BM_CLICK, 0, 0);
      else ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(b), BN_CLICKED), reinterpret_cast<LPARAM>(b));
    }
    return;
  }
}

std::wstring TFakeSystemRestore::LibraryPath() { return testing_support::BuildDir() + L"\\tests\\srclient\\SrClient.dll"; }

TFakeSystemRestore::TFakeSystemRestore(const TTempFolder& folder, const std::string& answer)
    : record_(folder.Sub(L"sr-requests.bin")) {
  ::DeleteFileW(record_.c_str());
  ::SetEnvironmentVariableW(L"VANTOREL_SR_RECORD", record_.c_str());
  ::SetEnvironmentVariableA("VANTOREL_SR_ANSWER", answer.c_str());
  registry::SetSystemRestoreLibraryPath(LibraryPath());
}

TFakeSystemRestore::TFakeSystemRestore(const std::wstring& libraryPath) {
  registry::SetSystemRestoreLibraryPath(libraryPath);
}

TFakeSystemRestore::~TFakeSystemRestore() {
  registry::SetSystemRestoreLibraryPath(L"");
  ::SetEnvironmentVariableW(L"VANTOREL_SR_RECORD", nullptr);
  ::SetEnvironmentVariableW(L"VANTOREL_SR_ANSWER", nullptr);
}

}  // namespace fix_test
