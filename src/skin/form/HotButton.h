// The hot (mouse-over) button of a bar of buttons: the title bar's caption
// buttons and the menu bar's items follow the mouse the same way.
#pragma once
#include <windows.h>

namespace skin {

// Follows the mouse at `pt` (bar coordinates; x < 0 once it has left `bar`)
// with button `hit` under it (-1: none). While the mouse is over the bar,
// Windows is asked for the leave notice, so no button stays hot after the
// mouse has gone. True when `hot` changed, and the bar wants repainting.
bool FollowMouse(HWND bar, POINT pt, int hit, int& hot);

}  // namespace skin
