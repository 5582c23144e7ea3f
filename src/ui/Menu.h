// Pop-up menus whose items run a callback.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

class Control;

class PopupMenu {
 public:
  struct Item {
    std::wstring caption;
    std::function<void()> action;
    std::function<bool()> enabled;  // empty: always enabled
    std::wstring shortcut;          // shown right of the caption ("Ctrl+R")
  };
  // An empty caption adds a separator.
  void Add(const std::wstring& caption, std::function<void()> action, std::function<bool()> enabled = {},
           const std::wstring& shortcut = {});
  const std::vector<Item>& Items() const { return items_; }
  // Shows the menu at screen point `pt` for `owner` (below the point, or
  // above it with `above`) and runs the chosen item.
  void Popup(HWND owner, POINT pt, bool above = false) const;
  // Runs the item with this caption as if chosen; false when absent or disabled.
  bool Choose(const std::wstring& caption) const;

  // Opens the menu over `control` on a right click, Shift+F10 or the menu key.
  // A mouse opening shows it at the mouse; a keyboard one at the screen point
  // `keyboardPoint` gives (the current row of a list). The control handles the
  // request itself: a control inside a group box would otherwise pass it on
  // under the group box's handle, and the window would not know it.
  // Its "Ctrl+<letter>" shortcuts work while the control has the focus.
  void AttachTo(Control& control, HWND owner, std::function<POINT()> keyboardPoint);
  // Runs the item whose shortcut is Ctrl + `key` (a virtual key); true when
  // one matches, even a disabled one, which then does nothing.
  bool ChooseShortcut(UINT key) const;
  // The control's messages come here first once attached; true when the
  // menu handled the message (its result is 0).
  bool OnControlMessage(UINT msg, WPARAM w, LPARAM l) const;

  // Shows the menu in another look (a themed one) in place of the plain
  // system menu; the presenter runs the chosen item itself.
  using Presenter = std::function<void(const PopupMenu& menu, HWND owner, POINT pt)>;
  void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }

 private:
  std::vector<Item> items_;
  HWND owner_ = nullptr;
  std::function<POINT()> keyboardPoint_;
  Presenter presenter_;
};

// The letter a caption underlines: the one after a single "&" ("&&" is a
// plain ampersand); 0 when there is none.
wchar_t MnemonicOf(const std::wstring& caption);
// Whether the caption underlines `key`, in any case.
bool HasMnemonic(const std::wstring& caption, wchar_t key);

// Where a menu opened from the keyboard appears: below the current row when it
// is in view, else at the list's top left corner (screen coordinates).
POINT KeyboardMenuPoint(HWND list, const RECT* row);

}  // namespace ui
