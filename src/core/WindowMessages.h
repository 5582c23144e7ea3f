// The program's own window messages, each number defined here only. Workers
// post them to the main window; the window handles them on the GUI thread.
#pragma once
#include <windows.h>

namespace core {

enum : UINT {
  // Another start of the program asks the running one to show itself.
  WM_SHOWMAINWINDOW = 0x5405,
  // The tray icon's callback.
  WM_TRAYNOTIFY = 0x5406,
  // Starts the automatic clean and scan ("/Auto", "/Clear").
  WM_AUTORUN = 0x5407,
  // The clean thread's progress. wParam: running count of entries.
  WM_CLEANPROGRESS = 0x5408,
  // Posted once when a clean ends neither cancelled nor failed. wParam: total.
  WM_CLEANFINISHED = 0x5409,
  // Posted once when an error ended the clean, so that the window can leave
  // its running state. wParam: the total counted until then.
  WM_CLEANFAILED = 0x540A,
  // The clean thread has returned (lParam: run id).
  WM_CLEANTHREADENDED = 0x540B,
  // The counting pass is over: the real clean starts (lParam: run id).
  WM_STARTREALCLEAN = 0x5430,
  // Opens the custom-list dialog once the clean tree has finished with a click.
  WM_SHOWCUSTOMLIST = WM_APP + 0x121,
  // To the restore-point dialog: wParam 0; lParam 0 made, 1 failed.
  WM_RESTOREPOINTDONE = 0x5412,
  // One scan section finished.
  WM_SCANSECTIONDONE = 0x6413,
  // The scan ended (always exactly once).
  WM_SCANFINISHED = 0x6414,
  // To the hive analysis dialog: start saving; a hive was saved (wParam: the
  // milliseconds the first hive took, lParam: hives handled so far).
  WM_STARTSAVE = 0x6422,
  WM_HIVESAVED = 0x6423,
  // The "/Regdefrag" and "/Regscan" runs of the defrag page.
  WM_REGDEFRAG = 0x6426,
  WM_REGSCAN = 0x6427,
};

}  // namespace core
