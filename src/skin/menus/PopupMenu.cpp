#include "skin/menus/PopupMenu.h"

#include "skin/theme/StyleResolve.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Menu.h"

namespace skin {

namespace {
constexpr UINT kFirstId = 1;
const wchar_t kHostClass[] = L"VantorelSkinMenuHost";

struct CheckListHolder {
  HIMAGELIST list = CreateCheckMarkList();
  ~CheckListHolder() {
    if (list != nullptr) ImageList_Destroy(list);
  }
};

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* menu = reinterpret_cast<TskSkinMenu*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (menu != nullptr && HandleSkinMenuMessage(*menu, msg, w, l, &result)) return result;
  return ::DefWindowProcW(hwnd, msg, w, l);
}

HWND CreateHost(HWND owner, TskSkinMenu* menu) {
  HINSTANCE inst = ui::Application::Instance().Module();
  WNDCLASSW wc{};
  if (!::GetClassInfoW(inst, kHostClass, &wc)) {
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = inst;
    wc.lpszClassName = kHostClass;
    ::RegisterClassW(&wc);
  }
  HWND host = ::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr, inst, nullptr);
  if (host != nullptr) ::SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(menu));
  return host;
}
}  // namespace

LRESULT AnswerMenuChar(HMENU Menu, wchar_t Key) {
  const int count = Menu != nullptr ? ::GetMenuItemCount(Menu) : 0;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!::GetMenuItemInfoW(Menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if ((info.fType & MFT_OWNERDRAW) == 0 || info.dwItemData == 0) continue;
    const auto* item = reinterpret_cast<const TskMenuItem*>(info.dwItemData);
    if (item->Enabled && !item->IsSeparator() && ui::HasMnemonic(item->Caption, Key))
      return MAKELRESULT(static_cast<WORD>(i), MNC_EXECUTE);
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

bool HandleSkinMenuMessage(TskSkinMenu& Menu, UINT Msg, WPARAM W, LPARAM L, LRESULT* Result) {
  // The system finds no underlined letter in an item it does not draw.
  if (Msg == WM_MENUCHAR) {
    *Result = AnswerMenuChar(reinterpret_cast<HMENU>(L), static_cast<wchar_t>(LOWORD(W)));
    return true;
  }
  if (Msg == WM_MEASUREITEM) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(L);
    if (mis->CtlType != ODT_MENU || mis->itemData == 0) return false;
    auto* item = reinterpret_cast<TskMenuItem*>(mis->itemData);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = Menu.CreateItemFont(item->Default);
    HGDIOBJ old = ::SelectObject(dc, font);
    int width = 0, height = 0;
    if (item->OnMeasureItem) item->OnMeasureItem(*item, dc, width, height);
    else Menu.MeasureItem(*item, dc, width, height);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    mis->itemWidth = static_cast<UINT>(width);
    mis->itemHeight = static_cast<UINT>(height);
    *Result = TRUE;
    return true;
  }
  if (Msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(L);
    if (dis->CtlType != ODT_MENU || dis->itemData == 0) return false;
    auto* item = reinterpret_cast<TskMenuItem*>(dis->itemData);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    if (item->OnDrawItem) item->OnDrawItem(*item, dis->hDC, dis->rcItem, selected);
    else Menu.DrawItem(*item, dis->hDC, dis->rcItem, selected);
    *Result = TRUE;
    return true;
  }
  return false;
}

// ---- popup ----

TskPopupMenu::TskPopupMenu(const ui::Window* Owner) { SetUIStyle(FindFormUIStyle(Owner)); }

void TskPopupMenu::SetMenuItemHeight(int Value) {
  if (GetUIStyle() != MacOS) TskSkinMenu::SetMenuItemHeight(Value);
}

HIMAGELIST TskPopupMenu::CheckMarks() const {
  static CheckListHolder shared;
  return shared.list;
}

TskMenuItem& TskPopupMenu::Add(TskMenuItem Item) {
  Items.push_back(std::move(Item));
  SetItemsOwnerDraw();
  return Items.back();
}

void TskPopupMenu::Popup(HWND Owner, POINT Point) {
  SetItemsOwnerDraw();
  HMENU menu = ::CreatePopupMenu();
  UINT next = kFirstId;
  std::vector<TskMenuItem*> byId;
  BuildMenu(menu, Items, next, byId);
  HWND host = CreateHost(Owner, this);
  ::SetForegroundWindow(Owner);
  UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, Point.x, Point.y,
                                                     host != nullptr ? host : Owner, nullptr));
  // Lets the menu close properly when the user clicks away from it.
  ::PostMessageW(Owner, WM_NULL, 0, 0);
  ::DestroyMenu(menu);
  if (host != nullptr) ::DestroyWindow(host);
  if (chosen >= kFirstId && chosen - kFirstId < byId.size()) {
    TskMenuItem* item = byId[chosen - kFirstId];
    if (item->Enabled && item->OnClick) item->OnClick();
  }
}

// ---- main menu ----

TskMainMenu::TskMainMenu(const ui::Window* Owner) {
  OwnChecks_ = CreateCheckMarkList();
  Images_ = OwnChecks_;
  SetUIStyle(FindFormUIStyle(Owner));
}

TskMainMenu::~TskMainMenu() {
  if (OwnChecks_ != nullptr) ImageList_Destroy(OwnChecks_);
}

void TskMainMenu::SetUseSystemFont(bool Value) {
  UseSystemFont = Value;
  if (Host_ != nullptr) Host_->UpdateMenuBarFont();
}

void TskMainMenu::Loaded() {
  SetItemsOwnerDraw();
  if (Host_ != nullptr) Host_->RebuildMenuBar();
}

void TskMainMenu::MenuChanged() {
  SetItemsOwnerDraw();
  if (Host_ != nullptr) Host_->RefreshMenuBarItems();
}

HMENU TskMainMenu::BuildMenuBar() {
  SetItemsOwnerDraw();
  HMENU bar = ::CreateMenu();
  UINT next = kFirstId;
  ById_.clear();
  BuildMenu(bar, Items, next, ById_);
  return bar;
}

bool TskMainMenu::RunCommand(UINT Id) {
  if (Id < kFirstId || Id - kFirstId >= ById_.size()) return false;
  TskMenuItem* item = ById_[Id - kFirstId];
  if (!item->Enabled || !item->OnClick) return false;
  item->OnClick();
  return true;
}

}  // namespace skin
