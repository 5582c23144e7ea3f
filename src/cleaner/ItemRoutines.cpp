#include "cleaner/ItemRoutines.h"

namespace cleaner {

const wchar_t kCustomListSection[] = L"<New List>";

void ItemRoutineTable::Register(const std::wstring& caption, ItemRoutine routine) {
  routines_[caption] = std::move(routine);
}

const ItemRoutine* ItemRoutineTable::Find(const std::wstring& caption) const {
  auto it = routines_.find(caption);
  return it == routines_.end() || !it->second ? nullptr : &it->second;
}

ItemRoutineTable& ItemRoutineTable::Program() {
  static ItemRoutineTable table;
  return table;
}

ResolvedItem ResolveCaption(const ItemRoutineTable& table, const std::wstring& caption) {
  ResolvedItem item;
  if (caption.find(L"Custom Lists -") != std::wstring::npos) {
    item.file = DataFile::Custom;
    item.section = kCustomListSection;
    return item;
  }
  item.routine = table.Find(caption);
  if (item.routine != nullptr) return item;
  size_t dash = caption.find(L'-');
  // A caption without "-" names no section.
  if (dash != std::wstring::npos && dash + 2 <= caption.size()) item.section = caption.substr(dash + 2);
  return item;
}

}  // namespace cleaner
