#include "ui/DialogKeys.h"

#include <vector>

#include "ui/Form.h"

namespace ui {
namespace {

bool Held(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

UINT DialogCode(HWND window, const MSG* msg) {
  return static_cast<UINT>(
      ::SendMessageW(window, WM_GETDLGCODE, msg != nullptr ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg)));
}

bool Usable(HWND window) { return ::IsWindowVisible(window) && ::IsWindowEnabled(window); }

bool IsRadio(HWND window) { return window != nullptr && (DialogCode(window, nullptr) & DLGC_RADIOBUTTON) != 0; }

bool IsChecked(HWND window) { return ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The radio buttons that stand next to each other in window order around
// `window`: the buttons that exclude each other.
std::vector<HWND> RadioRun(HWND window) {
  HWND first = window;
  for (HWND p = ::GetWindow(window, GW_HWNDPREV); IsRadio(p); p = ::GetWindow(p, GW_HWNDPREV)) first = p;
  std::vector<HWND> run;
  for (HWND n = first; IsRadio(n); n = ::GetWindow(n, GW_HWNDNEXT)) run.push_back(n);
  return run;
}

bool InRun(const std::vector<HWND>& run, HWND window) {
  for (HWND r : run)
    if (r == window) return true;
  return false;
}

// A run of radio buttons is entered at its checked button.
HWND EntryOfRun(HWND radio) {
  for (HWND r : RadioRun(radio))
    if (IsChecked(r) && Usable(r)) return r;
  return radio;
}

void FocusTabStop(HWND next, const MSG& msg) {
  // An edit reached by Tab shows its whole text selected.
  if (DialogCode(next, &msg) & DLGC_HASSETSEL) ::SendMessageW(next, EM_SETSEL, 0, -1);
  ::SetFocus(next);
}

bool TabKey(HWND form, const MSG& msg) {
  if (msg.wParam != VK_TAB || Held(VK_CONTROL) || Held(VK_MENU)) return false;
  if (DialogCode(msg.hwnd, &msg) & (DLGC_WANTTAB | DLGC_WANTMESSAGE)) return false;
  HWND next = NextTabStop(form, msg.hwnd, Held(VK_SHIFT));
  if (next != nullptr && next != msg.hwnd) FocusTabStop(next, msg);
  return true;
}

// +1 for Right and Down, -1 for Left and Up, 0 for any other key.
int ArrowStep(WPARAM key) {
  if (key == VK_RIGHT || key == VK_DOWN) return 1;
  if (key == VK_LEFT || key == VK_UP) return -1;
  return 0;
}

bool MoveInRadioRun(const MSG& msg, int step) {
  std::vector<HWND> run = RadioRun(msg.hwnd);
  const int n = static_cast<int>(run.size());
  int at = 0;
  while (at < n && run[static_cast<size_t>(at)] != msg.hwnd) ++at;
  for (int k = 1; k < n; ++k) {
    HWND next = run[static_cast<size_t>(((at + step * k) % n + n) % n)];
    if (!Usable(next)) continue;
    ::SetFocus(next);
    if (!IsChecked(next)) ::SendMessageW(next, BM_CLICK, 0, 0);
    break;
  }
  return true;
}

bool ArrowKey(HWND form, const MSG& msg) {
  const int step = ArrowStep(msg.wParam);
  if (step == 0 || Held(VK_MENU)) return false;
  const UINT code = DialogCode(msg.hwnd, &msg);
  if (code & (DLGC_WANTARROWS | DLGC_WANTMESSAGE)) return false;
  if (code & DLGC_RADIOBUTTON) return MoveInRadioRun(msg, step);
  HWND next = NextTabStop(form, msg.hwnd, step < 0);
  if (next != nullptr && next != msg.hwnd) FocusTabStop(next, msg);
  return true;
}

// The focused push button answers Enter itself, as the dialog manager makes
// it the default button while it has the focus.
bool EnterKey(const MSG& msg) {
  if (msg.wParam != VK_RETURN || Held(VK_MENU) || Held(VK_CONTROL)) return false;
  const UINT code = DialogCode(msg.hwnd, &msg);
  if ((code & DLGC_WANTMESSAGE) || !(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return false;
  if (::IsWindowEnabled(msg.hwnd)) ::SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
  return true;
}

// +1 for Ctrl+Tab and Ctrl+PageDown, -1 with Shift or for Ctrl+PageUp, 0
// for any other key.
int PageStep(WPARAM key) {
  if (!Held(VK_CONTROL) || Held(VK_MENU)) return 0;
  if (key == VK_TAB) return Held(VK_SHIFT) ? -1 : 1;
  if (key == VK_NEXT) return 1;
  if (key == VK_PRIOR) return -1;
  return 0;
}

BOOL CALLBACK OfferPageStep(HWND window, LPARAM param) {
  auto* step = reinterpret_cast<int*>(param);
  if (::SendMessageW(window, kPageStepMessage, static_cast<WPARAM>(*step), 0) != 1) return TRUE;
  *step = 0;
  return FALSE;
}

// Taken before the focused control sees it: a tabbed dialog turns its page
// whatever holds the focus. The first page control in window order is the
// outermost, the dialog's own.
bool PageKey(HWND form, const MSG& msg) {
  int step = PageStep(msg.wParam);
  if (step == 0) return false;
  ::EnumChildWindows(form, &OfferPageStep, reinterpret_cast<LPARAM>(&step));
  return step == 0;
}

// A character typed without Alt picks an underlined letter only on a skinned
// button: elsewhere a stray key must not press, say, "&Delete Entry".
bool PlainCharacterOffButton(const MSG& msg) {
  if (msg.message != WM_CHAR || (DialogCode(msg.hwnd, &msg) & (DLGC_WANTCHARS | DLGC_WANTMESSAGE))) return false;
  return ::SendMessageW(msg.hwnd, kButtonFocusQuery, 0, 0) != 1;
}

// Sent to the form itself, not left to the focused control to pass on.
bool CloseKey(HWND form, const MSG& msg) {
  if (msg.message != WM_SYSKEYDOWN || msg.wParam != VK_F4 || (HIWORD(msg.lParam) & KF_ALTDOWN) == 0) return false;
  if (::GetClassLongPtrW(form, GCL_STYLE) & CS_NOCLOSE) return false;
  ::PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
  return true;
}

HWND FormOf(HWND window) {
  HWND root = window != nullptr ? ::GetAncestor(window, GA_ROOT) : nullptr;
  return Form::FromHandle(root) != nullptr ? root : nullptr;
}

}  // namespace

HWND NextTabStop(HWND form, HWND from, bool back) {
  HWND start = from != nullptr && from != form && ::IsChild(form, from) ? from : nullptr;
  HWND next = ::GetNextDlgTabItem(form, start, back ? TRUE : FALSE);
  // Leaving a radio button skips the rest of its run.
  if (start != nullptr && IsRadio(start)) {
    std::vector<HWND> run = RadioRun(start);
    for (size_t guard = 0; next != nullptr && next != start && InRun(run, next) && guard <= run.size(); ++guard)
      next = ::GetNextDlgTabItem(form, next, back ? TRUE : FALSE);
  }
  if (next != nullptr && IsRadio(next)) next = EntryOfRun(next);
  return next;
}

bool HandleDialogKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND form = FormOf(msg.hwnd);
  if (form == nullptr) return false;
  if (msg.message == WM_KEYDOWN && (PageKey(form, msg) || TabKey(form, msg) || ArrowKey(form, msg) || EnterKey(msg))) return true;
  if (CloseKey(form, msg)) return true;
  if (PlainCharacterOffButton(msg)) return false;
  return ::IsDialogMessageW(form, &msg) != FALSE;
}

void DispatchWithDialogKeys(MSG& msg) {
  if (HandleDialogKey(msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace ui
