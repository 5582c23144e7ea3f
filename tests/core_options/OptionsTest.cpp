// The options record against real ini files inside the test prefix, with a
// stand-in for the main window's trees and placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/guard/SettingsFile.h"
#include "support/Folders.h"
#include "support/HeapCount.h"
#include "support/PeakMemory.h"
#include "support/TestSupport.h"
#include "sys/IniFile.h"
#include "sys/Text.h"

using core::OptionsSetting;

namespace {

// The clean tree as captions in tree order, the registry tree as its ticks.
class FakeHost : public core::IOptionsHost {
 public:
  std::vector<std::wstring> nodes{L"Internet Explorer", L"Internet Explorer - Cookies",
                                   L"Internet Explorer - History", L"Windows", L"Windows - Recycle Bin"};
  std::vector<bool> ticked = std::vector<bool>(nodes.size(), true);
  int tickCalls = 0;
  size_t captionsOffered = 0;
  bool registry[26] = {};
  RECT bounds{100, 80, 100 + 713, 80 + 494};
  bool placementReadable = true;
  UINT showCmd = SW_SHOWNORMAL;

  void UntickAllCleanNodes() override { std::fill(ticked.begin(), ticked.end(), false); }
  void TickCleanCaptions(const std::vector<std::wstring>& captions) override {
    ++tickCalls;
    captionsOffered += captions.size();
    for (const std::wstring& caption : captions) {
      auto it = std::find(nodes.begin(), nodes.end(), caption);
      if (it != nodes.end()) ticked[it - nodes.begin()] = true;
    }
  }
  std::vector<std::wstring> TickedCleanCaptions() override {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < nodes.size(); ++i)
      if (ticked[i]) out.push_back(nodes[i]);
    return out;
  }
  void StoreRegistryTicks(bool (&check)[26]) override { std::copy(registry, registry + 26, check); }
  RECT WindowBounds() override { return bounds; }
  bool WindowShowCommand(UINT* cmd) override {
    *cmd = showCmd;
    return placementReadable;
  }
  void ShowRegistryTicksOfRecord() { std::copy(OptionsSetting.TreeViewNodeCheck, OptionsSetting.TreeViewNodeCheck + 26, registry); }
};

bool StartsWith(const std::wstring& s, const std::wstring& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

using testing_support::Exists;
using testing_support::ReadBytes;
using testing_support::RemoveFolder;

void WriteText(const std::wstring& path, const std::string& text) {
  ASSERT_TRUE(testing_support::WriteBytes(path, text));
}

// Non-empty lines, line ends and surrounding blanks dropped.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) out.push_back(line);
    pos = end + 1;
  }
  return out;
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"options_tests_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter_++);
    // Everything below is deleted afterwards: make sure it is the test run's own.
    std::wstring unix = testing_support::ToUnixPath(root_);
    std::wstring build = testing_support::Env(L"VANTOREL_BUILD_DIR");
    ASSERT_FALSE(build.empty());
    ASSERT_TRUE(StartsWith(unix, build + L"/")) << "temp folder outside the build folder";
    RemoveFolder(root_);
    ASSERT_TRUE(::CreateDirectoryW(root_.c_str(), nullptr));
    ::CreateDirectoryW(ProgramFolder().c_str(), nullptr);
    paths_.AppDataFolder = root_ + L"\\appdata\\";
    paths_.ProgramFolder = ProgramFolder();
    paths_.Screen = {1024, 768};
    paths_.IsOnSomeMonitor = [](const RECT& r) { return r.right > 0 && r.bottom > 0 && r.left < 1024 && r.top < 768; };
    FreshRecord();
  }
  void TearDown() override {
    OptionsSetting = {};
    if (!root_.empty()) RemoveFolder(root_);
  }

  // The state the program starts in: zero-filled, with the two lists created.
  void FreshRecord() {
    OptionsSetting = {};
    values_.clear();
    keys_.clear();
    OptionsSetting.IgnoreValueList = &values_;
    OptionsSetting.IgnoreKeyList = &keys_;
  }
  std::wstring ProgramFolder() const { return root_ + L"\\prog\\"; }
  std::wstring UserFile() const { return paths_.AppDataFolder + L"Vantorel\\options.ini"; }
  std::wstring MirrorFile() const { return ProgramFolder() + L"options.ini"; }

  void Load() { core::LoadSaveOptions(true, host_, paths_); }
  void Save() { core::LoadSaveOptions(false, host_, paths_); }
  // A fresh program run on a per-user file holding `text` (a new folder each
  // time, so no cached copy of an earlier file can answer).
  void LoadText(const std::string& text) {
    paths_.AppDataFolder = root_ + L"\\appdata" + std::to_wstring(++loads_) + L"\\";
    host_.tickCalls = 0;
    host_.captionsOffered = 0;
    ::CreateDirectoryW(paths_.AppDataFolder.c_str(), nullptr);
    ::CreateDirectoryW((paths_.AppDataFolder + L"Vantorel").c_str(), nullptr);
    WriteText(UserFile(), text);
    FreshRecord();
    Load();
  }
  std::wstring Value(const std::wstring& file, const wchar_t* section, const std::wstring& key) {
    return core::guard::SettingsIni(file).ReadString(section, key, L"<missing>");
  }

  static int counter_;
  int loads_ = 0;
  std::wstring root_;
  core::OptionsPaths paths_;
  FakeHost host_;
  std::vector<std::wstring> values_, keys_;
};
int OptionsTest::counter_ = 0;

