// The restore point before a change. The dialog that shows the request
// belongs to the program's windows; the fix and the defrag only learn from it
// whether to go on or stop.
#pragma once
#include <windows.h>

namespace registry {

// The bar's next position on a tick of the dialog's timer: it creeps, slower
// as it fills.
int NextSystemPointPosition(int position);

// Shows the restore-point dialog modally over `owner`: IDOK go on, IDCANCEL stop.
using TSystemPointDialog = int (*)(HWND owner);
// The program names its dialog at start; returns the one named before.
TSystemPointDialog SetSystemPointDialog(TSystemPointDialog dialog);
// Without a dialog there is no way to ask, and the caller stops.
int ShowSystemPointDialog(HWND owner);

}  // namespace registry
