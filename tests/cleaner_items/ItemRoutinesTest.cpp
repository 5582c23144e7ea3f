// Items with logic of their own: the data-file item's entry forms and its
// administrator message, the recycle bin, the clipboard and MSN Messenger.
#include <gtest/gtest.h>

#include "ItemsFakes.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/items/DataFiles.h"
#include "ui/MessageBox.h"

using namespace cleaner;
using namespace items_test;

namespace {

const HKEY CU = HKEY_CURRENT_USER;
const std::wstring kKey = L"Software\\VantorelItemsTest\\Forms";

// Counts the administrator messages; every other box is a failure.
class MessageCounter : public ui::IMessageBoxAnswerer {
 public:
  MessageCounter() { ui::SetMessageBoxAnswerer(this); }
  ~MessageCounter() override { ui::SetMessageBoxAnswerer(nullptr); }
  int Answer(HWND, const std::wstring& text, UINT flags) override {
    EXPECT_EQ(text, kAdministratorMessage);
    EXPECT_EQ(flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    ++shown;
    return IDOK;
  }
  int shown = 0;
};

struct FixedAccount : IAccount {
  explicit FixedAccount(bool admin) : admin(admin) {}
  bool IsAdministrator() override { return admin; }
  bool admin;
};

ItemServices Services(const std::wstring& folder, bool admin) {
  ItemServices s = DataFolder(folder);
  s.account = std::make_shared<FixedAccount>(admin);
  return s;
}

}  // namespace

TEST(DataFileItem, RegistryEntryForms) {
  Sandbox box(L"registry-forms");
  auto seed = [] {
    for (const wchar_t* sub : {L"\\Whole", L"\\Values", L"\\One", L"\\Lower", L"\\Short"}) {
      SetValue(CU, kKey + sub, L"Bar", L"x");
      SetValue(CU, kKey + sub, L"Baz", L"x");
    }
    SetValue(CU, kKey + L"\\Values\\Sub", L"s", L"x");
  };
  seed();
  WriteText(box.Path(L"kavo.dat"),
            L"[Forms]\r\n"
            L"DelRegValue1=HKEY_CURRENT_USER\\" + kKey + L"\\Whole\r\n"
            L"DelRegValue2=HKEY_CURRENT_USER\\" + kKey + L"\\Values,\r\n"
            L"DelRegValue3=HKEY_CURRENT_USER\\" + kKey + L"\\One,Bar\r\n"
            L"DelRegValue4=hkey_current_user\\" + kKey + L"\\Lower,Bar\r\n"
            L"DelRegValue5=HKCU\\" + kKey + L"\\Short,Bar\r\n"
            L"DelRegValue6=HKEY_CURRENT_USER\\" + kKey + L"\\Missing\r\n");
  ItemRun test(CleanMode::Test, DataFolder(box.Root()));
  test.Run({L"Applications - Forms"});
  EXPECT_EQ(test.Results()[L"Applications - Forms"].count, 2 + 3 + 1 + 1);

  ItemRun clean(CleanMode::RealClean, DataFolder(box.Root()));
  clean.Run({L"Applications - Forms"});
  EXPECT_EQ(clean.Results()[L"Applications - Forms"].count, 7);
  EXPECT_FALSE(KeyExists(CU, kKey + L"\\Whole"));
  EXPECT_TRUE(KeyExists(CU, kKey + L"\\Values")) << "a trailing comma keeps the key";
  EXPECT_FALSE(ValueExists(CU, kKey + L"\\Values", L"Baz"));
  EXPECT_FALSE(KeyExists(CU, kKey + L"\\Values\\Sub"));
  EXPECT_FALSE(ValueExists(CU, kKey + L"\\One", L"Bar"));
  EXPECT_TRUE(ValueExists(CU, kKey + L"\\One", L"Baz"));
  EXPECT_FALSE(ValueExists(CU, kKey + L"\\Lower", L"Bar"));
  EXPECT_TRUE(ValueExists(CU, kKey + L"\\Short", L"Bar")) << "short root names do nothing";
  DeleteKey(CU, L"Software\\VantorelItemsTest");
}

TEST(DataFileItem, MissingFileOrSectionCountsNothing) {
  Sandbox box(L"missing-section");
  ItemRun run(CleanMode::Test, DataFolder(box.Root()));
  run.Run({L"Applications - Nothing Here", L"Custom Lists - <New List>"});
  EXPECT_EQ(run.Results()[L"Applications - Nothing Here"].count, 0);
  EXPECT_EQ(run.Results()[L"Custom Lists - <New List>"].kb, L"0");
}

TEST(DataFileItem, MachineValuesWithoutRightsAskOncePerItemNeverUnattended) {
  Sandbox box(L"administrator");
  const std::wstring machine = L"Software\\VantorelItemsTest";
  SetValue(HKEY_LOCAL_MACHINE, machine, L"A", L"x");
  SetValue(HKEY_LOCAL_MACHINE, machine, L"B", L"x");
  SetValue(CU, machine + L"\\Admin", L"C", L"x");
  WriteText(box.Path(L"kavo.dat"), L"[Machine]\r\n"
                                   L"DelRegValue1=HKEY_LOCAL_MACHINE\\" + machine + L",A\r\n"
                                   L"DelRegValue2=HKEY_LOCAL_MACHINE\\" + machine + L",B\r\n"
                                   L"DelRegValue3=HKEY_CURRENT_USER\\" + machine + L"\\Admin,C\r\n");
  const std::vector<std::wstring> twice = {L"Applications - Machine", L"Applications - Machine"};
  struct Case {
    CleanMode mode;
    int messages;
  };
  for (Case c : {Case{CleanMode::Test, 2}, Case{CleanMode::AutoClean, 0}, Case{CleanMode::RealClean, 2}}) {
    SetValue(CU, machine + L"\\Admin", L"C", L"x");
    MessageCounter boxes;
    ItemRun run(c.mode, Services(box.Root(), false));
    run.Run(twice);
    EXPECT_EQ(boxes.shown, c.messages) << static_cast<int>(c.mode);
    EXPECT_EQ(run.Results()[L"Applications - Machine"].count, c.mode == CleanMode::Test ? 1 : 0);
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, machine, L"A"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, machine, L"B"));
  }
  EXPECT_FALSE(ValueExists(CU, machine + L"\\Admin", L"C")) << "the user's own entry still goes";

  SetValue(CU, machine + L"\\Admin", L"C", L"x");
  MessageCounter none;
  ItemRun admin(CleanMode::Test, Services(box.Root(), true));
  admin.Run({L"Applications - Machine"});
  EXPECT_EQ(none.shown, 0);
  EXPECT_EQ(admin.Results()[L"Applications - Machine"].count, 3);
  DeleteKey(HKEY_LOCAL_MACHINE, machine);
  DeleteKey(CU, machine);
}

