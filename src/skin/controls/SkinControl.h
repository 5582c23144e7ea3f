// The common ground of the skinned controls: a custom-drawn child window that
// paints into an off-screen picture and copies it once, knows its built-in
// style and file theme, its face colour, font and mouse-over state.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "skin/draw/Bitmap.h"
#include "skin/file/FileTheme.h"
#include "skin/theme/Published.h"
#include "skin/theme/UIStyle.h"
#include "ui/Control.h"
#include "ui/DialogKeys.h"

namespace skin {

using NotifyEvent = std::function<void()>;

// Message 0x8BB8: a skinned button answers 1.
constexpr UINT kSkinButtonQuery = ui::kButtonFocusQuery;
// Sent to the direct children of a skinned control whose colour changed, so
// that those taking their parent's colour follow it.
constexpr UINT kParentColorChanged = 0xB009;

class SkinControl : public ui::Control, public Component, public TskFileThemeUser {
 public:
  SkinControl();
  ~SkinControl() override;

  TskUIStyle GetUIStyle() const { return uiStyle_; }
  void SetUIStyle(TskUIStyle style);
  TskFileTheme* GetFileTheme() const override { return fileTheme_; }
  void SetFileTheme(TskFileTheme* theme) override;
  // The theme in use goes away: no file theme, and the default style.
  void FileThemeRemoved() override;
  PropertyTable PublishedProperties() const override { return StyledProperties<SkinControl>(); }

  bool GetTransparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  // The face colour: the parent's background while ParentColor is set.
  COLORREF GetColor() const;
  // Stores the colour; the control no longer follows its parent's.
  void SetColor(COLORREF colour);
  bool GetParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  HFONT GetFont() const { return font_; }
  COLORREF GetFontColor() const { return fontColor_; }
  void SetFontColor(COLORREF colour);
  std::wstring Caption() const { return Exists() ? Text() : std::wstring(); }
  void SetCaption(const std::wstring& text);
  bool IsEnabled() const { return Exists() && Enabled(); }
  bool IsFocused() const { return Exists() && ::GetFocus() == hwnd_; }
  bool MouseIn() const { return mouseIn_; }
  // Laid out right to left: right-to-left reading on a system that reads so.
  bool RightToLeft() const;

  // Draws the control as it is now into a picture of its client size.
  void PaintTo(Bitmap& canvas);
  void Repaint();

  NotifyEvent OnClick;

 protected:
  bool CreateSkin(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w,
                  int h);
  // True when the control reads its file theme; `style` is the built-in
  // style to read otherwise.
  bool ResolveStyle(TskUIStyle& style) const;
  // A picture from the file theme (bitmap N, cell Index of Count) or else
  // from the built-in item; false and an empty picture when neither has it.
  bool LoadPicture(int builtinItem, int fileIndex, int count, int index, Bitmap& out) const;
  COLORREF LookColor(int builtinItem, int fileIndex) const;

  virtual void ApplyUIStyle() {}
  // After the face colour changed, before the repaint.
  virtual void ColorChanged() {}
  // After a new font, before the repaint.
  virtual void FontChanged() {}
  virtual void Draw(Bitmap& canvas) = 0;
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  // The parent's background when transparent, else the face colour.
  void PaintBackground(Bitmap& canvas) const;
  void UseFont(HDC dc) const;
  SIZE TextSize(const std::wstring& text) const;

  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

  bool transparent_ = false;
  bool mouseIn_ = false;

 private:
  void PaintWindow(HDC dc);
  // The brush that children which ask (WM_CTLCOLOR*) paint behind them.
  LRESULT FaceBrushFor(HDC dc);
  TskUIStyle uiStyle_ = DeepBlue;
  TskFileTheme* fileTheme_ = nullptr;
  COLORREF color_;
  bool parentColor_ = false;
  COLORREF fontColor_ = RGB(0, 0, 0);
  HFONT font_;
  HBRUSH faceBrush_ = nullptr;
  COLORREF faceBrushColour_ = CLR_INVALID;
};

// Gives every skinned control inside `root`, at any depth, the style.
void SetStyleOfDescendants(HWND root, TskUIStyle style);

// The solid colour `control`'s parent paints behind its children, as the
// parent answers WM_CTLCOLORSTATIC; the button face when it gives none.
COLORREF ParentFaceColour(HWND control);

// The colour a COLORREF names, with system colours (0x80000000 | index)
// resolved.
COLORREF RealColor(COLORREF colour);

}  // namespace skin
