// Pop-up menus whose items run a callback.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

class PopupMenu {
 public:
  struct Item {
    std::wstring caption;
    std::function<void()> action;
    std::function<bool()> enabled;  // empty: always enabled
  };
  // An empty caption adds a separator.
  void Add(const std::wstring& caption, std::function<void()> action, std::function<bool()> enabled = {});
  const std::vector<Item>& Items() const { return items_; }
  // Shows the menu at screen point `pt` for `owner` and runs the chosen item.
  void Popup(HWND owner, POINT pt) const;
  // Runs the item with this caption as if chosen; false when absent or disabled.
  bool Choose(const std::wstring& caption) const;

 private:
  std::vector<Item> items_;
};

}  // namespace ui
