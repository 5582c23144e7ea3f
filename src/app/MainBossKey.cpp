// The boss key (hides and shows browser windows) and the two timers.
#include <algorithm>

#include "app/Main.h"
#include "app/RegistryRows.h"
#include "ui/MessageBox.h"

namespace app {
namespace {

const wchar_t kAtomName[] = L"MyQRVTHotkey_Hide";
const wchar_t* const kBrowserClasses[] = {L"IEFrame", L"NS_AE_WindowClass", L"MozillaWindowClass",
                                          L"MozillaUIWindowClass", L"OpWindow"};

bool IsBrowserWindow(HWND h) {
  wchar_t cls[256] = {};
  ::GetClassNameW(h, cls, 256);
  for (const wchar_t* c : kBrowserClasses)
    if (::lstrcmpW(cls, c) == 0) return true;
  return false;
}

BOOL CALLBACK CollectVisibleBrowsers(HWND h, LPARAM l) {
  if (IsBrowserWindow(h) && ::IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
  return TRUE;
}

}  // namespace

void TfrmMain::RegisterBossKey() {
  const core::TShortcut& k = core::OptionsSetting.Hotkey;
  FHotkeyAtom = ::GlobalAddAtomW(kAtomName);
  UINT modifiers = (k.IsCtrl ? MOD_CONTROL : 0) | (k.IsShift ? MOD_SHIFT : 0) | (k.IsAlt ? MOD_ALT : 0);
  if (FHotkeyAtom == 0 || !::RegisterHotKey(hwnd_, FHotkeyAtom, modifiers, k.CharAscII))
    ui::ShowMessage(::GetActiveWindow(), L"The hotkey for Boss Key failed, please try to use other key!",
                    MB_OK | MB_ICONERROR);
}

void TfrmMain::UnregisterBossKey() {
  ATOM atom = ::GlobalFindAtomW(kAtomName);
  if (atom != 0) {
    ::UnregisterHotKey(hwnd_, atom);
    ::GlobalDeleteAtom(atom);
  }
  // Windows the key hid must not stay hidden once the key is gone.
  ShowHiddenBrowsers();
}

void TfrmMain::ShowHiddenBrowsers() {
  for (HWND h : hiddenBrowsers_)
    if (::IsWindow(h)) ::ShowWindow(h, SW_SHOW);
  hiddenBrowsers_.clear();
  FBrowsersHidden = false;
}

LRESULT TfrmMain::WMHotKey(WPARAM w) {
  if (static_cast<ATOM>(w) != FHotkeyAtom) return 0;
  if (FBrowsersHidden) {
    ShowHiddenBrowsers();
    return 0;
  }
  // Only windows that are visible now are hidden, and exactly those come back.
  hiddenBrowsers_.clear();
  ::EnumWindows(&CollectVisibleBrowsers, reinterpret_cast<LPARAM>(&hiddenBrowsers_));
  for (HWND h : hiddenBrowsers_) ::ShowWindow(h, SW_HIDE);
  FBrowsersHidden = true;
  return 0;
}

void TfrmMain::Timer1Timer() {
  Cleaner.Timer1Step();
  Registry.Timer1Step();
}

void TfrmMain::Timer2Timer() {
  // The automatic mode is committed by StartCleaner only if a run starts;
  // a test running now stays a test.
  StartCleaner(crAutoClean);
}

}  // namespace app
