// Owner-drawn themed menus: the items, the painting routines they share, and
// the theme state common to the popup menu and the main menu.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/file/FileTheme.h"
#include "skin/theme/UIStyle.h"

namespace skin {

struct TskMenuItem;
using MenuMeasureHandler = std::function<void(TskMenuItem& Item, HDC Canvas, int& Width, int& Height)>;
using MenuDrawHandler = std::function<void(TskMenuItem& Item, HDC Canvas, const RECT& Rect, bool Selected)>;

struct TskMenuItem {
  std::wstring Caption;   // "-" makes a separator
  std::wstring ShortCut;  // shown right of the caption ("Ctrl+A")
  bool Checked = false;
  bool Enabled = true;
  bool Default = false;  // drawn bold
  int ImageIndex = -1;
  std::function<void()> OnClick;
  std::vector<TskMenuItem> Items;
  MenuMeasureHandler OnMeasureItem;
  MenuDrawHandler OnDrawItem;
  bool IsSeparator() const { return Caption == L"-"; }
};

// Sets both handlers on the item and, depth first, on all its sub-items.
void SetMenuItemOwnerDraw(TskMenuItem& Item, const MenuMeasureHandler& Measure, const MenuDrawHandler& Draw);
// One line at top + 2, clear of the bar on its side.
void DrawMenuSeparator(HDC Canvas, const RECT& Rect, COLORREF Colour, bool BarAtLeft, int BarWidth);
// The MacOS pictures stretched over Rect; false (nothing drawn) when missing.
bool DrawMacOSMenuBarBackground(HDC Canvas, const RECT& Rect);
bool DrawMacOSMenuSelection(HDC Canvas, const RECT& Rect);
bool DrawMacOSMenuBarItem(HDC Canvas, const RECT& Rect);
// The flat border of a menu window, drawn in its own non-client area.
void DrawMenuWindowBorder(HWND Window, COLORREF BorderColour, COLORREF LineColour);
// The system's menu font; false, Font untouched, when the system does not say.
bool GetSystemMenuFont(LOGFONTW& Font);
// The size of the non-client metrics that Windows `MajorVersion` accepts:
// before 6.0 the structure ends before iPaddedBorderWidth.
UINT NonClientMetricsSize(DWORD MajorVersion);
// An image list holding the check mark ("MENU_CHECKED", white masked) as
// image 0; empty when the picture is missing.
HIMAGELIST CreateCheckMarkList();

// The theme state and painting both menus share.
class TskSkinMenu : public TskFileThemeUser {
 public:
  TskSkinMenu();
  ~TskSkinMenu() override;
  TskSkinMenu(const TskSkinMenu&) = delete;
  TskSkinMenu& operator=(const TskSkinMenu&) = delete;

  std::vector<TskMenuItem> Items;

  TskUIStyle GetUIStyle() const { return UIStyle_; }
  void SetUIStyle(TskUIStyle Value);
  TskFileTheme* GetFileTheme() const override { return FileTheme_; }
  void SetFileTheme(TskFileTheme* Value) override;
  // The file theme is going away: DeepBlue from now on.
  void FileThemeRemoved();
  int GetMenuItemHeight() const { return MenuItemHeight_; }
  virtual void SetMenuItemHeight(int Value);
  int GetSeparatorHeight() const { return SeparatorHeight_; }
  void SetSeparatorHeight(int Value);
  bool GetOwnerDraw() const { return true; }
  void SetOwnerDraw(bool) {}

  COLORREF BarColor = ::GetSysColor(COLOR_BTNFACE);
  COLORREF BarToColor = ::GetSysColor(COLOR_BTNFACE);
  int BarWidth = 0;
  COLORREF Color = RGB(255, 255, 255);
  COLORREF SeparatorColor = RGB(128, 128, 128);
  COLORREF SelectedBorderColor = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF SelectedColor = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF SelectedFontColor = RGB(255, 255, 255);
  COLORREF FontColor = RGB(255, 255, 255);
  COLORREF BorderColor = 0;  // stored only; the flat border is black
  bool FlatMenu = false;
  std::wstring FontName = L"MS Sans Serif";
  int FontSize = 8;
  BYTE FontCharset = DEFAULT_CHARSET;
  bool UseSystemFont = true;
  bool RightToLeft = false;  // the menu's reading order

  // Owner drawing on every item, so that each goes through the two below.
  void SetItemsOwnerDraw();
  void MeasureItem(TskMenuItem& Item, HDC Canvas, int& Width, int& Height);
  void DrawItem(TskMenuItem& Item, HDC Canvas, const RECT& Rect, bool Selected);
  // Makes the font items are drawn with (the caller deletes it).
  HFONT CreateItemFont(bool Bold) const;

 protected:
  // The images items show, and the check-mark list.
  virtual HIMAGELIST ItemImages() const = 0;
  virtual HIMAGELIST CheckMarks() const = 0;
  // Fills an HMENU with owner-drawn entries for `items`; ids from `NextId`.
  void BuildMenu(HMENU Menu, std::vector<TskMenuItem>& Items, UINT& NextId, std::vector<TskMenuItem*>& ById);
  // Shows `Items` as an owner-drawn popup at the screen point for `Owner`
  // and runs the chosen item.
  void PopupItems(std::vector<TskMenuItem>& Items, HWND Owner, POINT At);
  bool LeftToRight() const;

 private:
  void DrawBar(HDC Canvas, const RECT& Rect, bool AtLeft);
  void DrawCheckAndImage(TskMenuItem& Item, HDC Canvas, const RECT& Rect, bool AtLeft);

  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
  int MenuItemHeight_ = 21;
  int SeparatorHeight_ = 21;
};

}  // namespace skin
