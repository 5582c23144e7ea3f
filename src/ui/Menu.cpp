#include "ui/Menu.h"

#include "ui/Control.h"

namespace ui {
namespace {

// CharUpper takes a single character in the low word of its argument.
wchar_t Upper(wchar_t c) {
  auto* asText = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c));
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(::CharUpperW(asText)));
}

// A menu hears the keyboard only while a window of ours has it, and a hidden
// owner (the window in the tray) cannot take it: a one-pixel window at the
// menu's point stands in for it while the menu is open.
HWND KeyboardOwner(HWND owner, POINT pt) {
  if (owner == nullptr || ::IsWindowVisible(owner)) return owner;
  HWND standIn = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, pt.x,
                                   pt.y, 1, 1, owner, nullptr, nullptr, nullptr);
  return standIn != nullptr ? standIn : owner;
}

}  // namespace

void PopupMenu::Add(const std::wstring& caption, std::function<void()> action, std::function<bool()> enabled,
                    const std::wstring& shortcut) {
  items_.push_back(Item{caption, std::move(action), std::move(enabled), shortcut});
}

void PopupMenu::Popup(HWND owner, POINT pt, bool above) const {
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
  // The owner must be foreground or the menu neither hears its letters nor
  // closes when clicked away; the message after it ends the menu's loop.
  HWND keys = KeyboardOwner(owner, pt);
  ::SetForegroundWindow(keys);
  const UINT align = above ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
  UINT cmd = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | align, pt.x, pt.y, 0, keys, nullptr));
  ::PostMessageW(owner, WM_NULL, 0, 0);
  if (keys != owner) ::DestroyWindow(keys);
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

wchar_t MnemonicOf(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] != L'&') return caption[i + 1];
    ++i;
  }
  return 0;
}

bool HasMnemonic(const std::wstring& caption, wchar_t key) {
  wchar_t m = MnemonicOf(caption);
  if (m == 0 || key == 0) return false;
  return Upper(m) == Upper(key);
}

POINT KeyboardMenuPoint(HWND list, const RECT* row) {
  RECT client{};
  ::GetClientRect(list, &client);
  POINT pt{client.left + 8, client.top + 8};
  if (row != nullptr && row->bottom > client.top && row->top < client.bottom) pt = POINT{row->left + 8, row->bottom};
  ::ClientToScreen(list, &pt);
  return pt;
}

void PopupMenu::AttachTo(Control& control, HWND owner, std::function<POINT()> keyboardPoint) {
  owner_ = owner;
  keyboardPoint_ = std::move(keyboardPoint);
  control.AttachMenu(this);
}

bool PopupMenu::OnControlMessage(UINT msg, WPARAM w, LPARAM l) const {
  switch (msg) {
    case WM_CONTEXTMENU:
      if (l == static_cast<LPARAM>(-1)) break;
      Popup(owner_, POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))});
      return true;
    // Shift+F10 and the menu key, handled here so that the default handling
    // cannot open the menu a second time.
    case WM_SYSKEYDOWN:
      if (w == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000) != 0) break;
      return false;
    case WM_KEYDOWN:
      if (w == VK_APPS) break;
      return ChooseShortcut(static_cast<UINT>(w));
    case WM_KEYUP:
      return w == VK_APPS;
    default:
      return false;
  }
  Popup(owner_, keyboardPoint_ ? keyboardPoint_() : POINT{});
  return true;
}

}  // namespace ui
