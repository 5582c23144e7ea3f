#include "ui/ComboBox.h"

namespace ui {

bool ComboBox::Create(HWND parent, int x, int y, int w, int h) {
  return CreateControl(parent, L"COMBOBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, x, y, w, h);
}

void ComboBox::SetItems(const std::vector<std::wstring>& lines) {
  Send(CB_RESETCONTENT);
  for (const std::wstring& line : lines) Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

}  // namespace ui
