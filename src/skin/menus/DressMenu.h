// Shows a window's plain popup menu as a themed, owner-drawn one.
#pragma once
#include "skin/theme/UIStyle.h"
#include "ui/Menu.h"

namespace skin {

class TskFileTheme;

// From now on `Menu` pops up drawn in `Style` (and `FileTheme`, which must
// outlive the dressing or be dressed over), with the same items, the same
// enabled states (asked at each showing) and the same actions.
void DressPopupMenu(ui::PopupMenu& Menu, TskUIStyle Style, TskFileTheme* FileTheme = nullptr);

}  // namespace skin
