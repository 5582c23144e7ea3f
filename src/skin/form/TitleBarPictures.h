// The built-in pictures of the title bar, with plain stand-ins drawn in
// system colours when a theme picture is missing.
#pragma once
#include "skin/draw/Bitmap.h"
#include "skin/form/TitleBar.h"

namespace skin {

// Built-in item 10, 11 or 12 (title left, client, right) of `style`.
void LoadTitleSectionPicture(TskUIStyle style, int item, Bitmap& picture);
// Cell `cell` (1-based) of the 18 cells of the caption-button strip.
void LoadTitleButtonCell(TskUIStyle style, int cell, Bitmap& picture);
// The normal, mouse-on and mouse-down cells of a button type; false for
// skCustom, whose pictures are its own.
bool TitleButtonCells(TskTitleBarBtnType type, bool maximized, int cells[3]);

}  // namespace skin
