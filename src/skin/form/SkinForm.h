// The skinned frame: takes a form over, removes its caption, draws its own
// title bar, border and window region, and shows a main menu in its own
// menu bar. One frame per form; the form's controls go on the frame or on
// its FormPanel.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "skin/draw/Bitmap.h"
#include "skin/file/FileTheme.h"
#include "skin/form/MenuBar.h"
#include "skin/form/TitleBar.h"
#include "skin/menus/PopupMenu.h"
#include "skin/theme/Published.h"
#include "skin/theme/UIStyle.h"
#include "ui/Control.h"

namespace ui {
class Form;
}

namespace skin {

class TskForm : public ui::Control, public Component, public TskFileThemeUser, public MenuBarHost {
 public:
  TskForm() = default;
  ~TskForm() override;

  // Takes `form` over; false (and the form untouched) when it already has a
  // frame or has no window.
  bool Create(ui::Form& form);
  // Gives the form its caption and window procedure back.
  void Remove();

  bool IsSkinFormFrame() const override { return true; }
  PropertyTable PublishedProperties() const override { return StyledProperties<TskForm>(); }
  TskUIStyle GetUIStyle() const { return UIStyle_; }
  void SetUIStyle(TskUIStyle style);
  TskFileTheme* GetFileTheme() const override { return FileTheme_; }
  void SetFileTheme(TskFileTheme* theme) override;
  HWND FileThemeFrameWindow() const override { return form_; }
  // The theme in use goes away: the frame and its children take DeepBlue.
  void FileThemeRemoved() override;
  bool UIStyleAutoUpdateSub = false;

  TskTitleBar& TitleBar() { return TitleBar_; }
  // The title bar's own settings, through the frame.
  bool TitleBarCustom() const { return TitleBar_.Custom; }
  void SetTitleBarCustom(bool value) { TitleBar_.Custom = value; }
  void SetOnTitleBarCustomBtnsClick(TskTitleBarButtonClickEvent e) { TitleBar_.OnCustomBtnsClick = std::move(e); }
  void SetOnTitleBarHelpBtnClick(TskTitleBarButtonClickEvent e) { TitleBar_.OnHelpBtnClick = std::move(e); }
  HWND FormHandle() const { return form_; }

