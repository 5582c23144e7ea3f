// Skinned check box and radio button, drawn from the theme's 4-cell strips
// (6 cells for a skin file's check box).
#pragma once
#include "skin/controls/SkinControl.h"

namespace skin {

enum TCheckBoxState { cbUnchecked, cbChecked };

class TskCheckBox : public SkinControl {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w = 93, int h = 17);

  bool GetChecked() const { return checked_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  TCheckBoxState GetState() const { return checked_ ? cbChecked : cbUnchecked; }
  void SetState(TCheckBoxState state) { SetChecked(state == cbChecked); }
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  void SetCaption(const std::wstring& text);
  void SetTransparent(bool value) override { SkinControl::SetTransparent(value); }
  // The mouse or the accelerator: toggles, which fires OnClick on a change.
  void Click() { Toggle(); }
  // Sets the size from the picture and the caption.
  void AdjustSize();
  // Cell of the strip and number of cells for the current state.
  void PictureCell(int& count, int& index) const;

 protected:
  virtual const wchar_t* WindowClass() const { return L"TskCheckBox"; }
  virtual bool ShowsFocus() const;
  virtual bool IsRadioKind() const { return false; }
  virtual int GetBuiltinThemeItem() const { return 3; }
  virtual int GetFileThemeBitmapIndex() const { return 16; }
  virtual void CheckedChanged();
  virtual void BeforeToggle() {}
  virtual void Toggle();
  virtual bool ClickOnKeyUp() const { return true; }

  void ApplyUIStyle() override { AdjustSize(); }
  void FontChanged() override { AdjustSize(); }
  void Draw(Bitmap& canvas) override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  bool checked_ = false;

 private:
  bool Picture(Bitmap& out) const;
  bool autoSize_ = true;
  UINT keyDown_ = 0;  // Space or Enter pressed while focused, until released
};

class TskRadioButton : public TskCheckBox {
 public:
  using TskCheckBox::Create;
  // The buttons of one parent and GroupIndex exclude each other; the
  // first-of-group flag of plain radio buttons has no part in it.
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, bool /*firstOfGroup*/) {
    return TskCheckBox::Create(parent, caption, x, y, w, h);
  }
  int GroupIndex = 0;

 protected:
  const wchar_t* WindowClass() const override { return L"TskRadioButton"; }
  bool IsRadioKind() const override { return true; }
  int GetBuiltinThemeItem() const override { return 4; }
  int GetFileThemeBitmapIndex() const override { return 18; }
  void CheckedChanged() override;
  void Toggle() override;
  bool ClickOnKeyUp() const override { return false; }
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
};

}  // namespace skin
