// End-to-end section tests in the test prefix: a section runs once over
// Wine's own registry (the baseline), then again after the test has seeded
// bad entries beside good twins; the new rows must be exactly the expected
// ones. Seeds are named up front and removed before and after each test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "RegistryFixture.h"
#include "registry/ScanSections.h"
#include "registry/ScanTaskThread.h"

namespace registry_test {

// Every key and value a test seeds carries one of these in its name (test
// class ids start with the second, UserAssist names are the first in ROT13),
// so that leftovers of an interrupted run can be found and removed.
extern const wchar_t* const kSeedMarkers[3];
constexpr wchar_t kTestGuid[] = L"{7A6E7E01-0000-4000-8000-";  // + 12 hex digits + "}"
std::wstring TestGuid(int n);

// Deletes the subkeys and values of `key` whose names carry a seed marker.
void PurgeSeeds(HKEY root, const std::wstring& key);

class SectionTest : public ::testing::Test {
 protected:
  SectionTest() : dir_(L"VantorelSections") {}
  void SetUp() override { RemoveSeeds(); }
  void TearDown() override { RemoveSeeds(); }

  // The keys below which this test seeds; purged before and after it.
  virtual std::vector<std::pair<HKEY, std::wstring>> Places() const = 0;
  void RemoveSeeds() const {
    for (const auto& p : Places()) PurgeSeeds(p.first, p.second);
  }

  // The rows of a scan of the given sections with this machine's settings.
  TRows Scan(const std::vector<std::wstring>& sections) const { return RunScan(sections, Settings()); }
  static registry::TScanSettings Settings() { return registry::ScanSettingsFromSystem(); }
  static bool IsWin7OrLater() {
    int v = Settings().WindowsVersion;
    return v == 12 || v == 13;
  }
  static bool IsWin8OrLater() { return Settings().WindowsVersion == 13; }
  static bool IsWow64() { return Settings().IsWow64; }

  // The problem text of a section, as its rows carry it.
  static std::wstring Problem(int id) { return registry::FindScanSection(id)->Problem; }

  TTestFolder dir_;
};

// A shell link at `link` pointing to `target`; the target need not exist.
bool MakeShortcut(const std::wstring& link, const std::wstring& target);

}  // namespace registry_test
