#include "ui/Edit.h"

namespace ui {

bool Edit::Create(HWND parent, const std::wstring& text, int x, int y, int w, int h) {
  return CreateControl(parent, L"EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, x, y, w, h);
}

void Edit::MoveCaretToEnd() {
  int end = ::GetWindowTextLengthW(hwnd_);
  Send(EM_SETSEL, static_cast<WPARAM>(end), end);
}

LRESULT Edit::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (!OnKeyDown) return DefaultProc(msg, w, l);
  switch (msg) {
    case WM_GETDLGCODE: {
      // Plain Tab still moves on, so the dialog stays usable from the keyboard.
      const MSG* m = reinterpret_cast<const MSG*>(l);
      bool plainTab = w == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0;
      if (m != nullptr && plainTab) return DefaultProc(msg, w, l);
      return DefaultProc(msg, w, l) | DLGC_WANTALLKEYS;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      swallowChars_ = OnKeyDown(static_cast<UINT>(w));
      if (!swallowChars_ && msg == WM_KEYDOWN && PassDialogKey(w)) swallowChars_ = true;
      return swallowChars_ ? 0 : DefaultProc(msg, w, l);
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_SYSKEYUP:  // a released Alt would otherwise enter menu mode
      return swallowChars_ ? 0 : DefaultProc(msg, w, l);
    default:
      return DefaultProc(msg, w, l);
  }
}

// Enter and Escape that the handler left keep their meaning in the dialog:
// its default button and its cancel, as the dialog manager sends them.
bool Edit::PassDialogKey(WPARAM key) {
  if ((key != VK_RETURN && key != VK_ESCAPE) || ::GetKeyState(VK_CONTROL) < 0) return false;
  HWND root = ::GetAncestor(hwnd_, GA_ROOT);
  if (root == nullptr || root == hwnd_) return false;
  const int id = key == VK_RETURN ? IDOK : IDCANCEL;
  ::SendMessageW(root, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(root, id)));
  return true;
}

bool Edit::OnReflect(UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  if (msg != WM_COMMAND || HIWORD(w) != EN_CHANGE || !OnChange) return false;
  OnChange();
  *result = 0;
  return true;
}

}  // namespace ui
