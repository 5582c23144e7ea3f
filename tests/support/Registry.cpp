#include "support/Registry.h"

#include <sddl.h>

namespace testing_support {

namespace {

HKEY OpenKey(HKEY root, const std::wstring& key, REGSAM access) {
  const wchar_t* sub = key.c_str();
  if (*sub == L'\\') ++sub;
  HKEY k = nullptr;
  return ::RegOpenKeyExW(root, sub, 0, access, &k) == ERROR_SUCCESS ? k : nullptr;
}

}  // namespace

void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  HKEY k = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  ::RegSetValueExW(k, name.c_str(), 0, type, data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
  ::RegCloseKey(k);
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

void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  if (HKEY k = OpenKey(root, key, KEY_SET_VALUE)) {
    ::RegDeleteValueW(k, name.c_str());
    ::RegCloseKey(k);
  }
}

void DeleteTree(HKEY root, const std::wstring& key) { ::RegDeleteTreeW(root, key.c_str()); }

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY k = OpenKey(root, key, KEY_READ);
  if (k != nullptr) ::RegCloseKey(k);
  return k != nullptr;
}

bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name) {
  HKEY k = OpenKey(root, key, KEY_READ);
  if (k == nullptr) return false;
  bool found = ::RegQueryValueExW(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(k);
  return found;
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

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  BYTE buf[256];
  DWORD n = 0;
  std::wstring text;
  if (::GetTokenInformation(token, TokenUser, buf, sizeof(buf), &n)) {
    wchar_t* sid = nullptr;
    if (::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &sid)) {
      text = sid;
      ::LocalFree(sid);
    }
  }
  ::CloseHandle(token);
  return text;
}

std::wstring NativeUserKey(const std::wstring& key) { return L"\\Registry\\User\\" + CurrentUserSid() + L"\\" + key; }

bool MakeRegLink(const std::wstring& key, const std::wstring& target) {
  HKEY link = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &link, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = ::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.c_str()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t)));
  ::RegCloseKey(link);
  return rc == ERROR_SUCCESS;
}

void RemoveRegLink(const std::wstring& key) {
  // RegDeleteKey would open, and delete, the link's target.
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"));
  HKEY link = nullptr;
  if (ntDeleteKey == nullptr ||
      ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), REG_OPTION_OPEN_LINK, DELETE, &link) != ERROR_SUCCESS)
    return;
  ntDeleteKey(link);
  ::RegCloseKey(link);
}

bool ImportWithRegedit(const std::wstring& file, DWORD ms) {
  wchar_t windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(windows, n) + L"\\regedit.exe\" /s \"" + file + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  bool ended = ::WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
  DWORD code = 1;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return ended && code == 0;
}

}  // namespace testing_support
