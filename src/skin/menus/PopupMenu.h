// A themed popup menu and the themed main menu a skinned frame shows in its
// menu bar. Both draw every item themselves (TskSkinMenu).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/menus/SkinMenu.h"
#include "skin/theme/Published.h"

namespace ui {
class Window;
}

namespace skin {

// The answer to WM_MENUCHAR for a menu of TskMenuItem entries: execute the
// first enabled item whose caption underlines `Key`, else ignore the key.
LRESULT AnswerMenuChar(HMENU Menu, wchar_t Key);

// Answers the owner-draw and menu-character messages of menus built by a
// TskSkinMenu: item data points at the TskMenuItem.
bool HandleSkinMenuMessage(TskSkinMenu& Menu, UINT Msg, WPARAM W, LPARAM L, LRESULT* Result);

class TskPopupMenu : public TskSkinMenu, public Component {
 public:
  explicit TskPopupMenu(const ui::Window* Owner = nullptr);

  HIMAGELIST Images = nullptr;
  // Ignored for MacOS, whose items keep their picture's height.
  void SetMenuItemHeight(int Value) override;
  // Appends an item drawn like the others.
  TskMenuItem& Add(TskMenuItem Item);
  // Shows the menu at the screen point for `Owner` and runs the chosen item.
  void Popup(HWND Owner, POINT Point);
  PropertyTable PublishedProperties() const override { return StyledProperties<TskPopupMenu>(); }

 protected:
  HIMAGELIST ItemImages() const override { return Images; }
  HIMAGELIST CheckMarks() const override;
};

// The text menus show for a key with its modifiers ("Shift+Ctrl+F5"), as
// items carry it in ShortCut; empty for a key without a name.
std::wstring ShortCutText(WPARAM Key, bool Ctrl, bool Shift, bool Alt);

// What the main menu needs of the frame that shows it.
class MenuBarHost {
 public:
  virtual ~MenuBarHost() = default;
  virtual void RebuildMenuBar() = 0;
  virtual void RefreshMenuBarItems() = 0;
  virtual void UpdateMenuBarFont() = 0;
  // The menu is going away.
  virtual void MenuRemoved() = 0;
};

class TskMainMenu : public TskSkinMenu, public Component {
 public:
  explicit TskMainMenu(const ui::Window* Owner = nullptr);
  ~TskMainMenu() override;

  // nullptr while the menu's own check-mark list is assigned; writing
  // nullptr assigns it again.
  HIMAGELIST GetImages() const { return Images_ == OwnChecks_ ? nullptr : Images_; }
  void SetImages(HIMAGELIST Value) { Images_ = Value != nullptr ? Value : OwnChecks_; }
  void SetUseSystemFont(bool Value);
  // The frame that shows the menu, which rebuilds its bar at once; nullptr
  // when it lets go.
  void SetHost(MenuBarHost* Host);
  MenuBarHost* GetHost() const { return Host_; }
  // After the items are set: owner drawing on all, then the bar rebuilt.
  void Loaded();
  void MenuChanged();
  // Builds an owner-drawn menu bar; the caller owns it. Chosen commands come
  // back through RunCommand.
  HMENU BuildMenuBar();
  bool RunCommand(UINT Id);
  // Drops top-level item Index down at the screen point for Owner (an item
  // without sub-items is run), and runs the chosen item.
  void DropDown(size_t Index, HWND Owner, POINT At);
  // Runs the item whose shortcut the key is, with the modifier keys held
  // now; true when an item has it (a disabled one then does nothing).
  bool IsShortCut(WPARAM Key);
  PropertyTable PublishedProperties() const override { return StyledProperties<TskMainMenu>(); }

 protected:
  HIMAGELIST ItemImages() const override { return Images_; }
  HIMAGELIST CheckMarks() const override { return OwnChecks_; }

 private:
  HIMAGELIST OwnChecks_ = nullptr;
  HIMAGELIST Images_ = nullptr;
  MenuBarHost* Host_ = nullptr;
  std::vector<TskMenuItem*> ById_;
};

}  // namespace skin
