#include "ui/EditControls.h"

namespace ui {

bool Edit::Create(HWND parent, const std::wstring& text, int x, int y, int w, int h) {
  return CreateControl(parent, L"EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, x, y, w, h);
}

bool Edit::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  if (msg != WM_COMMAND || HIWORD(w) != EN_CHANGE) return false;
  if (OnChange) OnChange();
  *result = 0;
  return true;
}

bool RadioButton::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, bool firstInGroup) {
  return CreateControl(parent, L"BUTTON", caption,
                       WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (firstInGroup ? WS_GROUP : 0), 0, x, y, w, h);
}

}  // namespace ui
