// Kernel device paths (\Device\HarddiskVolume3\...) to drive-letter paths.
#pragma once
#include <functional>
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

}  // namespace core
