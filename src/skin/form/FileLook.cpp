#include "skin/form/FileLook.h"

#include "skin/file/FileTheme.h"
#include "skin/file/SkinBitmapWin.h"

namespace skin {
namespace {

void AddRect(HRGN rgn, int l, int t, int r, int b) {
  if (r <= l || b <= t) return;
  HRGN part = ::CreateRectRgn(l, t, r, b);
  ::CombineRgn(rgn, rgn, part, RGN_OR);
  ::DeleteObject(part);
}

// Adds image rows at `offset` down: whole rows before `first`, runs of the
// scanned rows, whole rows after them.
void AddScannedImage(HRGN rgn, const Bitmap& img, int offset, int width, int first, int last, COLORREF transparent) {
  int h = img.Height();
  if (first > 0) AddRect(rgn, 0, offset, width, offset + first);
  int start = first < 0 ? 0 : first;
  int end = first >= last ? h - 1 : last;
  if (end > h - 1) end = h - 1;
  for (int y = start; y <= end; ++y) {
    int runStart = -1;
    for (int x = 0; x < img.Width(); ++x) {
      bool solid = img.Pixel(x, y) != transparent;
      if (solid && runStart < 0) runStart = x;
      bool ends = runStart >= 0 && (!solid || x == img.Width() - 1);
      if (!ends) continue;
      AddRect(rgn, runStart, offset + y, solid ? x + 1 : x, offset + y + 1);
      runStart = -1;
    }
  }
  AddRect(rgn, 0, offset + end + 1, width, offset + h);
}

}  // namespace

bool FileThemeBitmap(const TskFileTheme& Theme, int N, Bitmap& Dest, int Count, int Index) {
  SkinImage image;
  Theme.AssignBitmap(N, image, Count, Index);
  Dest.Clear();
  if (image.width <= 0 || image.height <= 0) return false;
  HBITMAP h = CreateSkinHBitmap(image);
  if (h == nullptr) return false;
  bool ok = Dest.CopyFrom(h);
  ::DeleteObject(h);
  return ok;
}

HRGN BuildSkinWindowRegion(const Bitmap* Top, const Bitmap* Bottom, int Width, int Height, COLORREF Transparent,
                           int BottomLast, int BottomFirst, int TopLast, int TopFirst, bool UseBottom, bool UseTop) {
  HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
  bool top = UseTop && Top != nullptr && !Top->Empty();
  bool bottom = UseBottom && Bottom != nullptr && !Bottom->Empty();
  int topH = top ? Top->Height() : 0;
  int bottomH = bottom ? Bottom->Height() : 0;
  if (top) AddScannedImage(rgn, *Top, 0, Width, TopFirst, TopLast, Transparent);
  AddRect(rgn, 0, topH, Width, Height - bottomH);
  if (bottom) AddScannedImage(rgn, *Bottom, Height - bottomH, Width, BottomFirst, BottomLast, Transparent);
  return rgn;
}

void SetSkinWindowRegion(HWND Window, const Bitmap* Top, const Bitmap* Bottom, int Width, int Height,
                         COLORREF Transparent, int BottomLast, int BottomFirst, int TopLast, int TopFirst,
                         bool UseBottom, bool UseTop) {
  HRGN rgn = BuildSkinWindowRegion(Top, Bottom, Width, Height, Transparent, BottomLast, BottomFirst, TopLast, TopFirst,
                                   UseBottom, UseTop);
  if (!::SetWindowRgn(Window, rgn, TRUE)) ::DeleteObject(rgn);
}

}  // namespace skin
