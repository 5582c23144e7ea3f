// Where the hives' files are: device paths, the WOW64 system folder and the
// system's hive-list key.
#include <gtest/gtest.h>

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
}

TEST(LoadHiveList, ListsTheHivesWithAnExistingFileInOrder) {
  defrag_test::SeededHives seed(L"VantorelHiveList");
  THive first = seed.Add(L"HiveA", 4096);
  seed.ListValue(L"\\REGISTRY\\MACHINE\\VOLATILE", L"");                                   // no file
  seed.ListValue(L"\\REGISTRY\\USER\\Gone", defrag_test::DevicePathOf(seed.Folder() + L"\\Gone"));  // missing file
  seed.ListValue(L"\\REGISTRY\\USER\\Number", L"", REG_DWORD);
  THive second = seed.Add(L"HiveB", 4096);

  std::vector<THive> leftOut;
  std::vector<THive> hives = LoadHiveList(false, &leftOut);
  ASSERT_EQ(leftOut.size(), 1u) << "only a hive with a file named, and not there, is left out";
  EXPECT_EQ(leftOut[0].Name, L"\\REGISTRY\\USER\\Gone");
  ASSERT_EQ(hives.size(), 2u);
  EXPECT_EQ(hives[0].Name, first.Name);
  EXPECT_TRUE(::CompareStringOrdinal(hives[0].File.c_str(), -1, first.File.c_str(), -1, TRUE) == CSTR_EQUAL)
      << hives[0].File;
  EXPECT_EQ(hives[1].Name, second.Name);
}

}  // namespace
