// The items of the groups Windows, Advanced, Microsoft Office and Instant
// Messengers, one row each: what every item removes, in order, beside what
// must stay. Then the items with logic of their own: the data-file item's
// entry forms and its administrator message, the recycle bin, the clipboard
// and MSN Messenger.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "ItemsFakes.h"
#include "cleaner/Masks.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/items/DataFiles.h"
#include "cleaner/items/ItemSteps.h"
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

// ---- What each item removes -------------------------------------------------
// Every row seeds the keys, values and files its item names, plus siblings
// that must stay: a key beside every key, a value beside every value, the
// neighbouring Office versions, files the masks must not match and files in
// folders the item must not reach. A test must log exactly the row's entries
// in its order and touch nothing; the clean then removes exactly those.
namespace {

enum class Kind { Key, Value, File, Folder };

struct Entry {
  Kind kind;
  StepBase base;       // for files and folders
  std::wstring path;   // key below HKEY_CURRENT_USER, or path below `base`
  std::wstring name;   // value name
  int values = 1;      // a key's values, each counted
};

Entry Key(const std::wstring& key, int values = 1) { return {Kind::Key, StepBase::Registry, key, L"", values}; }
Entry Value(const std::wstring& key, const std::wstring& name) { return {Kind::Value, StepBase::Registry, key, name}; }
Entry File(StepBase base, const std::wstring& path) { return {Kind::File, base, path, L""}; }
Entry Folder(StepBase base, const std::wstring& path) { return {Kind::Folder, base, path, L""}; }

struct ItemRow {
  const wchar_t* caption;
  std::vector<Entry> gone;    // in the order the item removes them
  std::vector<Entry> kept;
  std::vector<Entry> trees;   // folders the row makes; none may exist before
  // Logged again by a test only, after `gone`: a test leaves in place what a
  // later step of the item finds again.
  std::vector<Entry> testAgain = {};
};

const std::wstring kExplorerKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const std::wstring kOfficeKey = L"Software\\Microsoft\\Office\\";
const std::wstring kOfficeRecent = L"Microsoft\\Office\\Recent\\";
const std::wstring kYahoo = L"Yahoo!\\Messenger\\";
const std::wstring kFrontPage = L"Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\";
const std::wstring kUserAssist = kExplorerKey + L"UserAssist\\";
const wchar_t kSibling[] = L"Vantorel Sibling";

// The folders looked up apart from the program's own lookups.
std::wstring BaseFolder(StepBase base) {
  wchar_t buf[MAX_PATH + 1] = {};
  auto shell = [&buf](int csidl) {
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, buf)) ? std::wstring(buf) : std::wstring();
  };
  std::wstring folder;
  switch (base) {
    case StepBase::Registry: return L"";
    case StepBase::AppData: folder = shell(CSIDL_APPDATA); break;
    case StepBase::LocalAppData: folder = shell(CSIDL_LOCAL_APPDATA); break;
    case StepBase::ProgramFiles: folder = shell(CSIDL_PROGRAM_FILES); break;
    case StepBase::Profile: folder = shell(CSIDL_PROFILE); break;
    case StepBase::Recent: folder = shell(CSIDL_RECENT); break;
    case StepBase::Temp: folder = std::wstring(buf, ::GetTempPathW(MAX_PATH, buf)); break;
    case StepBase::Windows: folder = std::wstring(buf, ::GetWindowsDirectoryW(buf, MAX_PATH)); break;
    case StepBase::System: folder = std::wstring(buf, ::GetSystemDirectoryW(buf, MAX_PATH)); break;
  }
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring PathOf(const Entry& e) { return BaseFolder(e.base) + e.path; }

// The text after "deleting " in the log line of the entry's removal.
std::wstring LogText(const Entry& e) {
  if (e.kind == Kind::Key) return L"registry key HKEY_CURRENT_USER\\" + e.path;
  if (e.kind == Kind::Value) return L"registry value HKEY_CURRENT_USER\\" + e.path + L"\\" + e.name;
  return PathOf(e);
}

