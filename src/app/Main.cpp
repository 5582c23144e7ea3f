#include "app/Main.h"

#include <algorithm>

#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/CustomListDialog.h"
#include "app/RestoreForm.h"
#include "app/Strings.h"
#include "core/SystemInfo.h"
#include "core/Text.h"
#include "ui/Application.h"
#include "ui/Jpeg.h"
#include "ui/MessageBox.h"
#include "sys/Thread.h"

namespace app {
namespace {
constexpr UINT WM_ACTIVATEONCE = WM_APP + 0x101;
constexpr int kNavLeft = 5;
constexpr int kNavWidth = 75;
constexpr int kNavHeight = 53;

constexpr DWORD kSessionEndWaitMs = 120000;

// Tells Windows why the session's end waits, for as long as the object lives.
// The calls are looked up at run time: older systems do not have them.
class ShutdownBlock {
 public:
  ShutdownBlock(HWND window, const wchar_t* reason) : window_(window) {
    HMODULE user = ::GetModuleHandleW(L"user32.dll");
    using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
    auto create = user != nullptr ? reinterpret_cast<Create>(::GetProcAddress(user, "ShutdownBlockReasonCreate")) : nullptr;
    destroy_ = user != nullptr ? reinterpret_cast<Destroy>(::GetProcAddress(user, "ShutdownBlockReasonDestroy")) : nullptr;
    created_ = create != nullptr && destroy_ != nullptr && create(window_, reason);
  }
  ~ShutdownBlock() {
    if (created_) destroy_(window_);
  }
  ShutdownBlock(const ShutdownBlock&) = delete;
  ShutdownBlock& operator=(const ShutdownBlock&) = delete;

