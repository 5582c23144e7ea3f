// The frame's menu bar: one button per top-level item of a themed main menu
// (TskMainMenu), drawn in the menu's look with the menu's font.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/theme/UIStyle.h"
#include "ui/Control.h"

namespace skin {

class TskForm;
class TskMainMenu;

class TskMenuBar : public ui::Control {
 public:
  explicit TskMenuBar(TskForm& frame) : frame_(frame) {}
  ~TskMenuBar() override;
  bool Create(HWND parent, int height);
  // Takes the items' captions and enabled states afresh.
  void Rebuild(TskMainMenu* menu);
  // Takes the menu's font (or the system menu font) and lays the buttons out.
  void UpdateFont();
  size_t ButtonCount() const { return buttons_.size(); }
  // 888 while button `i` is drawn hot or selected, else 0.
  int ButtonTag(size_t i) const { return i < buttons_.size() ? buttons_[i].Tag : 0; }
  RECT ButtonBounds(size_t i) const { return i < buttons_.size() ? buttons_[i].Bounds : RECT{}; }
  // A dialog character: with Alt held, or while a button is hot, the item
  // whose "&" letter it is drops down (posted, so the caller returns first).
  // True when an item took it.
  bool DialogChar(wchar_t ch, bool alt);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  struct Button {
    std::wstring Caption;
    bool Enabled = true;
    RECT Bounds{};
    int Tag = 0;
  };
  void Layout();
  void Paint(HDC dc);
  void DrawMenuBarBackground(HDC dc, const RECT& r, TskUIStyle style);
  void DrawMenuBarButton(HDC dc, Button& b, bool hot, TskUIStyle style, bool fromFile);
  int HitButton(POINT pt) const;
  void Open(int index);

  TskForm& frame_;
  TskMainMenu* menu_ = nullptr;
  std::vector<Button> buttons_;
  HFONT font_ = nullptr;
  int hot_ = -1;
  int open_ = -1;
};

}  // namespace skin