bool Present(const Entry& e) {
  switch (e.kind) {
    case Kind::Key: return KeyExists(HKEY_CURRENT_USER, e.path);
    case Kind::Value: return ValueExists(HKEY_CURRENT_USER, e.path, e.name);
    default: return Exists(PathOf(e));
  }
}

std::wstring Parent(const std::wstring& key) { return key.substr(0, key.find_last_of(L'\\')); }

// A key beside every key and a value beside every value.
std::vector<Entry> Siblings(const std::vector<Entry>& gone) {
  std::vector<Entry> out;
  for (const Entry& e : gone) {
    if (e.kind == Kind::Key) out.push_back(Key(Parent(e.path) + L"\\" + kSibling));
    if (e.kind == Kind::Value) out.push_back(Value(e.path, kSibling));
  }
  return out;
}

void Seed(const Entry& e) {
  switch (e.kind) {
    case Kind::Key:
      DeleteKey(HKEY_CURRENT_USER, e.path);
      for (int i = 0; i < e.values; ++i) SetValue(HKEY_CURRENT_USER, e.path, L"v" + std::to_wstring(i), L"x");
      break;
    case Kind::Value: SetValue(HKEY_CURRENT_USER, e.path, e.name, L"x"); break;
    case Kind::File: WriteFile(PathOf(e), "x"); break;
    case Kind::Folder: MakeFolders(PathOf(e)); break;
  }
}

void Unseed(const Entry& e) {
  if (e.kind == Kind::Key) DeleteKey(HKEY_CURRENT_USER, e.path);
  if (e.kind == Kind::Value) testing_support::DeleteValue(HKEY_CURRENT_USER, e.path, e.name);
  if (e.kind == Kind::File) ::DeleteFileW(PathOf(e).c_str());
}

// The keys `lists` below "...\Office\<v>.0" + `app`, version by version.
std::vector<Entry> OfficeKeys(int from, int to, const std::wstring& app, const std::vector<std::wstring>& lists) {
  std::vector<Entry> out;
  for (int v = from; v <= to; ++v) {
    for (const std::wstring& list : lists) out.push_back(Key(kOfficeKey + std::to_wstring(v) + L".0" + app + list));
  }
  return out;
}

