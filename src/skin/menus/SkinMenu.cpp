#include "skin/menus/SkinMenu.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "skin/draw/Bitmap.h"
#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/Strips.h"
#include "skin/lists/FileThemeLink.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

namespace {

bool StretchTopRows(HDC canvas, const RECT& rect, const wchar_t* name, int rows) {
  Bitmap picture;
  if (!picture.LoadFromResource(::GetModuleHandleW(nullptr), name)) return false;
  picture.SetHeight(std::min(rows, picture.Height()));
  return StretchDrawBitmap(picture, canvas, rect);
}

// The caption without its "&" marks ("&&" stands for one "&"), and the
// index of the letter the first mark underlines; -1 for none.
std::wstring StripPrefix(const std::wstring& caption, int* prefix) {
  std::wstring text;
  *prefix = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&') {
      if (++i == caption.size()) break;
      if (caption[i] != L'&' && *prefix < 0) *prefix = static_cast<int>(text.size());
    }
    text += caption[i];
  }
  return text;
}

// One line, centred in height, left or right aligned and clipped to `r`,
// with the letter after "&" underlined. Wine's DrawText places that line by
// the font's measured advances but draws a blank of the menu font narrower,
// so after a blank the line slid right under the next letters; here the
// letters are placed by the very advances that place the line.
void DrawCaptionLine(HDC dc, const std::wstring& caption, const RECT& r, bool alignRight) {
  int prefix = -1;
  const std::wstring text = StripPrefix(caption, &prefix);
  const int n = static_cast<int>(text.size());
  if (n == 0) return;
  std::vector<INT> ends(static_cast<size_t>(n)), advances(static_cast<size_t>(n));
  SIZE size{};
  if (!::GetTextExtentExPointW(dc, text.c_str(), n, 0, nullptr, ends.data(), &size)) return;
  for (int i = 0; i < n; ++i) advances[static_cast<size_t>(i)] = ends[static_cast<size_t>(i)] - (i > 0 ? ends[static_cast<size_t>(i - 1)] : 0);
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  const int x = alignRight ? r.right - size.cx : r.left;
  const int y = r.top + (r.bottom - r.top - tm.tmHeight) / 2;
  ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(n), advances.data());
  if (prefix < 0) return;
  const int from = x + (prefix > 0 ? ends[static_cast<size_t>(prefix - 1)] : 0);
  RECT line{from, y + tm.tmAscent + 1, x + ends[static_cast<size_t>(prefix)] - 1, y + tm.tmAscent + 2};
  RECT clipped{};
  if (::IntersectRect(&clipped, &line, &r)) FillRectColor(dc, clipped, ::GetTextColor(dc));
}

}  // namespace

void SetMenuItemOwnerDraw(TskMenuItem& Item, const MenuMeasureHandler& Measure, const MenuDrawHandler& Draw) {
  Item.OnMeasureItem = Measure;
  Item.OnDrawItem = Draw;
  for (TskMenuItem& sub : Item.Items) SetMenuItemOwnerDraw(sub, Measure, Draw);
}

void DrawMenuSeparator(HDC Canvas, const RECT& Rect, COLORREF Colour, bool BarAtLeft, int BarWidth) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(Colour));
  HGDIOBJ old = ::SelectObject(Canvas, pen);
  const int y = Rect.top + 2;
  if (BarAtLeft) {
    ::MoveToEx(Canvas, Rect.left + BarWidth + 4, y, nullptr);
    ::LineTo(Canvas, Rect.right - 2, y);
  } else {
    ::MoveToEx(Canvas, Rect.left + 2, y, nullptr);
    ::LineTo(Canvas, Rect.right - BarWidth - 4, y);
  }
  ::SelectObject(Canvas, old);
  ::DeleteObject(pen);
}

bool DrawMacOSMenuBarBackground(HDC Canvas, const RECT& Rect) { return StretchTopRows(Canvas, Rect, L"MACOS_MENU_BAR", 12); }
bool DrawMacOSMenuSelection(HDC Canvas, const RECT& Rect) { return StretchTopRows(Canvas, Rect, L"MACOS_MENU_SELECT", 20); }
bool DrawMacOSMenuBarItem(HDC Canvas, const RECT& Rect) { return StretchTopRows(Canvas, Rect, L"MACOS_MENU_BAR", 20); }

