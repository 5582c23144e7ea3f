// The frame's menu bar: one flat button per top-level item of a main menu,
// drawn in the frame's look. The menu itself reaches the bar through the
// small TskMenuSource interface, so any main menu can be shown.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/theme/UIStyle.h"
#include "ui/Control.h"

namespace skin {

class TskForm;

// What the menu bar needs of a main menu.
class TskMenuSource {
 public:
  struct TopItem {
    std::wstring Caption;
    bool Enabled = true;
  };
  virtual ~TskMenuSource() = default;
  virtual std::vector<TopItem> TopItems() const = 0;
  // Drops item `index`'s sub-menu down at screen point `at` for `owner`.
  virtual void DropDown(size_t index, HWND owner, POINT at) = 0;
  // Runs the item whose shortcut the key is; true when one took it.
  virtual bool IsShortCut(WPARAM key, LPARAM flags) = 0;
  // The frame showing the menu, or nullptr when it lets go.
  virtual void SetFrame(TskForm* frame) { (void)frame; }
};

class TskMenuBar : public ui::Control {
 public:
  explicit TskMenuBar(TskForm& frame) : frame_(frame) {}
  bool Create(HWND parent, int height);
  // Takes the items' captions and enabled states afresh.
  void Rebuild(TskMenuSource* menu);
  // Alt+letter: drops down the item whose caption underlines the letter;
  // false when none does.
  bool OpenByLetter(wchar_t letter);
  size_t ButtonCount() const { return buttons_.size(); }
  // 888 while button `i` is drawn hot or selected, else 0.
  int ButtonTag(size_t i) const { return i < buttons_.size() ? buttons_[i].Tag : 0; }
  RECT ButtonBounds(size_t i) const { return i < buttons_.size() ? buttons_[i].Bounds : RECT{}; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  struct Button {
    TskMenuSource::TopItem Item;
    RECT Bounds{};
    int Tag = 0;
  };
  void Layout(HDC dc);
  void Paint(HDC dc);
  int HitButton(POINT pt) const;
  void Open(int index);

  TskForm& frame_;
  TskMenuSource* menu_ = nullptr;
  std::vector<Button> buttons_;
  int hot_ = -1;
  int open_ = -1;
};

}  // namespace skin
