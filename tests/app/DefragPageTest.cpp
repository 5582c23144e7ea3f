// The Defrag page over a seeded hive list: the analysis with its dialog and
// thread, the size table, the swaps through a recording platform, Stop, and
// the copies left at the window's close.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "AppTestSupport.h"
#include "app/Main.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "registry_defrag/DefragTestSupport.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace {

using app_test::Pump;
using defrag_test::RecordingPlatform;
using registry::HiveCopyFile;
using registry::THive;

bool Exists(const std::wstring& p) { return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

class DefragPage : public ::testing::Test, public ui::IMessageBoxAnswerer {
 protected:
  // Seeds the hives before the window reads the list.
  void Open(const std::vector<std::pair<std::wstring, bool>>& hives, DWORD size = 64 * 1024) {
    for (const auto& h : hives) seeded.push_back(seed.Add(h.first, size, h.second));
    ASSERT_TRUE(app_test::OpenMainWindow(form, &form.bRegistryDefrag));
    form.DefragPage().SetPlatform(platform);
    previous = ui::SetMessageBoxAnswerer(this);
  }
  int Answer(HWND, const std::wstring& text, UINT flags) override {
    boxes.push_back(text);
    icons.push_back(flags & MB_ICONMASK);
    return IDNO;
  }
  void TearDown() override {
    ui::SetMessageBoxAnswerer(previous);
    app_test::CloseMainWindow(form);
  }
  std::vector<std::wstring> Column(int column) {
    std::vector<std::wstring> cells;
    for (int i = 0; i < form.lvMain.Count(); ++i) cells.push_back(form.lvMain.CellText(i, column));
    return cells;
  }

  defrag_test::SeededHives seed{L"VantorelDefragPage"};
  std::vector<THive> seeded;
  std::shared_ptr<RecordingPlatform> platform = std::make_shared<RecordingPlatform>();
  app::TfrmMain form;
  std::vector<std::wstring> boxes;
  std::vector<UINT> icons;
  ui::IMessageBoxAnswerer* previous = nullptr;
};

// D's copy is a link of the user's to a file below system32: D is refused,
// shown as not compacted with why, and never swapped.
TEST_F(DefragPage, AnalysisShowsTheTableAndOnlySavedHivesAreSwapped) {
  defrag_test::SystemProbe system;
  Open({{L"A", true}, {L"B", false}, {L"C", true}, {L"D", true}});
  ASSERT_TRUE(defrag_test::UnixLink(system.UnixFile(), HiveCopyFile(seeded[3].File)));
  const auto systemBefore = system.Contents();
  ASSERT_EQ(form.lvMain.Count(), 4);
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{seeded[0].Name, seeded[1].Name, seeded[2].Name, seeded[3].Name}));
  EXPECT_FALSE(form.bDefragRegistry.Enabled());

  form.DefragPage().bAnalyzeRegistryClick();
  EXPECT_TRUE(Exists(HiveCopyFile(seeded[0].File)));
  EXPECT_FALSE(Exists(HiveCopyFile(seeded[1].File)));
  EXPECT_TRUE(Exists(HiveCopyFile(seeded[2].File)));
  EXPECT_EQ(system.Contents(), systemBefore);
  EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"64 KB", L"64 KB", L"64 KB", L"64 KB"}));
  std::vector<std::wstring> next = Column(2), reduction = Column(3);
  EXPECT_EQ(next[1], L"Failed");
  EXPECT_EQ(reduction[1], L"");
  EXPECT_EQ(next[3], L"not compacted (its file D.fdc is a link, a folder or a file with another name)");
  EXPECT_EQ(reduction[3], L"");
  EXPECT_NE(reduction[0].find(L'%'), std::wstring::npos);
  EXPECT_EQ(form.lCurrentRegistrySize.Text(), L"128 KB");  // the failed hive counts in no total
  EXPECT_NE(form.lCompactPercent.Text().find(L'%'), std::wstring::npos);
  EXPECT_TRUE(form.bDefragRegistry.Enabled());
  EXPECT_TRUE(boxes.empty());

  platform->failing.insert(HiveCopyFile(seeded[2].File));
  form.DefragPage().bDefragRegistryClick();
  ASSERT_EQ(platform->calls.size(), 2u);  // never the hive whose copy failed
  EXPECT_EQ(platform->calls[0].newFile, HiveCopyFile(seeded[0].File));
  EXPECT_EQ(platform->calls[0].oldFile, seeded[0].File + L".bak");
  EXPECT_EQ(platform->calls[1].newFile, HiveCopyFile(seeded[2].File));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], L"Failed to defrag the registry" + seeded[2].Name);
  EXPECT_EQ(boxes[1].rfind(L"You must restart your computer", 0), 0u);
  EXPECT_EQ(platform->restarts, 0);  // answered No
  EXPECT_FALSE(form.bDefragRegistry.Enabled());

  ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(Exists(HiveCopyFile(seeded[0].File))) << "Windows loads this copy at the next start";
  EXPECT_FALSE(Exists(HiveCopyFile(seeded[2].File))) << "a copy whose swap failed is left over";
  EXPECT_EQ(system.Contents(), systemBefore);
  defrag_test::RemoveLinks(seed.Folder());
}

