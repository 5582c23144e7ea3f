// Tree view whose nodes carry a check state as state image (1 = not ticked,
// 2 = ticked) and a program id as image index.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

using TreeNode = HTREEITEM;

class TreeView : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h);

  TreeNode Add(TreeNode parent, const std::wstring& text, int imageIndex, int stateIndex = 1);
  void Clear() { Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

  TreeNode First() const { return Next(nullptr, TVGN_ROOT); }
  TreeNode FirstChild(TreeNode n) const { return Next(n, TVGN_CHILD); }
  TreeNode NextSibling(TreeNode n) const { return Next(n, TVGN_NEXT); }
  TreeNode Parent(TreeNode n) const { return Next(n, TVGN_PARENT); }
  int Level(TreeNode n) const;
  bool HasChildren(TreeNode n) const { return FirstChild(n) != nullptr; }

  std::wstring NodeText(TreeNode n) const;
  int ImageIndex(TreeNode n) const;
  int StateIndex(TreeNode n) const;
  void SetStateIndex(TreeNode n, int state);
  bool Expanded(TreeNode n) const;
  void Expand(TreeNode n, bool recurse);
  void FullExpand();

  // Visits every node in tree order (a node before its children).
  void ForEach(const std::function<void(TreeNode)>& fn) const;

  enum class HitKind { None, Label, StateIcon, Other };
  HitKind HitTest(POINT clientPt, TreeNode* node) const;

  // Any mouse button pressed on the tree: (button, client point). Space on
  // the selected node arrives here too, as a left click on its box, and
  // Enter as a left click on its label.
  std::function<void(UINT button, POINT pt)> OnMouseDown;
  // The same press once the tree has finished with it: at its click notice,
  // or at the release of a button it leaves alone (the tree runs a loop of
  // its own while the left or right button is down). Enter arrives here too.
  std::function<void(UINT button, POINT pt)> OnClick;
  // Asked before a node is collapsed by the mouse or the keyboard: false
  // keeps it open.
  std::function<bool(TreeNode)> OnCollapsing;

  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  TreeNode Next(TreeNode n, UINT code) const {
    return reinterpret_cast<TreeNode>(Send(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(n)));
  }
  void ForEachFrom(TreeNode n, const std::function<void(TreeNode)>& fn) const;
  // Raises OnMouseDown on the selected node's box or label; false when
  // there is none.
  bool ClickSelected(HitKind part);
  // Raises OnClick for the press of `button`, once.
  void EndPress(UINT button);
  bool spaceTicked_ = false;
  UINT press_ = 0;  // the button-down message of the press not yet ended
  POINT pressAt_{};
};

// Image list of the check-box state pictures: 0 none, 1 empty box, 2 ticked box.
HIMAGELIST CheckStateImages();

}  // namespace ui
