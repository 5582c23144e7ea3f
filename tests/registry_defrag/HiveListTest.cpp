// Where the hives' files are: device paths, the WOW64 system folder and the
// system's hive-list key.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "DefragTestSupport.h"
#include "registry/defrag/HiveList.h"

using namespace registry;

namespace {

TEST(DevicePathToDrivePath, MapsOnlyAWholeDeviceNameOfAFixedDrive) {
  const std::vector<TFixedDrive> drives = {{L"c:", L"\\Device\\HarddiskVolume1"},
                                           {L"d:", L"\\Device\\HarddiskVolume10"}};
  struct Case {
    const wchar_t *path, *expected;
  } cases[] = {
      {L"\\Device\\HarddiskVolume1\\Windows\\System32\\config\\SOFTWARE", L"c:\\Windows\\System32\\config\\SOFTWARE"},
      {L"\\device\\harddiskvolume1\\x", L"c:\\x"},
      {L"\\Device\\HarddiskVolume10\\Users\\a\\NTUSER.DAT", L"d:\\Users\\a\\NTUSER.DAT"},  // not c: + "0\..."
      {L"\\Device\\HarddiskVolume2\\x", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(DevicePathToDrivePath(c.path, drives), c.expected) << c.path;
}

TEST(ToSysnativePath, TakesTheSysnativeFileOnlyWhenItExists) {
  auto only = [](std::wstring existing) { return [existing](const std::wstring& p) { return p == existing; }; };
  EXPECT_EQ(ToSysnativePath(L"c:\\Windows\\System32\\config\\SAM", only(L"c:\\Windows\\sysnative\\config\\SAM")),
            L"c:\\Windows\\sysnative\\config\\SAM");
  EXPECT_EQ(ToSysnativePath(L"c:\\Windows\\System32\\config\\SAM", only(L"")), L"c:\\Windows\\System32\\config\\SAM");
  EXPECT_EQ(ToSysnativePath(L"c:\\Users\\a\\NTUSER.DAT", only(L"")), L"c:\\Users\\a\\NTUSER.DAT");
  // Only the Windows folder's own: a user's folder called so is no system folder.
  EXPECT_EQ(ToSysnativePath(L"c:\\Users\\system32\\NTUSER.DAT", only(L"c:\\Users\\sysnative\\NTUSER.DAT")),
            L"c:\\Users\\system32\\NTUSER.DAT");
}

TEST(LoadHiveList, ListsTheHivesWithAnExistingFileInOrderAndSaysWhyTheOthersAreLeftOut) {
  defrag_test::SeededHives seed(L"VantorelHiveList");
  const std::wstring gone = defrag_test::DevicePathOf(seed.Folder() + L"\\Gone");
  // Hives whose file no drive letter reaches, and whether the file is on its
  // device as the system would answer.
  struct LeftOut {
    const wchar_t* name;
    std::wstring path;
    bool onDevice;
    TLeftOutReason why;
  } leftOuts[] = {
      {L"\\REGISTRY\\USER\\Gone", gone, false, TLeftOutReason::NotFound},
      // The boot configuration on the System Reserved or EFI partition.
      {L"\\REGISTRY\\MACHINE\\BCD00000000", L"\\Device\\HarddiskVolume77\\Boot\\BCD", true,
       TLeftOutReason::NoDriveLetter},
      {L"\\REGISTRY\\MACHINE\\EFIBCD", L"\\Device\\HarddiskVolume78\\EFI\\Microsoft\\Boot\\BCD", true,
       TLeftOutReason::NoDriveLetter},
      {L"\\REGISTRY\\MACHINE\\NoVolume", L"\\Device\\HarddiskVolume79\\Boot\\BCD", false,
       TLeftOutReason::NotFound},
      // A letter reaches its device, and the file is not there through it:
      // gone, whatever its device says.
      {L"\\REGISTRY\\USER\\GoneOnLetter", defrag_test::DevicePathOf(seed.Folder() + L"\\Gone2"), true,
       TLeftOutReason::NotFound},
  };
  std::set<std::wstring> onDevice;
  THive first = seed.Add(L"HiveA", 4096);
  seed.ListValue(L"\\REGISTRY\\MACHINE\\VOLATILE", L"");  // no file
  for (const LeftOut& l : leftOuts) {
    seed.ListValue(l.name, l.path);
    if (l.onDevice) onDevice.insert(l.path);
  }
  seed.ListValue(L"\\REGISTRY\\USER\\Number", L"", REG_DWORD);
  THive second = seed.Add(L"HiveB", 4096);
  defrag_test::FakeDeviceFiles devices(onDevice);

  std::vector<TLeftOutHive> leftOut;
  std::vector<THive> hives = LoadHiveList(false, &leftOut);
  ASSERT_EQ(leftOut.size(), std::size(leftOuts)) << "only a hive with a file named, and not reached, is left out";
  for (const LeftOut& l : leftOuts) {
    auto it = std::find_if(leftOut.begin(), leftOut.end(), [&](const TLeftOutHive& h) { return h.Hive.Name == l.name; });
    ASSERT_NE(it, leftOut.end()) << l.name;
    EXPECT_EQ(it->Hive.File, l.path) << "as listed";
    EXPECT_EQ(it->Why, l.why) << l.name;
  }
  ASSERT_EQ(hives.size(), 2u);
  EXPECT_EQ(hives[0].Name, first.Name);
  EXPECT_TRUE(::CompareStringOrdinal(hives[0].File.c_str(), -1, first.File.c_str(), -1, TRUE) == CSTR_EQUAL)
      << hives[0].File;
  EXPECT_EQ(hives[1].Name, second.Name);
}

}  // namespace
