#include "core/FolderDialog.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace core {
namespace {

IFolderBrowser*& CurrentBrowser() {
  static IFolderBrowser* browser = nullptr;
  return browser;
}

bool IsFolder(const std::wstring& path) {
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  return !path.empty() && attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The thread's other windows are disabled while the browser runs, and
// re-enabled afterwards, whatever the browser did.
class TaskWindowsDisabled {
 public:
  TaskWindowsDisabled() { ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this)); }
  ~TaskWindowsDisabled() {
    for (HWND w : disabled_) ::EnableWindow(w, TRUE);
  }
  TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
  TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND w, LPARAM self) {
    if (::IsWindowVisible(w) && ::IsWindowEnabled(w)) {
      ::EnableWindow(w, FALSE);
      reinterpret_cast<TaskWindowsDisabled*>(self)->disabled_.push_back(w);
    }
    return TRUE;
  }
  std::vector<HWND> disabled_;
};

// The item list of `root` as the desktop folder parses it, or null.
PIDLIST_ABSOLUTE ParseRoot(HWND owner, const std::wstring& root) {
  if (root.empty()) return nullptr;
  IShellFolder* desktop = nullptr;
  if (FAILED(::SHGetDesktopFolder(&desktop))) return nullptr;
  PIDLIST_RELATIVE items = nullptr;
  std::wstring name = root;
  if (FAILED(desktop->ParseDisplayName(owner, nullptr, name.data(), nullptr, &items, nullptr))) items = nullptr;
  desktop->Release();
  return reinterpret_cast<PIDLIST_ABSOLUTE>(items);
}

}  // namespace

IFolderBrowser* SetFolderBrowser(IFolderBrowser* browser) {
  IFolderBrowser* previous = CurrentBrowser();
  CurrentBrowser() = browser;
  return previous;
}

bool ShellBrowseForFolder(const std::wstring& caption, const std::wstring& root, std::wstring* chosen) {
  // The browser's tree and edit control need an apartment on this thread.
  HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND owner = ::GetActiveWindow();
  PIDLIST_ABSOLUTE rootItems = ParseRoot(owner, root);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = rootItems;
  info.pszDisplayName = display;
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &CenterBrowseDialogProc;
  PIDLIST_ABSOLUTE picked = nullptr;
  {
    TaskWindowsDisabled disabled;
    // An empty floppy or CD drive shows no system box while browsing.
    UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    picked = ::SHBrowseForFolderW(&info);
    ::SetErrorMode(oldMode);
  }
  bool ok = false;
  if (picked != nullptr) {
    wchar_t path[MAX_PATH] = {};
    ok = ::SHGetPathFromIDListW(picked, path) != FALSE;
    if (ok) *chosen = path;
    ::CoTaskMemFree(picked);
  }
  ::CoTaskMemFree(rootItems);
  if (SUCCEEDED(init)) ::CoUninitialize();
  return ok;
}

bool SelectDirectory(const std::wstring& Caption, const std::wstring& Root, std::wstring& Directory) {
  if (!IsFolder(Directory)) Directory.clear();
  IFolderBrowser* browser = CurrentBrowser();
  std::wstring chosen;
  bool picked = browser != nullptr ? browser->Browse(Caption, Root, &chosen) : ShellBrowseForFolder(Caption, Root, &chosen);
  if (picked) Directory = chosen;
  return picked;
}

POINT CenteredOrigin(int screenWidth, int screenHeight, int clientWidth, int clientHeight) {
  return POINT{(screenWidth - clientWidth) / 2, (screenHeight - clientHeight) / 2};
}

int CALLBACK CenterBrowseDialogProc(HWND wnd, UINT msg, LPARAM param, LPARAM data) {
  if (msg != BFFM_INITIALIZED) return 0;
  RECT client{};
  POINT at{0, 0};
  if (::GetClientRect(wnd, &client))
    at = CenteredOrigin(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), client.right - client.left,
                        client.bottom - client.top);
  ::SetWindowPos(wnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

}  // namespace core