void DrawMenuWindowBorder(HWND Window, COLORREF BorderColour, COLORREF LineColour) {
  RECT R{};
  ::GetWindowRect(Window, &R);
  ::OffsetRect(&R, -R.left, -R.top);
  HDC dc = ::GetWindowDC(Window);
  if (dc == nullptr) return;
  FrameRectColor(dc, RECT{R.left, R.top + 1, R.right - 1, R.bottom - 1}, BorderColour);
  FrameRectColor(dc, RECT{R.left + 1, R.top + 2, R.right - 2, R.bottom - 2}, RGB(255, 255, 255));
  HPEN pen = ::CreatePen(PS_SOLID, 1, ColorToRGB(LineColour));
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, R.left, R.bottom - 1, nullptr);
  ::LineTo(dc, R.right - 1, R.bottom - 1);
  ::LineTo(dc, R.right - 1, R.top);
  ::LineTo(dc, R.right, R.top);
  ::MoveToEx(dc, R.right - 1, R.top, nullptr);
  ::LineTo(dc, R.left, R.top);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
  ::ReleaseDC(Window, dc);
}

UINT NonClientMetricsSize(DWORD MajorVersion) {
  return MajorVersion < 6 ? static_cast<UINT>(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth))
                          : static_cast<UINT>(sizeof(NONCLIENTMETRICSW));
}

bool GetSystemMenuFont(LOGFONTW& Font) {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!::GetVersionExW(&version)) version.dwMajorVersion = 0;  // unknown: the size every version takes
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = NonClientMetricsSize(version.dwMajorVersion);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  Font = metrics.lfMenuFont;
  return true;
}

HIMAGELIST CreateCheckMarkList() {
  HBITMAP picture = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), L"MENU_CHECKED", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (picture == nullptr) return nullptr;
  BITMAP info{};
  ::GetObjectW(picture, sizeof(info), &info);
  HIMAGELIST list = ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0);
  if (list != nullptr) ImageList_AddMasked(list, picture, RGB(255, 255, 255));
  ::DeleteObject(picture);
  return list;
}

// ---- theme state ----

TskSkinMenu::TskSkinMenu() = default;

TskSkinMenu::~TskSkinMenu() { RelinkFileTheme(this, FileTheme_, nullptr); }

void TskSkinMenu::SetUIStyle(TskUIStyle Value) {
  UIStyle_ = Value;
  BarWidth = 26;
  const bool mac = UIStyle_ == MacOS;
  MenuItemHeight_ = mac ? 20 : 21;
  SeparatorHeight_ = mac ? 12 : 5;
  SeparatorColor = mac ? 0 : 8684164;
  TskUIStyle style = DeepBlue;
  if (ResolveFileTheme(FileTheme_, UIStyle_, style)) {
    auto colour = [this](int n, COLORREF fallback) {
      int c = FileTheme_->GetColor(n);
      return c < 0 ? fallback : static_cast<COLORREF>(c);
    };
    BarColor = colour(9, BarColor);
    BarToColor = colour(10, BarToColor);
    Color = colour(11, Color);
    FontColor = colour(12, FontColor);
    SelectedBorderColor = colour(14, SelectedBorderColor);
    SelectedColor = colour(13, SelectedColor);
    SelectedFontColor = colour(15, SelectedFontColor);
  } else {
    BarColor = BarToColor = GetBuiltinThemeColor(style, 23);
    Color = GetBuiltinThemeColor(style, 21);
    FontColor = GetBuiltinThemeColor(style, 22);
    SelectedBorderColor = GetBuiltinThemeColor(style, 18);
    SelectedColor = GetBuiltinThemeColor(style, 19);
    SelectedFontColor = GetBuiltinThemeColor(style, 20);
  }
}

void TskSkinMenu::SetFileTheme(TskFileTheme* Value) {
  RelinkFileTheme(this, FileTheme_, Value);
  SetUIStyle(UIStyle_);
}