TEST_F(DefragPage, StopLeavesTheAnalysisUnfinished) {
  Open({{L"A", true}, {L"B", true}});
  form.DefragPage().SetDialogSetup([](app::TfrmGetNewHiveProgess& dialog) {
    dialog.OnStarted = [](app::TfrmGetNewHiveProgess& d) { d.bStopClick(); };
  });
  form.DefragPage().bAnalyzeRegistryClick();
  EXPECT_FALSE(form.bDefragRegistry.Enabled());
  EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"", L""}));
  EXPECT_EQ(form.lCurrentRegistrySize.Text(), L"");
  form.DefragPage().bDefragRegistryClick();  // as if clicked anyway: nothing was analysed
  EXPECT_TRUE(platform->calls.empty());
}

TEST_F(DefragPage, ASoftwareCopyBelowAQuarterOfItsHiveFailsTheAnalysis) {
  Open({{L"SOFTWARE", true}}, 1024 * 1024);
  form.DefragPage().bAnalyzeRegistryClick();
  ASSERT_EQ(boxes, (std::vector<std::wstring>{L"Failed to analyze the registry!"}));
  EXPECT_EQ(icons, std::vector<UINT>{0}) << "the messages of the analysis show no icon";
  EXPECT_FALSE(form.bDefragRegistry.Enabled());
  EXPECT_EQ(Column(2), (std::vector<std::wstring>{L""}));
}

// A listed hive whose file no drive letter reaches has its row, which says
// why. Only one whose file cannot be found keeps the other hives from being
// swapped, by the button or by "/Regdefrag".
struct LeftOutRow {
  const char* test;
  const wchar_t* listed;  // a device path, or a file name in the seed folder (on a drive with a letter)
  bool onDevice;          // what the system says of the device path
  const wchar_t* row;
  const wchar_t* iniKey;  // in "/Regscan"'s result file
  const wchar_t* fileIs;   // ...after "<hive>: its file <path> " there, and in the log
  const wchar_t* logLead;  // ...before that in the log
  bool swaps;
};
const LeftOutRow kLeftOutRows[] = {
    // A letter reaches its volume: not there through it is gone, whatever the device says.
    {"MissingFile", L"Gone", true, L"cannot be found", L"Left Out 1", L"cannot be found", L"Left out the hive ", false},
    {"BootVolumeWithNoLetter", L"\\Device\\HarddiskVolume77\\Boot\\BCD", true,
     L"not compacted (on a volume with no drive letter)", L"Not Compacted 1", L"is on a volume with no drive letter",
     L"Not compacted: the hive ", true},
    {"NoSuchVolume", L"\\Device\\HarddiskVolume78\\EFI\\Microsoft\\Boot\\BCD", false, L"cannot be found",
     L"Left Out 1", L"cannot be found", L"Left out the hive ", false},
};

void PrintTo(const LeftOutRow& r, std::ostream* os) { *os << r.test; }

