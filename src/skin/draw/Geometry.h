// Text shortening, point and rectangle tests, control placement, the desktop
// work area and whether a form's caption is drawn active.
#pragma once
#include <windows.h>

#include <string>

namespace ui {
class Control;
}

namespace skin {

// The width of Text in the canvas's font.
int TextWidth(HDC Canvas, const std::wstring& Text);
// Text when it fits MaxWidth on the canvas; else the shortest "first i
// characters..." at least MaxWidth wide; the text itself when none is.
void EllipsizeText(HDC Canvas, const std::wstring& Text, int MaxWidth, std::wstring& Result);

// All four edges inclusive.
bool PointInRect(int X, int Y, const RECT& Rect);
bool RectContainsPoint(const POINT& Point, const RECT& Rect);

void PlaceControlAt(ui::Control& Control, const POINT& Point);
void PlaceControlInRect(ui::Control& Control, const RECT& Rect);

// The work area of the monitor nearest the main form, or the system's work
// area without one.
void GetDesktopWorkArea(HWND MainForm, RECT& Rect);

// Whether `Form`'s caption is drawn active, given the application's main form
// (nullptr when there is none).
bool IsFormActive(HWND Form, HWND MainForm);

// Whether the system's locale reads right to left (a Middle-East system).
bool SystemReadsRightToLeft();
// Tests state the answer: 1 or 0; -1 asks the system again.
void SetSystemReadsRightToLeft(int Answer);
// A window laid out right to left: its style asks for right-to-left reading
// and the system reads right to left.
bool ReadsRightToLeft(HWND Window);

// The zero-terminated text as a string; empty for a null or empty text.
void StringFromPChar(const wchar_t* Text, std::wstring& Result);

}  // namespace skin
