// The main window handle and the module instance, for the dialogs: every
// Initialize and Open passes MainWindow to the device library as the value
// of its "queueHandle" resource, so notifications arrive at this window.
#ifndef REVEDIZ_APP_MAIN_WINDOW_H
#define REVEDIZ_APP_MAIN_WINDOW_H

#include <windows.h>

// Set once the main window is created; null before.
extern HWND MainWindow;

// The program's module instance: kept at start and again from the creation
// data at WM_CREATE; used to create windows and run dialogs.
extern HINSTANCE ModuleInstance;

// The "Command and Status" list box, created at WM_CREATE. It may have been
// closed by the operator since; check with IsWindow before use.
extern HWND StatusLog;

// Holds the log's redraw across several notifications handled one after
// the other; lines are added as ever. Release redraws the log once. Hold
// returns true when it took the hold, false when it was held already; every
// message box releases the hold first.
bool HoldStatusLogRedraw();
void ReleaseStatusLogRedraw();

#endif  // REVEDIZ_APP_MAIN_WINDOW_H
