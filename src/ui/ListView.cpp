#include "ui/ListView.h"

#include <algorithm>
#include <cstddef>

namespace ui {

namespace {

// Posted by the list to itself on a click; it arrives once the list's own
// handling of the click (the check box's toggle among it) is over.
UINT ClickDoneMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"VantorelListViewClickDone");
  return message;
}

}  // namespace

bool ListView::Create(HWND parent, int x, int y, int w, int h, bool checkBoxes) {
  if (!CreateControl(parent, WC_LISTVIEWW, L"", WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                     WS_EX_CLIENTEDGE, x, y, w, h))
    return false;
  DWORD ex = LVS_EX_FULLROWSELECT | (checkBoxes ? LVS_EX_CHECKBOXES : 0);
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
  return true;
}

void ListView::SetGridLines(bool on) {
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, on ? LVS_EX_GRIDLINES : 0);
}

void ListView::AddColumn(const std::wstring& caption, int width, bool rightAligned) {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  int index = header != nullptr ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.fmt = rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
  col.cx = width;
  col.pszText = const_cast<wchar_t*>(caption.c_str());
  Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col));
  const size_t at = std::min<size_t>(static_cast<size_t>(index), columnWidths_.size());
  columnWidths_.insert(columnWidths_.begin() + static_cast<std::ptrdiff_t>(at), width);
}

void ListView::FitColumnsToContents() {
  for (size_t c = 0; c < columnWidths_.size(); ++c) {
    Send(LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
    if (static_cast<int>(Send(LVM_GETCOLUMNWIDTH, c)) < columnWidths_[c])
      Send(LVM_SETCOLUMNWIDTH, c, static_cast<LPARAM>(columnWidths_[c]));
  }
}

int ListView::AddRow(const std::wstring& caption, const std::vector<std::wstring>& subItems, LPARAM data) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = Count();
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  item.lParam = data;
  int row = static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  for (size_t i = 0; i < subItems.size() && row >= 0; ++i) SetCellText(row, static_cast<int>(i) + 1, subItems[i]);
  return row;
}

std::wstring ListView::CellText(int row, int column) const {
  std::vector<wchar_t> buf(1024);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(buf.size());
    int n = static_cast<int>(Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (n + 1 < static_cast<int>(buf.size())) return std::wstring(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 4);
  }
}

void ListView::SetCellText(int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

LPARAM ListView::RowData(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

bool ListView::Checked(int row) const {
  UINT state = static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void ListView::SetChecked(int row, bool checked) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2u : 1u);
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

namespace {

bool TickChanged(const NMLISTVIEW& change) {
  return (change.uChanged & LVIF_STATE) != 0 && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) != 0;
}

}  // namespace

bool ListView::OnReflect(UINT msg, WPARAM, LPARAM l, LRESULT* result) {
  if (msg != WM_NOTIFY) return false;
  const NMHDR* hdr = reinterpret_cast<NMHDR*>(l);
  if (hdr->code == LVN_ITEMCHANGED && TickChanged(*reinterpret_cast<const NMLISTVIEW*>(l))) {
    if (updating_ > 0) checksChanged_ = true;
    else if (OnCheckChanged) OnCheckChanged();
    return false;
  }
  if (hdr->code != static_cast<UINT>(NM_CLICK) || !OnClick) return false;
  Post(ClickDoneMessage());
  *result = 0;
  return true;
}

LRESULT ListView::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == ClickDoneMessage() && msg != 0) {
    if (OnClick) OnClick();
    return 0;
  }
  if (msg == WM_PAINT) return PaintWithEmptyFocus(msg, w, l);
  // The mark of an empty list comes and goes with the focus and the rows.
  const bool marks = msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_SIZE || msg == LVM_INSERTITEMW ||
                     msg == LVM_DELETEITEM || msg == LVM_DELETEALLITEMS;
  const bool wasEmpty = marks && Count() == 0;
  LRESULT result = Control::OnMessage(msg, w, l);
  if (msg == WM_SETFOCUS) FocusFirstRowIfNone(hwnd_);
  if (marks && (wasEmpty || Count() == 0)) Invalidate();
  return result;
}

// Below the header, where the rows would be.
RECT ListView::RowsArea() const {
  RECT rows{};
  ::GetClientRect(hwnd_, &rows);
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  if (header != nullptr && ::IsWindowVisible(header)) {
    RECT r{};
    ::GetWindowRect(header, &r);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    rows.top = std::max(rows.top, r.bottom);
  }
  return rows;
}

// A list with no row has none to show the focus on, so the focus would show
// nowhere: the empty rows area gets the focus mark instead, as an empty list
// box shows one.
LRESULT ListView::PaintWithEmptyFocus(UINT msg, WPARAM w, LPARAM l) {
  HRGN painted = ::CreateRectRgn(0, 0, 0, 0);
  const bool any = ::GetUpdateRgn(hwnd_, painted, FALSE) > NULLREGION;
  LRESULT result = Control::OnMessage(msg, w, l);
  RECT mark = RowsArea();
  ::InflateRect(&mark, -2, -2);
  if (any && ::GetFocus() == hwnd_ && Count() == 0 && !::IsRectEmpty(&mark)) {
    // Only where the list has just painted: the mark is drawn by inverting.
    HDC dc = ::GetDC(hwnd_);
    ::SelectClipRgn(dc, painted);
    ::DrawFocusRect(dc, &mark);
    ::ReleaseDC(hwnd_, dc);
  }
  ::DeleteObject(painted);
  return result;
}

void ListView::BeginUpdate() {
  if (updating_++ == 0) checksChanged_ = false;
  Send(WM_SETREDRAW, FALSE);
}

void ListView::EndUpdate() {
  Send(WM_SETREDRAW, TRUE);
  ::InvalidateRect(hwnd_, nullptr, TRUE);
  if (updating_ > 0 && --updating_ == 0 && checksChanged_ && OnCheckChanged) OnCheckChanged();
}

void FocusFirstRowIfNone(HWND list) {
  if (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= 0 ||
      ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0)
    return;
  // Focused only: what is selected stays the user's choice.
  LVITEMW item{};
  item.stateMask = LVIS_FOCUSED;
  item.state = LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace ui
