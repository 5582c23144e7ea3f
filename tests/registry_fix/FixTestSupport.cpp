#include "FixTestSupport.h"

#include <algorithm>
#include <cstdio>

#include "registry/fix/SystemPointThread.h"
#include "support/TestSupport.h"
#include "sys/Text.h"

namespace fix_test {

TTempFolder::TTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  DWORD n = ::GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp, n) + L"vantorel-fix-" + name;
  RemoveFolder(path_);
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

TTempFolder::~TTempFolder() { RemoveFolder(path_); }

std::wstring TTempFolder::WriteFile(const std::wstring& name, const std::string& bytes) const {
  std::wstring path = Sub(name);
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (h != INVALID_HANDLE_VALUE) {
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
  }
  return path;
}

void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  HKEY k = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  ::RegSetValueExW(k, name.c_str(), 0, type, data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
  ::RegCloseKey(k);
}

std::vector<BYTE> TextBytes(const std::wstring& text) {
  const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> Bytes(std::initializer_list<int> bytes) {
  std::vector<BYTE> out;
  for (int b : bytes) out.push_back(static_cast<BYTE>(b));
  return out;
}

void SetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD type) {
  SetValue(root, key, name, type, TextBytes(text));
}

void SetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value) {
  const auto* p = reinterpret_cast<const BYTE*>(&value);
  SetValue(root, key, name, REG_DWORD, std::vector<BYTE>(p, p + sizeof(value)));
}

void CreateKey(HKEY root, const std::wstring& key) {
  HKEY k = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &k, nullptr) == ERROR_SUCCESS)
    ::RegCloseKey(k);
}

void DeleteTree(HKEY root, const std::wstring& key) { ::RegDeleteTreeW(root, key.c_str()); }

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY k = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  ::RegCloseKey(k);
  return true;
}

bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name) {
  HKEY k = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  bool found = ::RegQueryValueExW(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(k);
  return found;
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
