// The tool's log as the agreement oracle reads it: the "Command-->" line of
// each call, the lines that echo its arguments, and how what they show is
// compared with the journal. Internal to the oracle; window-free.
#ifndef REVEDIZ_EXPLORE_LOG_COMMANDS_H
#define REVEDIZ_EXPLORE_LOG_COMMANDS_H

#include <cstdint>
#include <string>
#include <string_view>

#include "explore/journal_calls.h"
#include "explore/line_readers.h"

namespace explore::detail {

// ---- The log's command lines ----------------------------------------------

struct Command {
  Call call = Call::kOther;
  string_view texts;  // Initialize: "app, resfile"; Open: "name, class"; Ioctl: the request; Write: the file
  long long handle = 0, count = 0;  // count: N Arguments, the read size or the write length
  bool fileMode = false;
};

bool ParseCommand(string_view line, Command* c);
long long SplitAgree(string_view logText, string_view logSep, string_view journalText,
                     string_view journalSep);
string Squeezed(string_view text);
bool IsGetValues(string_view request);
string ImpliedCall(const Command& c);

// ---- Argument echo ----------------------------------------------------------

// How the log showed one argument's value.
struct EchoValue {
  enum Kind { kNone, kNumber, kText } kind = kNone;
  std::int32_t number = 0;
  string_view text;
};

bool ReadNumberLine(string_view line, EchoValue* value);
bool ReadTextLine(string_view line, EchoValue* value);
bool ReadNameLine(string_view line, long long number, string_view* name);
bool ValueAgrees(const EchoValue& shown, string_view journal);

}  // namespace explore::detail

#endif  // REVEDIZ_EXPLORE_LOG_COMMANDS_H
