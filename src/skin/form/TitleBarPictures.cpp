#include "skin/form/TitleBarPictures.h"

#include "skin/draw/Fills.h"
#include "skin/theme/BuiltinTheme.h"

namespace skin {
namespace {

constexpr int kTitleButtonCells = 18;

SIZE PictureSizeOr(TskUIStyle style, int item, SIZE fallback) {
  SIZE s = BuiltinThemePictureSize(style, item);
  return s.cx > 0 && s.cy > 0 ? s : fallback;
}

// A caption-coloured gradient of the size the theme picture would have.
void PlainSection(TskUIStyle style, int item, Bitmap& picture) {
  SIZE s = PictureSizeOr(style, item, SIZE{item == 11 ? 1 : 8, 26});
  picture.SetSize(s.cx, s.cy);
  RECT r{0, 0, s.cx, s.cy};
  FillGradientVertical(picture.Canvas(), r, ColorToRGB(0x80000000 | COLOR_GRADIENTACTIVECAPTION),
                       ColorToRGB(0x80000000 | COLOR_ACTIVECAPTION));
}

// The system's own caption button for the cell's type and state.
void PlainButton(TskUIStyle style, int cell, Bitmap& picture) {
  SIZE strip = PictureSizeOr(style, 5, SIZE{18 * 19, 19});
  int side = strip.cx / kTitleButtonCells;
  if (side > strip.cy) side = strip.cy;
  picture.SetSize(side, side);
  int type = (cell - 1) / 3, state = (cell - 1) % 3;
  static const UINT kKinds[] = {0, DFCS_CAPTIONHELP, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONMIN,
                                DFCS_CAPTIONCLOSE};
  RECT r{0, 0, side, side};
  if (type == 0) {  // the control box: a plain face
    picture.Fill(ColorToRGB(0x80000000 | COLOR_BTNFACE));
    return;
  }
  ::DrawFrameControl(picture.Canvas(), &r, DFC_CAPTION, kKinds[type] | (state == 2 ? DFCS_PUSHED : 0));
  if (state == 1) ::FrameRect(picture.Canvas(), &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
}

}  // namespace

void LoadTitleSectionPicture(TskUIStyle style, int item, Bitmap& picture) {
  if (!GetBuiltinThemeBitmap(style, item, &picture, 0, 0)) PlainSection(style, item, picture);
}

void LoadTitleButtonCell(TskUIStyle style, int cell, Bitmap& picture) {
  if (!GetBuiltinThemeBitmap(style, 5, &picture, kTitleButtonCells, cell)) PlainButton(style, cell, picture);
}

bool TitleButtonCells(TskTitleBarBtnType type, bool maximized, int cells[3]) {
  int first = 0;
  switch (type) {
    case skControlBox: first = 1; break;
    case skHelp: first = 4; break;
    case skMax: first = maximized ? 10 : 7; break;
    case skMin: first = 13; break;
    case skClose: first = 16; break;
    default: return false;
  }
  for (int i = 0; i < 3; ++i) cells[i] = first + i;
  return true;
}

}  // namespace skin
