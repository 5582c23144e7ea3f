// The scan and the guarded delete read registry root names alike: a root the
// scan reports must be one the fix can open, and no other.
#include <gtest/gtest.h>

#include "core/guard/RegistryGuard.h"
#include "registry/RegKey.h"

namespace {

struct RootCase {
  const wchar_t* name;
  HKEY root;
};

const RootCase kCases[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {L"hkey_local_machine", HKEY_LOCAL_MACHINE},
    {L"Hkey_Current_User", HKEY_CURRENT_USER},
    {L"HKLM", nullptr},
    {L"HKCU", nullptr},
    {L"HKU", nullptr},
    {L"", nullptr},
    {L" HKEY_USERS", nullptr},
    {L"HKEY_USERS ", nullptr},
    {L"HKEY_CURRENT_USER\\", nullptr},
    {L"HKEY_LOCAL_MACHINE\\Software", nullptr},
    {L"HKEY_PERFORMANCE_DATA", nullptr},
    {L"HKEY_NOWHERE", nullptr},
};

TEST(RootNames, ScanAndGuardAcceptTheSameNames) {
  for (const RootCase& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    EXPECT_EQ(registry::RootFromName(c.name), c.root);
    EXPECT_EQ(core::guard::RootKeyFromName(c.name), c.root);
    if (c.root != nullptr) {
      EXPECT_EQ(registry::RootName(c.root), core::guard::RootKeyName(c.root));
      EXPECT_EQ(registry::RootFromName(registry::RootName(c.root)), c.root);
    }
  }
  EXPECT_EQ(registry::RootName(HKEY_PERFORMANCE_DATA), L"");
}

}  // namespace
