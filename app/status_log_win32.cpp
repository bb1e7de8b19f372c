// The status log and message boxes over Win32: the "Command and Status" list
// box child of the main window, and owner-less MessageBoxA.
#include <windows.h>

#include "app/main_window.h"
#include "app/status_log.h"

HWND StatusLog = nullptr;

void AppendToStatusLog() { AppendTextToStatusLog(MessageText); }

namespace {
int batchDepth = 0;
// A hold is taken (HoldStatusLogRedraw), and a batch is open under it since
// its first line: a notification that logs nothing costs the log nothing.
bool redrawHeld = false;
bool heldBatchOpen = false;
}  // namespace

void AppendTextToStatusLog(const char* text) {
  // The operator may have closed the log with its own close box; it is not
  // re-created, and later lines are dropped.
  if (StatusLog == nullptr || !IsWindow(StatusLog)) return;
  if (redrawHeld && !heldBatchOpen) {
    heldBatchOpen = true;
    BeginStatusLogBatch();
  }
  SendMessageA(StatusLog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void BeginStatusLogBatch() {
  if (batchDepth++ == 0 && StatusLog != nullptr && IsWindow(StatusLog)) {
    SendMessageA(StatusLog, WM_SETREDRAW, FALSE, 0);
  }
}

// Turning redraw back on updates the scroll bars; the lines themselves are
// painted with the next WM_PAINT. The frame and caption have not changed.
void EndStatusLogBatch() {
  if (batchDepth == 0 || --batchDepth != 0) return;
  if (StatusLog != nullptr && IsWindow(StatusLog)) {
    SendMessageA(StatusLog, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(StatusLog, nullptr, TRUE);
  }
}

bool HoldStatusLogRedraw() {
  if (redrawHeld) return false;
  redrawHeld = true;
  return true;
}

void ReleaseStatusLogRedraw() {
  redrawHeld = false;
  if (!heldBatchOpen) return;
  heldBatchOpen = false;
  EndStatusLogBatch();
}

// The log is redrawn before the box waits for the operator, so every line
// logged before it is visible under it.
void ShowMessageBox(const char* text, const char* caption) {
  ReleaseStatusLogRedraw();
  MessageBoxA(nullptr, text, caption, MB_OK);
}
