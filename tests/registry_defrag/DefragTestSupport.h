// Seeds the test prefix's hive list with hives of our own: each a key under
// the current user's Software and a stand-in "hive file" in a temporary
// folder, listed by its device path as the system lists hives.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/DevicePaths.h"
#include "registry/defrag/DefragPlatform.h"
#include "registry/defrag/HiveList.h"
#include "support/Registry.h"
#include "support/TestSupport.h"
#include "sys/RegistryKey.h"

namespace defrag_test {

using testing_support::CurrentUserSid;

inline const wchar_t kHiveListKey[] = L"SYSTEM\\CurrentControlSet\\Control\\hivelist";
inline const wchar_t kSeedKey[] = L"Software\\VantorelDefragSeed";

// "c:\x" as the kernel names it: "\Device\HarddiskVolume1\x".
inline std::wstring DevicePathOf(const std::wstring& path) {
  for (const registry::TFixedDrive& d : registry::FixedDrives())
    if (::CompareStringOrdinal(d.Drive.c_str(), 2, path.c_str(), 2, TRUE) == CSTR_EQUAL) return d.Device + path.substr(2);
  return {};
}

inline void WriteFileOfSize(const std::wstring& path, DWORD size) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  std::vector<char> zeros(size, 'h');
  DWORD written = 0;
  ::WriteFile(h, zeros.data(), size, &written, nullptr);
  ::CloseHandle(h);
}

// Deletes the files (not the sub-folders) of `folder`.
inline void DeleteFilesIn(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE f = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + L"\\" + fd.cFileName).c_str());
  } while (::FindNextFileW(f, &fd));
  ::FindClose(f);
}

class SeededHives {
 public:
  explicit SeededHives(const std::wstring& folderName) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + folderName;
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    ForgetLeftovers();
    Clear();
  }
  ~SeededHives() { Clear(); }

  // A hive whose key exists (with a few values) or not; its file has `size` bytes.
  registry::THive Add(const std::wstring& name, DWORD size, bool keyExists = true) {
    registry::THive h{L"\\REGISTRY\\USER\\" + CurrentUserSid() + L"\\" + kSeedKey + L"\\" + name, folder_ + L"\\" + name};
    if (keyExists) {
      sys::RegistryKey k;
      k.Create(HKEY_CURRENT_USER, std::wstring(kSeedKey) + L"\\" + name);
      for (int i = 0; i < 20; ++i) k.WriteString(L"Value" + std::to_wstring(i), L"some data of the hive");
    }
    WriteFileOfSize(h.File, size);
    ListValue(h.Name, DevicePathOf(h.File));
    names_.push_back(h.Name);
    return h;
  }
  void ListValue(const std::wstring& name, const std::wstring& data, DWORD type = REG_SZ) {
    sys::RegistryKey list;
    list.Create(HKEY_LOCAL_MACHINE, kHiveListKey);
    list.WriteString(name, data, type);
    names_.push_back(name);
  }
  const std::wstring& Folder() const { return folder_; }

 private:
  // Hives a test run ended before it could unlist them (a timeout, a crash):
  // every seeded name carries "Vantorel", and the prefix outlives the run.
  static void ForgetLeftovers() {
    HKEY list = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHiveListKey, 0, KEY_READ | KEY_WRITE, &list) != ERROR_SUCCESS) return;
    std::vector<std::wstring> seeded;
    wchar_t name[512];
    for (DWORD i = 0;; ++i) {
      DWORD length = static_cast<DWORD>(std::size(name));
      if (::RegEnumValueW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (std::wstring(name, length).find(L"Vantorel") != std::wstring::npos) seeded.emplace_back(name, length);
    }
    for (const std::wstring& n : seeded) ::RegDeleteValueW(list, n.c_str());
    ::RegCloseKey(list);
  }
  void Clear() {
    sys::RegistryKey list;
    if (list.Open(HKEY_LOCAL_MACHINE, kHiveListKey, KEY_READ | KEY_WRITE))
      for (const std::wstring& n : names_) list.DeleteValue(n);
    names_.clear();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSeedKey);
    DeleteFilesIn(folder_);
  }
  std::wstring folder_;
  std::vector<std::wstring> names_;
};

// A folder of the user's named `name` in the seeded hives' folder, removed
// with its files.
class UserFolder {
 public:
  UserFolder(const SeededHives& seed, const std::wstring& name) : folder_(seed.Folder() + L"\\" + name) {
    ::CreateDirectoryW(folder_.c_str(), nullptr);
  }
  ~UserFolder() {
    DeleteFilesIn(folder_);
    ::RemoveDirectoryW(folder_.c_str());
  }
  UserFolder(const UserFolder&) = delete;
  UserFolder& operator=(const UserFolder&) = delete;
  const std::wstring& Folder() const { return folder_; }

 private:
  std::wstring folder_;
};

// Files on volumes with no drive letter, which Wine cannot show: while it
// lives, exactly the device paths in `files` are there.
class FakeDeviceFiles {
 public:
  explicit FakeDeviceFiles(std::set<std::wstring> files)
      : previous_(core::SetDeviceFiles(std::make_shared<Files>(std::move(files)))) {}
  ~FakeDeviceFiles() { core::SetDeviceFiles(previous_); }
  FakeDeviceFiles(const FakeDeviceFiles&) = delete;
  FakeDeviceFiles& operator=(const FakeDeviceFiles&) = delete;

