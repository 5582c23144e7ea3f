#include "core/DevicePaths.h"

#include <windows.h>

#include "sys/TextCompare.h"

namespace core {
namespace {

// Position of the n-th backslash (1-based), or npos.
size_t NthBackslash(const std::wstring& s, int n) {
  size_t at = std::wstring::npos;
  for (int i = 0; i < n; ++i) {
    at = s.find(L'\\', at == std::wstring::npos ? 0 : at + 1);
    if (at == std::wstring::npos) break;
  }
  return at;
}

// How many backslashes end the device part: \Device\HarddiskVolume3 is followed
// by the third, \Device\Harddisk0\Partition1 by the fourth; 0 for any other.
int DeviceDepth(const std::wstring& path) {
  if (sys::FindText(path, L"Device\\HarddiskVolume") != std::wstring::npos) return 3;
  if (sys::FindText(path, L"Device\\Harddisk") != std::wstring::npos) return 4;
  return 0;
}

// The system's answer, from the file's attributes; a path that is no device
// path is not asked.
class SystemDeviceFiles : public IDeviceFiles {
 public:
  bool FileExists(const std::wstring& DevicePath) override {
    if (!sys::StartsWithText(DevicePath, L"\\Device\\")) return false;
    const DWORD attr = ::GetFileAttributesW((L"\\\\?\\GLOBALROOT" + DevicePath).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
};

std::shared_ptr<IDeviceFiles>& InstalledDeviceFiles() {
  static std::shared_ptr<IDeviceFiles> files = std::make_shared<SystemDeviceFiles>();
  return files;
}

}  // namespace

std::shared_ptr<IDeviceFiles> DeviceFiles() { return InstalledDeviceFiles(); }

std::shared_ptr<IDeviceFiles> SetDeviceFiles(std::shared_ptr<IDeviceFiles> files) {
  if (!files) files = std::make_shared<SystemDeviceFiles>();
  std::swap(files, InstalledDeviceFiles());
  return files;
}

std::wstring QueryDosDeviceName(const std::wstring& drive) {
  wchar_t buf[1000] = {};
  if (::QueryDosDeviceW(drive.c_str(), buf, 1000) == 0) return {};
  return buf;  // the first name of the list
}

std::wstring DevicePathToDosPath(const std::wstring& DevicePath, const DosDeviceLookup& lookup) {
  std::wstring path = DevicePath;
  if (!path.empty() && path[0] != L'\\' && sys::StartsWithText(path, L"Device")) path.insert(0, 1, L'\\');
  std::wstring device = path;
  std::wstring rest;
  if (int depth = DeviceDepth(path)) {
    size_t at = NthBackslash(path, depth);
    if (at != std::wstring::npos) {
      device = path.substr(0, at);
      rest = path.substr(at);
    }
  }
  for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
    const std::wstring drive{letter, L':'};
    const std::wstring name = lookup(drive);
    if (!name.empty() && (sys::SameText(name, device) || sys::SameText(L"\\" + name, device))) return drive + rest;
  }
  return {};
}

std::wstring DevicePathToDosPath(const std::wstring& DevicePath) {
  return DevicePathToDosPath(DevicePath, &QueryDosDeviceName);
}

}  // namespace core
