// The shell's small interface for window-free code: the shared text buffer,
// the status log and owner-less message boxes.
//
// Everything the tool tells the operator goes through these few functions.
// The Win32 build implements them over the "Command and Status" list box and
// MessageBoxA (status_log_win32.cpp); the native test build links a recording
// double instead, so the logic above it can be checked for its exact lines.
//
// Long texts: MessageText is larger than one visible line so that every line
// the tool composes from its fields (at most 253 characters each) is held
// whole. Formatting is always bounded by the buffer; a text that would not fit
// even this buffer is cut at its end, never written past it.
#ifndef REVEDIZ_APP_STATUS_LOG_H
#define REVEDIZ_APP_STATUS_LOG_H

#include <cstddef>

#if defined(__GNUC__) || defined(__clang__)
#define REVEDIZ_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define REVEDIZ_PRINTF(fmt, args)
#endif

// Size of MessageText including its terminator.
inline constexpr std::size_t kMessageTextSize = 2048;

// The one process-wide text buffer every log line and most box texts are
// formatted into, from its start. Valid until the next writer.
extern char MessageText[kMessageTextSize];

// Formats into MessageText from its start (bounded vsnprintf). Returns the
// length the full text would have had, as vsnprintf does.
int FormatMessageText(const char* format, ...) REVEDIZ_PRINTF(1, 2);

// Copies text into MessageText (cut at the buffer's end if it must be).
void SetMessageText(const char* text);

// Zeroes all of MessageText.
void ClearMessageText();

// Appends the current content of MessageText as the new last log line.
void AppendToStatusLog();

// Appends the given text as the new last log line (the hex dump's own line).
void AppendTextToStatusLog(const char* text);

// Brackets a run of lines added in one go (a hex dump's rows): the log is
// redrawn once when the run ends instead of once per line. Calls nest; the
// outermost end redraws. Lines are added exactly as without them.
void BeginStatusLogBatch();
void EndStatusLogBatch();

// Shows text in a message box with no owner window and a single OK button.
// A null caption gives the system's default caption. Returns when the
// operator has closed the box; the result is not used.
void ShowMessageBox(const char* text, const char* caption);

#endif  // REVEDIZ_APP_STATUS_LOG_H
