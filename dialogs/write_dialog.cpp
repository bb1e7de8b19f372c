// Write dialog (DispPosWrite): one PosWrite of the data box's text, with its
// backslash escapes turned into bytes, or of a whole file sent unchanged.
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "api/binding.h"
#include "app/result_report.h"
#include "app/status_log.h"
#include "dialogs/data_files.h"
#include "dialogs/dialog_common.h"
#include "dialogs/dialogs.h"
#include "dialogs/escapes.h"
#include "dialogs/field_checks.h"
#include "dialogs/write_text.h"
#include "res/resource_ids.h"

namespace {

constexpr int kFileNameBufferSize = 100;  // at most 99 characters
constexpr std::int32_t kWriteFileBufferSize = 8192;

// The whole content of the input file is read here.
unsigned char WriteFileBuffer[kWriteFileBufferSize];

// The data box, kept from WM_INITDIALOG.
HWND DataBox = nullptr;

// Line buffer of the data box: EM_GETLINE takes the buffer's size in its
// first WORD and copies the line without a terminator.
constexpr int kLineBufferSize = 200;

// Fetches line index of the data box into line (zero-terminated) and returns
// its length.
int FetchLine(int index, char (&line)[kLineBufferSize]) {
  const WORD capacity = kLineBufferSize - 1;
  std::memset(line, 0, sizeof line);
  std::memcpy(line, &capacity, sizeof capacity);
  const LRESULT got = SendMessageA(DataBox, EM_GETLINE, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(line));
  const int length = got > 0 && got <= capacity ? static_cast<int>(got) : 0;
  line[length] = '\0';
  return length;
}

void ReportWrite(std::int32_t result, int error) {
  if (result < 0) {
    ReportResult(result, error);
  } else {
    SetMessageText("PosWrite Successful.");
    ShowMessageBox(MessageText, "POS Write");
  }
}

// Returns true when the call was made.
bool SendDataBoxText(std::int32_t handle) {
  WriteText text;
  StartWriteText(&text);
  char line[kLineBufferSize];
  if (FetchLine(0, line) == 0) return false;  // an empty first line: nothing at all

  const int lineCount = static_cast<int>(SendMessageA(DataBox, EM_GETLINECOUNT, 0, 0));
  FormatMessageText("nLines    -> %d ", lineCount);
  AppendToStatusLog();

  for (int i = 0; i < lineCount; ++i) {
    const LRESULT start = SendMessageA(DataBox, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
    const int length =
        static_cast<int>(SendMessageA(DataBox, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    const int fetched = FetchLine(i, line);
    if (!AddWriteTextLine(&text, line, length < fetched ? length : fetched)) break;
  }

  // Every byte the escapes produce is sent, zero bytes included.
  const std::int32_t count = ExpandEscapes(text.data);
  FormatMessageText("Command-->  PosWrite(%d, [], %d)", static_cast<int>(handle),
                    static_cast<int>(count));
  AppendToStatusLog();
  const std::int32_t result = PosWrite(handle, text.data, count);
  const int error = errno;
  ReportWrite(result, error);
  return true;
}

// Returns true when the call was made.
bool SendInputFile(std::int32_t handle, HWND dialog) {
  char fileName[kFileNameBufferSize];
  ReadControlText(dialog, IDC_INPUT_FILE, fileName, kFileNameBufferSize);
  if (fileName[0] == '\0') {
    SetMessageText("Missing File Name");
    ShowMessageBox(MessageText, "File Name Error ");
    return false;
  }
  const std::int32_t count = ReadInputFile(fileName, WriteFileBuffer, kWriteFileBufferSize);
  if (count < 0) {
    FormatMessageText("File %s not found ", fileName);
    ShowMessageBox(MessageText, "File Name Error ");
    return false;
  }
  FormatMessageText("Command-->  PosWrite(%d,%s,%d)", static_cast<int>(handle), fileName,
                    static_cast<int>(count));
  AppendToStatusLog();
  const std::int32_t result = PosWrite(handle, WriteFileBuffer, count);
  const int error = errno;
  ReportWrite(result, error);
  return true;
}

bool OnOk(HWND dialog) {
  char handleText[kFieldBufferSize];
  ReadControlText(dialog, IDC_HANDLE, handleText);
  std::int32_t handle = 0;
  if (!CheckHandleText(handleText, &handle)) return false;
  if (IsDlgButtonChecked(dialog, IDC_TEXT_MODE) == BST_CHECKED) return SendDataBoxText(handle);
  return SendInputFile(handle, dialog);
}

}  // namespace

INT_PTR CALLBACK WriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CheckRadioButton(dialog, IDC_TEXT_MODE, IDC_FILE_MODE, IDC_TEXT_MODE);
      DataBox = GetDlgItem(dialog, IDC_DATA_BOX);
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
