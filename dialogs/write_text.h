// Text mode of the Write dialog, window-free: the lines of the data box
// collected into one run of at most 253 characters, with no line ends.
#ifndef REVEDIZ_DIALOGS_WRITE_TEXT_H
#define REVEDIZ_DIALOGS_WRITE_TEXT_H

#include <cstdint>

// The most characters collected, as the dialog's "(Maximum 253 bytes)" says.
inline constexpr std::int32_t kWriteTextLimit = 253;

struct WriteText {
  char data[256];          // the collected text, zero-terminated
  std::int32_t collected;  // characters in data
  std::int32_t total;      // running total of the line lengths seen
};

// Zeroes the data and the counters.
void StartWriteText(WriteText* text);

// Adds one line of length characters (no line end). When the running total
// passes the limit, only the characters that still fit are taken and false
// is returned: collecting stops there. Otherwise returns true.
bool AddWriteTextLine(WriteText* text, const char* line, std::int32_t length);

#endif  // REVEDIZ_DIALOGS_WRITE_TEXT_H
