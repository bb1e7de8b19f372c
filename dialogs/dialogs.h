// The six command dialog procedures, run modally by the main window over the
// templates DispPosInit ... DispPosWrite.
#ifndef REVEDIZ_DIALOGS_DIALOGS_H
#define REVEDIZ_DIALOGS_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK InitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CloseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK IoctlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
