// The built-in themes: 48 items for each of the five built-in styles, and the
// look-ups the skinned controls read them through. An invalid style or an
// item outside 1..48 gives the "missing" value of each look-up.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/draw/Bitmap.h"
#include "skin/theme/UIStyle.h"

namespace skin {

constexpr int kBuiltinThemeItemCount = 48;

// Kind byte of an item, shared by all styles.
enum ThemeItemKind : std::uint8_t { tkInteger = 0, tkColour = 1, tkBitmap = 2, tkFlag = 3 };

// The entry of item 1..48 for style 1..5 (Style is taken modulo 128), with its
// kind; bitmap items give 0 here and their name through
// BuiltinThemeBitmapName. Any other style or item: Kind 0 and -1.
std::int32_t LookupBuiltinThemeItem(int Style, int Item, std::uint8_t& Kind);
// The bitmap resource name of a bitmap item; empty for any other item, an
// invalid style, or the three items with no picture (43, 45, 46).
std::wstring BuiltinThemeBitmapName(int Style, int Item);
// The size the built-in picture of a bitmap item has; {0, 0} when none.
SIZE BuiltinThemePictureSize(int Style, int Item);

// Loads the item's bitmap resource from `Module` (the program's own when
// nullptr) into Bitmap. False, and Bitmap untouched, when Bitmap is null, the
// item is no bitmap or the resource is missing.
bool LoadBuiltinThemeBitmap(int Style, int Item, Bitmap* Bitmap, HMODULE Module = nullptr);
// With Count 0 the whole picture; else cell Index (1-based) of Count.
bool GetBuiltinThemeBitmap(int Style, int Item, Bitmap* Bitmap, int Count, int Index, HMODULE Module = nullptr);

// The entry when the item has the kind asked for; else 0, -1 and false.
COLORREF GetBuiltinThemeColor(int Style, int Item);
int GetBuiltinThemeInteger(int Style, int Item);
bool GetBuiltinThemeBool(int Style, int Item);

}  // namespace skin
