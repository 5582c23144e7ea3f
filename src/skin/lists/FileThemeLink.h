// Keeps a control registered with the file theme it shows, so that a new
// skin loaded into the theme reaches it. The theme must outlive its users.
#pragma once
#include "skin/file/FileTheme.h"
#include "skin/lists/ThemeAccess.h"
#include "skin/theme/Published.h"

namespace skin {

inline void RelinkFileTheme(TskFileThemeUser* User, TskFileTheme*& Slot, TskFileTheme* Value) {
  if (Slot == Value) return;
  if (Slot != nullptr) Slot->RemoveUser(User);
  Slot = Value;
  if (Slot != nullptr) Slot->AddUser(User);
}

// The style, skin file and frame colour that the skinned edit, combo box,
// list view and tab control share. A new style or file gives the frame its
// colour and lets the control take the rest of its look.
class ListLookHolder : public Component, public TskFileThemeUser {
 public:
  ~ListLookHolder() override { RelinkFileTheme(this, FileTheme_, nullptr); }
  TskUIStyle GetUIStyle() const { return UIStyle_; }
  void SetUIStyle(TskUIStyle Value) {
    UIStyle_ = Value;
    const ThemeLook look = ResolveLook(FileTheme_, UIStyle_);
    BorderColor_ = look.FrameColor();
    ApplyLook(look);
  }
  TskFileTheme* GetFileTheme() const override { return FileTheme_; }
  void SetFileTheme(TskFileTheme* Value) override {
    RelinkFileTheme(this, FileTheme_, Value);
    SetUIStyle(UIStyle_);
  }
  // The theme in use goes away: no file theme, and the default style.
  void FileThemeRemoved() override {
    FileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
  COLORREF GetBorderColor() const { return BorderColor_; }
  void SetBorderColor(COLORREF Value) {
    BorderColor_ = Value;
    RedrawBorder();
  }

 protected:
  // Takes the look of the style and file now set (the frame colour is set).
  virtual void ApplyLook(const ThemeLook& look) = 0;
  virtual void RedrawBorder() = 0;

  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
  COLORREF BorderColor_ = 0;
};

}  // namespace skin
