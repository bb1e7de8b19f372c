// A recording double of the shell interface (app/status_log.h) for native
// unit tests: every log line and every message box, in the order they
// happened.
#ifndef REVEDIZ_TESTS_SUPPORT_RECORDING_SHELL_H
#define REVEDIZ_TESTS_SUPPORT_RECORDING_SHELL_H

#include <string>
#include <vector>

struct ShellEvent {
  enum Kind { kLogLine, kMessageBox } kind;
  std::string text;
  std::string caption;          // message boxes only
  bool defaultCaption = false;  // box shown with a null caption
  bool operator==(const ShellEvent&) const = default;
};

using Lines = std::vector<std::string>;
using Events = std::vector<ShellEvent>;

ShellEvent LogEvent(const std::string& text);
ShellEvent BoxEvent(const std::string& text, const std::string& caption);

// Everything recorded since the last ResetShellRecord.
const Events& ShellRecord();
// Log lines only, in order.
Lines LoggedLines();
// Message boxes only, in order.
Events ShownBoxes();
// Forgets the record, the box hook and the batch counts.
void ResetShellRecord();
// Log batches (BeginStatusLogBatch) open now, and the lines added inside
// one since the last reset.
int OpenStatusLogBatches();
int BatchedLineCount();

// Called while a box is "open": lets a test act as a notification arriving
// during a nested message loop. Null for none.
using BoxHook = void (*)(const ShellEvent& box);
void SetBoxHook(BoxHook hook);

#endif  // REVEDIZ_TESTS_SUPPORT_RECORDING_SHELL_H
