// The Options dialog over a live main window: what OK applies, what Cancel
// leaves alone, the hot-key capture, the ignore lists and the cookies to keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>

#include "AppTestSupport.h"
#include "app/Main.h"
#include "app/options/OptionsForm.h"
#include "app/options/OptionsModel.h"
#include "app/options/RegAddRegistry.h"
#include "skin/theme/StyleResolve.h"
#include "support/KeyPresser.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"
#include "sys/RegistryKey.h"
#include "ui/Timer.h"

namespace {

using app_test::ForgetOptions;
using app_test::Pump;

std::string ReadBytes(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(1 << 20, '\0');
  DWORD n = 0;
  ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  ::CloseHandle(h);
  bytes.resize(n);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& text) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  ::CloseHandle(h);
}

std::wstring RunValue() {
  sys::RegistryKey key;
  std::wstring value = L"<none>";
  if (key.Open(HKEY_CURRENT_USER, app::kRunKey)) key.ReadString(app::kRunValueName, &value);
  return value;
}

void SetRunValue(const std::wstring* value) {
  sys::RegistryKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, app::kRunKey));
  if (value != nullptr) key.WriteString(app::kRunValueName, *value);
  else key.DeleteValue(app::kRunValueName);
}

// Every field the dialog can change, as text.
std::wstring Snapshot(const core::TOptionsSetting& o) {
  std::wostringstream s;
  s << o.IsAskBeforeClear << o.IsWipeFile << o.WipeNumber << o.EnableHotkey << o.Hotkey.IsCtrl << o.Hotkey.IsShift
    << o.Hotkey.IsAlt << o.Hotkey.CharString << o.Hotkey.CharAscII << o.EnableIE << o.EnableNetscape
    << o.EnableFirefox << o.EnableOpera << o.AutoClean << o.CleanInterval << o.StartClean << o.ShutdownClean
    << o.FastScan << o.ShowLogTempInternetFiles << o.ShowLogRecycleBin << o.OutputDirectory << o.DeleteBackupFile
    << o.IncludeRemoveMedia << o.IncludeCDdrive << o.RestorePoint << '|' << o.IgnoreValueCount << o.IgnoreKeyCount;
  for (const auto* list : {o.IgnoreValueList, o.IgnoreKeyList})
    for (const std::wstring& e : *list) s << '|' << e;
  return s.str();
}

