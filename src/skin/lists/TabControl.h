// A tab strip drawn from theme pictures over a framed client area. The strip
// (TskTabControlTopPanel) draws the tabs and the scroll buttons and takes the
// clicks; TskTab owns it, draws the frame and reports tab changes.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/draw/Bitmap.h"
#include "skin/file/FileTheme.h"
#include "skin/lists/FileThemeLink.h"
#include "skin/theme/UIStyle.h"
#include "ui/Control.h"

namespace skin {

enum TskTabPosition : std::uint8_t { skTop = 0, skBottom = 1 };

class TskTab;

class TskTabControlTopPanel : public ui::Control {
 public:
  explicit TskTabControlTopPanel(TskTab& Tab);
  bool Create(HWND Parent);

  const std::vector<std::wstring>& GetTabs() const { return Tabs_; }
  void SetTabs(std::vector<std::wstring> Tabs);
  int GetTabIndex() const { return TabIndex_; }
  void SetTabIndex(int Value);
  int GetLeftMargin() const { return LeftMargin_; }
  void SetLeftMargin(int Value);
  TskTabPosition GetTabPosition() const { return TabPosition_; }
  void SetTabPosition(TskTabPosition Value);
  TskUIStyle GetUIStyle() const { return UIStyle_; }
  void SetUIStyle(TskUIStyle Value);
  TskFileTheme* GetFileTheme() const { return FileTheme_; }
  void SetFileTheme(TskFileTheme* Value);
  void SetStripColor(COLORREF Value);
  COLORREF GetStripColor() const { return StripColor_; }
  // Tabs without an entry are visible.
  bool GetTabVisible(int Index) const;
  void SetTabVisible(int Index, bool Visible);

  // Laid-out width of a tab: -1 not laid out yet, 0 hidden.
  int TabWidth(int Index) const;
  int GetFirstVisible() const { return FirstVisible_; }
  bool GetButtonsShown() const { return ButtonsShown_; }
  int GetScrollButtonState() const { return ScrollButtonState_; }
  int GetButtonWidth() const { return ButtonWidth_; }
  int GetButtonHeight() const { return ButtonHeight_; }
  int GetTabHeight() const { return TabHeight_; }
  int StripHeight() const { return ActiveTabImage_.Height() + LineImage_.Height(); }
  COLORREF GetActiveFontColor() const { return ActiveFontColor_; }
  // Rectangles of the two scroll buttons as last drawn.
  RECT LeftButtonRect() const;
  RECT RightButtonRect() const;

  // Draws the strip into its off-screen picture (with `Cursor` in strip
  // coordinates for the hover cells) and copies it to the screen.
  void Repaint(POINT Cursor);
  void Repaint();
  const Bitmap& Picture() const { return Buffer_; }
  // The left button pressed at (X, Y).
  void MouseDown(int X, int Y);
  // The tab under (X, Y) as last laid out; -1 for none.
  int TabAt(int X, int Y) const;
  // The tab a key pressed on the strip selects, with the modifiers held now:
  // Tab the next one, Ctrl+Tab and Ctrl+Shift+Tab the next and previous
  // (round the row), Right and Left the next and previous. -1 when the key
  // selects none and, for Tab, leaves the strip.
  int TabForKey(WPARAM Key) const;
  // The visible tab `Step` tabs away from the active one, round the row.
  int TabFromActive(int Step) const { return VisibleTabFrom(Step, true); }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  int DrawTabs(HDC Canvas, int W);
  // The visible tab `Step` tabs away from the active one; -1 past either end
  // unless `Wrap`.
  int VisibleTabFrom(int Step, bool Wrap) const;
  void DrawOneTab(HDC Canvas, int Index, const RECT& Rect, bool Cut);
  void DrawLine(HDC Canvas, int W);
  void DrawScrollButtons(HDC Canvas, int W, POINT Cursor);
  RECT TabRect(int X, int Width, bool Active) const;
  void LoadPictures();
  void LoadPlainPictures();
  void ClampFirstVisible();
  int Width_() const;