 private:
  using Destroy = BOOL(WINAPI*)(HWND);
  HWND window_;
  Destroy destroy_ = nullptr;
  bool created_ = false;
};

// The program's icon, centred on the part `place` of the title strip that it
// covers, so that it sits on the strip's own colours.
HBITMAP HeaderIcon(const ui::Picture& strip, const RECT& place) {
  const int w = place.right - place.left, h = place.bottom - place.top, side = 32;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(mem, bitmap);
  strip.PaintPart(mem, place);
  auto icon = static_cast<HICON>(
      ::LoadImageW(ui::Application::Instance().Module(), MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
  if (icon != nullptr) {
    ::DrawIconEx(mem, (w - side) / 2, (h - side) / 2, icon, side, side, 0, nullptr, DI_NORMAL);
    ::DestroyIcon(icon);
  }
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  return bitmap;
}

}  // namespace

std::wstring FirstParam(const std::vector<std::wstring>& args) { return args.empty() ? std::wstring() : args[0]; }

TfrmMain::TfrmMain() : ui::Form(kMainWindowClass) {}

TfrmMain::~TfrmMain() {
  core::OptionsSetting.IgnoreValueList = nullptr;
  core::OptionsSetting.IgnoreKeyList = nullptr;
}

bool TfrmMain::CreateMain(std::vector<std::wstring> args) {
  args_ = std::move(args);
  if (!Create(nullptr, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)) return false;
  CreateComponents();
  BindMessages();
  FormCreate();
  return true;
}

void TfrmMain::CreateComponents() {
  CreateHeader();
  CreateNavigation();
  Cleaner.CreateControls(hwnd_);
  BuildCleanTree();
  tvCleanItems.OnMouseDown = [this](UINT b, POINT pt) { tvCleanItemsMouseDown(b, pt); };
  tvCleanItems.OnClick = [this](UINT b, POINT pt) { tvCleanItemsClick(b, pt); };
  Registry.CreateControls(hwnd_);
  BuildRegistryTree();
  tvRegistry.OnMouseDown = [this](UINT b, POINT pt) { tvRegistryMouseDown(b, pt); };
  tvRegistry.OnCollapsing = [this](ui::TreeNode n) { return tvRegistryCollapsing(n); };
  CreateToolsPage();
  CreateDefragPage();
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  CreateMenus();
  Timer1.SetInterval(500);
}

void TfrmMain::CreateHeader() {
  imgTitle.Create(hwnd_, 0, 0, 697, 50, true);
  imgTitle.SetBitmap(ui::LoadJpegResource(L"TITLE"));
  Image1.Create(hwnd_, 6, 5, 40, 40, false);
  Image1.SetBitmap(HeaderIcon(imgTitle, Image1.Bounds()));
  lTitle.Create(hwnd_, L"", 52, 7);
  lTitle.SetLabelFont(ui::BoldFont(16));
  lTitle.SetTextColor(RGB(255, 255, 255));
  lTitle.SetTransparent(true);
  lTitleHint.Create(hwnd_, L"", 54, 29);
  lTitleHint.SetTextColor(RGB(255, 255, 255));
  lTitleHint.SetTransparent(true);
  lUpdate.Create(hwnd_, L"Check for updates...", 600, 10);
  lUpdate.SetTransparent(true);
  iUpdate.Create(hwnd_, 560, 0, 32, 32, false);
  iUpdate.Show(false);
  lDonate.Create(hwnd_, L"Donate...", 520, 10);
  lDonate.SetTransparent(true);
  // The picture lies below the labels in the Z order. On top (where it was
  // created) it painted over them whenever the window was resized.
  ::SetWindowPos(imgTitle.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The header labels sit on the title picture and paint its part behind them.
  for (ui::Label* l : HeaderLabels()) {
    l->SetBackgroundPainter([this](HDC dc, const RECT& r) { imgTitle.PaintPart(dc, r); });
  }
  Image1.OnClick = lTitle.OnClick = [this] { toolsPage_->Image1Click(); };
  lUpdate.OnClick = [this] { toolsPage_->CheckforUpdate1Click(); };
  lDonate.OnClick = [this] { toolsPage_->Donate1Click(); };
}

void TfrmMain::CreateNavigation() {
  struct Nav {
    skin::TFlatButton* button;
    const wchar_t* caption;
    int tag;
  };
  // Made top to bottom as they stand, so that Tab visits them in that order.
  const Nav navs[] = {{&bCleaner, L"Cleaner", 17}, {&bRegistry, L"Registry", 18}, {&bRegistryDefrag, L"Defrag", 21},
                      {&bTools, L"Tools", 19}, {&bOptions, L"Options", 20}, {&bHelp, L"Help", 22}};
  for (const Nav& n : navs) {
    n.button->Create(hwnd_, n.caption, kNavLeft, 55, kNavWidth, kNavHeight);
    n.button->Tag = n.tag;
  }
  for (skin::TFlatButton* b : {&bCleaner, &bRegistry, &bTools, &bRegistryDefrag}) {
    b->OnClick = [this, b] { FlatButtonClick(*b); };
  }
  bHelp.OnClick = [this] { toolsPage_->bHelpClick(pmHelp, bHelp.Handle()); };
  bOptions.OnClick = [this] { bOptionsClick(); };
}

void TfrmMain::CreateToolsPage() {
  gbTools.Create(hwnd_, L"Tools", 85, 55, 606, 395);
  gbTools.Tag = 19;
  HWND p = gbTools.Handle();
  bStartup.Create(p, L"Startup Manager", 10, 20, 130, 25);
  bViewHistory.Create(p, L"Index.dat Viewer", 146, 20, 130, 25);
  bBackupFullRegistry.Create(p, L"Full Registry Backup", 282, 20, 130, 25);
  bWindowsBackup.Create(p, L"Windows Backup", 418, 20, 130, 25);
  lvStartup.Create(p, 10, 54, 586, 290, true);
  bDeleteEntry.Create(p, L"Delete Entry", 10, 355, 90, 25);
  bSelectAll.Create(p, L"Select All", 400, 355, 90, 25);
  bSelectNone.Create(p, L"Select None", 500, 355, 90, 25);
  toolsPage_ = std::make_unique<TToolsPage>(hwnd_, TToolsPage::Controls{bStartup, bViewHistory, bBackupFullRegistry,
      bWindowsBackup, lvStartup, bDeleteEntry, bSelectAll, bSelectNone});
}

void TfrmMain::CreateDefragPage() {
  gbDefrag.Create(hwnd_, L"Registry Defrag", 85, 55, 606, 395);
  gbDefrag.Tag = 21;
  HWND p = gbDefrag.Handle();
  bAnalyzeRegistry.Create(p, L"Analyze Registry", 10, 20, 110, 25);
  bDefragRegistry.Create(p, L"Defrag Registry", 126, 20, 110, 25);
  bDefragRegistry.Enable(false);
  lvMain.Create(p, 10, 54, 586, 290, false);
  lvMain.AddColumn(L"Hive Name", 205);
  lvMain.AddColumn(L"Current Size", 80, true);
  lvMain.AddColumn(L"New Size", 85, true);
  lvMain.AddColumn(L"Reduction", 75, true);
  struct Pair {
    ui::Label* title;
    const wchar_t* text;
    ui::Label* value;
    int left;
  };
  const Pair pairs[] = {{&lCurrentRegistrySize_Title, L"Current Registry Size:", &lCurrentRegistrySize, 10},
                        {&lNewRegistrySize_Title, L"New Registry Size:", &lNewRegistrySize, 10},
                        {&lSizeReduction_Title, L"Size Reduction:", &lSizeReduction, 397},
                        {&lCompactPercent_Title, L"Compact Percent:", &lCompactPercent, 397}};
  for (const Pair& pr : pairs) {
    pr.title->Create(p, pr.text, pr.left, 350);
    pr.value->Create(p, L"", pr.left + 120, 350);
  }
  const int valueLeft = 15 + std::max(lCurrentRegistrySize_Title.Width(), lNewRegistrySize_Title.Width());
  lCurrentRegistrySize.SetLeft(valueLeft);
  lNewRegistrySize.SetLeft(valueLeft);
  defragPage_ = std::make_unique<TDefragPage>(hwnd_, TDefragPage::Controls{lvMain, bAnalyzeRegistry, bDefragRegistry,
      lCurrentRegistrySize, lNewRegistrySize, lSizeReduction, lCompactPercent});
  bAnalyzeRegistry.OnClick = [this] { defragPage_->bAnalyzeRegistryClick(); };
  bDefragRegistry.OnClick = [this] { defragPage_->bDefragRegistryClick(); };
}

void TfrmMain::CreateMenus() {
  Registry.CreateMenu();
  Cleaner.CreateMenu();
  pmSelf.Add(L"&Open", [this] { RestoreFromTray(); });
  pmSelf.Add(L"", nullptr);
  toolsPage_->BuildHelpMenu(pmHelp);
  pmSelf.Add(L"&Help", [this] { toolsPage_->aHelpExecute(); });
  pmSelf.Add(L"&About...", [this] { toolsPage_->aAboutExecute(); });
  pmSelf.Add(L"", nullptr);
  pmSelf.Add(L"&Exit", [this] {
    Close();
    SetTrayIcon(false);
  });
}

void TfrmMain::BindMessages() {
  Timer1.SetOwner(hwnd_, 1);
  Timer2.SetOwner(hwnd_, 2);
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Timer2.OnTimer = [this] { Timer2Timer(); };
}

LRESULT TfrmMain::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ACTIVATEONCE:
      FormActivate();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE) FormActivate();
      break;
    case WM_SIZE:
      if (w != SIZE_MINIMIZED) ArrangeControls();
      break;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
      mmi->ptMinTrackSize.x = 626;
      mmi->ptMinTrackSize.y = 455;
      return 0;
    }
    case WM_QUERYENDSESSION: return WMQueryEndSession();
    case WM_SYSCOMMAND: return WMSysCommand(w, l);
    case WM_TRAYNOTIFY: return WMTrayNotify(w, l);
    case WM_SHOWMAINWINDOW:
      RestoreFromTray();
      return 0;
    case WM_AUTORUN: return WMAutoRun();
    case WM_CLEANPROGRESS: return Cleaner.WMCleanProgress(w, l);
    case WM_CLEANFINISHED: return Cleaner.WMCleanFinished(w, l);
    case WM_CLEANFAILED: return Cleaner.WMCleanFailed(w, l);
    case WM_CLEANTHREADENDED: return Cleaner.WMCleanThreadEnded(w, l);
    case WM_STARTREALCLEAN: return Cleaner.WMStartRealClean(l);
    case WM_HOTKEY: return WMHotKey(w);
    case WM_SCANSECTIONDONE: return Registry.WMScanSectionDone(l);
    case WM_SCANFINISHED: return Registry.WMScanFinished(l);
    case WM_SHOWCUSTOMLIST:
      ShowCustomListDialog(hwnd_);
      return 0;
    case WM_REGDEFRAG:
    case WM_REGSCAN:
      return WMHiveToolRun(msg);
    default:
      break;
  }
  return ui::Form::OnMessage(msg, w, l);
}