// The pixels of a window as the screen shows them.
std::vector<DWORD> Look(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC canvas = ::CreateCompatibleDC(screen);
  HBITMAP picture = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(canvas, picture);
  ::BitBlt(canvas, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + w * h);
  ::SelectObject(canvas, old);
  ::DeleteObject(picture);
  ::DeleteDC(canvas);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

// The focused control shows that it has the focus: it looks otherwise while
// `elsewhere` has it.
bool FocusShows(HWND elsewhere) {
  HWND focus = ::GetFocus();
  Pump(50);
  const std::vector<DWORD> with = Look(focus);
  ::SetFocus(elsewhere);
  Pump(50);
  const std::vector<DWORD> without = Look(focus);
  ::SetFocus(focus);
  Pump(50);
  return with != without;
}

// Holds the given keys down for this thread while `press` runs.
void WithKeysHeld(std::initializer_list<BYTE> keys, const std::function<void()>& press) {
  BYTE state[256] = {};
  for (BYTE k : keys) state[k] = 0x80;
  ::SetKeyboardState(state);
  press();
  BYTE none[256] = {};
  ::SetKeyboardState(none);
}

class OptionsDialog : public ::testing::Test, public ui::IMessageBoxAnswerer {
 protected:
  void SetUp() override {
    ForgetOptions();
    data = app_test::TempPath(L"vantorel-options\\");
    cookies = data + L"Cookies\\";
    ::CreateDirectoryW(data.c_str(), nullptr);
    ::CreateDirectoryW(cookies.c_str(), nullptr);
    ::CreateDirectoryW((data + L"Backup").c_str(), nullptr);
    ui::Application::Instance().Initialize();
    ASSERT_TRUE(form.CreateMain({}));
    form.SetOptionsEnvironment([this] { return Environment(); });
    form.ShowMain();
    Pump(100);
    core::OptionsSetting.OutputDirectory = data + L"Backup";
    previous = ui::SetMessageBoxAnswerer(this);
  }
  int Answer(HWND, const std::wstring& text, UINT) override {
    boxes.push_back(text);
    return IDOK;
  }
  void TearDown() override {
    ui::SetMessageBoxAnswerer(previous);
    ::DestroyWindow(form.Handle());
    Pump(50);
    SetRunValue(nullptr);
    for (const wchar_t* f : {L"Cookies.dat", L"Cookies\\a.txt", L"Cookies\\b.txt", L"Cookies\\c.txt"})
      ::DeleteFileW((data + f).c_str());
    for (const wchar_t* d : {L"Cookies", L"Backup", L"NewBackup", L""}) ::RemoveDirectoryW((data + d).c_str());
  }
  app::TOptionsEnvironment Environment() {
    app::TOptionsEnvironment env = app::TOptionsEnvironment::Real();
    env.DataFolder = data;
    env.DefaultBackupFolder = data + L"NewBackup";
    env.CookieFolder = [this] { return cookies; };
    env.EditIgnoreEntry = [this](HWND, std::wstring* text) {
      if (entryAnswers.empty()) return false;
      *text = entryAnswers.front();
      entryAnswers.erase(entryAnswers.begin());
      return true;
    };
    return env;
  }
  // Opens the dialog with the Options button and runs `act` on it from
  // inside its modal loop; `act` must close it.
  // A dialog still open 5 s after `act` is closed with Cancel, and the test fails.
  void WithDialog(const std::function<void(app::TfrmOptions&)>& act) {
    ui::Timer timer;
    timer.SetInterval(30);
    app::TfrmOptions* dialog = nullptr;
    DWORD actedAt = 0;
    bool forced = false;
    timer.OnTimer = [&] {
      if (dialog != nullptr) {
        if (::GetTickCount() - actedAt < 5000) return;
        forced = true;
        dialog->SetModalResult(IDCANCEL);
        timer.SetEnabled(false);
        return;
      }
      HWND h = ::FindWindowW(app::kOptionsClass, nullptr);
      if (h == nullptr || !::IsWindowVisible(h)) return;
      dialog = static_cast<app::TfrmOptions*>(reinterpret_cast<ui::Window*>(::GetWindowLongPtrW(h, GWLP_USERDATA)));
      actedAt = ::GetTickCount();  // before: a nested modal loop runs this timer too
      act(*dialog);
      actedAt = ::GetTickCount();
    };
    timer.SetEnabled(true);
    form.bOptions.OnClick();
    EXPECT_NE(dialog, nullptr);
    EXPECT_FALSE(forced) << "the dialog did not close";
  }
  void Press(app::TfrmOptions& d, UINT key, std::initializer_list<BYTE> held = {}) {
    WithKeysHeld(held, [&] {
      d.eHide.Post(WM_KEYDOWN, key, 1);
      Pump(30);
    });
  }

  app::TfrmMain form;
  std::wstring data, cookies;
  std::vector<std::wstring> boxes, entryAnswers;
  ui::IMessageBoxAnswerer* previous = nullptr;
};

TEST_F(OptionsDialog, CancelAfterAFailedHotkeyTrialLeavesEverythingAsItWas) {
  core::OptionsSetting.IgnoreValueList->push_back(L"HKEY_CURRENT_USER\\Software\\Kept");
  core::OptionsSetting.IgnoreValueCount = 1;
  core::LoadSaveOptions(false, form);
  const std::wstring run = L"\"C:\\elsewhere.exe\" /Auto";
  SetRunValue(&run);
  WriteBytes(data + L"Cookies.dat", "[Cookies to Keep]\r\nCount=1\r\n0=kept.net\r\n");
  const std::string iniBefore = ReadBytes(app_test::OptionsFile()), cookiesBefore = ReadBytes(data + L"Cookies.dat");
  const std::wstring recordBefore = Snapshot(core::OptionsSetting);
  // Another window holds Ctrl+Shift+F6, so the trial of that key fails.
  ASSERT_TRUE(::RegisterHotKey(form.Handle(), 0x7001, MOD_CONTROL | MOD_SHIFT, VK_F6));

  WithDialog([&](app::TfrmOptions& d) {
    d.skRadioButton1.SetChecked(false);
    d.skRadioButton2.SetChecked(true);
    Press(d, VK_F6, {VK_CONTROL, VK_SHIFT});
    ASSERT_EQ(d.eHide.Text(), L"Ctrl  Shift  F6");
    d.cbAskClear.SetChecked(!d.cbAskClear.Checked());
    d.cbAutoStart.SetChecked(false);
    d.lvValues.AddRow(L"HKEY_LOCAL_MACHINE\\Software\\Added");
    d.lvValues.DeleteRow(0);
    d.ListBox2.Clear();
    d.bOK.OnClick();
    EXPECT_EQ(d.ModalResult(), 0) << "the dialog stays open";
    EXPECT_EQ(d.eHide.Text(), L"Ctrl  F5") << "the last accepted key is back";
    EXPECT_EQ(d.OptionsCopy().Record().Hotkey.CharAscII, 116);
    d.bCancel.OnClick();
  });
  ::UnregisterHotKey(form.Handle(), 0x7001);

  EXPECT_EQ(boxes, std::vector<std::wstring>{L"The hotkey for Boss Key failed, please try to use other key!"});
  EXPECT_EQ(Snapshot(core::OptionsSetting), recordBefore);
  EXPECT_EQ(ReadBytes(app_test::OptionsFile()), iniBefore);
  EXPECT_EQ(ReadBytes(data + L"Cookies.dat"), cookiesBefore);
  EXPECT_EQ(RunValue(), run);
  EXPECT_EQ(::GlobalFindAtomW(L"MyQRVTHotkey_Test"), 0) << "no trial key outlives the dialog";
}

TEST_F(OptionsDialog, OkWithEveryFourHoursArmsTheScheduleAndWritesTheRunValue) {
  ASSERT_FALSE(form.Timer2.Enabled());
  WithDialog([&](app::TfrmOptions& d) {
    EXPECT_EQ(d.Text(), L"Options");
    EXPECT_EQ(d.skPageControl1.ActivePageIndex(), 0);
    EXPECT_FALSE(d.rgWashInterval.ItemEnabled(3));
    d.cbAutoWash.SetChecked(true);
    d.cbAutoWashClick();
    EXPECT_TRUE(d.rgWashInterval.ItemEnabled(3));
    d.rgWashInterval.SetItemIndex(3);
    d.cbStartWash.SetChecked(true);  // also ticks "Auto run when the computer starts"
    d.cbFastScan.SetChecked(false);
    d.bOK.OnClick();
  });
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_EQ(form.Timer2.Interval(), 14400000u);
  EXPECT_EQ(RunValue(), app::RunValueText(app::TOptionsEnvironment::Real().ProgramPath));
  EXPECT_EQ(RunValue().front(), L'"');
  EXPECT_FALSE(form.cbFastMode.Checked());
  std::string ini = ReadBytes(app_test::OptionsFile());
  EXPECT_NE(ini.find("CleanInterval=3"), std::string::npos);
  EXPECT_NE(ini.find("AutoClean=1"), std::string::npos);

  // Escape leaves everything; unticking both boxes and Enter removes the value again.
  WithDialog([&](app::TfrmOptions& d) {
    d.cbAutoStart.SetChecked(false);
    d.cbAutoWash.SetChecked(false);
    d.cbAskClear.Post(WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_NE(RunValue(), L"<none>");
  EXPECT_TRUE(form.Timer2.Enabled());
  WithDialog([&](app::TfrmOptions& d) {
    EXPECT_TRUE(d.cbAutoStart.Checked());
    d.cbStartWash.SetChecked(false);
    d.cbAutoStart.SetChecked(false);
    d.cbAutoWash.SetChecked(false);
    d.cbAskClear.Post(WM_KEYDOWN, VK_RETURN, 1);
  });
  EXPECT_EQ(RunValue(), L"<none>");
  EXPECT_FALSE(form.Timer2.Enabled());
}

TEST_F(OptionsDialog, TheScheduleIntervalIsChosenWithTheArrowsAndOkSavesIt) {
  WithDialog([&](app::TfrmOptions& d) {
    d.skPageControl1.SetActivePage(2);  // "Schedule"
    Pump(30);
    ::SetFocus(d.cbAutoWash.Handle());
    app_test::PressFocused(VK_SPACE);
    ASSERT_TRUE(d.cbAutoWash.Checked());
    app_test::PressFocused(VK_TAB);
    EXPECT_EQ(::GetFocus(), d.rgWashInterval.Button(0).Handle()) << "Tab enters the group at its checked item";
    const struct {
      WPARAM key;
      int index;
    } steps[] = {{VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_DOWN, 3}, {VK_DOWN, 4}, {VK_DOWN, 0}, {VK_UP, 4}, {VK_LEFT, 3}};
    for (const auto& s : steps) {
      app_test::PressFocused(s.key);
      EXPECT_EQ(d.rgWashInterval.ItemIndex(), s.index) << "key " << s.key;
      EXPECT_EQ(::GetFocus(), d.rgWashInterval.Button(s.index).Handle());
    }
    app_test::PressFocused(VK_TAB);
    EXPECT_EQ(::GetFocus(), d.cbStartWash.Handle()) << "Tab leaves the group";
    app_test::PressFocused(VK_RETURN);  // the dialog's OK
  });
  EXPECT_EQ(core::OptionsSetting.CleanInterval, 3);
  EXPECT_NE(ReadBytes(app_test::OptionsFile()).find("CleanInterval=3"), std::string::npos);
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_EQ(form.Timer2.Interval(), 14400000u);
}

TEST_F(OptionsDialog, TabAloneReachesOkAndTheStripSwitchesPagesFromTheKeyboard) {
  WithDialog([&](app::TfrmOptions& d) {
    EXPECT_TRUE(::IsChild(d.Handle(), ::GetFocus())) << "a control has the focus at once";
    ::SetFocus(d.cbAutoStart.Handle());
    std::vector<HWND> visited;
    for (int i = 0; i < 60 && ::GetFocus() != d.bOK.Handle(); ++i) {
      app_test::PressFocused(VK_TAB);
      visited.push_back(::GetFocus());
    }
    EXPECT_EQ(::GetFocus(), d.bOK.Handle()) << "Tab alone reaches OK";
    auto wipe = std::find(visited.begin(), visited.end(), d.cbWipeFile.Handle());
    ASSERT_TRUE(wipe != visited.end() && wipe + 1 != visited.end());
    EXPECT_TRUE(wipe[1] == d.cbWipeNumber.Handle() || ::IsChild(d.cbWipeNumber.Handle(), wipe[1]))
        << "the number of times follows Overwrite";
    d.skPageControl1.SetActivePage(0);
    HWND strip = d.skPageControl1.TopPanel().Handle();
    ::SetFocus(strip);
    // `from` focused first, its page shown (null: where the last key left
    // it); the focus stays on the strip, and goes from anywhere else to the
    // page shown, where it shows.
    const struct {
      HWND from;
      WPARAM key;
      std::initializer_list<BYTE> held;
      int page;
    } keys[] = {{nullptr, VK_TAB, {VK_CONTROL}, 1},
                {nullptr, VK_RIGHT, {}, 2},
                {nullptr, VK_LEFT, {}, 1},
                {nullptr, VK_TAB, {VK_CONTROL, VK_SHIFT}, 0},
                {nullptr, VK_TAB, {VK_CONTROL, VK_SHIFT}, 4},
                {d.bEdit.Handle(), VK_TAB, {VK_CONTROL}, 0},  // round the row, once
                {d.cbWipeFile.Handle(), VK_TAB, {VK_CONTROL}, 1},
                {nullptr, VK_NEXT, {VK_CONTROL}, 2},
                {nullptr, VK_PRIOR, {VK_CONTROL}, 1},
                {d.bOK.Handle(), VK_TAB, {VK_CONTROL, VK_SHIFT}, 0},
                {d.lvValues.Handle(), VK_NEXT, {VK_CONTROL}, 0},  // the dialog's pages, not the inner ones
                {d.eHide.Handle(), VK_TAB, {VK_CONTROL}, 4},      // onto an empty list
                {d.bCancel.Handle(), VK_TAB, {}, 4}};             // round into the page shown
    for (const auto& k : keys) {
      for (int i = 0; i < d.skPageControl1.PageCount(); ++i)
        if (k.from != nullptr && ::IsChild(d.skPageControl1.Page(i)->Handle(), k.from)) d.skPageControl1.SetActivePage(i);
      if (k.from != nullptr) ::SetFocus(k.from);
      HWND from = ::GetFocus();
      app_test::PressFocused(k.key, k.held);
      EXPECT_EQ(d.skPageControl1.ActivePageIndex(), k.page) << "key " << k.key;
      HWND page = d.skPageControl1.Page(k.page)->Handle();
      if (from == strip) EXPECT_EQ(::GetFocus(), from) << "key " << k.key;
      else EXPECT_TRUE(::IsChild(page, ::GetFocus())) << "key " << k.key << " leaves the focus on the page shown";
      EXPECT_TRUE(FocusShows(d.bOK.Handle())) << "key " << k.key << " from page " << k.page;
    }
    app_test::PressFocused(VK_ESCAPE);
  });
}

// Enter on the Options button opens the dialog on its key-down; its
// release then reaches the dialog's focused control and changes nothing.
TEST_F(OptionsDialog, TheReleaseOfTheEnterThatOpenedItChangesNoSetting) {
  WithDialog([&](app::TfrmOptions& d) { d.bOK.OnClick(); });
  const std::string iniBefore = ReadBytes(app_test::OptionsFile());
  const std::wstring runBefore = RunValue();
  WithDialog([&](app::TfrmOptions& d) {
    ::PostMessageW(::GetFocus(), WM_KEYUP, VK_RETURN, 0xC0000001);
    Pump(30);
    d.bOK.OnClick();
  });
  EXPECT_EQ(RunValue(), runBefore);
  EXPECT_EQ(ReadBytes(app_test::OptionsFile()), iniBefore);
}

TEST_F(OptionsDialog, KeyCaptureShowsStoresAndSwallowsTheKeys) {
  WithDialog([&](app::TfrmOptions& d) {
    struct Case {
      UINT key;
      std::initializer_list<BYTE> held;
      const wchar_t* text;
      int code;
    } cases[] = {
        {VK_DELETE, {}, L"Del", 46},
        {VK_DELETE, {VK_CONTROL}, L"Ctrl  Del", 46},
        {'A', {}, L"A", 65},  // the typed "a" does not follow
        {VK_MENU, {VK_MENU}, L"Alt  ", 0},
        {VK_VOLUME_UP, {VK_CONTROL}, L"", 0},
        {VK_F5, {VK_CONTROL, VK_SHIFT}, L"Ctrl  Shift  F5", 116},
    };
    for (const Case& c : cases) {
      Press(d, c.key, c.held);
      EXPECT_EQ(d.eHide.Text(), c.text) << c.key;
      EXPECT_EQ(d.OptionsCopy().Record().Hotkey.CharAscII, c.code) << c.key;
    }
    d.skRadioButton1.SetChecked(false);
    d.skRadioButton2.SetChecked(true);
    d.bOK.OnClick();
  });
  EXPECT_TRUE(boxes.empty());
  const core::TShortcut& k = core::OptionsSetting.Hotkey;
  EXPECT_TRUE(core::OptionsSetting.EnableHotkey);
  EXPECT_TRUE(k.IsCtrl);
  EXPECT_TRUE(k.IsShift);
  EXPECT_FALSE(k.IsAlt);
  EXPECT_EQ(k.CharString, L"F5");
  EXPECT_EQ(k.CharAscII, 116);
  std::string ini = ReadBytes(app_test::OptionsFile());
  for (const char* line : {"EnableHotkey=1", "IsCtrl=1", "IsShift=1", "IsAlt=0", "CharString=F5", "CharAscII=116"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;
  // OK registered the new key with the main window; it goes with the window.
  EXPECT_NE(::GlobalFindAtomW(L"MyQRVTHotkey_Hide"), 0);
  form.UnregisterBossKey();
  EXPECT_EQ(::GlobalFindAtomW(L"MyQRVTHotkey_Hide"), 0);
}

TEST_F(OptionsDialog, AddToIgnoreListAcceptsOnlyARegistryRoot) {
  app::TfrmRegAddRegistry add;
  ASSERT_TRUE(add.CreateForm(form.Handle(), L""));
  // The area below the skinned title bar keeps the dialog's size.
  RECT c{};
  ::GetClientRect(add.pnlForm.Handle(), &c);
  EXPECT_EQ(c.right, 392);
  EXPECT_EQ(c.bottom, 193);
  EXPECT_EQ(::GetWindowLongPtrW(add.Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(add.Text(), L"Add to Ignore List");
  struct {
    const wchar_t* text;
    bool enabled;
  } cases[] = {{L"", false}, {L"Software\\Microsoft", false}, {L"HKEY_CURRENT_USER\\Software", true},
               {L"hkey_local_machine\\x", true}, {L"HKEY", false}, {L"my HkEy_thing", true}};
  for (const auto& k : cases) {
    add.eRegistryKey.SetText(k.text);
    EXPECT_EQ(add.bOK.Enabled(), k.enabled) << k.text;
  }
}

// Clicks on the "Add to Ignore List" dialog once it is shown: types `text`,
// then presses its OK (or Cancel) button.
void AnswerAddDialog(ui::Timer& timer, const std::wstring& text, bool ok) {
  timer.SetInterval(30);
  timer.OnTimer = [&timer, text, ok] {
    HWND h = ::FindWindowW(app::kRegAddRegistryClass, nullptr);
    if (h == nullptr || !::IsWindowVisible(h)) return;
    timer.SetEnabled(false);
    auto* add = static_cast<app::TfrmRegAddRegistry*>(reinterpret_cast<ui::Window*>(::GetWindowLongPtrW(h, GWLP_USERDATA)));
    add->eRegistryKey.SetText(text);
    (ok ? add->bOK : add->bCancel).Send(BM_CLICK);
  };
  timer.SetEnabled(true);
}

TEST_F(OptionsDialog, TheAddDialogGivesItsTextOnOkAndNothingOnCancel) {
  WithDialog([&](app::TfrmOptions& d) {
    ui::Timer answer;
    std::wstring text = L"keep me";
    AnswerAddDialog(answer, L"HKEY_CURRENT_USER\\Software\\Typed", true);
    EXPECT_TRUE(app::TfrmRegAddRegistry::Execute(d.Handle(), &text));
    EXPECT_EQ(text, L"HKEY_CURRENT_USER\\Software\\Typed");
    AnswerAddDialog(answer, L"HKEY_CURRENT_USER\\Other", false);
    EXPECT_FALSE(app::TfrmRegAddRegistry::Execute(d.Handle(), &text));
    EXPECT_EQ(text, L"HKEY_CURRENT_USER\\Software\\Typed");
    d.bCancel.Send(BM_CLICK);
  });
}

TEST_F(OptionsDialog, TheAddDialogAnswersEnterAndEscape) {
  const struct {
    WPARAM key;
    bool ok;
  } cases[] = {{VK_RETURN, true}, {VK_ESCAPE, false}};
  for (const auto& c : cases) {
    std::wstring text = L"HKEY_CURRENT_USER\\Software\\Keyed";
    testing_support::KeyPresser press(app::kRegAddRegistryClass, c.key);
    EXPECT_EQ(app::TfrmRegAddRegistry::Execute(form.Handle(), &text), c.ok) << "key " << c.key;
    EXPECT_TRUE(press.Pressed());
  }
}

TEST_F(OptionsDialog, IgnoreListsReachTheRecordAndTheFileOnlyThroughOk) {
  WithDialog([&](app::TfrmOptions& d) {
    entryAnswers = {L"HKEY_CURRENT_USER\\Software\\A", L"HKEY_CURRENT_USER\\Software\\B"};
    d.bAddClick();
    d.bAddClick();
    d.skPageControl2.SetActivePage(1);
    entryAnswers = {L"HKEY_LOCAL_MACHINE\\Software\\K"};
    d.bAddClick();
    d.skPageControl2.SetActivePage(0);
    d.lvValues.SetChecked(0, true);
    d.bRemoveClick();
    EXPECT_TRUE(core::OptionsSetting.IgnoreValueList->empty()) << "nothing reaches the record before OK";
    d.bOK.OnClick();
  });
  EXPECT_EQ(*core::OptionsSetting.IgnoreValueList, std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\B"});
  EXPECT_EQ(*core::OptionsSetting.IgnoreKeyList, std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE\\Software\\K"});
  EXPECT_EQ(core::OptionsSetting.IgnoreValueCount, 1);
  std::string ini = ReadBytes(app_test::OptionsFile());
  EXPECT_NE(ini.find("Value1=HKEY_CURRENT_USER\\Software\\B"), std::string::npos);
  EXPECT_NE(ini.find("Key1=HKEY_LOCAL_MACHINE\\Software\\K"), std::string::npos);
}

TEST_F(OptionsDialog, CookiesToKeepRoundTripThroughCookiesDat) {
  WriteBytes(cookies + L"a.txt", "id\n1\nexample.com/\n");
  WriteBytes(cookies + L"b.txt", "id\n1\nkept.net/\n");
  WriteBytes(data + L"Cookies.dat", "[Cookies to Keep]\r\nCount=1\r\n0=kept.net\r\n");
  WithDialog([&](app::TfrmOptions& d) {
    ASSERT_EQ(d.ListBox1.Items(), std::vector<std::wstring>{L"example.com"});
    ASSERT_EQ(d.ListBox2.Items(), std::vector<std::wstring>{L"kept.net"});
    d.ListBox1.SetItemIndex(0);
    d.bAddCookiesClick();
    d.ListBox2.SetItemIndex(0);
    d.bRemoveCookiesClick();
    EXPECT_EQ(d.ListBox1.Items(), std::vector<std::wstring>{L"kept.net"});
    EXPECT_EQ(d.ListBox1.ItemIndex(), 0);
    EXPECT_EQ(d.ListBox2.Items(), std::vector<std::wstring>{L"example.com"});
    d.bOK.OnClick();
  });
  std::string dat = ReadBytes(data + L"Cookies.dat");
  EXPECT_NE(dat.find("Count=1"), std::string::npos) << dat;
  EXPECT_NE(dat.find("0=example.com"), std::string::npos) << dat;
  WithDialog([&](app::TfrmOptions& d) {
    EXPECT_EQ(d.ListBox2.Items(), std::vector<std::wstring>{L"example.com"});
    EXPECT_EQ(d.ListBox1.Items(), std::vector<std::wstring>{L"kept.net"});
    d.bRemoveAllClick();
    d.bOK.OnClick();
  });
  EXPECT_NE(ReadBytes(data + L"Cookies.dat").find("Count=0"), std::string::npos);
}

TEST_F(OptionsDialog, AMissingBackupFolderIsMadeOnlyWhenItIsTheDefault) {
  WithDialog([&](app::TfrmOptions& d) {
    d.skPageControl1.SetActivePage(2);
    d.eOutputFolder.SetText(data + L"NoSuchFolder");
    d.bOK.OnClick();
    EXPECT_EQ(d.ModalResult(), 0);
    EXPECT_EQ(d.skPageControl1.ActivePageIndex(), 0);
    d.eOutputFolder.SetText(data + L"NewBackup");
    d.bOK.OnClick();
  });
  EXPECT_EQ(boxes, std::vector<std::wstring>{data + L"NoSuchFolder,can not find the backup folder."});
  DWORD a = ::GetFileAttributesW((data + L"NewBackup").c_str());
  EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(core::OptionsSetting.OutputDirectory, data + L"NewBackup");
}

}  // namespace

namespace {

// Saves what a visible window shows as a .bmp in the build folder, for a
// person to look at the dressed dialog.
void SaveShot(HWND window, const std::string& name) {
  RECT r{};
  ::GetWindowRect(window, &r);
  const std::vector<DWORD> pixels = Look(window);
  BITMAPINFOHEADER info = {sizeof(BITMAPINFOHEADER), r.right - r.left, -(r.bottom - r.top), 1, 32, BI_RGB};
  const DWORD size = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + size;
  const char* dir = std::getenv("VANTOREL_BUILD_DIR");
  const std::string path = (dir != nullptr ? "Z:" + std::string(dir) : std::string(".")) + "/" + name + ".bmp";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof(file), 1, f);
    std::fwrite(&info, sizeof(info), 1, f);
    std::fwrite(pixels.data(), 1, size, f);
    std::fclose(f);
  }
}

}  // namespace

// Each page of the dialog in its skinned dress: the WinXP page is white where
// a plain one would be grey. Also saved for a person to look at.
TEST_F(OptionsDialog, ThePagesAreDrawnSkinned) {
  WithDialog([&](app::TfrmOptions& d) {
    for (int page = 0; page < d.skPageControl1.PageCount(); ++page) {
      d.skPageControl1.SetActivePage(page);
      Pump(100);
      ::UpdateWindow(d.Handle());
      const skin::TskTabSheet* sheet = d.skPageControl1.Page(page);
      ASSERT_NE(sheet, nullptr);
      EXPECT_TRUE(sheet->Visible()) << page;
      int all = 0;
      const int white = app_test::PixelsShown(sheet->Handle(), [](COLORREF c) { return c == RGB(255, 255, 255); }, 3, &all);
      EXPECT_GT(white * 2, all) << page;
      SaveShot(d.Handle(), "options_page_" + std::to_string(page));
    }
    EXPECT_EQ(5, d.skPageControl1.PageCount());
    EXPECT_EQ(2, d.skPageControl2.PageCount());
    d.bCancel.OnClick();
  });
}

namespace {

// Counts the windows whose component publishes a style; keeps the class
// names of those not in WinXP.
BOOL CALLBACK SurveyStyle(HWND window, LPARAM param) {
  auto* survey = reinterpret_cast<std::pair<int, std::vector<std::string>>*>(param);
  const skin::Component* c = skin::ComponentOfWindow(window);
  if (!skin::HasPublishedProperty(c, "UIStyle")) return TRUE;
  ++survey->first;
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  if (std::get<skin::TskUIStyle>(skin::GetPropertyByName(*c, "UIStyle")) != skin::WinXP) survey->second.push_back(name);
  return TRUE;
}

TEST_F(OptionsDialog, EveryStyledControlWearsWinXP) {
  WithDialog([&](app::TfrmOptions& d) {
    std::pair<int, std::vector<std::string>> survey;
    ::EnumChildWindows(d.Handle(), &SurveyStyle, reinterpret_cast<LPARAM>(&survey));
    EXPECT_GE(survey.first, 20) << "tabs, pages, lists, the combo box, groups and boxes";
    EXPECT_TRUE(survey.second.empty()) << testing::PrintToString(survey.second);
    d.bCancel.OnClick();
  });
}

}  // namespace
