// Report-style list view, optionally with check boxes; each row carries one
// integer of data.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class ListView : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h, bool checkBoxes);
  void AddColumn(const std::wstring& caption, int width, bool rightAligned = false);
  // Appends a row; returns its index.
  int AddRow(const std::wstring& caption, const std::vector<std::wstring>& subItems = {}, LPARAM data = 0);
  void DeleteRow(int row) { Send(LVM_DELETEITEM, static_cast<WPARAM>(row)); }
  void Clear() { Send(LVM_DELETEALLITEMS); }
  int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  std::wstring CellText(int row, int column) const;
  void SetCellText(int row, int column, const std::wstring& text);
  LPARAM RowData(int row) const;
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);
  int Selected() const { return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }
  void SetGridLines(bool on);
  // Between the two the list is not drawn, and OnCheckChanged is held back
  // until EndUpdate, which raises it once when any tick changed meanwhile.
  void BeginUpdate();
  void EndUpdate();

  // Widens every column to fit its contents; none becomes narrower than the
  // width it was added with.
  void FitColumnsToContents();

  // Runs after the list has finished with the click, so a check box the
  // click toggled shows its new state.
  std::function<void()> OnClick;
  // A row's check box changed, whatever changed it: the mouse, Space, a menu
  // or the program itself.
  std::function<void()> OnCheckChanged;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  LRESULT PaintWithEmptyFocus(UINT msg, WPARAM w, LPARAM l);
  RECT RowsArea() const;

  std::vector<int> columnWidths_;  // as added
  int updating_ = 0;
  bool checksChanged_ = false;
};

// A list entered with nothing focused focuses its first row, so that the
// focus shows and Space acts at once.
void FocusFirstRowIfNone(HWND list);

}  // namespace ui