TEST(RecycleBin, TestReportsWhatTheShellHoldsCleanCountsWhatWent) {
  ItemRun test(CleanMode::Test);
  test.bin->contents = {4, 3000};
  test.Run({L"Windows - Empty Recycle Bin"});
  EXPECT_EQ(test.bin->emptied, 0);
  EXPECT_EQ(test.Results()[L"Windows - Empty Recycle Bin"].count, 4);
  EXPECT_EQ(test.Results()[L"Windows - Empty Recycle Bin"].kb, L"3");
  EXPECT_FALSE(test.log->Contains(L"Clearing, please wait..."));

  // One file would not go: it is counted apart, not as removed.
  ItemRun clean(CleanMode::RealClean);
  clean.bin->contents = {4, 3000};
  clean.bin->leftAfterEmpty = {1, 1000};
  clean.Run({L"Windows - Empty Recycle Bin"});
  EXPECT_EQ(clean.bin->emptied, 1);
  EXPECT_EQ(clean.Results()[L"Windows - Empty Recycle Bin"].count, 3);
  EXPECT_EQ(clean.Results()[L"Windows - Empty Recycle Bin"].kb, L"2");
  EXPECT_TRUE(clean.log->Contains(L"Clearing, please wait..."));
  EXPECT_TRUE(clean.log->Contains(L"1 items could not be removed."));

  // The shell answers the query under the test prefix (its bin is the test HOME's trash).
  RecycleBinContents real;
  EXPECT_TRUE(ShellRecycleBin().Query(&real));
}

