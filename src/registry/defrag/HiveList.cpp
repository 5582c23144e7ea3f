#include "registry/defrag/HiveList.h"

#include <windows.h>

#include <cwchar>

#include "core/DevicePaths.h"
#include "core/guard/LockedPlaces.h"
#include "core/guard/Redirection.h"
#include "sys/TextCompare.h"
#include "sys/RegistryKey.h"

namespace registry {
namespace {

const wchar_t kHiveListKey[] = L"SYSTEM\\CurrentControlSet\\Control\\hivelist";

namespace guard = core::guard;

const wchar_t kSystem32[] = L"system32";
const wchar_t kSysnative[] = L"sysnative";

// The first place where `accept` takes the folder part `name` of `path`
// (ignoring case), as the offset of the "\" before it; npos when none.
template <typename Accept>
size_t FindPart(const std::wstring& path, const std::wstring& name, Accept accept) {
  const std::wstring part = L"\\" + name + L"\\";
  for (size_t from = 0;;) {
    const size_t found = sys::FindText(path.substr(from), part);
    if (found == std::wstring::npos) return found;
    if (accept(from + found)) return from + found;
    from += found + 1;
  }
}

// Where `device` occurs in `path` as a whole device part, followed by a
// separator or the end ("...Volume1" must not match "...Volume10\").
size_t FindDevice(const std::wstring& path, const std::wstring& device) {
  const std::wstring upper = sys::UpperCase(path);
  const std::wstring dev = sys::UpperCase(device);
  for (size_t at = upper.find(dev); at != std::wstring::npos; at = upper.find(dev, at + 1)) {
    size_t end = at + dev.size();
    if (end == upper.size() || upper[end] == L'\\') return at;
  }
  return std::wstring::npos;
}

std::wstring ExistingOrEmpty(std::wstring file, bool IsWow64) {
  if (file.empty()) return {};
  if (IsWow64) file = ToSysnativePath(file);
  return FileExists(file) ? file : std::wstring();
}

bool HasDriveLetter(const std::wstring& path) {
  return !DevicePathToDrivePath(path, FixedDrives()).empty() || !core::DevicePathToDosPath(path).empty();
}

// A file that no drive letter reaches may still be there: the boot partition
// (System Reserved, EFI) that holds the BCD hive has no letter. A file that a
// letter reaches and that is not there is gone.
TLeftOutReason WhyLeftOut(const std::wstring& path) {
  if (!HasDriveLetter(path) && core::DeviceFiles()->FileExists(path)) return TLeftOutReason::NoDriveLetter;
  return TLeftOutReason::NotFound;
}

}  // namespace

bool FileExists(const std::wstring& path) {
  DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<TFixedDrive> FixedDrives() {
  std::vector<TFixedDrive> drives;
  wchar_t roots[105] = {};
  DWORD length = ::GetLogicalDriveStringsW(104, roots);
  if (length == 0 || length > 104) return drives;
  for (const wchar_t* root = roots; *root != 0; root += wcslen(root) + 1) {
    if (::GetDriveTypeW(root) != DRIVE_FIXED) continue;
    const std::wstring drive{root[0], L':'};
    std::wstring device = core::QueryDosDeviceName(drive);
    if (!device.empty()) drives.push_back({drive, device});
  }
  return drives;
}

std::wstring DevicePathToDrivePath(const std::wstring& Path, const std::vector<TFixedDrive>& drives) {
  for (const TFixedDrive& d : drives) {
    size_t at = FindDevice(Path, d.Device);
    if (at != std::wstring::npos) return d.Drive + Path.substr(at + d.Device.size());
  }
  return {};
}

size_t SystemSysnativeAt(const std::wstring& path) {
  // The names as every thread has them, whatever this one turned off.
  const guard::ThreadRedirection redirection(guard::ThreadRedirection::Default);
  return FindPart(path, kSysnative, [&](size_t slash) {
    const std::wstring above = path.substr(0, slash + 1);
    guard::FolderIdentity parent, opened;
    return guard::IdentityOf(above, &parent) && guard::IdentityOf(above + kSysnative, &opened) &&
           guard::LockedPlaces::OfSystem().IsSystemRedirect(parent, kSysnative, opened);
  });
}

std::wstring ToSysnativePath(const std::wstring& Path, const FileExistsFn& exists) {
  std::wstring candidate;
  const size_t at = FindPart(Path, kSystem32, [&](size_t slash) {
    candidate = Path.substr(0, slash + 1) + kSysnative + Path.substr(slash + 1 + std::wcslen(kSystem32));
    return SystemSysnativeAt(candidate) == slash;
  });
  return at != std::wstring::npos && exists(candidate) ? candidate : Path;
}

std::wstring HivePathToFileName(const std::wstring& Path, bool IsWow64) {
  std::wstring file;
  if (sys::FindText(Path, L"Device\\Harddisk") != std::wstring::npos)
    file = ExistingOrEmpty(DevicePathToDrivePath(Path, FixedDrives()), IsWow64);
  if (file.empty()) file = ExistingOrEmpty(core::DevicePathToDosPath(Path), IsWow64);
  return file;
}

std::vector<THive> LoadHiveList(bool IsWow64, std::vector<TLeftOutHive>* leftOut) {
  std::vector<THive> hives;
  sys::RegistryKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, kHiveListKey, KEY_READ)) return hives;
  for (const std::wstring& name : key.ValueNames()) {
    std::wstring text;
    // Hives without a file (the machine's own volatile ones) have empty text.
    if (!key.ReadString(name, &text) || text.empty()) continue;
    std::wstring file = HivePathToFileName(text, IsWow64);
    if (!file.empty()) hives.push_back({name, file});
    else if (leftOut != nullptr) leftOut->push_back({{name, text}, WhyLeftOut(text)});
  }
  return hives;
}

}  // namespace registry
