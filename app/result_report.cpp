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
