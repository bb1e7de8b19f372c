// The Close dialog: PosClose of a handle the operator types.
#include <cerrno>
#include <cstdint>

#include "api/binding.h"
#include "app/result_report.h"
#include "app/status_log.h"
#include "dialogs/dialog_common.h"
#include "dialogs/dialogs.h"
#include "dialogs/field_checks.h"
#include "res/resource_ids.h"

namespace {

char HandleText[kFieldBufferSize];

// OK: checks the handle (a refusal keeps the dialog open), logs the command,
// calls, reports, and closes the dialog.
void OnCloseOk(HWND dialog) {
  ReadControlText(dialog, IDC_HANDLE, HandleText);
  std::int32_t handle = 0;
  if (!CheckHandleText(HandleText, &handle)) return;

  FormatMessageText("Command-->  PosClose(%d)  ", static_cast<int>(handle));
  AppendToStatusLog();
  const std::int32_t result = PosClose(handle);
  const int error = errno;
  ReportCloseResult(result, error, handle);
  EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK CloseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      // The whole parameter: id and notification code together.
      switch (wParam) {
        case IDOK:
          OnCloseOk(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
