// Shows a window's plain popup menu as a themed, owner-drawn one.
#pragma once
#include "skin/theme/UIStyle.h"
#include "ui/Menu.h"

namespace skin {

// From now on `Menu` pops up drawn in `Style`, with the same items, the same
// enabled states (asked at each showing) and the same actions.
void DressPopupMenu(ui::PopupMenu& Menu, TskUIStyle Style);

}  // namespace skin