class LeftOutHive : public DefragPage, public ::testing::WithParamInterface<LeftOutRow> {
 protected:
  // Lists the hive (and, after it, the hive A), as the system would show it.
  void OpenWithTheLeftOutHive() {
    const LeftOutRow& r = GetParam();
    path = r.listed[0] == L'\\' ? r.listed : defrag_test::DevicePathOf(seed.Folder() + L"\\" + r.listed);
    seed.ListValue(name, path);
    devices = std::make_unique<defrag_test::FakeDeviceFiles>(
        r.onDevice ? std::set<std::wstring>{path} : std::set<std::wstring>{});
    Open({{L"A", true}});
    ASSERT_EQ(form.lvMain.Count(), 2);
    ASSERT_EQ(Column(0), (std::vector<std::wstring>{seeded[0].Name, name}));
  }
  const std::wstring name = L"\\REGISTRY\\MACHINE\\VantorelPageLeftOut";
  std::wstring path;
  std::unique_ptr<defrag_test::FakeDeviceFiles> devices;
};

TEST_P(LeftOutHive, HasItsRowAndHoldsBackTheSwapsOnlyWhenNotFound) {
  const LeftOutRow& r = GetParam();
  OpenWithTheLeftOutHive();
  form.DefragPage().bAnalyzeRegistryClick();
  EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"64 KB", r.row}));
  EXPECT_TRUE(Exists(HiveCopyFile(seeded[0].File)));
  EXPECT_EQ(form.bDefragRegistry.Enabled(), r.swaps);
  form.DefragPage().bDefragRegistryClick();  // as if clicked, enabled or not
  ASSERT_EQ(platform->calls.size(), r.swaps ? 1u : 0u);
  if (r.swaps) {
    EXPECT_EQ(platform->calls[0].newFile, HiveCopyFile(seeded[0].File));
  }
  ASSERT_EQ(boxes.size(), r.swaps ? 1u : 0u) << "a restart is offered only after a swap";
  if (r.swaps) {
    EXPECT_EQ(boxes[0].rfind(L"You must restart your computer", 0), 0u);
  }
}

TEST_P(LeftOutHive, CommandLineRunsNameItAndScheduleTheOthersOnlyWhenItIsThere) {
  const LeftOutRow& r = GetParam();
  OpenWithTheLeftOutHive();
  app::TDefragPage& page = form.DefragPage();
  page.FCommandLineRun = true;
  const std::wstring ini = seed.Folder() + L"\\result.ini";
  page.WMAutoDefragScan(ini);
  wchar_t text[512] = {};
  ::GetPrivateProfileStringW(L"Scan Result", r.iniKey, L"<none>", text, 512, ini.c_str());
  const std::wstring said = name + L": its file " + path + L" " + r.fileIs;
  EXPECT_EQ(text, said);
  EXPECT_EQ(page.RunExitCode(), r.swaps ? 0 : 1);

  page.WMAutoDefrag();
  EXPECT_EQ(page.RunExitCode(), r.swaps ? 0 : 1);
  ASSERT_EQ(platform->calls.size(), r.swaps ? 1u : 0u);
  if (r.swaps) {
    EXPECT_EQ(platform->calls[0].newFile, HiveCopyFile(seeded[0].File));
  }
  const std::vector<std::wstring>& log = page.RunLog();
  EXPECT_NE(std::find(log.begin(), log.end(), r.logLead + said), log.end()) << r.test;
  EXPECT_TRUE(boxes.empty()) << "a command-line run asks nothing";
}

INSTANTIATE_TEST_SUITE_P(Rows, LeftOutHive, ::testing::ValuesIn(kLeftOutRows),
                         [](const ::testing::TestParamInfo<LeftOutRow>& info) { return std::string(info.param.test); });

TEST_F(DefragPage, AnalyzeWithoutAHiveListSaysSo) {
  Open({});
  ASSERT_TRUE(form.DefragPage().Hives().empty());
  form.DefragPage().bAnalyzeRegistryClick();
  EXPECT_EQ(boxes, (std::vector<std::wstring>{L"No registry hive list was found, so there is nothing to analyze."}));
  EXPECT_EQ(icons, std::vector<UINT>{MB_ICONINFORMATION});
  EXPECT_FALSE(form.bDefragRegistry.Enabled());
}

}  // namespace