  TskTab& Tab_;
  std::vector<std::wstring> Tabs_{L"Tab1"};
  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
  int TabIndex_ = 0;
  int LeftMargin_ = 10;
  // One entry per tab, grown with the tabs: no limit on their number.
  std::vector<int> TabWidths_;
  int TabHeight_ = 0;
  bool InTabClick_ = false;
  int FirstVisible_ = 0;
  bool ButtonsShown_ = false;
  int ScrollButtonState_ = 0;
  int ButtonWidth_ = 0;
  int ButtonHeight_ = 0;
  bool ScrollIntoView_ = false;
  Bitmap ActiveTabImage_;
  Bitmap InactiveTabImage_;
  Bitmap LineImage_;
  // All four scroll-button cells: right, right hot, left, left hot.
  Bitmap ButtonImage_;
  TskTabPosition TabPosition_ = skTop;
  COLORREF ActiveFontColor_ = 0;
  COLORREF InactiveFontColor_ = 0;
  COLORREF StripColor_ = 0;
  std::vector<bool> TabVisible_;
  Bitmap Buffer_;
};

class TskTab : public ui::Control, public ListLookHolder {
 public:
  TskTab() = default;
  ~TskTab() override;

  // `Owner` is the form whose skinned frame gives the first style.
  bool Create(HWND Parent, int X, int Y, int W, int H, const ui::Window* Owner = nullptr);

  COLORREF GetColor() const { return Color_; }
  void SetColor(COLORREF Value);
  HFONT GetFont() const { return Font_; }
  void SetTabFont(HFONT Value);
  TskTabPosition GetTabPosition() const { return TabPosition_; }
  void SetTabPosition(TskTabPosition Value);
  HIMAGELIST GetImages() const { return Images_; }
  void SetImages(HIMAGELIST Value);
  bool GetPageDrawFocused() const { return PageDrawFocused_; }
  void SetPageDrawFocused(bool Value);
  int GetLeftMargin() const { return TopPanel_->GetLeftMargin(); }
  void SetLeftMargin(int Value) { TopPanel_->SetLeftMargin(Value); }
  int GetTabIndex() const { return TopPanel_->GetTabIndex(); }
  virtual void SetTabIndex(int Value);
  TskTabControlTopPanel& TopPanel() { return *TopPanel_; }
  const TskTabControlTopPanel& TopPanel() const { return *TopPanel_; }

  // The client area left for the pages: 3 px in from the frame, and the
  // strip's height + 3 on the strip's side.
  RECT PageArea() const;

  // Shows the page `Step` tabs away (Ctrl+Tab and the like from any control
  // of the form); a focus left on a page that went away moves to the first
  // tab stop of the page shown, or to the strip.
  void StepPage(int Step);

  // Asked before a tab picked by mouse becomes active.
  bool AllowChange();
  virtual void TabChanged(int Index);
  virtual int GetTabImageIndex(int Index) const = 0;

  std::function<void(TskTab&, int)> OnTabActive;
  std::function<void(TskTab&)> OnChange;
  std::function<void(TskTab&, bool&)> OnChanging;
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;

  PropertyTable PublishedProperties() const override { return StyledProperties<TskTab>(); }

 protected:
  virtual std::unique_ptr<TskTabControlTopPanel> CreateTopPanel() = 0;
  virtual void BorderColorChanged() {}
  virtual void ColorChanged() {}
  // Passes the style on to what the control holds.
  virtual void ApplyUIStyle() {}
  virtual void LayoutChildren();
  void PlaceTopPanel();
  // A focus left on a page that went away moves to the first tab stop of the
  // page shown, or to the strip.
  void FocusShownPage();
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void ApplyLook(const ThemeLook& look) override;
  void RedrawBorder() override;

 private:
  void Paint();

  COLORREF Color_ = 0;
  HFONT Font_ = nullptr;
  TskTabPosition TabPosition_ = skTop;
  HIMAGELIST Images_ = nullptr;
  bool PageDrawFocused_ = true;
  std::unique_ptr<TskTabControlTopPanel> TopPanel_;
};

}  // namespace skin
