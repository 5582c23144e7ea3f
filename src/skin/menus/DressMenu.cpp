#include "skin/menus/DressMenu.h"

#include "skin/menus/PopupMenu.h"

namespace skin {

void DressPopupMenu(ui::PopupMenu& Menu, TskUIStyle Style, TskFileTheme* FileTheme) {
  Menu.SetPresenter([Style, FileTheme](const ui::PopupMenu& plain, HWND owner, POINT pt) {
    TskPopupMenu themed;
    themed.SetFileTheme(FileTheme);
    themed.SetUIStyle(Style);
    for (const ui::PopupMenu::Item& source : plain.Items()) {
      TskMenuItem item;
      item.Caption = source.caption.empty() ? L"-" : source.caption;
      item.ShortCut = source.shortcut;
      item.Enabled = !source.enabled || source.enabled();
      item.OnClick = source.action;
      themed.Items.push_back(std::move(item));
    }
    themed.Popup(owner, pt);
  });
}

}  // namespace skin
