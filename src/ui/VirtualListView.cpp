#include "ui/VirtualListView.h"

#include <algorithm>
#include <vector>

#include "ui/ListView.h"

namespace ui {

bool VirtualListView::Create(HWND parent, int x, int y, int w, int h) {
  if (!CreateControl(parent, WC_LISTVIEWW, L"",
                     WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                     WS_EX_CLIENTEDGE, x, y, w, h))
    return false;
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  return true;
}

void VirtualListView::AddColumn(const std::wstring& caption, int width) {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  int index = header != nullptr ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = width;
  col.pszText = const_cast<wchar_t*>(caption.c_str());
  Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
}

void VirtualListView::Select(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring VirtualListView::CellText(int row, int column) const {
  std::vector<wchar_t> buf(4096);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buf.data();
  item.cchTextMax = static_cast<int>(buf.size());
  int n = static_cast<int>(Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
  return std::wstring(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

void VirtualListView::FillItem(LVITEMW& item) {
  int image = 0;
  buffer_.clear();
  if (OnGetCell) OnGetCell(item.iItem, item.iSubItem, &buffer_, &image);
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    size_t n = std::min<size_t>(buffer_.size(), static_cast<size_t>(item.cchTextMax - 1));
    buffer_.copy(item.pszText, n);
    item.pszText[n] = L'\0';
  }
  if ((item.mask & LVIF_IMAGE) != 0) item.iImage = image & 255;
}

bool VirtualListView::OnReflect(UINT msg, WPARAM, LPARAM l, LRESULT* result) {
  if (msg != WM_NOTIFY) return false;
  NMHDR* hdr = reinterpret_cast<NMHDR*>(l);
  if (hdr->code == LVN_GETDISPINFOW) {
    FillItem(reinterpret_cast<NMLVDISPINFOW*>(l)->item);
  } else if (hdr->code == static_cast<UINT>(NM_DBLCLK) && OnDblClick) {
    OnDblClick();
  } else {
    return false;
  }
  *result = 0;
  return true;
}

LRESULT VirtualListView::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  const MSG* key = msg == WM_GETDLGCODE ? reinterpret_cast<const MSG*>(l) : nullptr;
  auto enterOpensRow = [this] { return OnDblClick && (Selected() >= 0 || Focused() >= 0); };
  // Enter on a row is the row's own, not the form's default button.
  if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN && enterOpensRow())
    return Control::OnMessage(msg, w, l) | DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && w == VK_RETURN && enterOpensRow()) {
    // The row Tab focused without selecting it opens as a selected one does.
    if (Selected() < 0) Select(Focused());
    OnDblClick();
    return 0;
  }
  LRESULT result = Control::OnMessage(msg, w, l);
  if (msg == WM_SETFOCUS) FocusFirstRowIfNone(hwnd_);
  return result;
}

}  // namespace ui