TEST_F(OptionsTest, FirstRunWithNoFileLoadsEveryDefault) {
  paths_.AppDataFolder = root_ + L"\\appdata\\Roaming\\";  // missing parents are created too
  Load();
  const auto& o = OptionsSetting;
  EXPECT_TRUE(o.IsAskBeforeClear);
  EXPECT_FALSE(o.IsWipeFile);
  EXPECT_EQ(o.WipeNumber, 1);
  EXPECT_FALSE(o.EnableHotkey);
  EXPECT_TRUE(o.Hotkey.IsCtrl);
  EXPECT_FALSE(o.Hotkey.IsShift || o.Hotkey.IsAlt);
  EXPECT_EQ(o.Hotkey.CharString, L"F5");
  EXPECT_EQ(o.Hotkey.CharAscII, 116);
  EXPECT_FALSE(o.EnableIE || o.EnableNetscape || o.EnableFirefox || o.EnableOpera);
  EXPECT_FALSE(o.AutoClean || o.StartClean || o.ShutdownClean);
  EXPECT_EQ(o.CleanInterval, 0);
  EXPECT_TRUE(o.FastScan);
  EXPECT_FALSE(o.ShowLogTempInternetFiles || o.ShowLogRecycleBin);
  EXPECT_EQ(o.OutputDirectory, ProgramFolder() + L"Backup");
  EXPECT_TRUE(o.DeleteBackupFile);
  EXPECT_TRUE(o.IncludeRemoveMedia);
  EXPECT_FALSE(o.IncludeCDdrive);
  EXPECT_FALSE(o.RestorePoint);
  for (int i = 1; i <= 10; ++i) EXPECT_TRUE(o.FirstNodeExpand[i]) << i;
  for (int i = 1; i <= 25; ++i) EXPECT_TRUE(o.TreeViewNodeCheck[i]) << i;
  EXPECT_EQ(o.SelectedCount, 0);
  EXPECT_EQ(host_.TickedCleanCaptions().size(), 0u) << "every clean item starts unticked";
  EXPECT_EQ(o.IgnoreValueCount, 0);
  EXPECT_EQ(o.IgnoreKeyCount, 0);
  EXPECT_TRUE(values_.empty() && keys_.empty());
  // Centred on the 1024x768 screen with the window's current size.
  EXPECT_EQ(o.WindowState, core::TWindowState::wsNormal);
  EXPECT_EQ(o.Left, (1024 - 713) / 2);
  EXPECT_EQ(o.Top, (768 - 494) / 2);
  EXPECT_EQ(o.Width, 713);
  EXPECT_EQ(o.Height, 494);
  EXPECT_TRUE(Exists(root_ + L"\\appdata\\Roaming\\Vantorel"));
}

