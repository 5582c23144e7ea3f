// Cancel is prompt in every section: with the terminate flag set at the first
// key a section shows, the section shows no further key, adds at most the row
// it was judging, and asks the file system about one path at most. Each
// section first runs uncancelled over the same seeds, to show that it would
// have had much more to do.
#include <shlobj.h>

#include <atomic>

#include "FakeFileSystem.h"
#include "SectionTest.h"
#include "registry/ScanFiles.h"

using namespace registry;
using namespace registry_test;

namespace {

const int kSeedCount = 40;
const wchar_t kSharedDlls[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const wchar_t kMenuOrder[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const wchar_t kFonts[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const wchar_t kHelp[] = L"Software\\Microsoft\\Windows\\Help";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kSchemes[] = L"AppEvents\\Schemes\\Apps";
const wchar_t kApplications[] = L"Software\\Classes\\Applications";
const wchar_t kOpenSaveMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const wchar_t kStartupReg[] = L"Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
const wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const wchar_t kUserAssist[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}"
    L"\\Count";

const std::pair<HKEY, const wchar_t*> kPlaces[] = {
    {HKEY_LOCAL_MACHINE, kSharedDlls}, {HKEY_CURRENT_USER, kMenuOrder},   {HKEY_CURRENT_USER, L"Software"},
    {HKEY_LOCAL_MACHINE, kFonts},      {HKEY_LOCAL_MACHINE, kHelp},       {HKEY_CURRENT_USER, kRun},
    {HKEY_LOCAL_MACHINE, kUninstall},  {HKEY_CURRENT_USER, kSchemes},     {HKEY_LOCAL_MACHINE, kApplications},
    {HKEY_CURRENT_USER, kOpenSaveMru}, {HKEY_LOCAL_MACHINE, kStartupReg}, {HKEY_CURRENT_USER, kFileExts},
    {HKEY_CURRENT_USER, kUserAssist},
};

// Every path is missing; every question is counted.
class TCountingFileSystem : public TFakeFileSystem {
 public:
  mutable std::atomic<long> Calls{0};
  TPathKind Kind(const std::wstring& path) const override {
    ++Calls;
    return TFakeFileSystem::Kind(path);
  }
};

class TCancelProbe : public TScanTaskThread {
 public:
  // Cancels at the first key shown that starts with `cancelAt` (any key when
  // empty); never when `cancel` is false.
  TCancelProbe(const TScanSettings& settings, bool cancel, std::wstring cancelAt)
      : TScanTaskThread(settings), cancel_(cancel), cancelAt_(std::move(cancelAt)) {}
  std::shared_ptr<TCountingFileSystem> Fs;
  std::atomic<int> KeysShown{0}, KeysAfterCancel{0};
  std::atomic<long> CallsAtCancel{-1};
  size_t RowsBeforeCancel = 0;

 protected:
  void ShowCurrentKey(const std::wstring& key) override {
    TScanTaskThread::ShowCurrentKey(key);
    if (FCurrentSection == 0) return;  // the thread's own texts, before any section
    ++KeysShown;
    if (Terminated()) {
      ++KeysAfterCancel;
    } else if (cancel_ && key.compare(0, cancelAt_.size(), cancelAt_) == 0) {
      CallsAtCancel = Fs->Calls.load();
      RowsBeforeCancel = Shared()->Rows.TakeAll().size();
      Terminate();
    }
  }

 private:
  bool cancel_;
  std::wstring cancelAt_;
};

struct TWork {
  int Keys = 0, KeysAfterCancel = 0;
  size_t Rows = 0, RowsAfterCancel = 0;
  long CallsAfterCancel = 0, Calls = 0;
};

TWork RunSection(int id, bool cancel, const std::wstring& cancelAt) {
  auto fs = std::make_shared<TCountingFileSystem>();
  TScanSettings settings = ScanSettingsFromSystem();
  settings.FileSystem = fs;
  TCancelProbe probe(settings, cancel, cancelAt);
  probe.Fs = fs;
  probe.FSections = {std::to_wstring(id)};
  probe.SetPoster(std::make_shared<TRecordingPoster>());
  EXPECT_TRUE(probe.Start());
  EXPECT_TRUE(probe.WaitFor(300000));
  TWork w;
  w.Keys = probe.KeysShown;
  w.KeysAfterCancel = probe.KeysAfterCancel;
  w.RowsAfterCancel = probe.Shared()->Rows.TakeAll().size();
  w.Rows = probe.RowsBeforeCancel + w.RowsAfterCancel;
  w.Calls = fs->Calls;
  w.CallsAfterCancel = probe.CallsAtCancel < 0 ? 0 : fs->Calls - probe.CallsAtCancel;
  return w;
}

std::wstring Numbered(const std::wstring& text, int i) { return text + std::to_wstring(i); }

// A section, and the key (by its start) at which the cancel comes: the first
// key of the section, or the first of a later part with a loop of its own.
struct TCancelPoint {
  int Id;
  const wchar_t* At;
};

void PrintTo(const TCancelPoint& p, std::ostream* os) { *os << p.Id; }

class SectionCancel : public ::testing::TestWithParam<TCancelPoint> {
 public:
  static void SetUpTestSuite() {
    Purge();
    for (int i = 0; i < kSeedCount; ++i) Seed(i);
  }
  static void TearDownTestSuite() { Purge(); }

 private:
  static std::wstring ShortcutFolder() { return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\VantorelCancel"; }
  // Where the seeded paths point: an empty folder, so that a shortcut to a
  // file in it can be made (and then the file is gone again).
  static std::wstring TargetFolder() {
    wchar_t temp[MAX_PATH];
    DWORD n = ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp, n) + L"VantorelCancel";
  }

  static void Seed(int i) {
    const std::wstring gone = Numbered(TargetFolder() + L"\\", i);
    SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, gone + L".dll", 1);
    CreateKey(HKEY_CURRENT_USER, Numbered(kMenuOrder + std::wstring(L"\\VantorelCancel"), i));
    CreateKey(HKEY_CURRENT_USER, Numbered(L"Software\\VantorelCancel", i));
    SetText(HKEY_LOCAL_MACHINE, kFonts, Numbered(L"VantorelCancel ", i), gone + L".ttf");
    SetText(HKEY_LOCAL_MACHINE, kHelp, Numbered(L"vantorel", i) + L".hlp", TargetFolder());
    SetText(HKEY_CURRENT_USER, kRun, Numbered(L"VantorelCancel", i), gone + L".exe");
    SetText(HKEY_LOCAL_MACHINE, Numbered(kUninstall + std::wstring(L"\\VantorelCancel"), i), L"DisplayIcon",
            gone + L".exe");
    SetText(HKEY_CURRENT_USER, Numbered(kSchemes + std::wstring(L"\\VantorelCancel"), i) + L"\\Event\\.Current", L"",
            gone + L".wav");
    SetText(HKEY_LOCAL_MACHINE,
            Numbered(kApplications + std::wstring(L"\\vantorel-cancel-"), i) + L"\\shell\\open\\command", L"",
            gone + L".exe");
    SetText(HKEY_CURRENT_USER, kOpenSaveMru, Numbered(L"vantorel-cancel-", i), gone);
    if (i == 0) {
      ::CreateDirectoryW(ShortcutFolder().c_str(), nullptr);
      ::CreateDirectoryW(TargetFolder().c_str(), nullptr);
    }
    CreateKey(HKEY_CURRENT_USER, Numbered(kFileExts + std::wstring(L"\\.vantorelcancel"), i));
    SetText(HKEY_LOCAL_MACHINE, Numbered(kStartupReg + std::wstring(L"\\VantorelCancel"), i), L"command",
            gone + L".exe");
    SetBytes(HKEY_CURRENT_USER, kUserAssist, Numbered(L"HRZR_EHACNGU:INAGBERY", i), REG_BINARY,
             std::vector<BYTE>(16, 0));
    MakeShortcut(ShortcutFolder() + Numbered(L"\\cancel", i) + L".lnk", gone + L".exe");
  }

  static void Purge() {
    for (const auto& p : kPlaces) PurgeSeeds(p.first, p.second);
    for (int i = 0; i < kSeedCount; ++i) ::DeleteFileW((ShortcutFolder() + Numbered(L"\\cancel", i) + L".lnk").c_str());
    ::RemoveDirectoryW(ShortcutFolder().c_str());
    ::RemoveDirectoryW(TargetFolder().c_str());
  }
};

TEST_P(SectionCancel, StopsAtTheNextKeyValueOrFile) {
  const TCancelPoint point = GetParam();
  const TWork full = RunSection(point.Id, false, L"");
  EXPECT_GE(full.Keys + static_cast<int>(full.Rows), 10) << "too little to do for a meaningful test";

  const TWork cancelled = RunSection(point.Id, true, point.At);
  EXPECT_GE(cancelled.Keys, 1);
  EXPECT_LT(cancelled.Keys, full.Keys + static_cast<int>(full.Rows));
  EXPECT_EQ(cancelled.KeysAfterCancel, 0);
  EXPECT_LE(cancelled.RowsAfterCancel, 1u);
  EXPECT_LE(cancelled.CallsAfterCancel, 100);
}

const TCancelPoint kCancelPoints[] = {
    {7, L""},  {9, L""},  {10, L""},         {11, L""},         {11, kFileExts},  {12, L""},
    {13, L""}, {14, L""}, {14, kStartupReg}, {15, L""},         {16, L""},        {16, L"Interface\\"},
    {17, L""}, {18, L""}, {19, L""},         {20, L""},         {20, L"CLSID\\"}, {21, L""},
    {22, L""}, {23, L""}, {24, L""},         {24, kUserAssist}, {25, L""},
};

INSTANTIATE_TEST_SUITE_P(EverySection, SectionCancel, ::testing::ValuesIn(kCancelPoints),
                         [](const ::testing::TestParamInfo<TCancelPoint>& info) {
                           return "Section" + std::to_string(info.param.Id) + (*info.param.At ? "Later" : "");
                         });

}  // namespace
