// Every message box of the program goes through here, titled with the
// application title. Tests install their own answerer.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace ui {

// Receives the owner, the text and the MB_* flags; returns the IDYES/IDNO/IDOK answer.
using MessageBoxAnswerer = std::function<int(HWND owner, const std::wstring& text, UINT flags)>;

// Replaces the answerer; an empty one restores the real message box.
// Returns the previous one.
MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

int ShowMessage(HWND owner, const std::wstring& text, UINT flags);
// The same under a title of its own (an installed answerer sees the text only).
int ShowMessageTitled(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags);

// Conventions of the program: notices, errors, and Yes/No questions with No as default.
inline void ShowNotice(HWND owner, const std::wstring& text) { ShowMessage(owner, text, MB_OK | MB_ICONINFORMATION); }
inline void ShowError(HWND owner, const std::wstring& text) { ShowMessage(owner, text, MB_OK | MB_ICONERROR); }
inline bool AskYesNo(HWND owner, const std::wstring& text) {
  return ShowMessage(owner, text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace ui