TEST_F(OptionsTest, SaveWritesEveryKeyInOrderAsAnsiText) {
  Load();
  std::fill(host_.registry, host_.registry + 26, true);  // the registry tree shows the loaded ticks
  Save();
  std::string text = ReadBytes(UserFile());
  EXPECT_EQ(text.find('\0'), std::string::npos) << "options.ini must be ANSI";
  std::vector<std::string> expected = {
      "[Options]", "IsAskBeforeClear=1", "IsWipeFile=0", "WipeNumber=1",
      "OutputDirectory=" + Narrow(ProgramFolder()) + "Backup", "DeleteBackupFile=1", "IncludeRemoveMedia=1",
      "IncludeCDdrive=0", "RestorePoint=0",
      "[Hotkey]", "EnableHotkey=0", "IsCtrl=1", "IsShift=0", "IsAlt=0", "CharString=F5", "CharAscII=116",
      "EnableIE=0", "EnableNetscape=0", "EnableFirefox=0", "EnableOpera=0",
      "[SChedule]", "AutoClean=0", "CleanInterval=0", "StartClean=0", "ShutdownClean=0",
      "[NodeSelected]", "SelectedCount=0",
      "[FirstNodeExpand]"};
  for (int i = 1; i <= 10; ++i) expected.push_back(std::to_string(i) + "=1");
  for (const char* line : {"[Settings]", "ShowLogTempInternetFiles=0", "ShowLogRecycleBin=0", "FastScan=1",
                           "[TreeViewNodeCheck]"})
    expected.push_back(line);
  for (int i = 1; i <= 25; ++i) expected.push_back(std::to_string(i) + "=1");
  for (const char* line : {"[IgnoreValue]", "Count=0", "[IgnoreKey]", "Count=0", "[Window]", "State=1",
                           "Left=100", "Top=80", "Width=713", "Height=494"})
    expected.push_back(line);
  EXPECT_EQ(Lines(text), expected);
}

TEST_F(OptionsTest, HandEditedFileLoadsAndSavesBackKeepingForeignSections) {
  LoadText(
      "[Options]\r\nIsAskBeforeClear=0\r\nIsWipeFile=2\r\nWipeNumber=11\r\nOutputDirectory=D:\\Backups\r\n"
      "[Hotkey]\r\nEnableHotkey=1\r\nIsCtrl=0\r\nIsAlt=1\r\nCharString=F9\r\nCharAscII=0x78\r\n"
      "[SChedule]\r\nAutoClean=1\r\nCleanInterval=0x3\r\n"
      "[NodeSelected]\r\n1=Windows - Recycle Bin\r\n2=Internet Explorer\r\n3=Internet Explorer - Cookies\r\n"
      "SelectedCount=2\r\n"
      "[FirstNodeExpand]\r\n2=0\r\n[TreeViewNodeCheck]\r\n7=0\r\n"
      "[IgnoreValue]\r\nCount=2\r\nValue1=HKCU\\Software\\Foo|Bar\r\n"
      "[IgnoreKey]\r\nCount=1\r\nKey1=HKLM\\Software\\Old\r\n"
      "[Foreign]\r\nKept=yes\r\n"
      "[Window]\r\nState=3\r\nLeft=5\r\nTop=6\r\n");
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    const auto& o = OptionsSetting;
    EXPECT_FALSE(o.IsAskBeforeClear);
    EXPECT_TRUE(o.IsWipeFile);
    EXPECT_EQ(o.WipeNumber, 1);
    EXPECT_EQ(o.OutputDirectory, L"D:\\Backups");
    EXPECT_TRUE(o.EnableHotkey);
    EXPECT_FALSE(o.Hotkey.IsCtrl);
    EXPECT_TRUE(o.Hotkey.IsAlt);
    EXPECT_EQ(o.Hotkey.CharString, L"F9");
    EXPECT_EQ(o.Hotkey.CharAscII, 0x78);
    EXPECT_TRUE(o.AutoClean);
    EXPECT_EQ(o.CleanInterval, 3);
    EXPECT_EQ(host_.TickedCleanCaptions(), (std::vector<std::wstring>{L"Internet Explorer", L"Windows - Recycle Bin"}));
    EXPECT_FALSE(o.FirstNodeExpand[2]);
    EXPECT_TRUE(o.FirstNodeExpand[1] && o.FirstNodeExpand[3]);
    EXPECT_FALSE(o.TreeViewNodeCheck[7]);
    EXPECT_TRUE(o.TreeViewNodeCheck[6] && o.TreeViewNodeCheck[8]);
    EXPECT_EQ(values_, (std::vector<std::wstring>{L"HKCU\\Software\\Foo|Bar", L""}));
    EXPECT_EQ(o.IgnoreValueCount, 2);
    EXPECT_EQ(keys_, std::vector<std::wstring>{L"HKLM\\Software\\Old"});
    EXPECT_EQ(o.IgnoreKeyCount, 1);
    // Maximised: the bounds are not read at all.
    EXPECT_EQ(o.WindowState, core::TWindowState::wsMaximized);
    EXPECT_EQ(o.Left, 0);
    EXPECT_EQ(o.Top, 0);
    EXPECT_EQ(o.Width, 0);
    EXPECT_EQ(o.Height, 0);
  };
  check("first load");

  host_.ShowRegistryTicksOfRecord();
  host_.showCmd = SW_SHOWMAXIMIZED;
  Save();
  EXPECT_EQ(Value(UserFile(), L"Foreign", L"Kept"), L"yes");
  EXPECT_EQ(Value(UserFile(), L"Options", L"WipeNumber"), L"1");
  EXPECT_EQ(Value(UserFile(), L"Hotkey", L"CharAscII"), L"120");
  EXPECT_EQ(Value(UserFile(), L"NodeSelected", L"1"), L"Internet Explorer");
  EXPECT_EQ(Value(UserFile(), L"NodeSelected", L"2"), L"Windows - Recycle Bin");
  EXPECT_EQ(Value(UserFile(), L"NodeSelected", L"3"), L"Internet Explorer - Cookies") << "old keys stay";
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Value2"), L"");
  EXPECT_EQ(Value(UserFile(), L"Window", L"State"), L"3");

  FreshRecord();
  Load();
  check("after saving back");
}

