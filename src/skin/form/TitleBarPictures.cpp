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

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

// The glyph of a caption button type (1 help .. 5 close) inside `r`.
void DrawGlyph(HDC dc, int type, const RECT& r) {
  int l = r.left, t = r.top, w = r.right - r.left, h = r.bottom - r.top;
  switch (type) {
    case 1: {  // help
      RECT box = r;
      ::SetBkMode(dc, TRANSPARENT);
      ::DrawTextW(dc, L"?", 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      break;
    }
    case 2:  // maximise: a window
      ::Rectangle(dc, l, t, l + w, t + h);
      Line(dc, l, t + 1, l + w, t + 1);
      break;
    case 3:  // restore: two windows
      ::Rectangle(dc, l + w / 3, t, l + w, t + h * 2 / 3);
      ::Rectangle(dc, l, t + h / 3, l + w * 2 / 3, t + h);
      break;
    case 4:  // minimise: a bar at the bottom
      Line(dc, l, t + h - 1, l + w, t + h - 1);
      Line(dc, l, t + h - 2, l + w, t + h - 2);
      break;
    default:  // close: a cross
      Line(dc, l, t, l + w, t + h);
      Line(dc, l + 1, t, l + w, t + h - 1);
      Line(dc, l + w - 1, t, l - 1, t + h);
      Line(dc, l + w - 1, t + 1, l, t + h);
      break;
  }
}

// A plain face with a raised (or, pressed, sunken) edge and the type's glyph.
void PlainButton(TskUIStyle style, int cell, Bitmap& picture) {
  SIZE strip = PictureSizeOr(style, 5, SIZE{18 * 19, 19});
  int side = strip.cx / kTitleButtonCells;
  if (side > strip.cy) side = strip.cy;
  picture.SetSize(side, side);
  int type = (cell - 1) / 3, state = (cell - 1) % 3;
  HDC dc = picture.Canvas();
  picture.Fill(ColorToRGB(0x80000000 | (state == 1 ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE)));
  if (type == 0) return;  // the control box: a plain face
  RECT r{0, 0, side, side};
  ::DrawEdge(dc, &r, state == 2 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  int pad = side / 4 + (state == 2 ? 1 : 0);
  RECT glyph{pad, pad, side - side / 4 + (state == 2 ? 1 : 0), side - side / 4 + (state == 2 ? 1 : 0)};
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
  DrawGlyph(dc, type, glyph);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
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
