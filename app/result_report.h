// The common report of a failed device call, and the outcome reports of the
// Initialize, Open and Close dialogs built on it. Window-free.
#ifndef REVEDIZ_APP_RESULT_REPORT_H
#define REVEDIZ_APP_RESULT_REPORT_H

#include <cstdint>

// Logs "  RC = %d, errno = (%d) %s  " with the call's result, the error code
// (errno right after the call) and the error's name from ErrorNames (the
// numeric fallback for a code without a row), then shows the same text under
// "Command Status", then empties NameScratch. Returns when the box is closed.
void ReportResult(std::int32_t result, std::int32_t errorCode);

// PosInitialize: a negative result is reported with ReportResult; otherwise
// "Initialize Successful." is shown under "POS Initialize" (nothing logged).
void ReportInitializeResult(std::int32_t result, std::int32_t errorCode);

// PosOpen: a result of 0 or less is reported with ReportResult. A positive
// result is the new handle, whatever errorCode holds (errno keeps the code
// of an earlier failure across successful calls): "  Handle :  %d  Device
// Name :  %s" is logged and then shown under "POS Open".
void ReportOpenResult(std::int32_t result, std::int32_t errorCode, const char* deviceName);

// PosClose: a negative result is reported with ReportResult; otherwise
// "PosClose Successful." is shown under "POS Close" and, once the operator
// has closed it, "Close Handle %d successful" is logged.
void ReportCloseResult(std::int32_t result, std::int32_t errorCode, std::int32_t handle);

#endif  // REVEDIZ_APP_RESULT_REPORT_H