std::vector<Entry> Join(std::vector<std::vector<Entry>> parts) {
  std::vector<Entry> out;
  for (auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Entry Recent(const std::wstring& name) { return File(StepBase::AppData, kOfficeRecent + name); }

std::vector<Entry> WordKeys(int from, int to) {
  std::vector<Entry> out;
  for (int v = from; v <= to; ++v) {
    std::wstring data = kOfficeKey + std::to_wstring(v) + L".0\\Word\\Data";
    out.insert(out.end(), {Value(data, L"Settings"), Key(data + L"\\File MRU"), Key(data + L"\\Recent Templates"),
                           Key(data + L"\\Place MRU")});
  }
  return out;
}

std::vector<Entry> VisioValues() {
  std::vector<Entry> out;
  for (int i = 1; i <= 9; ++i) out.push_back(Value(kOfficeKey + L"11.0\\Visio\\Application", L"LastFile" + std::to_wstring(i)));
  return out;
}

using B = StepBase;

const std::vector<ItemRow>& WindowsRows() {
  static const std::vector<ItemRow> rows = {
      {L"Windows - Recent Documents",
       {Key(kExplorerKey + L"RecentDocs", 3), File(B::Recent, L"vantorel-items.lnk")},
       {File(B::Recent, L"vantorel-items-keep\\inner.lnk")},
       {Folder(B::Recent, L"vantorel-items-keep")}},
      {L"Windows - Start Run", {Key(kExplorerKey + L"RunMRU", 5)}, {}, {}},
      {L"Windows - Search Assistant", {Key(L"Software\\Microsoft\\Search Assistant\\ACMru")}, {}, {}},
      {L"Windows - Temporary Files", {File(B::Temp, L"a.tmp")}, {Folder(B::Temp, L"")}, {}},
      {L"Windows - Memory Dumps",
       {File(B::Windows, L"memory.dmp"), File(B::Windows, L"MiniDump\\a.dmp")},
       {File(B::Windows, L"vantorel-items.dmp"), File(B::Windows, L"MiniDump\\keep.txt"),
        File(B::Windows, L"MiniDump\\inner\\b.dmp")},
       {Folder(B::Windows, L"MiniDump")}},
      {L"Windows - Chkdsk File Fragments",
       {File(B::System, L"FILE0000.CHK")},
       {File(B::System, L"vantorel-items.chk"), File(B::System, L"File0000.txt")},
       {}},
      {L"Advanced - Open File History", {Key(kExplorerKey + L"ComDlg32\\OpenSaveMRU")}, {}, {}},
      {L"Advanced - Menu Order Cache", {Key(kExplorerKey + L"MenuOrder")}, {}, {}},
      {L"Advanced - Tray Notifications Cache",
       {Value(kExplorerKey + L"TrayNotify", L"IconStreams"), Value(kExplorerKey + L"TrayNotify", L"PastIconsStream")},
       {}, {}},
      {L"Advanced - Paint",
       {Key(L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List")}, {}, {}},
      {L"Advanced - User Assist History",
       {Key(kUserAssist + L"{5E6AB780-7743-11CF-A12B-00AA004AE837}\\Count"),
        Key(kUserAssist + L"{75048700-EF1F-11D0-9888-006097DEACF9}\\Count")},
       {}, {}},
  };
  return rows;
}

const std::vector<ItemRow>& OfficeRows() {
  const std::wstring visio = L"\\Visio";
  static const std::vector<ItemRow> rows = {
      {L"Microsoft Office - Access",
       Join({{Recent(L"a.mdb")}, OfficeKeys(8, 11, L"\\Access\\Settings", {L""}),
             OfficeKeys(12, 15, L"\\Access\\", {L"File MRU", L"Recent Templates"})}),
       Join({{Recent(L"a.xls"), Recent(L"inner\\b.mdb")}, OfficeKeys(7, 7, L"\\Access\\Settings", {L""}),
             OfficeKeys(12, 12, L"\\Access\\Settings", {L""}), OfficeKeys(11, 11, L"\\Access\\", {L"File MRU"}),
             OfficeKeys(16, 16, L"\\Access\\", {L"Recent Templates"})}),
       {Folder(B::AppData, kOfficeRecent + L"inner")}},
      {L"Microsoft Office - Excel",
       Join({{Recent(L"a.xls")},
             OfficeKeys(8, 15, L"\\Excel\\", {L"Recent Files", L"File MRU", L"Recent Templates", L"Place MRU"})}),
       Join({{Recent(L"a.xlsx"), Recent(L"a.doc")}, OfficeKeys(7, 7, L"\\Excel\\", {L"File MRU"}),
             OfficeKeys(16, 16, L"\\Excel\\", {L"Place MRU"})}),
       {}},
      {L"Microsoft Office - FrontPage",
       {Recent(L"a.htm"), Recent(L"b.html"), Key(kFrontPage + L"Recent File List"),
        Key(kFrontPage + L"Recent Page List"), Key(kFrontPage + L"Recent Web List")},
       {Recent(L"c.txt"), Recent(L"d.htmx")},
       {}},
      {L"Microsoft Office - Powerpoint",
       Join({{Recent(L"a.ppt")}, OfficeKeys(8, 15, L"\\PowerPoint\\",
                                            {L"Recent File List", L"Recent Folder List", L"File MRU",
                                             L"Recent Templates", L"Place MRU", L"RecentFolderList"})}),
       Join({{Recent(L"a.pptx")}, OfficeKeys(7, 7, L"\\PowerPoint\\", {L"File MRU"}),
             OfficeKeys(16, 16, L"\\PowerPoint\\", {L"RecentFolderList"})}),
       {}},
      {L"Microsoft Office - Word",
       Join({{Recent(L"a.doc")}, WordKeys(8, 15)}),
       Join({{Recent(L"a.docx")}, WordKeys(7, 7), WordKeys(16, 16)}),
       {}},
      {L"Microsoft Office - Visio",
       Join({{Recent(L"a.vsd")}, VisioValues(), OfficeKeys(11, 15, visio, {L"\\File MRU", L"\\Recent Templates"})}),
       Join({{Recent(L"a.vsdx"), Value(kOfficeKey + L"11.0\\Visio\\Application", L"LastFile10"),
              Value(kOfficeKey + L"12.0\\Visio\\Application", L"LastFile1")},
             OfficeKeys(10, 10, visio, {L"\\File MRU"}), OfficeKeys(16, 16, visio, {L"\\Recent Templates"})}),
       {}},
      {L"Microsoft Office - Publisher",
       OfficeKeys(11, 15, L"\\Publisher\\", {L"Recent File List", L"File MRU", L"Recent Templates"}),
       Join({{Recent(L"a.pub")}, OfficeKeys(10, 10, L"\\Publisher\\", {L"File MRU"}),
             OfficeKeys(16, 16, L"\\Publisher\\", {L"Recent Templates"})}),
       {}},
      {L"Microsoft Office - InfoPath",
       OfficeKeys(12, 15, L"\\InfoPath\\", {L"File MRU", L"Designer File MRU", L"Filler File MRU", L"Recent Templates"}),
       Join({{Recent(L"a.xsn")}, OfficeKeys(11, 11, L"\\InfoPath\\", {L"File MRU"}),
             OfficeKeys(16, 16, L"\\InfoPath\\", {L"Recent Templates"})}),
       {}},
      {L"Microsoft Office - Recent Files",
       {Recent(L"vantorel-no-extension")},
       {Recent(L"inner\\b.txt")},
       {Folder(B::AppData, kOfficeRecent + L"inner")}},
  };
  return rows;
}

const std::vector<ItemRow>& MessengerRows() {
  static const std::vector<ItemRow> rows = {
      {L"Instant Messengers - MSN Messenger",
       {Key(L"Software\\Microsoft\\MessengerService\\ListCache\\.NET Messenger Service"),
        File(B::AppData, L"Microsoft\\MSN Messenger\\a.sqm"), File(B::LocalAppData, L"Microsoft\\Messenger\\a.uccapilog"),
        File(B::LocalAppData, L"Microsoft\\Messenger\\a.bak"),
        File(B::Profile, L"Tracing\\WindowsLiveMessenger1.uccapilog"),
        File(B::Profile, L"Tracing\\WindowsLiveMessenger1.uccapilog.bak")},
       {File(B::AppData, L"Microsoft\\MSN Messenger\\a.txt"), File(B::LocalAppData, L"Microsoft\\Messenger\\a.txt"),
        File(B::Profile, L"Tracing\\Other.uccapilog"), File(B::Profile, L"Tracing\\WindowsLiveMessenger1.log"),
        File(B::Profile, L"Tracing\\WindowsLiveMessenger1.bak")},
       {Folder(B::AppData, L"Microsoft\\MSN Messenger"), Folder(B::LocalAppData, L"Microsoft\\Messenger"),
        Folder(B::Profile, L"Tracing")}},
      // IMVCache and Profiles are emptied to their depth, the folders kept.
      // The whole Cache folder goes before its own "ypager.log" is looked for;
      // a test, which leaves it, finds it twice.
      {L"Instant Messengers - Yahoo! Messenger",
       {File(B::ProgramFiles, kYahoo + L"ypager.log"), File(B::ProgramFiles, kYahoo + L"IMVCache\\a.dat"),
        File(B::ProgramFiles, kYahoo + L"IMVCache\\inner\\b.dat"), File(B::ProgramFiles, kYahoo + L"Profiles\\a.dat"),
        File(B::ProgramFiles, kYahoo + L"Profiles\\inner\\b.dat"), File(B::ProgramFiles, kYahoo + L"Cache\\ypager.log"),
        File(B::ProgramFiles, kYahoo + L"Logs\\a.txt"), File(B::ProgramFiles, kYahoo + L"Games\\a.gif")},
       {File(B::ProgramFiles, kYahoo + L"other.log"), File(B::ProgramFiles, kYahoo + L"Cache\\inner\\a.dat"),
        File(B::ProgramFiles, kYahoo + L"Logs\\inner\\a.txt"), File(B::ProgramFiles, kYahoo + L"Games\\a.png"),
        File(B::ProgramFiles, kYahoo + L"Games\\inner\\b.gif"), File(B::ProgramFiles, kYahoo + L"Other\\a.txt"),
        Folder(B::ProgramFiles, kYahoo + L"IMVCache"), Folder(B::ProgramFiles, kYahoo + L"Profiles")},
       {Folder(B::ProgramFiles, L"Yahoo!")},
       {File(B::ProgramFiles, kYahoo + L"Cache\\ypager.log")}},
      {L"Instant Messengers - Skype",
       {File(B::AppData, L"Skype\\account\\main.dbb")},
       {File(B::AppData, L"Skype\\account\\main.db"), File(B::AppData, L"Skype\\account\\main.dbbx"),
        File(B::AppData, L"Vantorel Other\\main.dbb")},
       {Folder(B::AppData, L"Skype"), Folder(B::AppData, L"Vantorel Other")}},
  };
  return rows;
}

// The text after "deleting " of each deletion line of the run.
std::vector<std::wstring> Deletions(ItemRun& run) {
  std::vector<std::wstring> out;
  for (const auto& line : run.log->Lines()) {
    size_t at = line.find(L"deleting ");
    if (at != std::wstring::npos) out.push_back(UpperName(line.substr(at + 9)));
  }
  return out;
}

void CheckRow(const ItemRow& row) {
  SCOPED_TRACE(testing::PrintToString(std::wstring(row.caption)));
  for (const Entry& tree : row.trees) ASSERT_FALSE(Exists(PathOf(tree))) << "left over from an earlier run";
  std::vector<Entry> kept = Join({row.kept, Siblings(row.gone)});
  for (const Entry& e : Join({row.gone, kept})) Seed(e);
  std::vector<std::wstring> expected;
  for (const Entry& e : row.gone) expected.push_back(UpperName(LogText(e)));

  for (CleanMode mode : {CleanMode::Test, CleanMode::RealClean}) {
    ItemRun run(mode);
    run.Run({row.caption});
    bool live = mode != CleanMode::Test;
    std::vector<std::wstring> logged = expected;
    for (const Entry& e : live ? std::vector<Entry>{} : row.testAgain) logged.push_back(UpperName(LogText(e)));
    EXPECT_EQ(Deletions(run), logged) << (live ? "clean" : "test");
    int count = static_cast<int>(logged.size());
    for (const Entry& e : row.gone) count += e.values - 1;
    EXPECT_EQ(run.Results()[row.caption].count, count) << (live ? "clean" : "test");
    for (const Entry& e : row.gone) EXPECT_EQ(Present(e), !live) << testing::PrintToString(LogText(e));
    for (const Entry& e : kept) EXPECT_TRUE(Present(e)) << testing::PrintToString(LogText(e));
  }
  for (const Entry& e : Join({row.gone, kept})) Unseed(e);
  for (const Entry& tree : row.trees) RemoveTree(PathOf(tree));
}

class ItemTable : public testing::TestWithParam<const std::vector<ItemRow>*> {
 protected:
  // The temporary folder of this process only: the prefix's own stays untouched.
  void SetUp() override {
    oldTmp_ = Env(L"TMP");
    oldTemp_ = Env(L"TEMP");
    ::SetEnvironmentVariableW(L"TMP", box_.Dir().c_str());
    ::SetEnvironmentVariableW(L"TEMP", box_.Dir().c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"TMP", oldTmp_.c_str());
    ::SetEnvironmentVariableW(L"TEMP", oldTemp_.c_str());
  }
  static std::wstring Env(const wchar_t* name) {
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
  }
  Sandbox box_{L"item-table"};
  std::wstring oldTmp_, oldTemp_;
};

}  // namespace

TEST_P(ItemTable, EachItemRemovesExactlyItsEntriesInOrder) {
  for (const ItemRow& row : *GetParam()) CheckRow(row);
}

std::string GroupName(const testing::TestParamInfo<const std::vector<ItemRow>*>& info) {
  return info.param == &WindowsRows() ? "WindowsAndAdvanced" : info.param == &OfficeRows() ? "Office" : "Messengers";
}

INSTANTIATE_TEST_SUITE_P(Groups, ItemTable, testing::Values(&WindowsRows(), &OfficeRows(), &MessengerRows()),
                         GroupName);
