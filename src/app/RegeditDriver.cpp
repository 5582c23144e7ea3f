// Drives the registry editor to a key and value by keystrokes, as a user
// would: collapse to the top, type each key name, move right at each "\".
#include <windows.h>
#include <shellapi.h>

#include "app/RegeditDriver.h"

namespace app {
namespace {

HWND FindChild(HWND parent, const wchar_t* cls) { return ::FindWindowExW(parent, nullptr, cls, nullptr); }

void KeyDown(HWND h, WPARAM vk) { ::SendMessageW(h, WM_KEYDOWN, vk, 0); }

void TypeText(HWND h, const std::wstring& text, bool slashMovesRight) {
  for (wchar_t c : text) {
    if (slashMovesRight && c == L'\\') {
      KeyDown(h, VK_RIGHT);
      ::Sleep(10);
    } else {
      ::SendMessageW(h, WM_CHAR, c, 0);
    }
  }
}

}  // namespace

// The navigator the program uses; tests set their own.
void NavigateRegedit(const std::wstring& root, const std::wstring& key, const std::wstring& value) {
  if (key.empty()) return;
  std::wstring path = root + (key[0] == L'\\' ? L"" : L"\\") + key;
  HWND editor = ::FindWindowW(L"RegEdit_RegEdit", nullptr);
  if (editor == nullptr) {
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.lpVerb = L"open";
    sei.lpFile = L"regedit.exe";
    sei.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&sei) && sei.hProcess != nullptr) {
      ::WaitForInputIdle(sei.hProcess, 200);
      ::CloseHandle(sei.hProcess);
    }
    editor = ::FindWindowW(L"RegEdit_RegEdit", nullptr);
  }
  if (editor == nullptr) return;
  ::ShowWindow(editor, SW_SHOWMAXIMIZED);
  HWND tree = FindChild(editor, L"SysTreeView32");
  ::SetForegroundWindow(tree);
  for (int i = 0; i < 30; ++i) KeyDown(tree, VK_LEFT);
  ::Sleep(10);
  KeyDown(tree, VK_RIGHT);
  ::Sleep(10);
  TypeText(tree, path, true);
  HWND list = FindChild(editor, L"SysListView32");
  ::SetForegroundWindow(list);
  if (!value.empty()) {
    KeyDown(list, VK_DOWN);
    ::Sleep(10);
    TypeText(list, value, false);
  }
}

}  // namespace app
