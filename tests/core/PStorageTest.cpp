// The Protected Storage connection over a fake store put in place of the
// library's create-instance entry.
#include <gtest/gtest.h>

#include "FakePStore.h"
#include "core/PStorage.h"

using namespace core;
using namespace pstore_test;

namespace {

class PStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFake();
    saved_ = SetPStoreCreateInstance(&FakeCreateInstance);
  }
  void TearDown() override { SetPStoreCreateInstance(saved_); }
  PStoreCreateInstanceFn saved_ = nullptr;
};

}  // namespace

TEST(PStorageMissing, NotLoadedConnectsToNothing) {
  ResetFake();
  PStoreCreateInstanceFn saved = SetPStoreCreateInstance(nullptr);
  EXPECT_FALSE(PStoreLoaded());
  TPStorage store;
  EXPECT_FALSE(store.Connect());
  EXPECT_EQ(store.GetTypes()->Count(), 0);
  EXPECT_EQ(store.GetTypeName(MakeGuid(1)), L"");
  EXPECT_FALSE(store.DeleteItem(MakeGuid(1), MakeGuid(2), L"x"));
  SetPStoreCreateInstance(saved);
  EXPECT_EQ(Fake().created, 0);
}

TEST_F(PStorageTest, FortyTypesInBatchesOfSixteen) {
  for (int i = 0; i < 40; ++i) Fake().types.push_back({MakeGuid(i), L"", {}});
  TPStorage store;
  ASSERT_TRUE(store.Connect());
  std::unique_ptr<TIDList> types = store.GetTypes();
  ASSERT_EQ(types->Count(), 40);
  EXPECT_TRUE(IsEqualGUID(types->GetItem(39), MakeGuid(39)));
  EXPECT_EQ(Fake().nextCalls, 4) << "16, 16, 8 and one that fetches none";
}

TEST_F(PStorageTest, SubtypesItemsNamesAndDeletion) {
  std::wstring longName = L"http://site/" + std::wstring(288, L'n');
  Fake().types = {{MakeGuid(1), L"Internet Explorer", {{MakeGuid(10), {L"a", longName}}}}, {MakeGuid(2), L"", {}}};
  TPStorage store;
  ASSERT_TRUE(store.Connect());
  EXPECT_EQ(store.GetSubtypes(MakeGuid(1))->Count(), 1);
  EXPECT_EQ(store.GetSubtypes(MakeGuid(9))->Count(), 0) << "an unknown type";
  std::unique_ptr<TItemList> items = store.GetItems(MakeGuid(1), MakeGuid(10));
  ASSERT_EQ(items->Count(), 2);
  EXPECT_EQ(items->GetItem(1), longName.substr(0, 255));
  // The name as shown is cut; the delete goes by the store's own name.
  EXPECT_TRUE(store.DeleteItem(MakeGuid(1), MakeGuid(10), items->GetFullName(1)));
  EXPECT_FALSE(store.DeleteItem(MakeGuid(1), MakeGuid(10), items->GetItem(1)));
  EXPECT_EQ(Fake().deleted, std::vector<std::wstring>{longName});
  EXPECT_EQ(Fake().promptSize, 16u);
  EXPECT_EQ(Fake().promptFlags, 4u);

  EXPECT_EQ(store.GetTypeName(MakeGuid(1)), L"Internet Explorer");
  EXPECT_EQ(store.GetTypeName(MakeGuid(2)), L"") << "after an earlier call returned a name";
  EXPECT_EQ(store.GetTypeName(MakeGuid(7)), L"");
}

TEST_F(PStorageTest, ConnectTwiceReleasesTheFirstStore) {
  {
    TPStorage store;
    ASSERT_TRUE(store.Connect());
    ASSERT_TRUE(store.Connect());
    EXPECT_EQ(Fake().created, 2);
    EXPECT_EQ(Fake().released, 1);
  }
  EXPECT_EQ(Fake().released, 2) << "destroying disconnects";
}
