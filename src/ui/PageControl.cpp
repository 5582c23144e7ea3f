#include "ui/PageControl.h"

#include <commctrl.h>

namespace ui {

bool PageControl::Create(HWND parent, int x, int y, int w, int h) {
  return CreateControl(parent, WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                       WS_EX_CONTROLPARENT, x, y, w, h);
}

Panel& PageControl::AddPage(const std::wstring& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  int index = PageCount();
  Send(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  RECT area{};
  ::GetClientRect(hwnd_, &area);
  Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  pages_.push_back(std::make_unique<Panel>());
  Panel& page = *pages_.back();
  page.Create(hwnd_, area.left, area.top, area.right - area.left, area.bottom - area.top, false);
  ShowActivePage();
  return page;
}

int PageControl::ActivePageIndex() const { return static_cast<int>(Send(TCM_GETCURSEL)); }

void PageControl::SetActivePage(int index) {
  if (index < 0 || index >= PageCount()) return;
  Send(TCM_SETCURSEL, static_cast<WPARAM>(index));
  ShowActivePage();
}

void PageControl::ShowActivePage() {
  int active = ActivePageIndex();
  for (int i = 0; i < PageCount(); ++i) {
    Panel& page = *pages_[static_cast<size_t>(i)];
    page.Enable(i == active);
    page.Show(i == active);
  }
}

bool PageControl::OnReflect(UINT msg, WPARAM, LPARAM l, LRESULT* result) {
  if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(l)->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  ShowActivePage();
  if (OnChange) OnChange();
  *result = 0;
  return true;
}

}  // namespace ui
