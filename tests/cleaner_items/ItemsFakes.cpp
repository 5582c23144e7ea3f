#include "ItemsFakes.h"

#include <shlwapi.h>

#include "cleaner/RegistryPaths.h"
#include "support/TestSupport.h"
#include "sys/RegistryKey.h"
#include "sys/Text.h"

namespace items_test {

bool RecordingLog::Contains(const std::wstring& line) {
  for (const auto& l : Lines())
    if (l == line) return true;
  return false;
}

ItemRun::ItemRun(CleanMode mode, ItemServices services) {
  services.recycleBin = bin;
  services.clipboard = clipboard;
  RegisterCleanItems(table, services);
  CleanServices clean;
  clean.log = log;
  clean.poster = poster;
  clean.asker = asker;
  clean.routines = &table;
  thread = std::make_unique<TClearTaskThread>(mode, CleanSettings{}, clean);
}

void ItemRun::Run(const std::vector<std::wstring>& captions) {
  thread->FItems = captions;
  thread->Start();
  thread->WaitFor();
}

std::map<std::wstring, ItemResult> ItemRun::Results() {
  std::map<std::wstring, ItemResult> results;
  std::wstring caption;
  for (const auto& line : log->Lines()) {
    size_t clearing = line.find(L"Clearing ");
    if (clearing != std::wstring::npos && line.size() > 4 && line.compare(line.size() - 4, 4, L" ...") == 0) {
      caption = line.substr(clearing + 9, line.size() - clearing - 13);
      continue;
    }
    size_t items = line.find(L" items ");
    size_t semi = line.find(L"; ");
    size_t kb = line.find(L" KB ");
    if (caption.empty() || items == std::wstring::npos || semi == std::wstring::npos || kb == std::wstring::npos)
      continue;
    results[caption] = {std::stoi(line.substr(0, items)), line.substr(semi + 2, kb - semi - 2)};
    caption.clear();
  }
  return results;
}

ItemServices DataFolder(const std::wstring& folder) {
  ItemServices s;
  s.dataFolder = folder;
  return s;
}

namespace {

std::wstring TempRoot() {
  wchar_t buf[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, buf);
  return std::wstring(buf) + L"vantorel-items-tests\\";
}

}  // namespace

Sandbox::Sandbox(const std::wstring& name) {
  ::CreateDirectoryW(TempRoot().c_str(), nullptr);
  root_ = TempRoot() + name + L"\\";
  RemoveTree(root_);
  ::CreateDirectoryW(root_.c_str(), nullptr);
}

Sandbox::~Sandbox() { RemoveTree(root_); }

void Sandbox::Folder(const std::wstring& relative) const { MakeFolders(Path(relative)); }

void Sandbox::File(const std::wstring& relative, const std::string& content) const {
  WriteFile(Path(relative), content);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::wstring& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\') ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

void WriteFile(const std::wstring& path, const std::string& content) {
  size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) MakeFolders(path.substr(0, slash));
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
}

void WriteText(const std::wstring& path, const std::wstring& text) { WriteFile(path, sys::ToAnsi(text)); }

std::string ReadBytes(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string data;
  char buf[4096];
  DWORD n = 0;
  while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) data.append(buf, n);
  ::CloseHandle(h);
  return data;
}

namespace {

// Wine cannot remove a Unix link through Win32; the Unix tool removes links
// as links. Only ever a sandbox of these tests.
bool RemoveSandboxTree(const std::wstring& path) {
  if (path.find(L"\\vantorel-items-tests\\") == std::wstring::npos) return false;
  std::wstring unixPath = testing_support::ToUnixPath(path);
  if (unixPath.find(L"/vantorel-items-tests/") == std::wstring::npos) return false;
  if (!testing_support::RunUnix(L"/bin/rm -rf \"" + unixPath + L"\"")) return false;
  for (int i = 0; i < 200 && Exists(path); ++i) ::Sleep(25);
  return !Exists(path);
}

}  // namespace

void RemoveTree(const std::wstring& path) {
  if (!Exists(path) || RemoveSandboxTree(path)) return;
  std::wstring folder = path.back() == L'\\' ? path : path + L'\\';
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring p = folder + name;
      ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (!::RemoveDirectoryW(p.c_str())) ::DeleteFileW(p.c_str());
      } else if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(p);
      } else {
        ::DeleteFileW(p.c_str());
      }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  ::RemoveDirectoryW(folder.c_str());
}

void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data) {
  sys::RegistryKey k;
  k.Create(root, key);
  k.WriteString(name, data);
}

bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name) {
  sys::RegistryKey k;
  return k.Open(root, key) && k.ValueExists(name);
}

bool KeyExists(HKEY root, const std::wstring& key) { return cleaner::RegKeyExists(root, key); }

void DeleteKey(HKEY root, const std::wstring& key) { cleaner::DeleteRegKeyTree(root, key); }

void RemoveLink(const std::wstring& link) {
  // The folder's Unix name + the link's own, so that nothing resolves the link.
  size_t slash = link.find_last_of(L'\\');
  if (slash == std::wstring::npos || !Exists(link)) return;
  std::wstring folder = testing_support::ToUnixPath(link.substr(0, slash + 1));
  if (folder.empty()) return;
  if (folder.back() != L'/') folder += L'/';
  testing_support::RunUnix(L"/usr/bin/unlink \"" + folder + link.substr(slash + 1) + L"\"");
  for (int i = 0; i < 100 && Exists(link); ++i) ::Sleep(50);
}

}  // namespace items_test
