// Messages between the skinned frame, its title bar and an MDI main form.
#pragma once
#include <windows.h>

namespace skin {

// Sent by a title bar to its form; the frame answers the width of the left
// border the bar must leave free.
constexpr UINT SK_GETBORDERWIDTH = 9923;
// Sent by a frame on an MDI child to the main form: the thickness of the
// child's system frame at the bottom and at the side. Nothing in this
// program answers them; a main form that wants to may.
constexpr UINT SK_MDIFRAMEBOTTOM = 0x87D0;
constexpr UINT SK_MDIFRAMESIDE = 0x87D1;

}  // namespace skin