void TskSkinMenu::FileThemeRemoved() {
  RelinkFileTheme(this, FileTheme_, nullptr);
  SetUIStyle(DeepBlue);
}

void TskSkinMenu::SetMenuItemHeight(int Value) { MenuItemHeight_ = Value; }

void TskSkinMenu::SetSeparatorHeight(int Value) {
  if (UIStyle_ != MacOS) SeparatorHeight_ = Value;
}

void TskSkinMenu::SetItemsOwnerDraw() {
  MenuMeasureHandler measure = [this](TskMenuItem& item, HDC dc, int& w, int& h) { MeasureItem(item, dc, w, h); };
  MenuDrawHandler draw = [this](TskMenuItem& item, HDC dc, const RECT& r, bool selected) { DrawItem(item, dc, r, selected); };
  for (TskMenuItem& item : Items) SetMenuItemOwnerDraw(item, measure, draw);
}

HFONT TskSkinMenu::CreateItemFont(bool Bold) const {
  LOGFONTW font{};
  if (!UseSystemFont || !GetSystemMenuFont(font)) {
    HDC screen = ::GetDC(nullptr);
    font.lfHeight = -::MulDiv(FontSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    font.lfCharSet = FontCharset;
    lstrcpynW(font.lfFaceName, FontName.c_str(), LF_FACESIZE);
  }
  if (Bold) font.lfWeight = FW_BOLD;
  return ::CreateFontIndirectW(&font);
}

void TskSkinMenu::MeasureItem(TskMenuItem& Item, HDC Canvas, int& Width, int& Height) {
  SIZE caption{};
  ::GetTextExtentPoint32W(Canvas, Item.Caption.c_str(), static_cast<int>(Item.Caption.size()), &caption);
  Height = Item.IsSeparator() ? SeparatorHeight_ : std::max<int>(caption.cy, MenuItemHeight_);
  Width = caption.cx + TextWidth(Canvas, Item.ShortCut) + BarWidth + 40;
}

bool TskSkinMenu::LeftToRight() const { return !RightToLeft || ::GetSystemMetrics(SM_MIDEASTENABLED) == 0; }

void TskSkinMenu::DrawBar(HDC Canvas, const RECT& Rect, bool AtLeft) {
  RECT face = Rect;
  if (BarWidth > 0) {
    RECT bar = AtLeft ? RECT{Rect.left, Rect.top, Rect.left + BarWidth, Rect.bottom}
                      : RECT{Rect.right - BarWidth, Rect.top, Rect.right, Rect.bottom};
    if (BarColor == BarToColor) FillRectColor(Canvas, bar, BarColor);
    else FillGradientHorizontal(Canvas, bar, BarColor, BarToColor);
    if (AtLeft) face.left = bar.right;
    else face.right = bar.left;
  }
  FillRectColor(Canvas, face, Color);
}

void TskSkinMenu::DrawCheckAndImage(TskMenuItem& Item, HDC Canvas, const RECT& Rect, bool AtLeft) {
  const int x = AtLeft ? Rect.left + 4 : Rect.right - 20;
  HIMAGELIST images = ItemImages();
  const bool hasImage = Item.ImageIndex != -1 && images != nullptr && Item.ImageIndex < ImageList_GetImageCount(images);
  const UINT grey = Item.Enabled ? ILD_TRANSPARENT : ILD_TRANSPARENT | ILD_BLEND50;
  if (Item.Checked) {
    if (hasImage) {
      FrameRectColor(Canvas, RECT{x - 2, Rect.top + 1, x + 17, Rect.top + 20}, RGB(0, 0, 0));
      FillRectColor(Canvas, RECT{x - 1, Rect.top + 2, x + 16, Rect.top + 19}, SelectedColor);
    } else if (HIMAGELIST marks = CheckMarks(); marks != nullptr && ImageList_GetImageCount(marks) > 0) {
      ImageList_Draw(marks, 0, Canvas, x, Rect.top + 3, grey);
    } else {
      // No check-mark picture: a plain tick in the text colour.
      HPEN pen = ::CreatePen(PS_SOLID, 2, ::GetTextColor(Canvas));
      HGDIOBJ old = ::SelectObject(Canvas, pen);
      ::MoveToEx(Canvas, x + 3, Rect.top + 10, nullptr);
      ::LineTo(Canvas, x + 6, Rect.top + 13);
      ::LineTo(Canvas, x + 12, Rect.top + 6);
      ::SelectObject(Canvas, old);
      ::DeleteObject(pen);
    }
  }
  if (hasImage) ImageList_Draw(images, Item.ImageIndex, Canvas, x, Rect.top + 3, grey);
}

void TskSkinMenu::DrawItem(TskMenuItem& Item, HDC Canvas, const RECT& Rect, bool Selected) {
  const bool ltr = LeftToRight();
  const bool mac = UIStyle_ == MacOS;
  if (FlatMenu) {
    if (HWND window = ::WindowFromDC(Canvas); window != nullptr) {
      TskUIStyle style = DeepBlue;
      COLORREF face = ResolveFileTheme(FileTheme_, UIStyle_, style) ? static_cast<COLORREF>(FileTheme_->GetColor(2))
                                                                    : GetBuiltinThemeColor(style, 15);
      DrawMenuWindowBorder(window, RGB(0, 0, 0), face);
    }
  }
  if (Item.IsSeparator()) {
    if (!(mac && DrawMacOSMenuBarBackground(Canvas, Rect))) {
      DrawBar(Canvas, Rect, ltr);
      DrawMenuSeparator(Canvas, Rect, SeparatorColor, ltr, BarWidth);
    }
    return;
  }
  const bool selected = Selected && Item.Enabled;
  if (selected) {
    if (!(mac && DrawMacOSMenuSelection(Canvas, Rect))) FillFramed(Canvas, Rect, SelectedColor, SelectedBorderColor);
  } else if (!(mac && DrawMacOSMenuBarItem(Canvas, Rect))) {
    DrawBar(Canvas, Rect, ltr);
  }
  HFONT font = CreateItemFont(Item.Default);
  HGDIOBJ oldFont = ::SelectObject(Canvas, font);
  ::SetBkMode(Canvas, TRANSPARENT);
  ::SetTextColor(Canvas, ColorToRGB(!Item.Enabled ? RGB(128, 128, 128) : selected ? SelectedFontColor : FontColor));
  RECT caption = ltr ? RECT{Rect.left + BarWidth + 4, Rect.top, Rect.right, Rect.bottom}
                     : RECT{Rect.left + BarWidth, Rect.top, Rect.right - 4, Rect.bottom};
  DrawCaptionLine(Canvas, Item.Caption, caption, !ltr);
  if (!Item.ShortCut.empty()) {
    RECT shortcut = ltr ? RECT{Rect.right - TextWidth(Canvas, Item.ShortCut) - 16, Rect.top, Rect.right, Rect.bottom}
                        : RECT{Rect.left + BarWidth + 4, Rect.top, Rect.right, Rect.bottom};
    ::DrawTextW(Canvas, Item.ShortCut.c_str(), -1, &shortcut, DT_VCENTER | DT_SINGLELINE);
  }
  DrawCheckAndImage(Item, Canvas, Rect, ltr);
  ::SelectObject(Canvas, oldFont);
  ::DeleteObject(font);
}

void TskSkinMenu::BuildMenu(HMENU Menu, std::vector<TskMenuItem>& Items, UINT& NextId, std::vector<TskMenuItem*>& ById) {
  for (TskMenuItem& item : Items) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    info.fType = MFT_OWNERDRAW;
    info.fState = (item.Enabled ? MFS_ENABLED : MFS_DISABLED) | (item.Checked ? MFS_CHECKED : 0);
    info.wID = NextId++;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
    ById.push_back(&item);
    if (!item.Items.empty()) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = ::CreatePopupMenu();
      BuildMenu(info.hSubMenu, item.Items, NextId, ById);
    }
    ::InsertMenuItemW(Menu, ::GetMenuItemCount(Menu), TRUE, &info);
  }
}

}  // namespace skin