TEST_F(OptionsTest, NumbersOutOfRangeOrNotNumbersTakeTheirDefaults) {
  struct Case {
    const char* text;
    int wipe;
  } cases[] = {{"0", 1}, {"11", 1}, {"-2", 1}, {"many", 1}, {"10", 10}, {"0xA", 10}, {"3", 3}};
  for (const Case& c : cases) {
    LoadText(std::string("[Options]\r\nWipeNumber=") + c.text + "\r\nIsWipeFile=yes\r\n");
    EXPECT_EQ(OptionsSetting.WipeNumber, c.wipe) << c.text;
    EXPECT_FALSE(OptionsSetting.IsWipeFile) << "a word is no number";
  }
}

TEST_F(OptionsTest, WindowPlacementOnLoad) {
  // Minimised at the last save: the restored bounds load, the state stays normal.
  LoadText("[Window]\r\nState=2\r\nLeft=10\r\nTop=20\r\nWidth=800\r\nHeight=600\r\n");
  EXPECT_EQ(OptionsSetting.WindowState, core::TWindowState::wsNormal);
  EXPECT_EQ(OptionsSetting.Left, 10);
  EXPECT_EQ(OptionsSetting.Top, 20);
  EXPECT_EQ(OptionsSetting.Width, 800);
  EXPECT_EQ(OptionsSetting.Height, 600);

  // Off every monitor (a monitor since removed, or the old minimised -32000) or
  // with no size: centred with the window's current size.
  for (const char* bounds : {"Left=-32000\r\nTop=-32000\r\nWidth=160\r\nHeight=28\r\n",
                             "Left=3000\r\nTop=100\r\nWidth=800\r\nHeight=600\r\n",
                             "Left=10\r\nTop=10\r\nWidth=0\r\nHeight=600\r\n",
                             "Left=2147483000\r\nTop=10\r\nWidth=2000\r\nHeight=600\r\n"}) {
    LoadText(std::string("[Window]\r\nState=1\r\n") + bounds);
    EXPECT_EQ(OptionsSetting.Left, (1024 - 713) / 2) << bounds;
    EXPECT_EQ(OptionsSetting.Top, (768 - 494) / 2) << bounds;
    EXPECT_EQ(OptionsSetting.Width, 713) << bounds;
    EXPECT_EQ(OptionsSetting.Height, 494) << bounds;
  }
}

TEST_F(OptionsTest, WindowPlacementOnSave) {
  Load();
  host_.placementReadable = false;
  host_.bounds = {-20, 30, 780, 630};
  Save();
  EXPECT_EQ(Value(UserFile(), L"Window", L"State"), L"<missing>") << "no placement, no State";
  EXPECT_EQ(Value(UserFile(), L"Window", L"Left"), L"-20");
  EXPECT_EQ(Value(UserFile(), L"Window", L"Width"), L"800");
  EXPECT_EQ(Value(UserFile(), L"Window", L"Height"), L"600");
}

