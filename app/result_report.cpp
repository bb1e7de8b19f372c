#include "app/result_report.h"

#include "app/status_log.h"
#include "tables/code_tables.h"
#include "tables/lookup.h"

void ReportResult(std::int32_t result, std::int32_t errorCode) {
  const char* name = CodeToName(ErrorNames, errorCode);
  FormatMessageText("  RC = %d, errno = (%d) %s  ", static_cast<int>(result),
                    static_cast<int>(errorCode), name);
  AppendToStatusLog();
  // The log line is in place before the box waits for the operator.
  ShowMessageBox(MessageText, "Command Status");
  ResetNameScratch();
}

void ReportInitializeResult(std::int32_t result, std::int32_t errorCode) {
  if (result < 0)
    ReportResult(result, errorCode);
  else
    ShowMessageBox("Initialize Successful.", "POS Initialize");
}

void ReportOpenResult(std::int32_t result, std::int32_t errorCode, const char* deviceName) {
  // The result alone decides: a valid handle is positive.
  if (result <= 0) {
    ReportResult(result, errorCode);
    return;
  }
  FormatMessageText("  Handle :  %d  Device Name :  %s", static_cast<int>(result), deviceName);
  AppendToStatusLog();
  ShowMessageBox(MessageText, "POS Open");
}

void ReportCloseResult(std::int32_t result, std::int32_t errorCode, std::int32_t handle) {
  if (result < 0) {
    ReportResult(result, errorCode);
    return;
  }
  ShowMessageBox("PosClose Successful.", "POS Close");
  FormatMessageText("Close Handle %d successful", static_cast<int>(handle));
  AppendToStatusLog();
}
