#include "ui/Menu.h"

namespace ui {

void PopupMenu::Add(const std::wstring& caption, std::function<void()> action, std::function<bool()> enabled) {
  items_.push_back(Item{caption, std::move(action), std::move(enabled)});
}

void PopupMenu::Popup(HWND owner, POINT pt) const {
  HMENU menu = ::CreatePopupMenu();
  for (size_t i = 0; i < items_.size(); ++i) {
    const Item& it = items_[i];
    if (it.caption.empty()) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | ((it.enabled && !it.enabled()) ? MF_GRAYED : 0);
    ::AppendMenuW(menu, flags, i + 1, it.caption.c_str());
  }
  // The owner must be foreground or the menu does not close when clicked away.
  ::SetForegroundWindow(owner);
  UINT cmd = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr));
  ::PostMessageW(owner, WM_NULL, 0, 0);
  ::DestroyMenu(menu);
  if (cmd >= 1 && cmd <= items_.size() && items_[cmd - 1].action) items_[cmd - 1].action();
}

bool PopupMenu::Choose(const std::wstring& caption) const {
  for (const Item& it : items_) {
    if (it.caption != caption) continue;
    if ((it.enabled && !it.enabled()) || !it.action) return false;
    it.action();
    return true;
  }
  return false;
}

}  // namespace ui