TEST_F(OptionsTest, SelectedCaptions) {
  // Only keys 1..SelectedCount count; a caption naming no node ticks nothing.
  LoadText("[NodeSelected]\r\n1=Windows\r\n2=No Such Item\r\n3=Internet Explorer - History\r\nSelectedCount=2\r\n");
  EXPECT_EQ(host_.TickedCleanCaptions(), std::vector<std::wstring>{L"Windows"});

  // Unticking everything saves a count of 0; the old keys stay and are ignored.
  host_.UntickAllCleanNodes();
  Save();
  EXPECT_EQ(Value(UserFile(), L"NodeSelected", L"SelectedCount"), L"0");
  EXPECT_EQ(Value(UserFile(), L"NodeSelected", L"1"), L"Windows");
  std::fill(host_.ticked.begin(), host_.ticked.end(), true);
  FreshRecord();
  Load();
  EXPECT_TRUE(host_.TickedCleanCaptions().empty());
}

TEST_F(OptionsTest, AbsurdCountsAreClamped) {
  LoadText("[NodeSelected]\r\nSelectedCount=-5\r\n[IgnoreValue]\r\nCount=-3\r\nValue1=x\r\n"
           "[IgnoreKey]\r\nCount=0x7FFFFFFF\r\nKey1=HKCU\\A\r\n");
  EXPECT_EQ(OptionsSetting.SelectedCount, 0);
  EXPECT_EQ(host_.captionsOffered, 0u);
  EXPECT_TRUE(values_.empty());
  EXPECT_EQ(OptionsSetting.IgnoreValueCount, 0);
  ASSERT_EQ(keys_.size(), static_cast<size_t>(core::kMaxOptionsListCount));
  EXPECT_EQ(OptionsSetting.IgnoreKeyCount, core::kMaxOptionsListCount);
  EXPECT_EQ(keys_[0], L"HKCU\\A");

  LoadText("[NodeSelected]\r\nSelectedCount=99999999\r\n");
  EXPECT_EQ(OptionsSetting.SelectedCount, core::kMaxOptionsListCount);
  EXPECT_EQ(host_.captionsOffered, static_cast<size_t>(core::kMaxOptionsListCount));
  EXPECT_EQ(host_.tickCalls, 1) << "all captions in one pass over the tree";
}

TEST_F(OptionsTest, HugeSelectedCountLoadsQuicklyInOnePass) {
  DWORD start = ::GetTickCount();
  LoadText("[NodeSelected]\r\n1=Windows\r\nSelectedCount=2000000000\r\n");
  DWORD ms = ::GetTickCount() - start;
  std::printf("load with SelectedCount=2000000000: %lu ms\n", static_cast<unsigned long>(ms));
  EXPECT_LT(ms, 2000u);
  EXPECT_EQ(OptionsSetting.SelectedCount, core::kMaxOptionsListCount);
  EXPECT_EQ(host_.tickCalls, 1);
  EXPECT_EQ(host_.TickedCleanCaptions(), std::vector<std::wstring>{L"Windows"});
}

TEST_F(OptionsTest, TenThousandIgnoreEntriesSaveAndLoadQuickly) {
  Load();
  for (int i = 1; i <= 10000; ++i) values_.push_back(L"HKCU\\Software\\Vendor " + std::to_wstring(i) + L"\\Value");
  keys_ = values_;
  DWORD start = ::GetTickCount();
  Save();
  DWORD saveMs = ::GetTickCount() - start;
  std::printf("save of 2 x 10000 ignore entries: %lu ms\n", static_cast<unsigned long>(saveMs));
  EXPECT_LT(saveMs, 5000u);

  const std::vector<std::wstring> saved = values_;
  FreshRecord();
  start = ::GetTickCount();
  Load();
  DWORD loadMs = ::GetTickCount() - start;
  std::printf("load of 2 x 10000 ignore entries: %lu ms\n", static_cast<unsigned long>(loadMs));
  EXPECT_LT(loadMs, 5000u);
  EXPECT_EQ(values_, saved);
  EXPECT_EQ(keys_, saved);
  EXPECT_EQ(OptionsSetting.IgnoreKeyCount, 10000);
}