  COLORREF BorderColor() const { return BorderColor_; }
  void SetBorderColor(COLORREF c);
  int BorderWidth() const { return BorderWidth_; }
  void SetBorderWidth(int w);
  COLORREF Color() const { return Color_; }
  int RoundCorner() const { return TitleBarVisible() ? TitleBar_.RoundCorner : 0; }
  void SetRoundCorner(int r);
  int RoundCornerBottom() const { return TitleBarVisible() ? TitleBar_.RoundCornerBottom : 0; }
  void SetRoundCornerBottom(int r);
  // The bar's own visibility, whether or not the form is shown yet.
  bool TitleBarVisible() const {
    return TitleBar_.Exists() && (::GetWindowLongPtrW(TitleBar_.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  void SetTitleBarVisible(bool visible);
  std::wstring Caption() const { return TitleBar_.Caption(); }
  void SetCaption(const std::wstring& caption);
  // A panel that fills the frame below the title and menu bars.
  bool SetFormPanel(ui::Control* panel);
  ui::Control* FormPanel() const { return FormPanel_; }
  std::wstring Version() const { return L"6.2"; }

  // The themed main menu shown in the menu bar; nullptr removes it. The
  // menu takes the frame's style and file theme.
  void SetMenu(TskMainMenu* menu);
  TskMainMenu* Menu() const { return Menu_; }
  TskMenuBar* MenuBar() const { return MenuBar_.get(); }
  void CreateMenuBar();
  void ClearMenu();
  void RebuildMenuBar() override;
  void RefreshMenuBarItems() override;
  void UpdateMenuBarFont() override;
  void MenuRemoved() override;
  void SetMenuBarColors(COLORREF from, COLORREF to);
  COLORREF MenuBarColor() const { return MenuBarColor_; }
  COLORREF MenuBarToColor() const { return MenuBarToColor_; }
  int MenuBarHeight() const;
  // The height of the menu bar and of each of its buttons.
  void SetMenuBarHeight(int height);
  // The title bar's caption font; nullptr without a title bar.
  HFONT Font() const { return TitleBar_.Exists() ? TitleBar_.GetFont() : nullptr; }
  void SetFont(const LOGFONTW& font) { TitleBar_.SetFont(font); }

  void PaintBorder();
  void UpdateWindowRegion();
  int GetTitleBarBottom() const;
  // True when the menu took the key as one of its shortcuts.
  bool HandleKeyDown(WPARAM key, LPARAM flags);
  // The system frame's thickness measured when the frame took the form over.
  int FrameSide() const { return FrameSide_; }
  int FrameBottom() const { return FrameBottom_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  // The application's message hook: Alt+Space, shortcuts and menu letters.
  static LRESULT CALLBACK AppMessage(int code, WPARAM w, LPARAM l);
  LRESULT FormWindowProc(UINT msg, WPARAM w, LPARAM l);
  LRESULT CallOld(UINT msg, WPARAM w, LPARAM l);
  void MeasureSystemFrame();
  void CalcSize(NCCALCSIZE_PARAMS* p);
  void HandleSize();
  void LayoutChildren();
  bool IsMdiChild() const;
  HWND MdiClient() const;
  void HandleMdiSize(bool maximized);
  void HandleMdiDestroy();
  // Moves the frame's own controls (not the bars or FormPanel, which keep
  // their places) by dy.
  void ScrollContent(int dy);
  void PaintBuiltinBorder(HDC dc, int W, int H);
  void PaintBackground(HDC dc);
  bool FileReady() const;
  void ApplyBuiltinLook(TskUIStyle s);
  void ApplyFileLook();
  void PaintFileBorder(HDC dc, int W, int H);
  void PaintFileSide(HDC dc, const Bitmap& image, int x, int gapFrom, int gapTo, int top, int H);
  void ComposeBottomImage(int W);
  void PaintTopStrip(HDC dc, int W);
  void PopupSystemMenuAtMainForm();

  TskTitleBar TitleBar_;
  std::unique_ptr<TskMenuBar> MenuBar_;
  TskMainMenu* Menu_ = nullptr;
  WNDPROC OldWindowProc_ = nullptr;
  HWND form_ = nullptr;
  int BottomHeight_ = 0, FrameBottom_ = 4, LeftImageWidth_ = 0, FrameSide_ = 4, RightImageWidth_ = 0;
  COLORREF TransparentColor_ = RGB(255, 0, 255);
  RECT SavedBounds_{};
  bool CreatedMaximized_ = false;
  COLORREF BorderColor_ = 0;
  int BorderWidth_ = 1;
  COLORREF Color_ = 0x80000000 | COLOR_BTNFACE;
  ui::Control* FormPanel_ = nullptr;
  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
  COLORREF MenuBarColor_ = 0x80000000 | COLOR_BTNFACE, MenuBarToColor_ = 0x80000000 | COLOR_BTNFACE;
  int MenuBarHeight_ = 22;
  bool Destroying_ = false;
  bool TitleBarWanted_ = true;
  bool InternalTitleChange_ = false;
  bool InSize_ = false;
  // MDI child: the content scrolled up for the maximised state, a restore
  // handled once, the child created maximised.
  bool MDIScrolled_ = false, MDIRestoredOnce_ = false, MDICreatedMaximized_ = false;
  int MinHeight_ = 0;
  // The skin file's border pictures and region settings.
  Bitmap LeftImage_, RightImage_, BottomLeft_, BottomMiddle_, BottomRight_, BottomImage_;
  bool RegionFromTitle_ = false, RegionFromBottom_ = false;
  int TitleScanFirst_ = 0, TitleScanLast_ = 0, BottomScanFirst_ = 0, BottomScanLast_ = 0;
};

}  // namespace skin
