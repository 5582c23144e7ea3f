// A report list view that holds no rows of its own (owner data): it asks for
// each row's texts when it draws them, so that many thousands of rows cost
// nothing to show.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

class VirtualListView : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h);
  void AddColumn(const std::wstring& caption, int width);
  void SetRowCount(int count) { Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0); }
  int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  int Selected() const { return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }
  int Focused() const { return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }
  void Select(int row);
  // The text the list shows in a cell, asked from OnGetCell.
  std::wstring CellText(int row, int column) const;

  // Fills the text of one cell (column 0 is the row's caption) and the row's image.
  std::function<void(int row, int column, std::wstring* text, int* image)> OnGetCell;
  // A double click on a row, or Enter on the focused one.
  std::function<void()> OnDblClick;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FillItem(LVITEMW& item);
  std::wstring buffer_;  // keeps the text alive until the control has copied it
};

}  // namespace ui