// However long, an ignore list loads whole and is saved whole: a file of
// 2 x 100,000 entries once came back with 2 x 10,000.
TEST_F(OptionsTest, IgnoreListsKeepEveryEntryTheFileHolds) {
  for (int entries : {10001, 100000}) {
    SCOPED_TRACE(entries);
    std::string text = "[Options]\r\nWipeNumber=3\r\n";
    std::vector<std::wstring> expected;
    for (const char* list : {"IgnoreValue", "IgnoreKey"}) {
      const std::string prefix = list == std::string("IgnoreValue") ? "Value" : "Key";
      text += std::string("[") + list + "]\r\nCount=" + std::to_string(entries) + "\r\n";
      for (int i = 1; i <= entries; ++i)
        text += prefix + std::to_string(i) + "=HKEY_CURRENT_USER\\Software\\Vendor " + std::to_string(i) + "\r\n";
    }
    for (int i = 1; i <= entries; ++i) expected.push_back(L"HKEY_CURRENT_USER\\Software\\Vendor " + std::to_wstring(i));
    LoadText(text);
    EXPECT_EQ(values_, expected);
    EXPECT_EQ(keys_, expected);
    EXPECT_EQ(OptionsSetting.IgnoreKeyCount, entries);
    Save();
    FreshRecord();
    Load();
    EXPECT_EQ(values_, expected) << "after a save";
    EXPECT_EQ(keys_, expected) << "after a save";
    EXPECT_EQ(OptionsSetting.WipeNumber, 3);
  }
}

// A 60 MB options.ini, nearly all ignore list, loads within four times its
// size besides the lists themselves (the window's own data), and saves within
// four times its size however the record changed: counted as the system sees
// it and as the heap was asked for (a block counts whole, written or not).
// Short entries cost the most beside their bytes when held one string each.
TEST_F(OptionsTest, SixtyMegabytesOfIgnoreListsLoadAndSaveWithinFourTimesTheirSize) {
  // The file as the program writes it, every other section there, so that
  // a save changes only what the row changes.
  ::CreateDirectoryW(paths_.AppDataFolder.c_str(), nullptr);
  ::CreateDirectoryW((paths_.AppDataFolder + L"Vantorel").c_str(), nullptr);
  Save();
  const std::string written = ReadBytes(UserFile());
  const size_t lists = written.find("[IgnoreValue]"), after = written.find("[Window]");
  ASSERT_TRUE(lists != std::string::npos && after != std::string::npos && lists < after) << written;
  const std::string longEntry = "HKEY_CURRENT_USER\\Software\\Vendor\\Product\\Settings\\Value";
  const struct {
    const char* what;
    std::string entry;  // every entry of both lists
    std::function<void()> change;
  } changes[] = {
      {"nothing changed", longEntry, [] {}},
      {"an entry added to each list", longEntry, [&] {
         values_.push_back(L"HKCU\\Added");
         keys_.push_back(L"HKCU\\Added");
       }},
      {"the first entry lengthened", longEntry, [&] { values_[0] += L"\\Longer"; }},
      {"a value before the lists lengthened", longEntry, [] { OptionsSetting.WipeNumber = 10; }},
      {"short entries, the first lengthened", "HKCU\\a", [&] { values_[0] += L"\\Longer"; }},
  };
  using testing_support::PeakHeapDuring;
  using testing_support::PeakMemoryDuring;
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    const std::string line = "=" + c.entry + "\r\n";
    const int entries = static_cast<int>((30u << 20) / (line.size() + 12));
    std::string text = written.substr(0, lists);
    text.reserve(64u << 20);
    for (const char* list : {"IgnoreValue", "IgnoreKey"}) {
      const std::string prefix = list == std::string("IgnoreValue") ? "Value" : "Key";
      text += std::string("[") + list + "]\r\nCount=" + std::to_string(entries) + "\r\n";
      for (int i = 1; i <= entries; ++i) text += prefix + std::to_string(i) + line;
    }
    text += written.substr(after);
    const size_t size = text.size();
    WriteText(UserFile(), text);
    std::string().swap(text);
    const SIZE_T listBytes = 2 * static_cast<SIZE_T>(entries) * (sizeof(std::wstring) + 2 * (line.size() + 1));
    FreshRecord();
    values_.reserve(entries + 1);
    keys_.reserve(entries + 1);
    size_t loadHeap = 0, saveHeap = 0;
    DWORD start = ::GetTickCount();
    const SIZE_T loadPeak = PeakMemoryDuring([&] { loadHeap = PeakHeapDuring([&] { Load(); }); });
    const DWORD loadMs = ::GetTickCount() - start;
    ASSERT_EQ(values_.size(), static_cast<size_t>(entries));
    c.change();
    start = ::GetTickCount();
    const SIZE_T savePeak = PeakMemoryDuring([&] { saveHeap = PeakHeapDuring([&] { Save(); }); });
    const DWORD saveMs = ::GetTickCount() - start;
    std::printf("%u MB options.ini, %s: load %lu ms at a peak of %u MB (heap %u MB), save %lu ms at a peak of %u MB "
                "(heap %u MB, %.1f times); lists %u MB\n",
                static_cast<unsigned>(size >> 20), c.what, static_cast<unsigned long>(loadMs),
                static_cast<unsigned>(loadPeak >> 20), static_cast<unsigned>(loadHeap >> 20),
                static_cast<unsigned long>(saveMs), static_cast<unsigned>(savePeak >> 20),
                static_cast<unsigned>(saveHeap >> 20), static_cast<double>(saveHeap) / static_cast<double>(size),
                static_cast<unsigned>(listBytes >> 20));
    EXPECT_LE(loadPeak, 4 * size + listBytes);
    EXPECT_LE(loadHeap, 4 * size + listBytes);
    EXPECT_LE(savePeak, 4 * size);
    EXPECT_LE(saveHeap, 4 * size);
    EXPECT_EQ(Value(UserFile(), L"IgnoreKey", L"Key" + std::to_wstring(entries)), sys::FromUtf8(c.entry));
    EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Value1"), values_[0]);
  }
}

