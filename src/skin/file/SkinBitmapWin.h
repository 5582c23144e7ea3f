// Skin pictures as Win32 bitmaps for drawing.
#pragma once
#include <windows.h>

#include "skin/file/SkinBitmap.h"

namespace skin {

// A new 32-bit top-down DIB section holding the image; the caller owns it.
// nullptr for an empty image or when the system refuses.
HBITMAP CreateSkinHBitmap(const SkinImage& image);

}  // namespace skin
