#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <map>

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

TEST(DevicePathToDosPath, MapsVolumeAndPartitionDevicesToTheirLetter) {
  auto map = FakeMap({{L"c:", L"\\Device\\HarddiskVolume3"},
                      {L"d:", L"\\Device\\Harddisk1\\Partition2"},
                      {L"e:", L"Device\\HarddiskVolume7"},  // listed without the leading "\"
                      {L"f:", L"\\Device\\HarddiskVolume30"}});
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\HarddiskVolume3\\Windows\\System32\\config\\SAM", map),
            L"c:\\Windows\\System32\\config\\SAM");
  EXPECT_EQ(DevicePathToDosPath(L"\\DEVICE\\harddiskvolume3\\x", map), L"c:\\x");
  EXPECT_EQ(DevicePathToDosPath(L"Device\\HarddiskVolume3\\x", map), L"c:\\x");
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\Harddisk1\\Partition2\\Users\\NTUSER.DAT", map),
            L"d:\\Users\\NTUSER.DAT");
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\HarddiskVolume7\\a", map), L"e:\\a");
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\HarddiskVolume30\\a", map), L"f:\\a");
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\HarddiskVolume3", map), L"c:");
}

TEST(DevicePathToDosPath, GivesEmptyWhenNoLetterMapsTheDevice) {
  auto map = FakeMap({{L"c:", L"\\Device\\HarddiskVolume3"}});
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\HarddiskVolume4\\Windows", map), L"");
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\Harddisk0\\Partition1\\Windows", map), L"");
  EXPECT_EQ(DevicePathToDosPath(L"\\Device\\Floppy0\\a.txt", map), L"");
  EXPECT_EQ(DevicePathToDosPath(L"", map), L"");
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