// The old-style bin folder is a fixed name at a drive's root, where any
// user may create a junction: its target is not a recycle bin.
TEST(RecycleBin, AnOldStyleBinThatIsALinkIsNeverEntered) {
  const std::wstring bin = L"C:\\Recycled";
  ASSERT_FALSE(Exists(bin)) << "left over from an earlier run";
  Sandbox box(L"bin-link");
  box.File(L"elsewhere\\INFO2", "i");
  box.File(L"elsewhere\\desktop.ini", "d");
  box.File(L"elsewhere\\precious.txt", "keep");
  box.File(L"elsewhere\\inner\\also-precious.txt", "keep");
  if (!MakeSymlink(box.Path(L"elsewhere"), bin)) GTEST_SKIP() << "links can only be made under Wine";
  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode);
    run.Run({L"Windows - Empty Recycle Bin"});
    EXPECT_EQ(run.Results()[L"Windows - Empty Recycle Bin"].count, 0) << static_cast<int>(mode);
  }
  RemoveLink(bin);
  EXPECT_EQ(ReadBytes(box.Path(L"elsewhere\\precious.txt")), "keep");
  EXPECT_EQ(ReadBytes(box.Path(L"elsewhere\\inner\\also-precious.txt")), "keep");
}

TEST(Clipboard, EmptiedOnlyInACleanAndNeverCounted) {
  ItemRun test(CleanMode::Test);
  test.Run({L"Windows - Clipboard"});
  EXPECT_EQ(test.clipboard->cleared, 0);

  ItemRun clean(CleanMode::AutoClean);
  clean.Run({L"Windows - Clipboard"});
  EXPECT_EQ(clean.clipboard->cleared, 1);
  EXPECT_EQ(clean.Results()[L"Windows - Clipboard"].count, 0);

  // A clipboard held by another program costs this item only.
  ItemRun busy(CleanMode::RealClean);
  busy.clipboard->opens = false;
  busy.Run({L"Windows - Clipboard", L"Windows - Clipboard"});
  EXPECT_EQ(busy.clipboard->cleared, 2);
  EXPECT_EQ(busy.poster->Posts().back().first, WM_CLEANFINISHED);
}

TEST(MSNMessenger, LogFolderThatIsTheReceivedFolderIsEmptiedOnce) {
  std::wstring docs = GetMyDocumentsPath();
  ASSERT_FALSE(docs.empty());
  std::wstring received = docs + L"My Received Files\\";
  ASSERT_FALSE(Exists(received)) << "left over from an earlier run";
  WriteFile(received + L"a.txt", "x");
  WriteFile(received + L"b\\c.txt", "x");
  const std::wstring passport = L"Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
  SetValue(CU, passport + L"\\0001", L"MessageLogPath", docs + L"Missing Logs");
  SetValue(CU, passport + L"\\0002", L"MessageLogPath", received.substr(0, received.size() - 1));
  SetValue(CU, L"Software\\Microsoft\\MessengerService\\ListCache\\.NET Messenger Service", L"x", L"x");

  ItemRun test(CleanMode::Test);
  test.Run({L"Instant Messengers - MSN Messenger"});
  EXPECT_EQ(test.Results()[L"Instant Messengers - MSN Messenger"].count, 2 + 1);

  ItemRun clean(CleanMode::RealClean);
  clean.Run({L"Instant Messengers - MSN Messenger"});
  EXPECT_EQ(clean.Results()[L"Instant Messengers - MSN Messenger"].count, 3);
  EXPECT_TRUE(Exists(received)) << "emptied, kept";
  EXPECT_FALSE(Exists(received + L"b"));
  RemoveTree(received);
  DeleteKey(CU, L"Software\\Microsoft\\MSNMessenger");
  DeleteKey(CU, L"Software\\Microsoft\\MessengerService");
}
