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

// Where `path` passes the Windows folder's own "sysnative" (a 32-bit
// program's name for the real system folder), the offset of the "\" before
// that part; npos elsewhere. Judged as the guard judges the name, by what the
// folder above is and what the name opens: a user's folder called so is just
// a folder.
size_t SystemSysnativeAt(const std::wstring& path);

// The Windows folder's own "system32" (any case) turned into "sysnative" when
// that names an existing file; otherwise Path. A 32-bit process under WOW64
// reaches the real system folder only through "sysnative".
std::wstring ToSysnativePath(const std::wstring& Path, const FileExistsFn& exists = &FileExists);

// A hive path of the hive list to an existing file path, or empty.
std::wstring HivePathToFileName(const std::wstring& Path, bool IsWow64);

// Why a listed hive is left out of the analysis.
enum class TLeftOutReason {
  NotFound,       // no such file, or no such volume
  NoDriveLetter,  // the file is there, on a volume with no drive letter
};

struct TLeftOutHive {
  THive Hive;  // File: the path as listed
  TLeftOutReason Why = TLeftOutReason::NotFound;
};

// The hive-list key's hives with an existing file, in enumeration order;
// empty when the key does not open. Hives listed with a file that no drive
// letter reaches go to `leftOut`, and why: the file is either not there (a
// missing file, a volume that does not exist) or on a volume with no letter,
// as core::DeviceFiles() tells. Hives listed without a file have none to save.
std::vector<THive> LoadHiveList(bool IsWow64, std::vector<TLeftOutHive>* leftOut = nullptr);

}  // namespace registry
