#include "ui/TreeView.h"

#include <windowsx.h>

#include <cstring>

namespace ui {

HIMAGELIST CheckStateImages() {
  static HIMAGELIST list = [] {
    const int size = 16;
    HIMAGELIST il = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 3, 0);
    HDC screen = ::GetDC(nullptr);
    for (int i = 0; i < 3; ++i) {
      HDC dc = ::CreateCompatibleDC(screen);
      HBITMAP bmp = ::CreateCompatibleBitmap(screen, size, size);
      HGDIOBJ old = ::SelectObject(dc, bmp);
      RECT all{0, 0, size, size};
      HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
      ::FillRect(dc, &all, magenta);
      ::DeleteObject(magenta);
      if (i > 0) {
        RECT box{1, 1, size - 2, size - 2};
        ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (i == 2 ? DFCS_CHECKED : 0));
      }
      ::SelectObject(dc, old);
      ImageList_AddMasked(il, bmp, RGB(255, 0, 255));
      ::DeleteObject(bmp);
      ::DeleteDC(dc);
    }
    ::ReleaseDC(nullptr, screen);
    return il;
  }();
  return list;
}

bool TreeView::Create(HWND parent, int x, int y, int w, int h) {
  if (!CreateControl(parent, WC_TREEVIEWW, L"",
                     WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                         TVS_DISABLEDRAGDROP,
                     WS_EX_CLIENTEDGE, x, y, w, h))
    return false;
  Send(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(CheckStateImages()));
  return true;
}

TreeNode TreeView::Add(TreeNode parent, const std::wstring& text, int imageIndex, int stateIndex) {
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent != nullptr ? parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
  ins.item.pszText = const_cast<wchar_t*>(text.c_str());
  ins.item.lParam = imageIndex;
  ins.item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(stateIndex));
  ins.item.stateMask = TVIS_STATEIMAGEMASK;
  return reinterpret_cast<TreeNode>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

int TreeView::Level(TreeNode n) const {
  int level = 0;
  for (TreeNode p = Parent(n); p != nullptr; p = Parent(p)) ++level;
  return level;
}

std::wstring TreeView::NodeText(TreeNode n) const {
  wchar_t buf[512] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = n;
  item.pszText = buf;
  item.cchTextMax = 512;
  Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return buf;
}

int TreeView::ImageIndex(TreeNode n) const {
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = n;
  Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return static_cast<int>(item.lParam);
}

int TreeView::StateIndex(TreeNode n) const {
  UINT state = static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n), TVIS_STATEIMAGEMASK));
  return static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
}

void TreeView::SetStateIndex(TreeNode n, int stateIndex) {
  TVITEMW item{};
  item.mask = TVIF_STATE;
  item.hItem = n;
  item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(stateIndex));
  item.stateMask = TVIS_STATEIMAGEMASK;
  Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

bool TreeView::Expanded(TreeNode n) const {
  return (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TreeView::Expand(TreeNode n, bool recurse) {
  Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n));
  if (!recurse) return;
  for (TreeNode c = FirstChild(n); c != nullptr; c = NextSibling(c)) Expand(c, true);
}

void TreeView::FullExpand() {
  for (TreeNode n = First(); n != nullptr; n = NextSibling(n)) Expand(n, true);
}

void TreeView::ForEachFrom(TreeNode n, const std::function<void(TreeNode)>& fn) const {
  for (; n != nullptr; n = NextSibling(n)) {
    fn(n);
    ForEachFrom(FirstChild(n), fn);
  }
}

void TreeView::ForEach(const std::function<void(TreeNode)>& fn) const { ForEachFrom(First(), fn); }

TreeView::HitKind TreeView::HitTest(POINT pt, TreeNode* node) const {
  TVHITTESTINFO info{};
  info.pt = pt;
  *node = reinterpret_cast<TreeNode>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (*node == nullptr) return HitKind::None;
  if (info.flags & TVHT_ONITEMSTATEICON) return HitKind::StateIcon;
  if (info.flags & TVHT_ONITEMLABEL) return HitKind::Label;
  return HitKind::Other;
}

