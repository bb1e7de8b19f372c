// The Initialize dialog: PosInitialize with an application name, a resource
// file name and resource arguments; the main window always goes along as the
// "queueHandle" resource, so notifications reach it.
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

namespace {

// POSM_SYS_DEVICE_ONLINE, when it reaches the dialog as a command.
constexpr WPARAM kDeviceOnlineCommand = 16909;

std::int32_t Count;  // rows of ArrayRes added in this dialog
char ApplicationName[kFieldBufferSize];
char ResourceFileName[kFieldBufferSize];
char ArgumentCountText[kFieldBufferSize];

// Row 0 stands for the queue handle: it shows the first PSYSTEM.DAT entry in
// the Resources List, and OK replaces its record by "queueHandle".
void PreAddQueueHandleRow(HWND dialog) {
  char name[kFieldBufferSize];
  ReadControlText(dialog, IDC_RESOURCE, name);
  SendDlgItemMessageA(dialog, IDC_RESOURCES_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  std::snprintf(ArrayRes[0].name, sizeof ArrayRes[0].name, "%s", name);
  ArrayRes[0].tag = kTagHex;
  ArrayRes[0].value = -1;
  Count = 1;
  SetDlgItemTextA(dialog, IDC_N_ARGUMENTS, "1");
}

void OnInitDialog(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_APPLICATION_NAME, DefaultApplicationName);
  SetDlgItemTextA(dialog, IDC_RESOURCE_FILE, DefaultResourceFile);
  PrepareArgumentControls(dialog, &Count);
  LoadResourceListSelectFirst(dialog, IDC_RESOURCE, "PSYSTEM.DAT");
  PreAddQueueHandleRow(dialog);
}

// OK: a refused N Arguments keeps the dialog open; otherwise logs, calls,
// reports, and closes the dialog.
void OnInitOk(HWND dialog) {
  std::memset(ApplicationName, 0, sizeof ApplicationName);
  std::memset(ResourceFileName, 0, sizeof ResourceFileName);
  ClearMessageText();
  if (ReadControlText(dialog, IDC_APPLICATION_NAME, ApplicationName) == 0)
    std::snprintf(ApplicationName, sizeof ApplicationName, "%s", DefaultApplicationName);
  if (ReadControlText(dialog, IDC_RESOURCE_FILE, ResourceFileName) == 0)
    std::snprintf(ResourceFileName, sizeof ResourceFileName, "%s", DefaultResourceFile);

  ReadControlText(dialog, IDC_N_ARGUMENTS, ArgumentCountText);
  std::int32_t n = 0;
  if (!CheckArgumentCountText(ArgumentCountText, kResourceArgCapacity, &n)) return;
  BuildResourceArgs(n);
  // Record 0 is the queue handle whatever row 0 holds; with N of 0 it is
  // written but not passed.
  ResourceArgs[0].name = "queueHandle";
  ResourceArgs[0].value = reinterpret_cast<std::intptr_t>(MainWindow);

  FormatMessageText("Command-->  PosInitialize(%s, %s, 0, 0, [], %d)", ApplicationName,
                    ResourceFileName, static_cast<int>(n));
  AppendToStatusLog();
  LogResourceArgs(ResourceArgs, n);

  const std::int32_t result = PosInitialize(ApplicationName, ResourceFileName, 0, 0, ResourceArgs, n);
  const int error = errno;
  ReportInitializeResult(result, error);
  EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK InitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;  // the system sets the focus
    case WM_COMMAND:
      // The whole parameter: id and notification code together.
      switch (wParam) {
        case IDC_ADD_RESOURCE:
          AddResourceRow(dialog, &Count);
          return TRUE;
        case IDOK:
          OnInitOk(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case kDeviceOnlineCommand:
          SetMessageText("Message from DEVICE ON LINE");
          AppendToStatusLog();
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
