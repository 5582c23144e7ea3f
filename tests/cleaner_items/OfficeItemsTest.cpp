// The Office items' registry lists, expanded over their versions.
#include <gtest/gtest.h>

#include "cleaner/items/OfficeItems.h"

using namespace cleaner;

namespace {

// "key" or "key,value" for the steps whose key holds `part`.
std::vector<std::wstring> Registry(const std::wstring& leaf, const std::wstring& part) {
  const OfficeItem* item = FindOfficeItem(leaf);
  std::vector<std::wstring> out;
  if (item == nullptr) return out;
  for (const ItemStep& s : OfficeItemSteps(*item)) {
    if (s.base != StepBase::Registry || s.path.find(part) == std::wstring::npos) continue;
    out.push_back(s.op == StepOp::DeleteValue ? s.path + L"," + s.arg : s.path);
  }
  return out;
}

const std::wstring kOffice = L"Software\\Microsoft\\Office\\";

}  // namespace

TEST(OfficeItems, PowerPointOfOneVersionInOrder) {
  std::wstring v12 = kOffice + L"12.0\\PowerPoint\\";
  EXPECT_EQ(Registry(L"Powerpoint", L"\\12.0\\"),
            (std::vector<std::wstring>{v12 + L"Recent File List", v12 + L"Recent Folder List", v12 + L"File MRU",
                                       v12 + L"Recent Templates", v12 + L"Place MRU", v12 + L"RecentFolderList"}));
  EXPECT_TRUE(Registry(L"Powerpoint", L"\\7.0\\").empty());
  EXPECT_TRUE(Registry(L"Powerpoint", L"\\16.0\\").empty());
}

TEST(OfficeItems, VersionRangesAndOrderAcrossVersions) {
  std::vector<std::wstring> access = Registry(L"Access", L"");
  ASSERT_EQ(access.size(), 4u + 8u);
  EXPECT_EQ(access[3], kOffice + L"11.0\\Access\\Settings");
  EXPECT_EQ(access[4], kOffice + L"12.0\\Access\\File MRU");
  EXPECT_EQ(access.back(), kOffice + L"15.0\\Access\\Recent Templates");

  // Word: the value first, then its three lists, version by version.
  std::wstring w8 = kOffice + L"8.0\\Word\\Data";
  std::vector<std::wstring> word = Registry(L"Word", L"");
  ASSERT_EQ(word.size(), 8u * 4u);
  EXPECT_EQ(std::vector<std::wstring>(word.begin(), word.begin() + 4),
            (std::vector<std::wstring>{w8 + L",Settings", w8 + L"\\File MRU", w8 + L"\\Recent Templates",
                                       w8 + L"\\Place MRU"}));

  // Visio: the nine values of 11.0 before any list.
  std::vector<std::wstring> visio = Registry(L"Visio", L"");
  ASSERT_EQ(visio.size(), 9u + 5u * 2u);
  EXPECT_EQ(visio[8], kOffice + L"11.0\\Visio\\Application,LastFile9");
  EXPECT_EQ(visio[9], kOffice + L"11.0\\Visio\\File MRU");
}
