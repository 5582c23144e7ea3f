// The keyboard of every form, modal or not, handled once for all of them as
// the dialog manager does it:
//   Tab, Shift+Tab   the next or previous tab stop in window order, walking
//                    into containers marked WS_EX_CONTROLPARENT; a run of
//                    radio buttons is one stop, entered at its checked one;
//   arrow keys       among a run of radio buttons: focus and check the next
//                    one; elsewhere the next or previous tab stop, unless
//                    the focused control wants the arrows itself;
//   Enter            clicks the focused push button, otherwise goes to the
//                    form as IDOK (its default button);
//   Escape           goes to the form as IDCANCEL (its cancel button);
//   Ctrl+Tab, Ctrl+PageDown (with Shift, or Ctrl+PageUp: back)
//                    shows the next page of the form's page control from
//                    any control, as a tabbed dialog does;
//   Alt+letter       clicks the control whose caption underlines the letter;
//                    the letter alone does so only while a skinned push
//                    button has the focus (it answers kButtonFocusQuery);
//   Alt+F4           closes the form (SC_CLOSE) whichever control has the
//                    focus, as the default window procedure does: some
//                    controls (a tree view under Wine) keep it to themselves.
// Controls take part through WM_GETDLGCODE: DLGC_BUTTON, DLGC_RADIOBUTTON,
// DLGC_UNDEFPUSHBUTTON, and DLGC_WANT* for the keys they keep.
#pragma once
#include <windows.h>

namespace ui {

// Answered 1 by a skinned push button: the focus is on a button, so a typed
// letter may act as its underlined letter.
constexpr UINT kButtonFocusQuery = 0x8BB8;

// Sent with wParam +1 or -1 to offer a page step: a page control shows the
// next or previous page (round the row) and answers 1; other windows 0.
constexpr UINT kPageStepMessage = 0xB007;

// The one way the program's message loops handle a message: the dialog keys
// of the form it is for first, otherwise translated and dispatched.
void DispatchWithDialogKeys(MSG& msg);

// Handles a keyboard message for a window of one of our forms; true when it
// was handled (and, where it needed to be, translated and dispatched).
bool HandleDialogKey(MSG& msg);

// The tab stop after (or, with `back`, before) `from` inside `form`; `from`
// may be the form itself or null to start at the ends. Null when none.
HWND NextTabStop(HWND form, HWND from, bool back);

}  // namespace ui