TEST_F(OptionsTest, ListEntriesReadAsASingleKeyReadWouldGiveThem) {
  const std::string file =
      "[IgnoreKey]\r\nCount=6\r\nKey1 = spaced \r\nkey2=lower case key\r\nKey3=\"quoted\"\r\n"
      "Key4=a=b\r\nKey5=first\r\nKey5=second\r\n";
  LoadText(file);
  ASSERT_EQ(keys_.size(), 6u);
  const sys::IniFile ini = core::guard::SettingsIni(UserFile());
  for (int i = 1; i <= 6; ++i)
    EXPECT_EQ(keys_[i - 1], ini.ReadString(L"IgnoreKey", L"Key" + std::to_wstring(i), L"")) << "Key" << i;
  EXPECT_EQ(keys_[3], L"a=b");
}

TEST_F(OptionsTest, SavingAListKeepsOtherKeysOfItsSectionAndDropsStaleEntries) {
  LoadText("[IgnoreValue]\r\nCount=3\r\nValue1=A\r\nValue2=B\r\nValue3=C\r\nNote=kept\r\n[After]\r\nX=1\r\n");
  values_ = {L"Z"};
  Save();
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Count"), L"1");
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Value1"), L"Z");
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Value2"), L"<missing>");
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Note"), L"kept");
  EXPECT_EQ(Value(UserFile(), L"After", L"X"), L"1");
}

TEST_F(OptionsTest, IgnoreListsAreSavedFromTheirRealSizes) {
  Load();
  values_ = {L"HKCU\\V1", L"HKCU\\V2", L"HKCU\\V3"};
  OptionsSetting.IgnoreValueCount = 7;  // stale: must not index past the list
  keys_ = {L"HKLM\\K1"};
  OptionsSetting.IgnoreKeyCount = -1;  // stale: must not drop the entry
  Save();
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Count"), L"3");
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Value3"), L"HKCU\\V3");
  EXPECT_EQ(Value(UserFile(), L"IgnoreValue", L"Value4"), L"<missing>");
  EXPECT_EQ(Value(UserFile(), L"IgnoreKey", L"Count"), L"1");
  EXPECT_EQ(Value(UserFile(), L"IgnoreKey", L"Key1"), L"HKLM\\K1");
  EXPECT_EQ(OptionsSetting.IgnoreValueCount, 3);
  EXPECT_EQ(OptionsSetting.IgnoreKeyCount, 1);
}

