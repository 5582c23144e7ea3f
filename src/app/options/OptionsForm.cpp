// The Options dialog's window: its pages, their controls and the opening steps.
#include "app/options/OptionsForm.h"

#include "app/options/RegAddRegistry.h"
#include "cleaner/items/DataFiles.h"
#include "core/Options.h"
#include "core/Paths.h"
#include "ui/MessageBox.h"

namespace app {
namespace {

const wchar_t kWipeHint[] =
    L"The more times a file is overwritten,the higher the security,and the longer the wash will take.";

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

}  // namespace

TOptionsEnvironment TOptionsEnvironment::Real() {
  TOptionsEnvironment env;
  env.DataFolder = core::GetProgramFolder();
  env.ProgramPath = ModulePath();
  env.DefaultBackupFolder = env.DataFolder.empty() ? std::wstring() : env.DataFolder + L"Backup";
  env.CookieFolder = &UserCookieFolder;
  env.EditIgnoreEntry = &TfrmRegAddRegistry::Execute;
  return env;
}

TfrmOptions::TfrmOptions(TOptionsApply apply, TOptionsEnvironment env)
    : ui::Form(kOptionsClass), apply_(std::move(apply)), env_(std::move(env)) {}

TfrmOptions::~TfrmOptions() { ReleaseTestHotkey(); }

bool TfrmOptions::CreateForm(HWND owner) {
  if (!Create(owner, L"Options", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME))
    return false;
  SetClientSize(488, 434);
  skPageControl1.Create(hwnd_, 8, 8, 472, 386);
  CreateCommonPage(skPageControl1.AddPage(L"Common").Handle());
  CreateCookiesPage(skPageControl1.AddPage(L"Cookies").Handle());
  CreateSchedulePage(skPageControl1.AddPage(L"Schedule").Handle());
  CreateBossKeyPage(skPageControl1.AddPage(L"Boss Key").Handle());
  CreateIgnorePage(skPageControl1.AddPage(L"Ignore Lists").Handle());
  bOK.Create(hwnd_, L"&OK", 320, 402, 75, 25, BS_DEFPUSHBUTTON);
  bCancel.Create(hwnd_, L"&Cancel", 405, 402, 75, 25);
  bCancel.SetCancel(true);
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  BindHandlers();
  FormCreate();
  CenterOn(owner);
  return true;
}

void TfrmOptions::CreateCommonPage(HWND p) {
  struct Box {
    skin::TskCheckBox* box;
    const wchar_t* caption;
  };
  const Box boxes[] = {
      {&cbAutoStart, L"Auto run when the computer starts"},
      {&cbAskClear, L"Ask before clearing the item"},
      {&cbWipeFile, L"Overwrite the cleared file,Number of times"},
      {&cbDeleteBackupFile, L"Delete backup file after restoring the registry on restore dialog"},
      {&cbIgnoreRemoveMedia, L"Ignore missing files on removable drives"},
      {&cbIncludeCDdrive, L"Include all references to CD drive"},
      {&cbCreateRestore, L"Create a system restore point before repair (XP, Vista, 7, 8, 10)"},
      {&cbFastScan, L"Fast mode, not show detailed log of all cleaner settings"},
      {&cbShowLogTempInternetFiles, L"Show detailed log of Temporary Internet Files"},
      {&cbShowLogRecycleBin, L"Show detailed log of Empty Recycle Bin"},
  };
  int y = 12;
  for (const Box& b : boxes) {
    b.box->Create(p, b.caption, 14, y, b.box == &cbWipeFile ? 272 : 430, 18);
    y += 24;
  }
  cbWipeNumber.Create(p, 290, 12 + 2 * 24 - 2, 50, 200);
  // The number belongs to "Overwrite...": Tab goes from the one to the other.
  ::SetWindowPos(cbWipeNumber.Handle(), cbWipeFile.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  std::vector<std::wstring> numbers;
  for (int i = 1; i <= 10; ++i) numbers.push_back(std::to_wstring(i));
  cbWipeNumber.SetItems(numbers);
  gbOutputFolder.Create(p, L"Select a destination folder to backup deleted registry entries by repairing", 10, 262,
                        444, 56);
  eOutputFolder.Create(gbOutputFolder.Handle(), L"", 10, 22, 386, 21);
  bBrowse.Create(gbOutputFolder.Handle(), L"...", 402, 21, 32, 23);
  wipeHint_.Create(hwnd_, cbWipeFile.Handle(), kWipeHint);
}

void TfrmOptions::CreateCookiesPage(HWND p) {
  lCookiesToDelete.Create(p, L"Cookies to Delete", 10, 10);
  lCookiesToKeep.Create(p, L"Cookies to Keep", 288, 10);
  ListBox1.Create(p, 10, 28, 166, 320);
  ListBox2.Create(p, 288, 28, 166, 320);
  bAddCookies.Create(p, L"Add         =>", 184, 70, 96, 25);
  bRemoveCookies.Create(p, L"Remove <=", 184, 104, 96, 25);
  bAddAll.Create(p, L"Add All    =>", 184, 158, 96, 25);
  bRemoveAll.Create(p, L"Remove All <=", 184, 192, 96, 25);
  bView.Create(p, L"&View", 184, 260, 96, 25);
}

void TfrmOptions::CreateSchedulePage(HWND p) {
  cbAutoWash.Create(p, L"Automatic clean enabled", 14, 14, 300, 18);
  rgWashInterval.Create(p, L"Time Intervals", 10, 42, 444, 100, ScheduleCaptions(), 2);
  cbStartWash.Create(p, L"Clean when Windows start", 14, 158, 300, 18);
  cbShutdownWash.Create(p, L"Clean when Windows shut down", 14, 184, 300, 18);
}

void TfrmOptions::CreateBossKeyPage(HWND p) {
  skRadioButton1.Create(p, L"Do not use Boss Key", 14, 14, 300, 18, true);
  skRadioButton2.Create(p, L"Assign Boss Key to this hotkey", 14, 40, 300, 18, false);
  eHide.Create(p, L"", 34, 64, 250, 21);
  gbBrowsers.Create(p, L"Hide these types of windows with Boss Key", 10, 104, 444, 130);
  HWND g = gbBrowsers.Handle();
  cbIE.Create(g, L"Internet Explorer", 14, 24, 300, 18);
  cbNetscape.Create(g, L"Netscape", 14, 50, 300, 18);
  cbFirefox.Create(g, L"Mozilla Firefox", 14, 76, 300, 18);
  cbOpera.Create(g, L"Opera", 14, 102, 300, 18);
}

void TfrmOptions::CreateIgnorePage(HWND p) {
  lIgnore.Create(p, L"The following registry values and keys will be ignored:", 10, 10);
  skPageControl2.Create(p, 10, 30, 444, 280);
  for (auto [caption, list] : {std::pair{L"Values", &lvValues}, std::pair{L"Keys", &lvKeys}}) {
    skin::TskTabSheet& page = skPageControl2.AddPage(caption);
    RECT r{};
    ::GetClientRect(page.Handle(), &r);
    list->Create(page.Handle(), 0, 0, r.right, r.bottom, true);
    list->AddColumn(L"Items", 390);
  }
  skPageControl2.SetActivePage(0);
  bAdd.Create(p, L"&Add", 208, 320, 75, 25);
  bEdit.Create(p, L"&Edit", 293, 320, 75, 25);
  bRemove.Create(p, L"&Remove", 378, 320, 75, 25);
}

void TfrmOptions::BindHandlers() {
  bOK.OnClick = [this] { bOKClick(); };
  bCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
  cbWipeFile.OnClick = [this] { cbWipeFileClick(); };
  cbAutoWash.OnClick = [this] { cbAutoWashClick(); };
  bBrowse.OnClick = [this] { bBrowseClick(); };
  eHide.OnKeyDown = [this](UINT key) { return eHideKeyDown(key); };
  bAdd.OnClick = [this] { bAddClick(); };
  bEdit.OnClick = [this] { bEditClick(); };
  bRemove.OnClick = [this] { bRemoveClick(); };
  bAddCookies.OnClick = [this] { bAddCookiesClick(); };
  bRemoveCookies.OnClick = [this] { bRemoveCookiesClick(); };
  bAddAll.OnClick = [this] { bAddAllClick(); };
  bRemoveAll.OnClick = [this] { bRemoveAllClick(); };
  ListBox1.OnDblClick = [this] { ListBox1DblClick(); };
  ListBox2.OnDblClick = [this] { ListBox2DblClick(); };
  bView.OnClick = [this] { bViewClick(); };
}

void TfrmOptions::FormCreate() {
  ExchangeOptionsRecord(false);
  ExchangeControls(false);
  FSavedUseHotkey = copy_.Record().EnableHotkey;
  FSavedHotkeyText = eHide.Text();
  FSavedKeyName = copy_.Record().Hotkey.CharString;
  FSavedKeyCode = copy_.Record().Hotkey.CharAscII;
  skPageControl1.SetActivePage(0);
  ReadCookieLists();
}

void TfrmOptions::ReadCookieLists() {
  const std::wstring cookiesDat = core::JoinPath(env_.DataFolder, cleaner::kCookiesFileName);
  std::vector<std::wstring> keep = cleaner::ReadCookiesToKeep(cookiesDat);
  for (const std::wstring& line : keep) ListBox2.Add(line);
  FCookieFolder = env_.CookieFolder ? env_.CookieFolder() : std::wstring();
  cookieFiles_ = CookiesToDelete(FCookieFolder, keep);
  for (const TCookieFile& c : cookieFiles_) ListBox1.Add(c.Host);
}

bool TfrmOptions::OnCommand(UINT, UINT id) {
  // Enter and Escape arrive from the dialog keys as IDOK and IDCANCEL.
  if (id == IDOK) bOKClick();
  else if (id == IDCANCEL) SetModalResult(IDCANCEL);
  else return false;
  return true;
}

void TfrmOptions::Error(const std::wstring& text) { ui::ShowMessage(hwnd_, text, MB_OK | MB_ICONERROR); }

}  // namespace app
