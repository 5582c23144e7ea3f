#include "ui/RadioGroup.h"

namespace ui {

bool RadioButton::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, bool firstOfGroup) {
  DWORD style = WS_VISIBLE | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0);
  return CreateControl(parent, L"BUTTON", caption, style, 0, x, y, w, h);
}

bool RadioGroup::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h,
                        const std::vector<std::wstring>& lines, int columns) {
  if (!GroupBox::Create(parent, caption, x, y, w, h)) return false;
  const int cols = columns < 1 ? 1 : columns;
  const int rows = (static_cast<int>(lines.size()) + cols - 1) / cols;
  const int top = 18, colWidth = (w - 16) / cols;
  const int rowHeight = rows > 0 ? (h - top - 6) / rows : 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    int col = static_cast<int>(i) / (rows > 0 ? rows : 1), row = static_cast<int>(i) % (rows > 0 ? rows : 1);
    items_.push_back(std::make_unique<RadioButton>());
    RadioButton& b = *items_.back();
    if (!b.Create(hwnd_, lines[i], 8 + col * colWidth, top + row * rowHeight, colWidth - 4, 17, i == 0)) return false;
    b.OnClick = [this] {
      if (OnClick) OnClick();
    };
  }
  return true;
}

int RadioGroup::ItemIndex() const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Checked()) return static_cast<int>(i);
  return -1;
}

void RadioGroup::SetItemIndex(int index) {
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->SetChecked(static_cast<int>(i) == index);
}

void RadioGroup::SetItemEnabled(int index, bool enabled) {
  if (index >= 0 && index < Count()) Item(index).Enable(enabled);
}

bool RadioGroup::ItemEnabled(int index) const {
  return index >= 0 && index < Count() && items_[static_cast<size_t>(index)]->Enabled();
}

}  // namespace ui