void TfrmMain::FormCreate() {
  SetClientSize(697, 456);
  SetText(std::wstring(kProductName) + L" " + kProductVersion);
  lTitle.SetCaption(kProductName);
  lTitleHint.SetCaption(L"Optimize your computer performance");
  SIZE client = ClientSize();
  imgTitle.SetBounds(0, 0, imgTitle.Width(), 50);
  lUpdate.SetLeft(client.cx - lUpdate.Width() - 10);
  lUpdate.SetFontLinkColor(RGB(255, 255, 255));
  iUpdate.SetLeft(lUpdate.Left() - 20);
  lDonate.SetBounds(lUpdate.Left() - lDonate.Width() - 15, lUpdate.Top(), lDonate.Width(), lDonate.Height());
  lDonate.SetFontLinkColor(RGB(255, 255, 255));
  gbRegistry.Show(false);
  gbTools.Show(false);
  FSelectedItems.reset();
  FBrowsersHidden = FSilentClear = false;
  lStatusBar.SetCaption(L"");
  core::OptionsSetting.IgnoreValueList = &ignoreValues_;
  core::OptionsSetting.IgnoreKeyList = &ignoreKeys_;
  LoadInstalledApplications();
  tvCleanItems.Post(WM_VSCROLL, SB_TOP, 0);
  optionsRead_ = core::LoadSaveOptions(true, *this);
  if (FirstParam(args_) == L"/Auto") SetTrayIcon(true);
  FAppExStyle = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  SyncTreeExpansion(false);
  cbFastMode.SetChecked(core::OptionsSetting.FastScan);
  if (core::OptionsSetting.EnableHotkey) {
    UnregisterBossKey();
    RegisterBossKey();
  }
  tvRegistry.FullExpand();
  FWindowsVersion = core::GetWindowsVersion();
  toolsPage_->FWindowsVersion = FWindowsVersion;
  if (core::IsWindows9x(FWindowsVersion)) bWindowsBackup.Show(false);
  for (ui::Label* l : {&lCurrentRegistrySize, &lNewRegistrySize, &lSizeReduction, &lCompactPercent}) l->SetCaption(L"");
  FCommandLineRun = false;
  bool defragSupported = core::IsWindowsNT(FWindowsVersion);
  if (!defragSupported) {
    bAnalyzeRegistry.Enable(false);
    lvMain.AddRow(L"The software does not support the current Windows system!");
  }
  lvMain.SetGridLines(true);
  FlatButtonClick(bCleaner);
}