TEST_F(OptionsTest, ProgramFolderCopySeedsANewUserAndFollowsEachSave) {
  WriteText(MirrorFile(), "[Options]\r\nWipeNumber=7\r\n[Foreign]\r\nKept=yes\r\n");
  Load();
  EXPECT_EQ(OptionsSetting.WipeNumber, 7);
  ASSERT_TRUE(Exists(UserFile())) << "the copy beside the program seeds the per-user file";

  OptionsSetting.WipeNumber = 4;
  Save();
  EXPECT_EQ(Value(UserFile(), L"Options", L"WipeNumber"), L"4");
  EXPECT_EQ(Value(MirrorFile(), L"Options", L"WipeNumber"), L"4");
  EXPECT_EQ(Value(MirrorFile(), L"Foreign", L"Kept"), L"yes");

  // An existing per-user file is never replaced by the program-folder copy.
  WriteText(MirrorFile(), "[Options]\r\nWipeNumber=9\r\n");
  FreshRecord();
  Load();
  EXPECT_EQ(OptionsSetting.WipeNumber, 4);
}

TEST_F(OptionsTest, NoProgramFolderCopyIsCreatedBySaving) {
  Load();
  Save();
  EXPECT_TRUE(Exists(UserFile()));
  EXPECT_FALSE(Exists(MirrorFile()));
}

TEST_F(OptionsTest, UnusablePerUserFolderFallsBackToTheProgramFolder) {
  WriteText(root_ + L"\\blocker", "a file where a folder should be");
  for (const std::wstring& appData : {root_ + L"\\blocker\\", std::wstring()}) {
    paths_.AppDataFolder = appData;
    EXPECT_EQ(core::OptionsFilePath(paths_), MirrorFile());
    FreshRecord();
    Load();
    OptionsSetting.WipeNumber = 5;
    Save();
    EXPECT_EQ(Value(MirrorFile(), L"Options", L"WipeNumber"), L"5");
  }
}

// The scratch files a save writes beside options.ini.
std::vector<std::wstring> ScratchFilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"\\~vantorel-*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(fd.cFileName);
  while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return names;
}

// A save that cannot replace the file raises "Unable to write to" and why,
// leaves the file as it was (a read-only one read-only, as the profile
// functions leave it) and no scratch file beside it.
TEST_F(OptionsTest, WriteErrorPropagates) {
  paths_.AppDataFolder = root_ + L"\\appdata\\\\";  // a folder that ends in two backslashes
  Load();
  Save();
  const std::string saved = ReadBytes(UserFile());
  const struct {
    const char* what;
    bool readOnly;  // else another program holds the file open, sharing all but its removal
    const char* why;
  } rows[] = {{"held open", false, ""}, {"read-only", true, ": it is read-only"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (r.readOnly) {
      ASSERT_TRUE(::SetFileAttributesW(UserFile().c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      lock = ::CreateFileW(UserFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    }
    OptionsSetting.IsWipeFile = !OptionsSetting.IsWipeFile;
    try {
      Save();
      ADD_FAILURE() << "a key that cannot be written must raise";
    } catch (const sys::IniWriteError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Unable to write to ", 0), 0u) << e.what();
      EXPECT_EQ(std::string(e.what()).find("\\\\"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(r.why), std::string::npos) << e.what();
    }
    if (lock != INVALID_HANDLE_VALUE) ::CloseHandle(lock);
    EXPECT_EQ(ReadBytes(UserFile()), saved);
    EXPECT_EQ(::GetFileAttributesW(UserFile().c_str()) & FILE_ATTRIBUTE_READONLY,
              r.readOnly ? static_cast<DWORD>(FILE_ATTRIBUTE_READONLY) : 0u);
    EXPECT_EQ(ScratchFilesIn(root_ + L"\\appdata\\Vantorel"), std::vector<std::wstring>()) << "left behind";
    ::SetFileAttributesW(UserFile().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(DefaultOptionsPaths, PointAtTheRealFolders) {
  core::OptionsPaths p = core::DefaultOptionsPaths();
  ASSERT_FALSE(p.AppDataFolder.empty());
  EXPECT_EQ(p.AppDataFolder.back(), L'\\');
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  EXPECT_TRUE(StartsWith(exe, p.ProgramFolder));
  EXPECT_EQ(p.ProgramFolder.back(), L'\\');
  EXPECT_GT(p.Screen.cx, 0);
  ASSERT_TRUE(p.IsOnSomeMonitor);
  EXPECT_TRUE(p.IsOnSomeMonitor(RECT{10, 10, 200, 200}));
  EXPECT_FALSE(p.IsOnSomeMonitor(RECT{-32000, -32000, -31840, -31972}));
}

}  // namespace
