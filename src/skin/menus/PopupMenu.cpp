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
  PopupItems(Items, Owner, Point);
}

void TskSkinMenu::PopupItems(std::vector<TskMenuItem>& Items, HWND Owner, POINT Point) {
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
  if (Host_ != nullptr) Host_->MenuRemoved();
  if (OwnChecks_ != nullptr) ImageList_Destroy(OwnChecks_);
}

void TskMainMenu::SetHost(MenuBarHost* Host) {
  Host_ = Host;
  if (Host_ != nullptr) Host_->RebuildMenuBar();
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

void TskMainMenu::DropDown(size_t Index, HWND Owner, POINT At) {
  if (Index >= Items.size() || !Items[Index].Enabled) return;
  TskMenuItem& top = Items[Index];
  SetItemsOwnerDraw();
  if (top.Items.empty()) {
    if (top.OnClick) top.OnClick();
    return;
  }
  PopupItems(top.Items, Owner, At);
}

namespace {

// The shortcut text of a key as menus show it ("Ctrl+Shift+F5"); empty for
// a key no shortcut names.
std::wstring KeyText(WPARAM Key) {
  struct Named {
    WPARAM key;
    const wchar_t* name;
  };
  static const Named names[] = {{VK_BACK, L"BkSp"}, {VK_TAB, L"Tab"},     {VK_RETURN, L"Enter"}, {VK_ESCAPE, L"Esc"},
                                {VK_SPACE, L"Space"}, {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"},   {VK_END, L"End"},
                                {VK_HOME, L"Home"},   {VK_LEFT, L"Left"},  {VK_UP, L"Up"},       {VK_RIGHT, L"Right"},
                                {VK_DOWN, L"Down"},   {VK_INSERT, L"Ins"}, {VK_DELETE, L"Del"}};
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return std::wstring(1, static_cast<wchar_t>(Key));
  if (Key >= VK_F1 && Key <= VK_F24) return L"F" + std::to_wstring(Key - VK_F1 + 1);
  for (const Named& n : names)
    if (n.key == Key) return n.name;
  return {};
}

bool Down(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

TskMenuItem* FindShortCut(std::vector<TskMenuItem>& Items, const std::wstring& Text) {
  for (TskMenuItem& item : Items) {
    if (!item.ShortCut.empty() && ::lstrcmpiW(item.ShortCut.c_str(), Text.c_str()) == 0) return &item;
    if (TskMenuItem* sub = FindShortCut(item.Items, Text)) return sub;
  }
  return nullptr;
}

}  // namespace

std::wstring ShortCutText(WPARAM Key, bool Ctrl, bool Shift, bool Alt) {
  std::wstring name = KeyText(Key);
  if (name.empty()) return {};
  return std::wstring(Shift ? L"Shift+" : L"") + (Ctrl ? L"Ctrl+" : L"") + (Alt ? L"Alt+" : L"") + name;
}

bool TskMainMenu::IsShortCut(WPARAM Key) {
  const std::wstring text = ShortCutText(Key, Down(VK_CONTROL), Down(VK_SHIFT), Down(VK_MENU));
  TskMenuItem* item = text.empty() ? nullptr : FindShortCut(Items, text);
  if (item == nullptr) return false;
  // A disabled item's shortcut does nothing, as in the menu.
  if (item->Enabled && item->OnClick) item->OnClick();
  return true;
}

}  // namespace skin
