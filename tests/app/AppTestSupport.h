// Shared by the main-window tests: a message pump and a fresh options file.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Main.h"
#include "app/RegeditDriver.h"
#include "ui/Application.h"
#include "ui/DialogKeys.h"
#include "support/Folders.h"
#include "support/TestSupport.h"
#include "ui/TreeView.h"

namespace app_test {

// Runs the thread's messages for `ms` milliseconds the way the program's loop
// does, dialog keys included (a quit message is dropped: closing a form in a
// test must not end the others).
inline void Pump(DWORD ms) {
  DWORD start = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      ui::DispatchWithDialogKeys(msg);
    }
    ::Sleep(5);
  } while (::GetTickCount() - start < ms);
}

// Presses `key` in the focused window, as the keyboard sends it, with `held`
// keys down meanwhile. The key goes up only after the character it typed was
// handled, as from a real keyboard.
inline void PressFocused(WPARAM key, std::initializer_list<BYTE> held = {}) {
  BYTE state[256] = {};
  for (BYTE k : held) state[k] = 0x80;
  ::SetKeyboardState(state);
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
  Pump(30);
  ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
  Pump(30);
  BYTE none[256] = {};
  ::SetKeyboardState(none);
}

template <typename Pred>
bool PumpUntil(Pred done, DWORD ms = 10000) {
  DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    Pump(10);
  }
  return true;
}

inline std::wstring OptionsFile() {
  wchar_t appData[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
  return std::wstring(appData) + L"\\Vantorel\\options.ini";
}

// Every test starts from the defaults, whatever an earlier one saved.
inline void ForgetOptions() { ::DeleteFileW(OptionsFile().c_str()); }

// The log `name` the unattended runs write beside options.ini.
inline std::wstring LogBesideOptions(const wchar_t* name) {
  const std::wstring ini = OptionsFile();
  return ini.substr(0, ini.rfind(L'\\') + 1) + name;
}

// Checks that that log says each of `phrases`.
inline void ExpectLogSays(const wchar_t* name, std::initializer_list<std::string> phrases) {
  const std::string log = testing_support::ReadBytes(LogBesideOptions(name));
  for (const std::string& p : phrases) EXPECT_NE(log.find(p), std::string::npos) << p << " not in:\n" << log;
}

// Runs the program with `args` from `folder` (a relative file name is taken
// from there) to its end, which it must reach by itself, and gives its exit code.
inline DWORD RunToItsEnd(const std::wstring& args, const std::wstring& folder) {
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ::SetCurrentDirectoryW(folder.c_str());
  testing_support::StartedProcess p;
  const bool started = p.Start(testing_support::ProgramPath(), args);
  ::SetCurrentDirectoryW(previous);
  DWORD code = 99;
  EXPECT_TRUE(started && p.WaitForExit(90000, &code)) << args << " did not end by itself";
  return code;
}

// A main window made from the default options and shown, on `page` when
// one is given.
inline bool OpenMainWindow(app::TfrmMain& form, skin::TFlatButton* page = nullptr) {
  ForgetOptions();
  ui::Application::Instance().Initialize();
  if (!form.CreateMain({})) return false;
  form.ShowMain();
  if (page != nullptr) form.FlatButtonClick(*page);
  Pump(100);
  return true;
}

inline void CloseMainWindow(app::TfrmMain& form) {
  if (::IsWindow(form.Handle())) ::DestroyWindow(form.Handle());
  Pump(50);
}

inline std::wstring TempPath(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  return temp + name;
}

// The label rectangle of a tree row (the message takes the row in the rectangle it fills).
inline bool TreeItemRect(ui::TreeView& tree, ui::TreeNode node, RECT* r) {
  std::memcpy(r, &node, sizeof(node));
  return tree.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(r)) != 0;
}

// `clicks` real left clicks at a point of `window`, through the input queue.
inline void ClickThroughInput(HWND window, POINT pt, int clicks = 1) {
  ::ClientToScreen(window, &pt);
  ::SetCursorPos(pt.x, pt.y);
  INPUT click[4] = {};
  for (int i = 0; i < 2 * clicks; ++i) {
    click[i].type = INPUT_MOUSE;
    click[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  ::SendInput(2 * clicks, click, sizeof(INPUT));
}

// How many pixels the screen shows inside `window` that `match`, looking at
// every `step`th one each way; `all` receives how many were looked at.
template <typename Match>
int PixelsShown(HWND window, Match match, int step = 1, int* all = nullptr) {
  RECT r{};
  ::GetClientRect(window, &r);
  HDC dc = ::GetDC(window);
  int hits = 0, seen = 0;
  for (int y = 0; y < r.bottom; y += step)
    for (int x = 0; x < r.right; x += step, ++seen) hits += match(::GetPixel(dc, x, y)) ? 1 : 0;
  ::ReleaseDC(window, dc);
  if (all != nullptr) *all = seen;
  return hits;
}

// Records what the registry editor was asked to show: "root|key|value".
struct NavigatorRecorder : app::IRegeditNavigator {
  std::vector<std::wstring> opened;
  void Navigate(const std::wstring& root, const std::wstring& key, const std::wstring& value) override {
    opened.push_back(root + L"|" + key + L"|" + value);
  }
};

}  // namespace app_test