void TfrmMain::ShowMain() {
  FormShow();
  // A maximised start shows maximised at once rather than resizing a window
  // that the display has just placed.
  bool maximised = core::OptionsSetting.WindowState == core::TWindowState::wsMaximized;
  ::ShowWindow(hwnd_, maximised ? SW_SHOWMAXIMIZED : SW_SHOW);
  ::UpdateWindow(hwnd_);
  // Without a window manager no activation may arrive; the steps run once either way.
  Post(WM_ACTIVATEONCE);
}

void TfrmMain::FormShow() {
  ArrangeControls();
  WalkRegistryTree(tvRegistry.First(), 100);
  if (bAnalyzeRegistry.Enabled()) {
    defragPage_->FIsWow64 = core::IsWow64();
    defragPage_->FWindowsVersion = FWindowsVersion;
    defragPage_->LoadHiveList();
  }
  // Also where the page is unusable: the run then ends at once and says why,
  // rather than leaving a window that waits for somebody.
  const std::wstring first = FirstParam(args_);
  for (UINT msg : {WM_REGDEFRAG, WM_REGSCAN}) {
    if (::lstrcmpiW(first.c_str(), msg == WM_REGDEFRAG ? L"/Regdefrag" : L"/Regscan") != 0) continue;
    FCommandLineRun = defragPage_->FCommandLineRun = true;
    Post(msg);
  }
  if (core::OptionsSetting.WindowState == core::TWindowState::wsMaximized) Post(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void TfrmMain::FormActivate() {
  // Runs once: after a modal window closes, the automatic runs must not start
  // again and the window must not jump back to its saved bounds.
  if (activated_) return;
  activated_ = true;
  const core::TOptionsSetting& o = core::OptionsSetting;
  // A maximised start is the SC_MAXIMIZE that FormShow posted; maximising
  // here as well, inside the activation of the first showing, is undone by it.
  if (o.WindowState != core::TWindowState::wsMaximized && o.Width > 0 && o.Height > 0)
    ApplyWindowBounds(RECT{o.Left, o.Top, o.Left + o.Width, o.Top + o.Height});
  std::wstring first = FirstParam(args_);
  if (first == L"/Auto") {
    Post(WM_SYSCOMMAND, SC_MINIMIZE, 1);
    if (o.StartClean) Post(WM_AUTORUN);
  }
  if (::lstrcmpiW(first.c_str(), L"/Clear") == 0) {
    FSilentClear = true;
    Post(WM_AUTORUN);
  } else {
    Timer2.SetInterval(core::ScheduleIntervalToMs(o.CleanInterval));
    Timer2.SetEnabled(o.AutoClean);
  }
  // Told as the window opens, not first at its close; an unattended run,
  // which nobody watches, logs it instead.
  if (!optionsRead_ && !FSilentClear && !FCommandLineRun)
    ui::ShowError(hwnd_, OptionsNotRead(L"the program starts with its default settings and cannot save them."));
}

bool TfrmMain::OnCloseQuery() {
  FormClose();
  return true;
}

void TfrmMain::FormClose() {
  if (closed_) return;
  closed_ = true;
  Cleaner.FormClose();
  Registry.FormClose();
  FSelectedItems.reset();
  SyncTreeExpansion(true);
  try {
    if (!optionsSaved_) core::LoadSaveOptions(false, *this);
  } catch (const std::exception& e) {
    ui::Application::Instance().ShowException(e);
  }
  if (core::OptionsSetting.EnableHotkey) UnregisterBossKey();
  ShowHiddenBrowsers();
  SetTrayIcon(false);
  defragPage_->FormClose();
  ui::Application::Instance().Terminate();
}

LRESULT TfrmMain::WMQueryEndSession() {
  sessionEnding_ = true;
  if (core::OptionsSetting.ShutdownClean) {
    StartCleaner(crAutoClean);
    if (Cleaner.CleanThreadAlive()) {
      // The session ends only once the clean has run to its end (bounded);
      // Windows shows the user why it waits.
      ShutdownBlock block(hwnd_, L"Cleaning before Windows ends...");
      WaitForCleanThread(kSessionEndWaitMs);
    }
  }
  try {
    core::LoadSaveOptions(false, *this);
  } catch (const std::exception&) {
    // Windows is ending; there is nobody to tell.
  }
  Close();
  return 1;
}

}  // namespace app
