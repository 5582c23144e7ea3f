#include "ui/Menu.h"

#include "ui/Control.h"

namespace ui {

void PopupMenu::Add(const std::wstring& caption, std::function<void()> action, std::function<bool()> enabled,
                    const std::wstring& shortcut) {
  items_.push_back(Item{caption, std::move(action), std::move(enabled), shortcut});
}

void PopupMenu::Popup(HWND owner, POINT pt) const {
  if (presenter_) {
    presenter_(*this, owner, pt);
    return;
  }
  HMENU menu = ::CreatePopupMenu();
  for (size_t i = 0; i < items_.size(); ++i) {
    const Item& it = items_[i];
    if (it.caption.empty()) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | ((it.enabled && !it.enabled()) ? MF_GRAYED : 0);
    std::wstring text = it.shortcut.empty() ? it.caption : it.caption + L"\t" + it.shortcut;
    ::AppendMenuW(menu, flags, i + 1, text.c_str());
  }
  // The owner must be foreground or the menu does not close when clicked away.
  ::SetForegroundWindow(owner);
  UINT cmd = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, pt.x, pt.y, 0, owner, nullptr));
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

bool PopupMenu::ChooseShortcut(UINT key) const {
  // Only "Ctrl+<letter>" shortcuts are used by the program's menus.
  if ((::GetKeyState(VK_CONTROL) & 0x8000) == 0 || (::GetKeyState(VK_MENU) & 0x8000) != 0) return false;
  for (const Item& it : items_) {
    if (it.shortcut.size() != 6 || it.shortcut.compare(0, 5, L"Ctrl+") != 0) continue;
    if (static_cast<UINT>(it.shortcut[5]) != key) continue;
    // A disabled item's shortcut does nothing, as in the menu.
    if (it.action && (!it.enabled || it.enabled())) it.action();
    return true;
  }
  return false;
}

void PopupMenu::AttachTo(Control& control, HWND owner, std::function<POINT()> keyboardPoint) {
  auto fromKeyboard = [this, owner, keyboardPoint] {
    Popup(owner, keyboardPoint());
    return LRESULT{0};
  };
  control.OnMsg(WM_CONTEXTMENU, [this, owner, fromKeyboard](WPARAM, LPARAM l) {
    if (l == static_cast<LPARAM>(-1)) return fromKeyboard();
    POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    Popup(owner, pt);
    return LRESULT{0};
  });
  // Shift+F10 and the menu key, handled here so that the default handling
  // cannot open the menu a second time.
  Control* c = &control;
  control.OnMsg(WM_SYSKEYDOWN, [c, fromKeyboard](WPARAM w, LPARAM l) {
    if (w == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000) != 0) return fromKeyboard();
    return c->CallDefault(WM_SYSKEYDOWN, w, l);
  });
  control.OnMsg(WM_KEYDOWN, [this, c, fromKeyboard](WPARAM w, LPARAM l) {
    if (w == VK_APPS) return fromKeyboard();
    if (ChooseShortcut(static_cast<UINT>(w))) return LRESULT{0};
    return c->CallDefault(WM_KEYDOWN, w, l);
  });
  control.OnMsg(WM_KEYUP, [c](WPARAM w, LPARAM l) { return w == VK_APPS ? LRESULT{0} : c->CallDefault(WM_KEYUP, w, l); });
}

}  // namespace ui
