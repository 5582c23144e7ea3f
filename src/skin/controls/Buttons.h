// Skinned push buttons: TskButton draws its face from the theme's button
// strip in nine parts, TskImageButton from four pictures of its own.
#pragma once
#include <memory>

#include "skin/controls/SkinControl.h"
#include "ui/Timer.h"

namespace skin {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TskCustomButton : public SkinControl {
 public:
  // BS_DEFPUSHBUTTON among `extraStyle` makes the button the default one.
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, DWORD extraStyle = 0);

  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool GetCancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool GetDefault() const { return default_; }
  void SetDefault(bool value);
  int GetModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  void SetTransparent(bool value) override;
  int MouseContinuouslyDownInterval = 100;
  int FocusedRectMargin = 2;

  // Whether Enter clicks this button: the focused skinned button answers
  // Enter itself; with the focus elsewhere the default button does.
  bool IsActiveDefault() const;
  bool MouseDown() const { return mouseDown_; }
  void Click();

  NotifyEvent OnMouseEnter, OnMouseExit, OnMouseContinuouslyDown;

 protected:
  virtual void AutoSizeToPicture();
  virtual void DrawPicture(Bitmap& canvas, const Bitmap& picture);
  virtual void DrawCaption(Bitmap& canvas);
  virtual void DrawFocusFrame(Bitmap& canvas);
  enum State { kNormal, kMouseOn, kMouseDown, kDisabled };
  virtual bool GetStatePicture(State state, Bitmap& out) const;
  State CurrentState() const;

  void Draw(Bitmap& canvas) override;
  void MouseEnter() override;
  void MouseLeave() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void DrawCaptionText(Bitmap& canvas, RECT r, UINT format);

  bool boldCaption_ = false;
  bool pictureTransparent_ = false;

 private:
  void Release();
  bool HandleDialogKey(WPARAM key);
  bool autoSize_ = false;
  bool cancel_ = false;
  bool default_ = false;
  int modalResult_ = 0;
  bool mouseDown_ = false;
  std::unique_ptr<ui::Timer> repeat_;
};

class TskButton : public TskCustomButton {
 public:
  TskButton();
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w = 80, int h = 27, DWORD extraStyle = 0);
  Bitmap& Glyph() { return glyph_; }
  void SetGlyph(const Bitmap& glyph);
  TButtonLayout Layout = blGlyphLeft;
  int Spacing = 4;
  int ResHandle() const { return 0; }
  POINT CaptionPosition() const { return captionPos_; }

 protected:
  void ApplyUIStyle() override;
  void DrawPicture(Bitmap& canvas, const Bitmap& picture) override;
  void DrawCaption(Bitmap& canvas) override;
  void DrawFocusFrame(Bitmap& canvas) override;

 private:
  void LayoutGlyph(const Bitmap& canvas, SIZE glyph, POINT& at);
  Bitmap glyph_;
  POINT captionPos_{0, 0};
};

class TskImageButton : public TskCustomButton {
 public:
  Bitmap PicNormal, PicMouseOn, PicMouseDown, PicDisabled;
  bool Stretch = false;
  bool DrawFocused = false;
  // Call after changing a picture.
  void PicturesChanged();

 protected:
  void AutoSizeToPicture() override;
  void DrawPicture(Bitmap& canvas, const Bitmap& picture) override;
  void DrawFocusFrame(Bitmap& canvas) override;
  bool GetStatePicture(State state, Bitmap& out) const override;
};

// Sets ModalResult of the form the control sits on, when it is one of ours.
void SetParentFormModalResult(HWND control, int result);

}  // namespace skin
