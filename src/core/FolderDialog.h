// The shell's folder browser, centred on the screen.
#pragma once
#include <windows.h>

#include <string>

namespace core {

class IFolderBrowser {
 public:
  virtual ~IFolderBrowser() = default;
  // Asks the user for a folder below `root` (the desktop when empty); true and
  // the chosen path in *chosen when one was picked.
  virtual bool Browse(const std::wstring& caption, const std::wstring& root, std::wstring* chosen) = 0;
};

// Replaces the browser (not owned; tests answer for the user); null restores
// the shell's. Returns the previous one.
IFolderBrowser* SetFolderBrowser(IFolderBrowser* browser);

// The shell's folder browser, modal over the application's windows.
bool ShellBrowseForFolder(const std::wstring& caption, const std::wstring& root, std::wstring* chosen);

// Directory is emptied first when it names no existing folder; it receives
// the chosen folder and the result is true, or it is kept on cancel.
bool SelectDirectory(const std::wstring& Caption, const std::wstring& Root, std::wstring& Directory);

// The folder browser's callback: centres the dialog once it is initialised.
int CALLBACK CenterBrowseDialogProc(HWND wnd, UINT msg, LPARAM param, LPARAM data);
// Top-left corner that centres a client area of the given size on the screen.
POINT CenteredOrigin(int screenWidth, int screenHeight, int clientWidth, int clientHeight);

}  // namespace core
