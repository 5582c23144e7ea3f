// The registry primitives against the test prefix's registry: their counts,
// what a test leaves alone, and the keys no form may delete or empty.
#include <gtest/gtest.h>

#include "CleanFakes.h"
#include "cleaner/RegistryPaths.h"
#include "sys/RegistryKey.h"
#include "support/Registry.h"

using namespace cleaner;
using namespace cleaner_test;

namespace {

const std::wstring kBase = L"Software\\VantorelTests\\Cleaner";

class RegistryPrimitives : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegKeyTree(HKEY_CURRENT_USER, kBase);
    Make(L"Empty", {});
    Make(L"Full", {L"v1", L"v2", L"v3"});
    Make(L"Full\\Sub", {L"s1", L"s2"});
  }
  void TearDown() override { DeleteRegKeyTree(HKEY_CURRENT_USER, kBase); }

  static void Make(const std::wstring& key, const std::vector<std::wstring>& values) {
    sys::RegistryKey k;
    ASSERT_TRUE(k.Create(HKEY_CURRENT_USER, kBase + L"\\" + key));
    for (const auto& v : values) k.WriteString(v, L"data");
  }
  static std::wstring Key(const std::wstring& rel) { return kBase + L"\\" + rel; }
};

}  // namespace

TEST_F(RegistryPrimitives, KeyDeletionCountsValuesOfTheWholeTree) {
  CleanRun run(CleanMode::RealClean, {}, true);
  TClearTaskThread& t = run.Thread();
  EXPECT_EQ(t.DeleteRegKeyByName(L"hkey_current_user", Key(L"Empty")), 1);
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, Key(L"Full")), 5);
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, Key(L"Missing")), 0);
  EXPECT_EQ(t.DeleteRegKeyByName(L"HKEY_NOWHERE", Key(L"Empty")), 0);
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key(L"Empty")));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key(L"Full")));
  EXPECT_TRUE(run.log->Contains(L"Clean: deleting registry key HKEY_CURRENT_USER\\" + Key(L"Empty")));
}

TEST_F(RegistryPrimitives, ValueFormsKeepTheKey) {
  CleanRun run(CleanMode::RealClean, {}, true);
  TClearTaskThread& t = run.Thread();
  EXPECT_EQ(t.DeleteRegValues(HKEY_CURRENT_USER, Key(L"Full"), L"v2"), 1);
  EXPECT_EQ(t.DeleteRegValues(HKEY_CURRENT_USER, Key(L"Full"), L"v2"), 0);
  EXPECT_TRUE(run.log->Contains(L"Clean: deleting registry value HKEY_CURRENT_USER\\" + Key(L"Full") + L"\\v2"));
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", Key(L"Full"), L""), 4);  // v1, v3 and the sub-key's 2
  sys::RegistryKey k;
  ASSERT_TRUE(k.Open(HKEY_CURRENT_USER, Key(L"Full")));
  EXPECT_TRUE(k.ValueNames().empty());
  EXPECT_TRUE(k.SubKeyNames().empty());
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", Key(L"Missing"), L""), 0);
}

TEST_F(RegistryPrimitives, ATestCountsTheSameAndChangesNothing) {
  CleanRun run(CleanMode::Test, {}, true);
  TClearTaskThread& t = run.Thread();
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, Key(L"Full")), 5);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", Key(L"Full"), L""), 5);
  EXPECT_EQ(t.DeleteRegValues(HKEY_CURRENT_USER, Key(L"Full"), L"v1"), 1);
  EXPECT_EQ(CountRegValues(HKEY_CURRENT_USER, Key(L"Full")), 5);
  EXPECT_TRUE(run.log->Contains(L"Test: deleting registry key HKEY_CURRENT_USER\\" + Key(L"Full")));
}

TEST_F(RegistryPrimitives, RootsAndFirstLevelKeysAreNeverDeletedNorEmptied) {
  CleanRun run(CleanMode::RealClean, {}, false);  // records, deletes nothing
  TClearTaskThread& t = run.Thread();
  EXPECT_EQ(t.DeleteRegKeyByName(L"HKEY_CURRENT_USER", L"Software"), 0);
  EXPECT_EQ(t.DeleteRegKeyByName(L"HKEY_CURRENT_USER", L"\\Software\\"), 0);
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, L""), 0);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", L"Software", L""), 0);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\", L""), 0);
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, L"Software\\\\VantorelTests"), 0);
  EXPECT_TRUE(run.deleter->calls.empty());
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping protected registry key HKEY_CURRENT_USER\\Software"));
}

