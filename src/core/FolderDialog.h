// The shell's folder browser, centred on the screen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace core {

// Asks the user for a folder below `root` (the desktop when empty); true and
// the chosen path in *chosen when one was picked.
using FolderBrowser =
    std::function<bool(const std::wstring& caption, const std::wstring& root, std::wstring* chosen)>;

// Replaces the browser (tests answer for the user); an empty one restores the
// shell's. Returns the previous one.
FolderBrowser SetFolderBrowser(FolderBrowser browser);

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
