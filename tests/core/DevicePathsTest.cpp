#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <map>
#include <utility>

#include "core/DevicePaths.h"

using namespace core;

namespace {

DosDeviceLookup FakeMap(std::map<std::wstring, std::wstring> map) {
  return [map](const std::wstring& drive) {
    auto it = map.find(drive);
    return it == map.end() ? std::wstring() : it->second;
  };
}

}  // namespace

TEST(DevicePathToDosPath, MapsVolumeAndPartitionDevicesToTheirLetterOrToEmpty) {
  auto map = FakeMap({{L"c:", L"\\Device\\HarddiskVolume3"},
                      {L"d:", L"\\Device\\Harddisk1\\Partition2"},
                      {L"e:", L"Device\\HarddiskVolume7"},  // listed without the leading "\"
                      {L"f:", L"\\Device\\HarddiskVolume30"}});
  const std::pair<const wchar_t*, const wchar_t*> mapped[] = {
      {L"\\Device\\HarddiskVolume3\\Windows\\System32\\config\\SAM", L"c:\\Windows\\System32\\config\\SAM"},
      {L"\\DEVICE\\harddiskvolume3\\x", L"c:\\x"},
      {L"Device\\HarddiskVolume3\\x", L"c:\\x"},
      {L"\\Device\\Harddisk1\\Partition2\\Users\\NTUSER.DAT", L"d:\\Users\\NTUSER.DAT"},
      {L"\\Device\\HarddiskVolume7\\a", L"e:\\a"},
      {L"\\Device\\HarddiskVolume30\\a", L"f:\\a"},
      {L"\\Device\\HarddiskVolume3", L"c:"}};
  for (const auto& [device, dos] : mapped) EXPECT_EQ(DevicePathToDosPath(device, map), dos) << device;
  // No letter maps the device: empty.
  auto one = FakeMap({{L"c:", L"\\Device\\HarddiskVolume3"}});
  for (const wchar_t* device : {L"\\Device\\HarddiskVolume4\\Windows", L"\\Device\\Harddisk0\\Partition1\\Windows",
                                L"\\Device\\Floppy0\\a.txt", L""})
    EXPECT_EQ(DevicePathToDosPath(device, one), L"") << device;
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\HarddiskVolume3\\x", FakeMap({})), L"");
}

TEST(DevicePathToDosPath, RoundTripsTheSystemDriveUnderWine) {
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 2u);
  std::wstring drive{static_cast<wchar_t>(towlower(windows[0])), L':'};
  std::wstring device = QueryDosDeviceName(drive);
  ASSERT_FALSE(device.empty());
  if (device.find(L"Harddisk") == std::wstring::npos) GTEST_SKIP() << "the drive maps to no disk device";
  EXPECT_EQ(DevicePathToDosPath(device + (windows + 2)), drive + (windows + 2));
}
