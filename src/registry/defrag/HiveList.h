// The system's loaded registry hives: their kernel names (the value names of
// the hive-list key) and the files behind them.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace registry {

struct THive {
  std::wstring Name;  // \REGISTRY\MACHINE\SOFTWARE, \REGISTRY\USER\<sid>, ...
  std::wstring File;  // an existing file
};

// A fixed drive as the system maps it: "c:" and its device name.
struct TFixedDrive {
  std::wstring Drive;
  std::wstring Device;
};

// The fixed drives of this system, in drive-letter order.
std::vector<TFixedDrive> FixedDrives();

// "\Device\HarddiskVolume1\Windows\..." to "c:\Windows\..." through the fixed
// drives; empty when no fixed drive maps the path's device.
std::wstring DevicePathToDrivePath(const std::wstring& Path, const std::vector<TFixedDrive>& drives);

using FileExistsFn = std::function<bool(const std::wstring&)>;
bool FileExists(const std::wstring& path);

// "system32" (first occurrence, any case) turned into "sysnative" when that
// names an existing file; otherwise Path. A 32-bit process under WOW64 reaches
// the real system folder only through "sysnative".
std::wstring ToSysnativePath(const std::wstring& Path, const FileExistsFn& exists = &FileExists);

// A hive path of the hive list to an existing file path, or empty.
std::wstring HivePathToFileName(const std::wstring& Path, bool IsWow64);

// The hive-list key's hives with an existing file, in enumeration order;
// empty when the key does not open. Hives listed with a file that is not
// there (a missing file, a drive that does not exist) go to `leftOut`, with
// File the path as listed; hives listed without a file have none to save.
std::vector<THive> LoadHiveList(bool IsWow64, std::vector<THive>* leftOut = nullptr);

}  // namespace registry
