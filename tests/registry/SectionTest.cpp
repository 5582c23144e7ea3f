#include "SectionTest.h"

#include <objbase.h>
#include <shlobj.h>

#include "sys/RegistryKey.h"

namespace registry_test {

const wchar_t* const kSeedMarkers[3] = {L"VANTOREL", L"7A6E7E01", L"INAGBERY"};

std::wstring TestGuid(int n) {
  wchar_t digits[16];
  ::wsprintfW(digits, L"%012d", n);
  return std::wstring(kTestGuid) + digits + L"}";
}

namespace {

bool IsSeedName(const std::wstring& name) {
  std::wstring upper = name;
  ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  for (const wchar_t* m : kSeedMarkers)
    if (upper.find(m) != std::wstring::npos) return true;
  return false;
}

}  // namespace

void PurgeSeeds(HKEY root, const std::wstring& key) {
  sys::RegistryKey k;
  if (!k.Open(root, key, KEY_READ | KEY_SET_VALUE)) return;
  for (const auto& name : k.SubKeyNames())
    if (IsSeedName(name)) DeleteTree(root, key.empty() ? name : key + L"\\" + name);
  for (const auto& name : k.ValueNames())
    if (IsSeedName(name)) k.DeleteValue(name);
}

bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
  // The shell stores a missing target only as a bare path; an existing one
  // it resolves. Create the target for the moment, as a user's file was.
  bool madeTarget = false;
  if (::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    HANDLE h = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      ::CloseHandle(h);
      madeTarget = true;
    }
  }
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* shell = nullptr;
  bool ok = SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void**>(&shell)));
  IPersistFile* file = nullptr;
  ok = ok && SUCCEEDED(shell->SetPath(target.c_str())) &&
       SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
       SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file != nullptr) file->Release();
  if (shell != nullptr) shell->Release();
  ::CoUninitialize();
  if (madeTarget) ::DeleteFileW(target.c_str());
  return ok;
}

}  // namespace registry_test
