#include "cleaner/custom/CustomList.h"

#include "cleaner/custom/CustomRows.h"
#include "cleaner/items/DataFiles.h"

namespace cleaner {
namespace custom {

void TCustomListModel::Load(const std::wstring& path) {
  rows_ = ReadCustomList(path);
  selected_ = -1;
  modified_ = false;
}

int TCustomListModel::Add(const std::wstring& row) {
  if (row.empty()) return -1;
  rows_.push_back(row);
  modified_ = true;
  return Count() - 1;
}

void TCustomListModel::ReplaceSelected(const std::wstring& row) {
  if (selected_ < 0 || row.empty()) return;
  rows_[static_cast<size_t>(selected_)] = row;
  modified_ = true;
}

void TCustomListModel::RemoveSelected() {
  if (selected_ < 0) return;
  int next = selected_ < Count() - 1 ? selected_ : Count() - 2;
  rows_.erase(rows_.begin() + selected_);
  selected_ = next;
  modified_ = true;
}

bool TCustomListModel::EditEnabled() const {
  return selected_ >= 0 && IsRegistryRow(rows_[static_cast<size_t>(selected_)]);
}

bool TCustomListModel::Save(const std::wstring& path, std::vector<std::wstring>* refused) const {
  return WriteCustomList(path, rows_, refused);
}

}  // namespace custom
}  // namespace cleaner