bool TreeView::ClickSelected(HitKind part) {
  TreeNode node = Next(nullptr, TVGN_CARET);
  if (node == nullptr || !OnMouseDown || (part == HitKind::StateIcon && StateIndex(node) == 0)) return false;
  RECT r{};
  std::memcpy(&r, &node, sizeof(node));  // the message takes the node in the rectangle
  if (!Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return false;
  if (part == HitKind::Label) {
    press_ = WM_LBUTTONDOWN;
    pressAt_ = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    OnMouseDown(press_, pressAt_);
    EndPress(WM_LBUTTONDOWN);  // a key has no press to wait for
    return true;
  }
  // The box lies left of the label; the tree's own hit test finds it.
  for (POINT pt{r.left - 1, (r.top + r.bottom) / 2}; pt.x >= 0; --pt.x) {
    TreeNode hit = nullptr;
    if (HitTest(pt, &hit) != HitKind::StateIcon || hit != node) continue;
    OnMouseDown(WM_LBUTTONDOWN, pt);
    return true;
  }
  return false;
}

void TreeView::EndPress(UINT button) {
  if (press_ != button) return;
  press_ = 0;
  if (OnClick) OnClick(button, pressAt_);
}

bool TreeView::OnReflect(UINT msg, WPARAM, LPARAM l, LRESULT* result) {
  if (msg != WM_NOTIFY) return false;
  const auto* nm = reinterpret_cast<const NMTREEVIEWW*>(l);
  const UINT code = nm->hdr.code;
  if (code == static_cast<UINT>(NM_CLICK) || code == static_cast<UINT>(NM_RCLICK)) {
    EndPress(code == static_cast<UINT>(NM_CLICK) ? WM_LBUTTONDOWN : WM_RBUTTONDOWN);
    return false;
  }
  if (!OnCollapsing) return false;
  const bool before = code == TVN_ITEMEXPANDINGW || code == TVN_ITEMEXPANDINGA;
  const bool after = code == TVN_ITEMEXPANDEDW || code == TVN_ITEMEXPANDEDA;
  if ((!before && !after) || (nm->action & (TVE_COLLAPSE | TVE_EXPAND)) != TVE_COLLAPSE) return false;
  if (OnCollapsing(nm->itemNew.hItem)) return false;
  // Wine's tree collapses even when the answer forbids it: the node opens
  // again once that collapse is done.
  if (after) Post(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(nm->itemNew.hItem));
  *result = TRUE;
  return true;
}

LRESULT TreeView::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  // Space ticks the selected node's box as a click on the box does; its
  // character then searches nothing.
  if (msg == WM_KEYDOWN && w == VK_SPACE) {
    spaceTicked_ = ClickSelected(HitKind::StateIcon);
    if (spaceTicked_) return 0;
  }
  if (msg == WM_CHAR && w == L' ' && spaceTicked_) return 0;
  // Enter on the selected node is a click on its label, and the tree's own
  // rather than the form's default button.
  const MSG* key = msg == WM_GETDLGCODE ? reinterpret_cast<const MSG*>(l) : nullptr;
  if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN && OnMouseDown)
    return Control::OnMessage(msg, w, l) | DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && w == VK_RETURN && ClickSelected(HitKind::Label)) return 0;
  if (msg == WM_CHAR && w == L'\r' && OnMouseDown) return 0;
  if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) {
    LRESULT result = Control::OnMessage(msg, w, l);
    EndPress(msg - 1);  // each button's up message follows its down message
    return result;
  }
  if (msg != WM_LBUTTONDOWN && msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN) return Control::OnMessage(msg, w, l);
  POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  press_ = msg;
  pressAt_ = pt;
  if (OnMouseDown) OnMouseDown(msg, pt);
  TreeNode node = nullptr;
  bool onBox = HitTest(pt, &node) == HitKind::StateIcon;
  LRESULT result = DefaultProc(msg, w, l);
  if (onBox && msg == WM_LBUTTONDOWN && ::IsWindow(hwnd_)) {
    // A click on a box focuses its row without selecting it, and the row
    // focused before keeps its highlight: several rows looked selected. The
    // row clicked becomes the one selected row, and the tree repaints.
    Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
  }
  return result;
}

}  // namespace ui