 private:
  struct Files : core::IDeviceFiles {
    explicit Files(std::set<std::wstring> f) : files(std::move(f)) {}
    bool FileExists(const std::wstring& path) override { return files.count(path) > 0; }
    std::set<std::wstring> files;
  };
  std::shared_ptr<core::IDeviceFiles> previous_;
};

// A folder below the real system32 (this 32-bit program reaches it through
// "sysnative") holding one file: what a link of the user's must never let
// the defragmenter create, change or move. Links are made from the Unix side.
class SystemProbe {
 public:
  SystemProbe() {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    windows_ = windows;
    Remove();
    ::CreateDirectoryW(Folder().c_str(), nullptr);
    HANDLE h = ::CreateFileW((Folder() + L"\\system.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, "a file of the system", 20, &written, nullptr);
    ::CloseHandle(h);
  }
  ~SystemProbe() { Remove(); }
  std::wstring Folder() const { return windows_ + L"\\sysnative\\VantorelDefragProbe"; }
  // The same folder by its name on disk, as the thread sees it with the redirection off.
  std::wstring RealFolder() const { return windows_ + L"\\system32\\VantorelDefragProbe"; }
  // Unix paths: the folder, its file, and a name in it that is not there.
  std::wstring UnixFolder() const { return testing_support::ToUnixPath(windows_) + L"/system32/VantorelDefragProbe"; }
  std::wstring UnixFile() const { return UnixFolder() + L"/system.dat"; }
  std::wstring UnixMissing() const { return UnixFolder() + L"/missing.dat"; }
  // Each name in the folder with its size and time.
  std::map<std::wstring, std::wstring> Contents() const {
    std::map<std::wstring, std::wstring> seen;
    WIN32_FIND_DATAW fd;
    HANDLE f = ::FindFirstFileW((Folder() + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return seen;
    do {
      if (fd.cFileName[0] == L'.') continue;
      seen[fd.cFileName] = std::to_wstring(fd.nFileSizeLow) + L"@" + std::to_wstring(fd.ftLastWriteTime.dwLowDateTime);
    } while (::FindNextFileW(f, &fd));
    ::FindClose(f);
    return seen;
  }

 private:
  void Remove() const {
    if (::GetFileAttributesW(Folder().c_str()) == INVALID_FILE_ATTRIBUTES) return;
    testing_support::RunUnix(L"/bin/rm -rf \"" + UnixFolder() + L"\"");
    for (int i = 0; i < 100 && ::GetFileAttributesW(Folder().c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  }
  std::wstring windows_;
};

// A folder of our own in the Windows Temp folder, which every user may write.
class SharedProbe {
 public:
  SharedProbe() {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    folder_ = std::wstring(windows) + L"\\Temp\\VantorelDefragShared";
    ::CreateDirectoryW(folder_.c_str(), nullptr);
  }
  ~SharedProbe() { ::RemoveDirectoryW(folder_.c_str()); }
  const std::wstring& Folder() const { return folder_; }

 private:
  std::wstring folder_;
};

// A Unix link `link` (a Windows path whose folder exists) to the Unix path
// `target`, there or not. Wine may return before the command has run: a
// marker made after the link says it has.
inline bool UnixLink(const std::wstring& target, const std::wstring& link) {
  const size_t slash = link.find_last_of(L'\\');
  const std::wstring folder = testing_support::ToUnixPath(link.substr(0, slash));
  const std::wstring marker = link + L".linked";
  if (folder.empty()) return false;
  const std::wstring unixLink = folder + L"/" + link.substr(slash + 1);
  if (!testing_support::RunUnix(L"/bin/sh -c \"ln -sfn '" + target + L"' '" + unixLink + L"' && touch '" + unixLink +
                                L".linked'\"")) {
    return false;
  }
  for (int i = 0; i < 100 && ::GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  return ::DeleteFileW(marker.c_str()) != FALSE;
}

// Removes every link in the Windows folder `folder` from the Unix side, where
// a delete takes the link itself, never what it leads to.
inline void RemoveLinks(const std::wstring& folder) {
  const std::wstring unixFolder = testing_support::ToUnixPath(folder);
  const std::wstring done = folder + L"\\links.removed";
  if (unixFolder.empty()) return;
  testing_support::RunUnix(L"/bin/sh -c \"find '" + unixFolder + L"' -maxdepth 1 -type l -delete; touch '" + unixFolder +
                           L"/links.removed'\"");
  for (int i = 0; i < 100 && ::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  ::DeleteFileW(done.c_str());
}

// Records the swaps and restarts asked for; restarts nothing.
class RecordingPlatform : public registry::IDefragPlatform {
 public:
  struct Call {
    HKEY root;
    std::wstring subKey;
    bool view64;
    std::wstring newFile, oldFile;
    bool oldFileFree;  // the ".bak" name was free at the call
  };
  LONG ReplaceKey(const core::HiveTarget& hive, const std::wstring& newFile, const std::wstring& oldFile) override {
    calls.push_back({hive.root, hive.subKey, hive.view64, newFile, oldFile,
                     ::GetFileAttributesW(oldFile.c_str()) == INVALID_FILE_ATTRIBUTES});
    return failing.count(newFile) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
  }
  bool RestartWindows() override {
    ++restarts;
    return false;
  }
  std::vector<Call> calls;
  std::set<std::wstring> failing;  // copies whose swap fails
  int restarts = 0;
};

}  // namespace defrag_test
