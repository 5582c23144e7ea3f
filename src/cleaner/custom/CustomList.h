// The custom clean list "<New List>" of Custom.dat as the list dialog edits
// it: the rows in order, the selected row, and the rules that enable Edit,
// Remove and OK. Nothing is written before Save.
#pragma once
#include <string>
#include <vector>

namespace cleaner {
namespace custom {

class TCustomListModel {
 public:
  // Reads the rows of `path` (none for a missing file); nothing selected.
  void Load(const std::wstring& path);
  const std::vector<std::wstring>& Rows() const { return rows_; }
  int Selected() const { return selected_; }
  void Select(int row) { selected_ = row >= 0 && row < Count() ? row : -1; }
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Modified() const { return modified_; }

  // Appends a row the builders made; an empty one is ignored. Returns its index or -1.
  int Add(const std::wstring& row);
  // Replaces the selected row.
  void ReplaceSelected(const std::wstring& row);
  // Removes the selected row and selects the one now in its place, else the
  // new last row, else none.
  void RemoveSelected();

  bool EditEnabled() const;
  bool RemoveEnabled() const { return selected_ >= 0; }
  // Rows exist, or the user changed the list: removing the last row and
  // saving empties the list in the file.
  bool OKEnabled() const { return !rows_.empty() || modified_; }

  // Writes the rows; false with the refused rows listed when a row cannot be
  // stored (then nothing is written). Raises ui::IniWriteError when the file
  // cannot be written.
  bool Save(const std::wstring& path, std::vector<std::wstring>* refused) const;

 private:
  std::vector<std::wstring> rows_;
  int selected_ = -1;
  bool modified_ = false;
};

}  // namespace custom
}  // namespace cleaner
