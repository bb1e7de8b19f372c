// The common report of a failed device call.
#ifndef REVEDIZ_APP_RESULT_REPORT_H
#define REVEDIZ_APP_RESULT_REPORT_H

#include <cstdint>

// Logs "  RC = %d, errno = (%d) %s  " with the call's result, the error code
// (errno right after the call) and the error's name from ErrorNames (the
// numeric fallback for a code without a row), then shows the same text under
// "Command Status", then empties NameScratch. Returns when the box is closed.
void ReportResult(std::int32_t result, std::int32_t errorCode);

#endif  // REVEDIZ_APP_RESULT_REPORT_H
