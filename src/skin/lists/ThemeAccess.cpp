#include "skin/lists/ThemeAccess.h"

#include "skin/draw/Fills.h"
#include "skin/draw/Strips.h"
#include "skin/file/SkinBitmapWin.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

bool FileThemeBitmap(const TskFileTheme* Theme, int N, Bitmap& Dest, int Count, int Index) {
  if (Theme == nullptr) return false;
  const SkinImage* image = Theme->GetBitmap(N);
  if (image == nullptr || image->width <= 0 || image->height <= 0) return false;
  HBITMAP handle = CreateSkinHBitmap(*image);
  if (handle == nullptr) return false;
  Bitmap whole;
  bool ok = whole.CopyFrom(handle);
  ::DeleteObject(handle);
  if (!ok) return false;
  if (Count == 0) {
    Dest.Swap(whole);
    return true;
  }
  return CutBitmapPart(whole, Dest, Count, Index);
}

COLORREF FileThemeColor(const TskFileTheme* Theme, int N, COLORREF Fallback) {
  if (Theme == nullptr) return Fallback;
  int colour = Theme->GetColor(N);
  return colour < 0 ? Fallback : static_cast<COLORREF>(colour);
}

COLORREF ThemeLook::Color(int FileIndex, int SysFallback, int BuiltinItem) const {
  if (FromFile()) return FileThemeColor(Theme, FileIndex, ::GetSysColor(SysFallback));
  return GetBuiltinThemeColor(Style, BuiltinItem);
}

ThemeLook ResolveLook(const TskFileTheme* Theme, TskUIStyle UIStyle) {
  ThemeLook look;
  if (ResolveFileTheme(Theme, UIStyle, look.Style)) look.Theme = Theme;
  return look;
}

void MakePlainTab(Bitmap& Dest, int Height, COLORREF Face, COLORREF Edge) {
  Dest.SetSize(9, Height);
  Dest.Fill(ColorToRGB(Face));
  COLORREF edge = ColorToRGB(Edge);
  for (int y = 0; y < Height; ++y) {
    Dest.SetPixel(0, y, edge);
    Dest.SetPixel(8, y, edge);
  }
  for (int x = 0; x < 9; ++x) Dest.SetPixel(x, 0, edge);
}

void MakePlainTabLine(Bitmap& Dest, COLORREF Edge) {
  Dest.SetSize(3, 3);
  Dest.Fill(ColorToRGB(::GetSysColor(COLOR_BTNFACE)));
  for (int x = 0; x < 3; ++x) Dest.SetPixel(x, 0, ColorToRGB(Edge));
}

void MakePlainScrollButtons(Bitmap& Dest, int Cell) {
  Dest.SetSize(Cell * 4, Cell);
  const UINT kinds[4] = {DFCS_SCROLLRIGHT, DFCS_SCROLLRIGHT | DFCS_HOT, DFCS_SCROLLLEFT, DFCS_SCROLLLEFT | DFCS_HOT};
  for (int i = 0; i < 4; ++i) {
    RECT r{i * Cell, 0, (i + 1) * Cell, Cell};
    ::DrawFrameControl(Dest.Canvas(), &r, DFC_SCROLL, kinds[i]);
  }
}

}  // namespace skin
