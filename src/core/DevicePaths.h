// Kernel device paths (\Device\HarddiskVolume3\...) to drive-letter paths.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace core {

// The first device name a drive ("c:") maps to, or empty when it maps to none.
using DosDeviceLookup = std::function<std::wstring(const std::wstring& drive)>;

// The system's DOS device map (QueryDosDevice).
std::wstring QueryDosDeviceName(const std::wstring& drive);

// c:\Windows\... for \Device\HarddiskVolume1\Windows\...; empty when no drive
// letter maps to the path's device.
std::wstring DevicePathToDosPath(const std::wstring& DevicePath);
std::wstring DevicePathToDosPath(const std::wstring& DevicePath, const DosDeviceLookup& lookup);

// Files on volumes that no drive letter reaches (the boot partition), asked
// by their device paths through "\\?\GLOBALROOT". Wine shows no such volume,
// so tests install their own.
class IDeviceFiles {
 public:
  virtual ~IDeviceFiles() = default;
  // True when "\Device\HarddiskVolume1\Boot\BCD" names an existing file, so
  // its device exists too; false when it does not, or cannot be told.
  virtual bool FileExists(const std::wstring& DevicePath) = 0;
};

// The installed one; the system's unless a test installed another.
std::shared_ptr<IDeviceFiles> DeviceFiles();
// Installs `files` (empty: the system's again); returns the one it replaces.
std::shared_ptr<IDeviceFiles> SetDeviceFiles(std::shared_ptr<IDeviceFiles> files);

}  // namespace core