TEST_F(RegistryPrimitives, AHiveOrClassesRootUnderAnotherNameIsProtectedToo) {
  CleanRun run(CleanMode::RealClean, {}, false);  // records, deletes nothing
  TClearTaskThread& t = run.Thread();
  EXPECT_EQ(t.DeleteRegKeyByName(L"HKEY_USERS", L".DEFAULT\\Software"), 0);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_USERS", L".DEFAULT\\Software", L""), 0);
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, L"Software\\Classes"), 0);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_LOCAL_MACHINE", L"Software\\Classes", L""), 0);
  EXPECT_TRUE(run.deleter->calls.empty());
}

namespace {

using testing_support::MakeRegLink;
using testing_support::RemoveRegLink;

// The link target: a key of the machine's native view, outside every key the
// test deletes.
const std::wstring kTarget = L"Software\\VantorelTestsLinkTarget";

void MakeTarget() {
  sys::RegistryKey k;
  ASSERT_TRUE(k.Create(HKEY_LOCAL_MACHINE, kTarget + L"\\child", KEY_ALL_ACCESS | KEY_WOW64_64KEY));
  k.WriteString(L"keep", L"data");
}

bool TargetIntact() {
  sys::RegistryKey k;
  return k.Open(HKEY_LOCAL_MACHINE, kTarget + L"\\child", KEY_READ | KEY_WOW64_64KEY) && k.ValueExists(L"keep");
}

void RemoveTarget() {
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (kTarget + L"\\child").c_str(), KEY_WOW64_64KEY, 0);
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTarget.c_str(), KEY_WOW64_64KEY, 0);
}

}  // namespace

// A registry link is the registry's junction: it is deleted as a link and
// never entered, counted or emptied through.
TEST_F(RegistryPrimitives, ALinkKeyIsNeverFollowed) {
  MakeTarget();
  const std::wstring native = L"\\Registry\\Machine\\" + kTarget;
  const std::wstring inner = Key(L"Full\\Sub\\link"), top = Key(L"toplink");
  if (!MakeRegLink(inner, native) || !MakeRegLink(top, native)) {
    RemoveRegLink(inner);
    RemoveTarget();
    GTEST_SKIP() << "this registry makes no links";
  }
  CleanRun test(CleanMode::Test, {}, false);
  EXPECT_EQ(test.Thread().DeleteRegKey(HKEY_CURRENT_USER, Key(L"Full")), 5);
  EXPECT_EQ(CountRegValues(HKEY_CURRENT_USER, Key(L"Full")), 5);

  CleanRun run(CleanMode::RealClean, {}, true);
  TClearTaskThread& t = run.Thread();
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", top, L""), 0);
  // One named value is the link target's value as much as all of them are.
  const std::wstring childLink = Key(L"childlink");
  ASSERT_TRUE(MakeRegLink(childLink, native + L"\\child"));
  EXPECT_EQ(t.DeleteRegValues(HKEY_CURRENT_USER, childLink, L"keep"), 0);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", childLink, L"keep"), 0);
  EXPECT_FALSE(SystemDeleter().RemoveRegValue(HKEY_CURRENT_USER, childLink, L"keep"));
  EXPECT_TRUE(TargetIntact());
  RemoveRegLink(childLink);
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, top), 0) << "a link named by an item is refused, as a folder link is";
  const std::wstring kept = L" (a registry link; its target is kept)";
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping protected registry key HKEY_CURRENT_USER\\" + top + kept));
  // A link on the way to the key or value is the same link.
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, top + L"\\child"), 0);
  EXPECT_EQ(t.DeleteRegKeyByName(L"HKEY_CURRENT_USER", top + L"\\child"), 0);
  EXPECT_EQ(t.DeleteRegValuesByName(L"HKEY_CURRENT_USER", top + L"\\child", L"keep"), 0);
  EXPECT_EQ(t.DeleteRegValues(HKEY_CURRENT_USER, top + L"\\child", L""), 0);
  EXPECT_TRUE(run.log->Contains(L"Clean: skipping protected registry key HKEY_CURRENT_USER\\" + top + L"\\child" + kept));
  EXPECT_TRUE(TargetIntact());
  EXPECT_EQ(t.FItemRefused, 8) << "each link refused counts for the exit code";
  EXPECT_EQ(t.DeleteRegKey(HKEY_CURRENT_USER, Key(L"Full")), 5);
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key(L"Full"))) << "the link below goes as a link";
  EXPECT_TRUE(TargetIntact());
  RemoveRegLink(inner);
  RemoveRegLink(top);
  RemoveTarget();
}

TEST_F(RegistryPrimitives, FastScanWritesNoEntryLines) {
  CleanSettings fast;
  fast.FastScan = true;
  CleanRun run(CleanMode::Test, fast);
  EXPECT_EQ(run.Thread().DeleteRegKey(HKEY_CURRENT_USER, Key(L"Full")), 5);
  EXPECT_TRUE(run.log->Lines().empty());
}
