// Container controls: a picture panel, a themed group frame with a caption,
// and group frames that hold one check box or radio button per line.
#pragma once
#include <memory>
#include <vector>

#include "skin/controls/CheckBoxes.h"
#include "skin/controls/SkinControl.h"

namespace skin {

enum TskDrawStyle { skNormal, skStretch, skTile };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TskCustomPanel : public SkinControl {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h);
  const Bitmap& Picture() const { return picture_; }
  void SetPicture(const Bitmap& picture);
  bool AutoSize = false;
  TskDrawStyle GetDrawStyle() const { return drawStyle_; }
  void SetDrawStyle(TskDrawStyle style);
  TAlignment Alignment = taCenter;

 protected:
  virtual const wchar_t* WindowClass() const { return L"TskImagePanel"; }
  virtual void PictureChanged();
  void Draw(Bitmap& canvas) override;
  // The picture and background part of the paint.
  void DrawPanel(Bitmap& canvas);
  Bitmap picture_;

 private:
  TskDrawStyle drawStyle_ = skNormal;
};

class TskImagePanel : public TskCustomPanel {};

class TskCustomGroupBox : public TskCustomPanel {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w = 185, int h = 105);
  COLORREF GetBorderColor() const { return borderColor_; }
  void SetBorderColor(COLORREF colour);
  // The caption is the group's own, not the window text.
  const std::wstring& GetCaption() const { return caption_; }
  void SetCaption(const std::wstring& text);
  // Where content goes below the caption.
  RECT GetContentRect() const;
  // The font height in pixels (the absolute value of the font's height).
  int FontHeight() const;

 protected:
  const wchar_t* WindowClass() const override { return L"TskGroupBox"; }
  void ApplyUIStyle() override;
  void Draw(Bitmap& canvas) override;

 private:
  COLORREF borderColor_ = RGB(0, 0, 0);
  std::wstring caption_;
};

class TskGroupBox : public TskCustomGroupBox {};

class TskCheckGroup;

class TskCheckGroupButton : public TskCheckBox {
 public:
  explicit TskCheckGroupButton(TskCheckGroup* group) : group_(group) {}

 protected:
  const wchar_t* WindowClass() const override { return L"TskCheckGroupButton"; }
  bool ShowsFocus() const override { return IsFocused(); }

 private:
  TskCheckGroup* group_;
};

class TskRadioGroupButton : public TskRadioButton {
 public:
  explicit TskRadioGroupButton(TskCheckGroup* group) : group_(group) {}

 protected:
  const wchar_t* WindowClass() const override { return L"TskRadioGroupButton"; }
  bool ShowsFocus() const override;
  void Toggle() override;

 private:
  TskCheckGroup* group_;
};

class TskCheckGroup : public TskCustomGroupBox {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w = 185, int h = 105);
  const std::vector<std::wstring>& Items() const { return items_; }
  void SetItems(const std::vector<std::wstring>& items);
  int GetColumns() const { return columns_; }
  void SetColumns(int value);
  int GetTopMargin() const { return topMargin_; }
  void SetTopMargin(int value);
  void SetFontColor(COLORREF colour) { SkinControl::SetFontColor(colour); }
  void SetItemEnabled(int index, bool value);
  void SetTransparent(bool value) override;
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TskCheckBox& Button(int index) { return *buttons_[static_cast<size_t>(index)]; }
  void ArrangeItemButtons();
  void ItemClick();
  virtual bool AllowsItemToggle() const { return true; }

 protected:
  const wchar_t* WindowClass() const override { return L"TskCheckGroup"; }
  virtual void BeforeItemClick() {}
  virtual std::unique_ptr<TskCheckBox> CreateItemButton() { return std::make_unique<TskCheckGroupButton>(this); }
  virtual void FocusActiveItem();
  void ApplyUIStyle() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  std::vector<std::unique_ptr<TskCheckBox>> buttons_;

 private:
  bool UpdateItemButtons();
  std::vector<std::wstring> items_;
  int columns_ = 1;
  int topMargin_ = 8;
};

class TskRadioGroup : public TskCheckGroup {
 public:
  using TskCheckGroup::Create;
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h,
              const std::vector<std::wstring>& lines, int columns);
  int GetItemIndex() const;
  int ItemIndex() const { return GetItemIndex(); }
  void SetItemIndex(int value);
  int Count() const { return static_cast<int>(Items().size()); }
  bool ItemEnabled(int index) const;

 protected:
  const wchar_t* WindowClass() const override { return L"TskRadioGroup"; }
  std::unique_ptr<TskCheckBox> CreateItemButton() override { return std::make_unique<TskRadioGroupButton>(this); }
  void FocusActiveItem() override;
};

}  // namespace skin
