// The skinned caption bar a frame lays at the top of its form: picture
// sections, the caption, the icon or control box, the caption buttons, the
// window drag, double click and the system menu.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/draw/Bitmap.h"
#include "skin/file/FileTheme.h"
#include "skin/theme/Published.h"
#include "skin/theme/UIStyle.h"
#include "ui/Control.h"
#include "ui/Menu.h"

namespace skin {

enum TskTitleBarAlign { skLeft, skRight, skClient };
enum TskTitleBarBtnType { skCustom, skControlBox, skHelp, skMax, skMin, skClose };

struct TskTitleBarSection {
  bool AutoSize = false;
  int Width = 10;
  TskTitleBarAlign Align = skLeft;
  Bitmap Picture;
  bool Stretch = false;
  bool CapSec = false;
};

struct TskTitleBarButton {
  TskUIStyle UIStyle = DeepBlue;
  TskTitleBarBtnType ButtonType = skCustom;
  bool Transparent = false;
  int Top = 2;
  const ui::PopupMenu* ControlBoxMenu = nullptr;
  bool Visible = true;
  Bitmap PicNormal, PicMouseOn, PicMouseDown;
  bool HasPictures() const { return !PicNormal.Empty() && !PicMouseOn.Empty() && !PicMouseDown.Empty(); }
  // The picture shown: mouse-down or mouse-on while hot, else the normal one.
  const Bitmap& Picture(bool hot, bool down) const { return hot ? (down ? PicMouseDown : PicMouseOn) : PicNormal; }
};

// (Sender's button index) of a custom or help button.
using TskTitleBarButtonClickEvent = std::function<void(int ButtonIndex)>;

class TskTitleBar : public ui::Control, public Component, public TskFileThemeUser {
 public:
  TskTitleBar();
  ~TskTitleBar() override;
  // Creates the bar on `parent` (the frame, or a form).
  bool Create(HWND parent);

  TskUIStyle GetUIStyle() const { return UIStyle_; }
  void SetUIStyle(TskUIStyle style);
  TskFileTheme* GetFileTheme() const override { return FileTheme_; }
  void SetFileTheme(TskFileTheme* theme) override;
  // The theme in use goes away: no file theme, and DeepBlue.
  void FileThemeRemoved() override;
  PropertyTable PublishedProperties() const override { return StyledProperties<TskTitleBar>(); }

  std::vector<TskTitleBarSection> Sections;
  std::vector<TskTitleBarButton> Buttons;
  // Refuses a second skClient section; false then, nothing changed.
  bool SetSectionAlign(size_t index, TskTitleBarAlign align);
  // Refuses a second skControlBox button; false then, nothing changed.
  bool SetButtonType(size_t index, TskTitleBarBtnType type);
  void SetButtonVisible(TskTitleBarBtnType type, bool visible);

  void SetAutoSize(bool value);
  const std::wstring& Caption() const { return Caption_; }
  void SetCaption(const std::wstring& caption);
  void SetFormActive(bool active);
  bool FormActive() const { return FormActive_; }
  int RoundCorner = 0;
  int RoundCornerBottom = 0;
  bool DrawAppIcon = true;
  bool Custom = false;
  bool KeepFontColor = false;
  int ButtonInterval = 0;
  // The least size the theme wants of the form (its constraints).
  int MinTrackWidth = 0;
  int MinTrackHeight = 0;
  COLORREF InactiveCaptionColor = 0x80000000 | COLOR_INACTIVECAPTION;
  COLORREF FontColor = RGB(255, 255, 255);
  TskTitleBarButtonClickEvent OnCustomBtnsClick, OnHelpBtnClick;

  // The system menu and its popping up at a screen point.
  ui::PopupMenu& PopupMenu() { return PopupMenu_; }
  void PopupSystemMenu(int x, int y);

  void Repaint();
  void PaintNow();
  void UpdateMaximizeButtons();
  bool HasAllSectionPictures() const;
  // -1 the composed title, -2 the title with the frame corners, else a
  // section's picture (only with more than 2 sections); nullptr otherwise.
  const Bitmap* GetPartBitmap(int index) const;
  // The action of button `index` (maximise, minimise, close, control box).
  void ClickButton(size_t index);
  // Where button `index` was last laid out, in bar coordinates; empty when hidden.
  RECT ButtonRect(size_t index) const;
  int HotIndex() const { return HotIndex_; }
  // Right-to-left reading (the bar's or its form's style on a system that
  // reads right to left), and the menus' offset that goes with it.
  bool RightToLeft() const;
  int MenuOffset() const;
  HFONT GetFont() const { return Font_; }
  // The caption is drawn from now on in a font made like `font`.
  void SetFont(const LOGFONTW& font);
  // Where the caption was last drawn, in bar coordinates.
  int CaptionX() const { return CaptionX_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  HWND ParentForm() const;
  bool OnSkinFrame() const;
  int BorderAnswer() const;
  void ApplyBuiltinThemeLook(TskUIStyle style);
  void ApplyFileThemeLook();
  bool FileReady() const;
  void UpdateButtonPictures(TskTitleBarButton& button);
  void LayoutButtons(int width);
  void Paint(HDC dc);
  void PaintSectionsAndCaption(Bitmap& b);
  void PaintButtons(Bitmap& b);
  void DrawCaption(Bitmap& b, int iconX, int rowRight);
  void MouseDown(POINT pt);
  void MouseUp(POINT pt);
  void DoubleClick(POINT pt);
  void Track(POINT pt);
  int HitButton(POINT pt) const;
  void MinimizeForm();

  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
  bool AutoSize_ = false;
  bool FiveSections_ = false;
  std::wstring Caption_;
  std::wstring SectionCaption_;
  bool FormActive_ = true;
  Bitmap TitleImage_, FramedTitleImage_;
  COLORREF TitleFillColor_ = 0;
  COLORREF TitleTransparentColor_ = RGB(255, 0, 255);
  bool MouseDown_ = false;
  int HotIndex_ = -1;
  POINT Mouse_{-1, -1};
  std::vector<RECT> ButtonRects_;
  RECT IconRect_{};
  int IconX_ = 0;
  int CaptionX_ = 0;
  int RowLeft_ = 0;
  int ControlBoxIndex_ = -1;
  int LeftBtnXOffset_ = 0, RightBtnXOffset_ = 0;
  int ButtonTop_ = 0, ControlBoxTop_ = 0, CaptionTop_ = 0;
  HFONT Font_ = nullptr;
  ui::PopupMenu PopupMenu_;
};

}  // namespace skin
