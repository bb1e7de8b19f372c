// Ioctl dialog (DispPosIoctl): a handle, a request chosen by name and an
// argument list; OK issues PosIoctl and the dialog stays open, its argument
// list emptied, for the next request.
#include <cerrno>
#include <cstdint>

#include "api/binding.h"
#include "app/result_report.h"
#include "app/status_log.h"
#include "dialogs/dialog_common.h"
#include "dialogs/dialogs.h"
#include "dialogs/field_checks.h"
#include "res/resource_ids.h"
#include "resources/arguments.h"
#include "resources/resource_files.h"
#include "tables/code_tables.h"
#include "tables/lookup.h"

namespace {

// The Ioctl dialog's own row counter over ArrayRes.
std::int32_t Count = 0;

// At most this many rows go into one call: what ResourceArgs holds (and
// fewer than the rows of ArrayRes).
constexpr std::int32_t kIoctlArgumentCapacity =
    kResourceArgCapacity < kArrayResRows ? kResourceArgCapacity : kArrayResRows;

void OnInitDialog(HWND dialog) {
  LoadResourceListSelectFirst(dialog, IDC_REQUEST, "PIOCTLRE.DAT");
  PrepareArgumentControls(dialog, &Count);
  // The fixed starting list, whatever request stands first.
  LoadResourceListSelectFirst(dialog, IDC_RESOURCE, "PALARM.DAT");
}

// A new request: the resource list follows the request's family.
void OnRequestChange(HWND dialog) {
  char requestText[kFieldBufferSize];
  ReadControlText(dialog, IDC_REQUEST, requestText);
  if (const char* file = IoctlResourceFile(requestText)) ReloadResourceList(dialog, file);
}

// After every call: the rows are discarded and the list starts again.
void ClearRows(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_RESOURCES_LIST, LB_RESETCONTENT, 0, 0);
  ClearArgumentTable();
  Count = 0;
  SetDlgItemTextA(dialog, IDC_N_ARGUMENTS, "0");
}

void OnOk(HWND dialog) {
  char handleText[kFieldBufferSize];
  ReadControlText(dialog, IDC_HANDLE, handleText);
  std::int32_t handle = 0;
  if (!CheckHandleText(handleText, &handle)) return;

  char requestText[kFieldBufferSize];
  ReadControlText(dialog, IDC_REQUEST, requestText);
  // An empty request list (PIOCTLRE.DAT empty or missing) leaves nothing to
  // look up: refused like any other field.
  if (requestText[0] == '\0') {
    SetMessageText("Request is empty ");
    ShowMessageBox(MessageText, "Request Error ");
    return;
  }
  std::int32_t request = 0;
  // No single matching request: the lookup has logged why (none or several
  // rows), and no call is made with a code nobody chose. The rows stay.
  if (NameToCode(requestText, IoctlRequestNames, &request) != 0) return;

  char countText[kFieldBufferSize];
  ReadControlText(dialog, IDC_N_ARGUMENTS, countText);
  std::int32_t n = 0;
  if (!CheckArgumentCountText(countText, kIoctlArgumentCapacity, &n)) return;
  if (countText[0] != '\0') BuildResourceArgs(n);

  FormatMessageText("Command-->  PosIoctl(%d, %s, [..], %d)", static_cast<int>(handle),
                    requestText, static_cast<int>(n));
  AppendToStatusLog();
  LogResourceArgs(ResourceArgs, n);

  const std::int32_t result = PosIoctl(handle, request, ResourceArgs, n);
  const int error = errno;
  if (result < 0) {
    ReportResult(result, error);
  } else {
    SetMessageText("PosIoctl Successful.");
    ShowMessageBox(MessageText, "POS Ioctl");
  }
  // What the device wrote back into the values and string blocks.
  if (request == kPosSysGetValues) LogResourceArgs(ResourceArgs, n);

  ClearRows(dialog);
}

}  // namespace

INT_PTR CALLBACK IoctlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnOk(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_ADD_RESOURCE:
          AddResourceRow(dialog, &Count);
          return TRUE;
        case IDC_REQUEST:
          if (HIWORD(wParam) != CBN_SELCHANGE) return FALSE;
          OnRequestChange(dialog);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
