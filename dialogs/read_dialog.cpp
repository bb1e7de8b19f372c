// Read dialog (DispPosRead): one PosRead into a guarded heap buffer; the
// bytes read are optionally saved to a file and shown as a hex dump, or for
// handle 0 (the message queue) decoded as queue records.
#include <cerrno>
#include <cstdint>

#include "api/binding.h"
#include "app/result_report.h"
#include "app/status_log.h"
#include "decode/hex_dump.h"
#include "decode/queue_message.h"
#include "dialogs/data_files.h"
#include "dialogs/dialog_common.h"
#include "dialogs/dialogs.h"
#include "dialogs/field_checks.h"
#include "dialogs/read_checks.h"
#include "res/resource_ids.h"

namespace {

// File name fields take at most 99 characters.
constexpr int kFileNameBufferSize = 100;

// Returns true when the dialog is done (the call was made).
bool OnOk(HWND dialog) {
  char handleText[kFieldBufferSize];
  ReadControlText(dialog, IDC_HANDLE, handleText);
  std::int32_t handle = 0;
  if (!CheckHandleText(handleText, &handle)) return false;

  char sizeText[kFieldBufferSize];
  ReadControlText(dialog, IDC_BUFFER_SIZE, sizeText);
  std::int32_t size = 0;
  if (!CheckBufferSizeText(sizeText, &size)) return false;

  unsigned char* block = TakeReadBuffer(size, sizeText);
  if (block == nullptr) return false;
  unsigned char* data = block + 1;

  char fileName[kFileNameBufferSize];
  ReadControlText(dialog, IDC_OUTPUT_FILE, fileName, kFileNameBufferSize);

  FormatMessageText("Command-->  PosRead(%d, [], %d)", static_cast<int>(handle),
                    static_cast<int>(size));
  AppendToStatusLog();

  const std::int32_t result = PosRead(handle, data, size);
  const int error = errno;
  // Never more than the buffer holds is saved or shown.
  const std::int32_t shown = CheckReadResult(block, size, result);

  if (result <= 0) {
    ReportResult(result, error);
  } else {
    if (fileName[0] != '\0') WriteOutputFile(fileName, data, shown);
    if (handle != 0)
      HexDump("Read Results", data, shown);
    else
      DecodeQueueMessage(data, shown, false);
    SetMessageText("PosRead Successful.");
    ShowMessageBox(MessageText, "POS Read");
  }
  ReleaseReadBuffer(block);
  return true;
}

}  // namespace

INT_PTR CALLBACK ReadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (OnOk(dialog)) EndDialog(dialog, 0);
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
