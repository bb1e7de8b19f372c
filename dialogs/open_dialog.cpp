// The Open dialog: PosOpen of a named device of a chosen class with resource
// arguments; the main window goes along as the last, "queueHandle", record.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "api/binding.h"
#include "app/main_window.h"
#include "app/result_report.h"
#include "app/shell_globals.h"
#include "app/status_log.h"
#include "dialogs/dialog_common.h"
#include "dialogs/dialogs.h"
#include "dialogs/field_checks.h"
#include "res/resource_ids.h"
#include "resources/arguments.h"
#include "resources/resource_files.h"

namespace {

// Rows the operator may pass: the array less the appended queue handle record.
constexpr std::int32_t kOpenRowCapacity = kResourceArgCapacity - 1;

std::int32_t Count;  // rows of ArrayRes added in this dialog
char DeviceName[kFieldBufferSize];
char DeviceClass[kFieldBufferSize];
char ArgumentCountText[kFieldBufferSize];

void OnInitDialog(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_DEVICE_NAME, DefaultDeviceName);
  LoadResourceListSelectFirst(dialog, IDC_DEVICE_CLASS, "PRESOURC.DAT");
  PrepareArgumentControls(dialog, &Count);
  // The system list, whatever class stands first.
  LoadResourceListSelectFirst(dialog, IDC_RESOURCE, "PSYSTEM.DAT");
}

// A new class offers its own resource names; rows added so far stay.
void OnClassChanged(HWND dialog) {
  char classText[kFieldBufferSize];
  ReadControlText(dialog, IDC_DEVICE_CLASS, classText);
  if (const char* file = ClassResourceFile(classText)) ReloadResourceList(dialog, file);
}

// OK: a refused N Arguments keeps the dialog open; otherwise logs, calls,
// reports, and closes the dialog.
void OnOpenOk(HWND dialog) {
  std::memset(DeviceName, 0, sizeof DeviceName);
  std::memset(DeviceClass, 0, sizeof DeviceClass);
  ClearMessageText();
  if (ReadControlText(dialog, IDC_DEVICE_NAME, DeviceName) == 0)
    std::snprintf(DeviceName, sizeof DeviceName, "%s", DefaultDeviceName);
  if (ReadControlText(dialog, IDC_DEVICE_CLASS, DeviceClass) == 0)
    std::snprintf(DeviceClass, sizeof DeviceClass, "%s", DefaultDeviceClass);

  ReadControlText(dialog, IDC_N_ARGUMENTS, ArgumentCountText);
  std::int32_t n = 0;
  if (!CheckArgumentCountText(ArgumentCountText, kOpenRowCapacity, &n)) return;
  BuildResourceArgs(n);

  FormatMessageText("Command-->  PosOpen(%s, %s, [], %d)", DeviceName, DeviceClass,
                    static_cast<int>(n));
  AppendToStatusLog();
  LogResourceArgs(ResourceArgs, n);

  // Passed as the last record, but neither counted in the log nor echoed.
  ResourceArgs[n].name = "queueHandle";
  ResourceArgs[n].value = reinterpret_cast<std::intptr_t>(MainWindow);
  ResourceArgCount = n + 1;

  const std::int32_t result = PosOpen(DeviceName, DeviceClass, ResourceArgs, ResourceArgCount);
  const int error = errno;
  ReportOpenResult(result, error, DeviceName);
  EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnOpenOk(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_DEVICE_CLASS:
          if (HIWORD(wParam) == CBN_SELCHANGE) OnClassChanged(dialog);
          return TRUE;
        case IDC_ADD_RESOURCE:
          AddResourceRow(dialog, &Count);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
