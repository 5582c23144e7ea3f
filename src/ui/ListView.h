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
  void BeginUpdate() { Send(WM_SETREDRAW, FALSE); }
  void EndUpdate();

  // Widens every column to fit its contents; none becomes narrower than the
  // width it was added with.
  void FitColumnsToContents();

  // Runs after the list has finished with the click, so a check box the
  // click toggled shows its new state.
  std::function<void()> OnClick;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  std::vector<int> columnWidths_;  // as added
};

}  // namespace ui
